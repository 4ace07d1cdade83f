#include <gtest/gtest.h>

#include <QTest>

#include "forms/batch_print_dialog.h"
#include "forms/header_form.h"
#include "forms/shipping_address_dialog.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_rec.h"

namespace forms {

using namespace records;
namespace {

using platform::ui::FontChoice;
using platform::ui::mrCancel;
using platform::ui::mrOk;
using testing_support::UiScript;

class InvoicingDialogsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    platform::ui::Application->DestroyForms();
    HeaderForm = nullptr;
    InvBatch = nullptr;
    POShipWin = nullptr;
  }
};

TEST_F(InvoicingDialogsTest, ABlankBatchNumberKeepsTheDialogOpenAndAnyNumberIsTaken) {
  UiScript ui;
  TInvBatch& batch = CreateInvBatch();
  batch.Label1->setText("12 invoices to print");
  batch.Button1->setText("&Print Invoices");
  batch.BatchNum->setText("   ");
  ui.ExpectMessage("You need to specify the number to print.", "Print Number");
  ui.OnModal<TInvBatch>([](TInvBatch& b) {
    EXPECT_EQ(b.Caption(), "Batch Print Invoices");
    EXPECT_EQ(b.focusWidget(), b.Button1);
    EXPECT_EQ(b.Label1->text(), "12 invoices to print");  // what the caller set stays
    b.Button1Click();
    EXPECT_TRUE(b.InModalState());
    EXPECT_EQ(b.focusWidget(), b.BatchNum);

    b.BatchNum->clear();
    QTest::keyClicks(b.BatchNum, "9x87654");  // digits only, at most four
    EXPECT_EQ(b.BatchNum->text(), "9876");
    b.Button1->click();
  });
  EXPECT_EQ(batch.ShowModal(), mrOk);
  EXPECT_EQ(batch.BatchNum->text(), "9876");  // above what is offered: the caller caps it

  ui.OnModal<TInvBatch>([](TInvBatch& b) { b.Button2->click(); });
  EXPECT_EQ(batch.ShowModal(), mrCancel);
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoicingDialogsTest, TheShippingAddressDialogHandsBackItsFourLines) {
  UiScript ui;
  TPOShipWin& ship = CreatePOShipWin();
  ship.SetCaption("Invoice");
  ship.Label1->setText("Ship To:");
  ship.Edit1->setText("Acme Tools");
  ship.Edit2->setText("1 Main Street");
  ui.OnModal<TPOShipWin>([](TPOShipWin& s) {
    EXPECT_EQ(s.Caption(), "Invoice");
    EXPECT_EQ(s.Edit2->text(), "1 Main Street");
    s.Edit3->setText("Springfield");
    QTest::keyClicks(s.Edit4, QString(40, 'x'));
    s.OKBtn->click();
  });
  EXPECT_EQ(ship.ShowModal(), mrOk);
  EXPECT_EQ(ship.Edit1->text(), "Acme Tools");
  EXPECT_EQ(ship.Edit3->text(), "Springfield");
  EXPECT_EQ(ship.Edit4->text(), QString(35, 'x'));
  EXPECT_TRUE(ui.Done());
}

// Each font button edits its own record of InvoiceHeaderFonts and shows it on its sample.
TEST_F(InvoicingDialogsTest, EachFontButtonChangesItsHeadingFontAndSample) {
  UiScript ui;
  for (records::FontRec& font : records::InvoiceHeaderFonts) font.Set("Liberation Serif", 10, 0, 0);
  THeaderForm& form = CreateHeaderForm();

  struct ButtonCase {
    void (THeaderForm::*click)();
    int font;
    QLabel* THeaderForm::*sample;
  };
  const ButtonCase cases[] = {
      {&THeaderForm::InvBodyButnClick, 0, &THeaderForm::InvBodyTxt},
      {&THeaderForm::CapHeadButnClick, 1, &THeaderForm::CapHeadTxt},
      {&THeaderForm::CompHeadButnClick, 2, &THeaderForm::CompAddTxt},
      {&THeaderForm::CustHeadButnClick, 3, &THeaderForm::CustNameTxt},
      {&THeaderForm::ColHeadButnClick, 4, &THeaderForm::ColHeadTxt},
      {&THeaderForm::SalesMsgButnClick, 5, &THeaderForm::SalesMsgTxt},
  };
  const QString longName = "Liberation Sans Narrow With A Very Long Name";  // 44 characters
  for (const ButtonCase& c : cases) {
    FontChoice chosen{longName, 12 + c.font, true, false, true, false, 0x0000FF};
    ui.ExpectFont()
        .Inspect([](const platform::ui::FontRequest& request) {
          EXPECT_EQ(request.font.name, "Liberation Serif");
          EXPECT_EQ(request.font.size, 10);
        })
        .Answer(chosen);
  }
  ui.OnModal<THeaderForm>([&](THeaderForm& f) {
    EXPECT_EQ(f.Caption(), "Headers, Fonts and Colors");
    EXPECT_EQ(f.InvCapData->text(), "INVOICE");
    EXPECT_EQ(f.POCopyHeadr->text(), "PO Copy");
    EXPECT_EQ(f.DescHead->maxLength(), 32);
    EXPECT_EQ(f.MemoHeadr->maxLength(), 80);
    EXPECT_EQ(f.InvBodyTxt->font().family(), "Liberation Serif");  // FormShow showed the fonts
    for (const ButtonCase& c : cases) {
      (f.*c.click)();
      const records::FontRec& font = records::InvoiceHeaderFonts[c.font];
      EXPECT_EQ(font.Name.Get(), longName.left(32).toStdString());
      EXPECT_EQ(font.Size.Get(), 12 + c.font);
      EXPECT_EQ(font.Color.Get(), 0x0000FF);
      EXPECT_EQ(font.Style, records::FontStyleBold | records::FontStyleUnderline);
      QLabel* sample = f.*c.sample;
      EXPECT_EQ(sample->font().family(), longName.left(32));
      EXPECT_EQ(sample->font().pointSize(), 12 + c.font);
      EXPECT_EQ(sample->palette().color(QPalette::WindowText), QColor(255, 0, 0));  // 0x00BBGGRR
    }
    f.OkButn2->click();
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoicingDialogsTest, CancellingTheFontDialogChangesNothing) {
  UiScript ui;
  records::InvoiceHeaderFonts[5].Set("Liberation Mono", 9, 0x00FF00, records::FontStyleItalic);
  const records::FontRec before = records::InvoiceHeaderFonts[5];
  THeaderForm& form = CreateHeaderForm();
  ui.ExpectFont().Cancel();
  ui.OnModal<THeaderForm>([&](THeaderForm& f) {
    f.SalesMsgButnClick();
    EXPECT_EQ(std::memcmp(&records::InvoiceHeaderFonts[5], &before, sizeof before), 0);
    EXPECT_EQ(f.SalesMsgTxt->font().family(), "Liberation Mono");
    EXPECT_TRUE(f.SalesMsgTxt->font().italic());
    f.OkButn2Click();
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace forms
