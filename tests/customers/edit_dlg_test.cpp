#include "customers/edit_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QToolTip>
#include <tuple>

#include "customer_fixture.h"
#include "customers/customer_manager.h"
#include "platform/ui/support/ui_script.h"
#include "platform/ui/text_entry.h"
#include "records/company_rec.h"
#include "support/read_sweep.h"

namespace customers {

using namespace records;
namespace {

using platform::ui::mrNone;
using platform::ui::mrOk;
using platform::ui::MsgIcon;
using testing_support::UiScript;

class EditDlgTest : public test_fixtures::CustomerFixture {
 protected:
  // Runs `work` in the dialog that the manager's New (or Edit) opens.
  void InDialog(bool edit, std::function<void(TEditDlg&)> work) {
    UiScript ui;
    for (const auto& [text, title, icon] : expected_) ui.ExpectMessage(text, title).Icon(icon);
    ui.OnModal<TDemoForm>([edit](TDemoForm& m) { edit ? m.EditCustButnClick() : m.NewCustButnClick(); });
    ui.OnModal<TEditDlg>(std::move(work));
    CreateDemoForm().ShowModal();
    EXPECT_TRUE(ui.Done());
  }
  void Expect(const QString& text, const QString& title, MsgIcon icon = MsgIcon::Warning) {
    expected_.emplace_back(text, title, icon);
  }

