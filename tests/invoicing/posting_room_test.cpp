// Posting on a nearly full disk. Each attempt runs in a child process with a file system of its
// own: a small tmpfs mounted in the child's private mount namespace, the books company made on
// it, then the disk filled up to leave an exact room free, then a two-line invoice posted. A
// posting either fits and posts whole, or fails and is undone whole; a two-line invoice fits in
// 400 KiB. The records are compared by an independent reader of the
// closed data files.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "invoicing/invoice_posting.h"
#include "posting_fixture.h"
#include "records/company_file.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"
#include "support/books_check.h"
#include "support/live_records.h"

namespace invoicing {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kKiB = 1024;
constexpr int64_t kDiskSize = 4096 * kKiB;  // the small disk: the company takes a few hundred KiB

// What a child saw, as it tells the parent: one "key value" line each.
struct Attempt {
  std::string skipped;  // why the child could not have a disk of its own
  std::string outcome;  // "posted", "undone", "kept" (failed, not undone), "refused", "setup"
  std::string told;     // what the failure said
  int64_t room = -1;    // the bytes free when the posting began
  int problems = -1;    // disagreements the books check found after it
  std::string balance;  // customer C1's balance after it
  std::string records;  // digest of every data file's live records, the engine closed
};

// A message on one line of the report.
std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

std::string Digest(const std::string& text) {
  return std::to_string(std::hash<std::string>{}(text));
}

// Every data file's live records, read from the closed files.
std::string FolderDigest(const fs::path& folder) {
  std::map<std::string, std::vector<std::string>> files;
  for (const auto& item : fs::directory_iterator(folder)) {
    const std::string name = item.path().filename().string();
    if (item.path().extension() == ".DAT" && name.find("JNL") == std::string::npos)
      files[name] = testing_support::LiveRecords(item.path());
  }
  std::string all;
  for (const auto& [name, records] : files) {
    all += name + "\n";
    for (const std::string& record : records) all += Digest(record) + "\n";
  }
  return Digest(all);
}

int64_t FreeBytes(const fs::path& folder) {
  struct statvfs disk {};
  if (::statvfs(folder.c_str(), &disk) != 0) return -1;
  return static_cast<int64_t>(disk.f_bavail) * static_cast<int64_t>(disk.f_frsize);
}

// Takes all but `room` bytes of the disk with a file of real blocks.
bool LeaveRoom(const fs::path& folder, int64_t room) {
  const int64_t fill = FreeBytes(folder) - room;
  if (fill < 0) return false;
  if (fill > 0) {
    const int fd = ::open((folder / "FILLER").c_str(), O_CREAT | O_WRONLY, 0600);
    if (fd < 0) return false;
    const int err = ::posix_fallocate(fd, 0, fill);
    ::close(fd);
    if (err != 0) return false;
  }
  return FreeBytes(folder) == room;
}

Attempt Parse(const std::string& report) {
  Attempt seen;
  std::istringstream lines(report);
  std::string key, value;
  while (lines >> key && std::getline(lines, value)) {
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    if (key == "skipped") seen.skipped = value;
    if (key == "outcome") seen.outcome = value;
    if (key == "told") seen.told = value;
    if (key == "room") seen.room = std::stoll(value);
    if (key == "problems") seen.problems = std::stoi(value);
    if (key == "balance") seen.balance = value;
    if (key == "records") seen.records = value;
  }
  return seen;
}

class PostingRoomTest : public test_fixtures::PostingTest {
 protected:
  // The company is made in each child, on the child's own disk.
  void SetUp() override { fs::create_directory(disk_); }
  void TearDown() override {}

  // Makes the company on a disk of its own with `room` bytes left free and posts a two-line
  // invoice on it (or nothing, when not `post`).
  Attempt PostWithRoom(int64_t room, bool post = true) {
    int channel[2];
    if (::pipe(channel) != 0) {
      ADD_FAILURE() << "no pipe: " << std::strerror(errno);
      return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(channel[0]);
      const std::string report = InChild(room, post);
      (void)!::write(channel[1], report.data(), report.size());
      ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, got);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child ended with status " << status;
    return Parse(report);
  }

