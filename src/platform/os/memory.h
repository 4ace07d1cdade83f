#pragma once
// Memory the program has freed, handed back to the system.

namespace platform::os {

// Gives the system back the free memory the allocator still holds, so that a large piece of work
// that is over (a report of several hundred thousand rows) leaves the program as small as before.
void ReturnFreedMemory();

}  // namespace platform::os
