// The product dialog: its checks in their order, the defaults it applies, and the live price
// calculation of the pricing methods.

#include "products/product_dialog.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/ui/support/ui_script.h"
#include "products_fixture.h"
#include "records/product_file.h"

namespace products {

using namespace records;
namespace {

using platform::ui::mrNone;
using platform::ui::mrOk;
using testing_support::UiScript;

class ProductDialogTest : public test_fixtures::ProductsTest {
 protected:
  ProductDialogTest() {
    ProductEditMode = "0";
    ProductCodeBeforeEdit.reset();
    EXPECT_TRUE(OpenProductFile());
  }

  // A product that passes every check.
  static void FillValid(TUpdProd& d) {
    d.ProdCode->setText("WIDGET-1");
    d.ProdDesc->setText("Blue widget");
    d.PODesc->setText("");
    d.KeyCode->setText("");
    for (QLineEdit* number : {d.ListPR, d.EBPCost, d.StockBal, d.Weight, d.MaxQty, d.MinQty, d.TargetQty})
      number->setText("0");
    d.PCTMarkup->setText("0");
    d.PSell->setText("12.50");
    d.BatchNum->setText("1");
    d.RBAutoPrice->setChecked(true);
  }

  // Shows the dialog; `work` stands in for the user once it is shown.
  platform::ui::TModalResult Run(UiScript& ui, const std::function<void(TUpdProd&)>& work) {
    ui.OnModal<TUpdProd>(work);
    return CreateUpdProd().ShowModal();
  }
};

struct Refusal {
  const char* name;
  std::function<void(TUpdProd&)> change;
  const char* message;
  const char* title;
  QLineEdit* TUpdProd::*focus;
};

TEST_F(ProductDialogTest, EachCheckRefusesWithItsMessageFocusesItsFieldAndKeepsTheDialogOpen) {
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(AddProductRecord(Product("TAKEN", "Red widget"), ref));
  const char* numberTitle = "Percentage Amount";
  const std::vector<Refusal> refusals = {
      {"empty code", [](TUpdProd& d) { d.ProdCode->setText("  "); }, "You need to enter a product code.",
       "Product Code", &TUpdProd::ProdCode},
      {"not Code 39", [](TUpdProd& d) { d.ProdCode->setText("AB_1"); },
       "Invalid characters or length in your Product Code for bar coding. See the online help for Bar Codes.",
       "Bar Code Error", &TUpdProd::ProdCode},
      {"empty description", [](TUpdProd& d) { d.ProdDesc->setText(""); },
       "You need to enter a product description to appear on your invoices.", "Invoice Description",
       &TUpdProd::ProdDesc},
      {"list price", [](TUpdProd& d) { d.ListPR->setText("1.2.3"); }, "The List Price must be a NUMBER.",
       "List Price", &TUpdProd::ListPR},
      {"cost", [](TUpdProd& d) { d.EBPCost->setText("ten"); }, "Your Cost must be a NUMBER.", "Your Cost",
       &TUpdProd::EBPCost},
      {"stock", [](TUpdProd& d) { d.StockBal->setText("x"); }, "The Stock balance on hand must be a NUMBER.",
       "Stock Balance", &TUpdProd::StockBal},
      {"weight", [](TUpdProd& d) { d.Weight->setText("x"); }, "The Weight must be a NUMBER.",
       "Product Weight", &TUpdProd::Weight},
      {"maximum", [](TUpdProd& d) { d.MaxQty->setText("x"); }, "The MAX Quantity must be a NUMBER.",
       "Maximum Quantity", &TUpdProd::MaxQty},
      {"minimum", [](TUpdProd& d) { d.MinQty->setText("x"); }, "The MIN Quantity must be a NUMBER.",
       "Minimum Quantity", &TUpdProd::MinQty},
      {"target", [](TUpdProd& d) { d.TargetQty->setText("x"); }, "The TARGET Quantity must be a NUMBER.",
       "Target Quantity", &TUpdProd::TargetQty},
      {"a cost too long for its field", [](TUpdProd& d) { d.EBPCost->setText("12,345,678.99"); },
       "Your Cost must be a NUMBER.", "Your Cost", &TUpdProd::EBPCost},
      {"target below minimum",
       [](TUpdProd& d) {
         d.MinQty->setText("5");
         d.TargetQty->setText("3");
         d.MaxQty->setText("9");
       },
       "The TARGET Quantity must not be less than the MINIMUM quantity.", "Target Quantity",
       &TUpdProd::TargetQty},
      {"maximum below target",
       [](TUpdProd& d) {
         d.TargetQty->setText("8");
         d.MaxQty->setText("7");
       },
       "The MAXIMUM Quantity must not be less than the TARGET quantity.", "Maximum Quantity",
       &TUpdProd::MaxQty},
      {"percentage", [](TUpdProd& d) { d.PCTMarkup->setText("abc"); },
       "This field requires a number. Example: 0 or 10 or 10.00 or 10.125 or you can leave it blank.",
       numberTitle, &TUpdProd::PCTMarkup},
      {"margin of 100 percent",
       [](TUpdProd& d) {
         d.RBMargin->setChecked(true);
         d.EBPCost->setText("10");
         d.PCTMarkup->setText("100");
       },
       "A margin must be less than 100 percent. A margin of 100 percent or more has no price.", numberTitle,
       &TUpdProd::PCTMarkup},
      {"manual without list price",
       [](TUpdProd& d) {
         d.RBManualPr->setChecked(true);
         d.EBPCost->setText("4");
       },
       "The List Price must not be zero to make this a manual batch pricing method.",
       "Manual Pricing - List Price", &TUpdProd::ListPR},
      {"manual without cost",
       [](TUpdProd& d) {
         d.RBManualPr->setChecked(true);
         d.ListPR->setText("4");
       },
       "Your cost must not be zero to make this a manual batch pricing method.", "Manual Pricing - Your Cost",
       &TUpdProd::EBPCost},
      {"another product's code", [](TUpdProd& d) { d.ProdCode->setText("taken"); },
       "This Product Code already exists for: Red widget. You need a different product code.", "Product Code",
       &TUpdProd::ProdCode},
      {"a fixed price too long for its field", [](TUpdProd& d) { d.PSell->setText("12,345,678.50"); },
       "The calculated price is too large for the price field.", "Sales Price", &TUpdProd::PSell},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.name);
    UiScript ui;
    ui.ExpectMessage(refusal.message, refusal.title);
    bool stayedOpen = false;
    Run(ui, [&](TUpdProd& d) {
      FillValid(d);
      refusal.change(d);
      d.OKBtnClick();
      stayedOpen = d.ModalResult() == mrNone && d.InModalState();
      EXPECT_EQ(d.focusWidget(), d.*refusal.focus);
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(ui.Done());
  }
}

// Tab goes down each column of the top block (the weight before the stock fields), then through
// the prices, their method, the notes and the buttons; Tab in the notes moves on.
TEST_F(ProductDialogTest, TabWalksTheFieldsInLayoutOrder) {
  UiScript ui;
  Run(ui, [](TUpdProd& d) {
    const std::vector<QWidget*> expected{
        d.ProdCode, d.ProdDesc, d.PODesc,     d.KeyCode,     d.Location,   d.PrefVendor, d.Weight,
        d.StockBal, d.MaxQty,   d.MinQty,     d.TargetQty,   d.NonStock,   d.NonDeplete, d.HoldSales,
        d.TaxInv,   d.TaxPO,    d.PSell,      d.ListPR,      d.EBPCost,    d.PCTMarkup,  d.CBFixed,
        d.RBMarkUp, d.RBMargin, d.RBDiscCost, d.RBAutoPrice, d.RBManualPr, d.BatchNum,   d.ProdNotes,
        d.CalcButn, d.OKBtn,    d.ProdClose,  d.Button2};
    EXPECT_EQ(testing_support::WalkTabs(d.ProdCode, static_cast<int>(expected.size()) - 1), expected);
    EXPECT_EQ(d.ProdNotes->toPlainText(), "");
  });
  EXPECT_TRUE(ui.Done());
}

TEST_F(ProductDialogTest, BarCodesAreCheckedInTheCompanysSymbology) {
  struct Case {
    const char* type;
    const char* code;
    bool valid;
  };
  const Case cases[] = {
      {"3", "abc-12 $/+%", true},   {"3", "AB*1", false},         {"U", "03600029145", true},
      {"U", "036000291452", true},  {"U", "036000291453", false}, {"U", "3600029145", false},
      {"E", "400638133393", true},  {"E", "4006381333931", true}, {"E", "4006381333932", false},
      {"E", "40063813339A", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.code);
    CurrentCompany.BarCodeType.Set(c.type);
    UiScript ui;
    if (!c.valid) {
      ui.ExpectMessage(
          "Invalid characters or length in your Product Code for bar coding. See the online help for Bar "
          "Codes.",
          "Bar Code Error");
    }
    const auto result = Run(ui, [&](TUpdProd& d) {
      FillValid(d);
      d.ProdCode->setText(c.code);
      d.OKBtnClick();
      if (!c.valid) d.CancelDiscarding();
    });
    EXPECT_EQ(result, c.valid ? mrOk : platform::ui::mrCancel);
    EXPECT_TRUE(ui.Done());
  }
}

TEST_F(ProductDialogTest, SavingFillsWhatWasLeftOutAndKeepsTheStoredTextsWithinTheirFields) {
  UiScript ui;
  ProductRec stored;
  ASSERT_EQ(Run(ui,
                [&](TUpdProd& d) {
                  FillValid(d);
                  for (QLineEdit* number : {d.ListPR, d.EBPCost, d.StockBal, d.Weight, d.MaxQty, d.MinQty,
                                            d.TargetQty, d.PCTMarkup})
                    number->setText("");
                  d.PSell->setText("twelve");
                  d.BatchNum->setText("0");
                  d.OKBtnClick();
                  d.StoreRecord(stored);
                }),
            mrOk);
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(stored.PODescription.Get(), "Blue widget");
  EXPECT_EQ(stored.KeyCode.Get(), "*NONE*");
  EXPECT_EQ(stored.Price.Get(), "0.00");
  EXPECT_EQ(stored.BatchNumber.Get(), "1");
  for (const auto* field :
       {&stored.ListPrice, &stored.Cost, &stored.OnHand, &stored.Weight, &stored.MaximumQuantity,
        &stored.MinimumQuantity, &stored.TargetQuantity, &stored.Percentage})
    EXPECT_EQ(field->Get(), "0");

  UiScript again;
  ASSERT_EQ(Run(again,
                [&](TUpdProd& d) {
                  FillValid(d);
                  d.BatchNum->setText("x");
                  d.PSell->setText(" 1,234.5 ");
                  d.EBPCost->setText("1,000,000.00");
                  d.MinQty->setText("5");
                  d.TargetQty->setText("5");
                  d.MaxQty->setText("5");
                  d.OKBtnClick();
                  d.StoreRecord(stored);
                }),
            mrOk);
  EXPECT_EQ(stored.BatchNumber.Get(), "1");
  EXPECT_EQ(stored.Price.Get(), "1234.50");
  EXPECT_EQ(stored.Cost.Get(), "1000000.00");
  EXPECT_EQ(stored.MinimumQuantity.Get(), "5");
}

TEST_F(ProductDialogTest, ThePriceFollowsTheCheckedMethodAsTheFieldsChange) {
  UiScript ui;
  ui.ExpectMessage(
      "This field requires a number. Example: 0 or 10 or 10.00 or 10.125 or you can leave it blank.",
      "Percentage Amount");
  Run(ui, [](TUpdProd& d) {
    FillValid(d);
    d.EBPCost->setText("10.00");
    d.ListPR->setText("20.00");
    d.PCTMarkup->setText("50");
    d.RBMarkUp->setChecked(true);
    d.RBMarkUpClick();
    EXPECT_EQ(d.SalesLBL->text(), "15.00");
    EXPECT_EQ(d.ProfLBL->text(), "5.00");
    EXPECT_EQ(d.focusWidget(), d.PCTMarkup);

    d.RBMargin->setChecked(true);
    d.RBMarginClick();
    EXPECT_EQ(d.SalesLBL->text(), "20.00");
    EXPECT_EQ(d.ProfLBL->text(), "10.00");

    d.PCTMarkup->setText("10");
    d.RBDiscCost->setChecked(true);
    d.RBDiscCostClick();
    EXPECT_EQ(d.SalesLBL->text(), "18.00");
    EXPECT_EQ(d.ProfLBL->text(), "8.00");

    d.ListPR->setText("1371.67");
    d.ListPRChange();
    EXPECT_EQ(d.SalesLBL->text(), "1,234.50");

    d.RBMargin->setChecked(true);
    d.PCTMarkup->setText("100");
    d.PCTMarkupChange();
    EXPECT_EQ(d.SalesLBL->text(), "0.00");  // no price at a margin of 100 percent

    d.PCTMarkup->setText("");
    d.PCTMarkupChange();  // an empty percentage waits for the user
    d.CalcProductPrice();
    EXPECT_EQ(d.PCTMarkup->text(), "0");

    d.PCTMarkup->setText("5%");
    d.PCTMarkupChange();  // refused with its message
    EXPECT_EQ(d.focusWidget(), d.PCTMarkup);

    d.EBPCost->setText("4.00");
    d.PSell->setText("6.25");
    d.CBFixed->setChecked(true);
    d.CBFixedClick();
    EXPECT_EQ(d.SalesLBL->text(), "6.25");
    EXPECT_EQ(d.ProfLBL->text(), "2.25");
    d.PSell->setText("7.00");
    d.PSellChange();
    EXPECT_EQ(d.ProfLBL->text(), "3.00");
    d.CancelDiscarding();
  });
  EXPECT_TRUE(ui.Done());
}

TEST_F(ProductDialogTest, ShowingSetsTheRadioButtonsTaxesAndStockFieldByModeAndCompany) {
  CurrentCompany.CalculateInvoiceTaxes = 1;
  CurrentCompany.CalculatePOTaxes = 0;
  CurrentCompany.AuditTrail.Set("Y ");
  UiScript ui;
  Run(ui, [](TUpdProd& d) {
    EXPECT_TRUE(d.CBFixed->isChecked());
    EXPECT_TRUE(d.TaxInv->isChecked());
    EXPECT_FALSE(d.StockBal->isEnabled());
    EXPECT_EQ(d.focusWidget(), d.ProdCode);
    d.CancelDiscarding();
  });

  ProductEditMode = "1";
  EditProductPricingMethod = "G";
  EditProductUpdateMode = "M";
  CurrentCompany.AuditTrail.Set("N");
  Run(ui, [](TUpdProd& d) {
    EXPECT_TRUE(d.RBMargin->isChecked());
    EXPECT_TRUE(d.RBManualPr->isChecked());
    EXPECT_TRUE(d.StockBal->isEnabled());
    d.CancelDiscarding();
  });
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace products
