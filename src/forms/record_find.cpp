#include "forms/record_find.h"

#include "forms/find_box.h"
#include "forms/find_modes.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"

namespace forms {

using namespace records;

bool FindCustomer(storage::TRecBrowser& browser, CustomerRec& customer) {
  constexpr int NumberColumn = 1;
  std::optional<FindRow> row = RunFind("Find Customer", "Cust");
  if (!row) return false;
  CustomerRec wanted;
  wanted.CustomerNo.Set((*row)[NumberColumn]);
  return ShowRecordByKey(browser, CustomerUnit(), BuildCustomerKey(wanted, 2), 2, customer, BuildCustomerKey);
}

bool FindProduct(storage::TRecBrowser& browser, ProductRec& product) {
  constexpr int CodeColumn = 0;
  std::optional<FindRow> row = RunFind("Find Product", "Prod");
  if (!row) return false;
  ProductRec wanted;
  wanted.Code.Set((*row)[CodeColumn]);
  return ShowRecordByKey(browser, ProductUnit(), BuildProductKey(wanted, 1), 1, product, BuildProductKey);
}

bool FindInvoice(storage::TRecBrowser& browser) {
  constexpr int InvoiceNumberColumn = 1;
  AddInvoiceFindMode();
  std::optional<FindRow> row = RunFind("Find Invoice/Payment", "Inv");
  if (!row) return false;
  InvoiceRec wanted;
  wanted.InvoiceNo.Set((*row)[InvoiceNumberColumn]);
  return ShowRecordByKey(browser, InvoiceUnit(), BuildInvoiceKey(wanted, 1), 1, InvoiceBuf, BuildInvoiceKey);
}

bool FindVendor(storage::TRecBrowser& browser, VendorRec& vendor) {
  constexpr int NumberColumn = 1;
  std::optional<FindRow> row = RunFind("Find Vendor", "Vend");
  if (!row) return false;
  VendorRec wanted;
  wanted.VendorNo.Set((*row)[NumberColumn]);
  return ShowRecordByKey(browser, VendorUnit(), BuildVendorKey(wanted, 2), 2, vendor, BuildVendorKey);
}

bool FindPO(storage::TRecBrowser& browser) {
  // The row's caption is its date; the PO number stands in the second column.
  constexpr int PONumberColumn = 1;
  std::optional<FindRow> row = RunFind("Find PO", "PO");
  if (!row) return false;
  POHeaderRec wanted;
  wanted.PONumber.Set((*row)[PONumberColumn]);
  return ShowRecordByKey(browser, POHeaderUnit(), BuildPOHeaderKey(wanted, 1), 1, POHeaderBuf,
                         BuildPOHeaderKey);
}

}  // namespace forms
