// Keys typed into the line grid of the PO forms reach the posted PO as typed, whether they come at
// a clerk's pace, the event loop running between them, or in one burst: a code is looked up
// before the keys after it are handled, and a quantity or cost typed after it replaces what the
// look-up put there. New and edited POs, read back from the files.

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

#include "platform/text/amount.h"

#include "po_entry_fixture.h"
#include "purchasing/po_posting.h"
#include "support/typed_ahead.h"
#include "support/typed_products.h"

using namespace purchasing;
using testing_support::kTypedProducts;
using testing_support::Pace;
using testing_support::TypedLine;
using testing_support::TypedProduct;

namespace test_fixtures {
namespace {

class TypedQuantityTest : public POEntryTest {
 protected:
  TypedQuantityTest() { testing_support::FileTypedProducts(stock); }

  // The product's code typed on `row`, then the line's keys; then OK.
  void TypeLineAndPost(TPOEdit1& f, int row, const TypedProduct& product, const TypedLine& keys, Pace pace) {
    testing_support::TypeProductLine(*f.StringGrid1, f.Lines->index(row - 1, kPOColCode), product, keys.Keys,
                                     pace, ui);
    f.OKButtonClick();
  }

  static testing_support::EntryWindow Window(TPOEdit1& f) {
    return {&f,
            f.StringGrid1,
            kPOColCode,
            f.OKButton,
            f.POInsertLine,
            "This Product Code is already in use on this PO. Change the quantity for the existing product."};
  }

  // The stored lines from line `first` on, and the PO's net against all its lines.
  static void ExpectLinesStored(const std::string& number, int first,
                                const std::vector<std::string>& expected) {
    std::vector<records::PODetailRec> details = Details(number.c_str());
    std::sort(details.begin(), details.end(),
              [](const records::PODetailRec& a, const records::PODetailRec& b) {
                return a.LineNumber.Get() < b.LineNumber.Get();
              });
    std::vector<std::string> lines;
    platform::text::Cents extensions = 0;
    for (const records::PODetailRec& line : details) {
      extensions += testing_support::StoredExtension(line.LineText.Get());
      lines.push_back(testing_support::TypedLineAsStored(line.Product.Get(), line.LineText.Get()));
    }
    EXPECT_EQ(
        std::vector<std::string>(lines.begin() + std::min<size_t>(first - 1, lines.size()), lines.end()),
        expected);
    const records::POHeaderRec header = Header(number.c_str());
    EXPECT_EQ(header.NetAmount.Get(), platform::text::AmountText(extensions));
    EXPECT_EQ(header.POTotal.Get(),
              platform::text::AmountText(extensions +
                                         platform::text::ParseAmount(header.TaxAmount.Get()).value_or(0)));
  }

