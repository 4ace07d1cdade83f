#include "forms/unusable_file.h"

#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"

namespace forms {

void TellFileUnusable(const records::FileUnusable& failure, const QString& title) {
  platform::ui::MessageBox(platform::text::ToQString(failure.what()), title, platform::ui::MsgButtons::Ok,
                           platform::ui::MsgIcon::Error);
}

bool PickerFileOpens(storage::DataFileUnit& unit, const QString& title) {
  if (unit.OpenableNow()) return true;
  TellFileUnusable(records::FileUnusable(records::DataFileUnusableText(unit)), title);
  return false;
}

}  // namespace forms
