// Keys typed into the line grid of the PO forms at a clerk's pace, the event loop running between
// them, reach the posted PO as typed: a quantity typed once a code's cell is left replaces what
// the line showed, whatever the code's look-up (run after the cell was left) did to the line
// meanwhile. New and edited POs, read back from the files.

#include <QCoreApplication>
#include <algorithm>

#include "po_entry_fixture.h"
#include "purchasing/po_posting.h"
#include "support/typed_products.h"

using namespace purchasing;
using testing_support::kTypedProducts;
using testing_support::TypedProduct;

namespace test_fixtures {
namespace {

class TypedQuantityTest : public POEntryTest {
 protected:
  TypedQuantityTest() { testing_support::FileTypedProducts(stock); }

  // The product's code typed on `row`, Tab, 3, Tab; then OK.
  void TypeLineAndPost(TPOEdit1& f, int row, const TypedProduct& product) {
    testing_support::TypeCodeAndThree(*f.StringGrid1, f.Lines->index(row - 1, kPOColCode), product, ui);
    f.OKButtonClick();
  }

  // The stored PO holds the typed line as its line `row`.
  static void ExpectTypedLineStored(const std::string& number, int row, const TypedProduct& product) {
    const std::vector<records::PODetailRec> details = Details(number.c_str());
    ASSERT_EQ(details.size(), static_cast<size_t>(row));
    const auto typed = std::find_if(details.begin(), details.end(), [&](const records::PODetailRec& d) {
      return d.LineNumber.Get() == "0" + std::to_string(row);
    });
    ASSERT_NE(typed, details.end());
    EXPECT_EQ(typed->Product.Get(), product.Code);
    EXPECT_EQ(testing_support::QuantityAndExtension(typed->LineText.Get()), "3 30.00");
  }
};

TEST_F(TypedQuantityTest, TheQuantityTypedAfterTheCodeIsTheOnePosted) {
  for (const TypedProduct& product : kTypedProducts) {
    SCOPED_TRACE(std::string("new PO, ") + product.Kind);
    std::string number;
    EXPECT_TRUE(AddPOWith([&](TPOEdit1& f) {
      PickVendor(f);
      QCoreApplication::processEvents();  // the Vendor Manager gone before the clerk types on
      number = f.INum->text().toStdString();
      TypeLineAndPost(f, 1, product);
    }));
    ExpectTypedLineStored(number, 1, product);
    EXPECT_EQ(Header(number.c_str()).NetAmount.Get(), "30.00");
    EXPECT_TRUE(ui.Done());
  }
  int number = 6001;
  for (const TypedProduct& product : kTypedProducts) {
    SCOPED_TRACE(std::string("edited PO, ") + product.Kind);
    const std::string edited = std::to_string(number++);
    PostNewPO(PO(edited.c_str(), {POLine(1, "WIDGET", "10")}));
    EXPECT_TRUE(EditPOWith(edited.c_str(), [&](TPOEdit1& f) { TypeLineAndPost(f, 2, product); }));
    ExpectTypedLineStored(edited, 2, product);
    EXPECT_EQ(Header(edited.c_str()).NetAmount.Get(), "50.00");  // 10 x 2.00 and the typed 30.00
    EXPECT_TRUE(ui.Done());
  }
  ExpectBooksBalance();
}

}  // namespace
}  // namespace test_fixtures
