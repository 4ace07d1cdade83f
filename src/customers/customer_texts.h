#pragma once
// The texts the Customer Manager shows of its customers: the browser's header and rows, and the
// lines of the customer list report. All Windows-1252.

#include <QDateTime>
#include <array>
#include <string>
#include <vector>

#include "records/customer_rec.h"

namespace customers {

std::array<std::string, 4> BillingLines(const records::CustomerRec& customer);
std::array<std::string, 4> ShippingLines(const records::CustomerRec& customer);

std::string CustomerBrowserHeader();
std::string CustomerBrowserRow(const records::CustomerRec& customer);

// The report's first three lines: title, date and time, rule.
std::vector<std::string> CustomerListHeading(const std::string& companyName, const QDateTime& now);
// The lines of one customer, ended by a rule; with the billing and shipping addresses or without.
std::vector<std::string> CustomerListEntry(const records::CustomerRec& customer, bool withAddresses);

}  // namespace customers
