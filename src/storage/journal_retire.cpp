#include "storage/journal_retire.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/upper_case.h"
#include "storage/journal_entry.h"
#include "storage/naming.h"
#include "storage/posting_journal.h"

namespace storage {
namespace {

bool IsUpperLetter(char c) {
  return c >= 'A' && c <= 'Z';
}

bool IsDataOrIndexName(const std::string& upper) {
  const size_t dot = upper.rfind('.');
  const std::string extension = dot == std::string::npos ? std::string() : upper.substr(dot);
  return extension == ".DAT" || extension == ".IX";
}

// "12C.DAT", "12PD.IX": the company's number, then the letters of a file code (the name may cut
// them short), as data and index files are named.
bool IsFileOfCompany(const std::string& name, const std::string& company) {
  const std::string upper = platform::text::UpperCase(name);
  const std::string number = platform::text::UpperCase(company);
  const size_t dot = upper.rfind('.');
  if (dot == std::string::npos || dot <= number.size() || upper.compare(0, number.size(), number) != 0)
    return false;
  return IsDataOrIndexName(upper) &&
         std::all_of(upper.begin() + static_cast<std::ptrdiff_t>(number.size()),
                     upper.begin() + static_cast<std::ptrdiff_t>(dot), IsUpperLetter);
}

// A data or index file that all companies share (the company list).
bool IsSharedDataFile(const std::string& name) {
  const std::optional<std::string> owner = IsamDataFileOwner(name);
  return owner && owner->empty() && IsDataOrIndexName(platform::text::UpperCase(name));
}

// The company a journal's name is for: its number ends in a digit.
std::string CompanyOfJournal(const std::string& name) {
  const std::string company = name.substr(0, name.size() - (sizeof kPostingJournalSuffix - 1));
  return !company.empty() && company.back() >= '0' && company.back() <= '9' ? company : std::string();
}

// The files a journal names, each once whatever the case of its letters.
class NamedFiles {
 public:
  // A name of the data folder (never one with a folder in it); a data file comes with its index.
  void Add(const std::string& name) {
    if (name.empty() || name.find_first_of("/\\") != std::string::npos) return;
    AddOnce(name);
    const std::string upper = platform::text::UpperCase(name);
    if (upper.size() > 4 && upper.compare(upper.size() - 4, 4, ".DAT") == 0)
      AddOnce(IsamFileName(name, IsamIndexExt));
  }
  bool Holds(const std::string& name) const { return upper_.contains(platform::text::UpperCase(name)); }
  std::vector<std::string> Names() const { return names_; }

 private:
  void AddOnce(const std::string& name) {
    if (upper_.insert(platform::text::UpperCase(name)).second) names_.push_back(name);
  }
  std::vector<std::string> names_;
  std::set<std::string> upper_;
};

enum class PostingFiles {
  None,     // the journal holds no posting to undo
  Known,    // every file the posting touched or made is named
  Unknown,  // its entries cannot all be read: those named are only some of them
};

// The files the posting in the journal touched or made, as its entries name them.
PostingFiles FilesOfPosting(const std::string& journalName, NamedFiles& files) {
  platform::files::File journal;
  if (!journal.Open(journalName, platform::files::OpenMode::OpenOwn)) return PostingFiles::Unknown;
  JournalHeader header;
  JournalReader reader(journal);
  switch (reader.ReadHeader(header)) {
    case JournalRead::Entries:
      break;
    case JournalRead::Empty:
    case JournalRead::SetAside:
      return PostingFiles::None;
    case JournalRead::Damaged:
    case JournalRead::Unreadable:
      return PostingFiles::Unknown;
  }
  // A posting a start has undone already leaves only files to rebuild, which its start does.
  if (header.Stage != JournalStage::Posting) return PostingFiles::None;
  for (;;) {
    JournalEntry entry;
    switch (reader.Next(entry, false)) {
      case JournalReader::Step::Entry:
        files.Add(entry.Name);
        break;
      case JournalReader::Step::End:
        return PostingFiles::Known;
      case JournalReader::Step::Damaged:
      case JournalReader::Step::Unreadable:
        return PostingFiles::Unknown;
    }
  }
}

template <class Test>
bool AnyOf(const std::vector<std::string>& names, Test test) {
  return std::any_of(names.begin(), names.end(), test);
}

// Whether a restore of `names` retires the company's journal; journal.Files set on the way.
bool RetiredBy(const std::vector<std::string>& names, const std::vector<std::string>& folder,
               LeftJournal& journal) {
  const std::string& company = journal.Company;
  const bool ofCompany =
      AnyOf(names, [&](const std::string& name) { return IsFileOfCompany(name, company); });
  NamedFiles files;
  switch (FilesOfPosting(journal.Name, files)) {
    case PostingFiles::None:
      return ofCompany;
    case PostingFiles::Known:
      journal.Files = files.Names();
      return ofCompany || AnyOf(names, [&](const std::string& name) { return files.Holds(name); });
    case PostingFiles::Unknown:
      for (const std::string& name : folder)
        if (IsFileOfCompany(name, company)) files.Add(name);
      journal.Files = files.Names();
      return ofCompany || AnyOf(names, IsSharedDataFile) ||
             AnyOf(names, [&](const std::string& name) { return files.Holds(name); });
  }
  return ofCompany;
}

}  // namespace

std::vector<LeftJournal> JournalsRetiredBy(const std::vector<std::string>& names) {
  std::vector<std::string> folder;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(".", error))
    folder.push_back(item.path().filename().string());
  std::vector<LeftJournal> journals;
  for (const std::string& name : folder) {
    if (!IsPostingJournalName(name)) continue;
    const std::string company = CompanyOfJournal(name);
    if (company.empty() || PostingJournalHeld(company)) continue;
    const std::optional<WaitingPosting> waiting = WaitingPostingOf(company);
    LeftJournal journal{company, name, waiting.has_value(), waiting ? waiting->What : std::string(), {}};
    if (RetiredBy(names, folder, journal)) journals.push_back(journal);
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
