// The invoice entry form worked as a user works it: customers and products picked through their
// managers, codes typed and looked up, lines inserted and cleared, the memo layout, the saved
// line sets, and what OK hands on.

#include <QLineEdit>
#include <QTest>
#include <fstream>
#include <sstream>

#include "customers/customer_manager.h"
#include "forms/cal_form.h"
#include "forms/run_state.h"
#include "forms/shipping_address_dialog.h"
#include "invoice_entry_fixture.h"
#include "invoicing/saved_lines.h"
#include "platform/ui/application.h"
#include "platform/ui/text_entry.h"
#include "records/company_rec.h"
#include "records/invoice_rec.h"
#include "records/payment_terms.h"
#include "support/grid_typing.h"
#include "support/tab_order.h"
#include "support/whole_window.h"

using namespace records;
using namespace invoicing;
using platform::ui::Application;
using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::MsgIcon;

namespace test_fixtures {
namespace {

std::string SideOf(TProdInv& f, int row) {
  return f.LineOnHand(row) + "|" + f.LineStockState(row) + "|" + f.OldLineQuantities(row) + "|" +
         f.OldLineProducts(row) + "|" + f.LineCosts(row);
}

QStringList RowOf(TProdInv& f, int row) {
  QStringList cells;
  for (int column = kColLine; column <= kColExtension; ++column) cells << f.Lines->Cell(row, column);
  return cells;
}

TEST_F(InvoiceEntryTest, ALineItemInvoiceTypedRowByRowWithThePickers) {
  File({Customer("C100", "Acme Tools")});
  ProductRec nut = Product("NUT-10", "Hex nut 10mm", "1.125", "1");
  nut.TaxOnInvoice = 0;
  ProductRec glue = Product("GLUE", "Wood glue", "4.50");
  glue.HoldSales = 1;
  File({Product("BOLT-10", "Hex bolt 10mm", "0.125", "100"), nut, glue});

  AddInvoice([&](TProdInv& f) {
    EXPECT_EQ(f.INum->text(), "1001");
    EXPECT_EQ(f.IMode->text(), "Add Invoice");
    EXPECT_EQ(f.Label7->text(), "Mo/Dy/Year");
    EXPECT_TRUE(f.CheckBox2->isChecked());
    EXPECT_EQ(f.ITerms->currentText(), "Net 30");
    EXPECT_TRUE(f.StringGrid1->isVisible());
    EXPECT_FALSE(f.Memo1->isVisible());
    EXPECT_EQ(RowOf(f, 1), (QStringList{"1", "", "1", "", "0.00", "Y", "0.00"}));

    PickCustomer(f, Customer("C100", "Acme Tools"));
    EXPECT_EQ(f.ICustName->text(), "Acme Tools");
    EXPECT_EQ(f.ICustNo->text(), "C100");
    EXPECT_EQ(f.EBSName->text(), "ACME");
    EXPECT_EQ(f.CBal->text(), "0.00");

    // Row 1 from the Product Manager: 1 x 0.125 rounds half away from zero.
    f.StringGrid1->SetCursor(1, kColCode);
    PickProduct(f, "BOLT-10");
    EXPECT_EQ(RowOf(f, 1), (QStringList{"1", "BOLT-10", "1", "Hex bolt 10mm", "0.125", "Y", "0.13"}));
    EXPECT_EQ(SideOf(f, 1), "100|S|0||1.00");
    EXPECT_EQ(f.StockData->text(), "100.00");
    EXPECT_EQ(f.StkBal->text(), "99.00");

    // Row 2 by its code typed in lower case and Enter; two taken from one on hand is short.
    Type(f, 2, kColCode, "nut-10");
    f.StringGrid1CodeEntered(2);
    Type(f, 2, kColQuantity, "2");
    EXPECT_EQ(RowOf(f, 2), (QStringList{"CS", "NUT-10", "2", "Hex nut 10mm", "1.125", "N", "2.25"}));
    EXPECT_EQ(f.StkBal->text(), "-1.00");
    EXPECT_EQ(f.StkBal->palette().color(QPalette::WindowText), QColor(Qt::red));

    // The same code on another row is refused there and the cursor goes to the row holding it.
    Type(f, 3, kColCode, "NUT-10");
    ui.ExpectMessage(
          "This Product Code is already in use on this invoice. Change the quantity for the existing "
          "product.",
          "Code: NUT-10  Line: 2.")
        .Icon(MsgIcon::Information);
    f.StringGrid1CodeEntered(3);
    EXPECT_EQ(f.Lines->Cell(3, kColCode), "");
    EXPECT_EQ(f.StringGrid1->CurrentLine(), 2);

    // An unknown code offers the Product Manager; No leaves the row alone.
    Type(f, 3, kColCode, "XYZ");
    ui.ExpectMessage("That product code was not found. Would you like to add it now?", "Product Code")
        .Answer(mrNo);
    f.StringGrid1CodeEntered(3);
    EXPECT_EQ(f.Lines->Cell(3, kColDescription), "");

    // A product on hold is placed after the notice.
    f.StringGrid1->SetCursor(4, kColCode);
    ui.ExpectMessage("This Product is currently placed on HOLD status.", "Please Note! Code: GLUE");
    PickProduct(f, "GLUE");
    EXPECT_EQ(f.Lines->Cell(4, kColExtension), "4.50");

    // Row 3 becomes a comment; row 5 a returned bolt, not taxed: -1 x 0.125 = -0.13.
    f.StringGrid1->SetCursor(3, kColCode);
    f.MakeNoteClick();
    EXPECT_EQ(f.StringGrid1->CurrentColumn(), kColDescription);
    Type(f, 3, kColDescription, "Thank you for your order");
    Type(f, 5, kColDescription, "Returned bolt");
    Type(f, 5, kColQuantity, "-1");
    Type(f, 5, kColPrice, "0.125");
    Type(f, 5, kColTaxable, "n");
    EXPECT_EQ(f.Lines->Cell(5, kColTaxable), "N");
    EXPECT_EQ(f.Lines->Cell(5, kColExtension), "-0.13");

    // Net 0.13 + 2.25 + 4.50 - 0.13; tax 8.25% of the taxed 4.63.
    EXPECT_EQ(f.INet->text(), "6.75");
    EXPECT_EQ(f.ITax->text(), "0.38");
    EXPECT_EQ(f.ITotal->text(), "7.13");
    f.IPaid->setText("2.00");
    EXPECT_EQ(f.BalDue->text(), "5.13");
    f.CheckBox2->click();  // no tax whatever the rate and the flags
    EXPECT_EQ(f.ITax->text(), "0.00");
    f.CheckBox2->click();

    f.OKButton->click();
    EXPECT_FALSE(f.InModalState());
  });
  EXPECT_TRUE(ui.Done());
  ASSERT_TRUE(posted);
  EXPECT_EQ(posted->Number, "1001");
  EXPECT_EQ(posted->CustomerNo, "C100");
  EXPECT_EQ(posted->Date, "03/05/2026");
  EXPECT_EQ(posted->Net, "6.75");
  EXPECT_EQ(posted->Tax, "0.38");
  EXPECT_EQ(posted->Total, "7.13");
  EXPECT_EQ(posted->Paid, "2.00");
  EXPECT_EQ(posted->Due, "5.13");
  ASSERT_EQ(posted->Lines.size(), 5u);
  EXPECT_EQ(posted->Lines[1].Code, "NUT-10");
  EXPECT_EQ(posted->Lines[1].Quantity, "2");
  EXPECT_EQ(posted->Lines[1].Extension, "2.25");
  EXPECT_EQ(posted->Lines[1].Cost, "1.00");
  EXPECT_EQ(posted->Lines[1].StockState, "S");
  EXPECT_EQ(posted->Lines[2].Taxable, " ");
  EXPECT_EQ(posted->Lines[2].Description, "Thank you for your order");
  EXPECT_EQ(posted->Lines[4].Extension, "-0.13");
}

// A code typed and left by Tab is looked up as Enter looks it up, and the quantity typed next
// stays, also when Enter looks the code up again; an unknown code left by a click on another
// line is offered for adding.
TEST_F(InvoiceEntryTest, ACodeIsLookedUpOnceItsCellIsLeftAndKeepsTheQuantityTyped) {
  File({Product("HAM01", "Claw hammer", "12.50", "4")});
  AddInvoice([&](TProdInv& f) {
    f.StringGrid1->setFocus();
    f.StringGrid1->SetCursor(1, kColCode);
    testing_support::TypeIntoGrid(*f.StringGrid1, "ham01\t3\t");
    EXPECT_EQ(RowOf(f, 1), (QStringList{"1", "HAM01", "3", "Claw hammer", "12.50", "Y", "37.50"}));
    EXPECT_EQ(f.StockData->text(), "4.00");
    EXPECT_EQ(f.StkBal->text(), "1.00");
    f.StringGrid1->SetCursor(1, kColCode);
    testing_support::TypeIntoGrid(*f.StringGrid1, "\n");
    EXPECT_EQ(RowOf(f, 1), (QStringList{"1", "HAM01", "3", "Claw hammer", "12.50", "Y", "37.50"}));

    ui.ExpectMessage("That product code was not found. Would you like to add it now?", "Product Code")
        .Answer(mrNo);
    f.StringGrid1->SetCursor(2, kColCode);
    testing_support::TypeIntoGrid(*f.StringGrid1, "XYZ");
    const QRect line3 = f.StringGrid1->visualRect(f.Lines->index(2, kColCode));
    QTest::mouseClick(f.StringGrid1->viewport(), Qt::LeftButton, {}, line3.center());
    QCoreApplication::processEvents();
    EXPECT_EQ(f.Lines->Cell(2, kColCode), "XYZ");
    EXPECT_EQ(f.INet->text(), "37.50");
    f.CancelDiscarding();
  });
  EXPECT_TRUE(ui.Done());
}

// Escape in a cell's editor cancels that cell's edit only; Escape on the grid or Cancel on a form
// with lines typed asks before the invoice is thrown away, and No keeps it.
TEST_F(InvoiceEntryTest, EscapeNeverThrowsAwayTypedLinesUnasked) {
  ui.ExpectMessage("Discard this invoice?", "Product Invoice").Answer(mrNo);
  ui.ExpectMessage("Discard this invoice?", "Product Invoice").Answer(platform::ui::mrYes);
  AddInvoice([&](TProdInv& f) {
    Type(f, 1, kColDescription, "Rope");
    const QString quantity = f.Lines->Cell(1, kColQuantity);
    f.StringGrid1->SetCursor(1, kColQuantity);
    f.StringGrid1->setFocus();
    f.StringGrid1->edit(f.Lines->index(0, kColQuantity));
    auto* editor = f.StringGrid1->viewport()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "5");
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(f.InModalState());
    EXPECT_EQ(f.Lines->Cell(1, kColQuantity), quantity);  // the cell's edit undone, nothing else
    QTest::keyClick(f.StringGrid1, Qt::Key_Escape);       // asked: No
    EXPECT_TRUE(f.InModalState());
    EXPECT_EQ(f.Lines->Cell(1, kColDescription), "Rope");
    f.CancelButton->click();  // asked: Yes
    EXPECT_FALSE(f.InModalState());
  });
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceEntryTest, InsertingAndClearingLinesKeepTheSideValuesWithTheirRows) {
  File({Product("A", "Alpha", "1.00", "5"), Product("B", "Bravo", "2.00", "6"),
        Product("C", "Charlie", "3.00", "7")});
  AddInvoice([&](TProdInv& f) {
    for (int row = 1; row <= 3; ++row) {
      Type(f, row, kColCode, QString(QChar('A' + row - 1)));
      f.StringGrid1CodeEntered(row);
    }
    // As if editing: row 2 held 4 of B in the stored invoice.
    f.OldLineQuantities(2) = "4";
    f.OldLineProducts(2) = "B";
    const std::string bravo = SideOf(f, 2);
    const std::string charlie = SideOf(f, 3);

    f.StringGrid1->SetCursor(2, kColQuantity);
    f.SBInsertClick();
    EXPECT_EQ(RowOf(f, 2), (QStringList{"2", "", "1", "", "0.00", "Y", "0.00"}));
    EXPECT_EQ(SideOf(f, 2), "999999999|X|0||0");
    EXPECT_EQ(RowOf(f, 3), (QStringList{"3", "B", "1", "Bravo", "2.00", "Y", "2.00"}));
    EXPECT_EQ(SideOf(f, 3), bravo);
    EXPECT_EQ(RowOf(f, 4).mid(1, 2), (QStringList{"C", "1"}));
    EXPECT_EQ(SideOf(f, 4), charlie);
    EXPECT_EQ(f.INet->text(), "6.00");
    EXPECT_EQ(f.CurCost->text(), "0");

    // Clearing a line empties it in place; what the stored invoice held stays known.
    f.StringGrid1->SetCursor(3, kColQuantity);
    f.DeleteLineClick();
    EXPECT_EQ(RowOf(f, 3), (QStringList{"3", "", "1", "", "0.00", "Y", "0.00"}));
    EXPECT_EQ(f.LineStockState(3), "X");
    EXPECT_EQ(f.LineCosts(3), "0");
    EXPECT_EQ(f.OldLineProducts(3), "B");
    EXPECT_EQ(f.Lines->Cell(4, kColCode), "C");
    EXPECT_EQ(f.INet->text(), "4.00");

    // Row 99 in use: nothing may be pushed out.
    Type(f, 99, kColDescription, "Last line");
    f.StringGrid1->SetCursor(1, kColCode);
    ui.ExpectMessage("Line item number 99 is in use. Unable to insert more line items.", Application->Title);
    f.SBInsertClick();
    f.StringGrid1->SetCursor(99, kColCode);
    f.DeleteLineClick();
    f.OldLineProducts(99) = "Z";
    f.StringGrid1->SetCursor(1, kColCode);
    ui.ExpectMessage(
        "Edit buffer full. Unable to insert line. Save the current invoice and then try editing it again.",
        Application->Title);
    f.SBInsertClick();
    EXPECT_EQ(f.Lines->Cell(1, kColCode), "A");

    // Line jumps.
    f.BottButnClick();
    EXPECT_EQ(f.StringGrid1->CurrentLine(), 99);
    f.CnterButnClick();
    EXPECT_EQ(f.StringGrid1->CurrentLine(), 50);
    f.TopButnClick();
    EXPECT_EQ(f.StringGrid1->CurrentLine(), 1);
    f.CancelDiscarding();
  });
  EXPECT_TRUE(ui.Done());
  EXPECT_FALSE(posted);
}

TEST_F(InvoiceEntryTest, MemoInvoiceTotalsFollowTheQuantityTaxAndPaidTyped) {
  const QString leftOut = platform::ui::LeftOutCharactersMessage(QString::fromUtf8("\u2713"));
  ui.ExpectMessage(leftOut, platform::ui::kRefusedCharacterTitle);
  bool saidBeforePosting = false;
  PostEnteredInvoice = [&](const EnteredInvoice& invoice) {
    saidBeforePosting = !ui.Events().empty() && ui.Events().back().text == leftOut;
    posted = invoice;
    return true;
  };
  File({Customer("C100", "Acme Tools")});
  File({Product("SVC", "Service call", "10.00", "3")});
  AddInvoice(
      [&](TProdInv& f) {
        EXPECT_TRUE(f.RadioButton2->isChecked());
        EXPECT_TRUE(f.Memo1->isVisible());
        EXPECT_FALSE(f.StringGrid1->isVisible());
        EXPECT_FALSE(f.SBInsert->isEnabled());
        EXPECT_FALSE(f.INet->isReadOnly());
        EXPECT_EQ(f.INet->text(), "0.00");
        PickCustomer(f, Customer("C100", "Acme Tools"));
        PickProduct(f, "SVC");
        EXPECT_EQ(f.MemoPDesc->text(), "Service call");
        EXPECT_EQ(f.MemoQuan->text(), "1");
        EXPECT_EQ(f.INet->text(), "10.00");
        EXPECT_EQ(MemoProductPrice, "10.00");
        f.MemoQuan->setText("4");
        EXPECT_EQ(f.INet->text(), "40.00");
        EXPECT_EQ(f.StkBal->text(), "-1.00");
        // Short of stock: the figure in red, the quantity on yellow.
        EXPECT_EQ(f.StkBal->palette().color(QPalette::WindowText), QColor(Qt::red));
        EXPECT_EQ(f.MemoQuan->palette().color(QPalette::Base), QColor(Qt::yellow));
        EXPECT_EQ(f.TaxLbl->text(), "Tax on 40.00 is 3.30.");
        f.ITax->setText("3.30");
        f.IPaid->setText("10.00");
        EXPECT_EQ(f.ITotal->text(), "43.30");
        EXPECT_EQ(f.BalDue->text(), "33.30");
        f.ITax->clear();
        EXPECT_EQ(f.ITax->text(), "0.00");
        EXPECT_EQ(f.ITotal->text(), "40.00");
        f.Memo1->setPlainText("Repaired the pump.\nReplaced two seals.");
        testing_support::ExpectWholeWindow(f, "invoice_entry_memo");
        testing_support::ExpectTabOrderReads(f, "invoice_entry_memo");
        // A key the files cannot hold, typed into the memo: left out, and said before posting.
        f.Memo1->moveCursor(QTextCursor::End);
        QTest::sendKeyEvent(QTest::Click, f.Memo1, Qt::Key_unknown, QString::fromUtf8("\u2713"),
                            Qt::NoModifier);
        f.OKButtonClick();
      },
      true);
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(saidBeforePosting);
  ASSERT_TRUE(posted);
  EXPECT_TRUE(posted->Memo);
  EXPECT_EQ(posted->MemoProduct.Code, "SVC");
  EXPECT_EQ(posted->MemoProduct.Quantity, "4");
  EXPECT_EQ(posted->MemoProduct.Description, "Service call");
  EXPECT_EQ(posted->Net, "40.00");
  EXPECT_EQ(posted->Due, "30.00");
  EXPECT_EQ(posted->MemoLines, (std::vector<std::string>{"Repaired the pump.", "Replaced two seals."}));
  EXPECT_TRUE(posted->Lines.empty());
}

TEST_F(InvoiceEntryTest, SavedLinesComeBackAsTheyWereWithTheirStock) {
  File({Product("BOLT-10", "Hex bolt 10mm", "0.125", "100")});
  AddInvoice([&](TProdInv& f) {
    ui.ExpectMessage("You have not created a saved lines file.", "Load Saved Lines");
    f.ImportButnClick();

    Type(f, 1, kColCode, "BOLT-10");
    f.StringGrid1CodeEntered(1);
    Type(f, 1, kColQuantity, "12");
    Type(f, 2, kColDescription, "Fitting, per hour");
    Type(f, 2, kColQuantity, "1.5");
    Type(f, 2, kColPrice, "-1234.5");
    Type(f, 2, kColTaxable, "N");
    Type(f, 4, kColCode, "GONE");  // no such product any more
    Type(f, 4, kColDescription, "Old part");
    f.INVNOTES->setText(QString(80, 'n'));
    f.IStmntNote->setText("Thirty-five characters of a note...");  // longer than its slot of 25
    f.KeyCode->setText("SPRING26");
    const QStringList row1 = RowOf(f, 1);
    const QStringList row2 = RowOf(f, 2);
    ui.ExpectMessage("The saved lines file has been replaced with the current invoice lines.",
                     "Saved Lines File");
    f.ExportButnClick();

    f.UndoAllClick();
    f.INVNOTES->clear();
    f.KeyCode->clear();
    EXPECT_EQ(f.Lines->Cell(1, kColCode), "");
    f.ImportButnClick();
    EXPECT_EQ(RowOf(f, 1), row1);
    EXPECT_EQ(RowOf(f, 2), row2);
    EXPECT_EQ(f.Lines->Cell(2, kColExtension), "-1,851.75");
    EXPECT_EQ(SideOf(f, 1), "100|S|0||1.00");
    EXPECT_EQ(f.LineStockState(4), "T");
    EXPECT_EQ(f.INVNOTES->text(), QString(80, 'n'));
    EXPECT_EQ(f.IStmntNote->text(), "Thirty-five characters of");
    EXPECT_EQ(f.KeyCode->text(), "SPRING26");
    EXPECT_EQ(f.INet->text(), "-1,850.25");
    f.CancelDiscarding();
  });
  EXPECT_TRUE(ui.Done());

  // Every row line keeps its columns, the key code stands at 106.
  std::ifstream file("SAVELINE.SAV", std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(bytes, line)) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r');
    lines.push_back(line.substr(0, line.size() - 1));
  }
  ASSERT_EQ(lines.size(), 101u);
  for (int row = 0; row < 100; ++row) EXPECT_EQ(lines[row].size(), 88u) << row;
  EXPECT_EQ(lines[1].substr(19, 10), "1.5       ");
  EXPECT_EQ(lines[1].substr(76, 12), "-1,851.75   ");
  EXPECT_EQ(lines[100].substr(80, 25), "Thirty-five characters of");
  EXPECT_EQ(lines[100].substr(105), "SPRING26");
}

