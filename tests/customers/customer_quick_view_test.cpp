#include "customers/customer_quick_view.h"

#include <gtest/gtest.h>

#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_rec.h"

namespace customers {

using namespace records;
namespace {

using testing_support::UiScript;

TEST(CustomerQuickViewTest, AgingCaptionsFollowTheCompany) {
  UiScript ui;
  CompanyRec saved = CurrentCompany;
  CurrentCompany.AgingCaption1.Set(" Current  ");
  CurrentCompany.AgingCaption2.Set("1 Month");
  CurrentCompany.AgingCaption3.Set("2 Months ");
  CurrentCompany.AgingDays3.Set(" 75");
  TQView& view = CreateQView();
  view.CustName->setText("Acme Tools");
  ui.OnModal<TQView>([](TQView& v) {
    EXPECT_EQ(v.Caption(), "Customer Data");
    EXPECT_EQ(v.Label4->text(), "Current");
    EXPECT_EQ(v.Label15->text(), "1 Month");
    EXPECT_EQ(v.Label16->text(), "2 Months");
    EXPECT_EQ(v.Label17->text(), "Over 75:");
    EXPECT_EQ(v.CustName->text(), "Acme Tools");  // what the Invoice Manager filled in stays
    EXPECT_EQ(v.PIFlag->text(), "* Printed *");
    v.OKBtn->click();
  });
  EXPECT_EQ(view.ShowModal(), platform::ui::mrOk);
  EXPECT_TRUE(ui.Done());
  CurrentCompany = saved;
  platform::ui::Application->DestroyForms();
  QView = nullptr;
}

}  // namespace
}  // namespace customers
