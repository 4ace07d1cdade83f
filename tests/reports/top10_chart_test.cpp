// The Top 10 bar chart: the bars' layout arithmetic, the window drawn from the accumulator, its
// printed image, and how the report viewer opens it.

#include <gtest/gtest.h>

#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "reports/line_reports.h"
#include "reports/report_viewer.h"
#include "reports/top10_chart.h"
#include "reports_fixture.h"
#include "support/whole_window.h"

using namespace reports;
using testing_support::UiScript;

namespace {

Top10Data Offers(std::initializer_list<double> values) {
  Top10Data data;
  int k = 0;
  for (double value : values) data.AddTop10("Group " + std::to_string(++k), value);
  return data;
}

TEST(Top10Bars, HeightsAreThousandthsOfTheLargestValue) {
  const Top10Data twelve = Offers({12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1});
  const auto bars = LayOutTop10Bars(twelve, QSize(1000, 500), true);
  // Width (1000 - 25) div 10 = 97, two pixels apart from x = 5. Slot 1 stands 5 below the top.
  EXPECT_EQ(bars[0].Rect, QRect(5, 5, 97, 495));             // the tallest: 5 below the top, on the base
  EXPECT_EQ(bars[1].Rect, QRect(104, 500 - 458, 97, 458));   // 11/12: 917 per mille
  EXPECT_EQ(bars[9].Rect, QRect(5 + 9 * 99, 375, 97, 125));  // 3/12: 250 per mille
  EXPECT_EQ(bars[0].Color, QColor(0, 0, 128));
  EXPECT_EQ(bars[1].Color, QColor(255, 0, 0));
  EXPECT_EQ(bars[8].Color, QColor(0, 0, 0));
  EXPECT_EQ(bars[9].Color, QColor(128, 0, 0));
  EXPECT_EQ(bars[0].Hint, "Group 1: \n12.00");
  for (const Top10Bar& bar : LayOutTop10Bars(twelve, QSize(1000, 500), false))
    EXPECT_EQ(bar.Color, Qt::black);

  // A small value is 5 pixels high, an unused slot nothing, a negative one 5 (one per mille).
  const auto small = LayOutTop10Bars(Offers({1000, 1}), QSize(400, 300), true);
  EXPECT_EQ(small[1].Rect.height(), 5);
  EXPECT_EQ(small[2].Rect.height(), 0);
  const auto none = LayOutTop10Bars(Offers({-4}), QSize(400, 300), true);
  for (const Top10Bar& bar : none) EXPECT_EQ(bar.Rect.height(), 0);
  Top10Data negative;
  negative.Slots[0] = {-4, "Loss"};
  EXPECT_EQ(LayOutTop10Bars(negative, QSize(400, 300), true)[0].Rect.height(), 5);
}

class Top10ChartTest : public test_fixtures::ReportsTest {
 protected:
  ~Top10ChartTest() override { MyChart = nullptr; }

  TMyChart& ShowChart(Top10Data data) {
    Top10Accumulator = std::move(data);
    TMyChart& chart = CreateMyChart();
    chart.Headings = {"Harbour Supplies", "Invoice Register by Short Name ",
                      "Date: Sunday, March 15, 2026, 02:07 PM",
                      "Selected records from 03/01/2026 to 03/31/2026"};
    chart.resize(900, 600);
    chart.Show();
    return chart;
  }
  static QColor TextColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }
};

TEST_F(Top10ChartTest, TheWindowShowsBarsLegendScaleAndTotals) {
  TMyChart& chart = ShowChart(Offers({1200, 1100, 1000, 900, 800, 700, 600, 500, 400, 300, 200, 100}));
  EXPECT_EQ(chart.Caption(), "Orvanta Top 10");
  EXPECT_EQ(chart.Label12->text(), "Harbour Supplies - Invoice Register by Short Name");
  EXPECT_EQ(chart.Label14->text(), "Selected records from 03/01/2026 to 03/31/2026");
  EXPECT_EQ(chart.Label16->text(), "Top 10: 7,500.00");
  EXPECT_EQ(chart.Label17->text(), "Other: 300.00");
  EXPECT_EQ(chart.Label11->text(), "Grand Total: 7,800.00");
  EXPECT_EQ(Top10Accumulator.Top10Total, 7500);
  EXPECT_EQ(chart.Label21->text(), "1,200");
  EXPECT_EQ(chart.Label20->text(), "800");
  EXPECT_EQ(chart.Label19->text(), "400");
  EXPECT_EQ(chart.Legend[0]->text(), "Group 1  1,200.00");
  EXPECT_EQ(TextColour(chart.Legend[0]), QColor(0, 0, 128));
  EXPECT_EQ(chart.Legend[5]->x(), chart.Panel2->width() - chart.Panel2->width() / 2);
  EXPECT_EQ(chart.Legend[4]->x(), 5);

  // The chart area fills the window between the panels, and the bars stand in it as laid out.
  EXPECT_EQ(chart.bevel1->geometry(),
            QRect(chart.Label19->width() + 10, chart.Panel4->height(), 900 - chart.Label19->width() - 20,
                  600 - chart.Panel2->height() - chart.Panel4->height() - 5));
  const auto bars = LayOutTop10Bars(Top10Accumulator, chart.bevel1->size(), true);
  for (std::size_t s = 0; s < bars.size(); ++s) EXPECT_EQ(chart.Bars[s]->geometry(), bars[s].Rect) << s;
  testing_support::ExpectWholeWindow(chart, "top10_chart");

  // Without colour every bar and legend line is black.
  chart.CBColor->click();
  EXPECT_EQ(TextColour(chart.Legend[1]), QColor(Qt::black));
  EXPECT_EQ(chart.Bars[1]->palette().color(QPalette::Window), QColor(Qt::black));
}