  std::string InChild(int64_t room, bool post) {
    // Only the kernel's refusal of a namespace of our own is a reason to skip; what fails once
    // the namespace is ours is a failure.
    if (::unshare(CLONE_NEWNS) != 0)
      return "skipped no mount namespace of our own: " + std::string(std::strerror(errno)) + "\n";
    std::ostringstream report;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", disk_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                ("size=" + std::to_string(kDiskSize)).c_str()) != 0) {
      report << "outcome setup\ntold cannot mount a small disk: " << std::strerror(errno) << "\n";
      return report.str();
    }
    fs::current_path(disk_);
    PostingTest::SetUp();
    if (HasFatalFailure() || !LeaveRoom(disk_, room)) return "outcome setup\n";
    report << "room " << FreeBytes(disk_) << "\n";
    if (post) {
      EnteredInvoice invoice =
          test_fixtures::Invoice("1001", "C1", "12/07/2026", "45.00", "0.00", "45.00", "0.00");
      invoice.Lines = {test_fixtures::Line(1, "WIDGET", "3", "Widgets", "10.00", "N", "30.00"),
                       test_fixtures::Line(2, "MANUAL", "1", "Manual", "15.00", "N", "15.00")};
      try {
        PostNewInvoice(invoice);
        report << "outcome posted\n";
      } catch (const storage::PostingFailed& failure) {
        report << "outcome " << (failure.Undone() ? "undone" : "kept") << "\ntold " << OneLine(failure.what())
               << "\n";
      } catch (const std::exception& refusal) {
        report << "outcome refused\ntold " << OneLine(refusal.what()) << "\n";
      }
    }
    report << "problems " << testing_support::BooksProblems(records::CurrentCompany, Stock).size() << "\n";
    report << "balance " << Customer("C1").CustBalance.Get() << "\n";
    PostingTest::TearDown();
    report << "records " << FolderDigest(disk_) << "\n";
    return report.str();
  }

  const fs::path disk_ = dir_.path() / "disk";
};

// A journal that reserved its full step ahead (1 MiB) whatever the room left failed here with
// "The posting journal cannot grow".
TEST_F(PostingRoomTest, ATwoLineInvoicePostsWith400KiBFree) {
  const Attempt seen = PostWithRoom(400 * kKiB);
  if (!seen.skipped.empty()) GTEST_SKIP() << seen.skipped;
  EXPECT_EQ(seen.room, 400 * kKiB);
  EXPECT_EQ(seen.outcome, "posted") << seen.told;
  EXPECT_EQ(seen.problems, 0);
  EXPECT_EQ(seen.balance, "45.00");
}

// From no room at all upwards, page by page: every posting that does not fit fails and leaves
// every file as it was, and says the system's reason; from the
// least room it fits in on, every posting posts whole, and that room is a small multiple of what
// it writes, not the journal's usual step ahead.
TEST_F(PostingRoomTest, APostingThatDoesNotFitFailsAndIsUndoneWhole) {
  const Attempt before = PostWithRoom(400 * kKiB, false);
  if (!before.skipped.empty()) GTEST_SKIP() << before.skipped;
  const Attempt whole = PostWithRoom(400 * kKiB);
  ASSERT_EQ(whole.outcome, "posted") << whole.told;
  ASSERT_NE(whole.records, before.records);
  int64_t fits = -1;  // the least room it posted in
  for (int64_t room = 0; fits < 0 || room <= fits + 64 * kKiB; room += 4 * kKiB) {
    SCOPED_TRACE(std::to_string(room / kKiB) + " KiB free");
    if (fits < 0) {
      ASSERT_LE(room, 64 * kKiB) << "a two-line invoice still does not fit";
    }
    const Attempt seen = PostWithRoom(room);
    EXPECT_EQ(seen.room, room);
    EXPECT_EQ(seen.problems, 0);
    if (seen.outcome == "posted") {
      if (fits < 0) fits = room;
      EXPECT_EQ(seen.balance, "45.00");
      EXPECT_EQ(seen.records, whole.records);
      continue;
    }
    EXPECT_LT(fits, 0) << "it failed with more room than it had posted in: " << seen.told;
    EXPECT_EQ(seen.outcome, "undone") << seen.told;
    EXPECT_EQ(seen.balance, "0.00");
    EXPECT_EQ(seen.records, before.records);
    EXPECT_NE(seen.told.find(std::strerror(ENOSPC)), std::string::npos) << seen.told;
  }
  EXPECT_GT(fits, 0);
}

}  // namespace
}  // namespace invoicing
