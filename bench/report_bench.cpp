// Three reports beside SQLite, in one run: the accounts receivable aging report (the open items of
// the invoice file), the sales report over the invoice lines of one year and the PO register over
// the POs of one year. Both sides make the same table: the report builders walk the engine's
// files; SQLite answers one query each over the same records, loaded into tables with the indexes
// the builders' walks use (date paid, type with number; line date; PO date), and its rows are
// composed into cells with the same routines. The tables are
// compared cell by cell before the times are printed. SQLite has as much cache memory as the
// engine's page buffers.
//
//   report_bench [invoices] [scratch folder]   (default: 200,000 invoices of 3 lines each, and
//                                                half as many POs)

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/text/format_float.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/po_header_file.h"
#include "report_data.h"
#include "reports/line_reports.h"
#include "reports/po_reports.h"
#include "reports/receivables_report.h"
#include "reports/report_lines.h"
#include "storage/isam.h"
#include "storage/page_cache.h"
#include "workload.h"

namespace {

using namespace records;
using bench::SqliteReceivables;
using bench::SqliteSales;
using Sqlite = bench::ReportSqlite;
using reports::ReportTable;

using bench::kLinesPerInvoice;
using bench::Workload;
constexpr int kPageBuffers = 30;

using bench::Die;
using bench::Seconds;

void LoadEngine(const Workload& work) {
  bench::FileInvoicesAndLines(work);
  if (!CreatePOHeaderFile() || !OpenPOHeaderFile()) Die("cannot create the PO file");
  for (const POHeaderRec& r : work.POs) {
    storage::IsamRecRef ref = 0;
    if (!AddPOHeaderRecord(r, ref)) Die("PO add failed");
  }
  storage::IsamCloseFileBlock(POHeaderFile);
}

void LoadSqlite(Sqlite& db, const Workload& work) {
  bench::LoadInvoicesAndLines(db, work);
  db.Exec(
      "CREATE TABLE pos(number TEXT, status TEXT, vendor TEXT, short_name TEXT, sort_date TEXT, net TEXT, "
      "tax TEXT, total TEXT)");
  db.Exec("BEGIN");
  db.InsertAll("INSERT INTO pos VALUES(?,?,?,?,?,?,?,?)", work.POs, [](const POHeaderRec& r) {
    return std::vector<std::string>{r.PONumber.Get(), r.POStatus.Get(),  r.VendorNo.Get(),  r.ShortName.Get(),
                                    r.SortDate.Get(), r.NetAmount.Get(), r.TaxAmount.Get(), r.POTotal.Get()};
  });
  // The index of the PO register's walk: the PO date.
  db.Exec("CREATE INDEX pos_date ON pos(sort_date)");
  db.Exec("COMMIT");
}

// The PO register from SQLite: the POs of the range with a number, in date order; a PO of no
// value only while it is open.
ReportTable SqlitePORegister(Sqlite& db, const std::string& from, const std::string& to) {
  const std::vector<reports::ReportColumn> columns =
      reports::RegisterShape("PO Register",
                             {reports::TextColumn("Year/Mo/Dy", 10), reports::TextColumn("PO#", 9),
                              reports::TextColumn("Short Name", 10), reports::TextColumn("Vendor#", 8)})
          .Columns;
  ReportTable table;
  table.AddRow(reports::HeadingRow(columns));
  db.Query(
      "SELECT sort_date, number, short_name, vendor, net, tax, total, status FROM pos "
      "WHERE sort_date BETWEEN ?1 AND ?2 AND trim(number) <> '' "
      "AND (CAST(total AS REAL) <> 0 OR status = 'O') ORDER BY sort_date, rowid",
      {from, to}, [&](const std::vector<std::string>& v) {
        table.AddRow(reports::ComposeRow(columns, {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]}));
      });
  return table;
}

void Compare(const char* what, const ReportTable& engine, const ReportTable& sqlite) {
  if (!(engine == sqlite))
    Die(std::string(what) + ": the tables differ (" + std::to_string(engine.RowCount()) + " rows beside " +
        std::to_string(sqlite.RowCount()) + ")");
}

}  // namespace

int main(int argc, char** argv) {
  const int invoices = argc > 1 ? std::atoi(argv[1]) : 200000;
  std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2])
                                          : std::filesystem::temp_directory_path() / "kestrava_report_bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);

  platform::text::FixedClock clock(QDateTime(QDate(2026, 12, 31), QTime(12, 0)));
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  storage::IsamInitialize(0, kPageBuffers);
  bench::SetUpReportCompany();

  std::printf("%d invoices, %d lines, %d POs\n", invoices, invoices * kLinesPerInvoice, invoices / 2);
  const Workload work(invoices, 5000, 900, invoices / 2);
  LoadEngine(work);
  // SQLite gets the cache memory of the engine's page buffers.
  const int cacheKiB = kPageBuffers * static_cast<int>(sizeof(storage::IsamPageBuffer)) / 1024;
  std::printf("engine %d page buffers, SQLite cache_size=-%d\n", kPageBuffers, cacheKiB);
  Sqlite db((folder / "reports.sqlite").string(), cacheKiB);
  LoadSqlite(db, work);

  const reports::ReportRequest year{"01/01/2026", "12/31/2026", "", platform::text::Now()};
  reports::ReportOutput engineAR, engineSales, enginePOs;
  ReportTable sqliteAR, sqliteSales, sqlitePOs;
  const double arEngine = Seconds([&] { engineAR = reports::CollectAccountsReceivable(year); });
  const double arSqlite = Seconds([&] { sqliteAR = SqliteReceivables(db, year.Now); });
  const double salesEngine = Seconds([&] { engineSales = reports::CollectSalesReport(year); });
  const double salesSqlite = Seconds([&] { sqliteSales = SqliteSales(db, "2026/01/01", "2026/12/31"); });
  const double poEngine = Seconds([&] { enginePOs = reports::CollectPORegister(year); });
  const double poSqlite = Seconds([&] { sqlitePOs = SqlitePORegister(db, "2026/01/01", "2026/12/31"); });
  Compare("A/R", engineAR.Table, sqliteAR);
  Compare("Sales Report", engineSales.Table, sqliteSales);
  Compare("PO Register", enginePOs.Table, sqlitePOs);

  std::printf("%-24s %8s %10s %10s %7s\n", "report", "rows", "engine s", "SQLite s", "ratio");
  std::printf("%-24s %8d %10.3f %10.3f %7.2f\n", "Accounts Receivable", engineAR.Table.RowCount() - 1,
              arEngine, arSqlite, arEngine / arSqlite);
  std::printf("%-24s %8d %10.3f %10.3f %7.2f\n", "Sales Report (one year)", engineSales.Table.RowCount() - 1,
              salesEngine, salesSqlite, salesEngine / salesSqlite);
  std::printf("%-24s %8d %10.3f %10.3f %7.2f\n", "PO Register (one year)", enginePOs.Table.RowCount() - 1,
              poEngine, poSqlite, poEngine / poSqlite);
  storage::IsamShutdown();
  return 0;
}
