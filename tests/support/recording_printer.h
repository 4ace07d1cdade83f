#pragma once
// The program's printer on the recording back-end for the life of a test: what the printouts
// draw, call by call.

#include <QString>
#include <QStringList>
#include <memory>

#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"

namespace testing_support {

class ScopedRecordingPrinter {
 public:
  ScopedRecordingPrinter() {
    auto backend = std::make_unique<platform::print::RecordingPrintBackend>();
    log_ = backend.get();
    scoped_ = std::make_unique<platform::print::ScopedPrintBackend>(std::move(backend));
  }

  // Every call with the font it was drawn in.
  const QStringList& Log() const { return log_->Log(); }
  // The plain text of every text document printed.
  const QStringList& Documents() const { return log_->DocumentTexts(); }
  // Every call, without the font.
  QStringList Calls() const {
    QStringList calls;
    for (const QString& line : log_->Log()) calls << line.section(" font(", 0, 0);
    return calls;
  }

 private:
  platform::print::RecordingPrintBackend* log_;
  std::unique_ptr<platform::print::ScopedPrintBackend> scoped_;
};

}  // namespace testing_support
