#pragma once
// The statement in the Customer Statement window as fixed-width plain-text e-mail (80 columns
// where the texts fit their fields, 82 for the rule lines), sent to the customer's addresses,
// or to the company under "BAD CUSTOMER E-MAIL: " when the customer has no usable address. The
// caller has connected with EnsureMailOnline and quits afterwards. Nothing is sent while a
// posting waits to be undone (DocumentRefused).

#include <string>
#include <vector>

namespace documents {

std::vector<std::string> StatementMailText();
void EmailStatementText();

}  // namespace documents
