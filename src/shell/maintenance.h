#pragma once
// The whole-company maintenance actions of the main window as plain procedures: the rebuild of
// every data file and the removal of settled invoices and received purchase orders older than a
// cut-off date. The main window asks the questions; these do the work, so tests run them alone.

#include <QDate>
#include <string>

namespace shell {

// Rebuilds every data file of the open company and the company list, then says so; a rebuild that
// fails says so itself (with the file and the reason), and nothing is said to be rebuilt.
void RebuildAllDataFiles();

struct PurgeCounts {
  int Invoices = 0;
  int PurchaseOrders = 0;
};

// Removes every settled invoice ("P") and every received purchase order whose sortable date is
// before cutOff, a number only with all of its records: while one record of a number stays (an
// invoice still owing, a payment after the cut-off), so do its payments, lines and memo. The
// counts are the records removed. The lines and memo of a number go with its last record; a
// record that cannot be deleted keeps them and is not counted; each failure is reported and the
// walk goes on. The program's short date format is the same afterwards as before.
PurgeCounts PurgeOldRecords(const QDate& cutOff);

// The date the purge dialog offers: the first day of the month two years before today's.
QDate DefaultPurgeDate(const QDate& today);

}  // namespace shell
