#include "reports/report_catalog.h"

#include "reports/invoice_reports.h"
#include "reports/line_reports.h"
#include "reports/po_reports.h"
#include "reports/product_reports.h"
#include "reports/receivables_report.h"

namespace reports {

namespace {

constexpr std::string_view NoMatch = "No matching records found.";

}  // namespace

const std::array<ReportEntry, 15>& ReportCatalog() {
  static const std::array<ReportEntry, 15> catalog = {{
      {"PO Register", true,
       "Lists all Purchase Orders created in the selected period. Shows Net,Tax and Total. Use this report "
       "to see "
       "what vendors you have purchased from.",
       CollectPORegister, NoMatch, "PO Register", true},
      {"Purchase Detail", true, "Shows the detail of all items you have purchased in the selected period.",
       CollectPurchaseDetail, NoMatch, "Purchase Detail", true},
      {"Inventory Report", false,
       "Shows all items which make up your current inventory. This report also shows storage locations and "
       "cost "
       "value of inventory items.",
       CollectInventoryReport, "No matching products found.", "Inventory Report", false},
      {"Receiving Report", true,
       "Shows all products received in the selected period. Shows date in, quantity and price. Use this "
       "report "
       "to see what items you have brought into stock.",
       CollectReceivingReport, NoMatch, "Receiving Report", true},
      {"Reorder Report", false,
       "Shows all stock items which need reorders to make your product stock targets. This reports does not "
       "list "
       "items marked as non-stock or non-depleting items.",
       CollectReorderReport, "No products found.", "Reorder Report", false},
      {"Overstock Report", false,
       "Shows all inventory which have more items on hand than targeted. This reports does not list items "
       "marked "
       "as non-stock or non-depleting items.",
       CollectOverstockReport, "No products found.", "Overstock Report", false},
      {"Commitment Report", true,
       "Shows all Purchase Orders which have not been received by the date required. Use this report to see "
       "what "
       "items you have ordered that are behind schedule.",
       CollectCommitmentReport, NoMatch, "Commitment Report", true},
      {"PO Key Code Inquiry", true,
       "Lists all Purchase Orders created in the selected period. Shows Net,Tax and Total. This report "
       "includes "
       "your Key Code for sub-totaling instead of Vendor Number.",
       CollectPOKeyCodeInquiry, NoMatch, "PO Key Code Inquiry", true},
      {"Invoice Register", true,
       "Lists all invoices created in the selected period. Shows Net,Tax and Total. Use this report to see "
       "what "
       "customers you have billed.",
       CollectInvoiceRegister, NoMatch, "Invoice Register", true},
      {"Payment Register", true,
       "Lists all payments received in the selected period. Shows Total, Paid and Balance.  Use this report "
       "to "
       "see the payments you have processed.",
       CollectPaymentRegister, NoMatch, "Payment Register", true},
      {"Accounts Receivable", false,
       "Shows all open items which make up your Accounts Receivable Balance. This report also shows how old "
       "your "
       "unpaid invoices are (Aging Analysis).",
       CollectAccountsReceivable, NoMatch, "Accounts Receivable Report", false},
      {"Profit Report", true,
       "Shows all items you have sold in the selected period. Includes cost of item, sales price, quantity "
       "and "
       "profit/loss from sales.",
       CollectProfitReport, "No product sales found for the specified period.", "Profit Report", false},
      {"Sales Report", true, "Shows all products you have sold in the selected period.", CollectSalesReport,
       NoMatch, "Sales Report", true},
      {"Invoice Key Code Inquiry", true,
       "Lists all invoices created in the selected period. Shows Net,Tax and Total. This report includes "
       "your Key "
       "Code for sub-totaling instead of Customer Number.",
       CollectInvoiceKeyCodeInquiry, NoMatch, "Invoice Key Code Report", true},
      {"Tax Report", true,
       "Lists all invoices PAID in the selected period.  Unlike the Payment Register, this report shows the "
       "Tax "
       "and Key Code columns. Use to view taxes collected or collections by Key Code.",
       CollectTaxReport, NoMatch, "Tax Report", true},
  }};
  return catalog;
}

const ReportEntry* FindReport(std::string_view title) {
  for (const ReportEntry& entry : ReportCatalog())
    if (entry.Title == title) return &entry;
  return nullptr;
}

}  // namespace reports
