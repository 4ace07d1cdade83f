// The checks OK runs: each refusal from an invoice that would otherwise pass, the order in which
// they are met, and what the questions let through.

#include "invoice_entry_fixture.h"
#include "invoicing/invoice_add.h"
#include "platform/ui/application.h"
#include "records/invoice_rec.h"
#include "records/payment_terms.h"

using namespace records;
using namespace invoicing;
using platform::ui::Application;
using platform::ui::mrCancel;
using platform::ui::mrNo;
using platform::ui::mrYes;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using platform::ui::TModalResult;

namespace test_fixtures {
namespace {

struct Refusal {
  const char* name;
  std::function<void(TProdInv&)> spoil;
  QString text;
  QString title;  // empty: a plain message box
  TModalResult answer = platform::ui::mrOk;
};

const std::vector<Refusal>& Refusals() {
  static const std::vector<Refusal> refusals{
      {"no number", [](TProdInv& f) { f.INum->setText("  "); }, "You need an invoice number.",
       "Invoice Number"},
      {"no customer and no number",
       [](TProdInv& f) {
         f.ICustNo->clear();
         f.INum->clear();
       },
       "You need an invoice number.", "Invoice Number"},
      {"no customer", [](TProdInv& f) { f.ICustNo->clear(); }, "You need to select a customer.",
       "Customer Required"},
      {"the letter I", [](TProdInv& f) { f.INum->setText("10i1"); },
       "Please do not use the letter \"I\" in your invoice numbers. This is reserved for Interest Wizard. "
       "You "
       "must change this invoice number.",
       "Invoice Number"},
      {"impossible date", [](TProdInv& f) { f.IDate->setText("02/30/2026"); },
       "You have an invalid invoice date. You can clear the date and then select the calendar button.",
       "Invoice Date"},
      {"bad quantity", [](TProdInv& f) { f.Lines->Put(1, kColQuantity, "1-2"); },
       "Line 1 has an invalid QUANTITY value.", ""},
      {"price without quantity", [](TProdInv& f) { f.Lines->Put(1, kColQuantity, ""); },
       "Line 1 has a unit price but no quantity.", ""},
      {"quantity without price", [](TProdInv& f) { f.Lines->Put(1, kColPrice, ""); },
       "Line 1 has a quantity but no unit price.", ""},
      {"bad price on a later line",
       [](TProdInv& f) {
         f.Lines->Put(7, kColQuantity, "1");
         f.Lines->Put(7, kColPrice, "1..5");
       },
       "Line 7 has an invalid UNIT PRICE value.", ""},
      {"bad cost", [](TProdInv& f) { f.LineCosts(3) = "abc"; }, "Line 3 has an invalid COST.", ""},
      {"extension beyond its column",
       [](TProdInv& f) {
         f.Lines->Put(1, kColQuantity, "-1");
         f.Lines->Put(1, kColPrice, "1234567.89");
       },
       "Line 1 has an EXTENSION value that is too large.", ""},
      {"one code on two lines, typed without Enter",
       [](TProdInv& f) {
         f.Lines->Put(1, kColCode, "BOLT");
         f.Lines->Put(4, kColCode, "bolt");
       },
       "This Product Code is already in use on this invoice. Change the quantity for the existing product.",
       "Code: bolt  Line: 1."},
      // Left out of the stored invoice, the line's figures would still count in its total.
      {"a price on a line without code or description",
       [](TProdInv& f) { f.Lines->Put(1, kColDescription, ""); },
       "Line 1 has a unit price but no product code or description. Enter one, or choose Clear Line.", ""},
      {"no description",
       [](TProdInv& f) {
         f.Lines->Put(1, kColDescription, "");
         f.Lines->Put(1, kColPrice, "0.00");
       },
       "You do not have a description on any of your line items. At least one description field is required "
       "or "
       "you have nothing to invoice.",
       "Description Required"},
      {"paid not a number", [](TProdInv& f) { f.IPaid->setText("1.2.3"); },
       "The PAID amount has an invalid value.", ""},
      {"net of ten million",
       [](TProdInv& f) {
         f.Lines->Put(1, kColQuantity, "1");
         f.Lines->Put(1, kColPrice, "9999999.99");
         f.Lines->Put(2, kColDescription, "Handling");
         f.Lines->Put(2, kColQuantity, "1");
         f.Lines->Put(2, kColPrice, "0.01");
         f.EBTaxRate->setText("0");
       },
       "The NET amount is too large.", ""},
      {"no-charge invoice answered No",
       [](TProdInv& f) {
         f.Lines->Put(1, kColQuantity, "0");
         f.Lines->Put(1, kColPrice, "0");
       },
       "Is this a no-charge invoice?", "Please Confirm", mrNo},
      {"paid above the total", [](TProdInv& f) { f.IPaid->setText("86.61"); },
       "The paid amount cannot exceed the invoice total amount.", "Payment Amount"},
      {"over the credit limit answered No",
       [](TProdInv& f) {
         f.ICredLimit->setText("100.00");
         SelectedCustomer.CustBalance.Set("20.00");
       },
       "This invoice will cause this customer to be over their credit limit.  Do you want to proceed anyway?",
       "Please Confirm", mrNo},
      {"new terms cancelled", [](TProdInv& f) { f.ITerms->setEditText("Net 45"); },
       "This is a new payment term. Would you like to add terms to the terms file?", "Terms: Net 45",
       mrCancel},
  };
  return refusals;
}

TEST_F(InvoiceEntryTest, EachCheckRefusesAndKeepsTheFormOpenWithTheDataAsTyped) {
  for (const Refusal& refusal : Refusals()) {
    SCOPED_TRACE(refusal.name);
    posted.reset();
    AddInvoice([&](TProdInv& f) {
      FillValidInvoice(f);
      refusal.spoil(f);
      ui.ExpectMessage(refusal.text, refusal.title.isEmpty() ? Application->Title : refusal.title)
          .Answer(refusal.answer);
      f.OKButtonClick();
      EXPECT_TRUE(f.InModalState());
      f.CancelDiscarding();
    });
    EXPECT_TRUE(ui.Done());
    EXPECT_FALSE(posted);
    SelectedCustomer = CustomerRec{};
  }
}

TEST_F(InvoiceEntryTest, TheQuestionsLetTheInvoiceThroughWhenAnsweredYes) {
  AddInvoice([&](TProdInv& f) {
    FillValidInvoice(f);
    f.ICredLimit->setText("50.00");
    f.ITerms->setEditText("Net 45");
    f.IPaid->setText("86.60");  // exactly the total
    ui.ExpectMessage("This is a new payment term. Would you like to add terms to the terms file?",
                     "Terms: Net 45")
        .Answer(mrYes);
    f.OKButtonClick();
  });
  EXPECT_TRUE(ui.Done());
  ASSERT_TRUE(posted);
  EXPECT_EQ(posted->Terms, "Net 45");
  EXPECT_EQ(posted->Due, "0.00");
  EXPECT_EQ(posted->ShortName, "*NONE*");
  EXPECT_TRUE(records::LoadPaymentTerms().contains("Net 45"));

  posted.reset();
  AddInvoice([&](TProdInv& f) {
    FillValidInvoice(f);
    f.ICredLimit->setText("50.00");
    ui.ExpectMessage(
          "This invoice will cause this customer to be over their credit limit.  Do you want to proceed "
          "anyway?",
          "Please Confirm")
        .Answer(mrYes);
    f.OKButtonClick();
  });
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(posted);
}

TEST_F(InvoiceEntryTest, ANegativeTotalWithNothingPaidPasses) {
  AddInvoice([&](TProdInv& f) {
    FillValidInvoice(f);
    f.Lines->Put(1, kColQuantity, "-2");
    f.OKButtonClick();
  });
  EXPECT_TRUE(ui.Done());
  ASSERT_TRUE(posted);
  EXPECT_EQ(posted->Total, "-86.60");
}

TEST_F(InvoiceEntryTest, DuplicateNumbersAreRefusedUnlessTheInvoiceKeepsItsOwn) {
  FileInvoice("1001");
  FileInvoice("2002");
  FileInvoice("0");
  PrepareInvoiceFormForAdd(*ProdInv);  // as the Invoice Manager's Add does
  AddInvoice([&](TProdInv& f) {
    FillValidInvoice(f);
    ui.ExpectMessage("This invoice number currently exists. Please enter another one.",
                     "Duplicate Invoice: 1001");
    f.OKButtonClick();
    EXPECT_TRUE(f.InModalState());
    // A new invoice has no number of its own, so "0" on file is another's too.
    f.INum->setText("0");
    ui.ExpectMessage("This invoice number currently exists. Please enter another one.",
                     "Duplicate Invoice: 0");
    f.OKButtonClick();
    EXPECT_TRUE(f.InModalState());
    f.INum->setText("1003");
    f.OKButtonClick();
  });
  EXPECT_TRUE(ui.Done());
  ASSERT_TRUE(posted);
  EXPECT_EQ(posted->Number, "1003");

  // Editing invoice 1001 (made from a repeat-billing master, hence "G" allows an "I").
  auto edit = [&](const std::string& initial, const QString& typed) {
    posted.reset();
    InvoiceFormMode = 1;
    InitialInvoiceNumber = initial;
    InvoiceBuf = InvoiceRec{};
    InvoiceBuf.Body.Set("P");
    ProdInv->INum->setText(typed);
    ProdInv->IDate->setText("03/01/2026");
    ui.OnModal<TProdInv>([&](TProdInv& f) {
      EXPECT_EQ(f.IMode->text(), "Edit Invoice");
      EXPECT_FALSE(f.BitBtn3->isEnabled());
      FillValidInvoice(f);
      f.OKButtonClick();
      if (f.InModalState()) f.CancelDiscarding();
    });
    ProdInv->ShowModal();
    InvoiceFormMode = 0;
  };
  edit("1001", "1001");
  EXPECT_TRUE(posted);
  ui.ExpectMessage("This invoice number currently exists. Please enter another one.",
                   "Duplicate Invoice: 2002");
  edit("1001", "2002");
  EXPECT_FALSE(posted);
  edit("G7I", "G7I");
  EXPECT_TRUE(posted);
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceEntryTest, AProductLineLeftWithoutQuantitySellsNone) {
  File({Product("BOLT-10", "Hex bolt 10mm", "0.125", "100")});
  AddInvoice([&](TProdInv& f) {
    FillValidInvoice(f);
    Type(f, 2, kColCode, "BOLT-10");
    f.StringGrid1CodeEntered(2);
    Type(f, 2, kColQuantity, "");
    Type(f, 2, kColPrice, "");
    f.OKButtonClick();
  });
  EXPECT_TRUE(ui.Done());
  ASSERT_TRUE(posted);
  ASSERT_EQ(posted->Lines.size(), 2u);
  EXPECT_EQ(posted->Lines[1].Code, "BOLT-10");
  EXPECT_EQ(posted->Lines[1].Quantity, "0");
  EXPECT_EQ(posted->Lines[1].Extension, "0.00");
}

TEST_F(InvoiceEntryTest, MemoChecksAskForTheProductAndItsQuantity) {
  struct MemoRefusal {
    std::function<void(TProdInv&)> spoil;
    QString text;
    QString title;
  };
  const std::vector<MemoRefusal> refusals{
      {[](TProdInv& f) { f.MemoQuan->setText("x"); }, "You have entered an invalid quantity.",
       "Memo Quantity"},
      {[](TProdInv& f) { f.MemoQuan->clear(); }, "You have entered an invalid quantity.", "Memo Quantity"},
      {[](TProdInv& f) { f.MemoPDesc->clear(); }, "You need a product description.", "Product Required"},
      {[](TProdInv& f) { f.Memo1->setPlainText(QString(26, '\n') + "past the last line"); },
       "The memo text is too long. A memo holds at most 25 lines of up to 74 characters; please shorten it.",
       "Memo Text"},
  };
  for (const MemoRefusal& refusal : refusals) {
    AddInvoice(
        [&](TProdInv& f) {
          f.ICustNo->setText("C100");
          f.MemoPDesc->setText("Consulting");
          f.INet->setText("100.00");
          refusal.spoil(f);
          ui.ExpectMessage(refusal.text, refusal.title).Icon(MsgIcon::Information);
          f.OKButtonClick();
          EXPECT_TRUE(f.InModalState());
          f.CancelDiscarding();
        },
        true);
  }
  EXPECT_TRUE(ui.Done());
  EXPECT_FALSE(posted);

  // A memo invoice needs no described line.
  AddInvoice(
      [&](TProdInv& f) {
        f.ICustNo->setText("C100");
        f.MemoPDesc->setText("Consulting");
        f.INet->setText("100.00");
        f.Memo1->setPlainText(QString("Repairs to the shop front ").repeated(7).trimmed());  // 181 characters
        f.OKButtonClick();
      },
      true);
  EXPECT_TRUE(ui.Done());
  ASSERT_TRUE(posted);
  EXPECT_EQ(posted->Total, "100.00");
  EXPECT_EQ(posted->MemoLines.size(), 3u);  // one paragraph, wrapped, nothing cut
}

TEST_F(InvoiceEntryTest, WithoutPostingTheFormSaysSoAndStaysOpen) {
  PostEnteredInvoice = nullptr;
  AddInvoice([&](TProdInv& f) {
    FillValidInvoice(f);
    ui.ExpectMessage("Invoices cannot be saved yet: posting is not part of this program yet.",
                     "Product Invoice");
    f.OKButtonClick();
    EXPECT_TRUE(f.InModalState());
    f.CancelDiscarding();
  });
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace test_fixtures
