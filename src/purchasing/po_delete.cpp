#include "purchasing/po_delete.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "forms/manager_window.h"
#include "platform/text/codepage.h"
#include "platform/text/decimal_text.h"
#include "platform/text/key_text.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "purchasing/po_posting.h"
#include "records/company_rec.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/stock_change.h"
#include "records/system_reason.h"
#include "storage/posting_journal.h"

namespace purchasing {

using platform::text::TrimBlanks;
using platform::ui::MessageBox;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using records::CurrentCompany;
using records::POHeaderRec;

namespace {

QString DeleteTitle(const POHeaderRec& header) {
  return platform::text::ToQString("Delete PO#: " + header.PONumber.Get());
}

bool Asked(const QString& text, const QString& title) {
  return MessageBox(text, title, MsgButtons::YesNo, MsgIcon::Question) == platform::ui::mrYes;
}

// Takes what the detail record received back out of its product's stock. True when the record
// had received a stocked product.
bool TakeBackReceived(const records::PODetailRec& detail, bool& stockFailed) {
  records::ProductRec product{};
  storage::IsamRecRef ref = 0;
  if (!ReadProduct(detail.Product.Get(), product, ref) || product.NonStock) return false;
  const std::string received = TrimBlanks(detail.QuantityReceived.Get());
  if (received.empty() || received == "0") return false;
  if (!AddStockOnHand(product, ref, platform::text::NegatedFigure(received))) stockFailed = true;
  return true;
}

using StoredDetails = std::vector<records::RecordOnFile<records::PODetailRec>>;

// Every detail record of the PO, lines and receipts, read before anything is deleted.
StoredDetails DetailsOf(const POHeaderRec& header) {
  records::PODetailRec wanted{};
  wanted.PONumber.Set(header.PONumber.Get());
  return records::ReadRecordsWithKey<records::PODetailRec>(records::PODetailFile, 2,
                                                           records::BuildPODetailKey(wanted, 2));
}

// What the details received, taken back out of stock.
records::StockChanges TakenBackStock(const StoredDetails& details) {
  records::StockChanges changes;
  for (const auto& [ref, detail] : details)
    records::AddStockChange(changes, detail.Product.Get(),
                            platform::text::NegatedFigure(TrimBlanks(detail.QuantityReceived.Get())));
  return changes;
}

void DeleteDetails(const StoredDetails& details, DeletedPO& deleted) {
  records::FileForAction products(records::ProductFile, records::OpenProductFile);
  records::RequireDone(
      products.Open() || details.empty(),
      "The product file could not be opened; the stock received on this PO was not taken back.");
  for (const auto& [ref, detail] : details) {
    records::PODetailBuf = detail;
    if (TakeBackReceived(detail, deleted.StockFailed)) deleted.ReceiversPresent = true;
    records::RequireDone(records::DeletePODetailRecord(ref), "Delete PO detail recs failed");
    ++deleted.DetailRecords;
  }
}

void DeleteMemo(const POHeaderRec& header) {
  records::POMemoRec wanted{};
  wanted.Number.Set(header.PONumber.Get());
  storage::IsamRecRef ref = 0;
  if (!records::ReadIfOnFile(records::POMemoUnit(), records::BuildPOMemoKey(wanted, 1), 1, records::POMemoBuf,
                             ref)) {
    platform::ui::Beep();
    return;
  }
  records::RequireDone(records::DeletePOMemoRecord(ref), "Memo record deletion failed");
}

}  // namespace

bool PODeleteConfirmed(const POHeaderRec& header) {
  if (TrimBlanks(CurrentCompany.AuditTrail.Get()) == "Y") {
    MessageBox("The audit trail feature is turned on. Unable to delete record.", "Audit Trail",
               MsgButtons::Ok, MsgIcon::Information);
    return false;
  }
  if (header.Printed.Get() == "Y" &&
      !Asked("This PO has been printed. Are you sure you want to delete this PO?", DeleteTitle(header)))
    return false;
  if (records::IsPOReceived(header))
    MessageBox(
        "This PO has been fully received. If you delete this PO all receiving information will also be "
        "removed.",
        "Warning", MsgButtons::Ok, MsgIcon::Warning);
  return Asked("Are you sure you want to delete this record?", DeleteTitle(header));
}

namespace {

DeletedPO PostPODeletionSteps(const POHeaderRec& header, storage::IsamRecRef ref) {
  const StoredDetails details = DetailsOf(header);
  records::RequireStockFits(TakenBackStock(details), records::StockMove::Receipt);
  records::RequireDone(records::DeletePOHeaderRecord(ref), "Delete operation failed");
  DeletedPO deleted;
  DeleteDetails(details, deleted);
  const std::string number = header.PONumber.Get();
  if (header.POKind.Get() == "M") {
    DeleteMemo(header);
    deleted.StatusText = "Deleted memo PO " + number + ".";
  } else {
    deleted.StatusText =
        "Deleted PO " + number + " containing " + std::to_string(deleted.DetailRecords) + " line item(s).";
  }
  return deleted;
}

}  // namespace

DeletedPO PostPODeletion(const POHeaderRec& header, storage::IsamRecRef ref) {
  return storage::RunPosting("the deletion of PO " + platform::text::TrimBlanks(header.PONumber.Get()),
                             [&] { return PostPODeletionSteps(header, ref); },
                             {"PO " + platform::text::TrimBlanks(header.PONumber.Get()), "deleted"});
}

std::optional<DeletedPO> DeletePO(storage::IsamRecRef ref) {
  if (ref < 1) return std::nullopt;
  POHeaderRec header{};
  // A header that cannot be read says so (FileUnusable); one deleted meanwhile is no PO.
  records::ReadRecordAt(records::POHeaderFile, ref, header);
  if (header.Status.Get() != 0) return std::nullopt;
  records::POHeaderBuf = header;
  // Refused before anything is asked while a posting waits to be undone.
  if (forms::RefuseEntryWhilePostingWaits(records::POHeaderUnit(),
                                          "PO " + platform::text::TrimBlanks(header.PONumber.Get()),
                                          "deleted", "Delete PO"))
    return std::nullopt;
  if (!PODeleteConfirmed(header)) return std::nullopt;
  return PostPODeletion(header, ref);
}

void ReportReceiversBackedOut() {
  MessageBox(
      "This PO had receivers. The stock balances were adjusted to backout the items that had been received.",
      "Receivers Present", MsgButtons::Ok, MsgIcon::Information);
}

}  // namespace purchasing
