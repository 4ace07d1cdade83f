// Keys typed into the line grid of the invoice forms at a clerk's pace, the event loop running
// between them, reach the posted invoice as typed: a quantity typed once a code's cell is left
// replaces what the line showed, whatever the code's look-up (run after the cell was left) did to
// the line meanwhile. New and edited invoices, read back from the files.

#include <gtest/gtest.h>

#include "invoicing/invoice_add.h"
#include "invoicing/invoice_edit.h"
#include "invoicing/invoice_entry.h"
#include "invoicing/invoice_posting.h"
#include "platform/ui/application.h"
#include "posting_fixture.h"
#include "records/company_file.h"
#include "records/payment_terms.h"
#include "support/typed_products.h"

namespace invoicing {
namespace {

using testing_support::kTypedProducts;
using testing_support::TypedProduct;

class TypedQuantityTest : public test_fixtures::PostingTest {
 protected:
  void SetUp() override {
    PostingTest::SetUp();
    // A line the look-up fills shows the default quantity, which a quantity typed must replace.
    ASSERT_TRUE(records::UpdateCurrentCompanyRecord(
        [](records::CompanyRec& company) { company.DefaultInvoiceQuantity.Set("1.00"); }));
    ASSERT_TRUE(records::SavePaymentTerms({"Net 30 Days"}));
    testing_support::FileTypedProducts(Stock);
    CreateProdInv();
  }
  void TearDown() override {
    platform::ui::Application->DestroyForms();
    PostingTest::TearDown();
  }

  // The product's code typed on `row`, Tab, 3, Tab; then OK.
  void TypeLineAndPost(TProdInv& f, int row, const TypedProduct& product) {
    testing_support::TypeCodeAndThree(*f.StringGrid1, f.Lines->index(row - 1, kColCode), product, ui_);
    f.OKButtonClick();
  }

  // The last line of the stored invoice is the typed one, and the invoice's net is its extension.
  static void ExpectTypedLineStored(storage::IsamRecRef ref, const TypedProduct& product) {
    StoredInvoice stored;
    ASSERT_TRUE(ReadStoredInvoice(ref, stored));
    ASSERT_FALSE(stored.Lines.empty());
    const records::DetailRec& line = stored.Lines.back().Record;
    EXPECT_EQ(line.Product.Get(), product.Code);
    EXPECT_EQ(testing_support::QuantityAndExtension(line.LineText.Get()), "3 30.00");
    EXPECT_EQ(stored.Record.NetAmount.Get(), "30.00");
  }
};

TEST_F(TypedQuantityTest, TheQuantityTypedAfterTheCodeIsTheOnePosted) {
  for (const TypedProduct& product : kTypedProducts) {
    SCOPED_TRACE(std::string("new invoice, ") + product.Kind);
    TProdInv& form = CreateProdInv();
    PrepareInvoiceFormForAdd(form);
    ui_.OnModal<TProdInv>([&](TProdInv& f) {
      f.ICustNo->setText("C1");
      f.ICustName->setText("Customer C1");
      f.IDate->setText("12/07/2026");
      TypeLineAndPost(f, 1, product);
    });
    const std::optional<AddedInvoice> added = EnterNewInvoice(form);
    ASSERT_TRUE(added);
    ExpectTypedLineStored(added->Posted.Ref, product);
    EXPECT_TRUE(ui_.Done());
  }
  int number = 3001;
  for (const TypedProduct& product : kTypedProducts) {
    SCOPED_TRACE(std::string("edited invoice, ") + product.Kind);
    // A stored invoice of one comment line; the product goes on the line below it.
    EnteredInvoice invoice = test_fixtures::Invoice(std::to_string(number++).c_str(), "C1", "12/07/2026",
                                                    "0.00", "0.00", "0.00", "0.00");
    invoice.Lines = {test_fixtures::Line(1, "", "", "Shipped by rail", "", " ", "")};
    const storage::IsamRecRef ref = PostNewInvoice(invoice).Ref;
    ui_.OnModal<TProdInv>([&](TProdInv& f) { TypeLineAndPost(f, 2, product); });
    std::string status;
    EXPECT_TRUE(EditInvoice(ref, status));
    ExpectTypedLineStored(ref, product);
    EXPECT_TRUE(ui_.Done());
  }
  ExpectBooksBalance();
}

}  // namespace
}  // namespace invoicing
