#pragma once
// "Print Window": the window's image as it shows on screen, scaled to fit the page with its
// proportions kept, at the top-left of the page, as one job titled with the window's caption.

#include "platform/print/printer.h"

class QWidget;

namespace platform::print {

void PrintWindowImage(QWidget& window, TPrinter& printer = Printer());

}  // namespace platform::print
