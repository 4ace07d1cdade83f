#include "support/read_sweep.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <exception>
#include <filesystem>

#include "platform/files/fault_seam.h"
#include "platform/ui/form.h"
#include "platform/ui/message_box.h"
#include "platform/ui/ui_driver.h"
#include "records/company_file.h"
#include "records/record_file.h"
#include "shell/permissions_apply.h"
#include "storage/data_file_unit.h"
#include "support/stand_in_user.h"

namespace testing_support {

namespace {

// Stands in for the user: every box answered with its default, every modal form confirmed.
class Listener : public testing_support::StandInUser {
 public:
  explicit Listener(QStringList& said) : said_(said) {}

  platform::ui::TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override {
    // The engine takes an index it could not read at its open for a defective one and offers to
    // rebuild it: a question of the engine's, answered as the box suggests, not a word of the step.
    if (request.text != storage::kIndexDefectivePrompt) said_ << request.text;
    return platform::ui::DefaultButtonOf(request);
  }
  platform::ui::TModalResult RunModal(platform::ui::Form& form) override {
    form.EnterModalState();
    form.SetModalResult(platform::ui::mrOk);
    if (form.InModalState()) form.AbandonModal(platform::ui::mrOk);
    return form.ModalResult();
  }

 private:
  QStringList& said_;
};

std::string Bytes(const void* data, size_t size) {
  return {static_cast<const char*>(data), size};
}

void ExpectFailureSaid(const SweepStep& step, const StepOutcome& outcome, const BooksImage& before,
                       const BooksImage& after, const QRegularExpression& told, const std::string& point) {
  const std::string said = outcome.Said.join(" | ").toStdString();
  EXPECT_FALSE(outcome.Done) << step.Name << ", " << point << ": " << said;
  EXPECT_EQ(outcome.Said.size(), 1) << step.Name << ", " << point << ": " << said;
  EXPECT_TRUE(told.match(outcome.Said.join(" | ")).hasMatch()) << step.Name << ", " << point << ": " << said;
  EXPECT_TRUE(before == after) << step.Name << ", " << point << ": the books changed";
}

}  // namespace

BooksImage ReadBooks(const std::vector<BooksFile>& files) {
  BooksImage image;
  for (const BooksFile& book : files) {
    // Read through an open of its own, as a later start would read the file.
    const bool wasOpen = *book.File && storage::IsamIsOpen(*book.File);
    records::CloseDataFile(*book.File);
    if (!book.Open()) {
      ADD_FAILURE() << "a file of the books could not be opened";
      continue;
    }
    storage::IsamFileBlock file = *book.File;
    std::vector<std::string>& records = image[file->DataName];
    std::string record(static_cast<size_t>(file->RecordLength), '\0');
    storage::IsamRecRef ref = 0;
    for (storage::IsamNextRec(file, ref); storage::IsamOK; storage::IsamNextRec(file, ref)) {
      storage::IsamGetRec(file, ref, record.data(), record.size());
      records.push_back(std::to_string(ref) + ":" + record);
    }
    if (!wasOpen) records::CloseDataFile(*book.File);
  }
  records::CompanyRec company{};
  EXPECT_TRUE(records::ReadCompanyRecord("12", company));
  image["company"] = {Bytes(&company, sizeof company)};
  return image;
}

StepOutcome RunStep(const SweepStep& step) {
  StepOutcome outcome;
  Listener listener(outcome.Said);
  try {
    outcome.Done = step.Run();
  } catch (const std::exception& failure) {
    outcome.Said << QString::fromStdString(failure.what());
  }
  return outcome;
}

int SweepReads(const SweepStep& step, const std::vector<BooksFile>& books) {
  // The file and the reason; a step that writes (a delete, a rewrite) and meets the failure in the
  // index it changes says its own failure with the reason.
  const QRegularExpression told(
      "(\\w+\\.(DAT|IX) (cannot|could not) be (opened|read)( now)?: |failed[:.] |could not be \\w+\\. )"
      "Input/output error",
      QRegularExpression::CaseInsensitiveOption);
  for (int read = 1;; ++read) {
    const BooksImage before = ReadBooks(books);
    platform::files::InstallFaultPlan(
        {.Errno = EIO, .OnRead = platform::files::FaultAction::Fail, .ReadNumber = read});
    const StepOutcome outcome = RunStep(step);
    const int reads = platform::files::FaultReadsSoFar();
    const int beforeWrite = platform::files::FaultReadsBeforeFirstWrite();
    platform::files::RemoveFaultPlan();
    if (reads < read) {
      // No read failed: the clean run.
      EXPECT_TRUE(outcome.Done) << step.Name << ": " << outcome.Said.join(" | ").toStdString();
      EXPECT_GT(reads, 0) << step.Name;
      return reads;
    }
    if (step.SweepOnlyBeforeFirstWrite && read > beforeWrite) continue;
    ExpectFailureSaid(step, outcome, before, ReadBooks(books), told,
                      "read " + std::to_string(read) + " failing");
  }
}

void ExpectRefusedAtOpen(const SweepStep& step, const std::string& dataFile,
                         const std::vector<BooksFile>& books) {
  namespace fs = std::filesystem;
  const BooksImage before = ReadBooks(books);
  fs::permissions(dataFile, fs::perms::none);
  StepOutcome refused;
  {
    PermissionsApply asAUser;
    refused = RunStep(step);
  }
  fs::permissions(dataFile, fs::perms::owner_read | fs::perms::owner_write);
  const QString name = QString::fromStdString(fs::path(dataFile).filename().string());
  const QRegularExpression told("The file " + QRegularExpression::escape(name) +
                                " cannot be opened now: Permission denied\\.");
  ExpectFailureSaid(step, refused, before, ReadBooks(books), told, dataFile + " at mode 000");
}

namespace {

// Opens the window as a user does and notes what it says and shows.
class Opening : public StandInUser {
 public:
  explicit Opening(const std::function<std::string(platform::ui::Form&)>& seen) : seen_(seen) {}
  platform::ui::TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override {
    run.Said << request.title + ": " + request.text;
    return platform::ui::DefaultButtonOf(request);
  }
  platform::ui::TModalResult RunModal(platform::ui::Form& form) override {
    form.EnterModalState();
    form.Show();
    // What the window shows is read with no read failing: the sweep is of the window's reads.
    readsWhenShown = platform::files::FaultReadsSoFar();
    platform::files::RemoveFaultPlan();
    run.Seen = seen_(form);
    if (form.InModalState()) form.CancelDiscarding();
    return form.ModalResult();
  }
  OpeningRun run;
  int readsWhenShown = 0;

