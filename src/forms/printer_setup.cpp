#include "forms/printer_setup.h"

#include <QPrinter>

#include "platform/print/printer.h"
#include "platform/print/qt_print_backend.h"
#include "platform/ui/common_dialogs.h"

namespace forms {

bool SetUpPrinter() {
  auto* qtBackend = dynamic_cast<platform::print::QtPrintBackend*>(&platform::print::Printer().Backend());
  QPrinter printer;
  if (qtBackend && !qtBackend->PrinterName().isEmpty()) printer.setPrinterName(qtBackend->PrinterName());
  if (qtBackend && qtBackend->PrintToFile() && !qtBackend->ChosenOutputFile().isEmpty())
    printer.setOutputFileName(qtBackend->ChosenOutputFile());
  if (!platform::ui::PrinterSetupDialog(printer)) return false;
  // Tests print on a back-end of their own, which has no printer to choose.
  if (qtBackend) {
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    qtBackend->SetPrintToFile(toFile);
    qtBackend->SetOutputFile(toFile ? printer.outputFileName() : QString());
    qtBackend->SetPrinterName(printer.printerName());
  }
  return true;
}

}  // namespace forms
