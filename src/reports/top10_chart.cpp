#include "reports/top10_chart.h"

#include <QGridLayout>
#include <QResizeEvent>
#include <cmath>

#include "forms/figures_note.h"
#include "forms/form_instance.h"
#include "platform/print/print_window.h"
#include "platform/print/printer.h"
#include "platform/text/codepage.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"

namespace reports {

using platform::text::FormatFloat;
using platform::text::ToQString;
using platform::text::TrimBlanks;

TMyChart* MyChart = nullptr;

namespace {

constexpr int Panel4Height = 96;
constexpr int Panel2Height = 150;
constexpr int ScaleLabelWidth = 90;
constexpr int LegendTop = 6;
constexpr int LegendRow = 20;
constexpr int ShortestBar = 5;
constexpr int TallestBarTop = 5;

void SetTextColour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

void SetBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

QLabel* BoldLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QColor RedWhenNegative(double value) {
  return value < 0 ? QColor(Qt::red) : QColor(Qt::black);
}

}  // namespace

QColor Top10BarColor(int slot, bool useColor) {
  static const QColor colours[Top10SlotCount] = {
      QColor(0, 0, 128), QColor(255, 0, 0), QColor(0, 128, 0), QColor(128, 0, 0), QColor(128, 0, 128),
      QColor(0, 0, 128), QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 0),   QColor(128, 0, 0)};
  return useColor ? colours[slot] : QColor(0, 0, 0);
}

std::array<Top10Bar, Top10SlotCount> LayOutTop10Bars(const Top10Data& data, QSize area, bool useColor) {
  std::array<Top10Bar, Top10SlotCount> bars;
  const double first = data.Slots[0].Value;
  const int width = (area.width() - 25) / 10;
  int x = 5;
  for (int s = 0; s < Top10SlotCount; ++s) {
    const Top10Slot& slot = data.Slots[static_cast<std::size_t>(s)];
    const long perMille = slot.Value > 0 ? std::lround(slot.Value / first * 1000) : 1;
    int height = static_cast<int>(area.height() * perMille / 1000);
    if (height < ShortestBar && slot.Value != 0) height = ShortestBar;
    int top = area.height() - height;
    if (top < TallestBarTop) {  // the tallest bar keeps a margin above it and ends at the base
      height = area.height() - TallestBarTop;
      top = TallestBarTop;
    }
    Top10Bar& bar = bars[static_cast<std::size_t>(s)];
    bar.Rect = QRect(x, top, width, height);
    bar.Color = Top10BarColor(s, useColor);
    bar.Hint = ToQString(slot.Name + ": ") + "\n" + ToQString(FormatFloat(",0.00", slot.Value));
    x += width + 2;
  }
  return bars;
}

