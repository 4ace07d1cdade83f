// Editing and deleting as the Invoice Manager starts them on a highlighted record: the guards and
// confirmations answered as a user answers them, the entry form loaded from the stored invoice
// and worked through its handlers, and the books read back after every posting.
#include <QPlainTextEdit>

#include "forms/entry_parts.h"
#include "forms/shipping_address_dialog.h"
#include "invoicing/invoice_edit.h"
#include "invoicing/invoice_entry.h"
#include "invoicing/invoice_posting.h"
#include "invoicing/saved_lines.h"
#include "platform/files/fault_seam.h"
#include "platform/ui/application.h"
#include "posting_fixture.h"
#include "records/company_rec.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/payment_terms.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "shell/permissions_apply.h"
#include "storage/naming.h"
#include "support/grid_typing.h"

namespace invoicing {
namespace {

using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::mrYes;
using storage::IsamRecRef;
using test_fixtures::Invoice;
using test_fixtures::Line;

class InvoiceEditFormTest : public test_fixtures::PostingTest {
 protected:
  void SetUp() override {
    PostingTest::SetUp();
    AddProduct("GADGET", "20", false, false);
    Stock["GADGET"] = 20;
    ASSERT_TRUE(records::SavePaymentTerms({"Net 30 Days"}));
    CreateProdInv();
  }
  void TearDown() override {
    platform::ui::Application->DestroyForms();  // sets their global instances back to nil
    records::CurrentCompany.AuditTrail.Set("N");
    PostingTest::TearDown();
  }

  // Invoice 1001 of C1: five widgets, four gadgets and a comment; 20.00 paid of 90.00.
  static IsamRecRef PostWidgetsAndGadgets() {
    EnteredInvoice invoice = Invoice("1001", "C1", "12/07/2026", "90.00", "0.00", "90.00", "20.00");
    invoice.Lines = {Line(1, "WIDGET", "5", "Widgets", "10.00", "N", "50.00"),
                     Line(2, "GADGET", "4", "Gadgets", "10.00", "N", "40.00"),
                     Line(3, "", "", "Handle with care", "", " ", "")};
    return PostNewInvoice(invoice).Ref;
  }
  static void TypeCell(TProdInv& f, int row, int column, const QString& text) {
    f.StringGrid1->SetCursor(row, column);
    EXPECT_TRUE(f.Lines->Enter(row, column, text));
  }

