#pragma once
// The products the typing tests of the entry forms put on a line: one of each kind a code's
// look-up treats apart, each at 10.00 (its price and its cost), so that a quantity of 3 is 30.00
// on an invoice and on a purchase order alike; and the keys a clerk types for such a line.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/ui/support/ui_script.h"
#include "support/books_check.h"

class QAbstractItemView;
class QModelIndex;

namespace testing_support {

struct TypedProduct {
  const char* Kind;  // what the look-up meets
  const char* Code;
  const char* OnHand;
  bool NonStock;
  bool OnHold;  // the look-up says so in a message box
};

// Short of stock whether a line sells or orders one: the line's number turns "CS".
inline constexpr TypedProduct kTypedProducts[] = {
    {"in stock", "STOCK5", "100", false, false},
    {"short of stock", "SHORT5", "-5", false, false},
    {"non-stock", "NOSTOCK5", "0", true, false},
    {"short of stock, on hold", "HOLD5", "-5", false, true},
};

// Adds every product of the table to the open product file, and its stock to `stock`.
void FileTypedProducts(StockBefore& stock);

// How the keys of a line reach the grid: at a clerk's pace, the event loop running between them,
// or in one burst, as a window that stopped for a moment gets them.
enum class Pace { Clerk, Burst };
inline constexpr Pace kPaces[] = {Pace::Clerk, Pace::Burst};
const char* PaceName(Pace pace);

// The keys a clerk types for a line after its product code, and what the posted line then holds.
struct TypedLine {
  const char* Keys;
  const char* QuantityAndExtension;
};
inline constexpr TypedLine kTypedLines[] = {
    {"\t3\t", "3 30.00"},          // the quantity; the product's own price or cost
    {"\t3\t\t7.50\t", "3 22.50"},  // the quantity and a price typed over the product's
};

// Runs `typeLine(pace, keys, product)` for every pace, every line's keys and every product.
template <class TypeLine>
void ForEveryTypedLine(TypeLine typeLine) {
  for (const Pace pace : kPaces)
    for (const TypedLine& keys : kTypedLines)
      for (const TypedProduct& product : kTypedProducts) {
        SCOPED_TRACE(std::string(PaceName(pace)) + ", keys " + keys.Keys + ", " + product.Kind);
        typeLine(pace, keys, product);
      }
}

// Types the product's code (in lower case) into the grid's cell `codeCell`, then `keys`, the grid
// having the focus; the hold notice of the code's look-up is answered on `ui`.
void TypeProductLine(QAbstractItemView& grid, const QModelIndex& codeCell, const TypedProduct& product,
                     const QString& keys, Pace pace, UiScript& ui);

// Three lines typed in one burst from `firstCode`, the grid having the focus: STOCK5, 3 at 7.50 and
// NOSTOCK5, 2 at 4.25, then SHORT5 left in its code cell. `ok` is chosen: it looks that code up
// and keeps the form, saying so; the third line then shows the product's 10.00 in `priceColumn`,
// and `ok` is chosen again. Posted, the lines are 3 22.50, 2 8.50 and 1 10.00: 41.00.
void TypeThreeLinesInOneBurstThenChooseOK(QAbstractItemView& grid, const QModelIndex& firstCode,
                                          int priceColumn, const std::function<void()>& ok, UiScript& ui);

// The quantity and the extension a stored line's text holds (invoice and PO lines alike), as
// "3 30.00".
std::string QuantityAndExtension(const std::string& lineText);

}  // namespace testing_support
