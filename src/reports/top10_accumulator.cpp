#include "reports/top10_accumulator.h"

#include <utility>

namespace reports {

Top10Data Top10Accumulator;

void Top10Data::ResetTop10() {
  *this = Top10Data{};
}

void Top10Data::AddTop10(const std::string& key, double value) {
  GrandTotal += value;
  // The highest slot whose value is below the offer: with the slots in descending order that
  // is the last slot whenever the last slot is smaller.
  int k = Top10SlotCount;
  while (k > 0 && !(Slots[k - 1].Value < value)) --k;
  if (k == 0) {
    OtherTotal += value;
    return;
  }
  Top10Slot& replaced = Slots[k - 1];
  OtherTotal += replaced.Value;
  replaced = {value, key.substr(0, Top10NameLength)};
  // Back into descending order by exchanges, so that slots of equal value end up in the same
  // order every time the same offers come in.
  for (int i = 0; i < Top10SlotCount - 1; ++i)
    for (int j = i + 1; j < Top10SlotCount; ++j)
      if (Slots[i].Value < Slots[j].Value) std::swap(Slots[i], Slots[j]);
}

double Top10Data::SlotSum() const {
  double sum = 0;
  for (const Top10Slot& slot : Slots) sum += slot.Value;
  return sum;
}

}  // namespace reports