  std::string status;
};

TEST_F(InvoiceEditFormTest, ProtectedRecordsAreRefusedWithTheirReasons) {
  struct Case {
    const char* type;
    const char* total;
    const char* paid;
    bool settled;
    bool audit;
    const char* editText;
    const char* editTitle;
    const char* deleteText;  // null: the delete goes on to its confirmation
    const char* deleteTitle;
  };
  const char* const partialEdit = "This record is part of a partial-payment record and may not be edited.";
  const char* const partialDelete =
      "This record is associated with a partial payment (type X or Z). Unable to delete this item.";
  const Case cases[] = {
      {"I", "10.00", "0.00", false, true, "The audit trail feature is turned on. Unable to modify record.",
       "Audit Trail", "The audit trail feature is turned on. Unable to delete record.", "Audit Trail"},
      {"Z", "10.00", "4.00", false, false, partialEdit, "Partial Payments", partialDelete,
       "Partial Payment Item"},
      {"X", "0.00", "4.00", true, false, partialEdit, "Partial Payments", partialDelete,
       "Partial Payment Item"},
      {"I", "10.00", "4.00", true, false,
       "This record has been paid. You may not edit this record. You can use the Invoice-View menu option to "
       "look at this invoice.",
       "Paid Item", nullptr, nullptr},
      {"D", "0.00", "50.00", false, false,
       "This record is a deposit. You may not edit this record, however, you can delete it.",
       "Deposit on Account", nullptr, nullptr},
      {"T", "0.00", "30.00", false, false,
       "This record is a deposit which has been previously offset (taken). Unable to edit this record.",
       "Deposit Taken", nullptr, nullptr},
  };
  int number = 900;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.editTitle);
    records::CurrentCompany.AuditTrail.Set(c.audit ? "Y" : "N");
    const std::string itemNumber = std::to_string(number++);
    const IsamRecRef ref = AddRecord({itemNumber.c_str(), c.type, c.total, c.paid, "0.00", c.settled});
    ui_.ExpectMessage(c.editText, c.editTitle).Answer(mrOk);
    EXPECT_FALSE(EditInvoice(ref, status));
    if (c.deleteText) {
      ui_.ExpectMessage(c.deleteText, c.deleteTitle).Answer(mrOk);
    } else {
      // Records with payments warn, a deposit asks once more; the last question is answered No.
      ui_.ExpectMessage(
             "This record has payment activity. If you delete this record the payment data will also be "
             "removed.",
             "Please Note")
          .Answer(mrOk);
      if (std::string(c.type) == "D")
        ui_.ExpectMessage(
               "You are about to delete a payment you posted as a Deposit on Account. Are you sure?",
               "Please Confirm")
            .Answer(mrYes);
      ui_.ExpectMessage("Are you sure you want to delete this record?",
                        QString::fromStdString("Delete Invoice#: " + std::to_string(number - 1)))
          .Answer(mrNo);
    }
    EXPECT_FALSE(DeleteInvoice(ref, status));
    StoredInvoice stored;
    EXPECT_TRUE(ReadStoredInvoice(ref, stored));
    EXPECT_TRUE(ui_.Done());
  }
  EXPECT_TRUE(status.empty());
}

TEST_F(InvoiceEditFormTest, APrintedInvoiceIsEditedOnlyWhenTheUserSaysYes) {
  const IsamRecRef printed = AddRecord({"950", "I", "10.00", "0.00", "10.00", false, true});
  ui_.ExpectMessage("This invoice has been printed. Are you sure you want to edit this record?",
                    "Printed Invoice")
      .Answer(mrNo);
  EXPECT_FALSE(EditInvoice(printed, status));

  // Yes shows the form; so does an invoice paid in full when it was entered. Cancel writes nothing.
  ui_.ExpectMessage("This invoice has been printed. Are you sure you want to edit this record?",
                    "Printed Invoice")
      .Answer(mrYes);
  const IsamRecRef paidAtEntry = AddRecord({"951", "I", "10.00", "10.00", "0.00", true});
  int shown = 0;
  for (IsamRecRef ref : {printed, paidAtEntry}) {
    ui_.OnModal<TProdInv>([&shown](TProdInv& f) {
      ++shown;
      EXPECT_EQ(f.Caption(), "Edit Invoice");
      f.SetModalResult(platform::ui::mrCancel);
    });
    EXPECT_FALSE(EditInvoice(ref, status));
  }
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(InvoiceFormMode, 0);
}

