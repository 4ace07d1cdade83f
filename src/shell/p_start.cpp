#include "shell/p_start.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include "shell/main_form.h"

namespace shell {

using namespace records;

TPStart* PStart = nullptr;

QPixmap ProgramPicture(int width, int height) {
  QPixmap picture(width, height);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, QColor("#1f4e79"));
  sky.setColorAt(1, QColor("#6fa8dc"));
  painter.fillRect(picture.rect(), sky);

  QFont title("Liberation Serif");
  title.setPixelSize(height / 5);
  title.setBold(true);
  painter.setFont(title);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, height / 6, width, height / 3), Qt::AlignCenter, ProgramTitle);

  QFont subtitle("Liberation Sans");
  subtitle.setPixelSize(height / 14);
  painter.setFont(subtitle);
  painter.drawText(QRect(0, height / 2, width, height / 6), Qt::AlignCenter,
                   "Inventory, Invoicing and Purchasing");
  painter.setPen(QPen(QColor("#ffd966"), 3));
  painter.drawLine(width / 5, height * 3 / 4, width * 4 / 5, height * 3 / 4);
  return picture;
}

TPStart::TPStart(QWidget* parent) : Form(parent) {
  SetCaption(ProgramTitle);
  setWindowFlags(Qt::SplashScreen);
  Image1 = new QLabel(this);
  Image1->setPixmap(ProgramPicture(420, 240));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Image1);
}

}  // namespace shell
