#include "exchange/restore_mark.h"

#include <sys/stat.h>

#include <QByteArray>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <set>
#include <sstream>

#include "exchange/backup_files.h"
#include "exchange/restore_files.h"
#include "platform/files/file.h"
#include "platform/text/upper_case.h"
#include "storage/posting_journal.h"

namespace exchange {

namespace {

constexpr char kFolderPrefix[] = ".restore-";
constexpr char kMarkHeading[] = "KESTRAVA RESTORE 2";
constexpr char kFirstMarkHeading[] = "KESTRAVA RESTORE 1";
// The largest mark read: some hundred thousand files.
constexpr int64_t kLargestMark = int64_t{64} << 20;

// A field written into a line of the mark: no tab or line break of its own.
std::string Field(const std::string& text) {
  std::string field = text;
  std::replace_if(
      field.begin(), field.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return field;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.emplace_back();
  return fields;
}

// The lines the "end" line counts.
size_t LineCount(const RestorePlan& plan) {
  return plan.items.size() + plan.journals.size() + plan.away.size();
}

bool IsFlag(const std::string& field) {
  return field == "0" || field == "1";
}

bool ReadNumber(const std::string& field, uint64_t* number) {
  if (field.empty() || field.size() > 20 ||
      !std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  errno = 0;
  *number = std::strtoull(field.c_str(), nullptr, 10);
  return errno == 0;
}

bool IsLowerHex(const std::string& field) {
  return std::all_of(field.begin(), field.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool IsSha256(const std::string& field) {
  return field.size() == 64 && IsLowerHex(field);
}

// Bytes as lower-case hex, two digits a byte; and back, nothing when the field is not such.
std::string Hex(const std::string& bytes) {
  return QByteArray::fromStdString(bytes).toHex().toStdString();
}

std::optional<std::string> Unhex(const std::string& field) {
  if (field.size() % 2 != 0 || !IsLowerHex(field)) return std::nullopt;
  return QByteArray::fromHex(QByteArray::fromStdString(field)).toStdString();
}

// The identity fields of a "file" line (from its fifth on).
bool ReadIdentity(const std::vector<std::string>& fields, StagedIdentity* staged) {
  uint64_t size = 0;
  if (!ReadNumber(fields[4], &staged->device) || !ReadNumber(fields[5], &staged->inode) ||
      !ReadNumber(fields[6], &size) || size > uint64_t{INT64_MAX} || !IsSha256(fields[7]))
    return false;
  staged->size = static_cast<int64_t>(size);
  staged->sha256 = fields[7];
  return true;
}

bool IsFileLine(const std::vector<std::string>& fields, size_t count) {
  return fields.size() == count && fields[0] == "file" && IsPlainFileName(fields[1]) &&
         IsPlainFileName(fields[2]) && IsFlag(fields[3]);
}

// A "file", "journal" or "away" line into the plan; false for anything else. A mark of the
// layout before has "file" lines without the staged file's identity.
bool ReadLine(const std::vector<std::string>& fields, bool firstLayout, RestorePlan* plan) {
  if (IsFileLine(fields, firstLayout ? 4 : 8)) {
    RestoreItem item{fields[1], fields[2], fields[3] == "1", {}};
    if (!firstLayout && !ReadIdentity(fields, &item.staged)) return false;
    plan->items.push_back(item);
    return true;
  }
  if (fields.size() == 5 && fields[0] == "journal" && IsPlainFileName(fields[1]) &&
      storage::IsPostingJournalName(fields[1]) && IsFlag(fields[3])) {
    plan->journals.push_back({fields[2], fields[1], fields[3] == "1", fields[4], {}});
    return true;
  }
  if (fields.size() == 2 && fields[0] == "away" && IsPlainFileName(fields[1])) {
    plan->away.push_back(fields[1]);
    return true;
  }
  return false;
}

// Whether the plan names a live file, or a staged one, twice: whatever it meant by that, it cannot
// be finished or undone as one restore.
bool NamesAFileTwice(const RestorePlan& plan) {
  std::set<std::string> live, staged;
  const auto once = [](std::set<std::string>& seen, const std::string& name) {
    return seen.insert(platform::text::UpperCase(name)).second;
  };
  for (const RestoreItem& item : plan.items)
    if (!once(live, item.target) || !once(staged, item.name)) return true;
  for (const std::string& name : plan.away)
    if (!once(live, name)) return true;
  // A retired journal may be named as moved away too (its posting touched it); never twice as a
  // journal, nor as a file the restore places.
  std::set<std::string> journals;
  for (const storage::LeftJournal& journal : plan.journals) {
    const std::string name = platform::text::UpperCase(journal.Name);
    if (!journals.insert(name).second ||
        std::any_of(plan.items.begin(), plan.items.end(),
                    [&](const RestoreItem& item) { return platform::text::UpperCase(item.target) == name; }))
      return true;
  }
  return false;
}

}  // namespace

bool IsRestoreFolderName(const std::string& name) {
  const size_t prefix = sizeof kFolderPrefix - 1;
  return name.size() == prefix + 6 && name.compare(0, prefix, kFolderPrefix) == 0 &&
         std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

bool IsSafetyFolderName(const std::string& name) {
  return IsPlainFileName(name) && name.starts_with(SafetyFolderName);
}

std::string EncodeRestoreMark(const RestorePlan& plan) {
  std::string bytes =
      std::string(kMarkHeading) + "\nfolder\t" + plan.folder + "\nsafety\t" + Field(plan.safety) + "\n";
  if (plan.earlierMark)
    bytes += "earlier\t" + std::to_string(plan.earlierMarkTime) + "\t" + Hex(*plan.earlierMark) + "\n";
  for (const RestoreItem& item : plan.items)
    bytes += "file\t" + item.name + "\t" + item.target + "\t" + (item.hadOld ? "1" : "0") + "\t" +
             std::to_string(item.staged.device) + "\t" + std::to_string(item.staged.inode) + "\t" +
             std::to_string(std::max<int64_t>(item.staged.size, 0)) + "\t" + item.staged.sha256 + "\n";
  for (const storage::LeftJournal& journal : plan.journals)
    bytes += "journal\t" + journal.Name + "\t" + journal.Company + "\t" + (journal.Waiting ? "1" : "0") +
             "\t" + Field(journal.What) + "\n";
  for (const std::string& name : plan.away) bytes += "away\t" + name + "\n";
  return bytes + "end\t" + std::to_string(LineCount(plan)) + "\n";
}

std::optional<RestorePlan> DecodeRestoreMark(const std::string& bytes) {
  std::stringstream in(bytes);
  std::string line;
  if (!std::getline(in, line) || (line != kMarkHeading && line != kFirstMarkHeading)) return std::nullopt;
  const bool firstLayout = line == kFirstMarkHeading;
  if (!std::getline(in, line)) return std::nullopt;
  std::vector<std::string> fields = SplitFields(line);
  if (fields.size() != 2 || fields[0] != "folder" || !IsRestoreFolderName(fields[1])) return std::nullopt;
  RestorePlan plan;
  plan.folder = fields[1];
  if (!firstLayout) {
    if (!std::getline(in, line)) return std::nullopt;
    fields = SplitFields(line);
    if (fields.size() != 2 || fields[0] != "safety" || !IsSafetyFolderName(fields[1])) return std::nullopt;
    plan.safety = fields[1];
  }
  while (std::getline(in, line)) {
    fields = SplitFields(line);
    if (!firstLayout && !plan.earlierMark && LineCount(plan) == 0 && fields.size() == 3 &&
        fields[0] == "earlier") {
      uint64_t time = 0;
      if (!ReadNumber(fields[1], &time) || time > uint64_t{INT64_MAX} ||
          !(plan.earlierMark = Unhex(fields[2])))
        return std::nullopt;
      plan.earlierMarkTime = static_cast<int64_t>(time);
      continue;
    }
    if (fields.size() == 2 && fields[0] == "end") {
      const bool whole = fields[1] == std::to_string(LineCount(plan)) && in.peek() == EOF;
      if (!whole || NamesAFileTwice(plan)) return std::nullopt;
      plan.markBytes = bytes;
      return plan;
    }
    if (!ReadLine(fields, firstLayout, &plan)) return std::nullopt;
  }
  return std::nullopt;
}

bool ReadRestoreMark(const std::string& path, std::string* bytes, int* err) {
  // Looked at first without following a link, then opened only to read it (a mark may be
  // read-only), and the file opened must be the one looked at.
  struct stat seen {};
  if (::lstat(path.c_str(), &seen) != 0) {
    *err = errno;
    return false;
  }
  if (!S_ISREG(seen.st_mode)) {
    *err = S_ISLNK(seen.st_mode) ? ELOOP : S_ISDIR(seen.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  platform::files::File file;
  int64_t size = 0;
  struct stat opened {};
  if (!file.OpenSpelled(path, platform::files::OpenMode::ReadOnly) || !file.Size(&size)) {
    *err = file.error();
    return false;
  }
  if (::fstat(file.fd(), &opened) != 0 || opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
    *err = ELOOP;  // replaced between the look and the open
    return false;
  }
  bytes->assign(static_cast<size_t>(std::clamp<int64_t>(size, 0, kLargestMark)), '\0');
  if (!bytes->empty() && !file.ReadAt(0, bytes->data(), bytes->size())) {
    *err = file.error();
    return false;
  }
  return true;
}

}  // namespace exchange
