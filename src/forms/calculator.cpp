#include "forms/calculator.h"

#include <QProcess>
#include <QStandardPaths>

#include "platform/ui/message_box.h"

namespace forms {
namespace {

// Desktop calculators, the first one installed is started.
constexpr const char* Calculators[] = {"gnome-calculator", "kcalc",        "galculator", "mate-calc",
                                       "qalculate-gtk",    "qalculate-qt", "xcalc"};

}  // namespace

void RunWindowsCalculator() {
  for (const char* name : Calculators) {
    QString program = QStandardPaths::findExecutable(name);
    if (!program.isEmpty() && QProcess::startDetached(program, {})) return;
  }
  platform::ui::ShowMessage("Windows Calculator not found.");
}

}  // namespace forms