TMyChart::TMyChart(QWidget* parent)
    : Form(parent),
      Panel4(new QFrame(this)),
      Label12(BoldLabel(Panel4)),
      Label13(BoldLabel(Panel4)),
      Label14(BoldLabel(Panel4)),
      Label16(BoldLabel(Panel4)),
      Label17(BoldLabel(Panel4)),
      Label11(BoldLabel(Panel4)),
      CBColor(new QCheckBox(QStringLiteral("&Use Color in Charts"), Panel4)),
      FiguresNote(forms::NewFiguresNote(Panel4)),
      bevel1(new QFrame(this)),
      MyLine1(new QFrame(bevel1)),
      MyLine2(new QFrame(bevel1)),
      Label19(BoldLabel(this)),
      Label20(BoldLabel(this)),
      Label21(BoldLabel(this)),
      Label22(BoldLabel(this)),
      Panel2(new QFrame(this)),
      Button1(new QPushButton(QStringLiteral("&Close"), Panel2)),
      Button2(new QPushButton(QStringLiteral("&Print"), Panel2)),
      Button3(new QPushButton(QStringLiteral("&Help"), Panel2)) {
  SetCaption(QStringLiteral("Orvanta Top 10"));
  SetHelpKeyword(QStringLiteral("topten"));
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  resize(800, 600);
  SetBackground(this, Qt::white);
  SetBackground(bevel1, Qt::white);
  bevel1->setFrameShape(QFrame::Box);

  auto* heads = new QGridLayout(Panel4);
  heads->addWidget(Label12, 0, 0, 1, 4);
  heads->addWidget(Label13, 1, 0, 1, 4);
  heads->addWidget(Label14, 2, 0, 1, 4);
  heads->addWidget(Label16, 3, 0);
  heads->addWidget(Label17, 3, 1);
  heads->addWidget(Label11, 3, 2);
  heads->addWidget(CBColor, 3, 3);
  heads->addWidget(FiguresNote, 4, 0, 1, 4);
  Panel4->setFrameShape(QFrame::Panel);
  Panel2->setFrameShape(QFrame::Panel);
  SetPanelColour(palette().color(QPalette::Button));

  for (std::size_t s = 0; s < Bars.size(); ++s) {
    Bars[s] = new QFrame(bevel1);
    Bars[s]->setObjectName(QStringLiteral("c%1").arg(s + 1));
    Legend[s] = BoldLabel(Panel2);
    Legend[s]->setObjectName(QStringLiteral("Label%1").arg(s + 1));
  }
  for (QFrame* line : {MyLine1, MyLine2}) {
    line->setFrameShape(QFrame::HLine);
    line->setFixedHeight(1);
  }
  for (QLabel* scale : {Label19, Label20, Label21, Label22}) {
    scale->setFixedWidth(ScaleLabelWidth);
    scale->setAlignment(Qt::AlignRight | Qt::AlignTop);
  }
  Label22->setText(QStringLiteral("0"));

  connect(CBColor, &QCheckBox::clicked, this, [this] { DrawTop10Chart(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

void TMyChart::FormCreate() {
  CBColor->setChecked(true);
}

void TMyChart::FormShow() {
  DrawTop10Chart();
}

void TMyChart::resizeEvent(QResizeEvent* event) {
  Form::resizeEvent(event);
  DrawTop10Chart();
}

void TMyChart::changeEvent(QEvent* event) {
  Form::changeEvent(event);
  if (event->type() == QEvent::FontChange && isVisible()) DrawTop10Chart();
}

void TMyChart::DrawTop10Chart() {
  const int noteHeight = forms::ShowFiguresNote(*FiguresNote)
                             ? FiguresNote->sizeHint().height() + Panel4->layout()->spacing()
                             : 0;
  Panel4->setGeometry(0, 0, width(), Panel4Height + noteHeight);
  Panel2->setGeometry(0, height() - Panel2Height, width(), Panel2Height);
  const int areaTop = Panel4->height();
  const int areaLeft = Label19->width() + 10;
  const QSize area(std::max(0, width() - areaLeft - 10),
                   std::max(0, height() - Panel2->height() - Panel4->height() - 5));
  bevel1->setGeometry(QRect(QPoint(areaLeft, areaTop), area));

  Label12->setText(ToQString(Headings.Head1 + " - " + TrimBlanks(Headings.Caption)));
  Label13->setText(ToQString(Headings.Head2));
  Label14->setText(ToQString(Headings.Head3));
  SetCaption(QStringLiteral("Orvanta Top 10"));

  const Top10Data& data = Top10Accumulator;
  const std::array<Top10Bar, Top10SlotCount> bars = LayOutTop10Bars(data, area, CBColor->isChecked());
  for (std::size_t s = 0; s < bars.size(); ++s) {
    Bars[s]->setGeometry(bars[s].Rect);
    SetBackground(Bars[s], bars[s].Color);
    Bars[s]->setToolTip(bars[s].Hint);
    const Top10Slot& slot = data.Slots[s];
    const bool named = !TrimBlanks(slot.Name).empty();
    Legend[s]->setText(named ? ToQString(slot.Name + "  " + FormatFloat(",.00", slot.Value)) : QString());
    if (named) SetTextColour(Legend[s], bars[s].Color);
    Legend[s]->adjustSize();
    Legend[s]->move(s < 5 ? 5 : Panel2->width() - Panel2->width() / 2,
                    LegendTop + static_cast<int>(s % 5) * LegendRow);
  }
  const int buttonTop = Panel2Height - Button1->sizeHint().height() - 8;
  int buttonLeft = Panel2->width() - 8;
  for (QPushButton* button : {Button3, Button2, Button1}) {
    buttonLeft -= button->sizeHint().width() + 6;
    button->setGeometry(QRect(QPoint(buttonLeft, buttonTop), button->sizeHint()));
  }
  PlaceScale(area, data.Slots[0].Value);
  Top10Accumulator.Top10Total = data.SlotSum();
  ShowTotals(Top10Accumulator.Top10Total);
}

void TMyChart::PlaceScale(QSize area, double top) {
  const int areaTop = bevel1->y();
  MyLine1->setGeometry(1, area.height() / 3 * 2, area.width() - 2, 1);
  MyLine2->setGeometry(1, area.height() / 3, area.width() - 2, 1);
  Label19->setText(ToQString(FormatFloat(",0", top / 3)));
  Label20->setText(ToQString(FormatFloat(",0", top / 3 * 2)));
  Label21->setText(ToQString(FormatFloat(",0", top)));
  Label19->move(0, areaTop + MyLine1->y() - 5);
  Label20->move(0, areaTop + MyLine2->y() - 5);
  Label21->move(0, areaTop + 2);
  Label22->move(0, Panel4->height() + area.height() - 10);
}

void TMyChart::ShowTotals(double top10) {
  Label16->setText(ToQString("Top 10: " + FormatFloat(",0.00", top10)));
  if (top10 <= 0) {
    Legend[2]->setText(QStringLiteral("There is no Top 10 data (numbers greater than zero) to chart."));
    SetTextColour(Legend[2], Qt::red);
    Legend[2]->adjustSize();
  }
  const Top10Data& data = Top10Accumulator;
  Label17->setText(ToQString("Other: " + FormatFloat(",0.00", data.OtherTotal)));
  SetTextColour(Label17, RedWhenNegative(data.OtherTotal));
  Label11->setText(ToQString("Grand Total: " + FormatFloat(",0.00", data.GrandTotal)));
  SetTextColour(Label11, RedWhenNegative(data.GrandTotal));
}

void TMyChart::SetPanelColour(const QColor& colour) {
  SetBackground(Panel4, colour);
  SetBackground(Panel2, colour);
}

void TMyChart::Button1Click() {
  Close();
}

void TMyChart::Button2Click() {
  // The image is rendered from the window itself, so nothing on the screen can get into it; the
  // buttons and the colour box are left out of it and the panels printed white.
  struct PrintLook {
    TMyChart& chart;
    explicit PrintLook(TMyChart& c) : chart(c) {
      for (QWidget* control : Controls()) control->hide();
      chart.SetPanelColour(Qt::white);
    }
    ~PrintLook() {
      chart.SetPanelColour(chart.palette().color(QPalette::Button));
      for (QWidget* control : Controls()) control->show();
    }
    std::array<QWidget*, 4> Controls() const {
      return {chart.Button1, chart.Button2, chart.Button3, chart.CBColor};
    }
  };
  {
    PrintLook look(*this);
    platform::print::PrintWindowImage(*this);
  }
  platform::ui::ShowMessage(platform::print::PrintedNotice("Bar Chart", "sent to Windows Print Manager"));
}

void TMyChart::Button3Click() {
  platform::ui::Application->HelpKeyword(QStringLiteral("topten"));
}

TMyChart& CreateMyChart() {
  return forms::FormInstance(MyChart);
}

}  // namespace reports
