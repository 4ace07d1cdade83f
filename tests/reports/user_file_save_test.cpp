// Every save of a file of the user's (the label queue, a label layout, the company's record as its
// settings and its counters change) stopped at each of its writes in turn: the write failing (a
// full disk, an I/O error), and a power cut right after it (a simulated disk that keeps only what
// was synced, in a child that the cut ends). Afterwards the file holds the old contents or the new
// ones, whole: read back from its bytes, for the company after a start has undone what the cut
// left, from the bytes of the closed data file. A save that fails says so once, with the system's
// reason, and is not reported as saved.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/files/fault_seam.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "platform/ui/ui_driver.h"
#include "records/company_file.h"
#include "reports/label_layout.h"
#include "reports/label_queue.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"
#include "support/live_records.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::files::FaultAction;
using platform::ui::MessageRequest;
using platform::ui::TModalResult;
using records::CompanyRec;

// The user: answers every message box (yes to a repair) and keeps the texts; any other window or
// dialog fails the test. In the child that saves, any box at all ends the child with status 4.
class User : public testing_support::ScriptedDriver {
 public:
  explicit User(bool inChild = false)
      : ScriptedDriver("the user"), inChild_(inChild), previous_(platform::ui::InstallUiDriver(this)) {}
  ~User() override { platform::ui::InstallUiDriver(previous_); }
  TModalResult ShowMessageBox(const MessageRequest& request) override {
    if (inChild_) ::_exit(4);
    told.push_back(request.text.toStdString());
    return request.buttons == platform::ui::MsgButtons::YesNo ? platform::ui::mrYes : platform::ui::mrOk;
  }

  std::vector<std::string> told;

 private:
  bool inChild_;
  platform::ui::UiDriver* previous_;
};

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// ---- the label files ----

const char* const kQueueFile = "Mailing.LST";
const char* const kLayoutFile = "Avery.LBL";

std::vector<reports::LabelQueueRow> QueueRows(int count) {
  std::vector<reports::LabelQueueRow> rows;
  for (int i = 1; i <= count; ++i)
    rows.push_back({"C" + std::to_string(i), "Customer " + std::to_string(i), "EAST", "Trade", "C"});
  return rows;
}

reports::LabelLayoutRec Layout(const char* description, const char* columns) {
  reports::LabelLayoutRec layout{};
  layout.Description.Set(description);
  layout.Columns.Set(columns);
  layout.Rows.Set("10");
  layout.Width.Set("825");
  return layout;
}

std::string LayoutBytes(const reports::LabelLayoutRec& layout) {
  return {reinterpret_cast<const char*>(&layout), sizeof layout};
}

// ---- the company record ----

CompanyRec Company(const char* number, const char* name) {
  CompanyRec company{};
  company.CompanyNumber.Set(number);
  company.CompanyName.Set(name);
  company.NextInvoiceNumber.Set("1001");
  return company;
}

void StartEngine() {
  storage::IsamInitialize(0, 30);
  records::InstallCompanyFileNames();
  records::CurrentCompany = Company("12", "Acme Supply");
}

void StopEngine() {
  storage::IsamShutdown();
  records::CompanyFile = nullptr;
}

// The company list as it stands before the save: the open company 12 and another one.
void FileCompanies() {
  StartEngine();
  ASSERT_TRUE(records::CreateCompanyFile());
  ASSERT_TRUE(records::OpenCompanyFile());
  for (const CompanyRec& company : {Company("12", "Acme Supply"), Company("13", "Bolt Brothers")}) {
    records::CompanyWorkRec = company;
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddCompanyRecord(ref));
  }
  StopEngine();
}

// The records of the company list after a start has undone whatever a stop left, read from the
// bytes of the closed file.
std::string CompanyRecordsAfterStart() {
  StartEngine();
  storage::UndoLeftPostingJournals();
  StopEngine();
  std::string all;
  for (const std::string& record : testing_support::LiveRecords("ovcomp.DAT")) all += record;
  return all;
}

// The Company Manager's edit: ovcomp open in the manager, company 12 renamed (a key changes) in
// its settings and saved; with company 12 open, or with none open yet (as when the first company
// is set up).
struct CompanyEdit {
  CompanyRec before;
  storage::IsamRecRef ref = 0;

  void Open(bool companyOpen) {
    StartEngine();
    if (!companyOpen) records::CurrentCompany = CompanyRec{};
    ASSERT_TRUE(records::OpenCompanyFile());
    ASSERT_TRUE(records::FindCompanyRecord("12", before, ref));
    records::CompanyWorkRec = before;
    records::CompanyWorkRec.CompanyName.Set("Acme Supply and Sons");
    records::CompanyWorkRec.InvoiceCaption.Set("TAX INVOICE");
  }
  bool Save() { return records::UpdateCompanyRecord(before, ref); }
};

void CloseCompanyList() {
  records::CloseCompanyFile();
  StopEngine();
}

// ---- the sweep ----

struct UserFileSave {
  const char* Name;
  std::function<void()> MakeOld;  // the file before the save, in the current folder
  // What the window holds open, the save under the fault plan (false, or an error shown as the
  // event loop shows it, when it failed), and what is given up after it.
  std::function<void()> Open;
  std::function<bool()> Save;
  std::function<void()> Close;
  std::function<std::string()> Contents;  // what the file holds, as a reader after a restart sees it
  // A posting's last write wipes its journal's header once it is reported done: that write may
  // fail unheard (a start then says that the posting is on file, which it is).
  bool Posting = false;
};

CompanyEdit companyEdit;

