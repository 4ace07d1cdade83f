#include "support/typed_products.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>

#include "platform/ui/application.h"
#include "records/product_file.h"
#include "support/grid_typing.h"

namespace testing_support {

namespace {

// Leading and trailing blanks off.
std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

void FileTypedProducts(StockBefore& stock) {
  for (const TypedProduct& typed : kTypedProducts) {
    records::ProductRec p{};
    p.Code.Set(typed.Code);
    p.Description.Set(std::string("Product ") + typed.Code);
    p.PODescription.Set(std::string("Product ") + typed.Code);
    p.Price.Set("10.00");
    p.Cost.Set("10.00");
    p.OnHand.Set(typed.OnHand);
    p.NonStock = typed.NonStock;
    p.HoldSales = typed.OnHold;
    storage::IsamRecRef ref = 0;
    EXPECT_TRUE(records::AddProductRecord(p, ref)) << typed.Code;
    if (!typed.NonStock) stock[typed.Code] = std::stod(typed.OnHand);
  }
}

const char* PaceName(Pace pace) {
  return pace == Pace::Clerk ? "at a clerk's pace" : "in one burst";
}

void TypeProductLine(QAbstractItemView& grid, const QModelIndex& codeCell, const TypedProduct& product,
                     const QString& keys, Pace pace, UiScript& ui) {
  if (product.OnHold)
    ui.ExpectMessage("This Product is currently placed on HOLD status.",
                     QString("Please Note! Code: ") + product.Code);
  grid.setFocus();
  grid.setCurrentIndex(codeCell);
  const QString typed = QString(product.Code).toLower() + keys;
  if (pace == Pace::Clerk)
    TypeIntoGrid(grid, typed);
  else
    TypeBurstIntoGrid(grid, typed);
}

void TypeThreeLinesInOneBurstThenChooseOK(QAbstractItemView& grid, const QModelIndex& firstCode,
                                          int priceColumn, const std::function<void()>& ok, UiScript& ui) {
  grid.setFocus();
  grid.setCurrentIndex(firstCode);
  TypeBurstIntoGrid(grid, "stock5\t3\t\t7.50\t\t\t\tnostock5\t2\t\t4.25\t\t\t\tshort5");
  ui.ExpectMessage(
      "Line 3 has a product code that was looked up only now. Check the line, then choose OK again.",
      platform::ui::Application->Title);
  ok();
  EXPECT_EQ(grid.model()->index(firstCode.row() + 2, priceColumn).data().toString(), "10.00");
  ok();
}

std::string QuantityAndExtension(const std::string& lineText) {
  // Quantity 10 characters at 0, extension 10 at 53.
  const std::string text = lineText + std::string(63, ' ');
  return Trimmed(text.substr(0, 10)) + " " + Trimmed(text.substr(53, 10));
}

}  // namespace testing_support
