#pragma once
// The Customer Manager: lists the open company's customers through the record browser, by name
// or by number, and carries every customer action: add, edit (a changed number is carried into
// the customer's invoices), delete, find, the customer list report, the printed customer sheet,
// the envelope and the clipboard. It is also the customer picker of invoice entry, payments and
// the label wizard: while one of them is on screen, a double-click (or Enter) hands the
// highlighted customer to it in SelectedCustomer and closes the manager.
//
// Statements, labels, exports and imports belong to windows of other parts of the
// program yet: their items are shown disabled.

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <cstdint>

#include "forms/manager_window.h"
#include "records/customer_rec.h"

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

class TDemoForm : public forms::ManagerWindow {
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
  void AddtoLabelQueue1Click();
  void ByName1Click();
  void ByNumber1Click();
  void PrintWindow1Click();
  void SpeedButton3Click();
  void EditClick();
  void RecBrowser1DblClick() override { EditClick(); }
  int32_t RecBrowser1BuildRow(storage::TRecBrowser* sender, storage::RowRec& rr) override;
  void RecBrowser1RowChanged(storage::TRecBrowser* sender) override;

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

  QAction* AddtoLabelQueue2;
  QAction* Statement1;

 protected:
  void DeleteKeyPressed() override { DeleteCustomer(); }

 private:
  void BuildMenus();
  void BuildToolBar();
  void SwitchKey(int32_t keyNr);
  void PrepareDialogForAdd(TEditDlg& dialog) const;
  void FillDialog(TEditDlg& dialog) const;
  void FillFromDialog(const TEditDlg& dialog);
};

extern TDemoForm* DemoForm;
// Makes the one instance (at start-up); later calls return it.
TDemoForm& CreateDemoForm();

}  // namespace customers