TEST_F(InvoiceEditFormTest, TheFormShowsTheStoredInvoiceAndOkPostsTheDifference) {
  const IsamRecRef ref = PostWidgetsAndGadgets();
  ui_.OnModal<TProdInv>([](TProdInv& f) {
    EXPECT_EQ(InvoiceFormMode, 1);
    EXPECT_EQ(f.IMode->text(), "Edit Invoice");
    EXPECT_EQ(f.INum->text(), "1001");
    EXPECT_EQ(f.IDate->text(), "12/07/2026");
    EXPECT_EQ(f.ICustNo->text(), "C1");
    EXPECT_EQ(f.ICustName->text(), "Customer C1");
    EXPECT_EQ(f.CBal->text(), "70.00");
    EXPECT_EQ(f.IPaid->text(), "20.00");
    EXPECT_EQ(f.BalDue->text(), "70.00");
    EXPECT_FALSE(f.BitBtn3->isEnabled());
    EXPECT_TRUE(f.Button1->isEnabled());
    EXPECT_EQ(f.Lines->Cell(1, kColCode), "WIDGET");
    EXPECT_EQ(f.Lines->Cell(1, kColQuantity), "5");
    EXPECT_EQ(f.Lines->Cell(2, kColDescription), "Gadgets");
    EXPECT_EQ(f.Lines->Cell(3, kColDescription), "Handle with care");
    EXPECT_EQ(f.OldLineQuantities(1) + f.OldLineProducts(1) + f.LineStockState(1) + f.LineOnHand(1),
              "5WIDGETS95");
    EXPECT_EQ(f.OldLineProducts(2), "GADGET");
    EXPECT_EQ(f.LineCosts(2), "4.00");
    TypeCell(f, 1, kColQuantity, "3");
    TypeCell(f, 3, kColDescription, "");
    f.OKButtonClick();
  });
  EXPECT_TRUE(EditInvoice(ref, status));
  EXPECT_EQ(status, "Editing invoice 1001 completed.");
  EXPECT_EQ(OnHand("WIDGET"), "97");
  EXPECT_EQ(OnHand("GADGET"), "16");
  StoredInvoice stored;
  ASSERT_TRUE(ReadStoredInvoice(ref, stored));
  EXPECT_EQ(stored.Lines.size(), 2u);
  EXPECT_EQ(stored.Record.InvPaid.Get(), "20.00");
  ExpectBooksBalance();
}

// A product file that cannot be opened is no product off file: the edit says which file and
// why, and does not begin (no form is shown).
TEST_F(InvoiceEditFormTest, AProductFileThatCannotBeOpenedIsSaidAndTheEditDoesNotBegin) {
  const IsamRecRef ref = PostWidgetsAndGadgets();
  records::CloseDataFile(records::ProductFile);
  const std::string file = storage::IsamFileName(records::ProductUnit().FileName(), storage::IsamDataExt);
  std::string said;
  testing_support::WithFileRefused(file, [&] {
    try {
      (void)EditInvoice(ref, status);
    } catch (const records::FileUnusable& unusable) {
      said = unusable.what();
    }
    return 0;
  });
  EXPECT_EQ(said, "The file " + file + " cannot be opened now: Permission denied.");
  ASSERT_TRUE(records::OpenProductFile());
  EXPECT_EQ(OnHand("WIDGET"), "95");
  ExpectBooksBalance();
}

// An edit whose posting fails (the disk full at its first write) is said, and the form stays open
// with what was typed; OK again, with room on the disk, posts it.
TEST_F(InvoiceEditFormTest, AnEditThatCannotBePostedKeepsTheFormWithWhatWasTyped) {
  const IsamRecRef ref = PostWidgetsAndGadgets();
  ui_.OnModal<TProdInv>([this](TProdInv& f) {
    f.StringGrid1->setFocus();
    f.StringGrid1->SetCursor(1, kColQuantity);
    testing_support::TypeIntoGrid(*f.StringGrid1, "3\t");
    ui_.ExpectMessage(
        "The posting (invoice 1001) could not be completed: The posting journal could not be written: No "
        "space left on device.\n\nNothing of it was kept.",
        platform::ui::Application->Title);
    platform::files::InstallFaultPlan(
        {.OnWrite = platform::files::FaultAction::Fail, .WriteNumber = 1, .Errno = ENOSPC});
    f.OKButtonClick();
    platform::files::RemoveFaultPlan();
    EXPECT_TRUE(f.InModalState());
    EXPECT_EQ(f.Lines->Cell(1, kColQuantity), "3");
    EXPECT_EQ(OnHand("WIDGET"), "95");
    f.OKButtonClick();
  });
  EXPECT_TRUE(EditInvoice(ref, status));
  EXPECT_EQ(status, "Editing invoice 1001 completed.");
  EXPECT_EQ(OnHand("WIDGET"), "97");
  ExpectBooksBalance();
}

