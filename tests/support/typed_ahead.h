#pragma once
// What a clerk does around the keys typed into the line grid of an entry form (an invoice or a
// PO, new or edited), beyond typing: the window minimized and restored while a code waits for its
// look-up or between two keys of a quantity, another window activated between them, OK clicked
// with the mouse at a click's pace, a line inserted above a code whose look-up failed or while the
// last line holds a code, an unknown code answered by picking a product (one another line holds,
// too), a line of figures left without a code or a description, a code typed twice. Each case says what the
// document must then hold, from the line where the typing began; the products are those of typed_products.h
// (10.00 each).

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "platform/text/amount.h"
#include "platform/ui/support/ui_script.h"

class QAbstractButton;
class QAbstractItemView;
class QWidget;

namespace testing_support {

// The parts of an entry form that the cases work.
struct EntryWindow {
  QWidget* Form;
  QAbstractItemView* Grid;
  int CodeColumn;
  QAbstractButton* OK;
  QAbstractButton* InsertLine;
  const char* CodeInUse;  // what the form says of a code that another line holds
};

// A click as a hand makes it: press, a pause with the event loop running, release.
void ClickAtAUsersPace(QAbstractButton& button);

// A stored line (its product code and line text) as "CODE quantity extension description": the
// quantity as a number ("1.00" and "1" alike read "1"), the description trimmed.
std::string TypedLineAsStored(const std::string& code, const std::string& lineText);
// The extension a stored line's text holds.
platform::text::Cents StoredExtension(const std::string& lineText);

struct TypedAheadCase {
  const char* Name;
  // Works the form from line `first` on, the grid having the focus; what the form says or asks is
  // expected (and answered) on `ui`. The form is left to post: OK has been chosen.
  std::function<void(const EntryWindow& window, int first, UiScript& ui)> Work;
  // The lines the document then holds from line `first` on, as TypedLineAsStored gives them.
  std::vector<std::string> Lines;
};

// The look-ups of typed-ahead codes, whatever the window does meanwhile; and the lines a document
// keeps, and so totals: figures without a code or description, a code typed twice in one burst.
const std::vector<TypedAheadCase>& TypedAheadCases();

}  // namespace testing_support
