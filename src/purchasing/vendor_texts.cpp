#include "purchasing/vendor_texts.h"

#include "forms/address_printouts.h"
#include "platform/text/key_text.h"
#include "records/stored_amount.h"

namespace purchasing {

using namespace records;

namespace {

std::string Pad(const std::string& text, std::size_t width) {
  return platform::text::PadRightWith(text, ' ', width);
}

std::string BrowserLine(const std::string& name, const std::string& number, const std::string& phone) {
  return Pad(Pad(name, 35).substr(0, 35) + ' ' + Pad(number, 8) + ' ' + Pad(phone, 25), 128);
}

}  // namespace

std::string VendorBrowserHeader() {
  return BrowserLine("Name", "Number", "Phone Number(s)");
}

std::string VendorBrowserRow(const VendorRec& v) {
  return BrowserLine(v.VendorName.Get(), platform::text::TrimBlanks(v.VendorNo.Get()), v.Phone1.Get());
}

std::vector<std::string> VendorListHeading(const std::string& companyName, const QDateTime& now) {
  return forms::ListReportHeading("Vendor List for " + companyName, now);
}

std::vector<std::string> VendorListEntry(const VendorRec& v, bool withAddresses) {
  std::vector<std::string> lines = {
      Pad(v.VendorName.Get(), 35) + "     Number: " + Pad(v.VendorNo.Get(), 8) +
          "    Balance: " + FormatStoredAmount(v.Balance.Get()),
      "Short Name: " + Pad(v.ShortName.Get(), 10) + "    Type: " + Pad(v.VendorType.Get(), 25) +
          "   Last Pmt: " + v.LastPayment.Get(),
      "Phone1: " + Pad(v.Phone1.Get(), 25) + "     Phone2: " + v.Phone2.Get(),
      "Payment Terms: " + v.POTerms.Get(),
  };
  if (withAddresses) {
    lines.push_back(Pad("Billing Address:", 35) + "     Shipping Address:");
    const std::array<std::string, 4> order = OrderAddressLines(v);
    const std::array<std::string, 4> shipping = ShippingAddressLines(v);
    for (int line = 0; line < 4; ++line) lines.push_back(Pad(order[line], 35) + "     " + shipping[line]);
  }
  lines.push_back(forms::ListReportRule);
  return lines;
}

}  // namespace purchasing
