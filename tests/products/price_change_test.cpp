// The price change wizard over twenty products in two batches: the search by batch, the three
// methods, the stale-search refusal, writing the prices and the company's date.

#include "products/price_change.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "platform/text/amount.h"
#include "platform/ui/support/ui_script.h"
#include "products/price_batch.h"
#include "products_fixture.h"
#include "shell/permissions_apply.h"
#include "support/whole_window.h"

namespace products {

using namespace records;
namespace {

using testing_support::UiScript;

const QString NoRecords =
    "No records found. Only products setup as MANUAL pricing and match the BATCH# you entered are selected "
    "for "
    "price changes.";

class PriceChangeTest : public test_fixtures::ProductsTest {
 protected:
  // Batch 1: P01..P10, cost 10 + n, list 20 + n, price 15.00; batch 2: P11..P20 the same way.
  // P05 and P15 follow their cost automatically and are never part of a batch change.
  PriceChangeTest() {
    std::vector<ProductRec> products;
    for (int n = 1; n <= 20; ++n) {
      char code[16];
      std::snprintf(code, sizeof code, "P%02d", n);
      ProductRec p = Product(code, std::string("Product ") + code, "15.00");
      p.Cost.Set(std::to_string(10 + n) + ".00");
      p.ListPrice.Set(std::to_string(20 + n) + ".00");
      p.BatchNumber.Set(n <= 10 ? "1" : "2");
      p.PriceUpdateMode.Set(n % 10 == 5 ? "A" : "M");
      products.push_back(p);
    }
    FileProducts(products);
  }
  ~PriceChangeTest() override {
    if (PriceChg && PriceChg->isVisible()) PriceChg->Close();
  }

  TPriceChg& ShowWizard() {
    TPriceChg& wizard = CreatePriceChg();
    wizard.Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&wizard));
    return wizard;
  }

  static QString Cell(TPriceChg& wizard, int row, int column) {
    return wizard.ListView1->topLevelItem(row)->text(column);
  }
  static QStringList Column(TPriceChg& wizard, int column) {
    QStringList texts;
    for (int n = 0; n < wizard.ListView1->topLevelItemCount(); ++n) texts << Cell(wizard, n, column);
    return texts;
  }
};

