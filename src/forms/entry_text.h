#pragma once
// The vocabulary the entry forms (invoices and purchase orders) are written in: the arithmetic of
// lines and amounts, and the short conversions between a box's text and the Windows-1252 text of
// the records. An entry form's file takes it whole with `using namespace forms::entry_text;`.

#include <QString>
#include <string>
#include <string_view>

#include "forms/entry_parts.h"
#include "forms/line_amounts.h"
#include "platform/text/amount.h"
#include "platform/text/codepage.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "records/company_rec.h"
#include "records/product_rec.h"

namespace forms::entry_text {

using forms::AmountFits;
using forms::Cents;
using forms::DocumentTotals;
using forms::IsValidNumber;
using forms::LenientAmount;
using forms::LenientNumber;
using forms::LineExtension;
using forms::LineItemTotals;
using forms::NumberTextFits;
using forms::SavedRow;
using forms::TotalsLine;
using platform::text::FormatAmount;
using platform::text::FormatFloat;
using platform::text::StripCommas;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using records::CurrentCompany;
using records::ProductRec;

// Windows-1252 text as a box shows it, and a box's text as Windows-1252.
inline QString Text(std::string_view ansi) {
  return platform::text::ToQString(ansi);
}
inline std::string Ansi(const QString& text) {
  return platform::text::ToAnsi(text);
}
// A box's text trimmed, and trimmed and upper-cased.
inline std::string Trimmed(const QString& text) {
  return forms::TrimmedText(text);
}
inline std::string Upper(const QString& text) {
  return forms::UpperText(text);
}
// A figure as the stock panel shows it: thousands separated, two decimals.
inline QString Shown(double value) {
  return Text(FormatFloat(",0.00", value));
}

}  // namespace forms::entry_text
