#pragma once
// Python's zipfile (zip_peer.py) as the independent reader and writer of ZIP archives in the tests.

#include <QJsonArray>
#include <QJsonObject>
#include <string>
#include <vector>

namespace testing_support {

// What Python reads in the archive: {"entries": [...], "testzip": null or the first bad entry}.
// Fails the test when Python cannot read it.
QJsonObject ReadByPython(const std::string& archive);

// One entry of an archive that Python writes.
struct PeerEntry {
  std::string name;
  std::string data;
  std::string kind = "file";  // "file", "dir" or "link"
  bool damage = false;        // one byte of the stored data changed after writing
  double declaredSize = -1;   // >= 0: the size both directories give instead of the data's own
};
// Writes the archive with Python; false (and a test failure) when it cannot.
bool WriteByPython(const std::string& archive, const std::vector<PeerEntry>& entries);

}  // namespace testing_support
