#pragma once
// A fresh company of the benchmarks' own: its folder emptied and made the current directory, the
// engine started, the company filed in a new company list as the open company. False (with the
// engine's error in IsamError) when any of it fails.

#include <filesystem>

#include "records/company_file.h"
#include "storage/isam.h"

namespace bench {

inline bool StartScratchCompany(const std::filesystem::path& folder) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
  storage::IsamInitialize(0, 30);
  records::CurrentCompany = records::DefaultCompanyRecord();
  records::CurrentCompany.CompanyNumber.Set("1");
  records::CurrentCompany.CompanyARBalance.Set("0.00");
  records::CurrentCompany.DateOrder.Set("M");
  records::InstallCompanyFileNames();
  if (!records::CreateCompanyFile() || !records::OpenCompanyFile()) return false;
  records::CompanyWorkRec = records::CurrentCompany;
  storage::IsamRecRef ref = 0;
  const bool filed = records::AddCompanyRecord(ref);
  records::CloseCompanyFile();
  return filed;
}

}  // namespace bench
