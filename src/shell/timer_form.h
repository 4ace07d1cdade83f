#pragma once
// The work timer: a stop-watch window for timing work. Once started it keeps counting while the
// user works elsewhere, with the window closed too, and the main window's status bar shows that
// it runs.

#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QToolButton>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui/form.h"

namespace shell {

// "hh:mm:ss" of a number of seconds; the hours go past 24 rather than start again.
std::string ElapsedText(int64_t seconds);
// Decimal hours of an "hh:mm:ss" text, formatted "00.000" ("01.500" for an hour and a half).
std::string HoursText(const std::string& elapsed);

class TTimerForm : public platform::ui::Form {
 public:
  explicit TTimerForm(QWidget* parent = nullptr);

  void FormCreate() override;
  void TimeBtnClick();
  void Timer1Timer();
  void Button1Click();
  void Button2Click();

  bool Running() const { return Timer1->isActive(); }

  QToolButton* TimeBtn;
  QLabel* StartTime;
  QLabel* ElapsedTime;
  QLabel* ToHours;
  QLabel* StartedCaption;
  QLabel* ElapsedCaption;
  QLabel* HoursCaption;
  QPushButton* Button1;
  QPushButton* Button2;
  QTimer* Timer1;

 private:
  void SetButtonColor(Qt::GlobalColor color);

  // The whole moment of the start, not only its time of day, so that a run across midnight or
  // over a day keeps counting up.
  QDateTime started_;
};

// Where the timer writes the main window's status panel 1; the main window installs it. Until
// then the texts go nowhere.
extern std::function<void(const QString&)> ShowTimerStatus;

extern TTimerForm* TimerForm;
TTimerForm& CreateTimerForm();

}  // namespace shell
