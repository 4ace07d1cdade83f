#include "purchasing/po_texts.h"

#include "forms/browser_columns.h"
#include "platform/text/key_text.h"

namespace purchasing {

using forms::BrowserAmountColumn;
using forms::BrowserColumn;
using forms::BrowserRow;
using platform::text::TrimBlanks;

std::string POBrowserHeader() {
  return BrowserRow(BrowserColumn("Year/Mo/Dy", 10) + " " + BrowserColumn("PO#", 9) + " " +
                    BrowserColumn("Vendor#", 8) + " " + BrowserColumn("Short Name", 10) + " " +
                    BrowserAmountColumn("Grand Total") + " " + BrowserColumn("Key Code", 8) + " " +
                    BrowserColumn("Received", 10) + " " + BrowserColumn("Required", 10) + " " +
                    BrowserColumn("CO#", 5));
}

std::string POBrowserRow(const records::POHeaderRec& h) {
  return BrowserRow(BrowserColumn(h.SortDate.Get().substr(0, 10), 10) + " " +
                    BrowserColumn(h.PONumber.Get(), 9) + " " + BrowserColumn(h.VendorNo.Get(), 8) + " " +
                    BrowserColumn(h.ShortName.Get(), 10) + " " + forms::BrowserStoredAmount(h.POTotal.Get()) +
                    " " + BrowserColumn(h.KeyCode.Get(), 8) + " " + BrowserColumn(h.ReceivedDate.Get(), 10) +
                    " " + BrowserColumn(h.DateRequired.Get(), 10) + " " +
                    BrowserColumn(h.CompanyNumber.Get(), 5));
}

std::string UnreadablePORow(const std::string& key) {
  return BrowserRow("****  " + key);
}

bool MarkDamagedPO(records::POHeaderRec& h) {
  if (!TrimBlanks(h.PONumber.Get()).empty() && !TrimBlanks(h.POTotal.Get()).empty() &&
      !TrimBlanks(h.VendorNo.Get()).empty())
    return false;
  h.POTotal.Set("0");
  h.VendorNo.Set("0");
  h.ShortName.Set("BAD RECORD");
  h.PONumber.Set("DELETE ME");
  return true;
}

}  // namespace purchasing
