// The main window's company change: the Company Manager's choice becomes the open company, is
// remembered in the last-company file and shown in the window's caption.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "companies/comp_set.h"
#include "companies/company_manager.h"
#include "main_form_fixture.h"
#include "permissions_apply.h"
#include "platform/files/file.h"
#include "records/company_file.h"
#include "records/last_company.h"
#include "storage/isam.h"

namespace shell {

using namespace records;
using namespace companies;
namespace {

using testing_support::UiScript;

// A first start in an empty directory: the user sets up a company and opens it.
TEST_F(MainFormTest, ANewUserCreatesAndOpensTheFirstCompany) {
  CreateMainForm();
  UiScript ui;  // start-up made the empty company list file, so no notice comes
  ui.OnModal<TListComps>([&](TListComps& m) {
    EXPECT_EQ(m.StatusText(), "Companies: 0");
    ui.OnModal<TCompSet>([](TCompSet& d) {
      EXPECT_EQ(d.CoNumb->text(), "1");
      d.CName->setText("Corner Shop");
      d.OKButtonClick();
    });
    m.AddCompany();
    m.DefCButtonClick();
  });
  MainForm->CompanyManager1Click();
  EXPECT_EQ(CurrentCompany.CompanyNumber.Get(), "1");
  EXPECT_EQ(CurrentCompany.CompanyName.Get(), "Corner Shop");
  EXPECT_EQ(CurrentCompany.NextInvoiceNumber.Get(), "10000");
  EXPECT_EQ(MainForm->NameCap->text(), "Corner Shop       Number: 1");
  EXPECT_TRUE(ui.Done());
}

class CompanyChangeTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    CreateMainForm();
    for (const char* number : {"1", "2"}) {
      CompanyRec company = DefaultCompanyRecord();
      company.CompanyName.Set(number[0] == '1' ? "Harbour Supplies" : "Quay Tools");
      company.CompanyNumber.Set(number);
      company.AgingDays1.Set("30");
      company.AgingDays2.Set("60");
      company.AgingDays3.Set("90");
      ASSERT_TRUE(OpenCompanyFile());
      CompanyWorkRec = company;
      storage::IsamRecRef ref = 0;
      ASSERT_TRUE(AddCompanyRecord(ref));
      CloseCompanyFile();
    }
    ASSERT_TRUE(ReadCompanyRecord("1", CurrentCompany));
  }

  // In the Company Manager: the open company, number 1, renamed through its options dialog.
  static void RenameOpenCompany(UiScript& ui, TListComps& m, const char* name) {
    Highlight(m, "1");
    ui.OnModal<TCompSet>([name](TCompSet& d) {
      d.CName->setText(name);
      d.OKButtonClick();
    });
    m.EditCompany();
  }

  static void Highlight(TListComps& m, const char* number) {
    m.Code1Click();
    CompanyRec wanted;
    wanted.CompanyNumber.Set(number);
    m.RecBrowser1->BrowserGoToKey(BuildCompanyKey(wanted, 1), 0);
  }

  // The number of the company named by the last-company file.
  static std::string LastCompanyNumber() {
    std::string bytes;
    if (!platform::files::ReadWholeFile(std::string(LastCompanyFileName), &bytes) || bytes.size() != 3600)
      return "";
    CompanyRec named;
    std::memcpy(&named, bytes.data(), sizeof named);
    return named.CompanyNumber.Get();
  }
};

TEST_F(CompanyChangeTest, TheCompanySetAsDefaultIsOpened) {
  UiScript ui;
  ui.OnModal<TListComps>([](TListComps& m) {
    Highlight(m, "2");
    m.DefCButtonClick();
  });
  MainForm->CompanyManager1Click();
  EXPECT_EQ(CurrentCompany.CompanyNumber.Get(), "2");
  EXPECT_EQ(LastCompanyNumber(), "2");
  EXPECT_EQ(MainForm->NameCap->text(), "Quay Tools       Number: 2");
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyChangeTest, AnEditOfTheOpenCompanyTakesEffectAtOnce) {
  UiScript ui;
  ui.OnModal<TListComps>([&](TListComps& m) {
    RenameOpenCompany(ui, m, "Harbour Supplies Ltd");
    Highlight(m, "2");  // browsed on, then closed without choosing
    m.Close();
  });
  MainForm->CompanyManager1Click();
  EXPECT_EQ(CurrentCompany.CompanyNumber.Get(), "1");
  EXPECT_EQ(CurrentCompany.CompanyName.Get(), "Harbour Supplies Ltd");
  EXPECT_EQ(MainForm->NameCap->text(), "Harbour Supplies Ltd       Number: 1");
  EXPECT_TRUE(ui.Done());
}

// The edited company that cannot be read back (its list refused to this user once the manager let
// go of it) is said, with the file and the reason; the window goes on with the company as it was.
TEST_F(CompanyChangeTest, AnEditOfTheOpenCompanyThatCannotBeReadBackIsSaid) {
  UiScript ui;
  ui.OnModal<TListComps>([&](TListComps& m) {
    RenameOpenCompany(ui, m, "Harbour Supplies Ltd");
    std::filesystem::permissions("ovcomp.IX", std::filesystem::perms::none);
    m.Close();
  });
  ui.ExpectMessage(
        "The file ovcomp.IX cannot be opened now: Permission denied. The company's changed settings are used "
        "from the next time it is opened.",
        "Company Manager")
      .Icon(platform::ui::MsgIcon::Warning);
  {
    testing_support::PermissionsApply asAUser;
    MainForm->CompanyManager1Click();
  }
  std::filesystem::permissions("ovcomp.IX",
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(CurrentCompany.CompanyNumber.Get(), "1");
  EXPECT_EQ(CurrentCompany.CompanyName.Get(), "Harbour Supplies");
  EXPECT_TRUE(ui.Done());
  CompanyRec stored;
  ASSERT_TRUE(ReadCompanyRecord("1", stored));
  EXPECT_EQ(stored.CompanyName.Get(), "Harbour Supplies Ltd");
}

TEST_F(CompanyChangeTest, ClosingWithoutAChoiceChangesNothing) {
  UiScript ui;
  ui.OnModal<TListComps>([](TListComps& m) {
    Highlight(m, "2");
    m.Close();
  });
  MainForm->CompanyManager1Click();
  EXPECT_EQ(CurrentCompany.CompanyNumber.Get(), "1");
  EXPECT_EQ(LastCompanyNumber(), "");
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace shell
