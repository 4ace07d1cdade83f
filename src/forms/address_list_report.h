#pragma once
// The list report of an address book (customers, vendors): the two questions asked first, and
// the run that shows the progress window, writes the lines and shows them in the list window.

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace forms {

struct AddressListChoice {
  bool WithAddresses = false;
  bool ByNumber = false;
};

// Asks "Do you want to include the <kind> addresses on this list?" (Yes, No, Cancel) and
// "<Kind>s will be sorted by name. Would you rather sort by <kind> number?" (Yes, No; No
// proposed). None when the user cancels. `kind` is the singular in lower case: "vendor".
std::optional<AddressListChoice> AskAddressListChoice(const QString& kind);

// Shows "Preparing list..." in the progress window captioned "<Kind> List", builds the lines,
// writes and loads them, closes the progress window and shows the list window captioned
// "<Kind> List by Number" or "<Kind> List by Name"; its file is saved as "<Kind>".
void RunAddressListReport(const QString& kind, bool byNumber,
                          const std::function<std::vector<std::string>()>& lines);

}  // namespace forms
