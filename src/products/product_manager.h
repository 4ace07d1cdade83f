#pragma once
// The "Product Manager": the products of the open company in a record browser, with every
// action on them (add, edit, clone, delete, find, the product list, the printed sheet, the bar
// code check). Invoice and PO entry open it as a product picker: they set ProductPickMode and
// ProductPickStart, show it modally and read SelectedProduct when ProductPickResult is 8.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/ui/form.h"
#include "records/product_rec.h"
#include "records/record_file.h"
#include "storage/browser/rec_browser.h"

namespace products {

// The manager's record buffer: the browser reads rows into it and every flow starts from it.
extern records::ProductRec ProductBuf;
// The product picked, and 8 in ProductPickResult once one was.
extern records::ProductRec SelectedProduct;
extern int32_t ProductPickResult;
// 1 while an entry form picks a product; the manager then starts at the key of ProductPickStart.
extern int32_t ProductPickMode;
extern records::ProductRec ProductPickStart;
// The browser's key: 1 by code, 2 by description, 3 by key code; kept between showings.
extern int32_t ProductKeyNumber;

// The windows that open the manager to pick a product (invoice entry, PO entry, the label
// wizard) say so here; while one of them is visible a double-click picks instead of editing.
void AddProductPicker(const QWidget* window);
void RemoveProductPicker(const QWidget* window);

class TEditProd : public platform::ui::Form {
 public:
  explicit TEditProd(QWidget* parent = nullptr);

  QMenuBar* MainMenu1;
  QAction* Add1;
  QAction* Edit1;
  QAction* Clone1;
  QAction* Delete1;
  QAction* Search1;
  QAction* Print1;
  QAction* ProductList1;
  QAction* AddtoLabelQueue1;
  QAction* ValidateBarCode1;
  QAction* ExporttoTextFile1;
  QAction* ImportfromTextFile1;
  QAction* Close2;
  QAction* Code1;
  QAction* ByDescription1;
  QAction* ByKeyCode1;
  QAction* PrintWindow1;
  QAction* New1;
  QMenu* PopupMenu1;
  QAction* Add2;
  QAction* Edit2;
  QAction* Clone2;
  QAction* Delete2;
  QAction* Search2;
  QAction* Print2;
  QAction* ProductList2;
  QAction* AddtoLabelQueue2;
  QAction* Close3;
  QToolButton* NewProd;
  QToolButton* EditInvoice;
  QToolButton* PClone;
  QToolButton* InvDelete;
  QToolButton* SpeedButton1;
  QToolButton* ToPrinterButn;
  QToolButton* ProdListButn;
  QToolButton* SpeedButton3;
  QToolButton* SpeedButton2;
  QLabel* Label1;
  storage::TRecBrowser* ProdBrowser;
  QLabel* StatusPanel0;
  QLabel* StatusPanel1;

  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;
  void ImportfromTextFile1Click();

  int32_t ProdBrowserBuildRow(storage::TRecBrowser* sender, storage::RowRec& rr);
  void ProdBrowserDblClick();
  void PCloneClick();
  void Print1Click();
  void ProdListButnClick();
  void ValidateBarCode1Click();
  void AddtoLabelQueue1Click();
  void FindClick();
  void Code1Click();
  void ByDescription1Click();
  void ByKeyCode1Click();
  void PrintWindow1Click();
  void HelpClick();

  // Reads the highlighted row into ProductBuf; false when there is none.
  bool ReadCurrentRow();
  // "Products: " and the number of entries of the current key.
  void ShowProductCount();
  // Positions the browser on ProductBuf under the current key.
  void GoToProduct(storage::IsamRecRef ref);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The product file while the window is shown, shared with a manager that holds it.
  std::optional<records::FileForAction> productFile_;
  void SetKeyNumber(int32_t keyNr);
  QAction* AddAction(QMenu* menu, const char* text, void (TEditProd::*handler)());
};

// The browser's heading and the text of one row.
std::string ProductBrowserHeading();
std::string ProductBrowserRow(const records::ProductRec& product);

// The manager's flows, on the highlighted row of EditProd.
void AddProduct();
void EditProduct();
void DeleteProduct();

extern TEditProd* EditProd;
TEditProd& CreateEditProd();

}  // namespace products
