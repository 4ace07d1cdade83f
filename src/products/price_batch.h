#pragma once
// The price change of a whole batch: every product whose price update mode is manual ("M") and
// whose batch number is the one asked for gets a new price by one pricing method and one
// percentage. The search only reads; the change writes the prices in place (the keys do not
// change) and stamps the company's last price-change date.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace products {

// One product of the batch as the wizard lists it; the texts are as shown (",0.00").
struct PriceBatchRow {
  std::string Code;
  std::string ListPrice;
  std::string Cost;
  std::string PriceNow;
  std::string NewPrice;  // empty when the product cannot take a price by the method
  std::string Profit;
  std::string Batch;
};

// The method codes of the wizard: "M" markup from cost, "G" margin from cost, "D" discount
// from list; empty when no method is chosen (every new price and profit is then "0").
// Reads the open company's product file in physical order, opening and closing it; none when
// there is no product file (its making was refused, and said). Throws records::FileUnusable when
// the file could not be opened (a repair declined, a file the system refused) or read.
std::optional<std::vector<PriceBatchRow>> SearchPriceBatch(std::string_view batchNumber,
                                                           std::string_view method,
                                                           std::string_view percentage);

struct PriceChange {
  std::string Code;
  std::string NewPrice;  // as shown: thousands separators allowed
};

// Writes each new price as shown into the product with that code (the previous price keeps the
// old one; the percentage, the method and today's date are stored with it), then the company's
// last price-change date. A row whose product is gone or whose price does not fit the price
// field is left alone. One posting: every price and the date are written, or none. The number of
// products changed; -1 when there is no product file. Throws records::FileUnusable when the
// file could not be opened; a record that cannot be read or written fails the posting.
int ChangeBatchPrices(const std::vector<PriceChange>& changes, std::string_view method,
                      std::string_view percentage);

}  // namespace products
