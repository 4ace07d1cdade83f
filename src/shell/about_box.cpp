#include "shell/about_box.h"

#include <QDir>
#include <QEvent>
#include <QGridLayout>

#include "forms/form_instance.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "shell/main_form.h"
#include "shell/p_start.h"

namespace shell {

using namespace forms;
using namespace records;

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget* parent) : Form(parent) {
  SetCaption("About");
  ProgramIcon = new QLabel(this);
  ProgramIcon->setPixmap(ProgramPicture(210, 120));
  ProgramIcon->installEventFilter(this);
  ProductName = new QLabel(ProgramTitle, this);
  QFont bold = ProductName->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 4);
  ProductName->setFont(bold);
  Version = new QLabel("Version 4.0", this);
  Copyright = new QLabel("Inventory, invoicing, receivables and purchasing", this);
  Comments = new QLabel("The books of a small business that sells from stock.", this);
  Comments->setWordWrap(true);
  WebSite = new QLabel(QString("<a href=\"home\">%1</a>").arg(HomePageAddress), this);
  WebSite->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  connect(WebSite, &QLabel::linkActivated, this, [this] { WebSiteClick(); });
  OKButton = new QPushButton("OK", this);
  OKButton->setDefault(true);
  BindModalResult(OKButton, platform::ui::mrOk);

  auto* layout = new QGridLayout(this);
  layout->addWidget(ProgramIcon, 0, 0, 5, 1);
  layout->addWidget(ProductName, 0, 1);
  layout->addWidget(Version, 1, 1);
  layout->addWidget(Copyright, 2, 1);
  layout->addWidget(Comments, 3, 1);
  layout->addWidget(WebSite, 4, 1);
  layout->addWidget(OKButton, 5, 0, 1, 2, Qt::AlignCenter);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ProgramIcon && event->type() == QEvent::MouseButtonDblClick) {
    ProgramIconDblClick();
    return true;
  }
  return Form::eventFilter(watched, event);
}

void TAboutBox::ProgramIconDblClick() {
  platform::ui::MessageBox(QDir::currentPath(), "This program is located at:");
}

void TAboutBox::WebSiteClick() {
  MainForm->SpeedButton15Click();
}

TAboutBox& CreateAboutBox() {
  return FormInstance(AboutBox);
}

}  // namespace shell
