#pragma once
// Company "12" in a scratch folder, the clock on 7 December 2026, with vendor V1 and the products
// WIDGET (100 on hand), SERVICE (non-stock), MANUAL (not depleted, 5 on hand), AB and ABN (none
// on hand). The product, PO header, PO detail and PO memo files stay open, as the PO Manager
// holds them; postings use them as held. Every test step ends by asking the books check whether
// stock and the POs' received state agree with the records.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/clock.h"
#include "platform/ui/support/ui_script.h"
#include "purchasing/entered_po.h"
#include "records/company_rec.h"
#include "records/po_detail_file.h"
#include "records/po_header_rec.h"
#include "support/books_check.h"
#include "support/temp_dir.h"

namespace test_fixtures {

purchasing::EnteredPOLine POLine(int row, const char* code, const char* quantity, const char* price = "2.00");
// A line-item PO of vendor V1 dated 12/01/2026, required 12/15/2026, with its lines.
purchasing::EnteredPO PO(const char* number, std::vector<purchasing::EnteredPOLine> lines);

class POBooksTest : public ::testing::Test {
 protected:
  POBooksTest();
  ~POBooksTest() override;

  static void FileProduct(const char* code, const char* onHand, bool nonStock = false,
                          bool nonDepleting = false);
  static std::string OnHand(const char* code);
  static records::POHeaderRec Header(const char* number);
  // The PO detail records of a PO in the order they were written.
  static std::vector<records::PODetailRec> Details(const char* number);
  static records::CompanyRec StoredCompany();
  void ExpectBooksBalance() const;

  testing_support::StockBefore stock = {
      {"WIDGET", 100}, {"SERVICE", 0}, {"MANUAL", 5}, {"AB", 0}, {"ABN", 0}};
  testing_support::UiScript ui;

 private:
  testing_support::TempDir dir_;
  platform::text::FixedClock clock_;
};

}  // namespace test_fixtures
