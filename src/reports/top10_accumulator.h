#pragma once
// The Top 10 accumulator: while the report viewer inserts its sub-total rows, every group total
// is offered here. It keeps the ten largest totals with their keys (largest first), the sum of
// every offer that is not, or no longer, among them, and the sum of all offers. The Top 10 bar
// chart draws from it.

#include <array>
#include <string>

namespace reports {

inline constexpr int Top10SlotCount = 10;
inline constexpr std::size_t Top10NameLength = 20;

struct Top10Slot {
  double Value = 0;
  std::string Name;  // the group's key, at most 20 characters; empty while the slot is unused
};

struct Top10Data {
  double Top10Total = 0;  // the sum of the slots, set when the chart is drawn
  double OtherTotal = 0;
  double GrandTotal = 0;
  std::array<Top10Slot, Top10SlotCount> Slots;  // slot 1 is Slots[0]

  // Every total, value and name back to zero and empty.
  void ResetTop10();
  // Offers one group total. It takes the place of the smallest slot when it is larger; a tie
  // with the smallest slot, like every value that does not enter, counts to the other total.
  void AddTop10(const std::string& key, double value);
  double SlotSum() const;
};

// The program's one accumulator, filled by the report viewer's sort and read by the chart.
extern Top10Data Top10Accumulator;

}  // namespace reports
