#include "records/company_data_files.h"

#include <optional>
#include <string>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/vendor_file.h"
#include "storage/isam.h"
#include "storage/naming.h"

namespace records {

namespace files = platform::files;

namespace {

std::string DataFile(const std::string& base) {
  return storage::IsamFileName(base, storage::IsamDataExt);
}

std::string IndexFile(const std::string& base) {
  return storage::IsamFileName(base, storage::IsamIndexExt);
}

}  // namespace

bool CopyCompanyFiles(std::string_view fromCompany, std::string_view toCompany, std::string_view fileCode) {
  const std::optional<std::string> from = DataFileBaseName(fromCompany, fileCode);
  const std::optional<std::string> to = DataFileBaseName(toCompany, fileCode);
  if (!from || !to) return false;
  const std::string data = DataFile(*to);
  const std::string index = IndexFile(*to);
  const std::string dataTemp = data + ".TMP";
  const std::string indexTemp = index + ".TMP";
  if (!files::CopyFile(DataFile(*from), dataTemp) || !files::CopyFile(IndexFile(*from), indexTemp)) {
    files::DeleteFile(dataTemp);
    files::DeleteFile(indexTemp);
    return false;
  }
  if (!files::RenameFile(dataTemp, data)) {
    files::DeleteFile(dataTemp);
    files::DeleteFile(indexTemp);
    return false;
  }
  if (!files::RenameFile(indexTemp, index)) {
    // The new data file must not stay beside the old index: take it away again, so the company
    // finds no data file and starts that file afresh instead of reading a mismatched pair.
    files::DeleteFile(indexTemp);
    files::DeleteFile(data);
    files::DeleteFile(index);
    return false;
  }
  return true;
}

int CountCompanyFileEntries(std::string_view company, std::string_view fileCode) {
  const std::optional<std::string> base = DataFileBaseName(company, fileCode);
  if (!base) return 0;
  storage::IsamFileBlock file = nullptr;
  storage::IsamOpenFileBlock(file, *base, true, false, false, false);
  if (!storage::IsamOK) return 0;
  const int32_t entries = storage::IsamUsedKeys(file, 1);
  const bool counted = storage::IsamOK;
  storage::IsamCloseFileBlock(file);
  return counted ? entries : 0;
}

void DeleteCompanyDataFiles(std::string_view company) {
  static constexpr std::string_view order[] = {
      FileCodeProducts, FileCodeCustomers,      FileCodeInvoiceLines, FileCodeInvoices, FileCodeInvoiceMemos,
      FileCodePOMemos,  FileCodePurchaseOrders, FileCodePOLines,      FileCodeVendors};
  for (std::string_view code : order) {
    const std::optional<std::string> base = DataFileBaseName(company, code);
    if (!base) return;
    for (const std::string& name : {DataFile(*base), IndexFile(*base)})
      if (files::Exists(name)) files::DeleteFile(name);
  }
}

bool RebuildCompanyDataFiles() {
  bool rebuilt = true;
  for (storage::DataFileUnit& (*unit)() : {CompanyUnit, CustomerUnit, InvoiceUnit, DetailUnit, MemoUnit,
                                           POMemoUnit, ProductUnit, POHeaderUnit, VendorUnit, PODetailUnit}) {
    storage::DataFileUnit& file = unit();
    if (storage::IsamIsOpen(file.File()) || !files::Exists(DataFile(file.FileName()))) continue;
    rebuilt = file.RebuildFile() && rebuilt;
  }
  return rebuilt;
}

}  // namespace records
