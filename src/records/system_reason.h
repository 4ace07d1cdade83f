#pragma once
// The system's own reason for a step on a data file that failed, for the messages that say so:
// "Delete operation failed: No space left on device". The engine's status keeps only its own
// code; the errno behind it stays with the file it was met on.

#include <string>

#include "storage/file_block.h"

namespace records {

// The text of the errno that made the engine's last call on `file` fail ("Input/output error");
// empty when that call did not fail on a system call (a missing key, a lock) or nothing failed.
// Ask before anything else runs on the engine.
std::string SystemReason(storage::IsamFileBlock file);

// The failure followed by the reason, when there is one: "Delete operation failed: No space left
// on device", "Add Late Fee Failed. No space left on device".
std::string WithReason(const std::string& failure, const std::string& reason);

// RequireDone for a step on `file`: the failure says the system's reason.
void RequireDone(bool done, const std::string& failure, storage::IsamFileBlock file);

}  // namespace records
