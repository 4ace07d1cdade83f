#pragma once
// A company "12" in a scratch folder with every file of invoicing open (customers, products,
// invoices, detail lines, memos; a test of a window that opens the customer file itself may close
// it, and the helpers open it around their reads), the clock stopped on 7 December 2026 and aging limits of
// 30/60/90 days. Postings run against it as the windows run them; every test step ends by asking
// the books check whether customers, receivables and stock still agree with the records.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "invoicing/entered_invoice.h"
#include "platform/text/clock.h"
#include "platform/ui/support/ui_script.h"
#include "records/customer_rec.h"
#include "records/invoice_rec.h"
#include "support/books_check.h"
#include "support/temp_dir.h"

namespace test_fixtures {

class BooksTest : public ::testing::Test {
 protected:
  BooksTest();
  ~BooksTest() override;

  static void FileCustomer(const std::string& number, const std::string& name);
  static void FileProduct(const std::string& code, const std::string& onHand);
  // Posts a line-item invoice through the invoice posting; lines are "code quantity price" with
  // the price as the extension's unit.
  struct Sale {
    std::string Code;
    std::string Quantity;
    std::string Price;
  };
  static void PostInvoice(const std::string& number, const std::string& customer, const std::string& date,
                          const std::string& total, const std::string& paid,
                          const std::vector<Sale>& sales = {});
  // Posts a memo invoice, unpaid, of the memo `text` and `quantity` of the product `code`.
  static void PostMemoInvoice(const std::string& number, const std::string& customer, const std::string& date,
                              const std::string& total, const std::string& code, const std::string& quantity,
                              const std::string& text);

  static records::CustomerRec Customer(const std::string& number);
  // The records of the invoice file with this number, in the order they were written.
  static std::vector<records::InvoiceRec> Records(const std::string& number);
  static std::vector<std::string> Buckets(const records::CustomerRec& c);
  static std::string OnHand(const std::string& code);

  // The company's figures as stored in ovcomp (not only in memory).
  static records::CompanyRec StoredCompany();
  void ExpectBooksBalance() const;

  testing_support::StockBefore stock;
  testing_support::UiScript ui;

 private:
  testing_support::TempDir dir_;
  platform::text::FixedClock clock_;
};

}  // namespace test_fixtures
