// The dialogs that hold typed work worth keeping never throw it away unasked: a Cancel (Escape,
// the Cancel button, the close box) after something was typed asks first, and No keeps the
// dialog open with what was typed; a dialog left untouched closes at once.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <functional>

#include "companies/comp_set.h"
#include "customers/edit_dlg.h"
#include "invoicing/invoice_entry.h"
#include "main_form_fixture.h"
#include "products/product_dialog.h"
#include "purchasing/po_entry.h"
#include "purchasing/vendor_dialog.h"

namespace shell {
namespace {

using namespace platform::ui;
using testing_support::UiScript;

using TypedWorkTest = MainFormTest;

struct Dialog {
  std::function<Form&()> form;
  QString question;
};

// Types into the first box of the dialog that takes text, as a user would.
void TypeSomething(Form& form) {
  for (QLineEdit* box : form.findChildren<QLineEdit*>()) {
    if (!box->isVisible() || !box->isEnabled() || box->isReadOnly()) continue;
    box->setFocus();
    QTest::keyClicks(box, "7");
    return;
  }
  ADD_FAILURE() << "no box to type into";
}

TEST_F(TypedWorkTest, CancellingTypedWorkAsksFirstAndNoKeepsIt) {
  UiScript ui;
  ASSERT_TRUE(StartUp());
  const Dialog dialogs[] = {
      {[]() -> Form& { return *invoicing::ProdInv; }, "Discard this invoice?"},
      {[]() -> Form& { return *purchasing::POEdit1; }, "Discard this PO?"},
      {[]() -> Form& { return customers::CreateEditDlg(); }, "Discard this customer?"},
      {[]() -> Form& { return products::CreateUpdProd(); }, "Discard this product?"},
      {[]() -> Form& { return purchasing::CreateVendEdit(); }, "Discard this vendor?"},
      {[]() -> Form& { return companies::CreateCompSet(); }, "Discard these company options?"},
  };
  for (const Dialog& dialog : dialogs) {
    Form& form = dialog.form();
    SCOPED_TRACE(form.Caption().toStdString());
    ui.OnModal<Form>([&](Form& f) { f.Close(); });  // untouched: closes unasked
    EXPECT_EQ(form.ShowModal(), mrCancel);
    ui.OnModal<Form>([&](Form& f) {
      TypeSomething(f);
      QTest::keyClick(f.focusWidget(), Qt::Key_Escape);
      EXPECT_TRUE(f.InModalState());  // No: the typed work stays
      f.Close();
    });
    ui.ExpectMessage(dialog.question, form.Caption()).Answer(mrNo);
    ui.ExpectMessage(dialog.question, form.Caption()).Answer(mrYes);
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_TRUE(ui.Done());
  }
}

}  // namespace
}  // namespace shell
