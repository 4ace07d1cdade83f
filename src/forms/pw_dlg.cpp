#include "forms/pw_dlg.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "forms/form_instance.h"
#include "platform/ui/application.h"

namespace forms {

using platform::ui::Application;

TPWDlg* PWDlg = nullptr;

TPWDlg::TPWDlg(QWidget* parent)
    : Form(parent),
      Label1(new QLabel(QStringLiteral("Enter password:"), this)),
      Password(new QLineEdit(this)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)),
      CancelBtn(new QPushButton(QStringLiteral("&Cancel"), this)),
      PWHelpButn(new QPushButton(QStringLiteral("Help"), this)) {
  // No limit on the edit: what is typed is trimmed first and then cut to what the file keeps,
  // so blanks before a long password do not cost it its last characters.
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
