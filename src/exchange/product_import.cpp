#include "exchange/product_import.h"

#include "platform/text/amount.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "records/product_file.h"
#include "records/product_rec.h"
#include "storage/isam.h"

namespace exchange {

using platform::text::TrimBlanks;
using records::ProductRec;

bool IsNumericCell(std::string_view cell) {
  const std::string trimmed = TrimBlanks(cell);
  return trimmed.find(',') == std::string::npos && platform::text::TryStrToFloat(trimmed).has_value();
}

namespace {

std::string Cell(const ImportRow& row, int column) {
  return column < static_cast<int>(row.size()) ? row[column] : std::string();
}

// The sales price is kept in cents, as the product dialog keeps it.
std::string PriceCell(const std::string& cell) {
  if (!IsNumericCell(cell)) return "0.00";
  const std::optional<platform::text::Cents> cents = platform::text::ParseAmount(cell);
  return cents ? platform::text::AmountText(*cents) : std::string("0.00");
}

std::string AsWritten(const std::string& cell, const char* otherwise) {
  return IsNumericCell(cell) ? TrimBlanks(cell) : std::string(otherwise);
}

// List price and cost are kept as written, as the product dialog keeps them.
std::string FigureCell(const std::string& cell) {
  return AsWritten(cell, "0.00");
}

std::string QuantityCell(const std::string& cell) {
  return AsWritten(cell, "0");
}

// The price and quantity columns and the 10-character fields they fill.
using NumberField = platform::text::ShortString<10>;

struct NumberColumn {
  int column;
  NumberField ProductRec::*field;
  std::string (*text)(const std::string& cell);
};

constexpr NumberColumn NumberColumns[] = {
    {7, &ProductRec::Price, PriceCell},
    {8, &ProductRec::ListPrice, FigureCell},
    {9, &ProductRec::Cost, FigureCell},
    {10, &ProductRec::OnHand, QuantityCell},
    {13, &ProductRec::MaximumQuantity, QuantityCell},
    {14, &ProductRec::MinimumQuantity, QuantityCell},
    {15, &ProductRec::TargetQuantity, QuantityCell},
};

records::Flag YesFlag(const std::string& cell) {
  return cell == "Y" ? 1 : 0;
}

ProductRec ProductFromRow(const ImportRow& row, bool copyDescription) {
  ProductRec p;
  p.Code.Set(Cell(row, 0));
  p.Description.Set(Cell(row, 1));
  p.PODescription.Set(Cell(row, copyDescription ? 1 : 2));
  p.TaxOnInvoice = YesFlag(Cell(row, 3));
  p.TaxOnPO = YesFlag(Cell(row, 4));
  p.NonStock = YesFlag(Cell(row, 5));
  p.NonDepleting = YesFlag(Cell(row, 6));
  for (const NumberColumn& number : NumberColumns)
    (p.*number.field).Set(number.text(Cell(row, number.column)));
  p.Location.Set(Cell(row, 11));
  p.KeyCode.Set(TrimBlanks(Cell(row, 12)).empty() ? std::string("*None*") : Cell(row, 12));
  p.SetupDate.Set(platform::text::DateToStr(platform::text::Today()));
  p.PricingMethod.Set("F");
  p.PriceUpdateMode.Set("A");
  p.Percentage.Set("0.00");
  p.Weight.Set("0");
  p.BatchNumber.Set("0");
  return p;
}

RecordImage ImageOf(const ProductRec& product) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&product);
  return RecordImage(bytes, bytes + sizeof product);
}

ImportResult AppendProducts(const std::vector<ImportRow>& rows, bool copyDescription,
                            const ImportProgress& progress) {
  storage::DataFileUnit& unit = records::ProductUnit();
  int64_t counter = int64_t{storage::IsamUsedKeys(unit.File(), 1)} + 1;
  storage::IsamOK = true;
  TakenKeys codes(unit, 1);
  const TextField code = FieldOf(&ProductRec::Code);
  ImportResult result;
  for (const ImportRow& row : rows) {
    RecordImage record = ImageOf(ProductFromRow(row, copyDescription));
    if (TrimBlanks(code.Get(record.data())).empty()) {
      TakeNextFree(record, code, codes, counter, [](int64_t value) { return std::to_string(value); });
    } else if (codes.Taken(record)) {
      TakeNextFree(record, code, codes, counter, [](int64_t value) { return "DUP" + std::to_string(value); });
    } else {
      codes.Take(record);
    }
    AppendImported(unit, record, result);
    ReportProgress(progress, result.Added, static_cast<int>(rows.size()));
  }
  return result;
}

}  // namespace

std::optional<ImportCellFault> FirstNumberTooLong(const std::vector<ImportRow>& rows) {
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (const NumberColumn& number : NumberColumns) {
      const std::string cell = Cell(rows[r], number.column);
      if (number.text(cell).size() > NumberField::Capacity())
        return ImportCellFault{static_cast<int>(r) + 1, number.column, TrimBlanks(cell)};
    }
  return std::nullopt;
}

ImportResult ImportProducts(const std::vector<ImportRow>& rows, bool copyDescription,
                            const ImportProgress& progress) {
  return RunImportPosting("the import of products",
                          [&] { return AppendProducts(rows, copyDescription, progress); });
}

}  // namespace exchange
