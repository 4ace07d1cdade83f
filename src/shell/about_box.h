#pragma once
// The about window: the program's picture, name, version and web site. A double click on the
// picture tells where the program runs (its data directory); the web-site line goes to the home
// page as the main window's home-page button does.

#include <QLabel>
#include <QPushButton>

#include "platform/ui/form.h"

namespace shell {

class TAboutBox : public platform::ui::Form {
 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  void ProgramIconDblClick();
  void WebSiteClick();

  QLabel* ProgramIcon;
  QLabel* ProductName;
  QLabel* Version;
  QLabel* Copyright;
  QLabel* Comments;
  QLabel* WebSite;
  QPushButton* OKButton;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TAboutBox* AboutBox;
TAboutBox& CreateAboutBox();

}  // namespace shell
