#pragma once
// The splash window shown while the program's windows are made at start-up: the program's
// picture under the caption "OV Kestrava 4". It has nothing to do of its own.

#include <QLabel>
#include <QPixmap>

#include "platform/ui/form.h"

namespace shell {

// The program's picture, painted rather than loaded so that no file can be missing; the about
// box shows it too.
QPixmap ProgramPicture(int width, int height);

class TPStart : public platform::ui::Form {
 public:
  explicit TPStart(QWidget* parent = nullptr);

  QLabel* Image1;
};

// The splash lives only while start-up makes the other windows.
extern TPStart* PStart;

}  // namespace shell
