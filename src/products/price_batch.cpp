#include "products/price_batch.h"

#include <stdexcept>

#include "platform/text/amount.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "records/company_file.h"
#include "records/product_file.h"
#include "records/product_pricing.h"
#include "records/record_file.h"
#include "records/stored_amount.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"

namespace products {

using namespace records;

using platform::text::TrimBlanks;

namespace {

PriceBatchRow RowOf(const ProductRec& product, std::string_view method, std::string_view percentage) {
  PriceBatchRow row;
  row.Code = product.Code.Get();
  row.ListPrice = FormatStoredAmount(TrimBlanks(product.ListPrice.Get()));
  row.Cost = FormatStoredAmount(TrimBlanks(product.Cost.Get()));
  row.PriceNow = FormatStoredAmount(TrimBlanks(product.Price.Get()));
  row.Batch = TrimBlanks(product.BatchNumber.Get());
  if (method.empty()) {
    row.NewPrice = "0";
    row.Profit = "0";
    return row;
  }
  const PriceQuote quote =
      CalculateProductPrice(method, product.Cost.Get(), product.ListPrice.Get(), percentage, {});
  if (!quote.Refused()) {
    row.NewPrice = quote.ShownPrice();
    row.Profit = quote.ShownProfit();
  }
  return row;
}

}  // namespace

std::optional<std::vector<PriceBatchRow>> SearchPriceBatch(std::string_view batchNumber,
                                                           std::string_view method,
                                                           std::string_view percentage) {
  std::vector<PriceBatchRow> rows;
  FileForAction file(ProductFile, OpenProductFile);
  if (!ThereToRead(file, ProductUnit())) return std::nullopt;
  ForEachRecordInFileOrder<ProductRec>(ProductFile, [&](const ProductRec& product) {
    if (IsInManualPriceBatch(product, batchNumber)) rows.push_back(RowOf(product, method, percentage));
  });
  return rows;
}

namespace {

int ChangePricesOnFile(const std::vector<PriceChange>& changes, std::string_view method,
                       std::string_view percentage) {
  const std::string today = platform::text::DateToStr(platform::text::Today());
  int changed = 0;
  {
    FileForAction file(ProductFile, OpenProductFile);
    if (!ThereToRead(file, ProductUnit())) return -1;
    for (const PriceChange& change : changes) {
      PriceQuote quote;
      const std::optional<platform::text::Cents> price = platform::text::ParseAmount(change.NewPrice);
      if (!price) continue;
      quote.Price = *price;
      // Cut to the field only once the separators are gone: a price that still does not fit
      // would be stored with digits missing, so it is not stored at all.
      if (quote.StoredPrice().size() > ShortString<10>::Capacity()) continue;
      ProductRec product;
      storage::IsamRecRef ref = 0;
      if (!ReadProductByCode(change.Code, product, ref)) continue;
      if (!ApplyBatchPriceChange(product, quote, method, percentage, today)) continue;
      storage::IsamPutRec(ProductFile, ref, &product, sizeof product);
      RequireDone(storage::IsamOK, "Modify operation failed");
      ++changed;
    }
  }
  RequireDone(
      UpdateCurrentCompanyRecord([&today](CompanyRec& company) { company.LastPriceChangeDate.Set(today); }),
      "The company record could not be updated.");
  return changed;
}

}  // namespace

int ChangeBatchPrices(const std::vector<PriceChange>& changes, std::string_view method,
                      std::string_view percentage) {
  // One posting: every price changes, or none.
  return storage::RunPosting("the price change",
                             [&] { return ChangePricesOnFile(changes, method, percentage); },
                             {"The prices", "changed"});
}

}  // namespace products
