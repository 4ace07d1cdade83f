#include "purchasing/po_delete.h"

#include <stdexcept>
#include <vector>

#include "platform/text/codepage.h"
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
  if (!AddStockOnHand(product, ref, -QuantityOf(received).value_or(0))) stockFailed = true;
  return true;
}

void DeleteDetails(const POHeaderRec& header, DeletedPO& deleted) {
  records::PODetailRec wanted{};
  wanted.PONumber.Set(header.PONumber.Get());
  const std::vector<storage::IsamRecRef> refs =
      records::RecordsWithKey(records::PODetailFile, 2, records::BuildPODetailKey(wanted, 2));
  records::FileForAction products(records::ProductFile, records::OpenProductFile);
  if (!products.Open() && !refs.empty())
    platform::ui::ShowMessage(
        "The product file could not be opened; the stock received on this PO was not "
        "taken back.");
  for (storage::IsamRecRef ref : refs) {
    records::PODetailRec detail{};
    storage::IsamGetRec(records::PODetailFile, ref, &detail, sizeof detail);
    if (!storage::IsamOK) throw std::runtime_error("Delete PO detail recs failed");
    records::PODetailBuf = detail;
    if (products.Open() && TakeBackReceived(detail, deleted.StockFailed)) deleted.ReceiversPresent = true;
    if (!records::DeletePODetailRecord(ref)) throw std::runtime_error("Delete PO detail recs failed");
    ++deleted.DetailRecords;
  }
}

void DeleteMemo(const POHeaderRec& header) {
  records::POMemoRec wanted{};
  wanted.Number.Set(header.PONumber.Get());
  storage::IsamRecRef ref = 0;
  if (!records::ReadByKey(records::POMemoUnit(), records::BuildPOMemoKey(wanted, 1), 1, records::POMemoBuf,
                          ref)) {
    platform::ui::Beep();
    return;
  }
  if (!records::DeletePOMemoRecord(ref)) platform::ui::ShowMessage("Memo record deletion failed");
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

DeletedPO PostPODeletion(const POHeaderRec& header, storage::IsamRecRef ref) {
  storage::PostingScope posting("deletion of PO " + platform::text::TrimBlanks(header.PONumber.Get()));
  if (!records::DeletePOHeaderRecord(ref)) throw std::runtime_error("Delete operation failed");
  DeletedPO deleted;
  DeleteDetails(header, deleted);
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

std::optional<DeletedPO> DeletePO(storage::IsamRecRef ref) {
  if (ref < 1) return std::nullopt;
  POHeaderRec header{};
  storage::IsamGetRec(records::POHeaderFile, ref, &header, sizeof header);
  if (!storage::IsamOK || header.Status.Get() != 0) return std::nullopt;
  records::POHeaderBuf = header;
  if (!PODeleteConfirmed(header)) return std::nullopt;
  return PostPODeletion(header, ref);
}

void ReportReceiversBackedOut() {
  MessageBox(
      "This PO had receivers. The stock balances were adjusted to backout the items that had been received.",
      "Receivers Present", MsgButtons::Ok, MsgIcon::Information);
}

}  // namespace purchasing
