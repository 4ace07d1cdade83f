#include "support/alt_letters.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTabBar>
#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace testing_support {
namespace {

// A stack between a command and its window, and the page of it the command lies on.
using Page = std::pair<const QStackedWidget*, int>;

struct Command {
  QString caption;
  const char* kind;
  std::vector<Page> pages;
};

// The key Alt goes with to reach a caption, as Qt reads its "&"; none without one.
std::optional<Qt::Key> LetterOf(const QString& caption) {
  const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
  if (mnemonic.isEmpty()) return std::nullopt;
  return mnemonic[0].key();
}

// The key Alt goes with to reach a button: its caption's, or, for a caption without one, the
// button's own Alt shortcut.
std::optional<Qt::Key> LetterOf(const QAbstractButton& button) {
  if (std::optional<Qt::Key> letter = LetterOf(button.text())) return letter;
  const QKeyCombination shortcut = button.shortcut().isEmpty() ? QKeyCombination() : button.shortcut()[0];
  if (shortcut.keyboardModifiers() != Qt::AltModifier) return std::nullopt;
  return shortcut.key();
}

std::vector<Page> PagesOf(const QWidget& widget, const QWidget& window) {
  std::vector<Page> pages;
  for (const QWidget* child = &widget; child != &window; child = child->parentWidget()) {
    if (const auto* stack = qobject_cast<const QStackedWidget*>(child->parentWidget()))
      pages.emplace_back(stack, stack->indexOf(child));
  }
  return pages;
}

// False for two commands on different pages of one stack.
bool ShownTogether(const Command& a, const Command& b) {
  for (const auto& [stack, page] : a.pages)
    for (const auto& [other, otherPage] : b.pages)
      if (stack == other && page != otherPage) return false;
  return true;
}

using Commands = std::map<Qt::Key, std::vector<Command>>;

void Add(Commands& commands, std::optional<Qt::Key> letter, const QString& caption, const char* kind,
         std::vector<Page> pages) {
  if (letter) commands[*letter].push_back({caption, kind, std::move(pages)});
}

void Add(Commands& commands, const QString& caption, const char* kind, std::vector<Page> pages) {
  Add(commands, LetterOf(caption), caption, kind, std::move(pages));
}

// Every command of the window an Alt letter reaches, by its letter.
Commands CommandsOf(QWidget& window) {
  Commands commands;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (widget->window() != &window) continue;  // a menu or another window of its own
    std::vector<Page> pages = PagesOf(*widget, window);
    if (const auto* button = qobject_cast<QAbstractButton*>(widget))
      Add(commands, LetterOf(*button), button->text(), "button", pages);
    if (const auto* label = qobject_cast<QLabel*>(widget); label && label->buddy())
      Add(commands, label->text(), "label", pages);
    if (const auto* group = qobject_cast<QGroupBox*>(widget))
      Add(commands, group->title(), "group box", pages);
    if (const auto* tabs = qobject_cast<QTabBar*>(widget))
      for (int tab = 0; tab < tabs->count(); ++tab) Add(commands, tabs->tabText(tab), "tab", pages);
    if (const auto* bar = qobject_cast<QMenuBar*>(widget))
      for (const QAction* menu : bar->actions()) Add(commands, menu->text(), "menu", pages);
  }
  return commands;
}

std::string Describe(const Command& command) {
  return std::string(command.kind) + " \"" + command.caption.toStdString() + "\"";
}

std::string Name(Qt::Key letter) {
  return "Alt+" + QKeySequence(letter).toString().toStdString();
}

}  // namespace

void ExpectOneCommandPerAltLetter(QWidget& window, const std::string& where,
                                  const std::vector<std::pair<QString, QString>>& sharedByDesign) {
  auto shared = [&](const Command& a, const Command& b) {
    return std::find(sharedByDesign.begin(), sharedByDesign.end(), std::pair(a.caption, b.caption)) !=
               sharedByDesign.end() ||
           std::find(sharedByDesign.begin(), sharedByDesign.end(), std::pair(b.caption, a.caption)) !=
               sharedByDesign.end();
  };
  for (const auto& [letter, commands] : CommandsOf(window)) {
    for (std::size_t i = 0; i < commands.size(); ++i)
      for (std::size_t j = i + 1; j < commands.size(); ++j) {
        if (shared(commands[i], commands[j])) continue;
        EXPECT_FALSE(ShownTogether(commands[i], commands[j]))
            << where << ": " << Name(letter) << " reaches both " << Describe(commands[i]) << " and "
            << Describe(commands[j]);
      }
  }
}

void ExpectOneItemPerLetter(QMenu& menu, const std::string& where, std::optional<Qt::Key> shared) {
  std::map<Qt::Key, QString> items;
  int sharing = 0;
  for (const QAction* item : menu.actions()) {
    if (item->isSeparator()) continue;
    const std::optional<Qt::Key> letter = LetterOf(item->text());
    if (!letter) continue;
    if (letter == shared) {
      ++sharing;
      continue;
    }
    const auto [first, added] = items.emplace(*letter, item->text());
    EXPECT_TRUE(added) << where << ", menu \"" << menu.title().toStdString() << "\": " << Name(*letter)
                       << " reaches both \"" << first->second.toStdString() << "\" and \""
                       << item->text().toStdString() << "\"";
  }
  // The letter kept shared is shared by exactly two items, or the exception hides nothing.
  if (shared) {
    EXPECT_EQ(sharing, 2) << where << ", menu \"" << menu.title().toStdString() << "\": " << Name(*shared);
  }
}

void ExpectEveryButtonHasALetter(QWidget& window, const std::string& where) {
  for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    if (button->window() != &window || !button->isVisibleTo(&window) || button->text().isEmpty()) continue;
    EXPECT_TRUE(LetterOf(*button).has_value())
        << where << ": button \"" << button->text().toStdString() << "\" has no Alt letter";
  }
}

}  // namespace testing_support
