#pragma once
// The system's own reason for a step on a data file that failed, for the messages that say so:
// "Delete operation failed: No space left on device". The engine's status keeps only its own
// code; the errno behind it is kept beside it by the engine's file layer.

#include <stdexcept>
#include <string>

namespace storage {
class DataFileUnit;
}

namespace records {

// The text of the errno that made the engine's last call fail ("Input/output error"); empty when
// that call did not fail on a system call (a missing key, a lock) or nothing failed. Ask before
// anything else runs on the engine.
std::string SystemReason();

// The system's reason for a file call that failed with err, in the user's words: the system's text,
// but "in use by another program" for a file that another open holds.
std::string FileFailureReason(int err);

// The failure followed by the reason, when there is one: "Delete operation failed: No space left
// on device", "Add Late Fee Failed. No space left on device".
std::string WithReason(const std::string& failure, const std::string& reason);

// Why the last open or read of the unit's file failed, in the user's words with the system's
// reason: "the file 12C.DAT could not be opened: Permission denied" when it was the open, "the file
// 12C.DAT could not be read: Input/output error" when the system failed a later step; empty when
// the system refused nothing (a key not found, a question answered no).
std::string DataFileFailure(const storage::DataFileUnit& unit);

// A file that a report, list, statement, label run, letter merge or export needs cannot be used
// now: what() says which and why, in the words the managers use. No figures are shown then, and
// never "no records" or "zero": those are said only of files that were read.
class FileUnusable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Whether the engine's last call failed only because the unit's file is not there (none made yet
// for this company): it holds nothing, and nothing failed.
[[nodiscard]] bool DataFileMissing();

// After an engine call on the unit's file failed: "The file 1I.DAT cannot be opened now:
// Permission denied.", "The file 1I.DAT cannot be read now: Input/output error.", the refusal when
// a posting that waits to be undone holds the file, or the engine's own failure when the system
// refused nothing ("The file 1I.DAT cannot be read now: its index file is damaged and has not been
// rebuilt."). Ask before anything else runs on the engine.
std::string DataFileUnusableText(const storage::DataFileUnit& unit);
// The same for a data file by its name ("12I.DAT").
std::string DataFileUnusableText(const std::string& dataFileName);
// Throws FileUnusable with DataFileUnusableText.
[[noreturn]] void ThrowFileUnusable(const storage::DataFileUnit& unit);
[[noreturn]] void ThrowFileUnusable(const std::string& dataFileName);

// Whether the engine's last call failed only at the end of what was walked (a key not found, the
// end of the index or of the records): nothing more is there, and nothing failed.
[[nodiscard]] bool IsEndOfWalk();

// A step that did not happen fails the action (a posting is then undone whole): throws
// std::runtime_error with the failure and the system's reason when done is false.
void RequireDone(bool done, const std::string& failure);

}  // namespace records
