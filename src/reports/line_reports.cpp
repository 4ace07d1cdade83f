#include "reports/line_reports.h"

#include "records/detail_file.h"
#include "records/po_detail_file.h"
#include "reports/report_walk.h"

namespace reports {

using records::DetailRec;
using records::PODetailRec;

namespace {

// The parts of a line text (quantity, description, price, extension), counted from 1.
std::string_view LineQuantity(std::string_view text) {
  return LinePart(text, 1, 10);
}
std::string_view LineDescription(std::string_view text) {
  return LinePart(text, 11, 42);
}
std::string_view LinePrice(std::string_view text) {
  return LinePart(text, 43, 52);
}
std::string_view LineExtension(std::string_view text) {
  return LinePart(text, 54, 63);
}
// A memo document's one line is marked "M" where a line item keeps its taxable flag, and it
// stores the memo's net where a line item has its unit price.
bool IsMemoLine(std::string_view text) {
  return LinePart(text, 53, 53) == "M";
}

// What a line sold: quantity, price of one and price of all. A memo line's price is its net for
// the whole quantity, so one costs the net shared over the quantity.
struct LineSale {
  double Quantity, UnitPrice, Price;
};
LineSale SaleOf(std::string_view text) {
  const double quantity = AmountOf(LineQuantity(text));
  const double price = AmountOf(LinePrice(text));
  if (!IsMemoLine(text)) return {quantity, price, price * quantity};
  return {quantity, quantity != 0 ? price / quantity : price, price};
}

// "Purchase Detail" and "Sales Report" share their layout; they differ in the document's names.
ReportShape DocumentLineShape(const std::string& caption, const std::string& number,
                              const std::string& account) {
  return {caption,
          {TextColumn("Product Description", 32), TextColumn("Product#", 15), TextColumn("Year/Mo/Dy", 10),
           TextColumn(number, 9), TextColumn("Short Name", 10), TextColumn(account, 8),
           QuantityColumn("Unit Price"), QuantityColumn("Quantity"), AmountColumn("Line Amount")},
          5,
          8,
          6,
          ""};
}

// One document line: its fields as the record holds them, and the line text's parts.
struct LineFields {
  std::string_view Text, Product, Date, Number, ShortName, Account;
};

// The unit price cell of a line: a memo line's is worked out, a line item's stands in its text.
CellValue UnitPriceOf(std::string_view text) {
  if (IsMemoLine(text)) return SaleOf(text).UnitPrice;
  return OrZero(LinePrice(text));
}

void AddDocumentLine(ReportLines& lines, const LineFields& line) {
  const std::string_view description = LineDescription(line.Text);
  lines.Add({description, OrNone(line.Product), line.Date, line.Number, line.ShortName, line.Account,
             UnitPriceOf(line.Text), OrZero(LineQuantity(line.Text)), OrZero(LineExtension(line.Text))},
            {description, line.Product, line.Number, line.Account, line.ShortName});
}

}  // namespace

ReportOutput CollectPurchaseDetail(const ReportRequest& request) {
  static const ReportShape shape = DocumentLineShape("Purchase Detail", "PO#", "Vendor");
  ReportLines lines(shape, request);
  WalkDateRange(records::PODetailUnit(), 1, &PODetailRec::PODate, DateRange(request),
                [&](const PODetailRec& r) {
                  AddDocumentLine(lines, {r.LineText.View(), r.Product.View(), r.PODate.View(),
                                          r.PONumber.View(), r.ShortName.View(), r.Vendor.View()});
                });
  return lines.Finish();
}

ReportOutput CollectSalesReport(const ReportRequest& request) {
  static const ReportShape shape = DocumentLineShape("Sales Report", "Invoice#", "Customer");
  ReportLines lines(shape, request);
  WalkDateRange(records::DetailUnit(), 1, &DetailRec::Date, DateRange(request), [&](const DetailRec& r) {
    AddDocumentLine(lines, {r.LineText.View(), r.Product.View(), r.Date.View(), r.InvoiceNumber.View(),
                            r.ShortName.View(), r.Customer.View()});
  });
  return lines.Finish();
}

ReportOutput CollectProfitReport(const ReportRequest& request) {
  static const ReportShape shape = {
      "Profit Report",
      {TextColumn("Product#", 15), TextColumn("Product Description", 32), TextColumn("Invoice#", 9),
       TextColumn("Date", 10), TextColumn("Customer", 8), AmountColumn("Quantity"), AmountColumn("Your Cost"),
       AmountColumn("Sales Price"), AmountColumn("Net Profit")},
      4,
      8,
      5,
      ""};
  ReportLines lines(shape, request);
  WalkDateRange(records::DetailUnit(), 1, &DetailRec::Date, DateRange(request), [&](const DetailRec& r) {
    const std::string_view text = r.LineText.View();
    const LineSale sale = SaleOf(text);
    const double cost = AmountOf(r.UnitCost.View()) * sale.Quantity;
    const std::string_view description = LineDescription(text);
    lines.Add({OrNone(r.Product.View()), description, r.InvoiceNumber.View(), r.Date.View(),
               r.Customer.View(), sale.Quantity, cost, sale.Price, sale.Price - cost},
              {description, r.InvoiceNumber.View(), r.Product.View(), r.Customer.View()});
  });
  return lines.Finish();
}

ReportOutput CollectReceivingReport(const ReportRequest& request) {
  static const ReportShape shape = {
      "Receiving Report",
      {TextColumn("Product Description", 32), TextColumn("Product#", 15), TextColumn("Year/Mo/Dy", 10),
       TextColumn("PO#", 9), TextColumn("Short Name", 10), TextColumn("Vendor#", 8),
       TextColumn("Receiver#", 12, true), QuantityColumn("Ordered"), AmountColumn("Received")},
      6,
      8,
      7,
      ""};
  ReportLines lines(shape, request);
  WalkDateRange(
      records::PODetailUnit(), 3, &PODetailRec::ReceivedDate, DateRange(request), [&](const PODetailRec& r) {
        const std::string_view text = r.LineText.View();
        const std::string_view description = LineDescription(text);
        lines.Add({description, OrNone(r.Product.View()), r.ReceivedDate.View(), r.PONumber.View(),
                   r.ShortName.View(), r.Vendor.View(), OrNone(r.ReceiverNumber.View()),
                   OrZero(LineQuantity(text)), OrZero(r.QuantityReceived.View())},
                  {description, r.PONumber.View(), r.ShortName.View(), r.Vendor.View(), r.Product.View()});
      });
  return lines.Finish();
}

}  // namespace reports
