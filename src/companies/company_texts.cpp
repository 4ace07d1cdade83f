#include "companies/company_texts.h"

#include "platform/text/amount.h"
#include "platform/text/format_date_time.h"
#include "platform/text/key_text.h"

namespace companies {

using namespace records;

using platform::text::PadLeftBlanks;
using platform::text::PadRightWith;

namespace {

const std::string Rule(80, '-');
constexpr std::size_t RowWidth = 128;  // the width of a browser row

std::string LeftIn(const std::string& text, std::size_t width) {
  return PadRightWith(text, ' ', width).substr(0, width);
}

// The receivables total as the lists show it; a total that is not an amount shows as stored.
std::string ShownTotal(const CompanyRec& company) {
  const std::string stored = company.CompanyARBalance.Get();
  const auto amount = platform::text::ParseAmount(stored);
  return amount ? platform::text::FormatAmount(*amount) : stored;
}

}  // namespace

std::string CompanyBrowserHeader() {
  return LeftIn(
      LeftIn("Company Name", 35) + " " + LeftIn("Number", 6) + " " + PadLeftBlanks("Balance", ' ', 12),
      RowWidth);
}

std::string CompanyBrowserRow(const CompanyRec& company) {
  return LeftIn(LeftIn(company.CompanyName.Get(), 35) + " " + LeftIn(company.CompanyNumber.Get(), 6) + " " +
                    PadLeftBlanks(ShownTotal(company), ' ', 12),
                RowWidth);
}

std::string UnreadableCompanyRow(const std::string& key) {
  return "****  " + key;
}

std::vector<std::string> CompanyListHeading(const QDateTime& now) {
  return {"Palvero Company List",
          "Date: " + platform::text::FormatDateTime("dddd, mmmm d, yyyy, hh:mm AM/PM", now), Rule};
}

std::vector<std::string> CompanyListEntry(const CompanyRec& company) {
  if (platform::text::TrimBlanks(company.CompanyNumber.Get()).empty()) return {};
  const std::string line = LeftIn(company.CompanyName.Get(), 35) +
                           "    Number: " + PadRightWith(company.CompanyNumber.Get(), ' ', 5) +
                           "    A/R: " + PadRightWith(ShownTotal(company), ' ', 12);
  return {line.substr(0, 85), Rule};
}

}  // namespace companies