  std::vector<std::tuple<QString, QString, MsgIcon>> expected_;
};

// Presses OK and checks that the dialog stayed open with the focus on `field`.
void RefusedAt(TEditDlg& d, QWidget* field) {
  d.OKBtnClick();
  EXPECT_EQ(d.ModalResult(), mrNone);
  EXPECT_EQ(d.focusWidget(), field);
}

TEST_F(EditDlgTest, TheChecksRunInTheirOrderAndTheDialogClosesWhenAllPass) {
  File({Customer("500", "Baker & Sons")});
  Expect("You must enter a customer number.", "Customer Number");
  Expect("You must enter a customer name.", "Customer Name");
  Expect("The customer e-mail address does not have the @ sign included. Invalid e-mail address.",
         "Customer E-Mail Address");
  Expect("The customer e-mail address has a blank space. Invalid e-mail address.", "Customer E-Mail Address");
  Expect("The customer e-mail address does not have a period (.) included. Invalid e-mail address.",
         "Customer E-Mail Address");
  Expect("That customer number already exists. You will need to use a different number.", "Customer Number");
  Expect(
      "That customer name already exists. You should not enter the same customer name with a different "
      "customer "
      "number.",
      "Duplicate Customer Name");
  Expect("The CREDIT LIMIT amount has an invalid value.", "Credit Limit");
  InDialog(false, [](TEditDlg& d) {
    d.CNo->setText("  ");
    d.CName->clear();
    d.EMAdd->setText("sales at acme");
    d.CLimit->setText("12x");
    RefusedAt(d, d.CNo);
    d.CNo->setText("500");
    RefusedAt(d, d.CName);
    d.CName->setText("baker & sons");
    RefusedAt(d, d.EMAdd);
    EXPECT_EQ(d.ShortName->text(), "b& sons");  // proposed before the e-mail check
    d.EMAdd->setText("sales@acme example");
    RefusedAt(d, d.EMAdd);
    d.EMAdd->setText("sales@acme");
    RefusedAt(d, d.EMAdd);
    d.EMAdd->setText("sales@acme.example");
    RefusedAt(d, d.CNo);  // 500 is Baker's
    d.CNo->setText("501");
    RefusedAt(d, d.CName);  // the same name in other letters
    d.CName->setText("Baker and Sons");
    RefusedAt(d, d.CLimit);
    d.CLimit->setText(" 2,500.50 ");
    d.OKBtnClick();
    EXPECT_EQ(d.ModalResult(), mrOk);
  });
}

TEST_F(EditDlgTest, EditingACustomerFindsItselfWithoutComplaint) {
  File({Customer("500", "Baker"), Customer("501", "Carter")});
  Expect(
      "That customer name already exists. You should not enter the same customer name with a different "
      "customer "
      "number.",
      "Duplicate Customer Name");
  Expect("That customer number already exists. You will need to use a different number.", "Customer Number");
  InDialog(true, [](TEditDlg& d) {
    EXPECT_EQ(d.ReferenceNo, "500");
    EXPECT_EQ(d.DialogMode, "1");
    d.CName->setText("CARTER");
    RefusedAt(d, d.CName);
    d.CName->setText("Baker");
    d.CNo->setText("501");
    RefusedAt(d, d.CNo);
    d.CNo->setText("500");
    d.OKBtnClick();
    EXPECT_EQ(d.ModalResult(), mrOk);
  });
}

// A new customer's number is refused when any customer has it, the one numbered 0 too (no number is
// a new customer's own); so is its name. The last number the counter holds is told as it is taken,
// and the next New offers no number: it is asked for, never one below it.
TEST_F(EditDlgTest, ANewCustomerTakesNoNumberOnFileNotEvenZeroAndTheCounterEndIsTold) {
  File({Customer("0", "Zero Supply")});
  Expect("That customer number already exists. You will need to use a different number.", "Customer Number");
  Expect(
      "That customer name already exists. You should not enter the same customer name with a different "
      "customer number.",
      "Duplicate Customer Name");
  Expect(
      "Customer number 99999999 is the largest number the 8 characters of a customer number hold, so no next "
      "customer number will be offered: type the next one yourself.",
      "Customer Number", MsgIcon::Information);
  InDialog(false, [](TEditDlg& d) {
    d.CNo->setText(" 0 ");
    d.CName->setText("Anchor");
    RefusedAt(d, d.CNo);
    d.CNo->setText("77");
    d.CName->setText("zero supply");
    RefusedAt(d, d.CName);
    d.CName->setText("Anchor");
    d.CNo->setText("99999999");
    d.OKBtnClick();
    EXPECT_EQ(d.ModalResult(), mrOk);
  });
  EXPECT_EQ(CurrentCompany.NextCustomerNumber.Get(), "");
  expected_.clear();
  Expect("You must enter a customer number.", "Customer Number");
  InDialog(false, [](TEditDlg& d) {
    EXPECT_EQ(d.CNo->text(), "");
    d.CName->setText("Bolt");
    RefusedAt(d, d.CNo);
    d.CancelDiscarding();
  });
  EXPECT_EQ(StoredCustomers().size(), 2u);
}

// The checks that the number and the name are free search the customer file the manager holds:
// with each read of those searches failing in turn, OK says the file and the reason once and the
// dialog stays open with what was typed; the clean OK then adds the customer once.
TEST_F(EditDlgTest, ASearchForANumberOrNameInUseThatFailsIsSaidAndKeepsTheDialog) {
  File({Customer("500", "Baker"), Customer("502", "Dent")});
  InDialog(false, [](TEditDlg& d) {
    d.CNo->setText("501");
    d.CName->setText("Carter");
    testing_support::SweepReads({"NumberAndNameChecks",
                                 [&d] {
                                   d.SetModalResult(mrNone);
                                   d.OKBtnClick();
                                   EXPECT_EQ(d.CNo->text(), "501");
                                   EXPECT_EQ(d.CName->text(), "Carter");
                                   return d.ModalResult() == mrOk;
                                 }},
                                {});
  });
  const std::vector<CustomerRec> stored = StoredCustomers();
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[1].CustomerName.Get(), "Carter");
}

TEST_F(EditDlgTest, ShortNameProposalLimitsAndAddressCopying) {
  InDialog(false, [](TEditDlg& d) {
    d.CName->setText("Wonderfulco");
    d.CNameExit();
    EXPECT_EQ(d.ShortName->text(), "Wonderfulc");  // one word: its first 10 letters
    d.ShortName->clear();
    d.CName->setText("Acme Tooling Supplies");
    d.CNameExit();
    EXPECT_EQ(d.ShortName->text(), "ATooling S");
    d.CName->setText("Other Name");
    d.CNameExit();
    EXPECT_EQ(d.ShortName->text(), "ATooling S");  // a short name is never replaced

    // Numbers of more than 8 characters would be cut when stored and slip past the duplicate check.
    d.CNo->setText("123456789");
    EXPECT_EQ(d.CNo->text(), "12345678");
    d.CstNote->setPlainText(QString(250, 'n'));
    EXPECT_EQ(d.CstNote->toPlainText().size(), 200);
    EXPECT_EQ(d.NotesText(), std::string(200, 'n'));

    d.CheckBox1->setChecked(false);
    d.CAdd1Edit->setText("1 Main Street");
    EXPECT_EQ(d.CShip1->text(), "");
    d.Button1Click();
    EXPECT_EQ(d.CShip1->text(), "1 Main Street");
    d.Button2Click();
    EXPECT_EQ(d.CShip1->text(), "");
  });
}

// Types text into the widget with the focus's key events, as a keyboard would.
void Type(QWidget* field, const QString& text) {
  for (const QChar c : text)
    QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
  QCoreApplication::processEvents();  // the refusal's message
}

void Paste(QWidget* field, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  QTest::keySequence(field, QKeySequence::Paste);
  QCoreApplication::processEvents();
}

std::string Stored(const CustomerRec& c) {
  return c.CustomerName.Get() + "|" + c.CustBillTo1.Get() + "|" + c.CustNotes.Get();
}

TEST_F(EditDlgTest, TextTheFilesCannotHoldIsRefusedAtEntryAndNothingStoredChanged) {
  using platform::ui::kRefusedCharacterTitle;
  using platform::ui::RefusedCharactersMessage;
  // Typed keys get no box (it would take the keys typed after them); each paste gets one; OK says
  // which typed keys were left out.
  Expect(RefusedCharactersMessage(QString::fromUtf8("\u0141\u017a")), kRefusedCharacterTitle);
  Expect(RefusedCharactersMessage(QString::fromUtf8("\u015e")), kRefusedCharacterTitle);
  Expect(platform::ui::LeftOutCharactersMessage(QString::fromUtf8("\u010c\u0141\u017a")),
         kRefusedCharacterTitle);
  InDialog(false, [](TEditDlg& d) {
    d.CNo->setText("700");
    d.CName->setFocus();
    Type(d.CName, QString::fromUtf8("\u010capek & \u0141\u00f3d\u017a"));
    EXPECT_EQ(d.CName->text(), QString::fromUtf8("apek & \u00f3d"));  // refused keys dropped, the rest typed
    EXPECT_EQ(d.focusWidget(), d.CName);
    EXPECT_TRUE(QToolTip::text().startsWith(QString::fromUtf8("\"\u017a\"")));  // the last refused key
    d.CName->setText("apek & Co");
    Type(d.CName, QString::fromUtf8("\u00e9"));  // held by the code page
    Paste(d.CAdd1Edit, QString::fromUtf8("\u0141\u00f3d\u017a 12"));
    EXPECT_EQ(d.CAdd1Edit->text(), "");  // the paste refused whole
    Paste(d.CAdd1Edit, QString::fromUtf8("L\u00f3dz 12"));
    d.CstNote->setPlainText("Call first.");
    d.CstNote->moveCursor(QTextCursor::End);
    Paste(d.CstNote, QString::fromUtf8(" \u015eirket"));
    EXPECT_EQ(d.CstNote->toPlainText(), "Call first.");
    Type(d.CstNote, " Ok");
    d.OKBtnClick();
  });
  std::vector<CustomerRec> stored = StoredCustomers();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(Stored(stored[0]),
            "apek & Co\xe9|L\xf3"
            "dz 12|Call first. Ok");
}

TEST_F(EditDlgTest, TabWalksTheFieldsInLayoutOrderAndLeavesTheNotesBox) {
  InDialog(false, [](TEditDlg& d) {
    const std::vector<QWidget*> walked = testing_support::WalkTabs(d.CNo, 28);
    const std::vector<QWidget*> expected{d.CNo,       d.CName,     d.ShortName, d.CustType,   d.CTerms,
                                         d.CLimit,    d.CTE,       d.MListCode, d.EMAdd,      d.CAdd1Edit,
                                         d.CAdd2Edit, d.CAdd3Edit, d.CAdd4Edit, d.CShip1,     d.CShip2,
                                         d.CShip3,    d.CShip4,    d.CPhone1,   d.CPhone2,    d.Button1,
                                         d.Button2,   d.CheckBox1, d.CstNote,   d.NotesOnInv, d.NotesOnStmnt,
                                         d.CRHold,    d.OKBtn,     d.CancelBtn, d.HelpBtn};
    EXPECT_EQ(walked, expected);
    EXPECT_EQ(d.CstNote->toPlainText(), "");  // Tab typed nothing into the notes
  });
}

}  // namespace
}  // namespace customers
