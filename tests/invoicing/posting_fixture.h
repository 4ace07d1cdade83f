#pragma once
// Company "12" in a scratch folder, the clock on 7 December 2026, aging limits 30/60/90, with
// customers C1 and C2 and the products WIDGET (100 on hand), SERVICE (non-stock) and MANUAL
// (not depleted). The customer, product, invoice, detail and memo files stay open, as the
// Invoice Manager holds them; postings use them as held.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "invoicing/entered_invoice.h"
#include "platform/ui/support/ui_script.h"
#include "records/customer_rec.h"
#include "records/invoice_rec.h"
#include "storage/isam_types.h"
#include "support/books_check.h"
#include "support/temp_dir.h"

namespace test_fixtures {

invoicing::EnteredLine Line(int row, const char* code, const char* quantity, const char* description,
                            const char* price, const char* taxable, const char* extension);
invoicing::EnteredInvoice Invoice(const char* number, const char* customer, const char* date, const char* net,
                                  const char* tax, const char* total, const char* paid);

class PostingTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static void AddCustomer(const char* number);
  static void AddProduct(const char* code, const char* onHand, bool nonStock, bool nonDepleting);
  // An invoice-file record of customer C1 dated 12/07/2026, written as it stands (as payments and
  // deposits leave them); nothing else is posted.
  struct RecordSpec {
    const char* Number;
    const char* Type;
    const char* Total;
    const char* Paid;
    const char* Due = "0.00";
    bool Settled = false;
    bool Printed = false;
    const char* Body = "P";
  };
  static storage::IsamRecRef AddRecord(const RecordSpec& spec);
  static records::CustomerRec Customer(const char* number);
  static std::string OnHand(const char* code);
  static records::InvoiceRec Stored(const char* number, storage::IsamRecRef* ref = nullptr);
  static std::vector<std::string> Buckets(const records::CustomerRec& c);
  void ExpectBooksBalance();

  testing_support::StockBefore Stock = {{"WIDGET", 100}, {"MANUAL", 5}};
  testing_support::TempDir dir_;
  testing_support::UiScript ui_;
};

}  // namespace test_fixtures
