#pragma once
// The system's own reason for a step on a data file that failed, for the messages that say so:
// "Delete operation failed: No space left on device". The engine's status keeps only its own
// code; the errno behind it is kept beside it by the engine's file layer.

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

// A step that did not happen fails the action (a posting is then undone whole): throws
// std::runtime_error with the failure and the system's reason when done is false.
void RequireDone(bool done, const std::string& failure);

}  // namespace records
