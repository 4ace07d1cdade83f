#include "forms/figures_note.h"

#include <QLayout>

#include "platform/text/codepage.h"
#include "storage/posting_journal.h"

namespace forms {

QLabel* NewFiguresNote(QWidget* parent) {
  auto* note = new QLabel(parent);
  note->setTextFormat(Qt::PlainText);
  QPalette palette = note->palette();
  palette.setColor(QPalette::WindowText, QColor(160, 0, 0));
  note->setPalette(palette);
  QFont bold = note->font();
  bold.setBold(true);
  note->setFont(bold);
  note->hide();
  return note;
}

bool ShowFiguresNote(QLabel& note) {
  const std::string text = storage::WaitingPostingFiguresNote();
  note.setText(platform::text::ToQString(text));
  note.setVisible(!text.empty());
  // The window makes room for the line now, not once it has been drawn without it.
  if (QLayout* layout = note.window()->layout()) layout->activate();
  return !text.empty();
}

std::vector<std::string> WithFiguresNote(std::vector<std::string> lines) {
  const std::string note = storage::WaitingPostingFiguresNote();
  if (!note.empty()) lines.insert(lines.begin(), note);
  return lines;
}

}  // namespace forms
