#pragma once
// State of the run that start-up sets and many windows read: the default dates offered by the
// next invoice and purchase order, and the flags the command-line jobs, the label wizard and
// the conversions raise. All of it lives in memory only, for one run.

#include <cstdint>
#include <functional>
#include <string>

namespace forms {

// Defaults of the next invoice and purchase-order dates, in the short date format: today at
// start and at every company change; the entry forms keep the last date typed.
extern std::string LastInvoiceDate;
extern std::string LastPODate;
extern std::string LastPODateRequired;
extern std::string LastPOReceivedDate;

// Set by the command-line invoice job while it runs; read by the invoice transactions.
extern uint8_t ExternalInvoiceMode;
// Set by the command-line view job: the Invoice Manager opens filtered on one customer.
extern uint8_t InvoiceFilterOnShow;
// Set by the label wizard while queued labels have been neither printed nor saved; closing
// the program asks about them.
extern uint8_t LabelsQueued;
// Set by the conversions of older data; the next company change rebuilds every data file.
extern uint8_t RebuildAfterConversion;
// Set by the text imports, which append records without their index keys; the manager that
// opened the import rebuilds when it closes.
extern uint8_t RebuildNeeded;

// The main window's output choice: true when documents and statements are to be e-mailed rather
// than printed. Installed by the main window; false (the printer) before it is.
extern std::function<bool()> DocumentsByEMail;
bool EMailOutputChosen();

// Today's date in the short date format into the four default dates.
void ResetDefaultDates();

}  // namespace forms
