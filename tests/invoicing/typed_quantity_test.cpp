// Keys typed into the line grid of the invoice forms reach the posted invoice as typed, whether
// they come at a clerk's pace, the event loop running between them, or in one burst: a code is
// looked up before the keys after it are handled, and a quantity or price typed after it replaces
// what the look-up put there. New and edited invoices, read back from the files.

#include <gtest/gtest.h>

#include "invoicing/invoice_add.h"
#include "invoicing/invoice_edit.h"
#include "invoicing/invoice_entry.h"
#include "invoicing/invoice_posting.h"
#include "platform/ui/application.h"
#include "posting_fixture.h"
#include "records/company_file.h"
#include "records/payment_terms.h"
#include "support/typed_ahead.h"
#include "support/typed_products.h"

namespace invoicing {
namespace {

using testing_support::kTypedProducts;
using testing_support::Pace;
using testing_support::TypedLine;
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

  static void FillHeader(TProdInv& f) {
    f.ICustNo->setText("C1");
    f.ICustName->setText("Customer C1");
    f.IDate->setText("12/07/2026");
  }

  // The product's code typed on `row`, then the line's keys; then OK.
  void TypeLineAndPost(TProdInv& f, int row, const TypedProduct& product, const TypedLine& keys, Pace pace) {
    testing_support::TypeProductLine(*f.StringGrid1, f.Lines->index(row - 1, kColCode), product, keys.Keys,
                                     pace, ui_);
    f.OKButtonClick();
  }

  static testing_support::EntryWindow Window(TProdInv& f) {
    return {
        &f,
        f.StringGrid1,
        kColCode,
        f.OKButton,
        f.SBInsert,

        "This Product Code is already in use on this invoice. Change the quantity for the existing product."};
  }

  // The stored lines from line `first` on, and the invoice's net against all its lines.
  static void ExpectLinesStored(storage::IsamRecRef ref, int first,
                                const std::vector<std::string>& expected) {
    StoredInvoice stored;
    ASSERT_TRUE(ReadStoredInvoice(ref, stored));
    std::vector<std::string> lines;
    platform::text::Cents extensions = 0;
    for (const auto& line : stored.Lines) {
      const std::string text = line.Record.LineText.Get();
      extensions += testing_support::StoredExtension(text);
      lines.push_back(testing_support::TypedLineAsStored(line.Record.Product.Get(), text));
    }
    EXPECT_EQ(
        std::vector<std::string>(lines.begin() + std::min<size_t>(first - 1, lines.size()), lines.end()),
        expected);
    EXPECT_EQ(stored.Record.NetAmount.Get(), platform::text::AmountText(extensions));
  }