 private:
  const std::function<std::string(platform::ui::Form&)>& seen_;
};

}  // namespace

std::vector<OpeningRun> SweepOpeningReads(const std::function<void()>& closeFiles, bool (*openFiles)(),
                                          const std::function<void()>& show,
                                          const std::function<std::string(platform::ui::Form&)>& seen) {
  constexpr platform::files::FaultAction Fail = platform::files::FaultAction::Fail;
  closeFiles();
  platform::files::InstallFaultPlan({.OnRead = Fail, .ReadNumber = 1 << 30});  // counts, fails none
  EXPECT_TRUE(openFiles());
  const int openingReads = platform::files::FaultReadsSoFar();
  platform::files::RemoveFaultPlan();
  std::vector<OpeningRun> runs;
  for (int read = openingReads + 1;; ++read) {
    closeFiles();
    Opening opening(seen);
    platform::files::InstallFaultPlan({.Errno = EIO, .OnRead = Fail, .ReadNumber = read});
    show();
    runs.push_back(opening.run);
    if (opening.readsWhenShown < read) break;
  }
  EXPECT_TRUE(openFiles());
  return runs;
}

void ExpectFailureSaidOrOpenedAt(const std::vector<OpeningRun>& runs, const QString& failureSaid,
                                 const std::string& opensAt) {
  int said = 0;
  for (const OpeningRun& run : runs) {
    if (run.Said.contains(failureSaid)) {
      ++said;
    } else if (run.Said.isEmpty()) {
      EXPECT_EQ(run.Seen, opensAt);
    }
  }
  EXPECT_GT(said, 0) << failureSaid.toStdString();
  ASSERT_FALSE(runs.empty());
  EXPECT_TRUE(runs.back().Said.isEmpty()) << runs.back().Said.join(" | ").toStdString();  // the clean run
  EXPECT_EQ(runs.back().Seen, opensAt);
}

}  // namespace testing_support
