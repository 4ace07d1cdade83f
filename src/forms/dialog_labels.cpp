#include "forms/dialog_labels.h"

namespace forms {

QLabel* CentredBoldLabel(QWidget* parent, const QColor& color) {
  auto* label = new QLabel(parent);
  label->setAlignment(Qt::AlignCenter);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  if (color.isValid()) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
  }
  return label;
}

}  // namespace forms
