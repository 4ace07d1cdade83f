#include "forms/printout_notice.h"

#include <QWidget>

#include "platform/print/print_window.h"
#include "platform/print/printer.h"
#include "platform/ui/message_box.h"

namespace forms {

namespace {

void Tell(const QString& text, const QString& caption) {
  platform::ui::MessageBox(text, caption, platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Information);
}

}  // namespace

void ShowWherePdfWent(const QString& what, const QString& caption) {
  if (!platform::print::LastJobFile().isEmpty()) Tell(platform::print::PrintedNotice(what), caption);
}

void ShowWhereRunWent(const QString& what, const QString& caption) {
  if (!platform::print::LastJobFile().isEmpty())
    Tell(what + ' ' + platform::print::WhereRunWent({}) + '.', caption);
}

void PrintWindowShowingWhere(QWidget& window) {
  platform::print::PrintWindowImage(window);
  ShowWherePdfWent(window.windowTitle(), window.windowTitle());
}

}  // namespace forms
