#pragma once
// The order in which lists show texts to the user: the collation of the user's locale, without
// regard to case. Texts are the program's Windows-1252 bytes.

#include <QCollator>
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform::text {

class CaselessCollation {
 public:
  // In the user's locale as it stands now.
  CaselessCollation();

  // Less than, equal to or greater than 0 as `a` sorts before, with or after `b`; texts that
  // differ only in case compare equal.
  int Compare(std::string_view a, std::string_view b) const;

  // Whether texts compare by their capitals' bytes (the C locale), which costs no more than
  // comparing the texts themselves; other collations are best worked out once per text (Places).
  bool ByCapitals() const { return byCapitals_; }

  // The place of each text in this order, counted from 0: texts that compare equal share a place,
  // and the places have no gaps.
  std::vector<uint32_t> Places(const std::vector<std::string_view>& texts) const;

 private:
  QCollator collator_;
  // The C locale's collation tells case apart; there texts compare by their capitals' bytes.
  bool byCapitals_;
};

}  // namespace platform::text
