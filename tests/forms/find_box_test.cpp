#include "forms/find_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/product_file.h"
#include "records/product_rec.h"
#include "records/scratch_file_set.h"

namespace forms {

using namespace records;
namespace {

using platform::ui::mrCancel;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using test_fixtures::ScratchFileSet;
using testing_support::UiEvent;
using testing_support::UiScript;

const QString ReadyText = "Enter the text to search for then select Find button...";

class FindBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UiScript guard;  // makes the application the forms need
    CreateFindBox();
    Add("B-100", "Bolt, hex 10mm", "9.00", "Bolt Brothers");
    Add("N-200", "Nut 10mm", "10.00", "Acme Supply");
    Add("C-300", "Caf\xE9 au lait", "2.50", "Bolt Brothers");
    Add("W-400", "Washer", "0.15", "Bolt Brothers");
  }

  // The program's forms live until the end of the run; a test's end is that here.
  void TearDown() override {
    platform::ui::Application->DestroyForms();
    FindBox = nullptr;
  }

  void Add(const char* code, const char* description, const char* price, const char* vendor) {
    ProductRec p;
    p.Code.Set(code);
    p.Description.Set(description);
    p.Price.Set(price);
    p.PreferredVendor.Set(vendor);
    file_.Add(p);
  }

  static QStringList FirstColumn(const TFindBox& f) {
    QStringList texts;
    for (int i = 0; i < f.ListView1->topLevelItemCount(); ++i) texts << f.ListView1->topLevelItem(i)->text(0);
    return texts;
  }

  ScratchFileSet file_{ProductFile, "12P", ProductRecordLength, ProductKeyDescs};
};

TEST_F(FindBoxTest, ListsTheMatchesAndClosesWithTheDoubleClickedRow) {
  UiScript ui;
  ui.OnModal<TFindBox>([](TFindBox& f) {
    EXPECT_EQ(f.Caption(), "Find Product");
    EXPECT_EQ(f.StatusBar1->currentMessage(), ReadyText);
    EXPECT_EQ(f.focusWidget(), f.FindText);
    EXPECT_FALSE(f.FindButton->isEnabled());
    EXPECT_EQ(f.ListView1->headerItem()->text(0), "Product#");
    EXPECT_EQ(f.ListView1->headerItem()->text(3), "Preferred Vendor");
    EXPECT_EQ(f.ListView1->columnWidth(1), 200);
    for (int column = 0; column < 7; ++column) EXPECT_EQ(f.ListView1->isColumnHidden(column), column >= 4);

    f.FindText->setText("   ");
    EXPECT_FALSE(f.FindButton->isEnabled());
    f.FindText->setText("bolt");
    EXPECT_TRUE(f.FindButton->isEnabled());
    f.FindButtonClick();
    EXPECT_EQ(FirstColumn(f), (QStringList{"B-100", "C-300", "W-400"}));
    EXPECT_EQ(f.StatusBar1->currentMessage(),
              "Search Complete. Found 3 items.  Double-click on first column to find matching record.");
    EXPECT_FALSE(f.FindButton->isEnabled());

    f.ListView1DblClick();  // no row chosen yet: a beep, and the dialog stays
    EXPECT_TRUE(f.InModalState());
    f.ListView1->setCurrentItem(f.ListView1->topLevelItem(1));
    f.ListView1DblClick();
  });
  const std::optional<FindRow> row = RunFind("Find Product", "Prod");
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(*row, (FindRow{"C-300", "Caf\xE9 au lait", "2.50", "Bolt Brothers", "", "", ""}));
  EXPECT_EQ(ui.Count(UiEvent::Kind::Beep), 1);
  EXPECT_TRUE(ui.Done());
}

