#pragma once
// Company "1" in a scratch folder with empty invoice, invoice line, PO header, PO line and product
// files, the engine started and the clock stopped at 15 March 2026, 14:07: what the reports read.
// Tests file their records through the record routines and read the reports' tables back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/clock.h"
#include "records/customer_rec.h"
#include "records/detail_file.h"
#include "records/invoice_rec.h"
#include "records/po_detail_file.h"
#include "records/po_header_rec.h"
#include "records/product_rec.h"
#include "records/vendor_rec.h"
#include "reports/report_lines.h"
#include "support/temp_dir.h"

namespace test_fixtures {

using Rows = std::vector<std::vector<std::string>>;

class ReportsTest : public ::testing::Test {
 protected:
  ReportsTest();
  ~ReportsTest() override;

  void FileInvoices(const std::vector<records::InvoiceRec>& invoices);
  void FileLines(const std::vector<records::DetailRec>& lines);
  void FilePOLines(const std::vector<records::PODetailRec>& lines);
  void FilePOHeaders(const std::vector<records::POHeaderRec>& headers);
  void FileProducts(const std::vector<records::ProductRec>& products);
  void FileCustomers(const std::vector<records::CustomerRec>& customers);
  void FileVendors(const std::vector<records::VendorRec>& vendors);
  // The open company's record in the company list, the list made anew, with that receivables
  // balance (in the open company's record too).
  void FileCompany(const std::string& receivables);

  // An invoice-file record: sortable date "YYYY/MM/DD" (typed in month order beside it), and its
  // amounts as stored.
  struct InvoiceFields {
    std::string Number = "";
    std::string Type = "I";
    std::string Customer = "";
    std::string ShortName = "";
    std::string Date = "";
    std::string Net = "0.00";
    std::string Tax = "0.00";
    std::string Total = "0.00";
    std::string Paid = "0.00";
    std::string Due = "0.00";
    std::string DatePaid = "";
    std::string KeyCode = "";
    std::string TaxRate = "";
    std::string Settled = "";
  };
  static records::InvoiceRec Invoice(const InvoiceFields& fields);
  // A PO header: sortable PO date and date required "YYYY/MM/DD", received date " " while the PO
  // is open, amounts as stored.
  struct POFields {
    std::string Number = "";
    std::string Status = "O";
    std::string Vendor = "";
    std::string ShortName = "";
    std::string Date = "";
    std::string Required = "";
    std::string Received = " ";
    std::string Net = "0.00";
    std::string Tax = "0.00";
    std::string Total = "0.00";
    std::string KeyCode = "";
  };
  static records::POHeaderRec POHeader(const POFields& fields);
  // POs around March 2026: open (5001, due 20 March), received (5002), ordered in February and
  // due in March (5003), of no value while open (5004) and closed (5005), returned (5006), one
  // without a number, a credit wider than its column (5007), and one ordered in April (5008).
  static std::vector<records::POHeaderRec> MarchPOs();
  // An invoice line of quantity, description, price and extension on the invoice's date.
  static records::DetailRec Line(const std::string& invoice, const std::string& date,
                                 const std::string& product, const std::string& customer,
                                 const std::string& shortName, const std::string& quantity,
                                 const std::string& description, const std::string& price,
                                 const std::string& extension, const std::string& unitCost);
  static records::PODetailRec POLine(const std::string& po, const std::string& date,
                                     const std::string& product, const std::string& vendor,
                                     const std::string& shortName, const std::string& quantity,
                                     const std::string& description, const std::string& price,
                                     const std::string& extension);
  // A product with its stock figures (on hand, minimum, maximum, target) and prices.
  static records::ProductRec Product(const std::string& code, const std::string& description,
                                     const std::string& onHand, const std::string& min,
                                     const std::string& max, const std::string& target);

  // The request of a run over the range, at the stopped clock.
  static reports::ReportRequest Range(const std::string& from, const std::string& to,
                                      const std::string& filter = "");

  testing_support::TempDir dir_;
  platform::text::FixedClock clock_;
};

// The table's cells without their surrounding blanks, heading row first.
Rows Trimmed(const reports::ReportTable& table);
// The sum of a column's cells over the record rows.
double ColumnSum(const reports::ReportTable& table, int column);

}  // namespace test_fixtures
