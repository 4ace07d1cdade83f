#pragma once
// The Invoice Manager: lists every record of the open company's invoice file (invoices,
// payments, deposits, repeat-billing records) through the record browser in one of the file's
// six orders, optionally only one customer's. It adds invoices, finds a number, shows a record's
// "Customer Data", and views, prints, e-mails, batch-prints invoices and prints packing slips
// through the invoice document builder. While it is shown it holds the invoice, detail, memo and
// company files open.
//
// Editing and deleting invoices belong to transactions that are handed to the manager at
// start-up; until they are, their items say that they are not available yet.

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/form.h"
#include "records/record_file.h"
#include "storage/browser/rec_browser.h"

namespace invoicing {

struct AddedInvoice;

// The key of the listing: 1 number, 2 customer, 3 date (the start), 4 key code, 5 type and
// number, 6 date paid. Kept between showings.
extern int32_t InvoiceDisplayKey;
// The customer filter's number; the command-line view job sets it with forms::InvoiceFilterOnShow
// so that the next showing starts filtered on it.
extern std::string CustomerFilterNo;
// 1 while a double-click shows the "Customer Data" window instead of the invoice.
extern uint8_t CustomerDataMode;

class TInvEdit1 : public platform::ui::Form {
 public:
  explicit TInvEdit1(QWidget* parent = nullptr);

  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

  // The add-invoice transaction; true when an invoice was posted.
  bool AddInvoice();

  // Handlers.
  void AddInvoiceClick() { AddInvoice(); }
  void EditInvoiceClick();
  void InvDeleteClick();
  void SpeedButton1Click();
  void InvPrintClick();
  void InvBrowser1DblClick();
  void CustDataButnClick();
  void ToPrinterButnClick();
  void PrintPackingSlip1Click();
  void BatchPrinButnClick();
  void SpeedButton2Click();
  void ByInvoiceNumber1Click() { SwitchKey(1); }
  void ByCustomerNumber1Click() { SwitchKey(2); }
  void ByInvoiceDate1Click() { SwitchKey(3); }
  void ByKeyCode1Click() { SwitchKey(4); }
  void ByType1Click() { SwitchKey(5); }
  void byDatePaid1Click() { SwitchKey(6); }
  void PrintWindow1Click();
  void PrinterSetup1Click();
  void SpeedButton4Click();
  int32_t InvBrowser1BuildRow(storage::TRecBrowser* sender, storage::RowRec& rr);
  int32_t InvBrowser1PerformFilter(storage::TRecBrowser* sender, storage::RowRec& rr, bool& useIt);

  // Panel 0 the count of records, panel 1 messages.
  QString StatusText(int panel) const;
  void SetStatusText(int panel, const QString& text);
  // True while the list shows one customer's records only.
  bool Filtering() const { return InvBrowser1->FilterEnabled(); }

  QLabel* CName;
  QLabel* Label1;  // "A/R:"
  QLabel* ARBal;
  QLabel* CFilter;
  storage::TRecBrowser* InvBrowser1;
  QStatusBar* StatusBar1;

  QToolButton* AddInvoiceButn;
  QToolButton* EditInvoice;
  QToolButton* InvDelete;
  QToolButton* SpeedButton1;  // "Find"
  QToolButton* InvPrint;      // "View"
  QToolButton* CustDataButn;
  QToolButton* ToPrinterButn;
  QToolButton* BatchPrinButn;
  QToolButton* SpeedButton2;  // "Filter On/Off"
  QToolButton* SpeedButton4;  // "Help"
  QToolButton* SpeedButton3;  // "Close"

  QMenuBar* MainMenu1;
  QMenu* Invoice1;
  QAction* Add1;
  QAction* Edit1;
  QAction* Delete1;
  QAction* Search1;
  QAction* PreViewSaveAs1;
  QAction* CustomerData1;
  QAction* Print1;
  QAction* PrintPackingSlip1;
  QAction* BatchPrint1;
  QAction* PrinterSetup1;
  QAction* Close1;
  QMenu* Display1;
  std::array<QAction*, 6> OrderItems;  // "By Invoice &Number" .. "By Date &Paid", by key number
  QAction* PrintWindow1;
  QMenu* Help1;
  QAction* CreatingInvoices1;

  QMenu* PopupMenu1;
  QAction* Add2;
  QAction* Edit2;
  QAction* Delete2;
  QAction* Search2;
  QAction* View2;
  QAction* Print2;
  QAction* Close2;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildToolBar(QBoxLayout* row);
  void BuildMenus();
  QAction* AddItem(QMenu* menu, const char* caption, void (TInvEdit1::*handler)());
  bool OpenFiles();
  void ShowCompanyTotals();
  void ShowRecordCount();
  void PositionOnLastInvoice();
  void SwitchKey(int32_t keyNr);
  // Reads the highlighted row's record into InvoiceBuf; false when there is none.
  bool ReadHighlighted();
  // Returns the status text of the switch.
  QString SetFilter(bool on);
  void RunTransaction(bool (*transaction)(storage::IsamRecRef, std::string&));
  void ShowAddedInvoice(const AddedInvoice& added);
  void ReportEMailSent(const std::string& number);
  void PrintBatch(const std::vector<std::string>& numbers, int count, bool email);

  std::array<QLabel*, 2> statusPanels_{};
  records::HeldFiles postingFiles_;
};

extern TInvEdit1* InvEdit1;
// Makes the one instance (at start-up); later calls return it.
TInvEdit1& CreateInvEdit1();

// The invoice numbers batch print takes: every record not yet printed whose type is G, I, M or
// Z, in the file's physical order. The invoice file must be open; throws records::FileUnusable
// when it cannot be read to its end.
std::vector<std::string> UnprintedInvoiceNumbers();

}  // namespace invoicing
