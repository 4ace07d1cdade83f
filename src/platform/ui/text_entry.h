#pragma once
// The rules every text box of the program's windows follows. They are applied in one place: each
// time a form is shown (BasicForm::showEvent), to every text box it holds at that moment.
//
// - Records, keys and side files hold Windows-1252 text, so a box takes only characters that
//   code holds. A typed character outside it is refused, and so is a paste or a drop that holds
//   one (the whole of it). A typed key is refused with a beep and a tip beside the box, which
//   keeps the focus; a paste or a drop gets one short message naming what was refused. Nothing
//   reaches a record changed behind the user's back. Text the program itself puts into a box is
//   not refused.
// - Tab in a notes box moves on to the next field, as everywhere else; it types no tab.
// - Escape in an open drop-down closes the drop-down, not the window.

#include <QString>

class QWidget;

namespace platform::ui {

inline const QString kRefusedCharacterTitle = QStringLiteral("Character Not Allowed");

// Applies the rules to every text box and drop-down of the form not yet under them.
void ApplyTextEntryRules(QWidget& form);
// Refuses typed keys the code page cannot hold, as above, in a box made after its form was shown
// (a grid cell's editor).
void RefuseUnheldKeys(QWidget& box);

// The message shown when an entry is refused for the characters given.
QString RefusedCharactersMessage(const QString& characters);
// The tip beside a box that refused a typed key.
QString RefusedKeyTip(const QString& characters);

}  // namespace platform::ui
