#include "storage/journal_retire.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/upper_case.h"
#include "storage/posting_journal.h"

namespace storage {
namespace {

bool IsUpperLetter(char c) {
  return c >= 'A' && c <= 'Z';
}

// "12C.DAT", "12PD.IX": the company's number, then the letters of a file code (the name may cut
// them short), as data and index files are named.
bool IsFileOfCompany(const std::string& name, const std::string& company) {
  const std::string upper = platform::text::UpperCase(name);
  const std::string number = platform::text::UpperCase(company);
  const size_t dot = upper.rfind('.');
  if (dot == std::string::npos || dot <= number.size() || upper.compare(0, number.size(), number) != 0)
    return false;
  const std::string extension = upper.substr(dot);
  return (extension == ".DAT" || extension == ".IX") &&
         std::all_of(upper.begin() + static_cast<std::ptrdiff_t>(number.size()),
                     upper.begin() + static_cast<std::ptrdiff_t>(dot), IsUpperLetter);
}

// The company a journal's name is for: its number ends in a digit.
std::string CompanyOfJournal(const std::string& name) {
  const std::string company = name.substr(0, name.size() - (sizeof kPostingJournalSuffix - 1));
  return !company.empty() && company.back() >= '0' && company.back() <= '9' ? company : std::string();
}

bool AnyFileOfCompany(const std::vector<std::string>& names, const std::string& company) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& name) { return IsFileOfCompany(name, company); });
}

}  // namespace

std::vector<LeftJournal> JournalsOfCompaniesIn(const std::vector<std::string>& names) {
  std::vector<LeftJournal> journals;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(".", error)) {
    const std::string name = item.path().filename().string();
    if (!IsPostingJournalName(name)) continue;
    const std::string company = CompanyOfJournal(name);
    if (company.empty() || PostingJournalHeld(company) || !AnyFileOfCompany(names, company)) continue;
    const std::optional<WaitingPosting> waiting = WaitingPostingOf(company);
    journals.push_back({company, name, waiting.has_value(), waiting ? waiting->What : std::string()});
  }
  std::sort(journals.begin(), journals.end(),
            [](const LeftJournal& a, const LeftJournal& b) { return a.Name < b.Name; });
  return journals;
}

bool RetireJournal(const std::string& name, const std::string& aside, int* err) {
  return platform::files::RenameSpelledFile(name, aside, err) && platform::files::SyncFolder(name, err) &&
         platform::files::SyncFolder(aside, err);
}

}  // namespace storage
