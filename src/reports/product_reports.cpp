#include "reports/product_reports.h"

#include <functional>

#include "platform/text/key_text.h"
#include "records/product_file.h"
#include "reports/report_walk.h"

namespace reports {

using platform::text::TrimBlanks;
using records::ProductRec;

namespace {

bool IsStockItem(const ProductRec& p) {
  return p.NonStock == 0 && p.NonDepleting == 0;
}

// The overstock and reorder reports: the stock targets of every stock item that `listed` picks,
// with the quantity `difference` makes of them in the last column.
ReportOutput CollectStockTargets(
    const ReportShape& shape, const ReportRequest& request,
    const std::function<bool(const ProductRec&, double onHand, double min, double max, double target)>&
        listed,
    const std::function<double(double onHand, double max, double target)>& difference) {
  ReportLines lines(shape, request);
  ReportFile file(records::ProductUnit());
  WalkKey<ProductRec>(
      file, 1, "", [](const storage::IsamKeyStr&) { return true; },
      [&](const ProductRec& p) {
        if (!IsStockItem(p)) return;
        const double min = AmountOf(p.MinimumQuantity.Get());
        const double max = AmountOf(p.MaximumQuantity.Get());
        const double target = AmountOf(p.TargetQuantity.Get());
        const double onHand = AmountOf(p.OnHand.Get());
        if (!listed(p, onHand, min, max, target)) return;
        lines.Add({OrNone(p.PreferredVendor.Get()), p.Description.Get(), p.Code.Get(), p.KeyCode.Get(), min,
                   max, target, onHand, difference(onHand, max, target)},
                  {p.PreferredVendor.Get(), p.Description.Get(), p.Code.Get(), p.KeyCode.Get()});
      });
  return lines.Finish();
}

ReportShape StockTargetShape(const std::string& caption, const std::string& lastTitle) {
  return {
      caption,
      {TextColumn("Preferred Vendor", 20), TextColumn("Product Description", 32), TextColumn("Product#", 15),
       TextColumn("Key Code", 10), AmountColumn("Min. Quan."), AmountColumn("Max. Quan."),
       AmountColumn("Target Quan."), AmountColumn("On Hand"), AmountColumn(lastTitle)},
      3,
      8,
      4,
      "All Inventory Records Searched."};
}

}  // namespace

ReportOutput CollectOverstockReport(const ReportRequest& request) {
  static const ReportShape shape = StockTargetShape("Overstock Report", "Over Stock");
  return CollectStockTargets(
      shape, request,
      [](const ProductRec& p, double onHand, double, double max, double) {
        return TrimBlanks(p.Code.Get()).size() >= 2 && onHand > max;
      },
      [](double onHand, double max, double) { return onHand - max; });
}

ReportOutput CollectReorderReport(const ReportRequest& request) {
  static const ReportShape shape = StockTargetShape("Reorder Report", "Reorder Amt.");
  return CollectStockTargets(
      shape, request,
      [](const ProductRec& p, double onHand, double min, double, double target) {
        return !TrimBlanks(p.Code.Get()).empty() && onHand < min && target - onHand > 0;
      },
      [](double onHand, double, double target) { return target - onHand; });
}

ReportOutput CollectInventoryReport(const ReportRequest& request) {
  static const ReportShape shape = {
      "Inventory Report",
      {TextColumn("Location", 20), TextColumn("Product Description", 32), TextColumn("Product#", 15),
       TextColumn("Key Code", 10), TextColumn("T", 1), AmountColumn("On Hand"), AmountColumn("Cost"),
       AmountColumn("Sell"), AmountColumn("Cost Value")},
      4,
      8,
      5,
      "All Inventory Records Selected."};
  ReportLines lines(shape, request);
  ReportFile file(records::ProductUnit());
  WalkRecords<ProductRec>(file, [&](const ProductRec& p) {
    if (TrimBlanks(p.Code.Get()).empty()) return;
    const double onHand = AmountOf(p.OnHand.Get());
    const double cost = AmountOf(p.Cost.Get());
    lines.Add({OrNone(p.Location.Get()), p.Description.Get(), p.Code.Get(), p.KeyCode.Get(),
               p.PricingMethod.Get(), onHand, cost, AmountOf(p.Price.Get()), cost * onHand},
              {p.Location.Get(), p.Description.Get(), p.Code.Get()});
  });
  return lines.Finish();
}

}  // namespace reports
