#pragma once
// The Vendor Manager: lists the open company's vendors through the record browser, by name or
// by number, and carries every vendor action: add, edit (a changed number is carried into the
// vendor's purchase-order headers), delete (refused while purchase orders name the vendor),
// find, the vendor list report, the printed vendor card, the envelope and the clipboard. It is
// also the vendor picker of PO entry and the label wizard: while one of them is on screen, a
// double-click (or Enter) hands the highlighted vendor to it in VendorBuf and closes the
// manager.

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <cstdint>

#include "forms/manager_window.h"
#include "forms/picker_windows.h"
#include "records/vendor_rec.h"

namespace purchasing {

// The browser's key: 1 by name, 2 by number; kept between showings.
extern int32_t VendorSortKey;
// 1 while PO entry shows the manager to pick a vendor (set by it).
extern int32_t VendorPickMode;

// The windows the manager picks vendors for (PO entry, the label wizard) make themselves known
// here; while one of them is visible, a double-click picks.
extern forms::PickerWindows VendorPickers;

class TVendEdit;

class TVenList : public forms::ManagerWindow {
 public:
  explicit TVenList(QWidget* parent = nullptr);

  // The record of the highlighted row.
  records::VendorRec VendRec;

  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

  // The record actions.
  void AddVendor();
  void EditVendor();
  void DeleteVendor();
  void FindVendor();

  // Handlers.
  void NewCustButnClick() { AddVendor(); }
  void EditCustButnClick() { EditVendor(); }
  void DeleteCustButnClick() { DeleteVendor(); }
  void FinCustButnClick() { FindVendor(); }
  void CustBookButnClick();
  void PrinCustClick();
  void AddtoLabelQueue1Click();
  void PrintEnvButnClick();
  void CopytoClipboard1Click();
  void ImportfromTextFile1Click();
  void ByName1Click();
  void ByNumber1Click();
  void PrintWindow1Click();
  void SpeedButton3Click();
  void RecBrowser1DblClick() override;
  int32_t RecBrowser1BuildRow(storage::TRecBrowser* sender, storage::RowRec& rr) override;
  void RecBrowser1RowChanged(storage::TRecBrowser* sender) override;

  QToolButton* NewCustButn;
  QToolButton* EditCustButn;
  QToolButton* DeleteCustButn;
  QToolButton* FinCustButn;
  QToolButton* CustBookButn;
  QToolButton* PrintEnvButn;
  QToolButton* PrinCust;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton3;

  QMenu* Vendor1;
  QAction* New1;
  QAction* Edit1;
  QAction* Delete1;
  QAction* Print1;
  QAction* Find1;
  QAction* VendorList1;
  QAction* AddtoLabelQueue1;
  QAction* PrintEnvelope1;
  QAction* CopytoClipboard1;
  QAction* ExporttoTextFile1;
  QAction* ExporttoContactManager1;
  QAction* ImportfromTextFile1;
  QAction* Close1;
  QMenu* Display1;
  QAction* ByName1;
  QAction* ByNumber1;
  QAction* PrintWindow1;
  QMenu* Help1;
  QAction* Overview1;

  QAction* AddtoLabelQueue2;

 protected:
  void DeleteKeyPressed() override { DeleteVendor(); }

 private:
  void BuildMenus();
  void BuildToolBar();
  void SwitchKey(int32_t keyNr);
  void PrepareDialogForAdd(TVendEdit& dialog) const;
  void FillDialog(TVendEdit& dialog) const;
  void FillFromDialog(const TVendEdit& dialog);
  void ReportRenumberedPOs(int count);
};

extern TVenList* VenList;
// Makes the one instance (at start-up); later calls return it.
TVenList& CreateVenList();

}  // namespace purchasing
