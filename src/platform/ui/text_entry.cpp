#include "platform/ui/text_entry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolTip>
#include <QValidator>
#include <algorithm>
#include <functional>
#include <utility>

#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"

namespace platform::ui {
namespace {

using platform::text::CharactersOutsideCodepage;

// The typed characters a window's boxes left out and OK has not said yet.
const char* const kLeftOut = "kestravaLeftOutCharacters";

void NoteLeftOut(QWidget& form, const QString& characters) {
  form.setProperty(kLeftOut, CharactersOutsideCodepage(form.property(kLeftOut).toString() + characters));
}

// Says once, after the refused edit has run its course, what was refused. The message waits
// for the event loop so that it never opens inside a text box's own editing.
class RefusalNotice {
 public:
  void Schedule(QObject* owner, const QString& characters) {
    pending_ = CharactersOutsideCodepage(pending_ + characters);
    if (scheduled_) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(
        owner,
        [this] {
          scheduled_ = false;
          const QString refused = std::exchange(pending_, QString());
          MessageBox(RefusedCharactersMessage(refused), kRefusedCharacterTitle, MsgButtons::Ok,
                     MsgIcon::Warning);
        },
        Qt::QueuedConnection);
  }

 private:
  QString pending_;
  bool scheduled_ = false;
};

// One-line boxes: the box itself undoes any edit its validator calls invalid, so a typed key,
// a paste, a drop or an input method's text is refused whole and leaves the text as it was.
class CodepageValidator : public QValidator {
 public:
  explicit CodepageValidator(QObject* parent) : QValidator(parent) {}

  State validate(QString& input, int&) const override {
    const QString outside = CharactersOutsideCodepage(input);
    if (outside.isEmpty()) return Acceptable;
    notice_.Schedule(const_cast<CodepageValidator*>(this), outside);
    return Invalid;
  }

 private:
  mutable RefusalNotice notice_;
};

// Notes boxes have no validator: each change is checked when it has been made, and one that
// brought in a character outside the code page is replaced by the text it replaced.
class NotesGuard : public QObject {
 public:
  template <class Edit>
  explicit NotesGuard(Edit* edit) : QObject(edit), text_([edit] { return edit->toPlainText(); }) {
    accepted_ = text_();
    connect(edit, &Edit::textChanged, this, [this, edit] { Check(edit->document()); });
  }

 private:
  void Check(QTextDocument* document) {
    if (restoring_) return;
    const QString now = text_();
    const QString outside = CharactersOutsideCodepage(now);
    if (outside.isEmpty()) {
      accepted_ = now;
      return;
    }
    restoring_ = true;
    Restore(document, now);
    restoring_ = false;
    accepted_ = text_();
    notice_.Schedule(this, outside);
  }

  // Puts back what the last edit replaced: the part between the common start and the common end
  // of the accepted text and the new one.
  void Restore(QTextDocument* document, const QString& now) {
    qsizetype head = 0;
    const qsizetype shorter = std::min(now.size(), accepted_.size());
    while (head < shorter && now[head] == accepted_[head]) ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && now[now.size() - 1 - tail] == accepted_[accepted_.size() - 1 - tail])
      ++tail;
    QTextCursor cursor(document);
    cursor.setPosition(static_cast<int>(head));
    cursor.setPosition(static_cast<int>(now.size() - tail), QTextCursor::KeepAnchor);
    cursor.insertText(accepted_.mid(head, accepted_.size() - tail - head));
    if (auto* plain = qobject_cast<QPlainTextEdit*>(parent())) plain->setTextCursor(cursor);
    if (auto* rich = qobject_cast<QTextEdit*>(parent())) rich->setTextCursor(cursor);
  }

  std::function<QString()> text_;
  QString accepted_;
  bool restoring_ = false;
  RefusalNotice notice_;
};

// A typed key that the code page cannot hold is refused where it is typed: a beep and a short
// tip beside the box, which keeps the focus, so the keys typed after it land as typed. (A box
// opened over the typing would take those keys.)
class TypedKeyRefusal : public QObject {
 public:
  explicit TypedKeyRefusal(QWidget* box) : QObject(box), box_(box) { box->installEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const QString refused = CharactersOutsideCodepage(static_cast<QKeyEvent*>(event)->text());
    if (refused.isEmpty()) return false;
    QApplication::beep();
    NoteLeftOut(*box_->window(), refused);
    QToolTip::showText(box_->mapToGlobal(QPoint(box_->width(), 0)), RefusedKeyTip(refused), box_);
    return true;
  }