const std::vector<UserFileSave>& Saves() {
  static const std::vector<UserFileSave> saves = {
      {"LabelQueue", [] { WriteBytes(kQueueFile, std::string(80, 'q') + "\r\n"); }, [] {},
       [] { return reports::SaveQueueFile(kQueueFile, QueueRows(40)); }, [] {},
       [] { return Bytes(kQueueFile); }},
      {"LabelLayout", [] { WriteBytes(kLayoutFile, LayoutBytes(Layout("Old sheet", "2"))); }, [] {},
       [] { return reports::WriteLayoutFile(kLayoutFile, Layout("Avery 5160", "3")); }, [] {},
       [] { return Bytes(kLayoutFile); }},
      {"CompanySettings", FileCompanies, [] { companyEdit.Open(true); }, [] { return companyEdit.Save(); },
       CloseCompanyList, CompanyRecordsAfterStart, true},
      {"CompanySettingsWithNoCompanyOpen", FileCompanies, [] { companyEdit.Open(false); },
       [] { return companyEdit.Save(); }, CloseCompanyList, CompanyRecordsAfterStart, true},
      {"CompanyCounter", FileCompanies, StartEngine,
       [] {
         return records::UpdateCurrentCompanyRecord(
             [](CompanyRec& company) { company.NextCustomerNumber.Set("C2000"); });
       },
       StopEngine, CompanyRecordsAfterStart, true},
  };
  return saves;
}

void PrintTo(const UserFileSave& save, std::ostream* out) {
  *out << save.Name;
}

// The save as the program runs it: an error it raises is shown as the event loop shows it.
bool SaveShown(const UserFileSave& save) {
  try {
    return save.Save();
  } catch (const std::exception& error) {
    platform::ui::Application->HandleException(error);
    return false;
  }
}

class UserFileSaveTest : public ::testing::TestWithParam<UserFileSave> {
 protected:
  UserFileSaveTest() { testing_support::EnsureGuiApplication(); }
  ~UserFileSaveTest() override {
    platform::files::RemoveFaultPlan();
    StopEngine();
    records::CurrentCompany = CompanyRec{};
    fs::current_path(root_.path());
  }

  // A copy of the folder as it stands before the save, as the current folder.
  fs::path Fresh(const std::string& name) {
    const fs::path folder = root_.path() / name;
    fs::copy(start_, folder);
    fs::current_path(folder);
    return folder;
  }

  // Makes the folder before the save, then saves in a copy without a fault: the old and the new
  // contents, and how many writes the save makes.
  void Prepare() {
    fs::create_directory(start_);
    fs::current_path(start_);
    GetParam().MakeOld();
    Fresh("old");
    old_ = GetParam().Contents();

    Fresh("whole");
    User user;
    GetParam().Open();
    platform::files::InstallFaultPlan({});
    ASSERT_TRUE(SaveShown(GetParam()));
    writes_ = platform::files::FaultWritesSoFar();
    platform::files::RemoveFaultPlan();
    GetParam().Close();
    new_ = GetParam().Contents();
    EXPECT_EQ(user.told, std::vector<std::string>{});
    ASSERT_NE(new_, old_);
    // A save that goes round the file layer cannot be known to be whole.
    ASSERT_GT(writes_, 0) << "the save made no write through the file layer";
  }

  // The save in a child under the plan; the child's exit status (0 saved, 1 not saved, 3 an
  // error, 4 a message box, else how the seam ended it).
  int SaveInChild(const platform::files::FaultPlan& plan) {
    const pid_t child = ::fork();
    if (child == 0) {
      int status = 3;
      try {
        User nobody(true);
        GetParam().Open();
        platform::files::InstallFaultPlan(plan);
        status = GetParam().Save() ? 0 : 1;
      } catch (...) {
      }
      ::_exit(status);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  testing_support::TempDir root_;
  const fs::path start_ = root_.path() / "start";
  std::string old_;
  std::string new_;
  int writes_ = 0;
};

TEST_P(UserFileSaveTest, AFailingWriteLeavesTheOldFileAndIsToldOnceWithItsReason) {
  Prepare();
  for (int n = 1; n <= writes_ - (GetParam().Posting ? 1 : 0); ++n) {
    SCOPED_TRACE("write " + std::to_string(n) + " of " + std::to_string(writes_) + " failing");
    Fresh("fail" + std::to_string(n));
    const int err = n % 2 ? ENOSPC : EIO;
    User user;
    GetParam().Open();
    platform::files::InstallFaultPlan({FaultAction::Fail, n, FaultAction::None, 0, err, false});
    const bool saved = SaveShown(GetParam());
    platform::files::RemoveFaultPlan();
    GetParam().Close();
    EXPECT_FALSE(saved);
    ASSERT_EQ(user.told.size(), 1u) << (user.told.empty() ? "nothing told" : user.told[0]);
    EXPECT_NE(user.told[0].find(std::strerror(err)), std::string::npos) << user.told[0];
    EXPECT_TRUE(GetParam().Contents() == old_) << "the old file was not kept whole";
  }
}

TEST_P(UserFileSaveTest, APowerCutAtAnyWriteLeavesTheOldFileOrTheNewOneWhole) {
  Prepare();
  for (int n = 1; n <= writes_; ++n) {
    SCOPED_TRACE("power cut at write " + std::to_string(n) + " of " + std::to_string(writes_));
    Fresh("cut" + std::to_string(n));
    ASSERT_EQ(SaveInChild({FaultAction::PowerCut, n, FaultAction::None, 0, EIO, true}),
              platform::files::FaultKilledExitCode);
    User user;
    const std::string after = GetParam().Contents();
    EXPECT_TRUE(after == old_ || after == new_) << "the file is neither the old one nor the new one";
  }
}

INSTANTIATE_TEST_SUITE_P(EverySave, UserFileSaveTest, ::testing::ValuesIn(Saves()),
                         [](const ::testing::TestParamInfo<UserFileSave>& info) { return info.param.Name; });

}  // namespace