// Only what a partly paid invoice still owes is in the balance, so only that is set against the
// credit limit: 70.00 owed, 80.00 after the edit, over a limit of 75.00.
TEST_F(InvoiceEditFormTest, TheCreditLimitCountsWhatAPartlyPaidInvoiceStillOwes) {
  const IsamRecRef ref = PostWidgetsAndGadgets();
  ui_.OnModal<TProdInv>([this](TProdInv& f) {
    f.ICredLimit->setText("75.00");
    TypeCell(f, 1, kColQuantity, "6");
    ui_.ExpectMessage(
           "This invoice will cause this customer to be over their credit limit.  Do you want to proceed "
           "anyway?",
           "Please Confirm")
        .Answer(mrNo);
    f.OKButtonClick();
    f.CancelDiscarding();
  });
  EXPECT_FALSE(EditInvoice(ref, status));
  EXPECT_EQ(OnHand("WIDGET"), "95");
  ExpectBooksBalance();
}

// Loading a saved line set replaces the grid and its per-row figures; what the stored lines took
// from stock is still given back.
TEST_F(InvoiceEditFormTest, StockComesBackRightAfterSavedLinesReplaceTheGrid) {
  SavedLineSet saved;
  saved.Rows = {{"1", "WIDGET", "2", "Widgets", "10.00", "N", "20.00"},
                {"2", "GADGET", "1", "Gadgets", "10.00", "N", "10.00"}};
  ASSERT_TRUE(WriteSavedLines(saved));
  const IsamRecRef ref = PostWidgetsAndGadgets();
  EXPECT_EQ(OnHand("WIDGET"), "95");
  ui_.OnModal<TProdInv>([](TProdInv& f) {
    f.ImportButnClick();
    EXPECT_EQ(f.OldLineQuantities(1), "0");  // the form's own record of the old lines is gone
    f.OKButtonClick();
  });
  EXPECT_TRUE(EditInvoice(ref, status));
  EXPECT_EQ(OnHand("WIDGET"), "98");
  EXPECT_EQ(OnHand("GADGET"), "19");
  ExpectBooksBalance();
}

TEST_F(InvoiceEditFormTest, AMemoInvoiceIsEditedInItsMemoLayout) {
  EnteredInvoice memo = Invoice("1004", "C2", "12/07/2026", "80.00", "0.00", "80.00", "0.00");
  memo.Memo = true;
  memo.MemoLines = {"Repairs to the shop front", "", "Parts and labour"};
  memo.MemoProduct.Code = "WIDGET";
  memo.MemoProduct.Quantity = "2";
  memo.MemoProduct.Description = "Widget";
  const IsamRecRef ref = PostNewInvoice(memo).Ref;
  ui_.OnModal<TProdInv>([](TProdInv& f) {
    EXPECT_TRUE(f.RadioButton2->isChecked());
    EXPECT_TRUE(f.Memo1->toPlainText().startsWith("Repairs to the shop front\n\nParts and labour"));
    EXPECT_EQ(f.MemoPDesc->text(), "Widget");
    EXPECT_EQ(f.MemoQuan->text(), "2");
    EXPECT_EQ(f.StkName->text(), "WIDGET");
    f.Memo1->setPlainText("Repairs to the back door");
    f.MemoQuan->setText("1");
    f.OKButtonClick();
  });
  EXPECT_TRUE(EditInvoice(ref, status));
  EXPECT_EQ(OnHand("WIDGET"), "99");
  records::MemoRec wanted{}, text{};
  wanted.Number.Set("1004");
  IsamRecRef memoRef = 0;
  ASSERT_TRUE(records::ReadByKey(records::MemoUnit(), records::BuildMemoKey(wanted, 1), 1, text, memoRef));
  EXPECT_EQ(text.Lines[0].Get(), "Repairs to the back door");
  EXPECT_EQ(text.Lines[2].Get(), "");
  ExpectBooksBalance();
}

