#pragma once
// The Top 10 bar chart "Orvanta Top 10" (MyChart): the ten largest group totals of the report
// viewer's last sort with sub-totals, as bars standing on the bottom of a white chart area, a
// legend in the bar colours, three scale lines and the Top 10, other and grand totals. It is
// redrawn from the accumulator whenever it is shown or resized and when the colour box is
// clicked, and it prints its own image. While a posting of the company waits to be undone, a line
// under the headings says that the figures include it.

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <array>
#include <string>

#include "platform/ui/form.h"
#include "reports/top10_accumulator.h"

namespace reports {

// One bar in chart-area coordinates, with its colour and its hint.
struct Top10Bar {
  QRect Rect;
  QColor Color;
  QString Hint;
};

// The bars of the slots in a chart area of that size. A bar's height is its value in thousandths
// of slot 1's value (a slot of no positive value counts one thousandth); a non-zero value is at
// least 5 pixels high, and the tallest bar starts 5 pixels below the top.
std::array<Top10Bar, Top10SlotCount> LayOutTop10Bars(const Top10Data& data, QSize area, bool useColor);
// The bar colour of a slot (counted from 0): navy, red, green, maroon, purple, navy, red, green,
// black, maroon; all black without colour.
QColor Top10BarColor(int slot, bool useColor);

// The viewer's heading lines that the chart shows above its totals.
struct ChartHeadings {
  std::string Head1, Caption, Head2, Head3;
};

class TMyChart : public platform::ui::Form {
 public:
  explicit TMyChart(QWidget* parent = nullptr);

  void FormCreate() override;
  void FormShow() override;
  void DrawTop10Chart();
  void Button1Click();  // Close
  void Button2Click();  // Print
  void Button3Click();  // Help

  ChartHeadings Headings;

  QFrame* Panel4;
  QLabel* Label12;
  QLabel* Label13;
  QLabel* Label14;
  QLabel* Label16;  // "Top 10: ..."
  QLabel* Label17;  // "Other: ..."
  QLabel* Label11;  // "Grand Total: ..."
  QCheckBox* CBColor;
  QLabel* FiguresNote;
  QFrame* bevel1;                            // the white chart area
  std::array<QFrame*, Top10SlotCount> Bars;  // c1 to c10
  QFrame* MyLine1;
  QFrame* MyLine2;
  QLabel* Label19;
  QLabel* Label20;
  QLabel* Label21;
  QLabel* Label22;
  QFrame* Panel2;
  std::array<QLabel*, Top10SlotCount> Legend;  // Label1 to Label10
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // A new font (a desktop setting) changes the texts' sizes: the chart is drawn again.
  void changeEvent(QEvent* event) override;

 private:
  void PlaceScale(QSize area, double top);
  void ShowTotals(double top10);
  void SetPanelColour(const QColor& colour);
};

extern TMyChart* MyChart;
TMyChart& CreateMyChart();

}  // namespace reports
