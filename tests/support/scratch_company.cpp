#include "support/scratch_company.h"

#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/vendor_file.h"

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

bool OpenScratchCompany(const records::CompanyRec& company, std::initializer_list<CompanyFile> files) {
  records::CurrentCompany = company;
  records::InstallCompanyFileNames();
  if (!records::CreateCompanyFile() || !records::OpenCompanyFile()) return false;
  records::CompanyWorkRec = company;
  storage::IsamRecRef ref = 0;
  bool filed = records::AddCompanyRecord(ref);
  records::CloseCompanyFile();
  if (!filed) return false;
  for (CompanyFile file : files)
    if (!CreateAndOpen(file)) return false;
  return true;
}

}  // namespace testing_support
