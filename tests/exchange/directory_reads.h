#pragma once
// Counts the folder entries this process reads (every readdir), so that a test can tell a
// procedure that reads a folder once from one that reads it again for every file.

namespace test_fixtures {

long DirectoryEntriesRead();

}  // namespace test_fixtures