TEST_F(PriceChangeTest, EachMethodPricesTheManualProductsOfTheBatchAndWritesWhatItShows) {
  struct Case {
    const char* name;
    QRadioButton* TPriceChg::*method;
    const char* percentage;
    const char* batch;
    const char* code;      // one product of the batch
    const char* newPrice;  // as listed
    const char* profit;
    const char* stored;
    const char* methodCode;
  };
  const Case cases[] = {
      {"markup", &TPriceChg::RBMrkUp, "50", "1", "P02", "18.00", "6.00", "18.00", "M"},
      {"margin", &TPriceChg::RMMarg, "20", "2", "P14", "30.00", "6.00", "30.00", "G"},
      {"discount", &TPriceChg::RBDisc, "10", "1", "P03", "20.70", "7.70", "20.70", "D"},
      {"negative discount", &TPriceChg::RBDisc, "-10", "2", "P16", "39.60", "13.60", "39.60", "D"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string before = StoredProduct(c.code)->Price.Get();
    const std::string otherBefore = StoredProduct(std::string(c.batch) == "1" ? "P12" : "P02")->Price.Get();
    TPriceChg& wizard = ShowWizard();
    EXPECT_EQ(wizard.Label1->text(),
              "Last Price Change: " + QString::fromStdString(CurrentCompany.LastPriceChangeDate.Get()));
    EXPECT_FALSE(wizard.ChgPrices->isEnabled());
    wizard.PBatchNum->setCurrentText(c.batch);
    (wizard.*c.method)->setChecked(true);
    wizard.PSPct->setText(c.percentage);
    wizard.SearchButClick();
    EXPECT_EQ(wizard.StatusBar1->currentMessage(), "9 records were found.");
    ASSERT_EQ(wizard.ListView1->topLevelItemCount(), 9);
    const int row = static_cast<int>(Column(wizard, TPriceChg::ColCode).indexOf(c.code));
    ASSERT_GE(row, 0);
    EXPECT_EQ(Cell(wizard, row, TPriceChg::ColNewPrice), c.newPrice);
    EXPECT_EQ(Cell(wizard, row, TPriceChg::ColProfit), c.profit);
    EXPECT_EQ(Cell(wizard, row, TPriceChg::ColPriceNow),
              QString::fromStdString(platform::text::FormatAmount(*platform::text::ParseAmount(before))));
    EXPECT_EQ(Cell(wizard, row, TPriceChg::ColBatch), c.batch);
    EXPECT_FALSE(Column(wizard, TPriceChg::ColCode).contains("P05"));
    EXPECT_FALSE(Column(wizard, TPriceChg::ColCode).contains("P15"));
    EXPECT_TRUE(wizard.ChgPrices->isEnabled());

    UiScript ui;
    ui.ExpectMessage("The prices changes have been made.", "Operation Complete")
        .Icon(platform::ui::MsgIcon::Information);
    wizard.ChgPricesClick();
    EXPECT_TRUE(ui.Done());
    EXPECT_FALSE(wizard.isVisible());

    const ProductRec changed = *StoredProduct(c.code);
    EXPECT_EQ(changed.Price.Get(), c.stored);
    EXPECT_EQ(changed.PreviousPrice.Get(), before);
    EXPECT_EQ(changed.Percentage.Get(), c.percentage);
    EXPECT_EQ(changed.PricingMethod.Get(), c.methodCode);
    EXPECT_EQ(changed.PriceChangeDate.Get(), "03/05/2026");
    const bool first = std::string(c.batch) == "1";
    EXPECT_EQ(StoredProduct(first ? "P05" : "P15")->Price.Get(), "15.00");      // automatic pricing
    EXPECT_EQ(StoredProduct(first ? "P12" : "P02")->Price.Get(), otherBefore);  // the other batch
    EXPECT_EQ(CurrentCompany.LastPriceChangeDate.Get(), "03/05/2026");
    EXPECT_EQ(StoredCompany().LastPriceChangeDate.Get(), "03/05/2026");
  }
}

TEST_F(PriceChangeTest, AChangeAfterTheSearchAsksForANewSearchBeforeAnythingIsWritten) {
  TPriceChg& wizard = ShowWizard();
  wizard.RBMrkUp->setChecked(true);
  wizard.PSPct->setText("50");
  wizard.SearchButClick();
  ASSERT_TRUE(wizard.ChgPrices->isEnabled());

  const std::function<void()> changes[] = {
      [&] { wizard.PSPct->setText("60"); },
      [&] { wizard.RBDisc->setChecked(true); },
      [&] { wizard.PBatchNum->setCurrentText("2"); },
  };
  for (const auto& change : changes) {
    SCOPED_TRACE(&change - changes);
    change();
    EXPECT_FALSE(wizard.ChgPrices->isEnabled());
    wizard.ChgPricesClick();  // a stale list is never written
    EXPECT_EQ(StoredProduct("P02")->Price.Get(), "15.00");
    wizard.SearchButClick();
    EXPECT_TRUE(wizard.ChgPrices->isEnabled());
  }
  EXPECT_EQ(Cell(wizard, 0, TPriceChg::ColBatch), "2");
  EXPECT_EQ(StoredCompany().LastPriceChangeDate.Get(), "01/02/2026");
}

TEST_F(PriceChangeTest, WithoutAMethodTheListShowsNoPriceAndNothingCanBeWritten) {
  TPriceChg& wizard = ShowWizard();
  wizard.PBatchNum->setCurrentText(" 1");  // batches compare trimmed
  wizard.PSPct->setText("5");
  wizard.SearchButClick();
  ASSERT_EQ(wizard.ListView1->topLevelItemCount(), 9);
  EXPECT_EQ(Column(wizard, TPriceChg::ColNewPrice), QStringList(9, "0"));
  EXPECT_EQ(Column(wizard, TPriceChg::ColProfit), QStringList(9, "0"));
  EXPECT_FALSE(wizard.ChgPrices->isEnabled());
  wizard.ChgPricesClick();
  EXPECT_EQ(StoredProduct("P01")->Price.Get(), "15.00");
}

TEST_F(PriceChangeTest, APercentageThatIsMissingWrongOrAFullMarginIsRefused) {
  TPriceChg& wizard = ShowWizard();
  struct Case {
    const char* percentage;
    bool margin;
    const char* message;
  };
  const Case cases[] = {
      {"", false, "The Percentage is not specified. Example: 8.125"},
      {"0", false, "The Percentage is not specified. Example: 8.125"},
      {"ten", false, "The Percentage must be a valid number. Example: 10.00"},
      {"100", true, "A margin must be less than 100 percent. A margin of 100 percent or more has no price."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.percentage);
    (c.margin ? wizard.RMMarg : wizard.RBMrkUp)->setChecked(true);
    wizard.PSPct->setText(c.percentage);
    UiScript ui;
    ui.ExpectMessage(c.message, "New Percentage");
    wizard.SearchButClick();
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(wizard.ListView1->topLevelItemCount(), 0);
    EXPECT_EQ(wizard.focusWidget(), wizard.PSPct);
  }
  wizard.RBMrkUp->setChecked(true);
  wizard.PSPct->setText("5");
  wizard.PBatchNum->setCurrentText("7");
  UiScript ui;
  ui.ExpectMessage(NoRecords, "No Records Found");
  wizard.SearchButClick();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(wizard.StatusBar1->currentMessage(), "0 records were found.");
  EXPECT_FALSE(wizard.ChgPrices->isEnabled());
}

TEST_F(PriceChangeTest, AProductFileLeftUnrepairedStopsTheSearchWithoutAnyResult) {
  std::filesystem::remove("1P.IX");
  TPriceChg& wizard = ShowWizard();
  wizard.RBMrkUp->setChecked(true);
  wizard.PSPct->setText("5");
  UiScript ui;
  ui.ExpectMessage("Index file is defective.  Rebuild?", "Products").Answer(platform::ui::mrNo);
  ui.ExpectMessage("The file 1P.IX cannot be opened now: No such file or directory.", "Price Change Wizard");
  wizard.SearchButClick();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(wizard.ListView1->topLevelItemCount(), 0);
  EXPECT_FALSE(wizard.ChgPrices->isEnabled());
  EXPECT_TRUE(wizard.StatusBar1->currentMessage().isEmpty());
}

// A product file the system refuses is said with its reason, at the search and at the change:
// never "No records found", never a change that seems to have run.
TEST_F(PriceChangeTest, AProductFileTheSystemRefusesIsSaidAndNothingIsListedOrChanged) {
  TPriceChg& wizard = ShowWizard();
  wizard.PBatchNum->setCurrentText("1");
  wizard.RBMrkUp->setChecked(true);
  wizard.PSPct->setText("5");
  const auto refused = [&](const std::function<void()>& click) {
    std::filesystem::permissions("1P.DAT", std::filesystem::perms::none);
    UiScript ui;
    ui.ExpectMessage("The file 1P.DAT cannot be opened now: Permission denied.", "Price Change Wizard");
    {
      testing_support::PermissionsApply asAUser;
      click();
    }
    std::filesystem::permissions("1P.DAT",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_TRUE(ui.Done());
    EXPECT_TRUE(wizard.StatusBar1->currentMessage().isEmpty());
  };
  refused([&] { wizard.SearchButClick(); });
  EXPECT_EQ(wizard.ListView1->topLevelItemCount(), 0);
  EXPECT_FALSE(wizard.ChgPrices->isEnabled());

  wizard.SearchButClick();
  ASSERT_EQ(wizard.ListView1->topLevelItemCount(), 9);
  refused([&] { wizard.ChgPricesClick(); });
  EXPECT_EQ(StoredProduct("P01")->Price.Get(), "15.00");
  EXPECT_TRUE(wizard.isVisible());
}

TEST_F(PriceChangeTest, PricesOfAMillionAndMoreAreStoredWhole) {
  ProductRec big = Product("BIG", "Crane", "900000.00");
  big.Cost.Set("999999.99");
  big.ListPrice.Set("1000000.00");
  big.PriceUpdateMode.Set("M");
  big.BatchNumber.Set("9");
  FileProducts({big});
  TPriceChg& wizard = ShowWizard();
  wizard.PBatchNum->setCurrentText("9");
  wizard.RBMrkUp->setChecked(true);
  wizard.PSPct->setText("10");
  wizard.SearchButClick();
  ASSERT_EQ(wizard.ListView1->topLevelItemCount(), 1);
  EXPECT_EQ(Cell(wizard, 0, TPriceChg::ColNewPrice), "1,099,999.99");
  EXPECT_EQ(Cell(wizard, 0, TPriceChg::ColProfit), "100,000.00");
  // Every column shows whole, the batch number last, without scrolling sideways.
  const QFontMetrics metrics(wizard.ListView1->font());
  int columns = 0;
  for (int column = 0; column < TPriceChg::ColumnCount; ++column) {
    columns += wizard.ListView1->columnWidth(column);
    for (const QString& text : {Cell(wizard, 0, column), wizard.ListView1->headerItem()->text(column)})
      EXPECT_GT(wizard.ListView1->columnWidth(column), metrics.horizontalAdvance(text)) << text.toStdString();
  }
  EXPECT_LE(columns, wizard.ListView1->viewport()->width());
  testing_support::ExpectWholeWindow(wizard, "price_change_wizard");
  UiScript ui;
  ui.ExpectMessage("The prices changes have been made.", "Operation Complete");
  wizard.ChgPricesClick();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(StoredProduct("BIG")->Price.Get(), "1099999.99");

  // A price that cannot fit the field is listed without one and left alone.
  wizard.Show();
  wizard.PSPct->setText("1000");
  UiScript refused;
  refused.ExpectMessage(
      "1 of these products have no new price (it would not fit the price field, or their cost or list price "
      "is not "
      "a number). They are left as they are.",
      "New Price");
  wizard.SearchButClick();
  EXPECT_TRUE(refused.Done());
  EXPECT_EQ(Cell(wizard, 0, TPriceChg::ColNewPrice), "");
  EXPECT_FALSE(wizard.ChgPrices->isEnabled());
}

TEST_F(PriceChangeTest, ColumnsSortByTheirTexts) {
  TPriceChg& wizard = ShowWizard();
  wizard.PBatchNum->setCurrentText("2");
  wizard.RBDisc->setChecked(true);
  wizard.PSPct->setText("50");
  wizard.SearchButClick();
  ASSERT_EQ(wizard.ListView1->topLevelItemCount(), 9);
  wizard.ListView1ColumnClick(TPriceChg::ColNewPrice);
  QStringList prices = Column(wizard, TPriceChg::ColNewPrice);
  QStringList sorted = prices;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(prices, sorted);
  EXPECT_EQ(prices.first(), "15.50");
  wizard.ListView1ColumnClick(TPriceChg::ColCode);
  EXPECT_EQ(Cell(wizard, 0, TPriceChg::ColCode), "P11");
  EXPECT_EQ(Cell(wizard, 8, TPriceChg::ColCode), "P20");
}

}  // namespace
}  // namespace products
