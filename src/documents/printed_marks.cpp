#include "documents/printed_marks.h"

#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"

namespace documents {

void TellNotMarked(const std::string& document, const std::string& failure) {
  if (failure.empty()) return;
  std::string reason = failure;
  if (reason.back() != '.') reason += '.';
  platform::ui::MessageBox(
      platform::text::ToQString(document + " went out, but it could not be marked printed.  " + reason),
      QStringLiteral("Mark Printed"), platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Warning);
}

}  // namespace documents
