#include "records/number_counter.h"

#include <cctype>
#include <stdexcept>

#include "platform/text/key_text.h"
#include "platform/text/number_text.h"

namespace records {

namespace {

std::string Capitalized(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

}  // namespace

NumberCounter InvoiceNumberCounter(bool prefixed) {
  if (prefixed)
    return {"invoice number", 5, "the 5 characters after the month-and-year prefix of an invoice number"};
  return {"invoice number", 9, "the 9 characters of an invoice number"};
}

NumberCounter PONumberCounter(bool prefixed) {
  if (prefixed) return {"PO number", 5, "the 5 characters after the month-and-year prefix of a PO number"};
  return {"PO number", 9, "the 9 characters of a PO number"};
}

std::optional<int64_t> NextWithin(const NumberCounter& counter, int64_t last) {
  const int64_t next = last + 1;
  if (std::to_string(next).size() > counter.Width) return std::nullopt;
  return next;
}

std::string CounterTextAfter(const NumberCounter& counter, int64_t last) {
  const std::optional<int64_t> next = NextWithin(counter, last);
  return next ? std::to_string(*next) : std::string();
}

std::string CounterEndedText(const NumberCounter& counter, int64_t last) {
  const std::string name(counter.Name);
  return Capitalized(name) + " " + std::to_string(last) + " is the largest number " +
         std::string(counter.Room) + " hold, so no next " + name +
         " will be offered: type the next one yourself.";
}

std::optional<std::string> EndedByTypedNumber(const NumberCounter& counter, std::string_view typed) {
  const std::optional<int32_t> value = platform::text::TryStrToInt(platform::text::TrimBlanks(typed));
  if (!value || NextWithin(counter, *value)) return std::nullopt;
  return CounterEndedText(counter, *value);
}

void RequireFits(const NumberCounter& counter, int64_t number, std::string_view refusal) {
  if (std::to_string(number).size() <= counter.Width) return;
  throw std::runtime_error("The next " + std::string(counter.Name) + ", " + std::to_string(number) +
                           ", does not fit " + std::string(counter.Room) + ". " + std::string(refusal));
}

}  // namespace records
