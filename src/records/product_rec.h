#pragma once
// ProductRec: one product of a company's product file (base name: company number + "P"),
// 620 bytes. Prices are amount text ("0.00"), quantities and percentages number text; Flag
// fields are a byte 1 or 0. The bytes that only the conversions of older files write are kept
// as fields so that nothing is lost when a record is read and written back.
//
// Keys of the product file:
//   1  product code, 15 characters, unique
//   2  invoice description, first 30 characters, duplicates allowed
//   3  key code, 10 characters, duplicates allowed

#include <array>
#include <cstddef>
#include <type_traits>

#include "records/record_fields.h"
#include "storage/isam_types.h"

namespace records {

struct ProductRec {
  Int32Field Status;  // status word of the data file, 0 in a live record
  ShortString<15> Code;
  ShortString<32> Description;     // printed on invoices
  ShortString<10> ConvertedText1;  // written only by the conversions of older files
  Flag TaxOnInvoice = 0;
  ShortString<10> Price;   // selling price
  ShortString<10> OnHand;  // stock on hand
  ShortString<225> Notes;
  ShortString<10> SetupDate;
  ShortString<10> ChangedDate;
  ShortString<1> ConvertedChar1;   // written only by the conversions of older files
  ShortString<1> ConvertedChar2;   // written only by the conversions of older files
  ShortString<10> ConvertedText2;  // written only by the conversions of older files
  ShortString<10> ListPrice;
  ShortString<10> Cost;
  ShortString<32> PODescription;   // printed on purchase orders
  ShortString<1> PricingMethod;    // "F" fixed, "M" markup, "G" margin, "D" discount from list
  ShortString<1> PriceUpdateMode;  // "A" automatic, "M" manual on batch number
  Flag TaxOnPO = 0;
  ShortString<10> Percentage;  // of the pricing method
  Flag NonStock = 0;
  Flag NonDepleting = 0;
  ShortString<20> Location;
  ShortString<10> KeyCode;  // "*NONE*" when none is given
  ShortString<10> Weight;
  ShortString<10> ConvertedText3;  // written only by the conversions of older files
  ShortString<10> PreviousPrice;   // the price before the last automatic or batch change
  uint8_t ConvertedByte = 0;       // written only by the conversions of older files
  ShortString<10> ConvertedText4;  // written only by the conversions of older files
  ShortString<10> PriceChangeDate;
  ShortString<10> MaximumQuantity;
  ShortString<10> MinimumQuantity;  // reorder point
  ShortString<10> TargetQuantity;
  Flag HoldSales = 0;
  ShortString<2> BatchNumber;  // price batch of manual pricing
  ShortString<20> PreferredVendor;
  uint8_t Unused569[51] = {};
};

static_assert(sizeof(ProductRec) == 620 && alignof(ProductRec) == 1);
static_assert(std::is_trivially_copyable_v<ProductRec> && std::is_standard_layout_v<ProductRec>);

static_assert(offsetof(ProductRec, Status) == 0);
static_assert(offsetof(ProductRec, Code) == 4);
static_assert(offsetof(ProductRec, Description) == 20);
static_assert(offsetof(ProductRec, ConvertedText1) == 53);
static_assert(offsetof(ProductRec, TaxOnInvoice) == 64);
static_assert(offsetof(ProductRec, Price) == 65);
static_assert(offsetof(ProductRec, OnHand) == 76);
static_assert(offsetof(ProductRec, Notes) == 87);
static_assert(offsetof(ProductRec, SetupDate) == 313);
static_assert(offsetof(ProductRec, ChangedDate) == 324);
static_assert(offsetof(ProductRec, ConvertedChar1) == 335);
static_assert(offsetof(ProductRec, ConvertedChar2) == 337);
static_assert(offsetof(ProductRec, ConvertedText2) == 339);
static_assert(offsetof(ProductRec, ListPrice) == 350);
static_assert(offsetof(ProductRec, Cost) == 361);
static_assert(offsetof(ProductRec, PODescription) == 372);
static_assert(offsetof(ProductRec, PricingMethod) == 405);
static_assert(offsetof(ProductRec, PriceUpdateMode) == 407);
static_assert(offsetof(ProductRec, TaxOnPO) == 409);
static_assert(offsetof(ProductRec, Percentage) == 410);
static_assert(offsetof(ProductRec, NonStock) == 421);
static_assert(offsetof(ProductRec, NonDepleting) == 422);
static_assert(offsetof(ProductRec, Location) == 423);
static_assert(offsetof(ProductRec, KeyCode) == 444);
static_assert(offsetof(ProductRec, Weight) == 455);
static_assert(offsetof(ProductRec, ConvertedText3) == 466);
static_assert(offsetof(ProductRec, PreviousPrice) == 477);
static_assert(offsetof(ProductRec, ConvertedByte) == 488);
static_assert(offsetof(ProductRec, ConvertedText4) == 489);
static_assert(offsetof(ProductRec, PriceChangeDate) == 500);
static_assert(offsetof(ProductRec, MaximumQuantity) == 511);
static_assert(offsetof(ProductRec, MinimumQuantity) == 522);
static_assert(offsetof(ProductRec, TargetQuantity) == 533);
static_assert(offsetof(ProductRec, HoldSales) == 544);
static_assert(offsetof(ProductRec, BatchNumber) == 545);
static_assert(offsetof(ProductRec, PreferredVendor) == 548);
static_assert(offsetof(ProductRec, Unused569) == 569);

inline constexpr uint16_t ProductRecordLength = sizeof(ProductRec);
inline constexpr std::array<storage::IsamKeyDesc, 3> ProductKeyDescs = {{{15, 0}, {30, 1}, {10, 1}}};

// Keys 1 to 3: code, description and key code, each trimmed, padded to the key length,
// upper-cased and cut to it. Any other key number gives the empty key.
storage::IsamKeyStr BuildProductKey(const ProductRec& record, int keyNr);

}  // namespace records
