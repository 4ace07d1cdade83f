// Adding and editing purchase orders through the entry form, end to end: what is stored is read
// back from the files, and the books (stock and the POs' received state) are checked after every
// step.

#include <algorithm>

#include "platform/ui/application.h"
#include "po_entry_fixture.h"
#include "purchasing/po_add.h"
#include "purchasing/po_edit.h"
#include "purchasing/po_manager.h"
#include "purchasing/po_posting.h"
#include "purchasing/receiving.h"
#include "records/company_file.h"
#include "records/memo_file.h"
#include "records/po_header_file.h"
#include "records/record_file.h"
#include "storage/isam.h"
#include "support/read_sweep.h"

using namespace purchasing;
using platform::ui::Application;
using platform::ui::mrNo;
using platform::ui::mrYes;

namespace test_fixtures {
namespace {

std::vector<std::string> LinesOf(const std::vector<records::PODetailRec>& details) {
  std::vector<std::string> lines;
  for (const records::PODetailRec& d : details)
    lines.push_back(d.RecordKind.Get() + d.LineNumber.Get() + " " + d.Product.Get() + " [" +
                    d.LineText.Get() + "] " + d.Received.Get() + " " + d.QuantityReceived.Get() + " " +
                    d.ReceiverNumber.Get());
  // In line order, whichever free record a new line took.
  std::sort(lines.begin(), lines.end());
  return lines;
}

records::POMemoRec Memo(const char* number) {
  records::POMemoRec wanted{}, found{};
  wanted.Number.Set(number);
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(records::ReadByKey(records::POMemoUnit(), records::BuildPOMemoKey(wanted, 1), 1, found, ref));
  return found;
}

// The PO Manager's New and Edit run the entry form; the list follows the PO added or changed.
TEST_F(POEntryTest, TheManagersNewAndEditWorkThroughTheEntryForm) {
  for (storage::IsamFileBlock* file :
       {&records::POHeaderFile, &records::PODetailFile, &records::POMemoFile}) {
    storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
  ui.OnModal<TPOList1>([&](TPOList1& m) {
    ui.OnModal<TPOEdit1>([&](TPOEdit1& f) {
      PickVendor(f);
      EnterCode(f, 1, "BOLT");
      Type(f, 1, kPOColQuantity, "10");
      f.PrintFlag->setChecked(false);
      f.OKButtonClick();
    });
    m.NewPOClicked();
    EXPECT_EQ(m.StatusText(1), "Added PO 5000 containing 1 line item(s).");
    EXPECT_EQ(m.StatusText(0), "Records: 1");
    EXPECT_EQ(records::POHeaderBuf.PONumber.Get(), "5000");

    ui.OnModal<TPOEdit1>([&](TPOEdit1& f) {
      EXPECT_EQ(f.IMode->text(), "Edit PO");
      Type(f, 1, kPOColQuantity, "12");
      f.OKButtonClick();
    });
    m.EditPOClicked();
    EXPECT_EQ(m.StatusText(1), "Editing PO 5000 completed.");
  });
  CreatePOList1().ShowModal();
  ASSERT_TRUE(records::OpenPOFiles());
  EXPECT_EQ(LinesOf(Details("5000")),
            (std::vector<std::string>{
                "P01 BOLT [12        Hex bolt                        0.50      Y6.00      ] N 0  "}));
  ExpectBooksBalance();
}

TEST_F(POEntryTest, AddingAReceivedPORaisesStockOfStockedAndNotDepletedProductsOnly) {
  std::string status;
  EXPECT_TRUE(AddPOWith(
      [&](TPOEdit1& f) {
        PickVendor(f);
        EnterCode(f, 1, "BOLT");
        Type(f, 1, kPOColQuantity, "10");
        EnterCode(f, 2, "SERVICE");
        Type(f, 2, kPOColDescription, "Installation");
        Type(f, 2, kPOColPrice, "50");
        EnterCode(f, 3, "MANUAL");
        Type(f, 3, kPOColDescription, "Manual");
        Type(f, 3, kPOColQuantity, "2");
        Type(f, 3, kPOColPrice, "1.25");
        Type(f, 5, kPOColDescription, "Deliver before noon");  // a comment between lines
        f.Lines->Put(5, kPOColQuantity, "");
        f.Lines->Put(5, kPOColPrice, "");
        f.MarkRecd->click();
        EXPECT_TRUE(f.ARecDate->isEnabled());
        EXPECT_EQ(f.ARecDate->text(), "12/07/2026");
        f.OKButtonClick();
      },
      &status));
  EXPECT_EQ(status, "Added PO 5000 containing 4 line item(s).");
  const records::POHeaderRec h = Header("5000");
  EXPECT_EQ(h.VendorNo.Get(), "V1");
  EXPECT_EQ(h.EnteredReceived.Get(), "Y");
  EXPECT_EQ(h.ReceivedDate.Get(), "2026/12/07");
  EXPECT_EQ(h.NetAmount.Get(), "57.50");
  EXPECT_EQ(h.TaxAmount.Get(), "0.41");  // 8.25% of the lines taxed on POs: BOLT and the comment
  EXPECT_EQ(h.POTotal.Get(), "57.91");
  EXPECT_EQ(h.Signature1.Get(), "Buyer: J. Smith");
  EXPECT_EQ(h.ShipTo2.Get(), "1 Dock Road");
  EXPECT_EQ(LinesOf(Details("5000")),
            (std::vector<std::string>{
                "P01 BOLT [10        Hex bolt                        0.50      Y5.00      ] Y 10 Auto-Rec",
                "P02 SERVICE [1         Installation                    50        N50.00     ] Y 1 Auto-Rec",
                "P03 MANUAL [2         Manual                          1.25      N2.50      ] Y 2 Auto-Rec",
                "P05  [          Deliver before noon                       Y0.00      ] Y  Auto-Rec",
            }));
  EXPECT_EQ(OnHand("BOLT"), "50");
  EXPECT_EQ(OnHand("SERVICE"), "0");
  EXPECT_EQ(OnHand("MANUAL"), "7");
  EXPECT_EQ(StoredCompany().NextPONumber.Get(), "5001");
  EXPECT_EQ(StoredCompany().POManagerStartNumber.Get(), "5000");
  ExpectBooksBalance();

  // The next PO starts from the dates and counter this one left.
  AddPOWith([&](TPOEdit1& f) {
    EXPECT_EQ(f.INum->text(), "5001");
    EXPECT_EQ(f.Lines->Cell(1, kPOColCode), "");
    f.CancelDiscarding();
  });
}

TEST_F(POEntryTest, AMemoPOKeepsItsMemoFromTheFirstLine) {
  EXPECT_TRUE(AddPOWith([&](TPOEdit1& f) {
    f.RadioButton2->setChecked(true);
    f.RadioButton2Click();
    EXPECT_FALSE(f.StringGrid1->isVisible());
    EXPECT_TRUE(f.Memo1->isVisible());
    PickVendor(f);
    f.Memo1->setPlainText("Line one\nLine two\n" + QString(80, 'x'));
    f.MemoPDesc->setText("Cleaning service");
    f.MemoQuan->setText("2");
    f.INet->setText("120.00");
    f.ITax->setText("9.90");
    EXPECT_EQ(f.ITotal->text(), "129.90");
    EXPECT_EQ(f.TaxLbl->text(), "Tax on 120.00 is 9.90.");
    f.OKButtonClick();
  }));
  const records::POMemoRec memo = Memo("5000");
  EXPECT_EQ(memo.Lines[0].Get(), "Line one");
  EXPECT_EQ(memo.Lines[1].Get(), "Line two");
  EXPECT_EQ(memo.Lines[2].Get(), std::string(74, 'x'));
  EXPECT_EQ(Header("5000").POKind.Get(), "M");
  EXPECT_EQ(LinesOf(Details("5000")),
            (std::vector<std::string>{
                "P01 ** NONE ** [2         Cleaning service                120.00    M120.00    ] N 0  "}));
  ExpectBooksBalance();

  // The memo comes back into the form, its text is changed and rewritten whole.
  std::string status;
  EXPECT_TRUE(EditPOWith(
      "5000",
      [&](TPOEdit1& f) {
        EXPECT_EQ(f.IMode->text(), "Edit PO");
        EXPECT_TRUE(f.Memo1->isVisible());
        EXPECT_FALSE(f.RadioButton1->isEnabled());
        EXPECT_EQ(f.Memo1->toPlainText().split('\n').mid(0, 2), (QStringList{"Line one", "Line two"}));
        EXPECT_EQ(f.MemoPDesc->text(), "Cleaning service");
        EXPECT_EQ(f.MemoQuan->text(), "2");
        f.Memo1->setPlainText("Only line");
        f.MemoQuan->setText("3");
        f.INet->setText("150.00");
        f.OKButtonClick();
      },
      &status));
  EXPECT_EQ(status, "Editing PO 5000 completed.");
  EXPECT_EQ(Memo("5000").Lines[0].Get(), "Only line");
  EXPECT_EQ(Memo("5000").Lines[1].Get(), "");
  EXPECT_EQ(Header("5000").POTotal.Get(), "159.90");
  EXPECT_EQ(LinesOf(Details("5000")),
            (std::vector<std::string>{
                "P01 ** NONE ** [3         Cleaning service                150.00    M150.00    ] N 0  "}));
  ExpectBooksBalance();
}

TEST_F(POEntryTest, AnEditRewritesChangedLinesDeletesClearedOnesAndAddsNewOnes) {
  PostNewPO(PO("6000", {POLine(1, "WIDGET", "10"), POLine(2, "AB", "5"), POLine(3, "ABN", "4")}));
  std::string status;
  EXPECT_TRUE(EditPOWith(
      "6000",
      [&](TPOEdit1& f) {
        EXPECT_EQ(f.Caption(), "Edit PO");
        EXPECT_EQ(f.INum->text(), "6000");
        EXPECT_EQ(f.IDate->text(), "12/01/2026");
        EXPECT_EQ(f.MEDateReq->text(), "12/15/2026");
        EXPECT_EQ(f.ICustName->text(), "First Vendor");
        EXPECT_EQ(f.Label9->text(), "Lines Received: 0");
        EXPECT_FALSE(f.BitBtn3->isEnabled());
        // The current line is recomputed on showing: its extension is 10 x 2.00 again.
        EXPECT_EQ(RowOf(f, 1), (QStringList{"1", "WIDGET", "10", "Some WIDGET", "2.00", "N", "20.00"}));
        EXPECT_EQ(f.OldLineStock(1) + "|" + f.OldLineStockKind(1) + "|" + f.OldLineQuantity(1), "100|S|10");
        // The glance counts the order once: the stored 10 are replaced by what is typed now.
        Type(f, 1, kPOColQuantity, "12");
        EXPECT_EQ(f.StkBal->text(), "102.00");
        EXPECT_TRUE(f.OldLineQuan->text().endsWith(" - Old Quan: 10"));
        f.StringGrid1->SetCursor(2, kPOColCode);
        f.DeleteLineClick();
        EnterCode(f, 4, "BOLT");
        f.OKButtonClick();
      },
      &status));
  EXPECT_EQ(status, "Editing PO 6000 completed.");
  EXPECT_EQ(LinesOf(Details("6000")),
            (std::vector<std::string>{
                "P01 WIDGET [12        Some WIDGET                     2.00      N24.00     ] N 0  ",
                "P03 ABN [4         Some ABN                        2.00      N8.00      ] N 0  ",
                "P04 BOLT [1         Hex bolt                        0.50      Y0.50      ] N 0  ",
            }));
  const records::POHeaderRec h = Header("6000");
  EXPECT_EQ(h.NetAmount.Get(), "32.50");
  EXPECT_EQ(h.POKind.Get(), "P");
  EXPECT_EQ(h.ReceivedDate.Get(), " ");
  ExpectBooksBalance();

  // Marking it received at an edit stores the receipt on every line and raises the stock.
  EXPECT_TRUE(EditPOWith("6000", [&](TPOEdit1& f) {
    f.MarkRecd->click();
    f.OKButtonClick();
  }));
  EXPECT_EQ(Header("6000").ReceivedDate.Get(), "2026/12/07");
  EXPECT_EQ(OnHand("WIDGET"), "112");
  EXPECT_EQ(OnHand("ABN"), "4");
  EXPECT_EQ(OnHand("BOLT"), "41");
  ExpectBooksBalance();
  ui.ExpectMessage(
      "This PO has been received. Unable to edit PO. You can use the view option to view the PO.",
      "PO Received");
  EXPECT_FALSE(EditPO(HeaderRef("6000")));
}

TEST_F(POEntryTest, TheGuardsRefuseAnEditBeforeTheFormIsShown) {
  PostNewPO(PO("7000", {POLine(1, "WIDGET", "10"), POLine(2, "AB", "5")}));
  // Nothing received, but printed: asked, and No leaves it.
  records::POHeaderRec printed = Header("7000");
  records::POHeaderRec before = printed;
  printed.Printed.Set("Y");
  ASSERT_TRUE(records::UpdatePOHeaderRecord(printed, before, HeaderRef("7000")));
  ui.ExpectMessage("This PO has been printed. Are you sure you want to edit this record?",
                   "Printed Purchase Order")
      .Answer(mrNo);
  EXPECT_FALSE(EditPO(HeaderRef("7000")));
  EXPECT_TRUE(ui.Done());

  // A receipt on one line: the PO has receivers.
  ReceivingList list = LoadReceivingList("7000", false);
  Receipt receipt{"7000", "300", QDate(2026, 12, 5), list.Rows};
  receipt.Rows[0].InToday = "2";  // AB
  PostReceipt(receipt);
  ui.ExpectMessage("This PO has been printed. Are you sure you want to edit this record?",
                   "Printed Purchase Order")
      .Answer(mrYes);
  ui.ExpectMessage(
      "This PO has receivers posted. Unable to edit PO. Use the view option to view the PO, or you can run "
      "the "
      "Receiving Report to see the receivers. Delete the PO to remove all receivers and PO data.",
      "PO Received");
  EXPECT_FALSE(EditPO(HeaderRef("7000")));
  EXPECT_TRUE(ui.Done());

  // A second receipt on the same line is a receipt record: partial receivers.
  list = LoadReceivingList("7000", false);
  receipt = Receipt{"7000", "301", QDate(2026, 12, 6), list.Rows};
  receipt.Rows[0].InToday = "1";
  PostReceipt(receipt);
  ui.ExpectMessage("This PO has been printed. Are you sure you want to edit this record?",
                   "Printed Purchase Order")
      .Answer(mrYes);
  ui.ExpectMessage(
      "This PO has partial receivers. Unable to edit. Use Receiving Report to view receipts OR delete this "
      "PO to "
      "remove all receivers OR do a new PO for new items or adjustments to stock. You can also backout "
      "receivers "
      "using the Receiving Wizard.",
      "Partial Receivers");
  EXPECT_FALSE(EditPO(HeaderRef("7000")));
  EXPECT_TRUE(ui.Done());

  // The audit trail refuses every edit first.
  EXPECT_TRUE(records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.AuditTrail.Set("Y"); }));
  ui.ExpectMessage("The audit trail feature is turned on. Unable to modify record.", "Audit Trail");
  EXPECT_FALSE(EditPO(HeaderRef("7000")));
  EXPECT_EQ(OnHand("AB"), "3");
  ExpectBooksBalance();
}

TEST_F(POEntryTest, AnEditThatKeepsItsOwnNumberPassesTheDuplicateCheckAndARenumberedOneMovesItsLines) {
  PostNewPO(PO("8000", {POLine(1, "WIDGET", "3")}));
  PostNewPO(PO("8001", {POLine(1, "AB", "1")}));
  EXPECT_TRUE(EditPOWith("8000", [&](TPOEdit1& f) {
    f.KeyCode->setText("K2");
    f.OKButtonClick();
  }));
  EXPECT_EQ(Header("8000").KeyCode.Get(), "K2");
  EXPECT_FALSE(EditPOWith("8000", [&](TPOEdit1& f) {
    f.INum->setText("8001");
    ui.ExpectMessage("This PO number currently exists. Please enter another one.", "Duplicate PO: 8001");
    f.OKButtonClick();
    f.CancelDiscarding();
  }));
  EXPECT_TRUE(EditPOWith("8000", [&](TPOEdit1& f) {
    f.INum->setText("8100");
    f.OKButtonClick();
  }));
  EXPECT_EQ(Details("8000").size(), 0u);
  ASSERT_EQ(Details("8100").size(), 1u);
  EXPECT_EQ(Details("8100")[0].LineKey.Get(), "00000810001");
  EXPECT_EQ(Header("8100").VendorNo.Get(), "V1");
  ExpectBooksBalance();
}

TEST_F(POEntryTest, AnEditOfAPOChangedMeanwhileIsRefusedAndTheFormKeepsWhatWasTyped) {
  PostNewPO(PO("8200", {POLine(1, "WIDGET", "3")}));
  EXPECT_FALSE(EditPOWith("8200", [&](TPOEdit1& f) {
    Type(f, 1, kPOColQuantity, "30");
    // Another hand changes the header while the form is up.
    records::POHeaderRec changed = Header("8200"), before = changed;
    changed.KeyCode.Set("OTHER");
    ASSERT_TRUE(records::UpdatePOHeaderRecord(changed, before, HeaderRef("8200")));
    ui.ExpectMessage("The record has changed in the meantime.", Application->Title);
    ui.ExpectMessage("Modify operation failed", Application->Title);
    f.OKButtonClick();
    EXPECT_TRUE(f.InModalState());
    EXPECT_EQ(f.Lines->Cell(1, kPOColQuantity), "30");
    f.CancelDiscarding();
  }));
  EXPECT_EQ(Header("8200").KeyCode.Get(), "OTHER");
  EXPECT_EQ(LinesOf(Details("8200")),
            (std::vector<std::string>{
                "P01 WIDGET [3         Some WIDGET                     2.00      N2.00      ] N 0  "}));
  ExpectBooksBalance();
}

TEST_F(POEntryTest, AMemoLostFromItsFileIsStoredAnewByTheEdit) {
  EnteredPO po = PO("8300", {});
  po.Memo = true;
  po.MemoLines = {"Old text"};
  po.MemoProduct = POLine(1, "", "2");
  po.MemoProduct.Description = "Cleaning";
  PostNewPO(po);
  records::POMemoRec wanted{}, memo{};
  wanted.Number.Set("8300");
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(records::ReadByKey(records::POMemoUnit(), records::BuildPOMemoKey(wanted, 1), 1, memo, ref));
  ASSERT_TRUE(records::DeletePOMemoRecord(ref));

  ui.ExpectMessage("Error reading memo data.", Application->Title);
  EXPECT_TRUE(EditPOWith("8300", [&](TPOEdit1& f) {
    EXPECT_EQ(f.Memo1->toPlainText(), "");
    f.Memo1->setPlainText("New text");
    f.OKButtonClick();
  }));
  EXPECT_EQ(Memo("8300").Lines[0].Get(), "New text");
  ExpectBooksBalance();
}

// An edit whose reads fail in turn before its first write (the header read back for its update,
// the lines it rewrites) says the reason once, writes nothing and keeps the form open with what
// was typed; the clean OK then moves the PO.
TEST_F(POEntryTest, AnEditThatCannotBeWrittenIsSaidAndKeepsTheForm) {
  PostNewPO(PO("8000", {POLine(1, "WIDGET", "3")}));
  EXPECT_TRUE(EditPOWith("8000", [&](TPOEdit1& f) {
    f.INum->setText("8100");
    testing_support::SweepReads({"RenumberedPO",
                                 [&f] {
                                   f.SetModalResult(platform::ui::mrNone);
                                   f.OKButtonClick();
                                   EXPECT_EQ(f.INum->text(), "8100");
                                   return f.ModalResult() == platform::ui::mrOk;
                                 },
                                 true},
                                {});
  }));
  EXPECT_EQ(Details("8000").size(), 0u);
  EXPECT_EQ(Details("8100").size(), 1u);
  ExpectBooksBalance();
}

TEST_F(POEntryTest, AddingWithoutThePOManagerOpensAndClosesThePOFilesItself) {
  for (storage::IsamFileBlock* file :
       {&records::POHeaderFile, &records::PODetailFile, &records::POMemoFile}) {
    storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
  EXPECT_TRUE(AddPOWith([&](TPOEdit1& f) {
    PickVendor(f);
    EnterCode(f, 1, "BOLT");
    f.OKButtonClick();
  }));
  EXPECT_EQ(records::POHeaderFile, nullptr);
  ASSERT_TRUE(records::OpenPOHeaderFile() && records::OpenPODetailFile() && records::OpenPOMemoFile());
  EXPECT_EQ(Header("5000").NetAmount.Get(), "0.50");
  EXPECT_EQ(Details("5000").size(), 1u);
  ExpectBooksBalance();
}

}  // namespace
}  // namespace test_fixtures
