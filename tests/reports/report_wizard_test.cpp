// The report wizard worked as a user works it: presets, calendar, the date checks, and View
// running a report into the viewer or saying that nothing matched.

#include <gtest/gtest.h>

#include "forms/cal_form.h"
#include "platform/text/date_text.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_rec.h"
#include "reports/report_catalog.h"
#include "reports/report_viewer.h"
#include "reports/report_wizard.h"
#include "reports_fixture.h"
#include "support/whole_window.h"

using namespace reports;
using namespace test_fixtures;
using platform::ui::MsgIcon;
using testing_support::UiScript;

namespace {

class ReportWizardTest : public ReportsTest {
 protected:
  TRptSelect& OpenWizard() {
    TRptSelect& wizard = CreateRptSelect();
    wizard.Show();
    return wizard;
  }
  static void Choose(TRptSelect& wizard, const char* title) {
    const QList<QListWidgetItem*> items = wizard.ListBox1->findItems(title, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << title;
    wizard.ListBox1->setCurrentItem(items.front());
  }
  static void SetRange(TRptSelect& wizard, const char* from, const char* to) {
    wizard.IDate->setText(from);
    wizard.EndDt->setText(to);
  }
};

TEST_F(ReportWizardTest, OpensOnTheFirstReportWithThisMonthSoFar) {
  TRptSelect& wizard = OpenWizard();
  EXPECT_EQ(wizard.Caption(), "Report Wizard");
  EXPECT_EQ(wizard.ListBox1->count(), 15);
  EXPECT_EQ(wizard.ListBox1->currentItem()->text(), "PO Register");
  EXPECT_TRUE(wizard.RType->text().startsWith("Lists all Purchase Orders created"));
  EXPECT_EQ(wizard.ComboBox1->currentText(), "Month to Date");
  EXPECT_EQ(wizard.IDate->text(), "03/01/2026");
  EXPECT_EQ(wizard.EndDt->text(), "03/15/2026");
  EXPECT_EQ(wizard.Label3->text(), "Date Selection:");
  wizard.EBrptfilter->setText("acme");
  wizard.Hide();

  // Day first: the same days, written day first.
  records::CurrentCompany.DateOrder.Set("D");
  platform::text::SetShortDateFormat("dd/mm/yyyy");
  wizard.Show();
  EXPECT_TRUE(wizard.EBrptfilter->text().isEmpty());
  EXPECT_EQ(wizard.Label3->text(), "Date Selection (dd/mm/yyyy):");
  EXPECT_EQ(wizard.IDate->text(), "01/03/2026");
  EXPECT_EQ(wizard.EndDt->text(), "15/03/2026");
  wizard.ComboBox1->setCurrentText("Previous Month");
  wizard.ComboBox1Change();
  EXPECT_EQ(wizard.IDate->text(), "01/02/2026");
  EXPECT_EQ(wizard.EndDt->text(), "28/02/2026");
  testing_support::ExpectWholeWindow(wizard, "report_wizard");
}

TEST_F(ReportWizardTest, ReportsOfThePresentStateHideTheDateRange) {
  TRptSelect& wizard = OpenWizard();
  for (const ReportEntry& entry : ReportCatalog()) {
    Choose(wizard, std::string(entry.Title).c_str());
    EXPECT_EQ(wizard.RType->text().toStdString(), entry.Description);
    for (QWidget* control : std::initializer_list<QWidget*>{wizard.ComboBox1, wizard.IDate, wizard.EndDt,
                                                            wizard.Cal1But, wizard.Cal2But, wizard.Label2})
      EXPECT_EQ(control->isVisible(), entry.Dated) << entry.Title;
    EXPECT_EQ(wizard.Label1->text(), entry.Dated ? "&From:" : "Searches all records...") << entry.Title;
  }
  const std::vector<std::string_view> hidden = {"Inventory Report", "Reorder Report", "Overstock Report",
                                                "Accounts Receivable"};
  for (std::string_view title : hidden) EXPECT_FALSE(FindReport(title)->Dated) << title;
}

TEST_F(ReportWizardTest, ViewRefusesBadDatesAndARangeThatEndsBeforeItStarts) {
  TRptSelect& wizard = OpenWizard();
  Choose(wizard, "Sales Report");
  UiScript ui;
  ui.ExpectMessage(
        "You have an invalid beginning date. You can clear the date and then select the calendar button.",
        "FROM Date")
      .Icon(MsgIcon::Warning);
  SetRange(wizard, "02/30/2026", "03/15/2026");
  wizard.Button1Click();
  EXPECT_EQ(wizard.focusWidget(), wizard.IDate);

  ui.ExpectMessage(
        "You have an invalid ending date. You can clear the date and then select the calendar button.",
        "TO Date")
      .Icon(MsgIcon::Warning);
  SetRange(wizard, "03/01/2026", "");
  wizard.Button1Click();
  EXPECT_EQ(wizard.focusWidget(), wizard.EndDt);

  ui.ExpectMessage("Your beginning date is not older than your ending date.", "FROM Date");
  SetRange(wizard, "03/10/2026", "03/09/2026");
  wizard.Button1Click();
  EXPECT_EQ(wizard.focusWidget(), wizard.IDate);
  EXPECT_TRUE(ReportTitle.empty());

  // A report without a range runs whatever its hidden dates hold.
  ui.ExpectMessage("No matching products found.", "Inventory Report");
  Choose(wizard, "Inventory Report");
  wizard.Button1Click();
  EXPECT_EQ(ReportTitle, "Inventory Report");
  Choose(wizard, "Sales Report");

  // Equal dates are a range of one day.
  ui.ExpectMessage("No matching records found.", "Sales Report").Icon(MsgIcon::Information);
  SetRange(wizard, "03/10/2026", "03/10/2026");
  wizard.Button1Click();
  EXPECT_EQ(ReportTitle, "Sales Report");
  EXPECT_TRUE(ui.Done());
}

TEST_F(ReportWizardTest, ViewShowsTheReportInTheViewer) {
  FileLines(
      {Line("1001", "2026/03/02", "BOLT-10", "C100", "ACME", "3", "Steel bolt 10mm", "12.5", "37.50", "8"),
       Line("1002", "2026/03/10", "NUT-5", "C200", "BAKERS", "100", "Hex nut 5mm", "0.25", "25.00", "0.1")});
  TRptSelect& wizard = OpenWizard();
  Choose(wizard, "Sales Report");
  wizard.EBrptfilter->setText("bakers");
  UiScript ui;
  ui.OnModal<Trtreport>([](Trtreport& viewer) {
    // Shown sorted on the first column, with sub-totals.
    EXPECT_EQ(viewer.Caption(), "Sales Report by Product Description");
    EXPECT_EQ(viewer.Head1->text(), "Harbour Supplies");
    EXPECT_EQ(viewer.Head2->text(), "Date: Sunday, March 15, 2026, 02:07 PM");
    EXPECT_EQ(viewer.Head3->text(), "*** Filtered records selected for: BAKERS");
    EXPECT_EQ(viewer.Head3->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(viewer.RptGrid->model()->rowCount(), 4);  // the record, "** Totals", blank, "Grand Total"
    EXPECT_EQ(viewer.RptGrid->model()->columnCount(), 9);
    EXPECT_EQ(viewer.RptGrid->model()->headerData(8, Qt::Horizontal).toString(), "Line Amount");
    EXPECT_EQ(viewer.RptGrid->model()->index(0, 7).data().toString(), "100.000");
    EXPECT_EQ(viewer.SortCol->currentText(), "2");
    EXPECT_TRUE(viewer.stotals->isChecked());
    viewer.ExitButnClick();
  });
  wizard.Button1Click();
  EXPECT_TRUE(ui.Done());
}

TEST_F(ReportWizardTest, EachReportSaysWhenNothingMatched) {
  TRptSelect& wizard = OpenWizard();
  UiScript ui;
  ui.ExpectMessage("No product sales found for the specified period.", "Profit Report")
      .Icon(MsgIcon::Information);
  ui.ExpectMessage("No matching records found.", "Invoice Key Code Report");
  ui.ExpectMessage("No products found.", "Reorder Report");
  ui.ExpectMessage("No matching products found.", "Inventory Report");
  ui.ExpectMessage("No matching records found.", "PO Register");
  ui.ExpectMessage(
        "Your Accounts Receivable balance is zero for this company. There are no outstanding items.",
        "Account Receivable Report")
      .Icon(MsgIcon::Information);
  ui.ExpectMessage("No matching records found.", "Accounts Receivable Report");
  for (const char* title :
       {"Profit Report", "Invoice Key Code Inquiry", "Reorder Report", "Inventory Report", "PO Register"}) {
    Choose(wizard, title);
    wizard.EBrptfilter->setFocus();
    wizard.Button1Click();
  }
  FileCompany("0.00");
  Choose(wizard, "Accounts Receivable");
  wizard.Button1Click();
  FileCompany("12.00");
  wizard.Button1Click();
  EXPECT_TRUE(ui.Done());
}

// The three reports over the PO file run from the wizard like the others: the viewer with the
// PO rows and their grand total, or the message with the focus on the From date.
TEST_F(ReportWizardTest, ViewRunsTheReportsOverThePurchaseOrders) {
  FilePOHeaders(MarchPOs());
  TRptSelect& wizard = OpenWizard();
  SetRange(wizard, "03/01/2026", "03/31/2026");
  struct Case {
    const char* title;
    const char* caption;  // as the viewer shows it, sorted on the first column
    const char* grandTotal;
  };
  const Case cases[] = {{"PO Register", "PO Register by Date", "-1,234,379.67"},
                        {"Commitment Report", "Commitment Report by Date Req.", "128.13"},
                        {"PO Key Code Inquiry", "PO Key Code Inquiry by Key Code", "-1,234,409.67"}};
  UiScript ui;
  for (const Case& c : cases) {
    Choose(wizard, c.title);
    ui.OnModal<Trtreport>([&](Trtreport& viewer) {
      EXPECT_EQ(viewer.Caption().toStdString(), c.caption);
      EXPECT_EQ(viewer.Head3->text(), "Selected records from 03/01/2026 to 03/31/2026");
      QAbstractItemModel* grid = viewer.RptGrid->model();
      EXPECT_EQ(grid->headerData(1, Qt::Horizontal).toString().trimmed(), "PO#");
      const int last = grid->rowCount() - 1;
      EXPECT_EQ(grid->index(last, 3).data().toString().trimmed(), "Grand Total") << c.title;
      EXPECT_EQ(grid->index(last, 6).data().toString().trimmed(), c.grandTotal) << c.title;
      viewer.ExitButnClick();
    });
    wizard.Button1Click();
    EXPECT_EQ(ReportTitle, c.title);
  }
  // Nothing due in the range: the commitments say so and the From date takes the focus.
  Choose(wizard, "Commitment Report");
  SetRange(wizard, "04/11/2026", "04/30/2026");
  wizard.EBrptfilter->setFocus();
  ui.ExpectMessage("No matching records found.", "Commitment Report").Icon(MsgIcon::Information);
  wizard.Button1Click();
  EXPECT_EQ(wizard.focusWidget(), wizard.IDate);
  EXPECT_TRUE(ui.Done());
}

TEST_F(ReportWizardTest, CalendarPicksADateAndMakesTheRangeCustom) {
  TRptSelect& wizard = OpenWizard();
  forms::CreateCalForm();
  UiScript ui;
  ui.OnModal<forms::TCalForm>([](forms::TCalForm& calendar) {
    EXPECT_EQ(calendar.Caption(), "Select FROM Date");
    EXPECT_EQ(calendar.Calendar1->selectedDate(), QDate(2026, 3, 1));
    EXPECT_EQ(calendar.CBMonth->currentText(), "March");
    calendar.Calendar1->setSelectedDate(QDate(2026, 2, 27));
    calendar.OKButton->click();
  });
  wizard.Cal1ButClick();
  EXPECT_EQ(wizard.IDate->text(), "02/27/2026");
  EXPECT_EQ(wizard.EndDt->text(), "03/15/2026");
  EXPECT_EQ(wizard.ComboBox1->currentText(), "Custom Dates");
  EXPECT_EQ(wizard.focusWidget(), wizard.EndDt);
  EXPECT_EQ(forms::CalForm->Caption(), "Date Selection");

  // An unreadable date starts the calendar on today; cancelling keeps today in the edit.
  wizard.EndDt->clear();
  ui.OnModal<forms::TCalForm>([](forms::TCalForm& calendar) {
    EXPECT_EQ(calendar.Caption(), "Select Ending Date");
    EXPECT_EQ(calendar.Calendar1->selectedDate(), QDate(2026, 3, 15));
    calendar.CancelButton->click();
  });
  wizard.Cal2ButClick();
  EXPECT_EQ(wizard.EndDt->text(), "03/15/2026");
  EXPECT_EQ(wizard.focusWidget(), wizard.EndDt);
  EXPECT_TRUE(ui.Done());
}

TEST_F(ReportWizardTest, ClearEmptiesTheFilter) {
  TRptSelect& wizard = OpenWizard();
  wizard.EBrptfilter->setText("a much too long filter text");
  EXPECT_EQ(wizard.EBrptfilter->text(), "a much too long filt");
  wizard.Button2Click();
  EXPECT_TRUE(wizard.EBrptfilter->text().isEmpty());
  EXPECT_EQ(wizard.focusWidget(), wizard.Button1);
}

}  // namespace
