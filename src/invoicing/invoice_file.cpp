#include "invoicing/invoice_file.h"

#include "app/find_box.h"
#include "app/find_modes.h"
#include "app/record_file.h"
#include "app/records/stored_amount.h"
#include "storage/detail_file.h"
#include "storage/memo_file.h"

namespace invoicing {

storage::IsamFileBlock InvoiceFile = nullptr;

const storage::DataFileKind& InvoiceFileKind() {
  static const storage::DataFileKind kind = app::RecordFileKind<InvoiceRec>(
      "I", "Invoices", InvoiceKeyDescs, "I am going to create a new, empty invoice file for this company.",
      BuildInvoiceKey);
  return kind;
}

storage::DataFileUnit& InvoiceUnit() {
  static storage::DataFileUnit unit(InvoiceFileKind(), InvoiceFile);
  return unit;
}

bool CreateInvoiceFile() {
  return InvoiceUnit().CreateFile();
}

bool OpenInvoiceFile() {
  return InvoiceUnit().OpenFile();
}

bool RebuildInvoiceFile() {
  return InvoiceUnit().RebuildFile();
}

bool AddInvoiceRecord(storage::IsamRecRef& ref) {
  return InvoiceUnit().AddRecord(&InvoiceBuf, ref);
}

bool UpdateInvoiceRecord(const InvoiceRec& oldCopy, storage::IsamRecRef ref) {
  return InvoiceUnit().UpdateRecord(&InvoiceBuf, &oldCopy, ref);
}

bool DeleteInvoiceRecord(storage::IsamRecRef ref) {
  return InvoiceUnit().DeleteRecord(ref);
}

bool FindInvoiceByNumber(storage::IsamKeyStr& key, storage::IsamRecRef& ref) {
  const storage::IsamKeyStr wanted = key;
  return InvoiceUnit().SearchKey(key, ref, 1) && key == wanted;
}

bool FindInvoice(storage::TRecBrowser& browser) {
  constexpr int InvoiceNumberColumn = 1;
  AddInvoiceFindMode();
  std::optional<app::FindRow> row = app::RunFind("Find Invoice/Payment", "Inv");
  if (!row) return false;
  InvoiceRec wanted;
  wanted.InvoiceNo.Set((*row)[InvoiceNumberColumn]);
  return app::ShowRecordByKey(browser, InvoiceUnit(), BuildInvoiceKey(wanted, 1), 1, InvoiceBuf,
                              BuildInvoiceKey);
}

void AttachInvoiceBrowser(storage::TRecBrowser& browser) {
  app::AttachRecordBrowser(browser, InvoiceFile, InvoiceBuf);
}

bool OpenInvoiceFiles() {
  return storage::IsamGlobalCheck() && OpenInvoiceFile() && storage::OpenDetailFile() &&
         storage::OpenMemoFile();
}

void AddInvoiceFindMode() {
  app::FindModeDef mode;
  mode.Mode = "Inv";
  mode.File = &InvoiceFile;
  mode.RecordLength = sizeof(InvoiceRec);
  mode.Columns = {{{"Year/Mo/Dy", 80},
                   {"Invoice#", 60},
                   {"Customer#", 75},
                   {"Key Code", 75},
                   {"Invoice Total", 100},
                   {"Short Name", 80},
                   {"Notes/Comments/Reference", 400}}};
  mode.SearchedFields = [](const void* record) {
    const auto& r = *static_cast<const InvoiceRec*>(record);
    return std::vector<std::string>{r.InvCustomerNo.Get(), r.SortDate.Get(), r.InvoiceNo.Get(),
                                    r.KeyCode.Get(),       r.Notes.Get(),    r.ShortName.Get()};
  };
  mode.Row = [](const void* record) {
    const auto& r = *static_cast<const InvoiceRec*>(record);
    return app::FindRow{r.SortDate.Get(),
                        r.InvoiceNo.Get(),
                        r.InvCustomerNo.Get(),
                        r.KeyCode.Get(),
                        app::FormatStoredAmount(r.InvTotal.Get(), ",.00"),
                        r.ShortName.Get(),
                        r.Notes.Get()};
  };
  app::AddFindMode(std::move(mode));
}

}  // namespace invoicing
