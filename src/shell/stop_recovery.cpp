#include "shell/stop_recovery.h"

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

void TellRebuiltNow(const QString& text, const std::string& company) {
  platform::ui::MessageBox(text.arg(platform::text::ToQString(company)), storage::kRebuildTitle,
                           platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Information);
}

// The start's one notice of the files it rebuilds: none when the undo of a posting said it.
void TellWhyRebuilt(const storage::FoundJournal& journal) {
  if (journal.Outcome == storage::JournalOutcome::None)
    TellRebuiltNow(
        QStringLiteral("The program was stopped last time while company %1 was open.  The files it "
                       "had open are rebuilt now."),
        journal.Company);
  if (journal.Outcome == storage::JournalOutcome::RepairLeft)
    TellRebuiltNow(QStringLiteral("A failure on the disk left files of company %1 to be repaired last time.  "
                                  "They are rebuilt now."),
                   journal.Company);
}

// The files of the company the stop left marked, or with a rebuild unfinished, rebuilt asking
// nothing, under the start's one message: the undo's, the set-aside journal's, or the notice of a
// stop between postings. The journal found stays until then, emptied (one set aside leaves an
// empty one in its place), so that a start stopped in the middle is finished by the next; then it
// goes.
void RebuildWhatTheStopLeft(const storage::FoundJournal& journal) {
  const bool valid = records::IsValidCompanyNumber(journal.Company);
  const std::vector<std::string> left =
      valid ? records::FilesLeftForRepair(journal.Company) : std::vector<std::string>{};
  const bool held = storage::HoldCompanyJournal(journal.Company);
  if (!left.empty()) {
    TellWhyRebuilt(journal);
    // A file that cannot be rebuilt said why; it stays marked, and the close keeps the journal for
    // the next start to rebuild it.
    (void)records::RebuildFilesLeftForRepair(journal.Company);
  }
  if (held) (void)storage::HoldCompanyJournal(std::string());  // letting go cannot fail
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
  // A journal that could not be undone waits, and so does every repair (the journals found
  // emptied stay for the next start).
  if (storage::PostingJournalWaits()) return;
  std::set<std::string> recovered;
  for (const storage::FoundJournal& journal : found)
    if (recovered.insert(journal.Company).second) RebuildWhatTheStopLeft(journal);
}

void HoldOpenCompanyJournal() {
  // One that cannot be held now is made by the company's first posting, which says so if it cannot.
  (void)storage::HoldCompanyJournal(storage::CurrentCompanyNumber ? storage::CurrentCompanyNumber()
                                                                  : std::string());
}

}  // namespace shell
