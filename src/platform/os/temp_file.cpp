#include "platform/os/temp_file.h"

#include <QDir>
#include <stdexcept>

namespace platform::os {

TempFile::TempFile(const QString& prefix) : QTemporaryFile(QDir::tempPath() + "/" + prefix + "XXXXXX") {
  setAutoRemove(true);
  if (!open()) {
    throw std::runtime_error("Cannot create a temporary file in " + QDir::tempPath().toStdString() + ": " +
                             errorString().toStdString());
  }
}

}  // namespace platform::os
