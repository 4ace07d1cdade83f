// The PO entry form worked as a user works it: the vendor picked through the Vendor Manager,
// codes typed and looked up, the stock glance, the checks of OK in their order, the memo layout
// and the saved-lines files read back by position.

#include <fstream>
#include <sstream>

#include "forms/cal_form.h"
#include "platform/ui/application.h"
#include "po_entry_fixture.h"
#include "purchasing/po_posting.h"
#include "purchasing/po_saved_lines.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/vendor_file.h"
#include "storage/isam.h"
#include "support/grid_typing.h"

using namespace purchasing;
using platform::ui::Application;
using platform::ui::mrCancel;
using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::mrYes;
using platform::ui::TModalResult;

namespace test_fixtures {
namespace {

// A PO that passes every check: vendor, dates, one line of BOLT.
void FillValidPO(POEntryTest& test, TPOEdit1& f) {
  (void)test;
  f.ICustNo->setText("V1");
  f.ICustName->setText("First Vendor");
  f.IDate->setText("12/01/2026");
  f.MEDateReq->setText("12/15/2026");
  f.Lines->Put(1, kPOColCode, "BOLT");
  f.Lines->Put(1, kPOColDescription, "Hex bolt");
  f.Lines->Put(1, kPOColQuantity, "10");
  f.Lines->Put(1, kPOColPrice, "0.50");
}

std::vector<std::string> FileLines(const char* name) {
  std::ifstream in(name, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    EXPECT_TRUE(!line.empty() && line.back() == '\r') << "line not ended by CR LF";
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST_F(POEntryTest, ALineItemPOTypedWithTheVendorPickerAndCodesLookedUp) {
  AddPOWith([&](TPOEdit1& f) {
    EXPECT_EQ(f.Caption(), "Add PO - Company: Acme Supply - #12");
    EXPECT_EQ(f.IMode->text(), "Add PO");
    EXPECT_EQ(f.INum->text(), "5000");
    EXPECT_EQ(f.DateCaption->text(), "Mo/Dy/Year");
    EXPECT_EQ(f.IDate->text(), "12/07/2026");
    EXPECT_EQ(f.ITerms->currentText(), "Net 30 Days");
    EXPECT_EQ(f.Sig1->text(), "Buyer: J. Smith");
    EXPECT_EQ(f.KeyCode->text(), "None");
    EXPECT_TRUE(f.CheckBox2->isChecked());
    EXPECT_FALSE(f.MarkRecd->isChecked());
    EXPECT_FALSE(f.ARecDate->isEnabled());
    EXPECT_TRUE(f.StringGrid1->isVisible());
    EXPECT_FALSE(f.Memo1->isVisible());
    EXPECT_EQ(RowOf(f, 1), (QStringList{"1", "", "1", "", "0.00", "Y", "0.00"}));
    EXPECT_EQ(f.Lines->Rules().Columns[kPOColPrice].Header, "Unit Price");

    PickVendor(f);
    EXPECT_EQ(f.ICustNo->text(), "V1");
    EXPECT_EQ(f.ICustName->text(), "First Vendor");

    // A looked-up code fills the row from the product: its PO description, cost and tax flag.
    EnterCode(f, 1, "bolt");
    Type(f, 1, kPOColQuantity, "12");
    EXPECT_EQ(RowOf(f, 1), (QStringList{"1", "BOLT", "12", "Hex bolt", "0.50", "Y", "6.00"}));
    EXPECT_EQ(f.LineNum->text(), "1");
    EXPECT_EQ(f.StockData->text(), "40.00");
    EXPECT_EQ(f.StkBal->text(), "52.00");  // what will be on hand once the order is in

    // The same code on another row is refused and the cursor goes to the row that has it.
    ui.ExpectMessage(
        "This Product Code is already in use on this PO. Change the quantity for the existing product.",
        "Code: BOLT  Line: 1.");
    EnterCode(f, 2, "BOLT");
    EXPECT_EQ(f.Lines->Cell(2, kPOColCode), "");
    EXPECT_EQ(f.StringGrid1->CurrentLine(), 1);

    // A code not on file: the question, answered No, leaves the row as typed.
    ui.ExpectMessage("That product code was not found. Would you like to add it now?", "Product Code")
        .Answer(mrNo);
    EnterCode(f, 2, "NOPE");
    Type(f, 2, kPOColDescription, "Special order");
    Type(f, 2, kPOColPrice, "3.333");
    EXPECT_EQ(f.Lines->Cell(2, kPOColExtension), "3.33");
    EXPECT_EQ(f.INet->text(), "9.33");
    EXPECT_EQ(f.ITax->text(), "0.77");  // 8.25% of the taxed 6.00 and 3.33, to the cent
    EXPECT_EQ(f.ITotal->text(), "10.10");
    f.CheckBox2->setChecked(false);
    EXPECT_EQ(f.ITax->text(), "0.00");

    // Insert moves the rows down with their stock; Clear Line and the comment line.
    f.StringGrid1->SetCursor(1, kPOColCode);
    f.POInsertLineClick();
    EXPECT_EQ(RowOf(f, 2).mid(0, 3), (QStringList{"2", "BOLT", "12"}));
    EXPECT_EQ(f.OldLineStock(2) + "|" + f.OldLineStockKind(2), "40|S");
    EXPECT_EQ(f.OldLineStock(1) + "|" + f.OldLineStockKind(1), "999999999|X");
    f.StringGrid1->SetCursor(1, kPOColCode);
    f.MakeNoteClick();
    EXPECT_EQ(RowOf(f, 1), (QStringList{"1", "", " ", "", "", " ", "0.00"}));
    EXPECT_EQ(f.StringGrid1->CurrentColumn(), kPOColDescription);
    f.StringGrid1->SetCursor(3, kPOColCode);
    f.DeleteLineClick();
    EXPECT_EQ(RowOf(f, 3), (QStringList{"3", "", "1", "", "0.00", "Y", "0.00"}));
    EXPECT_EQ(f.INet->text(), "6.00");

    // Row 99 with a description blocks Insert Line.
    f.Lines->Put(99, kPOColDescription, "Last line");
    ui.ExpectMessage("Line item number 99 is in use. Unable to insert more line items.", Application->Title);
    f.POInsertLineClick();
    f.CancelDiscarding();
  });
}

// A code typed and left by Tab is looked up as Enter looks it up, and the quantity typed next
// stays, also when Enter looks the code up again.
TEST_F(POEntryTest, ACodeIsLookedUpOnceItsCellIsLeftAndKeepsTheQuantityTyped) {
  AddPOWith([&](TPOEdit1& f) {
    f.StringGrid1->setFocus();
    f.StringGrid1->SetCursor(1, kPOColCode);
    testing_support::TypeIntoGrid(*f.StringGrid1, "bolt\t12\t");
    EXPECT_EQ(RowOf(f, 1), (QStringList{"1", "BOLT", "12", "Hex bolt", "0.50", "Y", "6.00"}));
    EXPECT_EQ(f.StkBal->text(), "52.00");
    f.StringGrid1->SetCursor(1, kPOColCode);
    testing_support::TypeIntoGrid(*f.StringGrid1, "\n");
    EXPECT_EQ(RowOf(f, 1), (QStringList{"1", "BOLT", "12", "Hex bolt", "0.50", "Y", "6.00"}));
    f.CancelDiscarding();
  });
  EXPECT_TRUE(ui.Done());
}

TEST_F(POEntryTest, ALineShortOfStockIsMarkedUntilItsBalanceIsBackAboveZero) {
  AddPOWith([&](TPOEdit1& f) {
    EnterCode(f, 1, "BOLT");
    Type(f, 1, kPOColQuantity, "-50");
    EXPECT_EQ(f.Lines->Cell(1, kPOColLine), "CS");
    EXPECT_EQ(f.StkBal->text(), "-10.00");
    EXPECT_EQ(f.StkBal->palette().color(QPalette::WindowText), QColor(Qt::red));
    Type(f, 1, kPOColQuantity, "5");
    EXPECT_EQ(f.Lines->Cell(1, kPOColLine), "1");
    // Non-stock and not-depleted products show what they are instead of a balance.
    EnterCode(f, 2, "SERVICE");
    EXPECT_EQ(f.StockData->text(), "NON-STOCK");
    EXPECT_EQ(f.StkBal->text(), "");
    EnterCode(f, 3, "MANUAL");
    EXPECT_EQ(f.StockData->text(), "NON-DEPLETE");
    f.CancelDiscarding();
  });
}

TEST_F(POEntryTest, FiguresLongerThanTheirColumnsCannotBeTypedOrSaved) {
  AddPOWith([&](TPOEdit1& f) {
    f.StringGrid1->SetCursor(1, kPOColQuantity);
    EXPECT_FALSE(f.Lines->Enter(1, kPOColQuantity, "12345678901"));
    EXPECT_FALSE(f.Lines->Enter(1, kPOColPrice, "1.2a"));
    EXPECT_FALSE(f.Lines->Enter(1, kPOColCode, "ABCDEFGHIJKLMNOP"));
    EXPECT_FALSE(f.Lines->Enter(1, kPOColDescription, QString(33, 'x')));
    EXPECT_TRUE(f.Lines->Enter(1, kPOColTaxable, "n"));
    EXPECT_EQ(f.Lines->Cell(1, kPOColTaxable), "N");
    f.CancelDiscarding();
  });
}

struct Refusal {
  const char* name;
  std::function<void(TPOEdit1&)> spoil;
  QString text;
  QString title;  // empty: a plain message under the program's title
  TModalResult answer = mrOk;
};

std::vector<Refusal> Refusals() {
  return {
      {"no number", [](TPOEdit1& f) { f.INum->setText("  "); }, "You need an PO number.", "PO Number"},
      {"no vendor", [](TPOEdit1& f) { f.ICustNo->clear(); }, "You need to select a vendor.",
       "Vendor Required"},
      {"bad PO date", [](TPOEdit1& f) { f.IDate->setText("13/45/2026"); },
       "You have an invalid PO date. You can clear the date and then select the calendar button.", "PO Date"},
      {"bad date required", [](TPOEdit1& f) { f.MEDateReq->setText("02/30/2026"); },
       "You have an invalid date reqired. You can clear the date and then select the calendar button.",
       "PO Date Required"},
      {"bad received date",
       [](TPOEdit1& f) {
         f.MarkRecd->setChecked(true);
         f.ARecDate->setText("00/00/2026");
       },
       "You have an invalid received date. You can clear the date and then select the calendar button.",
       "PO Received Date"},
      {"received before the PO",
       [](TPOEdit1& f) {
         f.MarkRecd->setChecked(true);
         f.ARecDate->setText("11/30/2026");
       },
       "Your received date is BEFORE the date of this PO. Is this correct?", "Please Confirm", mrNo},
      {"received after today",
       [](TPOEdit1& f) {
         f.MarkRecd->setChecked(true);
         f.ARecDate->setText("12/08/2026");
       },
       "Your received date is AFTER (older than) todays date. It will not appear on your receiving report "
       "unless "
       "you include this date in the search. Are you sure you want to do this?",
       "Please Confirm", mrNo},
      {"quantity no number", [](TPOEdit1& f) { f.Lines->Put(2, kPOColQuantity, "1-2"); },
       "Line 2 has an invalid QUANTITY value.", ""},
      {"code without description", [](TPOEdit1& f) { f.Lines->Put(2, kPOColCode, "AB"); },
       "Line 2 has a product code but the description field is blank. A description is required.", ""},
      {"price without quantity",
       [](TPOEdit1& f) {
         f.Lines->Put(2, kPOColDescription, "Freight");
         f.Lines->Put(2, kPOColQuantity, "");
       },
       "Line 2 has a unit price but no quantity.", ""},
      {"quantity without price",
       [](TPOEdit1& f) {
         f.Lines->Put(2, kPOColDescription, "Freight");
         f.Lines->Put(2, kPOColPrice, "");
       },
       "Line 2 has a quantity but no unit price.", ""},
      {"price no number",
       [](TPOEdit1& f) {
         f.Lines->Put(2, kPOColDescription, "Freight");
         f.Lines->Put(2, kPOColPrice, "1..5");
       },
       "Line 2 has an invalid UNIT PRICE value.", ""},
      {"extension beyond its column",
       [](TPOEdit1& f) {
         f.Lines->Put(2, kPOColDescription, "Freight");
         f.Lines->Put(2, kPOColQuantity, "9999999");
         f.Lines->Put(2, kPOColPrice, "9999");
       },
       "Line 2 has an EXTENSION value that is too large.", ""},
      {"pasted quantity beyond its column",
       [](TPOEdit1& f) { f.Lines->Put(1, kPOColQuantity, "12345678901"); },
       "Line 1 has a QUANTITY value that is too large.", ""},
      {"one code on two lines, typed without Enter",
       [](TPOEdit1& f) {
         f.Lines->Put(3, kPOColCode, "bolt");
         f.Lines->Put(3, kPOColDescription, "More bolts");
         f.Lines->Put(3, kPOColQuantity, "5");
         f.Lines->Put(3, kPOColPrice, "0.50");
       },
       "This Product Code is already in use on this PO. Change the quantity for the existing product.",
       "Code: bolt  Line: 1."},
      {"number in use", [](TPOEdit1& f) { f.INum->setText("4000"); },
       "This PO number currently exists. Please enter another one.", "Duplicate PO: 4000"},
      {"number 0 in use: a new PO has no number of its own", [](TPOEdit1& f) { f.INum->setText("0"); },
       "This PO number currently exists. Please enter another one.", "Duplicate PO: 0"},
      {"no-charge PO", [](TPOEdit1& f) { f.Lines->Put(1, kPOColPrice, "0"); }, "Is this a no-charge PO?",
       "Please Confirm", mrNo},
      {"new terms cancelled", [](TPOEdit1& f) { f.ITerms->setEditText("Net 45"); },
       "This is a new payment term. Would you like to add terms to the terms file?", "Terms: Net 45",
       mrCancel},
  };
}

TEST_F(POEntryTest, EachCheckOfOkRefusesInItsTurnAndKeepsTheFormOpen) {
  PostNewPO(PO("4000", {POLine(1, "WIDGET", "1")}));
  PostNewPO(PO("0", {POLine(1, "WIDGET", "1")}));
  for (const Refusal& refusal : Refusals()) {
    SCOPED_TRACE(refusal.name);
    EXPECT_FALSE(AddPOWith([&](TPOEdit1& f) {
      FillValidPO(*this, f);
      refusal.spoil(f);
      ui.ExpectMessage(refusal.text, refusal.title.isEmpty() ? Application->Title : refusal.title)
          .Answer(refusal.answer);
      f.OKButtonClick();
      EXPECT_TRUE(f.InModalState());
      f.CancelDiscarding();
    }));
    EXPECT_TRUE(ui.Done());
  }
  EXPECT_EQ(Details("5000").size(), 0u);
  ExpectBooksBalance();
}

TEST_F(POEntryTest, MemoChecksAskForAQuantityAndADescription) {
  const std::pair<std::function<void(TPOEdit1&)>, std::pair<const char*, const char*>> cases[] = {
      {[](TPOEdit1& f) { f.MemoQuan->setText("x"); },
       {"You have entered an invalid quantity.", "Memo Quantity"}},
      {[](TPOEdit1& f) { f.MemoQuan->clear(); }, {"You have entered an invalid quantity.", "Memo Quantity"}},
      {[](TPOEdit1& f) { f.MemoPDesc->clear(); }, {"You need a product description.", "Product Required"}},
      {[](TPOEdit1& f) { f.Memo1->setPlainText(QString(26, '\n') + "past the last line"); },
       {"The memo text is too long. A memo holds at most 25 lines of up to 74 characters; please shorten it.",
        "Memo Text"}},
  };
  for (const auto& [spoil, message] : cases) {
    SCOPED_TRACE(message.first);
    AddPOWith([&](TPOEdit1& f) {
      f.RadioButton2->setChecked(true);
      f.RadioButton2Click();
      FillValidPO(*this, f);
      f.MemoPDesc->setText("Cleaning");
      f.INet->setText("25.00");
      spoil(f);
      ui.ExpectMessage(message.first, message.second);
      f.OKButtonClick();
      EXPECT_TRUE(f.InModalState());
      f.CancelDiscarding();
    });
    EXPECT_TRUE(ui.Done());
  }
}

TEST_F(POEntryTest, SavedLinesKeepEveryFieldInItsSlotAndLoadBackByPosition) {
  AddPOWith([&](TPOEdit1& f) {
    EnterCode(f, 1, "BOLT");
    f.Lines->Put(1, kPOColQuantity, "1,250");  // a figure pasted with its thousands separator
    f.StringGrid1SetEditText(1);
    Type(f, 2, kPOColCode, "ABCDEFGHIJKLMNO");
    Type(f, 2, kPOColDescription, QString(32, 'd'));
    Type(f, 2, kPOColQuantity, "-123456.78");
    Type(f, 2, kPOColPrice, "9999.99999");
    f.INVNOTES->setText(QString(80, 'n'));
    f.KeyCode->setText("KEY12345");
    ui.ExpectMessage("The saved lines file has been replaced with the current PO lines.", "Saved Lines File");
    f.ExportButnClick();

    const std::vector<std::string> lines = FileLines("POSAVEL.SAV");
    ASSERT_EQ(lines.size(), 101u);
    for (size_t row = 0; row < 100; ++row) EXPECT_EQ(lines[row].size(), 88u) << row;
    EXPECT_EQ(lines[0],
              "1  BOLT            1,250      Hex bolt                         0.50       Y "
              "625.00      ");
    // A part that fills its slot ends at its slot; the extension computed keeps its 12.
    EXPECT_EQ(lines[1].substr(3, 15), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(lines[1].substr(19, 10), "-123456.78");
    EXPECT_EQ(lines[1].substr(30, 32), std::string(32, 'd'));
    EXPECT_EQ(lines[1].substr(63, 10), "9999.99999");
    EXPECT_EQ(lines[1].substr(76, 12), "-1,234,567,7");
    EXPECT_EQ(lines[100], std::string(80, 'n') + "KEY12345");

    f.UndoAllClick();
    f.INVNOTES->clear();
    EXPECT_EQ(f.Lines->Cell(1, kPOColCode), "");
    f.ImportButnClick();
    EXPECT_EQ(RowOf(f, 1), (QStringList{"1", "BOLT", "1,250", "Hex bolt", "0.50", "Y", "625.00"}));
    EXPECT_EQ(f.OldLineStockKind(1), "S");
    EXPECT_EQ(RowOf(f, 2).mid(1, 4),
              (QStringList{"ABCDEFGHIJKLMNO", "-123456.78", QString(32, 'd'), "9999.99999"}));
    EXPECT_EQ(f.OldLineStockKind(2), "T");  // not on file
    EXPECT_EQ(f.INVNOTES->text(), QString(80, 'n'));
    EXPECT_EQ(f.KeyCode->text(), "KEY12345");
    f.CancelDiscarding();
  });
}

TEST_F(POEntryTest, ASavedMemoComesBackWithItsTextProductAndQuantityOne) {
  AddPOWith([&](TPOEdit1& f) {
    f.RadioButton2->setChecked(true);
    f.RadioButton2Click();
    ui.ExpectMessage("You have not created a saved memo PO file.", "Load Saved Memo");
    f.ImportButnClick();
    const QString paragraph = QString("Deliver to the back door, %1. ").repeated(5).arg("gate 2").trimmed();
    f.Memo1->setPlainText("First line of the memo\n  indented second\n" + paragraph);
    f.Lines->Put(1, kPOColCode, "BOLT");
    f.MemoPDesc->setText("Bolts, assorted");
    f.MemoQuan->setText("7");
    f.INVNOTES->setText("Rush");
    f.KeyCode->setText("K1");
    ui.ExpectMessage("The saved lines file has been replaced with the current PO lines.", "Saved Lines File");
    f.ExportButnClick();
    const std::vector<std::string> lines = FileLines("POSAVEM.SAV");
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines[0], "First line of the memo");
    for (size_t line = 0; line < 26; ++line) EXPECT_LE(lines[line].size(), 74u) << line;
    EXPECT_EQ(lines[26], std::string("Rush") + std::string(56, ' ') + "K1      ");
    EXPECT_EQ(lines[27].substr(3, 4), "BOLT");

    f.UndoAllClick();
    f.ImportButnClick();
    const QStringList memo = f.Memo1->toPlainText().split('\n');
    EXPECT_EQ(memo.mid(0, 2), (QStringList{"First line of the memo", "  indented second"}));
    EXPECT_EQ(memo.mid(2).join(' '), paragraph);  // every character back
    EXPECT_EQ(f.MemoPDesc->text(), "Bolts, assorted");
    EXPECT_EQ(f.MemoQuan->text(), "1");
    EXPECT_EQ(f.StkName->text(), "BOLT");
    EXPECT_EQ(f.StkBal->text(), "41.00");
    EXPECT_EQ(f.INet->text(), "0.90");  // one at the product's price
    EXPECT_EQ(f.INVNOTES->text(), "Rush");

    // A saved product no longer on file: the product picked before must not stand in for it.
    f.Lines->Put(1, kPOColCode, "GONE");
    ui.ExpectMessage("The saved lines file has been replaced with the current PO lines.", "Saved Lines File");
    f.ExportButnClick();
    ui.ExpectMessage("The current selected product does not exist in your inventory.", "Product Code: GONE");
    f.ImportButnClick();
    EXPECT_EQ(f.StkName->text(), "");
    EXPECT_EQ(f.GatherPO().MemoProduct.Code, "");
    f.CancelDiscarding();
  });
}

TEST_F(POEntryTest, CompanyOptionsAndTheVendorPickedShapeANewPO) {
  EXPECT_TRUE(records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) {
    c.PONumberPrefix.Set("Y");
    c.AutoReceivePOs = 1;
  }));
  records::VendorRec held{};
  held.VendorNo.Set("V2");
  held.VendorName.Set("Aardvark Tools");  // first by name
  held.ShortName.Set("AARD");
  held.TaxExempt.Set("Y");
  held.Hold.Set("Y");
  held.POTerms.Set("Due on receipt");
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(records::OpenVendorFile() && records::AddVendorRecord(held, ref));
  storage::IsamCloseFileBlock(records::VendorFile);
  records::VendorFile = nullptr;

  std::string status;
  EXPECT_TRUE(AddPOWith(
      [&](TPOEdit1& f) {
        // The number carries the month and year of the last PO date before the counter.
        EXPECT_EQ(f.INum->text(), "12265000");
        EXPECT_TRUE(f.MarkRecd->isChecked());
        EXPECT_TRUE(f.ARecDate->isEnabled());
        ui.ExpectMessage("This vendor is placed on hold status.", "Warning");
        PickVendor(f);
        EXPECT_EQ(f.ICustNo->text(), "V2");
        EXPECT_EQ(f.POSName->text(), "AARD");
        EXPECT_EQ(f.ITerms->currentText(), "Due on receipt");
        EXPECT_FALSE(f.CheckBox2->isChecked());
        EXPECT_FALSE(f.CheckBox2->isEnabled());
        EXPECT_EQ(f.CheckBox2->text(), "Tax Exempt");
        // The received date's calendar, under its own caption.
        ui.OnModal<forms::TCalForm>([](forms::TCalForm& calendar) {
          EXPECT_EQ(calendar.Caption(), "Received Date");
          EXPECT_EQ(calendar.Calendar1->selectedDate(), QDate(2026, 12, 7));
          calendar.Calendar1->setSelectedDate(QDate(2026, 12, 3));
          calendar.OKButton->click();
        });
        f.ARecCalClick();
        EXPECT_EQ(forms::CalForm->Caption(), "Date Selection");
        EXPECT_EQ(f.ARecDate->text(), "12/03/2026");
        EnterCode(f, 1, "BOLT");
        Type(f, 1, kPOColQuantity, "4");
        EXPECT_EQ(f.ITax->text(), "0.00");
        ui.ExpectMessage("Your received date is BEFORE the date of this PO. Is this correct?",
                         "Please Confirm")
            .Answer(mrYes);
        f.OKButtonClick();
      },
      &status));
  EXPECT_EQ(status, "Added PO 12265000 containing 1 line item(s).");
  EXPECT_EQ(Header("12265000").ReceivedDate.Get(), "2026/12/03");
  EXPECT_EQ(Header("12265000").Terms.Get(), "Due on receipt");
  EXPECT_EQ(StoredCompany().NextPONumber.Get(), "5001");
  EXPECT_EQ(OnHand("BOLT"), "44");
  ExpectBooksBalance();
}

// Each layout shows its own parts whole on a small screen: the lines with their totals, or the
// memo in the grid's place.
TEST_F(POEntryTest, BothLayoutsShowTheirPartsOnASmallScreen) {
  AddPOWith([&](TPOEdit1& f) {
    PickVendor(f);
    EnterCode(f, 1, "BOLT");
    EnterCode(f, 2, "WIDGET");
    Type(f, 2, kPOColDescription, "Widget, large");
    Type(f, 2, kPOColPrice, "12.40");
    Type(f, 2, kPOColQuantity, "25");
    Screenshot(f, "po_entry_lines", {f.StringGrid1, f.ITotal, f.BitBtn1});
    ExpectRowsShown(*f.StringGrid1, 3);  // the headings and both lines
    EXPECT_FALSE(f.Memo1->isVisibleTo(&f));
    f.RadioButton2->setChecked(true);
    f.RadioButton2Click();
    f.Memo1->setPlainText("Please deliver to the back dock.\nCall ahead.");
    Screenshot(f, "po_entry_memo", {f.Memo1, f.ITotal, f.BitBtn1});
    EXPECT_FALSE(f.StringGrid1->isVisibleTo(&f));
    f.CancelDiscarding();
  });
}

}  // namespace
}  // namespace test_fixtures
