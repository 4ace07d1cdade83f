#pragma once
// The idle time-out of the socket waits, counted in whole seconds by a one-second timer that
// runs on the user-interface thread: each tick takes one second off what remains, and every
// byte that moves puts the full time-out back. The timer only ticks while events are being
// processed, which every socket wait does.

#include <QTimer>
#include <functional>
#include <stdexcept>

namespace platform::net {

// No timer can be had (there is no event loop on this thread).
class EOutOfResources : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TmsTimer {
 public:
  TmsTimer();
  ~TmsTimer();
  TmsTimer(const TmsTimer&) = delete;
  TmsTimer& operator=(const TmsTimer&) = delete;

  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void SetOnTimer(std::function<void()> handler);

 private:
  void Rearm();

  QTimer timer_;
  std::function<void()> on_timer_;
  int interval_ = 1000;
  bool enabled_ = true;
};

class TmsTimeCounter {
 public:
  explicit TmsTimeCounter(int timeOut = 60);

  int TimeOut() const { return time_out_; }
  void SetTimeOut(int seconds) { time_out_ = seconds; }
  int Remaining() const { return remaining_; }

  void Start();  // the full time-out remains; the timer runs (the timed-out flag is left as it is)
  void Stop();   // the timer stops
  void Reset();  // the full time-out remains, not timed out; the timer runs
  void Tick();   // one second has passed
  bool TimedOut() const { return timed_out_; }

 private:
  TmsTimer timer_;
  int remaining_ = 0;
  int time_out_ = 60;
  bool timed_out_ = false;
};

}  // namespace platform::net
