#include "records/last_company.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/files/file.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/ui/application.h"
#include "records/company_file.h"
#include "records/system_reason.h"

namespace records {

using platform::ui::Application;

LastCompanyStatus LoadCurrentCompany(std::string* failure) {
  CurrentCompany = CompanyRec{};
  std::string bytes;
  int err = 0;
  if (!platform::files::ReadWholeFile(LastCompanyFileName, &bytes, &err)) {
    if (err == ENOENT) return LastCompanyStatus::NoCompany;
    // A company may be named there: one that cannot be read is not taken for none.
    if (failure)
      *failure = "The file " + std::string(LastCompanyFileName) +
                 " cannot be read now: " + FileFailureReason(err) + ".";
    return LastCompanyStatus::CompanyUnread;
  }
  if (bytes.size() < sizeof(CompanyRec)) return LastCompanyStatus::NoCompany;
  CompanyRec named;
  std::memcpy(&named, bytes.data(), sizeof named);
  // A number that cannot name data files safely is no company to open.
  if (!IsCompanyOpen(named) || !IsValidCompanyNumber(named.CompanyNumber.Get()))
    return LastCompanyStatus::NoCompany;
  // The company list file holds the settings; a company no longer on it is not opened, since
  // none of its counters could be saved. A list that cannot be opened or searched tells nothing
  // of the company: it is not gone.
  try {
    if (ReadCompanyRecord(named.CompanyNumber.Get(), CurrentCompany)) return LastCompanyStatus::Loaded;
    CurrentCompany = CompanyRec{};
    return LastCompanyStatus::NoCompany;
  } catch (const FileUnusable& unreadable) {
    CurrentCompany = CompanyRec{};
    // A repair offered at the open and declined is known to the user; what the system refused is
    // said.
    if (failure && storage::IsamError != storage::IsamErrIndexDefective) *failure = unreadable.what();
    return LastCompanyStatus::CompanyUnread;
  }
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
