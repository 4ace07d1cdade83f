#pragma once
// Amounts as the lists show them. A record may hold an amount that is not a number (a damaged
// record, a field typed into by an older version); lists repaint every row many times a second,
// so showing such an amount must never raise: it is shown as it is stored.

#include <string>
#include <string_view>

namespace records {

// The stored amount text formatted ",0.00", or the stored text itself when it is not a number.
std::string FormatStoredAmount(std::string_view stored);
// The same in another pattern of FormatFloat (",.00" in the Find list's totals).
std::string FormatStoredAmount(std::string_view stored, std::string_view format);

}  // namespace records
