#include "shell/stop_recovery.h"

#include <algorithm>
#include <set>
#include <string>

#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"
#include "records/company_data_files.h"
#include "records/company_rec.h"
#include "storage/data_file_unit.h"
#include "storage/posting_journal.h"

namespace shell {
namespace {

void Tell(const QString& text, const QString& title) {
  platform::ui::MessageBox(text, title, platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Information);
}

// The start's one notice of the files it rebuilds: none when the undo of a posting said it.
QString WhyRebuilt(const storage::FoundJournal& journal) {
  const QString company = platform::text::ToQString(journal.Company);
  if (journal.Outcome == storage::JournalOutcome::None)
    return QStringLiteral(
               "The program was stopped last time while company %1 was open.  The files it had open are "
               "rebuilt now.")
        .arg(company);
  if (journal.Outcome == storage::JournalOutcome::RepairLeft)
    return QStringLiteral(
               "A failure on the disk left files of company %1 to be repaired last time.  They are rebuilt "
               "now.")
        .arg(company);
  return {};
}

// Whether the journal was kept for files a failure on the disk left, not by a stop.
bool ForAFailure(const storage::FoundJournal& journal) {
  return journal.Outcome == storage::JournalOutcome::RepairLeft;
}

// The files of the company the stop left marked, or with a rebuild unfinished, rebuilt asking
// nothing, under the start's one message: the undo's, the set-aside journal's, or the notice of a
// stop between postings, which is told first unless `held` takes it (a deletion of a company may
// tell of the stop instead). The journal found stays until then, emptied (one set aside leaves an
// empty one in its place), so that a start stopped in the middle is finished by the next; then it
// goes. A file whose mark cannot be read now, or that could not be rebuilt, keeps it: the next
// start repairs it with its one message, where an open of the file would ask.
void RebuildWhatTheStopLeft(const storage::FoundJournal& journal, std::vector<QString>* held) {
  const bool valid = records::IsValidCompanyNumber(journal.Company);
  const std::vector<std::string> left =
      valid ? records::FilesLeftForRepair(journal.Company) : std::vector<std::string>{};
  const bool journalHeld = storage::HoldCompanyJournal(journal.Company);
  bool repaired = !valid || records::RepairMarksReadable(journal.Company);
  if (!left.empty()) {
    const QString notice = WhyRebuilt(journal);
    if (!notice.isEmpty() && !held) Tell(notice, storage::kRebuildTitle);
    // A file that cannot be rebuilt said why. Its notice, when held, is said no more.
    const bool rebuilt = records::RebuildFilesLeftForRepair(journal.Company);
    if (!notice.isEmpty() && held && rebuilt) held->push_back(notice);
    repaired = repaired && rebuilt;
  }
  if (!repaired) storage::KeepJournalForTheNextStart(journal.Company, ForAFailure(journal));
  if (journalHeld) (void)storage::HoldCompanyJournal(std::string());  // letting go cannot fail
}

// Whether the start told of the company's deletion already: its posting found on file.
bool DeletionTold(const std::vector<storage::FoundJournal>& found, const std::string& company) {
  const std::string deletion = records::CompanyDeletionPosting(company);
  return std::any_of(found.begin(), found.end(),
                     [&](const storage::FoundJournal& journal) { return journal.Told == deletion; });
}

// A deletion of a company that the start finished is what the stop interrupted: it is told in place
// of the notice of the files rebuilt, unless the start told of its posting already.
void TellWhatWasFinished(const std::vector<std::string>& finished,
                         const std::vector<storage::FoundJournal>& found, const std::vector<QString>& held) {
  if (finished.empty()) {
    for (const QString& notice : held) Tell(notice, storage::kRebuildTitle);
    return;
  }
  for (const std::string& company : finished)
    if (!DeletionTold(found, company))
      Tell(platform::text::ToQString(
               storage::PostingAtSentenceStart(records::CompanyDeletionPosting(company))) +
               QStringLiteral(" was interrupted and has been finished."),
           QStringLiteral("Companies"));
}

}  // namespace

void RecoverFromLastStop() {
  storage::ForgetJournalsFound();
  std::vector<storage::FoundJournal> found;
  {
    storage::JournalsKeptUntilRebuilt kept;
    storage::UndoLeftPostingJournals();
    found = storage::JournalsFound();
  }
  storage::ForgetJournalsFound();
  // A journal that could not be undone waits, and so does every repair: the journals found
  // emptied stay for the next start, even the open company's at its close.
  std::vector<QString> held;
  if (storage::PostingJournalWaits()) {
    for (const storage::FoundJournal& journal : found)
      storage::KeepJournalForTheNextStart(journal.Company, ForAFailure(journal));
  } else {
    const bool deletionLeft = records::CompanyDeletionLeft();
    std::set<std::string> recovered;
    for (const storage::FoundJournal& journal : found)
      if (recovered.insert(journal.Company).second)
        RebuildWhatTheStopLeft(journal, deletionLeft ? &held : nullptr);
  }
  // A company deletion a stop interrupted is finished (or its company kept whole), and what a
  // stopped copy or deletion left under temporary names is removed.
  TellWhatWasFinished(records::FinishStoppedCompanyFileWork(), found, held);
}

void HoldOpenCompanyJournal() {
  // One that cannot be held now is made by the company's first posting, which says so if it cannot.
  (void)storage::HoldCompanyJournal(storage::CurrentCompanyNumber ? storage::CurrentCompanyNumber()
                                                                  : std::string());
}

}  // namespace shell
