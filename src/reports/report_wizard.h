#pragma once
// The "Report Wizard": the user chooses one of the fifteen reports, a date range (typed, from a
// preset or from the calendar) and an optional selection filter, and View runs that report's
// builder, which shows the report viewer or says that nothing matched. The wizard stays open
// until Cancel, so the user can run one report after another.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include "platform/ui/form.h"
#include "reports/report_lines.h"

namespace reports {

class TRptSelect : public platform::ui::Form {
 public:
  explicit TRptSelect(QWidget* parent = nullptr);

  void FormShow() override;
  void ListBox1Click();
  void ListBox1DblClick();
  void ComboBox1Change();
  void Cal1ButClick();
  void Cal2ButClick();
  void Button1Click();  // View
  void Button2Click();  // Clear
  void CancelButClick();
  void HelpButClick();
  void SpeedButton1Click();

  // Hides the date range for a report without one; RestoreDateControls shows it again.
  void ShowDateControls();
  void RestoreDateControls();

  // The run's inputs as the builders read them from the dialog.
  ReportRequest Request() const;

  QLabel* Label4;
  QListWidget* ListBox1;
  QLabel* RType;
  QLabel* Label3;
  QComboBox* ComboBox1;
  QLabel* Label1;
  QLineEdit* IDate;
  QLabel* Label2;
  QLineEdit* EndDt;
  QToolButton* Cal1But;
  QToolButton* Cal2But;
  QLabel* Label5;
  QLineEdit* EBrptfilter;
  QPushButton* Button2;
  QToolButton* SpeedButton1;
  QPushButton* Button1;
  QPushButton* CancelBut;
  QPushButton* HelpBut;

 private:
  // The date checks of View; false, with the message shown and the bad edit focused, on a failure.
  bool RangeIsValid();
  void PickDate(QLineEdit* edit, const QString& caption, QWidget* nextFocus);
  void PlaceCalendarButton(QToolButton* button, QLineEdit* edit);
};

extern TRptSelect* RptSelect;
TRptSelect& CreateRptSelect();

// The builders, one per report title; each reads the wizard's range and filter and shows the
// viewer, or the report's message when nothing matched, or which file it could not open or read
// and why (and then no figures).
void BuildPurchaseDetailReport();
void BuildProfitReport();
void BuildCommitmentReport();
void BuildOverstockReport();
void BuildReorderReport();
void BuildInventoryReport();
void BuildPORegister();
void BuildReceivingReport();
void BuildTaxReport();
void BuildInvoiceKeyCodeInquiry();
void BuildPOKeyCodeInquiry();
void BuildSalesReport();
void BuildInvoiceRegister();
void BuildPaymentRegister();
void BuildAccountsReceivable();

}  // namespace reports
