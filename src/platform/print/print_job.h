#pragma once
// One print job, begun on construction and aborted on destruction unless Finish ran. Between
// the two the hourglass cursor shows; at the end, whether the job went out or failed, the
// printer's orientation is what it was before and the cursor is restored. A failure while
// drawing (an exception) thus leaves nothing printed and the printer ready for the next job;
// the exception goes on to the caller, who must not mark anything printed, and
// TPrinter::Aborted() says so too.
//
//   PrintJob job(Printer(), "Mailing Labels");
//   ... draw on Printer().Canvas() ...
//   job.Finish();      // EndDoc; only now is the document printed
//   MarkPrinted();

#include <QString>
#include <optional>

#include "platform/print/printer.h"

namespace platform::print {

class PrintJob {
 public:
  PrintJob(TPrinter& printer, const QString& title,
           std::optional<TPrinterOrientation> orientation = std::nullopt);
  ~PrintJob();
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  void Finish();
  bool Finished() const { return finished_; }

 private:
  // Restores what the job changed, in members so that a failed BeginDoc in the constructor
  // undoes them too.
  class OrientationRestore {
   public:
    explicit OrientationRestore(TPrinter& printer) : printer_(printer), saved_(printer.Orientation()) {}
    ~OrientationRestore();

   private:
    TPrinter& printer_;
    TPrinterOrientation saved_;
  };
  class BusyCursor {
   public:
    BusyCursor();
    ~BusyCursor();

   private:
    bool shown_ = false;
  };

  TPrinter& printer_;
  OrientationRestore orientation_restore_;
  BusyCursor busy_cursor_;
  bool finished_ = false;
};

}  // namespace platform::print
