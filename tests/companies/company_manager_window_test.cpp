// The Company Manager window through the UI seam, on a real company list file: a new company,
// an edit, a deletion with its files, Set As Default after an edit, and the company list.

#include "companies/company_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "companies/comp_set.h"
#include "companies/prod_copy.h"
#include "forms/list_window.h"
#include "forms/pw_dlg.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/clock.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/password.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"
#include "support/temp_dir.h"

using namespace records;
using namespace forms;

namespace {

using companies::TCompSet;
using companies::TListComps;
using platform::ui::mrCancel;
using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::mrYes;
using records::CompanyRec;
using testing_support::UiScript;

CompanyRec Company(const char* name, const char* number) {
  CompanyRec company = records::DefaultCompanyRecord();
  company.CompanyName.Set(name);
  company.CompanyNumber.Set(number);
  company.CompanyARBalance.Set("0.00");
  company.AgingDays1.Set("30");
  company.AgingDays2.Set("60");
  company.AgingDays3.Set("90");
  return company;
}

const QString DeleteConfirmText =
    "If you delete this company, all invoices and payments will also be removed. ALL company data will be "
    "deleted! Data for other companies will NOT be removed. Continue?";

// The company stored under a number, read straight from the company list file.
std::optional<CompanyRec> Stored(const std::string& number) {
  CompanyRec record;
  if (!records::ReadCompanyRecord(number, record)) return std::nullopt;
  return record;
}

class CompanyManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(storage::IsamInitialize(0, 30), 30);
    ASSERT_TRUE(records::CreateCompanyFile());
    CompanyRec quay = Company("Quay Tools", "2");
    quay.InvoiceCaption.Set("QUAY INVOICE");
    quay.CompanyARBalance.Set("500.00");
    for (const CompanyRec& company : {Company("Harbour Supplies", "1"), quay}) {
      ASSERT_TRUE(records::OpenCompanyFile());
      records::CompanyWorkRec = company;
      storage::IsamRecRef ref = 0;
      ASSERT_TRUE(records::AddCompanyRecord(ref));
      records::CloseCompanyFile();
    }
    records::CurrentCompany = *Stored("1");
    platform::ui::Application->CreateForm(companies::CompSet);
    platform::ui::Application->CreateForm(companies::ProdCopy);
    manager = platform::ui::CreateForm<TListComps>();
  }
  void TearDown() override {
    manager.reset();
    records::CloseCompanyFile();
    storage::IsamShutdown();
  }

  // Shows the manager; `work` is what the user does in it.
  platform::ui::TModalResult Run(const std::function<void(TListComps&)>& work) {
    ui.OnModal<TListComps>([&](TListComps& m) { work(m); });
    return manager->ShowModal();
  }

  // Moves the browser to the company with this number.
  static void Highlight(TListComps& m, const char* number) {
    m.Code1Click();
    CompanyRec wanted;
    wanted.CompanyNumber.Set(number);
    m.RecBrowser1->BrowserGoToKey(records::BuildCompanyKey(wanted, 1), 0);
  }

  testing_support::TempDir dir;
  UiScript ui;
  std::unique_ptr<TListComps> manager;
};