// A memo typed as paragraphs is saved in the lines a memo record holds and comes back whole; one
// that a memo record cannot hold is refused before the file is touched.
TEST_F(InvoiceEntryTest, ASavedMemoReloadsItsWholeTextNotesAndProduct) {
  File({Product("SVC", "Service call", "10.00", "3")});
  const QString paragraph = QString("Thank you for your order of %1. ").repeated(6).arg("today").trimmed();
  AddInvoice(
      [&](TProdInv& f) {
        ui.ExpectMessage("You have not created a saved memo file.", "Load Saved Memo");
        f.ImportButnClick();
        PickProduct(f, "SVC");
        f.Memo1->setPlainText("Dear customer,\n\n  " + paragraph);
        f.INVNOTES->setText("Notes of the memo");
        f.KeyCode->setText("K1");
        ui.ExpectMessage("The saved lines file has been replaced with the current invoice lines.",
                         "Saved Lines File");
        f.ExportButnClick();
        f.UndoAllClick();
        EXPECT_EQ(f.Memo1->toPlainText(), "");
        f.ImportButnClick();
        // Every word back, in the memo's stored lines.
        const QStringList lines = f.Memo1->toPlainText().split('\n');
        ASSERT_GE(lines.size(), 4);
        EXPECT_EQ(lines.mid(0, 2), (QStringList{"Dear customer,", ""}));
        EXPECT_EQ(lines.mid(2).join(' '), "  " + paragraph);
        for (const QString& line : lines) EXPECT_LE(line.size(), 74);
        EXPECT_EQ(f.INVNOTES->text(), "Notes of the memo");
        EXPECT_EQ(f.KeyCode->text(), "K1");
        EXPECT_EQ(f.MemoPDesc->text(), "Service call");
        EXPECT_EQ(f.StkName->text(), "SVC");
        EXPECT_EQ(f.MemoQuan->text(), "1");

        f.Memo1->setPlainText(QString("line\n").repeated(26));
        ui.ExpectMessage(
            "The memo text is too long. A memo holds at most 25 lines of up to 74 characters; please "
            "shorten it.",
            "Memo Text");
        f.ExportButnClick();
        f.ImportButnClick();
        EXPECT_EQ(f.Memo1->toPlainText().split('\n').mid(2).join(' '), "  " + paragraph);
        f.CancelDiscarding();
      },
      true);
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceEntryTest, ShowingAndPickingFollowTheCompanyAndTheCustomer) {
  CurrentCompany.InvoiceNumberPrefix.Set("Y");
  CurrentCompany.HideCost = 1;
  CurrentCompany.InvoiceShipToCaption.Set("Deliver To:");
  CustomerRec c = Customer("C200", "Baker & Sons");
  c.CreditLimit.Set("100.00");
  c.CustBalance.Set("150.00");
  c.CreditHold.Set("Y");
  c.TaxExempt.Set("Y");
  c.PaymentTerms.Set("Net 10");
  c.ShipTo1.Set("12 Mill Lane");
  c.CustAging1.Set("110.00");
  c.CustAging4.Set("40");
  File({c});
  AddInvoice([&](TProdInv& f) {
    EXPECT_EQ(f.INum->text(), "03261001");  // month and year of the invoice date before the number
    EXPECT_FALSE(f.CurCost->isVisible());
    EXPECT_EQ(f.Label24->text(), "Over 90:");

    ui.ExpectMessage("This customer is over their credit limit.", "Warning").Icon(MsgIcon::Information);
    ui.ExpectMessage("This customer is placed on inactive/credit hold status.", "Warning");
    PickCustomer(f, c);
    EXPECT_EQ(f.ICredLimit->text(), "100.00");
    EXPECT_EQ(f.CBal->text(), "150.00");
    EXPECT_EQ(f.Acur->text(), "110.00");
    EXPECT_EQ(f.A90->text(), "40.00");
    EXPECT_EQ(f.ITerms->currentText(), "Net 10");
    // Enter in the terms box must not slip the new term into the list unasked.
    QTest::keyClick(f.ITerms->lineEdit(), Qt::Key_Return);
    EXPECT_FALSE(f.CheckBox2->isChecked());
    EXPECT_FALSE(f.CheckBox2->isEnabled());
    EXPECT_EQ(f.CheckBox2->text(), "Tax Exempt");
    EXPECT_TRUE(f.Button1->isEnabled());

    // Closing the manager without a pick keeps the customer.
    ui.OnModal<customers::TDemoForm>([](customers::TDemoForm& manager) { manager.Close(); });
    f.BitBtn3Click();
    EXPECT_EQ(f.ICustNo->text(), "C200");

    ui.OnModal<forms::TPOShipWin>([](forms::TPOShipWin& shipTo) {
      EXPECT_EQ(shipTo.Caption(), "Invoice");
      EXPECT_EQ(shipTo.Label1->text(), "Deliver To:");
      EXPECT_EQ(shipTo.Edit1->text(), "12 Mill Lane");
      shipTo.Edit2->setText("Back door");
      shipTo.OKBtn->click();
    });
    f.Button1Click();

    // The calendar starts from today when the date box holds no date, and its day is taken.
    f.IDate->setText("13/45/2026");
    ui.OnModal<forms::TCalForm>([&f](forms::TCalForm& calendar) {
      EXPECT_EQ(f.IDate->text(), "03/05/2026");
      EXPECT_EQ(calendar.Calendar1->selectedDate(), QDate(2026, 3, 5));
      calendar.Calendar1->setSelectedDate(QDate(2026, 3, 9));
      calendar.OKButton->click();
    });
    f.CalbuttonClick();
    EXPECT_EQ(f.IDate->text(), "03/09/2026");

    Type(f, 1, kColDescription, "Delivery");
    Type(f, 1, kColPrice, "5.00");
    ui.ExpectMessage(
          "This invoice will cause this customer to be over their credit limit.  Do you want to proceed "
          "anyway?",
          "Please Confirm")
        .Answer(platform::ui::mrYes);
    ui.ExpectMessage("This is a new payment term. Would you like to add terms to the terms file?",
                     "Terms: Net 10")
        .Answer(mrNo);
    f.OKButtonClick();
  });
  EXPECT_TRUE(ui.Done());
  ASSERT_TRUE(posted);
  EXPECT_EQ(posted->Number, "03261001");
  EXPECT_EQ(posted->Date, "03/09/2026");
  EXPECT_EQ(posted->Tax, "0.00");
  EXPECT_EQ(posted->ShipTo[0], "12 Mill Lane");
  EXPECT_EQ(posted->ShipTo[1], "Back door");
  EXPECT_EQ(posted->Terms, "Net 10");
  EXPECT_FALSE(LoadPaymentTerms().contains("Net 10"));
}

