#include "shell/maintenance.h"

#include <set>
#include <vector>

#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/company_data_files.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/record_file.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"

namespace shell {

using platform::text::TrimBlanks;
using namespace records;

void RebuildAllDataFiles() {
  std::vector<std::string> failed;
  // A refusal (a posting waits to be undone) has said why, and nothing was rebuilt.
  if (!RebuildCompanyDataFiles(&failed) && failed.empty()) return;
  platform::ui::Application->ProcessMessages();
  if (failed.empty()) {
    platform::ui::MessageBox("The data files have been rebuilt for this company.", "Rebuild Complete",
                             platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Information);
    return;
  }
  // Every file that failed, with its reason, in one message.
  std::string text;
  for (const std::string& failure : failed) text += failure + "\n";
  text += "The other data files of this company have been rebuilt.";
  platform::ui::MessageBox(platform::text::ToQString(text), "Rebuild Data Files",
                           platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Error);
}

QDate DefaultPurgeDate(const QDate& today) {
  return QDate(today.year() - 2, today.month(), 1);
}

namespace {

// What differs between removing invoices and removing purchase orders: the three files, their
// routines, and the messages of each failure.
struct DocumentFiles {
  storage::IsamFileBlock& Header;
  bool (*OpenHeader)();
  storage::DataFileUnit& (*HeaderUnit)();
  bool (*DeleteHeader)(storage::IsamRecRef);
  storage::IsamKeyStr (*HeaderKey)(const std::string& number);  // the headers' key 1
  storage::IsamFileBlock& Lines;
  bool (*OpenLines)();
  storage::DataFileUnit& (*LinesUnit)();
  bool (*DeleteLine)(storage::IsamRecRef);
  storage::IsamKeyStr (*LinesKey)(const std::string& number);  // the lines' key 2
  storage::IsamFileBlock& Memos;
  bool (*OpenMemos)();
  storage::DataFileUnit& (*MemosUnit)();
  bool (*DeleteMemo)(storage::IsamRecRef);
  storage::IsamKeyStr (*MemoKey)(const std::string& number);
  const char* HeaderFailed;
  const char* LinesFailed;
  const char* MemoSearchFailed;
  const char* MemoDeleteFailed;
};

// One document chosen for removal: where it is, its number and whether it has a memo body.
struct OldDocument {
  storage::IsamRecRef Ref;
  std::string Number;
  bool HasMemo;
};

bool BeforeCutOff(const std::string& sortDate, const QDate& cutOff) {
  // A date that cannot be read is never old enough: the record stays.
  const std::optional<QDate> date = platform::text::ParseSortableDate(sortDate);
  return date && *date < cutOff;
}

// The documents of the header file that are to go, in file order. A number goes whole or not at
// all: while any record of it stays (an invoice still owing, a payment after the cut-off), every
// record of it stays, since its documents sum what was billed and paid over all of them. Chosen
// before any is deleted, so that the walk is not disturbed by its own deletions; a walk that
// cannot read every record leaves some number unknown, and then the purge fails (FileUnusable).
template <class Record, class IsOld>
std::vector<OldDocument> OldDocuments(storage::IsamFileBlock file, IsOld isOld) {
  std::vector<OldDocument> found;
  std::set<std::string> kept;
  ForEachRecordInFileOrder<Record>(file, [&](const Record& record, storage::IsamRecRef ref) {
    std::string number = platform::text::UpperCase(TrimBlanks(record.Number())).substr(0, 9);
    if (isOld(record))
      found.push_back({ref, number, record.Body() == "M"});
    else
      kept.insert(number);
  });
  std::erase_if(found, [&](const OldDocument& document) { return kept.contains(document.Number); });
  return found;
}

void DeleteLinesOf(const DocumentFiles& files, const std::string& number) {
  for (storage::IsamRecRef ref : RecordsWithKey(files.Lines, 2, files.LinesKey(number)))
    records::RequireDone(files.DeleteLine(ref), files.LinesFailed);
}

void DeleteMemoOf(const DocumentFiles& files, const std::string& number) {
  const std::vector<storage::IsamRecRef> memos = RecordsWithKey(files.Memos, 1, files.MemoKey(number));
  if (memos.empty()) {
    platform::ui::ShowMessage(files.MemoSearchFailed);
    return;
  }
  records::RequireDone(files.DeleteMemo(memos.front()), files.MemoDeleteFailed);
}

// Another record of the number still on file (an invoice with payments against it shares their
// number) keeps the lines and the memo. A search that fails fails the purge: it is never taken
// for a number no longer on file.
bool NumberStillOnFile(const DocumentFiles& files, const std::string& number) {
  return !RecordsWithKey(files.Header, 1, files.HeaderKey(number)).empty();
}

// Removes the documents, and with the last record of a number its lines and memo; a header that
// cannot be deleted keeps them, and is not counted. Returns how many were removed.
template <class Record, class IsOld>
int PurgeDocuments(const DocumentFiles& files, IsOld isOld) {
  // Files not made yet hold nothing to remove; one that is there and cannot be opened fails the
  // purge, never read as holding nothing. Each is asked at once, while the engine says why.
  FileForAction memos(files.Memos, files.OpenMemos);
  if (!ThereToRead(memos, files.MemosUnit())) return 0;
  FileForAction headers(files.Header, files.OpenHeader);
  if (!ThereToRead(headers, files.HeaderUnit())) return 0;
  FileForAction lines(files.Lines, files.OpenLines);
  if (!ThereToRead(lines, files.LinesUnit())) return 0;
  int removed = 0;
  for (const OldDocument& document : OldDocuments<Record>(files.Header, isOld)) {
    records::RequireDone(files.DeleteHeader(document.Ref), files.HeaderFailed);
    ++removed;
    if (NumberStillOnFile(files, document.Number)) continue;
    DeleteLinesOf(files, document.Number);
    if (document.HasMemo) DeleteMemoOf(files, document.Number);
  }
  return removed;
}

// The two header records seen through the few fields the purge reads.
struct InvoiceHeader : InvoiceRec {
  std::string Number() const { return InvoiceNo.Get(); }
  std::string Body() const { return InvoiceRec::Body.Get(); }
};
struct POHeader : POHeaderRec {
  std::string Number() const { return PONumber.Get(); }
  std::string Body() const { return POKind.Get(); }
};

const DocumentFiles InvoiceDocuments{InvoiceFile,
                                     OpenInvoiceFile,
                                     InvoiceUnit,
                                     DeleteInvoiceRecord,
                                     [](const std::string& number) {
                                       InvoiceRec wanted{};
                                       wanted.InvoiceNo.Set(number);
                                       return BuildInvoiceKey(wanted, 1);
                                     },
                                     DetailFile,
                                     OpenDetailFile,
                                     DetailUnit,
                                     DeleteDetailRecord,
                                     [](const std::string& number) {
                                       DetailRec wanted{};
                                       wanted.InvoiceNumber.Set(number);
                                       return BuildDetailKey(wanted, 2);
                                     },
                                     MemoFile,
                                     OpenMemoFile,
                                     MemoUnit,
                                     DeleteMemoRecord,
                                     [](const std::string& number) {
                                       MemoRec wanted{};
                                       wanted.Number.Set(number);
                                       return BuildMemoKey(wanted, 1);
                                     },
                                     "Delete Failed.",
                                     "Delete detail recs failed",
                                     "Memo search failed",
                                     "Memo record deletion failed"};

const DocumentFiles PODocuments{POHeaderFile,
                                OpenPOHeaderFile,
                                POHeaderUnit,
                                DeletePOHeaderRecord,
                                [](const std::string& number) {
                                  POHeaderRec wanted{};
                                  wanted.PONumber.Set(number);
                                  return BuildPOHeaderKey(wanted, 1);
                                },
                                PODetailFile,
                                OpenPODetailFile,
                                PODetailUnit,
                                DeletePODetailRecord,
                                [](const std::string& number) {
                                  PODetailRec wanted{};
                                  wanted.PONumber.Set(number);
                                  return BuildPODetailKey(wanted, 2);
                                },
                                POMemoFile,
                                OpenPOMemoFile,
                                POMemoUnit,
                                DeletePOMemoRecord,
                                [](const std::string& number) {
                                  POMemoRec wanted{};
                                  wanted.Number.Set(number);
                                  return BuildPOMemoKey(wanted, 1);
                                },
                                "PO header delete Failed.",
                                "Delete PO detail recs failed",
                                "PO Memo search failed",
                                "PO Memo record deletion failed"};

}  // namespace

namespace {

PurgeCounts PurgeDocumentsBefore(const QDate& cutOff) {
  PurgeCounts counts;
  counts.Invoices = PurgeDocuments<InvoiceHeader>(InvoiceDocuments, [&](const InvoiceHeader& invoice) {
    return BeforeCutOff(invoice.SortDate.Get(), cutOff) && invoice.SettledFlag.Get() == "P";
  });
  counts.PurchaseOrders = PurgeDocuments<POHeader>(PODocuments, [&](const POHeader& po) {
    return BeforeCutOff(po.SortDate.Get(), cutOff) && TrimBlanks(po.ReceivedDate.Get()).size() > 7;
  });
  return counts;
}

}  // namespace

PurgeCounts PurgeOldRecords(const QDate& cutOff) {
  // One posting: the purge is on file whole or not at all.
  return storage::RunPosting("the purge of old records", [&] { return PurgeDocumentsBefore(cutOff); },
                             {"The old records", "purged"});
}

}  // namespace shell
