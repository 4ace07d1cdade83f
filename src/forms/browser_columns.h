#pragma once
// The columns of a manager's browser rows: fields trimmed and padded to their widths, amounts
// right-aligned in 12, the whole row padded to 128 characters. A wider text keeps every
// character and pushes the later columns on: a cut number would show a wrong value.

#include <cstddef>
#include <string>
#include <string_view>

namespace forms {

inline constexpr std::size_t kBrowserRowWidth = 128;
inline constexpr std::size_t kBrowserAmountWidth = 12;

// The text trimmed and padded on the right to width.
std::string BrowserColumn(std::string_view text, std::size_t width);
// The text right-aligned in 12.
std::string BrowserAmountColumn(std::string_view text);
// A stored amount formatted ",0.00" (as stored when it is no number), right-aligned in 12.
std::string BrowserStoredAmount(std::string_view stored);
// The row padded to 128.
std::string BrowserRow(std::string_view text);

}  // namespace forms
