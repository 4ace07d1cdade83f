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
// - A typed key refused leaves only a tip, easily missed among fast typing. So the form keeps the
//   characters its boxes refused that way since it was shown, and OK says them once, before
//   anything is stored (Form does it when OK ends its modal run; a form that stores before it
//   closes says them itself first). A paste or a drop was told at once and is not told again.
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

// What OK says of the typed characters left out, and when: SayLeftOutCharacters shows the
// message when the form's boxes refused typed keys since it was shown or last said them, and
// forgets them; ForgetLeftOutCharacters starts afresh (each showing of the form).
QString LeftOutCharactersMessage(const QString& characters);
void SayLeftOutCharacters(QWidget& form);
void ForgetLeftOutCharacters(QWidget& form);

// The message shown when an entry is refused for the characters given.
QString RefusedCharactersMessage(const QString& characters);
// The tip beside a box that refused a typed key.
QString RefusedKeyTip(const QString& characters);

}  // namespace platform::ui
