#include "platform/ui/typed_work.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace platform::ui {
namespace {

void ReadCells(const QAbstractItemView& view, QStringList& values) {
  const QAbstractItemModel* model = view.model();
  if (!model || view.editTriggers() == QAbstractItemView::NoEditTriggers) return;
  for (int row = 0; row < model->rowCount(); ++row)
    for (int column = 0; column < model->columnCount(); ++column)
      values << model->index(row, column).data().toString();
}

}  // namespace

QStringList TypedWork::Read(const QWidget& form) {
  QStringList values;
  for (const QWidget* widget : form.findChildren<QWidget*>()) {
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
      values << edit->text();
    else if (auto* notes = qobject_cast<const QPlainTextEdit*>(widget))
      values << notes->toPlainText();
    else if (auto* rich = qobject_cast<const QTextEdit*>(widget))
      values << rich->toHtml();
    else if (auto* combo = qobject_cast<const QComboBox*>(widget))
      values << combo->currentText();
    else if (auto* button = qobject_cast<const QAbstractButton*>(widget); button && button->isCheckable())
      values << (button->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    else if (auto* view = qobject_cast<const QAbstractItemView*>(widget))
      ReadCells(*view, values);
  }
  return values;
}

}  // namespace platform::ui
