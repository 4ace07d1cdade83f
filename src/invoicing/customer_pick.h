#pragma once
// The Customer Manager shown as the customer picker of invoice entry and payments.

#include <string>

#include "forms/entry_parts.h"

namespace invoicing {

using forms::kDoubleClickToSelect;
using forms::kRightClickForMenu;

// Shows the Customer Manager to pick a customer, starting from the one the window shows. True
// when one was picked: it is then in SelectedCustomer.
bool PickCustomer(const std::string& shownName, const std::string& shownNumber);

}  // namespace invoicing
