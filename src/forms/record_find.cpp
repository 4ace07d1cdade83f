#include "forms/record_find.h"

#include "forms/find_box.h"
#include "forms/find_modes.h"
#include "forms/unusable_file.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"

namespace forms {

using namespace records;

namespace {

// Runs the Find dialog titled `title` and shows the record of the row chosen there with `show`;
// a file that cannot be searched or read then is said, naming it.
template <class Show>
bool FindAndShow(const char* title, const char* mode, Show show) {
  std::optional<FindRow> row = RunFind(title, mode);
  if (!row) return false;
  return CheckReads(title, [&] { return show(*row); });
}

}  // namespace

bool FindCustomer(storage::TRecBrowser& browser, CustomerRec& customer) {
  constexpr int NumberColumn = 1;
  return FindAndShow("Find Customer", "Cust", [&](const FindRow& row) {
    CustomerRec wanted;
    wanted.CustomerNo.Set(row[NumberColumn]);
    return ShowRecordByKey(browser, CustomerUnit(), BuildCustomerKey(wanted, 2), 2, customer,
                           BuildCustomerKey);
  });
}

bool FindProduct(storage::TRecBrowser& browser, ProductRec& product) {
  constexpr int CodeColumn = 0;
  return FindAndShow("Find Product", "Prod", [&](const FindRow& row) {
    ProductRec wanted;
    wanted.Code.Set(row[CodeColumn]);
    return ShowRecordByKey(browser, ProductUnit(), BuildProductKey(wanted, 1), 1, product, BuildProductKey);
  });
}

bool FindInvoice(storage::TRecBrowser& browser) {
  constexpr int InvoiceNumberColumn = 1;
  AddInvoiceFindMode();
  return FindAndShow("Find Invoice/Payment", "Inv", [&](const FindRow& row) {
    InvoiceRec wanted;
    wanted.InvoiceNo.Set(row[InvoiceNumberColumn]);
    return ShowRecordByKey(browser, InvoiceUnit(), BuildInvoiceKey(wanted, 1), 1, InvoiceBuf,
                           BuildInvoiceKey);
  });
}

bool FindVendor(storage::TRecBrowser& browser, VendorRec& vendor) {
  constexpr int NumberColumn = 1;
  return FindAndShow("Find Vendor", "Vend", [&](const FindRow& row) {
    VendorRec wanted;
    wanted.VendorNo.Set(row[NumberColumn]);
    return ShowRecordByKey(browser, VendorUnit(), BuildVendorKey(wanted, 2), 2, vendor, BuildVendorKey);
  });
}

bool FindPO(storage::TRecBrowser& browser) {
  // The row's caption is its date; the PO number stands in the second column.
  constexpr int PONumberColumn = 1;
  return FindAndShow("Find PO", "PO", [&](const FindRow& row) {
    POHeaderRec wanted;
    wanted.PONumber.Set(row[PONumberColumn]);
    return ShowRecordByKey(browser, POHeaderUnit(), BuildPOHeaderKey(wanted, 1), 1, POHeaderBuf,
                           BuildPOHeaderKey);
  });
}

}  // namespace forms
