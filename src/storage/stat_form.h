#pragma once
// The shared progress window: three centred lines in a frame, shown while a rebuild runs (and
// reused by other long runs with their own caption and lines). It has no buttons and no close
// box: a run it reports cannot be stopped from it.

#include <QFrame>
#include <QLabel>

#include "platform/ui/form.h"

namespace storage {

class TStatForm : public platform::ui::Form {
 public:
  explicit TStatForm(QWidget* parent = nullptr);

  // Empties the three lines and lets the window repaint.
  void ClearStatusLines();

  QFrame* Bevel1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;

 protected:
  void FormShow() override;
  void keyPressEvent(QKeyEvent* event) override;
};

// The one instance, made at start-up (or at the first rebuild of a run that has none yet).
extern TStatForm* StatForm;
TStatForm& EnsureStatForm();

}  // namespace storage
