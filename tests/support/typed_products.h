#pragma once
// The products the typing tests of the entry forms put on a line: one of each kind a code's
// look-up treats apart, each at 10.00 (its price and its cost), so that a quantity of 3 is 30.00
// on an invoice and on a purchase order alike; and the keys a clerk types for such a line.

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

// Types the product's code into the grid's cell `codeCell`, Tab, 3 and Tab, the grid having the
// focus, as a clerk types them; the hold notice of the code's look-up is answered on `ui`.
void TypeCodeAndThree(QAbstractItemView& grid, const QModelIndex& codeCell, const TypedProduct& product,
                      UiScript& ui);

// The quantity and the extension a stored line's text holds (invoice and PO lines alike), as
// "3 30.00".
std::string QuantityAndExtension(const std::string& lineText);

}  // namespace testing_support