// Every memo a memo record holds goes through the memo box whole: shown for editing, saved to the
// saved memo file and loaded back from it, and stored again.
TEST_F(InvoiceEditFormTest, EveryMemoARecordHoldsGoesThroughTheMemoBoxWhole) {
  auto full = [](int line) {  // 74 characters, numbered so that a lost line shows
    const std::string head = "Line " + std::to_string(line) + " of the memo ";
    return head + std::string(records::kMemoLineWidth - head.size(), '=');
  };
  std::vector<std::string> fullLines;
  for (int line = 1; line <= records::kMemoLines; ++line) fullLines.push_back(full(line));
  std::vector<std::string> firstAndLast(records::kMemoLines, "");
  firstAndLast.front() = full(1);
  firstAndLast.back() = full(25);
  std::vector<std::string> shortLast = fullLines;
  shortLast.back() = "Thank you";
  const std::pair<const char*, std::vector<std::string>> memos[] = {
      {"one short line", {"Repairs to the shop front"}},
      {"25 full lines", fullLines},
      {"the first and the last line full", firstAndLast},
      {"24 full lines and a short one", shortLast},
  };
  int number = 1004;
  for (const auto& [name, lines] : memos) {
    SCOPED_TRACE(name);
    EnteredInvoice memo =
        Invoice(std::to_string(number).c_str(), "C2", "12/07/2026", "80.00", "0.00", "80.00", "0.00");
    memo.Memo = true;
    memo.MemoLines = lines;
    memo.MemoProduct.Code = "WIDGET";
    memo.MemoProduct.Quantity = "1";
    memo.MemoProduct.Description = "Widget";
    const IsamRecRef ref = PostNewInvoice(memo).Ref;
    ui_.ExpectMessage("The saved lines file has been replaced with the current invoice lines.",
                      "Saved Lines File");
    ui_.OnModal<TProdInv>([&](TProdInv& f) {
      EXPECT_EQ(forms::StoredMemoLinesOf(*f.Memo1), lines) << "shown for editing";
      f.ExportButnClick();
      f.Memo1->clear();
      f.ImportButnClick();
      EXPECT_EQ(forms::StoredMemoLinesOf(*f.Memo1), lines) << "loaded from the saved memo file";
      f.MemoPDesc->setText("Widget");  // the loaded product's description: the fixture's has none
      f.OKButtonClick();
    });
    ASSERT_TRUE(EditInvoice(ref, status));
    records::MemoRec wanted{}, stored{};
    wanted.Number.Set(std::to_string(number));
    IsamRecRef memoRef = 0;
    ASSERT_TRUE(
        records::ReadByKey(records::MemoUnit(), records::BuildMemoKey(wanted, 1), 1, stored, memoRef));
    for (size_t line = 0; line < records::kMemoLines; ++line)
      EXPECT_EQ(stored.Lines[line].Get(), line < lines.size() ? lines[line] : "")
          << "stored line " << line + 1;
    ++number;
  }
  EXPECT_TRUE(ui_.Done());
  ExpectBooksBalance();
}

TEST_F(InvoiceEditFormTest, DeletingAsksFirstAndReversesEverything) {
  const IsamRecRef ref = PostWidgetsAndGadgets();
  const char* const note =
      "This record has payment activity. If you delete this record the payment data will also be removed.";
  ui_.ExpectMessage(note, "Please Note").Answer(mrOk);
  ui_.ExpectMessage("Are you sure you want to delete this record?", "Delete Invoice#: 1001").Answer(mrYes);
  EXPECT_TRUE(DeleteInvoice(ref, status));
  EXPECT_EQ(status, "Deleted invoice 1001 containing 3 line item(s).");
  EXPECT_EQ(OnHand("WIDGET"), "100");
  EXPECT_EQ(OnHand("GADGET"), "20");
  EXPECT_EQ(Customer("C1").CustBalance.Get(), "0.00");
  StoredInvoice gone;
  EXPECT_FALSE(ReadStoredInvoice(ref, gone));
  EXPECT_FALSE(DeleteInvoice(ref, status));  // nothing highlighted any more: nothing asked
  ExpectBooksBalance();
}

}  // namespace
}  // namespace invoicing
