#include "forms/printout_notice.h"

#include <QWidget>

#include "platform/print/print_window.h"
#include "platform/print/printer.h"
#include "platform/ui/message_box.h"

namespace forms {

void ShowWherePdfWent(const QString& what, const QString& caption) {
  if (platform::print::LastJobFile().isEmpty()) return;
  platform::ui::MessageBox(platform::print::PrintedNotice(what), caption, platform::ui::MsgButtons::Ok,
                           platform::ui::MsgIcon::Information);
}

void PrintWindowShowingWhere(QWidget& window) {
  platform::print::PrintWindowImage(window);
  ShowWherePdfWent(window.windowTitle(), window.windowTitle());
}

}  // namespace forms