// A double click with the mouse anywhere on the list, on a row or on the empty area below the
// rows, chooses the selected row; with none selected it beeps and the dialog stays.
TEST_F(FindBoxTest, ADoubleClickOnTheListChoosesTheSelectedRowOrBeeps) {
  struct Case {
    const char* name;
    int clickedFirst;   // the row clicked before the double click, -1 for none
    int doubleClicked;  // the row double-clicked, -1 for the empty area below the rows
    std::optional<std::string> chosen;
  };
  const Case cases[] = {
      {"empty area, no row selected", -1, -1, std::nullopt},
      {"empty area, a row selected", 1, -1, "C-300"},
      {"a row, another selected before", 0, 2, "W-400"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UiScript ui;
    ui.OnModal<TFindBox>([&c](TFindBox& f) {
      f.FindText->setText("bolt");
      f.FindButtonClick();
      ASSERT_EQ(f.ListView1->topLevelItemCount(), 3);
      QWidget* list = f.ListView1->viewport();
      auto rowPoint = [&f](int row) {
        return f.ListView1->visualItemRect(f.ListView1->topLevelItem(row)).center();
      };
      const QPoint below(
          20, rowPoint(2).y() + 3 * f.ListView1->visualItemRect(f.ListView1->topLevelItem(2)).height());
      ASSERT_LT(below.y(), list->height());
      if (c.clickedFirst >= 0) QTest::mouseClick(list, Qt::LeftButton, {}, rowPoint(c.clickedFirst));
      QTest::qWait(QApplication::doubleClickInterval() + 50);  // the click and the double click apart
      QTest::mouseDClick(list, Qt::LeftButton, {}, c.doubleClicked >= 0 ? rowPoint(c.doubleClicked) : below);
      EXPECT_EQ(f.InModalState(), !c.chosen.has_value());
    });
    const std::optional<FindRow> row = RunFind("Find Product", "Prod");
    EXPECT_EQ(row.has_value(), c.chosen.has_value());
    if (row && c.chosen) {
      EXPECT_EQ((*row)[0], *c.chosen);
    }
    EXPECT_EQ(ui.Count(UiEvent::Kind::Beep), c.chosen ? 0 : 1);
    EXPECT_TRUE(ui.Done());
  }
}

TEST_F(FindBoxTest, TypedTextIsUpperCasedInTheRecordsCodePage) {
  UiScript ui;
  ui.OnModal<TFindBox>([](TFindBox& f) {
    f.FindText->setText(QString::fromUtf8("café"));
    f.FindButtonClick();
    EXPECT_EQ(FirstColumn(f), QStringList{"C-300"});
    EXPECT_EQ(f.ListView1->topLevelItem(0)->text(1), QString::fromUtf8("Café au lait"));
  });
  EXPECT_FALSE(RunFind("Find Product", "Prod").has_value());  // left by the close box
  EXPECT_TRUE(ui.Done());
}

TEST_F(FindBoxTest, NothingFoundIsSaidAndAShowingStartsAfresh) {
  UiScript ui;
  ui.ExpectMessage("No matching items were found.", "Text to Find")
      .Icon(MsgIcon::Information)
      .Buttons(MsgButtons::Ok);
  ui.OnModal<TFindBox>([](TFindBox& f) {
    f.FindText->setText("nut");
    f.FindButtonClick();
    EXPECT_EQ(FirstColumn(f), QStringList{"N-200"});
    f.FindText->setText("sprocket");
    f.FindButtonClick();
    EXPECT_EQ(f.ListView1->topLevelItemCount(), 0);
    EXPECT_EQ(f.StatusBar1->currentMessage(), "No items were found.");
    f.Button1->click();
  });
  ui.OnModal<TFindBox>([](TFindBox& f) {
    EXPECT_TRUE(f.FindText->text().isEmpty());
    EXPECT_EQ(f.ListView1->topLevelItemCount(), 0);
    EXPECT_EQ(f.StatusBar1->currentMessage(), ReadyText);
    f.Button1->click();
  });
  FindMode = "Prod";
  EXPECT_EQ(FindBox->ShowModal(), mrCancel);
  EXPECT_EQ(FindBox->ShowModal(), mrCancel);
  EXPECT_TRUE(ui.Done());
}

TEST_F(FindBoxTest, AColumnClickSortsByThatColumnAsText) {
  UiScript ui;
  ui.OnModal<TFindBox>([](TFindBox& f) {
    f.FindText->setText("0");  // in every price and every code
    f.FindButtonClick();
    ASSERT_EQ(f.ListView1->topLevelItemCount(), 4);
    f.ListView1ColumnClick(2);  // prices compare as texts: "10.00" before "9.00"
    EXPECT_EQ(FirstColumn(f), (QStringList{"W-400", "N-200", "C-300", "B-100"}));
    f.ListView1ColumnClick(0);
    EXPECT_EQ(FirstColumn(f), (QStringList{"B-100", "C-300", "N-200", "W-400"}));
  });
  RunFind("Find Product", "Prod");
  EXPECT_TRUE(ui.Done());
}

TEST_F(FindBoxTest, AModeWithoutItsFileCannotSearch) {
  UiScript ui;
  ui.OnModal<TFindBox>([](TFindBox& f) {
    f.FindText->setText("bolt");
    EXPECT_FALSE(f.FindButton->isEnabled());
    f.FindButtonClick();
    EXPECT_EQ(f.ListView1->topLevelItemCount(), 0);
  });
  EXPECT_FALSE(RunFind("Find", "Misc").has_value());  // no file of the program is searched so
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace forms