  // The last line of the stored invoice is the typed one, and the invoice's net is its extension.
  static void ExpectTypedLineStored(storage::IsamRecRef ref, const TypedProduct& product,
                                    const TypedLine& keys) {
    StoredInvoice stored;
    ASSERT_TRUE(ReadStoredInvoice(ref, stored));
    ASSERT_FALSE(stored.Lines.empty());
    const records::DetailRec& line = stored.Lines.back().Record;
    EXPECT_EQ(line.Product.Get(), product.Code);
    // Looked up: the product's description and cost, never a blank line of the product's code.
    EXPECT_NE(line.LineText.Get().find(std::string("Product ") + product.Code), std::string::npos);
    EXPECT_EQ(line.UnitCost.Get().substr(0, 5), "10.00");
    EXPECT_EQ(testing_support::QuantityAndExtension(line.LineText.Get()), keys.QuantityAndExtension);
    const std::string typed = keys.QuantityAndExtension;
    EXPECT_EQ(stored.Record.NetAmount.Get(), typed.substr(typed.find(' ') + 1));
  }
};

TEST_F(TypedQuantityTest, WhatIsTypedAfterTheCodeIsWhatIsPosted) {
  testing_support::ForEveryTypedLine([&](Pace pace, const TypedLine& keys, const TypedProduct& product) {
    SCOPED_TRACE("new invoice");
    TProdInv& form = CreateProdInv();
    PrepareInvoiceFormForAdd(form);
    ui_.OnModal<TProdInv>([&](TProdInv& f) {
      FillHeader(f);
      TypeLineAndPost(f, 1, product, keys, pace);
    });
    const std::optional<AddedInvoice> added = EnterNewInvoice(form);
    ASSERT_TRUE(added);
    ExpectTypedLineStored(added->Posted.Ref, product, keys);
    EXPECT_TRUE(ui_.Done());
  });
  int number = 7001;  // above the numbers the new invoices took
  testing_support::ForEveryTypedLine([&](Pace pace, const TypedLine& keys, const TypedProduct& product) {
    SCOPED_TRACE("edited invoice");
    // A stored invoice of one comment line; the product goes on the line below it.
    EnteredInvoice invoice = test_fixtures::Invoice(std::to_string(number++).c_str(), "C1", "12/07/2026",
                                                    "0.00", "0.00", "0.00", "0.00");
    invoice.Lines = {test_fixtures::Line(1, "", "", "Shipped by rail", "", " ", "")};
    const storage::IsamRecRef ref = PostNewInvoice(invoice).Ref;
    ui_.OnModal<TProdInv>([&](TProdInv& f) { TypeLineAndPost(f, 2, product, keys, pace); });
    std::string status;
    EXPECT_TRUE(EditInvoice(ref, status));
    ExpectTypedLineStored(ref, product, keys);
    EXPECT_TRUE(ui_.Done());
  });
  ExpectBooksBalance();
}

// Two lines in one burst: each code is looked up before the keys after it, so both lines are
// posted with their products and the figures typed. A code still in its cell when OK is chosen
// is looked up then, and the form stays for the clerk to see the line before it is posted.
TEST_F(TypedQuantityTest, LinesTypedInOneBurstArePostedAsTypedAndOKLooksUpACodeStillInItsCell) {
  TProdInv& form = CreateProdInv();
  PrepareInvoiceFormForAdd(form);
  ui_.OnModal<TProdInv>([&](TProdInv& f) {
    FillHeader(f);
    testing_support::TypeThreeLinesInOneBurstThenChooseOK(
        *f.StringGrid1, f.Lines->index(0, kColCode), kColPrice, [&f] { f.OKButtonClick(); }, ui_);
  });
  const std::optional<AddedInvoice> added = EnterNewInvoice(form);
  ASSERT_TRUE(added);
  StoredInvoice stored;
  ASSERT_TRUE(ReadStoredInvoice(added->Posted.Ref, stored));
  std::vector<std::string> lines;
  for (const auto& line : stored.Lines)
    lines.push_back(line.Record.Product.Get() + " " +
                    testing_support::QuantityAndExtension(line.Record.LineText.Get()) + " " +
                    line.Record.UnitCost.Get().substr(0, 5));
  EXPECT_EQ(lines, (std::vector<std::string>{"STOCK5 3 22.50 10.00", "NOSTOCK5 2 8.50 10.00",
                                             "SHORT5 1.00 10.00 10.00"}));
  EXPECT_EQ(stored.Record.NetAmount.Get(), "41.00");
  EXPECT_TRUE(ui_.Done());
  ExpectBooksBalance();
}

// Codes typed ahead are looked up whatever the window does meanwhile, and the invoice keeps every
// line it totals: each case on a new invoice and on a stored one, the lines read back from the
// files and the net against them.
class TypedAheadTest : public TypedQuantityTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(TypedAheadTest, CodesAreLookedUpAndTheNetIsThatOfTheLinesKept) {
  const testing_support::TypedAheadCase& c = testing_support::TypedAheadCases().at(GetParam());
  SCOPED_TRACE(c.Name);
  TProdInv& form = CreateProdInv();
  PrepareInvoiceFormForAdd(form);
  ui_.OnModal<TProdInv>([&](TProdInv& f) {
    FillHeader(f);
    c.Work(Window(f), 1, ui_);
  });
  const std::optional<AddedInvoice> added = EnterNewInvoice(form);
  ASSERT_TRUE(added);
  ExpectLinesStored(added->Posted.Ref, 1, c.Lines);
  ASSERT_TRUE(ui_.Done());

  SCOPED_TRACE("edited invoice");
  EnteredInvoice invoice = test_fixtures::Invoice("8001", "C1", "12/07/2026", "0.00", "0.00", "0.00", "0.00");
  invoice.Lines = {test_fixtures::Line(1, "", "", "Shipped by rail", "", " ", "")};
  const storage::IsamRecRef ref = PostNewInvoice(invoice).Ref;
  ui_.OnModal<TProdInv>([&](TProdInv& f) { c.Work(Window(f), 2, ui_); });
  std::string status;
  EXPECT_TRUE(EditInvoice(ref, status));
  ExpectLinesStored(ref, 2, c.Lines);
  EXPECT_TRUE(ui_.Done());
  ExpectBooksBalance();
}

INSTANTIATE_TEST_SUITE_P(EveryCase, TypedAheadTest,
                         ::testing::Range<size_t>(0, testing_support::TypedAheadCases().size()));

}  // namespace
}  // namespace invoicing
