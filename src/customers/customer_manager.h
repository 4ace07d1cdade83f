#pragma once
// The Customer Manager: lists the open company's customers through the record browser, by name
// or by number, and carries every customer action: add, edit (a changed number is carried into
// the customer's invoices), delete, find, the customer list report, the printed customer sheet,
// the envelope and the clipboard. It is also the customer picker of invoice entry, payments and
// the label wizard: while one of them is on screen, a double-click (or Enter) hands the
// highlighted customer to it in SelectedCustomer and closes the manager.
//
// Statements, the label queue and exports belong to windows that are not part of the
// program yet: their items are shown disabled.

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <array>
#include <cstdint>

#include "platform/ui/form.h"
#include "records/customer_rec.h"
#include "storage/browser/rec_browser.h"

namespace customers {

// The browser's key: 1 by name, 2 by number; kept between showings.
extern int32_t CustomerKeyNumber;
// 1 while invoice entry or payments show the manager to pick a customer (set by them).
extern int32_t CustomerPickMode;

// The windows the manager picks customers for (invoice entry, payments, the label wizard) make
// themselves known here; while one of them is visible, a double-click picks.
void AddCustomerPicker(const QWidget* window);
void RemoveCustomerPicker(const QWidget* window);
bool CustomerPickerVisible();

class TEditDlg;

class TDemoForm : public platform::ui::Form {
 public:
  explicit TDemoForm(QWidget* parent = nullptr);

  // The record of the highlighted row.
  records::CustomerRec CustRec;

  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

  // The record actions.
  void AddCustomer();
  void EditCustomer();
  void DeleteCustomer();
  void FindCustomer();

  // Handlers.
  void NewCustButnClick() { AddCustomer(); }
  void EditCustButnClick() { EditCustomer(); }
  void DeleteCustButnClick() { DeleteCustomer(); }
  void FinCustButnClick() { FindCustomer(); }
  void CustBookButnClick();
  void StmtPrinClick();
  void BatchPrinButnClick();
  void PrinCustClick();
  void PrintEnvButnClick();
  void CopytoClipboard1Click();
  void ImportfromTextFile1Click();
  void ByName1Click();
  void ByNumber1Click();
  void PrintWindow1Click();
  void SpeedButton3Click();
  void EditClick();
  int32_t RecBrowser1BuildRow(storage::TRecBrowser* sender, storage::RowRec& rr);
  void RecBrowser1RowChanged(storage::TRecBrowser* sender);

  // Panel 0 the count of customers, panel 1 messages.
  QString StatusText(int panel) const;
  void SetStatusText(int panel, const QString& text);

  QLabel* Label1;
  storage::TRecBrowser* RecBrowser1;
  QStatusBar* StatusBar1;

  QToolButton* NewCustButn;
  QToolButton* EditCustButn;
  QToolButton* DeleteCustButn;
  QToolButton* FinCustButn;
  QToolButton* CustBookButn;
  QToolButton* PrinCust;
  QToolButton* PrintEnvButn;
  QToolButton* StmtPrin;
  QToolButton* BatchPrinButn;
  QToolButton* SpeedButton3;
  QToolButton* SpeedButton2;

  QMenuBar* MainMenu1;
  QMenu* Customer1;
  QAction* New1;
  QAction* Edit1;
  QAction* Delete1;
  QAction* Print1;
  QAction* Find1;
  QAction* CustomerList1;
  QAction* AddtoLabelQueue1;
  QAction* PrintEnvelope1;
  QAction* CopytoClipboard1;
  QAction* ExporttoTextFile1;
  QAction* ExporttoContactManager1;
  QAction* ImportfromTextFile1;
  QAction* Close1;
  QMenu* Statements1;
  QAction* View2;
  QAction* BatchPrint1;
  QMenu* Display1;
  QAction* ByName1;
  QAction* ByNumber1;
  QAction* PrintWindow1;
  QMenu* Help1;
  QAction* Overview1;

  QMenu* PopupMenu1;
  QAction* AddtoLabelQueue2;
  QAction* Statement1;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar(QBoxLayout* layout);
  QAction* AddItem(QMenu* menu, const char* caption, void (TDemoForm::*handler)());
  QAction* AddUnavailableItem(QMenu* menu, const char* caption);
  QToolButton* AddToolButton(QBoxLayout* layout, const char* caption, void (TDemoForm::*handler)());
  void SwitchKey(int32_t keyNr);
  // Reads the highlighted row into CustRec; false when there is none.
  bool ReadHighlighted();
  void PositionOnCustomer(storage::IsamRecRef ref);
  void PrepareDialogForAdd(TEditDlg& dialog) const;
  void FillDialog(TEditDlg& dialog) const;
  void FillFromDialog(const TEditDlg& dialog);

  std::array<QLabel*, 2> statusPanels_{};
};

extern TDemoForm* DemoForm;
// Makes the one instance (at start-up); later calls return it.
TDemoForm& CreateDemoForm();

}  // namespace customers
