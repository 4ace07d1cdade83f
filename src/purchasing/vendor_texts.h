#pragma once
// The texts the Vendor Manager shows of its vendors: the browser's header and rows, and the
// lines of the vendor list report. All Windows-1252.

#include <QDateTime>
#include <string>
#include <vector>

#include "records/vendor_rec.h"

namespace purchasing {

std::string VendorBrowserHeader();
std::string VendorBrowserRow(const records::VendorRec& vendor);

// The report's first three lines: "Vendor List for " and the company, date and time, rule.
std::vector<std::string> VendorListHeading(const std::string& companyName, const QDateTime& now);
// The lines of one vendor, ended by a rule; with the order and shipping addresses or without.
std::vector<std::string> VendorListEntry(const records::VendorRec& vendor, bool withAddresses);

}  // namespace purchasing