 private:
  QWidget* box_;
};

// Escape while a drop-down's list is open closes the list and goes no further. The key may come
// to the list, or, where the window system leaves the focus in the box, to the box or its edit.
class DropDownEscape : public QObject {
 public:
  explicit DropDownEscape(QComboBox* combo) : QObject(combo), combo_(combo) {
    combo->installEventFilter(this);
    combo->view()->installEventFilter(this);
  }
  void Watch(QLineEdit* edit) { edit->installEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (!key || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape || !combo_->view()->isVisible())
      return false;
    event->accept();
    if (event->type() == QEvent::KeyPress) combo_->hidePopup();
    return true;
  }

 private:
  QComboBox* combo_;
};

// Marks a widget as under the rules, so that showing its form again adds nothing twice.
bool TakeUnderRules(QWidget* widget) {
  static const char* const kUnderRules = "kestravaTextEntryRules";
  if (widget->property(kUnderRules).toBool()) return false;
  widget->setProperty(kUnderRules, true);
  return true;
}

template <class Edit>
void GuardNotes(Edit* edit) {
  if (!TakeUnderRules(edit)) return;
  edit->setTabChangesFocus(true);
  new NotesGuard(edit);
  new TypedKeyRefusal(edit);
}

void GuardLine(QLineEdit* edit) {
  if (!TakeUnderRules(edit)) return;
  // A box with a validator of its own (numbers, dates, spin boxes) already takes less than this.
  if (!edit->validator()) edit->setValidator(new CodepageValidator(edit));
  new TypedKeyRefusal(edit);
}

QString QuotedCharacters(const QString& characters) {
  QStringList quoted;
  for (qsizetype i = 0; i < characters.size(); ++i) {
    const qsizetype width = characters[i].isHighSurrogate() && i + 1 < characters.size() ? 2 : 1;
    quoted << "\"" + characters.mid(i, width) + "\"";
    i += width - 1;
  }
  return quoted.join(", ");
}

}  // namespace

void ApplyTextEntryRules(QWidget& form) {
  for (QLineEdit* edit : form.findChildren<QLineEdit*>()) GuardLine(edit);
  for (QPlainTextEdit* edit : form.findChildren<QPlainTextEdit*>()) GuardNotes(edit);
  for (QTextEdit* edit : form.findChildren<QTextEdit*>()) GuardNotes(edit);
  for (QComboBox* combo : form.findChildren<QComboBox*>()) {
    if (!TakeUnderRules(combo)) continue;
    auto* escape = new DropDownEscape(combo);
    if (combo->lineEdit()) escape->Watch(combo->lineEdit());
  }
}

void RefuseUnheldKeys(QWidget& box) {
  new TypedKeyRefusal(&box);
}

QString LeftOutCharactersMessage(const QString& characters) {
  return "Left out of what you typed, as the data files cannot hold them: " + QuotedCharacters(characters) +
         ". Only the characters of Western European text (Windows-1252) can be used.";
}

void SayLeftOutCharacters(QWidget& form) {
  const QString leftOut = form.property(kLeftOut).toString();
  if (leftOut.isEmpty()) return;
  ForgetLeftOutCharacters(form);
  MessageBox(LeftOutCharactersMessage(leftOut), kRefusedCharacterTitle, MsgButtons::Ok, MsgIcon::Warning);
}

void ForgetLeftOutCharacters(QWidget& form) {
  form.setProperty(kLeftOut, QVariant());
}

QString RefusedCharactersMessage(const QString& characters) {
  return QuotedCharacters(characters) +
         " cannot be stored in the data files and was not entered. Only the characters of Western "
         "European text (Windows-1252) can be used.";
}

QString RefusedKeyTip(const QString& characters) {
  return QuotedCharacters(characters) + " cannot be stored in the data files.";
}

}  // namespace platform::ui
