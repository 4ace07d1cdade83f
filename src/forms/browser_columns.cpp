#include "forms/browser_columns.h"

#include "platform/text/key_text.h"
#include "records/stored_amount.h"

namespace forms {

using platform::text::PadRightWith;
using platform::text::TrimBlanks;

std::string BrowserColumn(std::string_view text, std::size_t width) {
  return PadRightWith(TrimBlanks(text), ' ', width);
}

std::string BrowserAmountColumn(std::string_view text) {
  return platform::text::PadLeftWith(text, ' ', kBrowserAmountWidth);
}

std::string BrowserStoredAmount(std::string_view stored) {
  return BrowserAmountColumn(records::FormatStoredAmount(TrimBlanks(stored)));
}

std::string BrowserRow(std::string_view text) {
  return PadRightWith(text, ' ', kBrowserRowWidth);
}

}  // namespace forms