TEST_F(InvoiceEntryTest, EditingShowsWhatTheStoredLinesHeldBesideTheNewFigures) {
  InvoiceFormMode = 1;
  InitialInvoiceNumber = "G123";
  InvoiceBuf = InvoiceRec{};
  InvoiceBuf.Body.Set("P");
  SelectedCustomer = Customer("C100", "Acme Tools");
  SelectedCustomer.TaxExempt.Set("Y");
  TProdInv& form = *ProdInv;
  form.INum->setText("G123");
  form.IDate->setText("03/01/2026");
  form.EBTaxRate->setText("10");
  form.ClearInvoiceLines();
  // Loaded as the edit transaction loads a stored line: 3 of A, and a line that held C-9.
  const std::array<QString, 7> a{"1", "A", "3", "Alpha", "2.00", "Y", "6.00"};
  const std::array<QString, 7> b{"2", "B", "1", "Bravo", "1.00", "Y", "1.00"};
  for (int column = 0; column < 7; ++column) {
    form.Lines->Put(1, column, a[column]);
    form.Lines->Put(2, column, b[column]);
  }
  form.LineOnHand(1) = "5";
  form.LineStockState(1) = "S";
  form.OldLineQuantities(1) = "3";
  form.OldLineProducts(1) = "A";
  form.LineOnHand(2) = "0";
  form.LineStockState(2) = "S";
  form.OldLineQuantities(2) = "1";
  form.OldLineProducts(2) = "C-9";
  ui.OnModal<TProdInv>([&](TProdInv& f) {
    EXPECT_EQ(f.IMode->text(), "Edit Invoice");
    EXPECT_FALSE(f.INum->isEnabled());
    EXPECT_FALSE(f.RadioButton2->isEnabled());
    EXPECT_FALSE(f.PrintFlag->isEnabled());
    EXPECT_FALSE(f.CheckBox2->isEnabled());
    EXPECT_EQ(f.CheckBox2->text(), "Tax Exempt");
    EXPECT_EQ(f.INet->text(), "7.00");
    EXPECT_EQ(f.ITax->text(), "0.00");  // the customer is tax exempt, whatever the rate
    Type(f, 1, kColQuantity, "4");      // 5 on hand + the 3 the invoice took - 4
    EXPECT_EQ(f.StkBal->text(), "4.00");
    EXPECT_EQ(f.OldLineQuan->text(), "\n + Old Quan: 3");
    Type(f, 2, kColQuantity, "2");
    EXPECT_EQ(f.OldLineQuan->text(), "(Changed Item)");
    EXPECT_EQ(f.Lines->Cell(2, kColLine), "CS");
    f.CancelDiscarding();
  });
  form.ShowModal();
  InvoiceFormMode = 0;
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceEntryTest, TheCommandLineJobShowsItsCustomersAccount) {
  forms::ExternalInvoiceMode = 1;
  SelectedCustomer = Customer("C300", "Carter");
  SelectedCustomer.CustBalance.Set("-12.5");
  SelectedCustomer.CustAging2.Set("7.25");
  SelectedCustomer.ShipTo4.Set("Harbour Road");
  AddInvoice([&](TProdInv& f) {
    EXPECT_FALSE(f.BitBtn3->isEnabled());
    EXPECT_FALSE(f.SpeedButton3->isEnabled());
    EXPECT_TRUE(f.Button1->isEnabled());
    EXPECT_EQ(f.CBal->text(), "-12.50");
    EXPECT_EQ(f.A30->text(), "7.25");
    EXPECT_EQ(forms::POShipWin->Edit4->text(), "Harbour Road");
    f.CancelDiscarding();
  });
  forms::ExternalInvoiceMode = 0;
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceEntryTest, TheFormWithTenLinesAsTheUserSeesIt) {
  File({Customer("C100", "Acme Tools")});
  std::vector<ProductRec> products;
  for (int i = 1; i <= 10; ++i)
    products.push_back(Product("P-" + std::to_string(i), "Product number " + std::to_string(i),
                               std::to_string(i) + ".25", i == 4 ? "0" : "50"));
  File(products);
  AddInvoice([&](TProdInv& f) {
    PickCustomer(f, Customer("C100", "Acme Tools"));
    for (int row = 1; row <= 10; ++row) {
      Type(f, row, kColCode, QString("P-%1").arg(row));
      f.StringGrid1CodeEntered(row);
      Type(f, row, kColQuantity, QString::number(row));
    }
    f.resize(1000, 720);
    f.StringGrid1->SetCursor(4, kColQuantity);
    EXPECT_EQ(f.Lines->Cell(4, kColLine), "CS");
    f.StringGrid1->SetTopLine(1);
    testing_support::ExpectWholeWindow(f, "invoice_entry");
    testing_support::ExpectTabOrderReads(f, "invoice_entry");
    f.CancelDiscarding();
  });
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace test_fixtures
