// The keys of the vendor file and of the PO header file, as the key tables give them.
#include <gtest/gtest.h>

#include "records/customer_rec.h"
#include "records/po_header_rec.h"
#include "records/vendor_rec.h"

namespace records {
namespace {

TEST(PurchasingKeysTest, VendorKeysAreBuiltAsTheCustomerKeysOfTheSameTexts) {
  const char* names[] = {"  Acme Tools ", "caf\xE9 na\xEFve", "Northern Lights Outfitters and Supply", ""};
  const char* numbers[] = {" v100 ", "123456789", "", "a b"};
  for (const char* name : names) {
    for (const char* number : numbers) {
      VendorRec vendor;
      CustomerRec customer;
      vendor.VendorName.Set(name);
      vendor.VendorNo.Set(number);
      customer.CustomerName.Set(name);
      customer.CustomerNo.Set(number);
      for (int k = 0; k <= 3; ++k)
        EXPECT_EQ(BuildVendorKey(vendor, k), BuildCustomerKey(customer, k))
            << name << "/" << number << " " << k;
    }
  }
  VendorRec vendor;
  vendor.VendorName.Set(" Acme ");
  vendor.VendorNo.Set("v9");
  EXPECT_EQ(BuildVendorKey(vendor, 1), "ACME" + std::string(26, ' '));
  EXPECT_EQ(BuildVendorKey(vendor, 2), "V9      ");
}

TEST(PurchasingKeysTest, POHeaderKeysTrimNumbersAndKeepDatesAsStored) {
  POHeaderRec po;
  po.PONumber.Set(" p1234 ");
  po.POStatus.Set("o");
  po.KeyCode.Set(" none ");
  po.VendorNo.Set(" v7 ");
  po.SortDate.Set("2026/12/07");
  po.ReceivedDate.Set(" ");
  po.DateRequired.Set("2026/12/24");
  struct Case {
    int key;
    std::string expected;
  };
  const Case cases[] = {
      {1, "P1234    "},  {2, "V7      "},   {3, "2026/12/07"}, {4, "NONE    "}, {5, "OP1234    "},
      {6, "          "}, {7, "2026/12/24"}, {0, ""},           {8, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildPOHeaderKey(po, c.key), c.expected) << "key " << c.key;

  // Dates are neither trimmed nor upper-cased: a leading blank stays, so it sorts first.
  po.SortDate.Set(" 2026/1/7x");
  EXPECT_EQ(BuildPOHeaderKey(po, 3), " 2026/1/7x");
}

TEST(PurchasingKeysTest, APOCountsAsReceivedOnceItsReceivedDateIsLongerThanFive) {
  POHeaderRec po;
  for (const auto& [date, received] : std::initializer_list<std::pair<const char*, bool>>{
           {" ", false}, {"", false}, {"  12345  ", false}, {"123456", true}, {"2026/12/07", true}}) {
    po.ReceivedDate.Set(date);
    EXPECT_EQ(IsPOReceived(po), received) << '"' << date << '"';
  }
}

}  // namespace
}  // namespace records
