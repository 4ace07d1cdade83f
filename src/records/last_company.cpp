#include "records/last_company.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/files/file.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/ui/application.h"
#include "records/company_file.h"

namespace records {

using platform::ui::Application;

LastCompanyStatus LoadCurrentCompany() {
  CurrentCompany = CompanyRec{};
  std::string bytes;
  if (!platform::files::ReadWholeFile(LastCompanyFileName, &bytes) || bytes.size() < sizeof(CompanyRec))
    return LastCompanyStatus::NoCompany;
  CompanyRec named;
  std::memcpy(&named, bytes.data(), sizeof named);
  // A number that cannot name data files safely is no company to open.
  if (!IsCompanyOpen(named) || !IsValidCompanyNumber(named.CompanyNumber.Get()))
    return LastCompanyStatus::NoCompany;
  // The company list file holds the settings; a company no longer on it is not opened, since
  // none of its counters could be saved.
  bool listOpened = false;
  if (!ReadCompanyRecord(named.CompanyNumber.Get(), CurrentCompany, &listOpened)) {
    CurrentCompany = CompanyRec{};
    return listOpened ? LastCompanyStatus::NoCompany : LastCompanyStatus::CompanyListUnopened;
  }
  return LastCompanyStatus::Loaded;
}

bool SaveCurrentCompany() {
  CurrentCompany = CompanyWorkRec;
  int err = 0;
  bool saved = platform::files::WriteWholeFile(
      LastCompanyFileName,
      std::string_view(reinterpret_cast<const char*>(&CurrentCompany), sizeof CurrentCompany), &err);
  if (!saved)
    Application->ShowException(QStringLiteral("Cannot write %1: %2")
                                   .arg(platform::text::ToQString(LastCompanyFileName),
                                        QString::fromLocal8Bit(std::strerror(err ? err : EIO))));
  Application->ProcessMessages();
  return saved;
}

void ApplyCompanyDateFormat() {
  std::string order = CurrentCompany.DateOrder.Get();
  platform::text::SetShortDateFormat(platform::text::ShortDateFormatFor(order.empty() ? 'M' : order[0]));
}

}  // namespace records
