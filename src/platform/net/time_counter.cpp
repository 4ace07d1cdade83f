#include "platform/net/time_counter.h"

#include <QAbstractEventDispatcher>

namespace platform::net {

TmsTimer::TmsTimer() {
  timer_.setTimerType(Qt::CoarseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (on_timer_) on_timer_();
  });
}

TmsTimer::~TmsTimer() {
  timer_.stop();
}

void TmsTimer::SetInterval(int milliseconds) {
  interval_ = milliseconds;
  Rearm();
}

void TmsTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Rearm();
}

void TmsTimer::SetOnTimer(std::function<void()> handler) {
  on_timer_ = std::move(handler);
  Rearm();
}

void TmsTimer::Rearm() {
  timer_.stop();
  if (interval_ == 0 || !enabled_ || !on_timer_) return;
  if (!QAbstractEventDispatcher::instance()) throw EOutOfResources("Not enough timers");
  timer_.start(interval_);
}

TmsTimeCounter::TmsTimeCounter(int timeOut) : time_out_(timeOut) {
  timer_.SetEnabled(false);
  timer_.SetOnTimer([this] { Tick(); });
}

void TmsTimeCounter::Start() {
  remaining_ = time_out_;
  timer_.SetEnabled(true);
}

void TmsTimeCounter::Stop() {
  timer_.SetEnabled(false);
}

void TmsTimeCounter::Reset() {
  remaining_ = time_out_;
  timed_out_ = false;
  timer_.SetEnabled(true);
}

void TmsTimeCounter::Tick() {
  --remaining_;
  if (remaining_ < 1) timed_out_ = true;
}

}  // namespace platform::net
