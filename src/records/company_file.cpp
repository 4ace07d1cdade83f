#include "records/company_file.h"

#include <stdexcept>

#include "records/record_file.h"

#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/system_reason.h"
#include "records/vendor_file.h"
#include "storage/posting_journal.h"

#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/message_box.h"

namespace records {

using storage::IsamKeyStr;
using storage::IsamRecRef;

storage::IsamFileBlock CompanyFile = nullptr;
bool CurrentCompanyEdited = false;

namespace {

storage::DataFileKind MakeCompanyFileKind() {
  storage::DataFileKind kind;
  kind.FixedName = std::string(CompanyFileName);
  kind.Caption = QStringLiteral("Companies");
  kind.RecordLength = CompanyRecordLength;
  kind.Keys = {
      {CompanyKeyDescs[0].KeyLength, false, {{offsetof(CompanyRec, CompanyNumber), 5}}},
      {CompanyKeyDescs[1].KeyLength, true, {{offsetof(CompanyRec, CompanyName), 35}}},
  };
  kind.NewFileNotice = QStringLiteral("I am going to create a new, empty company file.");
  kind.BuildKey = [](const void* record, int keyNr) {
    return BuildCompanyKey(*static_cast<const CompanyRec*>(record), keyNr);
  };
  kind.Subject = [](const void* record) {
    return "Company " +
           platform::text::TrimBlanks(static_cast<const CompanyRec*>(record)->CompanyNumber.Get());
  };
  return kind;
}

// Open for the length of one routine: a file the Company Manager holds open stays open.
void TellNotSaved(const QString& why) {
  // Within a posting, its failure is what the user is told, once.
  if (storage::PostingUnderWay()) return;
  platform::ui::MessageBox(why + QStringLiteral(" The change was not saved."), QStringLiteral("Company File"),
                           platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Warning);
}

void TellPostingFailed(const storage::PostingFailed& failed) {
  platform::ui::MessageBox(platform::text::ToQString(failed.what()), QStringLiteral("Company File"),
                           platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Error);
}

// A change of the company record, as the user knows it when it is a posting of its own.
std::string SettingsChangeOf(const CompanyRec& company) {
  return "the change of company " + platform::text::TrimBlanks(company.CompanyNumber.Get()) + "'s settings";
}

// The record is 3600 bytes and spans pages of the file: rewritten in place, a power cut could keep
// part of it. Every change of it is a posting of its own (or part of the posting under way). The
// record goes out to the file while the posting is open, so that a write that fails is told with
// the system's reason; it costs no sync more than the commit would make.
template <class Change>
// `what` names the posting as the user knows the work; empty, it is a change of the settings.
auto PostCompanyChange(const CompanyRec& company, const std::string& what, Change change) {
  const std::string number = platform::text::TrimBlanks(company.CompanyNumber.Get());
  return storage::RunPosting(what.empty() ? SettingsChangeOf(company) : what,
                             [&] {
                               auto result = change();
                               // A failure marks the posting broken: its commit fails and undoes it,
                               // with the reason.
                               (void)storage::FlushPostingWrites();
                               return result;
                             },
                             {"The settings of company " + number, "changed"});
}

// Reads the open company's stored record into CompanyWorkRec, changes it and writes it back, in
// the open company file; what went wrong, or nothing. A record that cannot be read throws
// FileUnusable: it is no company missing from the file.
QString ChangeCurrentCompany(const std::function<void(CompanyRec&)>& change) {
  IsamRecRef ref = 0;
  if (!FindCompanyRecord(CurrentCompany.CompanyNumber.Get(), CompanyWorkRec, ref))
    return QStringLiteral("This company was not found in the company file.");
  change(CompanyWorkRec);
  if (!CompanyUnit().PutRecRetry(ref, &CompanyWorkRec))
    return QStringLiteral("The company record could not be written.");
  CurrentCompany = CompanyWorkRec;
  return {};
}

}  // namespace

const storage::DataFileKind& CompanyFileKind() {
  static const storage::DataFileKind kind = MakeCompanyFileKind();
  return kind;
}

storage::DataFileUnit& CompanyUnit() {
  static storage::DataFileUnit unit(CompanyFileKind(), CompanyFile);
  return unit;
}

bool CreateCompanyFile() {
  return CompanyUnit().CreateFile();
}

bool OpenCompanyFile() {
  return CompanyUnit().OpenFile();
}

void CloseCompanyFile() {
  CloseDataFile(CompanyFile);
}

bool RebuildCompanyFile() {
  return CompanyUnit().RebuildFile();
}

bool SearchCompanyKey(IsamKeyStr& key, IsamRecRef& ref, int keyNr) {
  return CompanyUnit().SearchKey(key, ref, keyNr);
}

bool AddCompanyRecord(IsamRecRef& ref) {
  return CompanyUnit().AddRecord(&CompanyWorkRec, ref);
}

bool UpdateCompanyRecord(const CompanyRec& beforeImage, IsamRecRef ref) {
  return PostCompanyChange(CompanyWorkRec, {},
                           [&] { return CompanyUnit().UpdateRecord(&CompanyWorkRec, &beforeImage, ref); });
}

bool DeleteCompanyRecord(IsamRecRef ref) {
  return CompanyUnit().DeleteRecord(ref);
}

bool FindCompanyRecord(std::string_view number, CompanyRec& record, IsamRecRef& ref) {
  CompanyRec wanted;
  wanted.CompanyNumber.Set(platform::text::TrimBlanks(number));
  ref = 0;
  return ReadIfOnFile(CompanyUnit(), BuildCompanyKey(wanted, 1), 1, record, ref);
}

bool ReadCompanyRecord(std::string_view number, CompanyRec& record) {
  FileForAction file(CompanyFile, OpenCompanyFile);
  if (!file.Open()) ThrowFileUnusable(CompanyUnit());
  IsamRecRef ref = 0;
  return FindCompanyRecord(number, record, ref);
}

bool UpdateCurrentCompanyRecord(const std::function<void(CompanyRec&)>& change, const std::string& what) {
  // Opened around the posting, so that the posting does not write the file out and sync it twice.
  FileForAction file(CompanyFile, OpenCompanyFile);
  if (!file.Open()) {
    TellNotSaved(QStringLiteral("The company file could not be opened."));
    return false;
  }
  QString failure;
  try {
    failure = storage::PostingUnderWay()
                  ? ChangeCurrentCompany(change)
                  : PostCompanyChange(CurrentCompany, what, [&] { return ChangeCurrentCompany(change); });
  } catch (const storage::PostingFailed& failed) {
    // Its message says what failed and that nothing of the change was kept.
    TellPostingFailed(failed);
    return false;
  } catch (const FileUnusable& unreadable) {
    // A posting under way fails with the file and the reason; alone, the change is not saved.
    if (storage::PostingUnderWay()) throw;
    TellNotSaved(QString::fromStdString(unreadable.what()));
    return false;
  }
  if (failure.isEmpty()) return true;
  // The system refused a step within a posting: the posting fails with the reason, which the
  // close of the file would take with it.
  const std::string reason = SystemReason();
  if (storage::PostingUnderWay() && !reason.empty())
    throw std::runtime_error(WithReason(platform::text::ToAnsi(failure), reason));
  TellNotSaved(failure);
  return false;
}

void InstallCompanyFileNames() {
  // Every data unit exists from the start, so that a posting undone at the start can rebuild the
  // files it names.
  for (auto unit : {CompanyUnit, CustomerUnit, ProductUnit, InvoiceUnit, DetailUnit, MemoUnit, VendorUnit,
                    POHeaderUnit, PODetailUnit, POMemoUnit})
    unit();
  storage::CurrentCompanyNumber = [] {
    std::string number = CurrentCompany.CompanyNumber.Get();
    // A number that cannot name files safely names none of this company's files.
    return IsValidCompanyNumber(number) ? platform::text::TrimBlanks(number) : std::string();
  };
  // A posting undone takes back what it changed in the company record too.
  storage::AfterPostingUndone = [] {
    CompanyRec stored;
    try {
      if (ReadCompanyRecord(CurrentCompany.CompanyNumber.Get(), stored)) CurrentCompany = stored;
    } catch (const FileUnusable&) {
      // The undo's own message is what the user is told; every later change of the company
      // reads its stored record anew, so what this run shows of it only waits for the next read.
    }
  };
}

}  // namespace records
