#pragma once
// The Customer Manager shown as the customer picker of invoice entry and payments.

#include <string>

namespace invoicing {

// The status texts of a manager while it picks for an entry window, and afterwards.
inline constexpr char kDoubleClickToSelect[] = "Double-click or press <enter> to select.";
inline constexpr char kRightClickForMenu[] = "Right-click mouse or select from menu bar.";

// Shows the Customer Manager to pick a customer, starting from the one the window shows. True
// when one was picked: it is then in SelectedCustomer.
bool PickCustomer(const std::string& shownName, const std::string& shownNumber);

}  // namespace invoicing
