#include "mail/mail_address_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "platform/net/scripted_peer.h"

namespace mail {
namespace {

class AddressDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::TestApp<QApplication>(); }

  // Stands in for the user once the dialog is up: types into the fields and presses a button.
  static void WhenShown(const QString& name, const QString& address, bool ok) {
    QTimer::singleShot(0, [=] {
      auto* dialog = qobject_cast<TMailAddressDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->NameEdit->setText(name);
      dialog->AddressEdit->setText(address);
      (ok ? dialog->OKButton : dialog->CancelButton)->click();
    });
  }
};

TEST_F(AddressDialogTest, LooksAsItShould) {
  TMailAddressDlg dialog;
  EXPECT_EQ(dialog.windowTitle(), "Address");
  EXPECT_EQ(dialog.size(), QSize(240, 124));
  EXPECT_EQ(dialog.Label2->text(), "Name");
  EXPECT_EQ(dialog.Label1->text(), "Address");
  EXPECT_EQ(dialog.OKButton->text(), "OK");
  EXPECT_TRUE(dialog.OKButton->isDefault());
  EXPECT_EQ(dialog.CancelButton->text(), "Cancel");
  std::vector<QWidget*> tabOrder{dialog.NameEdit};
  for (QWidget* w = dialog.NameEdit->nextInFocusChain(); w != dialog.NameEdit; w = w->nextInFocusChain()) {
    if (w->focusPolicy() & Qt::TabFocus) tabOrder.push_back(w);
  }
  EXPECT_EQ(tabOrder, (std::vector<QWidget*>{dialog.NameEdit, dialog.AddressEdit, dialog.OKButton,
                                             dialog.CancelButton}));
}

TEST_F(AddressDialogTest, OkTakesTheTypedAddressCancelKeepsTheOld) {
  InstallMailAddressDialog();
  TmsMailAddress address("old@example.com", "M\xfcller");
  WhenShown("J\xc3\xbcrgen Weber", "weber@example.com", false);
  EXPECT_FALSE(address.Edit());
  EXPECT_EQ(address.Name(), "M\xfcller");
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<TMailAddressDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->NameEdit->text(), QString::fromUtf8("M\xc3\xbcller"));  // shown as the user reads it
    dialog->NameEdit->setText(QString::fromUtf8("J\xc3\xbcrgen Weber"));
    dialog->AddressEdit->setText(QString(300, 'a'));
    dialog->OKButton->click();
  });
  EXPECT_TRUE(address.Edit());
  EXPECT_EQ(address.Name(), "J\xfcrgen Weber");
  EXPECT_EQ(address.Address(), std::string(255, 'a'));
}

}  // namespace
}  // namespace mail
