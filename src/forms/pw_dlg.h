#pragma once
// The password dialog: one edit for the system password. Each caller sets the caption
// ("Password Required", "Password Setup", ...) before showing it.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/form.h"

namespace forms {

class TPWDlg : public platform::ui::Form {
 public:
  explicit TPWDlg(QWidget* parent = nullptr);

  void FormShow() override;
  void PWHelpButnClick();

  QLabel* Label1;
  QLineEdit* Password;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* PWHelpButn;
};

extern TPWDlg* PWDlg;
// Makes PWDlg for the run (start-up calls it; later calls return the same form).
TPWDlg& CreatePWDlg();

}  // namespace forms