TEST_F(CompanyManagerTest, ANewCompanyIsStoredWithTheDialogsDefaults) {
  EXPECT_EQ(Run([&](TListComps& m) {
              EXPECT_EQ(m.StatusText(), "Companies: 2");
              ui.OnModal<TCompSet>([&](TCompSet& d) {
                EXPECT_EQ(d.Caption(), "New Company");
                EXPECT_EQ(d.CoNumb->text(), "3");
                // The list behind the dialog may be read anew meanwhile (a repaint, a resize).
                m.RecBrowser1->BrowserRefresh();
                d.CName->setText("Third Shop");
                d.OKButtonClick();
              });
              m.AddCompany();
              EXPECT_EQ(m.StatusText(), "Companies: 3");
            }),
            mrCancel);
  const std::optional<CompanyRec> added = Stored("3");
  ASSERT_TRUE(added);
  EXPECT_EQ(added->CompanyName.Get(), "Third Shop");
  EXPECT_EQ(added->NextInvoiceNumber.Get(), "10000");
  EXPECT_EQ(added->DefaultInvoiceTerms.Get(), "Net 30 Days");
  EXPECT_EQ(added->AgingDays3.Get(), "90");
  EXPECT_EQ(added->CompanyARBalance.Get(), "0.00");
  // Headings and their fonts come from the open company.
  EXPECT_EQ(added->InvoiceCaption.Get(), records::CurrentCompany.InvoiceCaption.Get());
  EXPECT_EQ(added->CapHeadFont.Size.Get(), records::CurrentCompany.CapHeadFont.Size.Get());
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyManagerTest, ANumberOnFileIsRefusedForANewCompany) {
  Run([&](TListComps& m) {
    ui.ExpectMessage("This Company number already exists. Enter another number.", "Company Number");
    ui.OnModal<TCompSet>([](TCompSet& d) {
      d.CName->setText("Copy of Quay");
      d.CoNumb->setText(" 2");
      d.OKButtonClick();
    });
    m.AddCompany();
    EXPECT_EQ(m.StatusText(), "Companies: 2");
  });
  EXPECT_TRUE(ui.Done());
}

// A number whose data files are in the data folder already (left there, or copied back) is refused
// in the dialog, naming them, and nothing is added or touched; another number is taken. The same
// files under the mark of company 3's deletion are what that deletion left: they go, and 3 is new.
TEST_F(CompanyManagerTest, ANewCompanyNeverTakesInDataFilesFoundInTheFolder) {
  const std::vector<std::string> found = {"3C.DAT", "3C.IX", "3I.DAT", "3pd.dat"};
  for (const std::string& name : found)
    ASSERT_TRUE(platform::files::WriteWholeFile(name, "records of " + name));
  Run([&](TListComps& m) {
    ui.ExpectMessage(
        "Company 3's data files are already in the data folder (3C.DAT, 3C.IX, 3I.DAT, 3pd.dat). They may "
        "hold "
        "another company's customers, invoices and stock. Move them out of the data folder first, or enter "
        "another company number.",
        "Company Number");
    ui.OnModal<TCompSet>([](TCompSet& d) {
      d.CName->setText("Third Shop");
      d.CoNumb->setText("3");
      d.OKButtonClick();
      EXPECT_EQ(d.ModalResult(), platform::ui::mrNone);
      d.CoNumb->setText("4");
      d.OKButtonClick();
    });
    m.AddCompany();
  });
  EXPECT_TRUE(ui.Done());
  EXPECT_FALSE(Stored("3"));
  ASSERT_TRUE(Stored("4"));
  EXPECT_EQ(Stored("4")->CompanyName.Get(), "Third Shop");
  for (const std::string& name : found) {
    std::string bytes;
    EXPECT_TRUE(platform::files::ReadWholeFile(name, &bytes) && bytes == "records of " + name) << name;
  }

  ASSERT_TRUE(platform::files::WriteWholeFile("3.DEL", "3"));
  Run([&](TListComps& m) {
    ui.OnModal<TCompSet>([](TCompSet& d) {
      d.CName->setText("New Third");
      d.CoNumb->setText("3");
      d.OKButtonClick();
    });
    m.AddCompany();
  });
  EXPECT_TRUE(ui.Done());
  ASSERT_TRUE(Stored("3"));
  for (const std::string& name : found) EXPECT_FALSE(platform::files::Exists(name)) << name;
  EXPECT_FALSE(platform::files::Exists("3.DEL"));
}

// While a posting waits to be undone, a new company and a deletion are refused in the words every
// refusal uses, before anything is asked, and a deletion mark left under its number stays for the
// next start.
TEST_F(CompanyManagerTest, ANewCompanyOrADeletionWaitsForAnInterruptedPosting) {
  ASSERT_TRUE(platform::files::WriteWholeFile("3.DEL", "3"));
  storage::KeepJournalWaiting("1", "invoice 1004", "Make 1C.DAT readable and start the program again.");
  Run([&](TListComps& m) {
    ui.ExpectMessage(
        "A new company cannot be added now: invoice 1004 was interrupted and is not undone yet. Make 1C.DAT "
        "readable and start the program again.",
        "New Company");
    m.AddCompany();
    EXPECT_EQ(m.StatusText(), "Companies: 2");
    ui.ExpectMessage(
        "Company 2 cannot be deleted now: invoice 1004 was interrupted and is not undone yet. Make 1C.DAT "
        "readable and start the program again.",
        "Delete Company");
    Highlight(m, "2");
    m.DeleteCompany();
    EXPECT_EQ(m.StatusText(), "Companies: 2");
  });
  storage::ForgetWaitingJournal("1");
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(platform::files::Exists("3.DEL"));
  EXPECT_FALSE(Stored("3"));
}

