#pragma once
// Alt and a letter runs one command. In a window, the letters of its buttons, of the labels that
// lead to a field, of its group boxes, tab titles and menu-bar titles are all reached at once,
// so no two that can be on the screen together may share one: two on different pages of a tab
// widget or a stack never are, and anything else, hidden or disabled now, may be later. In a
// menu, the letters of its items are reached while it is open, and no two may share one either.
// A menu's own letter belongs to the menu bar or menu that holds it. Where a window's buttons are
// its row of commands (a manager's), each shown button with a caption has a letter of its own: in
// its caption, or, where the caption must stand without one, as its Alt shortcut.

#include <QString>
#include <Qt>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QMenu;
class QWidget;

namespace testing_support {

// `sharedByDesign` names pairs of captions that keep one letter on purpose
// (Qt then moves the focus between them at each press and presses neither).
void ExpectOneCommandPerAltLetter(QWidget& window, const std::string& where,
                                  const std::vector<std::pair<QString, QString>>& sharedByDesign = {});
// `shared`: a letter two items of this menu keep on purpose; pressing it steps between them and
// Enter runs the one highlighted.
void ExpectOneItemPerLetter(QMenu& menu, const std::string& where, std::optional<Qt::Key> shared = {});
void ExpectEveryButtonHasALetter(QWidget& window, const std::string& where);

}  // namespace testing_support
