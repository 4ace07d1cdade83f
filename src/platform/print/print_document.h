#pragma once
// Printing a text document (the list window's text, a letter): plain or rich text laid out on
// the printer's pages inside a half-inch margin, broken into pages between lines, as one job
// with the given title. The caller's document is not changed.

#include <QString>

#include "platform/print/printer.h"

class QTextDocument;

namespace platform::print {

// Margin around the text on every side, in printer pixels.
inline constexpr int kDocumentMargin = kPrinterDpi / 2;

void PrintTextDocument(const QTextDocument& document, const QString& title, TPrinter& printer = Printer());

}  // namespace platform::print
