#include "shell/timer_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPalette>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "forms/form_instance.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/format_date_time.h"
#include "platform/text/format_float.h"
#include "platform/ui/application.h"

namespace shell {

using namespace forms;

using platform::text::ToQString;
using platform::ui::Application;

std::function<void(const QString&)> ShowTimerStatus;
TTimerForm* TimerForm = nullptr;

namespace {

constexpr int OneSecond = 1000;
constexpr std::size_t HoursTextMax = 11;
const QString Zero = QStringLiteral("00:00:00");

void SetStatus(const QString& text) {
  if (ShowTimerStatus) ShowTimerStatus(text);
}

}  // namespace

std::string ElapsedText(int64_t seconds) {
  seconds = std::max<int64_t>(seconds, 0);
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  return text;
}

std::string HoursText(const std::string& elapsed) {
  long long h = 0, m = 0, s = 0;
  if (std::sscanf(elapsed.c_str(), "%lld:%lld:%lld", &h, &m, &s) != 3) return "00.000";
  double hours = static_cast<double>(h) + static_cast<double>(m) / 60 + static_cast<double>(s) / 3600;
  return platform::text::FormatFloat("00.000", hours).substr(0, HoursTextMax);
}

TTimerForm::TTimerForm(QWidget* parent)
    : Form(parent),
      TimeBtn(new QToolButton(this)),
      StartTime(new QLabel(this)),
      ElapsedTime(new QLabel(this)),
      ToHours(new QLabel(this)),
      StartedCaption(new QLabel(QStringLiteral("Started: "), this)),
      ElapsedCaption(new QLabel(QStringLiteral("Elapsed: "), this)),
      HoursCaption(new QLabel(QStringLiteral("Hours: "), this)),
      Button1(new QPushButton(QStringLiteral("&Close"), this)),
      Button2(new QPushButton(QStringLiteral("&Help"), this)),
      Timer1(new QTimer(this)) {
  SetCaption(QStringLiteral("OV Timer"));
  SetHelpKeyword(QStringLiteral("Timer"));
  TimeBtn->setText(QStringLiteral("Start/Stop Timer"));
  TimeBtn->setToolTip(QStringLiteral("Start/Stop Timer"));
  Timer1->setInterval(OneSecond);
  connect(TimeBtn, &QToolButton::clicked, this, [this] { TimeBtnClick(); });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

  auto* values = new QGridLayout;
  values->addWidget(StartedCaption, 0, 0);
  values->addWidget(StartTime, 0, 1);
  values->addWidget(ElapsedCaption, 1, 0);
  values->addWidget(ElapsedTime, 1, 1);
  values->addWidget(HoursCaption, 2, 0);
  values->addWidget(ToHours, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TimeBtn);
  layout->addLayout(values);
  layout->addLayout(buttons);
}

void TTimerForm::FormCreate() {
  StartTime->setText(Zero);
  ElapsedTime->setText(Zero);
  ToHours->setText(QStringLiteral("00.000"));
}

void TTimerForm::SetButtonColor(Qt::GlobalColor color) {
  QPalette palette = TimeBtn->palette();
  palette.setColor(QPalette::ButtonText, color);
  TimeBtn->setPalette(palette);
}

void TTimerForm::TimeBtnClick() {
  if (Running()) {
    SetCaption(QStringLiteral("OV Timer: OFF"));
    SetStatus(QStringLiteral("Timer Off"));
    SetButtonColor(Qt::black);
    TimeBtn->setText(QStringLiteral("&Start"));
    Timer1->stop();
    return;
  }
  SetButtonColor(Qt::red);
  TimeBtn->setText(QStringLiteral("&Stop"));
  started_ = platform::text::Now();
  Timer1->start();
  StartTime->setText(ToQString(platform::text::FormatDateTime("hh:mm:ss", started_)));
  SetCaption(QStringLiteral("OV Timer: ON"));
}

void TTimerForm::Timer1Timer() {
  std::string elapsed = ElapsedText(started_.secsTo(platform::text::Now()));
  ElapsedTime->setText(ToQString(elapsed));
  ToHours->setText(ToQString(HoursText(elapsed)));
  if (Running()) SetStatus(QStringLiteral("Timer is running... ") + ElapsedTime->text());
}

void TTimerForm::Button1Click() {
  Close();
}

void TTimerForm::Button2Click() {
  Application->HelpKeyword(QStringLiteral("Timer"));
}

TTimerForm& CreateTimerForm() {
  return FormInstance(TimerForm);
}

}  // namespace shell
