#pragma once
// The Purchase Order Manager: lists the open company's purchase orders through the record
// browser in one of six orders, optionally only one vendor's. It finds a PO by number, deletes
// one (its lines, receipts and memo with it, the received stock taken back), and views, prints,
// e-mails or batch-prints POs through the PO document builder. While it is shown it holds the PO
// header, detail and memo files open.
//
// Entering and editing POs belong to the PO entry form, which is handed to the manager when it is
// part of the program; until then "New" and "Edit" say that they are not available yet.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "forms/manager_window.h"
#include "records/record_file.h"

namespace purchasing {

// The header key of the listing: 1 number, 2 vendor, 3 PO date (the start), 4 key code, 6
// received date, 7 date required. Kept between showings.
extern int32_t POSortKey;
// The vendor number the filter keeps.
extern std::string POFilterVendor;

class TPOList1 : public forms::ManagerWindow {
 public:
  explicit TPOList1(QWidget* parent = nullptr);

  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

  // Handlers.
  void NewPOClicked();
  void EditPOClicked();
  void Delete1Click();
  void SpeedButton1Click();
  void InvPrintClick();
  void ToPrinterButnClick();
  void BatchPrinButnClick();
  void SpeedButton2Click();
  void PrinterSetup1Click();
  void PrintWindow1Click();
  void SpeedButton4Click();
  int32_t RecBrowser1BuildRow(storage::TRecBrowser* sender, storage::RowRec& rr) override;
  void RecBrowser1RowChanged(storage::TRecBrowser* sender) override;
  void RecBrowser1DblClick() override { InvPrintClick(); }
  int32_t InvBrowser1PerformFilter(storage::TRecBrowser* sender, storage::RowRec& rr, bool& useIt);

  // True while the list shows one vendor's POs only.
  bool Filtering() const { return RecBrowser1->FilterEnabled(); }

  QLabel* CName;  // the company line (the frame's Label1)
  QLabel* CFilter;

  QToolButton* AddInvoice;  // "New"
  QToolButton* EditInvoice;
  QToolButton* InvDelete;
  QToolButton* SpeedButton1;  // "Find"
  QToolButton* InvPrint;      // "View"
  QToolButton* ToPrinterButn;
  QToolButton* BatchPrinButn;
  QToolButton* SpeedButton2;  // "Filter On/Off"
  QToolButton* SpeedButton3;  // "Close"
  QToolButton* SpeedButton4;  // "Help"

  QMenu* PO1;
  QAction* Add1;
  QAction* Edit1;
  QAction* Delete1;
  QAction* Search1;
  QAction* View1;
  QAction* Print1;
  QAction* BatchPrint1;
  QAction* PrinterSetup1;
  QAction* Close1;
  QMenu* Display1;
  std::array<QAction*, 6> OrderItems;  // in menu order: keys 1, 3, 2, 4, 6, 7
  QAction* PrintWindow1;
  QMenu* Help1;
  QAction* Overview1;

 protected:
  void DeleteKeyPressed() override { Delete1Click(); }

 private:
  records::HeldFiles postingFiles_;
  void BuildToolBar();
  void BuildMenus();
  void PositionOnStartPO();
  void ShowRecordCount();
  void SwitchKey(int32_t keyNr);
  // Returns the status text of the switch.
  QString SetFilter(bool on);
  void ShowAfterDelete();
  bool ShowHighlightedPO();
  void ReportEMailSent(const std::string& number);
  void PrintBatch(const std::vector<std::string>& numbers, int count, bool email);
};

extern TPOList1* POList1;
// Makes the one instance (at start-up); later calls return it.
TPOList1& CreatePOList1();

// The PO numbers batch print takes: every header not yet printed whose status is "O", in the
// file's physical order. The PO header file must be open; throws records::FileUnusable when it
// cannot be read to its end.
std::vector<std::string> UnprintedPONumbers();

}  // namespace purchasing