TEST_F(Top10ChartTest, NoPositiveTotalsAndNegativeTotals) {
  TMyChart& chart = ShowChart(Offers({-250, 0}));
  EXPECT_EQ(chart.Legend[0]->text(), "");
  EXPECT_EQ(chart.Legend[2]->text(), "There is no Top 10 data (numbers greater than zero) to chart.");
  EXPECT_EQ(TextColour(chart.Legend[2]), QColor(Qt::red));
  EXPECT_EQ(chart.Label17->text(), "Other: -250.00");
  EXPECT_EQ(TextColour(chart.Label17), QColor(Qt::red));
  EXPECT_EQ(TextColour(chart.Label11), QColor(Qt::red));
}

TEST_F(Top10ChartTest, PrintsTheWindowImageWithoutItsButtons) {
  TMyChart& chart = ShowChart(Offers({30, 20, 10}));
  auto recording = std::make_unique<platform::print::RecordingPrintBackend>();
  platform::print::RecordingPrintBackend* recorder = recording.get();
  platform::print::ScopedPrintBackend scoped(std::move(recording));
  UiScript ui;
  ui.ExpectMessage("Bar Chart sent to Windows Print Manager.", platform::ui::Application->Title);
  chart.Button2Click();
  EXPECT_TRUE(ui.Done());
  ASSERT_EQ(recorder->Log().size(), 3);
  EXPECT_TRUE(recorder->Log()[0].startsWith(R"(BeginDoc("Orvanta Top 10", portrait)"));
  EXPECT_TRUE(recorder->Log()[1].startsWith("StretchDraw(0, 0, 2400, ")) << recorder->Log()[1].toStdString();
  EXPECT_EQ(recorder->Log()[2], "EndDoc");
  for (QWidget* control : {static_cast<QWidget*>(chart.Button1), static_cast<QWidget*>(chart.Button2),
                           static_cast<QWidget*>(chart.Button3), static_cast<QWidget*>(chart.CBColor)})
    EXPECT_FALSE(control->isHidden());
}

TEST_F(Top10ChartTest, TheViewerOpensTheChartOnlyWithSubTotals) {
  FileLines(
      {Line("1001", "2026/03/02", "BOLT-10", "C100", "ACME", "3", "Steel bolt 10mm", "12.5", "37.50", "8"),
       Line("1002", "2026/03/10", "NUT-5", "C200", "BAKERS", "1200", "Hex nut 5mm", "0.25", "300.00", "0")});
  ReportTitle = "Sales Report";
  Trtreport& viewer = Creatertreport();
  viewer.LoadReport(CollectSalesReport(Range("03/01/2026", "03/31/2026")));
  viewer.Show();
  UiScript ui;
  ui.OnModal<TMyChart>([](TMyChart& chart) {
    EXPECT_EQ(chart.Label12->text(), "Harbour Supplies - Sales Report by Product Description");
    EXPECT_EQ(chart.Legend[0]->text(), "Hex nut 5mm  300.00");
    EXPECT_EQ(chart.Legend[1]->text(), "Steel bolt 10mm  37.50");
    EXPECT_EQ(chart.Label11->text(), "Grand Total: 337.50");
    chart.Button1Click();
  });
  viewer.SpeedButton2Click();
  viewer.stotals->setChecked(false);
  viewer.stotalsClick();
  ui.ExpectMessage("You must have the Sub-Totals option checked above in order to run the top 10 bar charts.",
                   platform::ui::Application->Title);
  viewer.SpeedButton2Click();
  EXPECT_TRUE(ui.Done());
}

}  // namespace