TEST_F(CompanyManagerTest, AnEditReachesTheFileAndMarksTheOpenCompany) {
  EXPECT_EQ(Run([&](TListComps& m) {
              Highlight(m, "1");
              ui.OnModal<TCompSet>([](TCompSet& d) {
                EXPECT_EQ(d.Caption(), "Edit Company");
                EXPECT_FALSE(d.CoNumb->isEnabled());
                d.CAdd1->setText("1 New Road");
                d.CACap2->setText("");
                d.OKButtonClick();
              });
              m.EditCompany();
              // Browsing another company afterwards does not change what the main window opens.
              Highlight(m, "2");
              m.Close();
            }),
            mrOk);
  EXPECT_TRUE(records::CurrentCompanyEdited);
  EXPECT_EQ(Stored("1")->CompanyAddr1.Get(), "1 New Road");
  EXPECT_EQ(Stored("1")->AgingCaption2.Get(), "Age2");
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyManagerTest, EditAndDeleteAskForTheAccessPassword) {
  ASSERT_TRUE(records::WriteSystemPassword("SECRET", nullptr));
  Run([&](TListComps& m) {
    Highlight(m, "2");
    // A wrong password opens nothing and deletes nothing.
    for (int i = 0; i < 2; ++i) {
      ui.OnModal<forms::TPWDlg>([](forms::TPWDlg& d) {
        d.Password->setText("guess");
        d.SetModalResult(mrOk);
      });
      ui.ExpectMessage("You did not enter the correct password.", "Invalid Password");
    }
    m.EditCompany();
    m.DeleteCompany();
    // The right one lets the edit through.
    ui.OnModal<forms::TPWDlg>([](forms::TPWDlg& d) {
      d.Password->setText("SECRET");
      d.SetModalResult(mrOk);
    });
    ui.OnModal<TCompSet>([](TCompSet& d) {
      d.CName->setText("Quay Tools & Co");
      d.OKButtonClick();
    });
    m.EditCompany();
  });
  EXPECT_EQ(Stored("2")->CompanyName.Get(), "Quay Tools & Co");
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyManagerTest, CopyingStartsFromTheOpenCompany) {
  std::ofstream("1C.DAT") << "customers";
  std::ofstream("1C.IX") << "index";
  Run([&](TListComps& m) {
    EXPECT_TRUE(m.CopyProductstoAnotherCompany1->isEnabled());
    EXPECT_TRUE(m.CopyCustomerstoAnotherCompany1->isEnabled());
    EXPECT_TRUE(m.CopyVendorstoAnotherCompany1->isEnabled());
    ui.OnModal<companies::TProdCopy>([](companies::TProdCopy& d) {
      EXPECT_EQ(d.Caption(), "Copy Customers to Another Company");
      d.Edit1->setText("2");
      d.Button1Click();
    });
    ui.ExpectMessage(
        "The customer balances were also transfered to the new company. After you enter your first invoice "
        "in the "
        "new company, run the Aging Chart on the Tools Menu to re-calculate customer balances.",
        "Please Note Customer Balances!");
    ui.ExpectMessage(
        "The required files have been copied to specified company. To use it, open that company or create a "
        "new "
        "company using the company number you entered.",
        "Copy Complete");
    m.CopyCustomerstoAnotherCompany1Click();
  });
  std::string copied;
  ASSERT_TRUE(platform::files::ReadWholeFile("2C.DAT", &copied));
  EXPECT_EQ(copied, "customers");

  // With no company open there is nothing to copy from.
  records::CurrentCompany = CompanyRec{};
  Run([&](TListComps& m) {
    EXPECT_FALSE(m.CopyProductstoAnotherCompany1->isEnabled());
    EXPECT_FALSE(m.CopyCustomerstoAnotherCompany1->isEnabled());
    EXPECT_FALSE(m.CopyVendorstoAnotherCompany1->isEnabled());
  });
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyManagerTest, SetAsDefaultOfAnotherCompanyWinsOverAnEditOfTheOpenOne) {
  EXPECT_EQ(Run([&](TListComps& m) {
              Highlight(m, "1");
              ui.OnModal<TCompSet>([](TCompSet& d) { d.OKButtonClick(); });
              m.EditCompany();
              Highlight(m, "2");
              m.DefCButtonClick();
            }),
            mrOk);
  EXPECT_FALSE(records::CurrentCompanyEdited);
  EXPECT_EQ(records::CompanyWorkRec.CompanyNumber.Get(), "2");
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyManagerTest, DeleteRemovesTheRecordAndExactlyThatCompanysFiles) {
  for (const char* name : {"2P.DAT", "2P.IX", "2C.DAT", "2PM.IX", "1P.DAT", "22P.DAT"})
    std::ofstream(name) << "x";
  Run([&](TListComps& m) {
    // The open company cannot be deleted, whichever order shows it.
    ui.ExpectMessage(
        "You are trying to delete the current default company. You need to have another company open to "
        "delete this "
        "one.",
        "Delete Company");
    Highlight(m, "1");
    m.DeleteCompany();

    ui.ExpectMessage(DeleteConfirmText, "Please Confirm").Answer(mrNo);
    Highlight(m, "2");
    m.DeleteCompany();
    EXPECT_TRUE(std::filesystem::exists("2P.DAT"));

    ui.ExpectMessage(DeleteConfirmText, "Please Confirm").Answer(mrYes);
    m.DeleteCompany();
    EXPECT_EQ(m.StatusText(), "Companies: 1");
  });
  EXPECT_FALSE(Stored("2"));
  EXPECT_TRUE(Stored("1"));
  std::set<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    left.insert(entry.path().filename().string());
  EXPECT_FALSE(left.count("2P.DAT") || left.count("2P.IX") || left.count("2C.DAT") || left.count("2PM.IX"));
  EXPECT_TRUE(left.count("1P.DAT") && left.count("22P.DAT"));
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyManagerTest, ChangingTheOrderKeepsTheHighlightedCompany) {
  Run([&](TListComps& m) {
    EXPECT_TRUE(m.ByDescription1->isChecked());
    Highlight(m, "1");  // the first row; the page read every row after it into the same buffer
    EXPECT_TRUE(m.Code1->isChecked());
    m.ByDescription1Click();
    EXPECT_FALSE(m.Code1->isChecked());
    EXPECT_EQ(companies::CompanyKeyNumber, 2);
    int32_t status = 0;
    ASSERT_EQ(m.RecBrowser1->BrowserReadCurrent(status), 0);
    EXPECT_EQ(m.CompRec.CompanyNumber.Get(), "1");
  });
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyManagerTest, TheCompanyListIsSortedAsAskedAndCancelDoesNothing) {
  platform::text::SetClock(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
  std::vector<std::string> shown;
  Run([&](TListComps& m) {
    const QString question = "The companies will be sorted by name. Would you rather sort by company number?";
    ui.ExpectMessage(question, "Company List").DefaultButton(mrNo).Answer(mrCancel);
    m.SpeedButton4Click();
    ui.ExpectMessage(question, "Company List").Answer(mrYes);
    ui.OnModal<forms::TListWindow>([&](forms::TListWindow& list) {
      EXPECT_EQ(list.Caption(), "Company List by Number");
      shown = list.Lines();
    });
    m.SpeedButton4Click();
  });
  platform::text::UseSystemClock();
  ASSERT_GE(shown.size(), 7u);
  EXPECT_EQ(shown[0], "Palvero Company List");
  EXPECT_EQ(shown[1], "Date: Monday, December 7, 2026, 09:30 AM");
  EXPECT_EQ(shown[3].substr(0, 17), "Harbour Supplies ");
  EXPECT_EQ(shown[5].substr(0, 11), "Quay Tools ");
  EXPECT_FALSE(std::filesystem::exists("TXTTEMP.TXT"));
  EXPECT_TRUE(ui.Done());
}

}  // namespace
