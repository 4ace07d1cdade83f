#pragma once
// The PO books company of POBooksTest with the PO entry form, the Receiving Wizard and the
// Vendor Manager made as start-up makes them, the terms list on file, and the product BOLT (40
// on hand, cost 0.50, taxed on POs) besides the fixture's products. Helpers work the form as a
// user does: through its handlers, the grid's cells and the Vendor Manager as picker.

#include <QAbstractItemView>
#include <QString>
#include <functional>
#include <initializer_list>
#include <string>

#include "po_books_fixture.h"
#include "purchasing/po_entry.h"
#include "storage/isam_types.h"

namespace test_fixtures {

class POEntryTest : public POBooksTest {
 protected:
  POEntryTest();
  ~POEntryTest() override;

  // AddPO with `work` standing in for the user at the form; true when something was written.
  bool AddPOWith(const std::function<void(purchasing::TPOEdit1&)>& work, std::string* status = nullptr);
  // EditPO of the PO `number`, with `work` at the form when it is shown.
  bool EditPOWith(const char* number, const std::function<void(purchasing::TPOEdit1&)>& work,
                  std::string* status = nullptr);
  static storage::IsamRecRef HeaderRef(const char* number);

  void PickVendor(purchasing::TPOEdit1& form);
  // Types into a cell as the user does, the row's figures following.
  static void Type(purchasing::TPOEdit1& form, int row, int column, const QString& text);
  // Types a code and presses Enter on it.
  static void EnterCode(purchasing::TPOEdit1& form, int row, const QString& code);
  static QStringList RowOf(purchasing::TPOEdit1& form, int row);
  // Takes the window's picture (a PNG into the folder named by KESTRAVA_SCREENSHOTS, when it is
  // set), which must fit a 1024 x 768 screen and show each of `parts` whole; Tab reads it in order.
  static void Screenshot(QWidget& window, const char* name, std::initializer_list<const QWidget*> parts);
  // The grid's first `rows` rows are in its visible area, none cut off.
  static void ExpectRowsShown(const QAbstractItemView& grid, int rows);
};

}  // namespace test_fixtures
