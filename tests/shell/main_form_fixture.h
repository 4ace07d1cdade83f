#pragma once
// The program's windows in a scratch data directory, as start-up makes them, with a script in
// the user's place. The engine is stopped, the windows destroyed and what the start held
// forgotten afterwards whatever the test did.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_file.h"
#include "shell/main_form.h"
#include "shell/start_up.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"
#include "support/temp_dir.h"

namespace shell {

using namespace records;

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::EnsureGuiApplication(); }
  void TearDown() override {
    ShutDown();
    // What a start held (a posting waiting to be undone, or a restore it could neither finish nor
    // undo, which holds every company) ends with the program's process; the next test is a new
    // run in the same process.
    storage::ForgetWaitingJournals();
    CurrentCompany = CompanyRec{};
    CompanyWorkRec = CompanyRec{};
    CurrentCompanyEdited = false;
  }

  // A company as the options dialog makes it, with its number and name.
  static CompanyRec Company(const std::string& number, const std::string& name) {
    CompanyRec company = DefaultCompanyRecord();
    company.CompanyNumber.Set(number);
    company.CompanyName.Set(name);
    return company;
  }

  // Puts the companies on a new company list file; starts the engine for it when nothing runs it.
  static void FileCompanies(const std::vector<CompanyRec>& companies) {
    bool started = storage::IsamInitialize(0, 30) > 0;
    ASSERT_TRUE(CreateCompanyFile());
    ASSERT_TRUE(OpenCompanyFile());
    for (const CompanyRec& company : companies) {
      CompanyWorkRec = company;
      storage::IsamRecRef ref = 0;
      ASSERT_TRUE(AddCompanyRecord(ref));
    }
    CloseCompanyFile();
    if (started) storage::IsamShutdown();
  }

  testing_support::TempDir dir_;
};

}  // namespace shell
