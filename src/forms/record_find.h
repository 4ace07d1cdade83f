#pragma once
// The Find dialog over the files the managers browse: the record chosen there is read into the
// manager's record and the manager's browser moves to it. A file that cannot be searched or read
// then is said, naming it and the reason, and the browser stays where it was.

#include "records/customer_rec.h"
#include "records/product_rec.h"
#include "records/vendor_rec.h"
#include "storage/browser/rec_browser.h"

namespace forms {

// The Find dialog over the customer file ("Find Customer"): reads the customer chosen there into
// the Customer Manager's record and moves its browser to that customer. False when the user
// chose none or the customer is no longer there.
bool FindCustomer(storage::TRecBrowser& browser, records::CustomerRec& customer);
// The Find dialog over the product file ("Find Product"): reads the product whose code was
// chosen there into the Product Manager's record and moves its browser to it. False when the
// user chose none or the product is no longer there.
bool FindProduct(storage::TRecBrowser& browser, records::ProductRec& product);
// The Find dialog over the invoice file ("Find Invoice/Payment"): reads the record of the
// invoice number chosen there into InvoiceBuf and moves the Invoice Manager's browser to it.
// False when the user chose none or the record is no longer there.
bool FindInvoice(storage::TRecBrowser& browser);
// The Find dialog over the vendor file ("Find Vendor"): reads the vendor whose number was chosen
// there into the Vendor Manager's record and moves its browser to it. False when the user chose
// none or the vendor is no longer there.
bool FindVendor(storage::TRecBrowser& browser, records::VendorRec& vendor);
// The Find dialog over the PO header file ("Find PO"): reads the header of the PO number chosen
// there into POHeaderBuf and moves the PO Manager's browser to it. False when the user chose
// none or the PO is no longer there.
bool FindPO(storage::TRecBrowser& browser);
}  // namespace forms
