#include "records/invoice_file.h"

#include "records/detail_file.h"
#include "records/memo_file.h"
#include "records/record_file.h"
#include "records/stored_amount.h"

namespace records {

storage::IsamFileBlock InvoiceFile = nullptr;

const storage::DataFileKind& InvoiceFileKind() {
  static const storage::DataFileKind kind = records::RecordFileKind<InvoiceRec>(
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
  return FindExactKey(InvoiceUnit(), key, ref, 1);
}

void AttachInvoiceBrowser(storage::TRecBrowser& browser) {
  records::AttachRecordBrowser(browser, InvoiceFile, InvoiceBuf);
}

bool OpenInvoiceFiles() {
  return storage::IsamGlobalCheck() && OpenInvoiceFile() && records::OpenDetailFile() &&
         records::OpenMemoFile();
}

}  // namespace records
