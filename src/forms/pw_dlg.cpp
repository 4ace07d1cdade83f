#include "forms/pw_dlg.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "forms/form_instance.h"
#include "platform/ui/application.h"
#include "records/password.h"

namespace forms {

using namespace records;

using platform::ui::Application;

TPWDlg* PWDlg = nullptr;

TPWDlg::TPWDlg(QWidget* parent)
    : Form(parent),
      Label1(new QLabel(QStringLiteral("Enter password:"), this)),
      Password(new QLineEdit(this)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)),
      CancelBtn(new QPushButton(QStringLiteral("&Cancel"), this)),
      PWHelpButn(new QPushButton(QStringLiteral("Help"), this)) {
  // The edit holds no more than the file keeps, so what is typed at the check is compared
  // with exactly what was stored.
  Password->setMaxLength(static_cast<int>(PasswordMaxLength));
  Password->setEchoMode(QLineEdit::Password);
  OKBtn->setDefault(true);
  BindModalResult(OKBtn, platform::ui::mrOk);
  BindModalResult(CancelBtn, platform::ui::mrCancel);
  connect(PWHelpButn, &QPushButton::clicked, this, [this] { PWHelpButnClick(); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(PWHelpButn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Password);
  layout->addLayout(buttons);
}

void TPWDlg::FormShow() {
  Password->clear();
  Password->setFocus();
}

void TPWDlg::PWHelpButnClick() {
  Application->HelpJump(QStringLiteral("PwordSet"));
}

TPWDlg& CreatePWDlg() {
  return FormInstance(PWDlg);
}

}  // namespace forms
