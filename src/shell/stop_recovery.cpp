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

void TellStoppedWithCompanyOpen(const std::string& company) {
  platform::ui::MessageBox(
      QStringLiteral("The program was stopped last time while company %1 was open.  The files it had open "
                     "are rebuilt now.")
          .arg(platform::text::ToQString(company)),
      storage::kRebuildTitle, platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Information);
}

}  // namespace

void RecoverFromLastStop() {
  storage::ForgetWaitingJournals();
  storage::ForgetJournalsFound();
  storage::UndoLeftPostingJournals();
  const std::vector<storage::FoundJournal> found = storage::JournalsFound();
  storage::ForgetJournalsFound();
  // A journal that could not be undone waits, and so does every repair.
  if (storage::PostingJournalWaits()) return;
  std::set<std::string> repaired;
  for (const storage::FoundJournal& journal : found) {
    if (!records::IsValidCompanyNumber(journal.Company) || !repaired.insert(journal.Company).second) continue;
    if (records::FilesLeftForRepair(journal.Company).empty()) continue;
    // An undone posting has said what the start did; a stop between postings is said here.
    if (journal.Outcome == storage::JournalOutcome::None) TellStoppedWithCompanyOpen(journal.Company);
    records::RebuildFilesLeftForRepair(journal.Company);
  }
}

void HoldOpenCompanyJournal() {
  storage::HoldCompanyJournal(storage::CurrentCompanyNumber ? storage::CurrentCompanyNumber()
                                                            : std::string());
}

}  // namespace shell
