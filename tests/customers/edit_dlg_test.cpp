#include "customers/edit_dlg.h"

#include <gtest/gtest.h>

#include "customer_fixture.h"
#include "customers/customer_manager.h"
#include "platform/ui/support/ui_script.h"

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
    for (const auto& [text, title] : expected_) ui.ExpectMessage(text, title).Icon(MsgIcon::Warning);
    ui.OnModal<TDemoForm>([edit](TDemoForm& m) { edit ? m.EditCustButnClick() : m.NewCustButnClick(); });
    ui.OnModal<TEditDlg>(std::move(work));
    CreateDemoForm().ShowModal();
    EXPECT_TRUE(ui.Done());
  }
  void Expect(const QString& text, const QString& title) { expected_.emplace_back(text, title); }

  std::vector<std::pair<QString, QString>> expected_;
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

}  // namespace
}  // namespace customers
