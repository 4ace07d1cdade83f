#include "customers/customer_texts.h"

#include "forms/address_printouts.h"
#include "platform/text/key_text.h"
#include "records/stored_amount.h"

namespace customers {

using namespace records;

using platform::text::PadLeftBlanks;
using platform::text::PadRightWith;

namespace {

const std::string& Rule = forms::ListReportRule;

std::string Pad(const std::string& text, std::size_t width) {
  return PadRightWith(text, ' ', width);
}

std::string BrowserLine(const std::string& name, const std::string& number, const std::string& balance,
                        const std::string& lastPayment, const std::string& lastInvoice,
                        const std::string& phone) {
  const std::string line = Pad(name.substr(0, 35), 35) + ' ' + Pad(number, 8) + ' ' +
                           PadLeftBlanks(balance, ' ', 12) + ' ' + Pad(lastPayment, 10) + ' ' +
                           Pad(lastInvoice, 9) + ' ' + Pad(phone, 25);
  return Pad(line, 128);
}

}  // namespace

std::array<std::string, 4> BillingLines(const CustomerRec& c) {
  return {c.CustBillTo1.Get(), c.CustBillTo2.Get(), c.CustBillTo3.Get(), c.CustBillTo4.Get()};
}

std::array<std::string, 4> ShippingLines(const CustomerRec& c) {
  return {c.ShipTo1.Get(), c.ShipTo2.Get(), c.ShipTo3.Get(), c.ShipTo4.Get()};
}

std::string CustomerBrowserHeader() {
  return BrowserLine("Name", "Number", "Balance", "Last Pmt.", "Last Inv.", "Phone Number(s)");
}

std::string CustomerBrowserRow(const CustomerRec& c) {
  return BrowserLine(c.CustomerName.Get(), c.CustomerNo.Get(), FormatStoredAmount(c.CustBalance.Get()),
                     c.LastPayment.Get(), c.LastInvoice.Get(), c.Phone1.Get());
}

std::vector<std::string> CustomerListHeading(const std::string& companyName, const QDateTime& now) {
  return forms::ListReportHeading("Customer List for " + companyName, now);
}

std::vector<std::string> CustomerListEntry(const CustomerRec& c, bool withAddresses) {
  const std::string limit = c.CreditLimit.Get().empty() ? "0.00" : c.CreditLimit.Get();
  std::vector<std::string> lines = {
      Pad(c.CustomerName.Get(), 35) + "     Number: " + Pad(c.CustomerNo.Get(), 8) +
          "    Balance: " + FormatStoredAmount(c.CustBalance.Get()),
      "Short Name: " + Pad(c.ShortName.Get(), 10) + "    Type: " + Pad(c.CustomerType.Get(), 25) +
          "   Last Pmt: " + c.LastPayment.Get(),
      "Credit Limit: " + Pad(FormatStoredAmount(limit), 12) +
          "    Last Invoice: " + Pad(c.LastInvoice.Get(), 10) + "   Tax Exempt: " + c.TaxExempt.Get(),
      "Phone1: " + Pad(c.Phone1.Get(), 25) + "     Phone2: " + c.Phone2.Get(),
      "Payment Terms: " + c.PaymentTerms.Get(),
  };
  if (withAddresses) {
    lines.push_back(Pad("Billing Address:", 35) + "     Shipping Address:");
    const std::array<std::string, 4> billing = BillingLines(c);
    const std::array<std::string, 4> shipping = ShippingLines(c);
    for (int line = 0; line < 4; ++line) lines.push_back(Pad(billing[line], 35) + "     " + shipping[line]);
  }
  lines.push_back(Rule);
  return lines;
}

}  // namespace customers
