// The report viewer: the grid it shows, the report font kept in "RptFont.Dat", and the report
// saved as a text file.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QRegularExpression>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "forms/report_font.h"
#include "platform/files/file.h"
#include "platform/print/colors.h"
#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "reports/line_reports.h"
#include "reports/report_viewer.h"
#include "reports/top10_accumulator.h"
#include "reports_fixture.h"
#include "support/whole_window.h"

using namespace reports;
using namespace test_fixtures;
using testing_support::UiScript;

namespace {

class ReportViewerTest : public ReportsTest {
 protected:
  Trtreport& ShowSales() {
    FileLines(
        {Line("1001", "2026/03/02", "BOLT-10", "C100", "ACME", "3", "Steel bolt 10mm", "12.5", "37.50", "8"),
         Line("1001", "2026/03/02", "", "C100", "ACME", "1", "Labour", "45", "45.00", ""),
         Line("1002", "2026/03/10", "NUT-5", "C200", "BAKERS", "1200", "Hex nut 5mm", "0.25", "300.00",
              "0")});
    ReportTitle = "Sales Report";
    Trtreport& viewer = Creatertreport();
    viewer.LoadReport(CollectSalesReport(Range("03/01/2026", "03/31/2026")));
    viewer.Show();
    return viewer;
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(ReportViewerTest, SavesTheReportAsATextFile) {
  Trtreport& viewer = ShowSales();
  const std::string path = dir_.File("sales.txt");
  UiScript ui;
  ui.ExpectSaveFile()
      .Inspect([](const platform::ui::FileDialogRequest& request) {
        EXPECT_EQ(request.title, "Save As");
        EXPECT_EQ(request.defaultExt, "TXT");
        EXPECT_EQ(request.filter, "Text File|*.TXT");
        EXPECT_EQ(request.fileName, "Sales Report.TXT");
        EXPECT_TRUE(request.overwritePrompt);
      })
      .Answer(QString::fromStdString(path));
  viewer.SaveButnClick();
  // The report as shown: sorted on its first column, with sub-totals and the grand total.
  const std::string blankRow = std::string(1 + 32 + 6 * 13 + 13 + 13 + 13 - 13, ' ');
  const std::string expected =
      "Sales Report by Product Description\r\n"
      "Harbour Supplies\r\n"
      "Date: Sunday, March 15, 2026, 02:07 PM\r\n"
      "Selected records from 03/01/2026 to 03/31/2026\r\n"
      " \r\n"
      " Product Description              Product#        Year/Mo/Dy   Invoice#     Short Name   Customer     "
      "Unit Price   Quantity     Line Amount \r\n"
      " Hex nut 5mm                      NUT-5           2026/03/10   1002         BAKERS       C200         "
      "       0.250    1,200.000       300.00\r\n" +
      std::string(99, ' ') + "** Totals       1,200.000       300.00\r\n" + blankRow +
      "\r\n"
      " Labour                           *None*          2026/03/02   1001         ACME         C100         "
      "      45.000        1.000        45.00\r\n" +
      std::string(99, ' ') + "** Totals           1.000        45.00\r\n" + blankRow +
      "\r\n"
      " Steel bolt 10mm                  BOLT-10         2026/03/02   1001         ACME         C100         "
      "      12.500        3.000        37.50\r\n" +
      std::string(99, ' ') + "** Totals           3.000        37.50\r\n" + blankRow + "\r\n" +
      std::string(99, ' ') + "Grand Total     1,204.000       382.50\r\n";
  EXPECT_EQ(ReadFile(path), expected);

  // Cancelling the dialog writes nothing.
  ui.ExpectSaveFile().Cancel();
  std::filesystem::remove(path);
  viewer.SaveButnClick();
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(ui.Done());
}

TEST_F(ReportViewerTest, SortColumnAndSubTotalsRebuildTheGrid) {
  Trtreport& viewer = ShowSales();
  EXPECT_EQ(viewer.Caption(), "Sales Report by Product Description");
  EXPECT_EQ(viewer.SortCol->currentText(), "2");
  EXPECT_TRUE(viewer.PageBreakCB->isEnabled());

  // Choosing "3" sorts on the third column, which moves to the front.
  viewer.SortCol->setCurrentIndex(viewer.SortCol->findText("3"));
  viewer.SortColChange();
  EXPECT_EQ(viewer.Caption(), "Sales Report by Date");
  EXPECT_EQ(viewer.Table().Heading(0), "Year/Mo/Dy");
  EXPECT_EQ(viewer.Table().Heading(2), "Product Description");
  EXPECT_EQ(viewer.RptGrid->currentIndex().column(), 0);

  // Sub-totals off: the records, a blank row and the grand total; page breaks cannot be chosen.
  viewer.stotals->setChecked(false);
  viewer.stotalsClick();
  EXPECT_FALSE(viewer.PageBreakCB->isEnabled());
  EXPECT_EQ(viewer.RptGrid->model()->rowCount(), 5);
  EXPECT_EQ(Top10Accumulator.GrandTotal, 0);
  viewer.stotals->setChecked(true);
  viewer.stotalsClick();
  EXPECT_TRUE(viewer.PageBreakCB->isEnabled());
  // Three records of two dates in one month: two "** Totals" rows, a blank row between the groups
  // and one before the grand total, no month rows.
  EXPECT_EQ(viewer.RptGrid->model()->rowCount(), 3 + 2 + 1 + 2);
  EXPECT_DOUBLE_EQ(Top10Accumulator.GrandTotal, 382.50);

  // A double click on a number column only beeps.
  const ReportTable before = viewer.Table();
  UiScript ui;
  viewer.RptGrid->setCurrentIndex(viewer.RptGrid->model()->index(0, 7));
  viewer.RptGridDblClick();
  EXPECT_EQ(ui.Count(testing_support::UiEvent::Kind::Beep), 1);
  EXPECT_EQ(viewer.Table(), before);

  // Closing lets the report go: the window keeps no rows of it.
  viewer.ExitButnClick();
  EXPECT_EQ(viewer.Table().RowCount(), 0);
  EXPECT_EQ(viewer.RptGrid->model()->rowCount(), 0);
}

TEST_F(ReportViewerTest, PrintsTheGridAsShownInTheReportFont) {
  Trtreport& viewer = ShowSales();
  auto recording = std::make_unique<platform::print::RecordingPrintBackend>();
  platform::print::RecordingPrintBackend* recorder = recording.get();
  platform::print::ScopedPrintBackend scoped(std::move(recording));
  viewer.PageBreakCB->setChecked(true);
  viewer.InvPrintClick();
  const QStringList& log = recorder->Log();
  ASSERT_FALSE(log.isEmpty());
  EXPECT_EQ(log.front(), R"(BeginDoc("Sales Report", landscape, 3150x2400))");
  EXPECT_EQ(log.back(), "EndDoc");
  // Each of the three groups ends its page; the grand total stands on a fourth.
  EXPECT_EQ(log.filter(QRegularExpression("^NewPage")).size(), 3);
  EXPECT_TRUE(log[1].contains(R"("Harbour Supplies") font(Arial, 10, B,)")) << log[1].toStdString();
  EXPECT_TRUE(log[2].contains(R"("Sales Report by Product Description")"));
  EXPECT_TRUE(log[log.size() - 2].contains(R"("Report Complete. 3 records printed.")"));
  EXPECT_EQ(platform::print::Printer().Orientation(), platform::print::TPrinterOrientation::poPortrait);
}

TEST_F(ReportViewerTest, TheChosenFontIsKeptInRptFontDat) {
  Trtreport& viewer = ShowSales();
  EXPECT_EQ(viewer.ReportFont().Name.Get(), "Arial");
  EXPECT_EQ(viewer.ReportFont().Size.Get(), 10);
  EXPECT_EQ(viewer.ReportFont().Style, records::FontStyleBold);

  UiScript ui;
  ui.ExpectFont().Cancel();
  viewer.SpeedButton1Click();
  EXPECT_FALSE(std::filesystem::exists(dir_.File("RptFont.Dat")));

  platform::ui::FontChoice choice;
  choice.name = QString(40, 'M');
  choice.size = 12;
  choice.italic = true;
  choice.color = 0x0000FF;
  ui.ExpectFont().Answer(choice);
  viewer.SpeedButton1Click();
  std::string bytes;
  ASSERT_TRUE(platform::files::ReadWholeFile("RptFont.Dat", &bytes));
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 32);
  EXPECT_EQ(bytes.substr(1, 32), std::string(32, 'M'));
  EXPECT_EQ(bytes.substr(33, 3), std::string(3, '\0'));
  EXPECT_EQ(static_cast<unsigned char>(bytes[36]), 12);
  EXPECT_EQ(static_cast<unsigned char>(bytes[40]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(bytes[44]), records::FontStyleItalic);
  EXPECT_EQ(bytes.substr(45), std::string(3, '\0'));
  EXPECT_EQ(viewer.RptGrid->font().pointSize(), 12);
  EXPECT_TRUE(viewer.RptGrid->font().italic());

  // The next run's viewer, and the managers' printed lists, take the font from the file.
  platform::ui::Application->DestroyForms();
  EXPECT_EQ(Creatertreport().ReportFont().Name.Get(), std::string(32, 'M'));
  EXPECT_EQ(forms::LoadReportFont().Size.Get(), 12);
  EXPECT_TRUE(ui.Done());
}

TEST_F(ReportViewerTest, EveryCellFitsItsColumn) {
  Trtreport& viewer = ShowSales();
  const QFontMetrics metrics(viewer.RptGrid->font());
  const ReportTable& table = viewer.Table();
  for (int column = 0; column < table.ColumnCount(); ++column)
    for (int row = 0; row < table.RowCount(); ++row) {
      const QString text = QString::fromStdString(platform::text::TrimBlanks(table.Cell(row, column)));
      EXPECT_GE(viewer.RptGrid->columnWidth(column), metrics.horizontalAdvance(text)) << row << "," << column;
    }
  EXPECT_EQ(AlignedDecimals("Sales Report"), 3);
  EXPECT_EQ(AlignedDecimals("Invoice Register"), 2);
  viewer.resize(1100, 360);
  testing_support::ExpectWholeWindow(viewer, "report_viewer");
}

}  // namespace
