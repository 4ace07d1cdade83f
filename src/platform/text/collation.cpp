#include "platform/text/collation.h"

#include <QLocale>
#include <algorithm>
#include <numeric>
#include <string>

#include "platform/text/codepage.h"
#include "platform/text/upper_case.h"

namespace platform::text {

CaselessCollation::CaselessCollation() : byCapitals_(collator_.locale().language() == QLocale::C) {
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

namespace {

int CompareCapitals(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t at = 0; at < common; ++at) {
    const auto upperA = static_cast<unsigned char>(UpperChar(a[at]));
    const auto upperB = static_cast<unsigned char>(UpperChar(b[at]));
    if (upperA != upperB) return upperA < upperB ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The places of texts whose order is `sorted` and of which `same` tells neighbours that compare equal.
template <class Same>
std::vector<uint32_t> PlacesInOrder(const std::vector<uint32_t>& sorted, Same same) {
  std::vector<uint32_t> places(sorted.size());
  uint32_t place = 0;
  for (std::size_t at = 0; at < sorted.size(); ++at) {
    if (at > 0 && !same(sorted[at - 1], sorted[at])) ++place;
    places[sorted[at]] = place;
  }
  return places;
}

}  // namespace

int CaselessCollation::Compare(std::string_view a, std::string_view b) const {
  if (byCapitals_) return CompareCapitals(a, b);
  return collator_.compare(ToQString(a), ToQString(b));
}

std::vector<uint32_t> CaselessCollation::Places(const std::vector<std::string_view>& texts) const {
  std::vector<uint32_t> order(texts.size());
  std::iota(order.begin(), order.end(), 0u);
  if (byCapitals_) {
    std::vector<std::string> capitals;
    capitals.reserve(texts.size());
    for (std::string_view text : texts) capitals.push_back(UpperCase(text));
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return capitals[a] < capitals[b]; });
    return PlacesInOrder(order, [&](uint32_t a, uint32_t b) { return capitals[a] == capitals[b]; });
  }
  std::vector<QCollatorSortKey> keys;
  keys.reserve(texts.size());
  for (std::string_view text : texts) keys.push_back(collator_.sortKey(ToQString(text)));
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a].compare(keys[b]) < 0; });
  return PlacesInOrder(order, [&](uint32_t a, uint32_t b) { return keys[a].compare(keys[b]) == 0; });
}

}  // namespace platform::text
