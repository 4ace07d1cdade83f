#pragma once
// The "Edit Product" dialog: the entry form of one product for the Product Manager, with the
// live price calculator of the pricing methods and the checks a product passes before it is
// saved. The manager fills it from a record (LoadRecord), shows it, and on OK stores it back
// (StoreRecord).

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <optional>
#include <string>

#include "platform/ui/form.h"
#include "records/product_rec.h"

namespace products {

// "0" while the dialog adds a product (new or clone), "1" while it edits one.
extern std::string ProductEditMode;
// The trimmed, upper-cased code of the product being edited; none while adding (every code on
// file is another product's) and after the manager is shown. The uniqueness check lets a product
// keep its own code.
extern std::optional<std::string> ProductCodeBeforeEdit;
// The pricing method ("F", "M", "G", "D") and update mode ("A", "M") of the product being
// edited or cloned, checked by the dialog's show handler.
extern std::string EditProductPricingMethod;
extern std::string EditProductUpdateMode;

class TUpdProd : public platform::ui::Form {
 public:
  explicit TUpdProd(QWidget* parent = nullptr);

  QLineEdit* ProdCode;
  QLineEdit* ProdDesc;
  QLineEdit* PODesc;
  QLineEdit* KeyCode;
  QLineEdit* Location;
  QLineEdit* PrefVendor;
  QLineEdit* PSell;
  QLineEdit* ListPR;
  QLineEdit* EBPCost;
  QLineEdit* PCTMarkup;
  QLineEdit* StockBal;
  QLineEdit* Weight;
  QLineEdit* MaxQty;
  QLineEdit* MinQty;
  QLineEdit* TargetQty;
  QLineEdit* BatchNum;
  QPlainTextEdit* ProdNotes;
  QCheckBox* TaxInv;
  QCheckBox* TaxPO;
  QCheckBox* NonStock;
  QCheckBox* NonDeplete;
  QCheckBox* HoldSales;
  QRadioButton* CBFixed;
  QRadioButton* RBMarkUp;
  QRadioButton* RBMargin;
  QRadioButton* RBDiscCost;
  QRadioButton* RBAutoPrice;
  QRadioButton* RBManualPr;
  QLabel* SalesLBL;
  QLabel* ProfLBL;
  QPushButton* CalcButn;
  QPushButton* OKBtn;
  QPushButton* ProdClose;
  QPushButton* Button2;
  QStatusBar* StatusBar1;

  void FormShow() override;
  void OKBtnClick();
  void PCTMarkupChange();
  void EBPCostChange();
  void ListPRChange();
  void RBMarkUpClick();
  void RBMarginClick();
  void RBDiscCostClick();
  void CBFixedClick();
  void PSellChange();
  void CalcButnClick();
  void Button2Click();
  void ProdCloseClick();

  // The price of the checked method into SalesLBL and the profit into ProfLBL.
  void CalcProductPrice();

  // The fields from a record (numbers trimmed); the radio buttons are left to FormShow.
  void LoadRecord(const records::ProductRec& product);
  // The fields into a record, each cut to its field; the dates and the stored prices' history
  // are the caller's.
  void StoreRecord(records::ProductRec& product) const;
  // Starts the next showing with the method and update mode of the record instead of those of
  // a new product (a clone keeps what it was cloned from).
  void KeepPricingOfRecord(bool keep) { keepPricing_ = keep; }
  // The two status panels: setup date and last changed.
  void SetStatusPanels(const QString& setup, const QString& changed);

 private:
  // Shows a check's message and puts the focus on its field; the dialog stays open.
  void Refuse(QWidget* field, const QString& text, const QString& title);
  bool CheckNumbers();
  bool CheckStockLevels();
  bool CheckPricing();
  bool CheckCodeIsNew();
  void ApplyDefaults();
  std::string CheckedMethod() const;
  void SetShownPrice(const std::string& price, const std::string& profit);

  QLabel* setupPanel_;
  QLabel* changedPanel_;
  bool keepPricing_ = false;
};

extern TUpdProd* UpdProd;
TUpdProd& CreateUpdProd();

}  // namespace products
