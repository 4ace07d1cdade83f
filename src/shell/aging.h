#pragma once
// Receivables aging: every customer's open amounts spread over four age buckets by the
// company's three limits in days, the customer's balance and the company's receivables total
// rewritten from them. A plain procedure over the open company's files; the main window draws
// the chart from its result.

#include <array>
#include <optional>

#include "platform/text/amount.h"
#include "records/company_rec.h"

namespace shell {

inline constexpr char BadAgingDaysText[] =
    "There is a bad value in your aging days (Company Setup). You need to setup your Aging Days. Unable to "
    "calculate aging at this time.";

using AgingLimits = std::array<int, 3>;

// The company's three limits; none when one of them is empty or not a whole number.
std::optional<AgingLimits> ReadAgingLimits(const records::CompanyRec& company);
// The bucket (0 to 3) of an amount this many days old; days in the future count as today.
int AgingBucketFor(int days, const AgingLimits& limits);

struct AgingTotals {
  bool Ran = false;  // false: bad limits (the user was told) or no receivables to age
  std::array<platform::text::Cents, 4> Buckets{};
  platform::text::Cents Total = 0;
};

// Ages every customer of the open company (see above) and stamps the company's last aging date
// with today. While a posting waits to be undone the aging waits with it, quietly: it would write
// the customers and the company record that the posting holds, and the first start that has
// undone it ages them (Ran is false then).
AgingTotals RecalculateAging();

// The height of one bar of the chart: its share of the total in whole percent of the frame's
// height, at least 4 pixels for a bucket that holds anything.
int AgingBarHeight(int frameHeight, platform::text::Cents part, platform::text::Cents total);

}  // namespace shell
