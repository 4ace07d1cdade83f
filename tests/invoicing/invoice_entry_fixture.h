#pragma once
// Company "12" in a scratch folder with its customer, product and invoice files, the clock
// stopped on 5 March 2026, and the invoice entry form made as start-up makes it. Helpers work
// the form the way a user does: through its handlers, the grid's cells and the managers it opens
// as pickers.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "invoicing/entered_invoice.h"
#include "invoicing/invoice_entry.h"
#include "platform/text/clock.h"
#include "platform/ui/support/ui_script.h"
#include "records/customer_rec.h"
#include "records/product_rec.h"
#include "support/temp_dir.h"

namespace test_fixtures {

class InvoiceEntryTest : public ::testing::Test {
 protected:
  InvoiceEntryTest();
  ~InvoiceEntryTest() override;

  static records::CustomerRec Customer(const std::string& number, const std::string& name);
  static records::ProductRec Product(const std::string& code, const std::string& description,
                                     const std::string& price, const std::string& onHand = "10");
  void File(const std::vector<records::CustomerRec>& customers);
  void File(const std::vector<records::ProductRec>& products);
  void FileInvoice(const std::string& number);

  // Shows the form as adding a new invoice (line items, or a memo) and runs `work` on it.
  void AddInvoice(const std::function<void(invoicing::TProdInv&)>& work, bool memo = false);
  // Picks the customer through the Customer Manager, as the "Customers" button does.
  void PickCustomer(invoicing::TProdInv& form, const records::CustomerRec& customer);
  // Picks a product for the cursor row through the Product Manager.
  void PickProduct(invoicing::TProdInv& form, const std::string& code);
  // Types into a cell as the user does, the row's figures following.
  static void Type(invoicing::TProdInv& form, int row, int column, const QString& text);
  // A form that would pass every check: customer, date, one described line.
  void FillValidInvoice(invoicing::TProdInv& form);

  testing_support::UiScript ui;
  // What OK handed on, once an invoice passed every check.
  std::optional<invoicing::EnteredInvoice> posted;

 private:
  testing_support::TempDir dir_;
  platform::text::FixedClock clock_;
};

}  // namespace test_fixtures
