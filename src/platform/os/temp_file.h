#pragma once
// A scratch file in the system's temporary folder. The name is made unique by the system from a
// prefix; the file is created and opened for reading and writing at once, and deleted when the
// object goes away (a failure to delete is ignored, as nothing can be done about it then).

#include <QString>
#include <QTemporaryFile>

namespace platform::os {

class TempFile : public QTemporaryFile {
 public:
  // Throws std::runtime_error with the system's reason when no file can be created.
  explicit TempFile(const QString& prefix);
};

}  // namespace platform::os