  // The stored PO holds the typed line as its line `row`, looked up: the product's description.
  static void ExpectTypedLineStored(const std::string& number, int row, const TypedProduct& product,
                                    const TypedLine& keys) {
    const std::vector<records::PODetailRec> details = Details(number.c_str());
    ASSERT_EQ(details.size(), static_cast<size_t>(row));
    const auto typed = std::find_if(details.begin(), details.end(), [&](const records::PODetailRec& d) {
      return d.LineNumber.Get() == "0" + std::to_string(row);
    });
    ASSERT_NE(typed, details.end());
    EXPECT_EQ(typed->Product.Get(), product.Code);
    EXPECT_NE(typed->LineText.Get().find(std::string("Product ") + product.Code), std::string::npos);
    EXPECT_EQ(testing_support::QuantityAndExtension(typed->LineText.Get()), keys.QuantityAndExtension);
  }
};

// "3 22.50" -> 2250 cents.
long ExtensionCents(const TypedLine& keys) {
  const std::string typed = keys.QuantityAndExtension;
  return std::lround(std::stod(typed.substr(typed.find(' ') + 1)) * 100);
}

TEST_F(TypedQuantityTest, WhatIsTypedAfterTheCodeIsWhatIsPosted) {
  testing_support::ForEveryTypedLine([&](Pace pace, const TypedLine& keys, const TypedProduct& product) {
    SCOPED_TRACE("new PO");
    std::string added;
    EXPECT_TRUE(AddPOWith([&](TPOEdit1& f) {
      PickVendor(f);
      QCoreApplication::processEvents();  // the Vendor Manager gone before the clerk types on
      added = f.INum->text().toStdString();
      TypeLineAndPost(f, 1, product, keys, pace);
    }));
    ExpectTypedLineStored(added, 1, product, keys);
    EXPECT_EQ(Header(added.c_str()).NetAmount.Get(), platform::text::FormatAmount(ExtensionCents(keys)));
    EXPECT_TRUE(ui.Done());
  });
  int number = 6001;  // above the numbers the new POs took
  testing_support::ForEveryTypedLine([&](Pace pace, const TypedLine& keys, const TypedProduct& product) {
    SCOPED_TRACE("edited PO");
    const std::string edited = std::to_string(number++);
    PostNewPO(PO(edited.c_str(), {POLine(1, "WIDGET", "10")}));
    EXPECT_TRUE(EditPOWith(edited.c_str(), [&](TPOEdit1& f) { TypeLineAndPost(f, 2, product, keys, pace); }));
    ExpectTypedLineStored(edited, 2, product, keys);
    // 10 x 2.00 and the typed line.
    EXPECT_EQ(Header(edited.c_str()).NetAmount.Get(),
              platform::text::FormatAmount(2000 + ExtensionCents(keys)));
    EXPECT_TRUE(ui.Done());
  });
  ExpectBooksBalance();
}

// Two lines in one burst: each code is looked up before the keys after it, so both lines are
// posted with their products and the figures typed. A code still in its cell when OK is chosen
// is looked up then, and the form stays for the clerk to see the line before it is posted.
TEST_F(TypedQuantityTest, LinesTypedInOneBurstArePostedAsTypedAndOKLooksUpACodeStillInItsCell) {
  std::string number;
  EXPECT_TRUE(AddPOWith([&](TPOEdit1& f) {
    PickVendor(f);
    QCoreApplication::processEvents();
    number = f.INum->text().toStdString();
    testing_support::TypeThreeLinesInOneBurstThenChooseOK(
        *f.StringGrid1, f.Lines->index(0, kPOColCode), kPOColPrice, [&f] { f.OKButtonClick(); }, ui);
  }));
  std::vector<std::string> lines;
  for (const records::PODetailRec& line : Details(number.c_str()))
    lines.push_back(line.Product.Get() + " " + testing_support::QuantityAndExtension(line.LineText.Get()));
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{"NOSTOCK5 2 8.50", "SHORT5 1 10.00", "STOCK5 3 22.50"}));
  EXPECT_EQ(Header(number.c_str()).NetAmount.Get(), "41.00");
  EXPECT_TRUE(ui.Done());
  ExpectBooksBalance();
}

// Codes typed ahead are looked up whatever the window does meanwhile, and the PO keeps every line
// it totals: each case on a new PO and on a stored one, the lines read back from the files and the
// net and total against them.
class TypedAheadTest : public TypedQuantityTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(TypedAheadTest, CodesAreLookedUpAndTheNetIsThatOfTheLinesKept) {
  const testing_support::TypedAheadCase& c = testing_support::TypedAheadCases().at(GetParam());
  SCOPED_TRACE(c.Name);
  std::string added;
  EXPECT_TRUE(AddPOWith([&](TPOEdit1& f) {
    PickVendor(f);
    QCoreApplication::processEvents();
    added = f.INum->text().toStdString();
    c.Work(Window(f), 1, ui);
  }));
  ExpectLinesStored(added, 1, c.Lines);
  ASSERT_TRUE(ui.Done());

  SCOPED_TRACE("edited PO");
  PostNewPO(PO("8001", {POLine(1, "WIDGET", "10")}));
  EXPECT_TRUE(EditPOWith("8001", [&](TPOEdit1& f) { c.Work(Window(f), 2, ui); }));
  ExpectLinesStored("8001", 2, c.Lines);
  EXPECT_TRUE(ui.Done());
  ExpectBooksBalance();
}

INSTANTIATE_TEST_SUITE_P(EveryCase, TypedAheadTest,
                         ::testing::Range<size_t>(0, testing_support::TypedAheadCases().size()));

}  // namespace
}  // namespace test_fixtures
