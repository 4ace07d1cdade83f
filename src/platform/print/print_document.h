#pragma once
// Printing a text document (the list window's text, a letter): plain or rich text laid out on
// the printer's pages inside a half-inch margin, broken into pages between lines, as one job
// with the given title. The caller's document is not changed.

#include <QFont>
#include <QString>
#include <QStringList>

#include "platform/print/printer.h"

class QTextDocument;

namespace platform::print {

// Margin around the text on every side, in printer pixels.
inline constexpr int kDocumentMargin = kPrinterDpi / 2;

// The font at which each of the lines fits the width of a page's text: the font itself when they
// fit, else the same font made just small enough (a list whose lines must not wrap).
QFont FontFittingTextWidth(QFont font, const QStringList& lines, TPrinter& printer = Printer());

void PrintTextDocument(const QTextDocument& document, const QString& title, TPrinter& printer = Printer());

}  // namespace platform::print
