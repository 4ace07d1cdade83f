#include "support/scratch_company.h"

#include <filesystem>

#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/vendor_file.h"
#include "support/file_records.h"

namespace testing_support {

namespace {

bool CreateAndOpen(CompanyFile file) {
  using Step = bool (*)();
  static const std::pair<Step, Step> steps[] = {{records::CreateCustomerFile, records::OpenCustomerFile},
                                                {records::CreateProductFile, records::OpenProductFile},
                                                {records::CreateInvoiceFile, records::OpenInvoiceFile},
                                                {records::CreateDetailFile, records::OpenDetailFile},
                                                {records::CreateMemoFile, records::OpenMemoFile},
                                                {records::CreateVendorFile, records::OpenVendorFile},
                                                {records::CreatePOHeaderFile, records::OpenPOHeaderFile},
                                                {records::CreatePODetailFile, records::OpenPODetailFile},
                                                {records::CreatePOMemoFile, records::OpenPOMemoFile}};
  const auto& [create, open] = steps[static_cast<int>(file)];
  return create() && open();
}

}  // namespace

records::CompanyRec BooksCompanyRecord() {
  records::CompanyRec company = records::DefaultCompanyRecord();
  company.CompanyNumber.Set("12");
  company.CompanyName.Set("Acme Supply");
  company.CompanyARBalance.Set("0.00");
  company.NextInvoiceNumber.Set("1001");
  company.NextDepositNumber.Set("");
  company.DateOrder.Set("M");
  company.InvoiceNumberPrefix.Set("N");
  company.AgingDays1.Set("30");
  company.AgingDays2.Set("60");
  company.AgingDays3.Set("90");
  return company;
}

namespace {

bool FileScratchCompany(const records::CompanyRec& company, std::initializer_list<CompanyFile> files,
                        bool newList) {
  records::CurrentCompany = company;
  records::InstallCompanyFileNames();
  if ((newList && !records::CreateCompanyFile()) || !records::OpenCompanyFile()) return false;
  records::CompanyWorkRec = company;
  storage::IsamRecRef ref = 0;
  bool filed = records::AddCompanyRecord(ref);
  records::CloseCompanyFile();
  if (!filed) return false;
  for (CompanyFile file : files)
    if (!CreateAndOpen(file)) return false;
  return true;
}

}  // namespace

bool OpenScratchCompany(const records::CompanyRec& company, std::initializer_list<CompanyFile> files) {
  return FileScratchCompany(company, files, true);
}

bool AddScratchCompany(const records::CompanyRec& company, std::initializer_list<CompanyFile> files) {
  return FileScratchCompany(company, files, false);
}

void FileSmallBooks() {
  records::CustomerRec c{};
  c.CustomerNo.Set("C1");
  c.CustomerName.Set("Acme Tools");
  c.CustBillTo1.Set("1 Main St");
  c.CustBalance.Set("100.00");
  c.CustAging1.Set("100.00");
  FileRecords<records::CustomerRec>({c}, records::CustomerFile, records::OpenCustomerFile,
                                    records::AddCustomerRecord);
  records::InvoiceRec i{};
  i.InvCustomerNo.Set("C1");
  i.InvoiceNo.Set("10010");
  i.TransactionType.Set("I");
  i.SortDate.Set("2026/11/02");
  i.InvTotal.Set("100.00");
  i.InvPaid.Set("0.00");
  i.AmountDue.Set("100.00");
  FileRecords<records::InvoiceRec>({i}, records::InvoiceFile, records::OpenInvoiceFile,
                                   [](const records::InvoiceRec& r, storage::IsamRecRef& ref) {
                                     records::InvoiceBuf = r;
                                     return records::AddInvoiceRecord(ref);
                                   });
  records::ProductRec p{};
  p.Code.Set("P1");
  p.Description.Set("Widget");
  p.PODescription.Set("Widget");
  FileRecords<records::ProductRec>({p}, records::ProductFile, records::OpenProductFile,
                                   records::AddProductRecord);
}

void KeepBooksAside() {
  namespace fs = std::filesystem;
  fs::create_directory("books");
  for (const fs::directory_entry& entry : fs::directory_iterator("."))
    if (entry.is_regular_file())
      fs::copy_file(entry.path(), "books" / entry.path().filename(), fs::copy_options::overwrite_existing);
}

void PutBooksBack() {
  namespace fs = std::filesystem;
  for (const fs::directory_entry& entry : fs::directory_iterator("books"))
    fs::copy_file(entry.path(), entry.path().filename(), fs::copy_options::overwrite_existing);
}

}  // namespace testing_support
