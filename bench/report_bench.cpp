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
#include "reports/line_reports.h"
#include "reports/po_reports.h"
#include "reports/receivables_report.h"
#include "reports/report_lines.h"
#include "sqlite_peer.h"
#include "storage/isam.h"
#include "storage/page_cache.h"
#include "workload.h"

namespace {

using namespace records;
using reports::ReportTable;

using bench::kLinesPerInvoice;
using bench::Workload;
constexpr int kPageBuffers = 30;

using bench::Die;
using bench::Seconds;

void LoadEngine(const Workload& work) {
  if (!CreateInvoiceFile() || !CreateDetailFile() || !OpenInvoiceFile() || !OpenDetailFile())
    Die("cannot create the data files");
  for (const InvoiceRec& r : work.Invoices) {
    InvoiceBuf = r;
    storage::IsamRecRef ref = 0;
    if (!AddInvoiceRecord(ref)) Die("invoice add failed");
  }
  for (const DetailRec& d : work.Lines) {
    DetailBuf = d;
    storage::IsamRecRef ref = 0;
    if (!AddDetailRecord(ref)) Die("line add failed");
  }
  storage::IsamCloseFileBlock(InvoiceFile);
  storage::IsamCloseFileBlock(DetailFile);
  if (!CreatePOHeaderFile() || !OpenPOHeaderFile()) Die("cannot create the PO file");
  for (const POHeaderRec& r : work.POs) {
    storage::IsamRecRef ref = 0;
    if (!AddPOHeaderRecord(r, ref)) Die("PO add failed");
  }
  storage::IsamCloseFileBlock(POHeaderFile);
}

// The peer database, with one query that hands each row's texts on.
class Sqlite : public bench::SqlitePeer {
 public:
  using SqlitePeer::SqlitePeer;

  void Query(const std::string& sql, const std::vector<std::string>& parameters,
             const std::function<void(const std::vector<std::string>&)>& row) {
    sqlite3_stmt* s = Prepare(sql);
    for (std::size_t i = 0; i < parameters.size(); ++i)
      sqlite3_bind_text(s, static_cast<int>(i + 1), parameters[i].c_str(), -1, SQLITE_TRANSIENT);
    std::vector<std::string> values;
    while (sqlite3_step(s) == SQLITE_ROW) {
      values.clear();
      for (int c = 0; c < sqlite3_column_count(s); ++c) {
        const unsigned char* text = sqlite3_column_text(s, c);
        values.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
      }
      row(values);
    }
    sqlite3_finalize(s);
  }

  // Adds one row through an INSERT statement with as many parameters as there are values.
  void Insert(sqlite3_stmt* s, std::initializer_list<std::string> values) {
    int column = 0;
    for (const std::string& value : values)
      sqlite3_bind_text(s, ++column, value.c_str(), -1, SQLITE_TRANSIENT);
    Done(s, SQLITE_DONE);
    sqlite3_reset(s);
  }
};

void LoadSqlite(Sqlite& db, const Workload& work) {
  db.Exec(
      "CREATE TABLE invoices(number TEXT, type TEXT, customer TEXT, short_name TEXT, sort_date TEXT, "
      "typed_date TEXT, due TEXT, date_paid TEXT, settled TEXT)");
  db.Exec(
      "CREATE TABLE lines(number TEXT, date TEXT, product TEXT, customer TEXT, short_name TEXT, line_text "
      "TEXT)");
  db.Exec("BEGIN");
  sqlite3_stmt* invoice = db.Prepare("INSERT INTO invoices VALUES(?,?,?,?,?,?,?,?,?)");
  for (const InvoiceRec& r : work.Invoices)
    db.Insert(invoice, {r.InvoiceNo.Get(), r.TransactionType.Get(), r.InvCustomerNo.Get(), r.ShortName.Get(),
                        r.SortDate.Get(), r.InvoiceDate.Get(), r.AmountDue.Get(), r.DatePaid.Get(),
                        r.SettledFlag.Get()});
  sqlite3_finalize(invoice);
  sqlite3_stmt* line = db.Prepare("INSERT INTO lines VALUES(?,?,?,?,?,?)");
  for (const DetailRec& d : work.Lines)
    db.Insert(line, {d.InvoiceNumber.Get(), d.Date.Get(), d.Product.Get(), d.Customer.Get(),
                     d.ShortName.Get(), d.LineText.Get()});
  sqlite3_finalize(line);
  db.Exec(
      "CREATE TABLE pos(number TEXT, status TEXT, vendor TEXT, short_name TEXT, sort_date TEXT, net TEXT, "
      "tax TEXT, total TEXT)");
  sqlite3_stmt* po = db.Prepare("INSERT INTO pos VALUES(?,?,?,?,?,?,?,?)");
  for (const POHeaderRec& r : work.POs)
    db.Insert(po, {r.PONumber.Get(), r.POStatus.Get(), r.VendorNo.Get(), r.ShortName.Get(), r.SortDate.Get(),
                   r.NetAmount.Get(), r.TaxAmount.Get(), r.POTotal.Get()});
  sqlite3_finalize(po);
  // The indexes of the builders' walks: date paid, type with number, the line date and the PO date.
  db.Exec("CREATE INDEX invoices_paid ON invoices(date_paid)");
  db.Exec("CREATE INDEX invoices_type ON invoices(type, number)");
  db.Exec("CREATE INDEX lines_date ON lines(date)");
  db.Exec("CREATE INDEX pos_date ON pos(sort_date)");
  db.Exec("COMMIT");
}

// The A/R table from SQLite: the open invoices by date paid, then the open deposits by number.
ReportTable SqliteReceivables(Sqlite& db, const QDateTime& now) {
  const std::vector<reports::ReportColumn> columns = {
      reports::TextColumn("Category", 10),   reports::TextColumn("Invoice#", 9),
      reports::TextColumn("Short Name", 10), reports::TextColumn("Customer#", 8),
      reports::NumberTextColumn("Aging"),    reports::NumberTextColumn("Year/Mo/Dy"),
      reports::AmountColumn("Balance Due"),  reports::TextColumn("C", 1)};
  ReportTable table;
  table.AddRow(reports::HeadingRow(columns));
  db.Query(
      "SELECT * FROM (SELECT number, short_name, customer, sort_date, due, type FROM invoices "
      "WHERE date_paid = '' AND type <> 'R' AND number <> '' ORDER BY date_paid, rowid) "
      "UNION ALL SELECT * FROM (SELECT number, short_name, customer, sort_date, due, type FROM invoices "
      "WHERE type = 'D' AND settled <> 'P' AND number <> '' ORDER BY type, number, rowid)",
      {}, [&](const std::vector<std::string>& v) {
        const int age = reports::AgeInDays(*platform::text::ParseSortableDate(v[3]), now);
        table.AddRow(reports::ComposeRow(columns, {reports::AgingCategory(age, CurrentCompany), v[0], v[1],
                                                   v[2], std::to_string(age) + " Days", v[3], v[4], v[5]}));
      });
  return table;
}

// The sales table from SQLite: the lines of the range in date order.
ReportTable SqliteSales(Sqlite& db, const std::string& from, const std::string& to) {
  const std::vector<reports::ReportColumn> columns = {reports::TextColumn("Product Description", 32),
                                                      reports::TextColumn("Product#", 15),
                                                      reports::TextColumn("Year/Mo/Dy", 10),
                                                      reports::TextColumn("Invoice#", 9),
                                                      reports::TextColumn("Short Name", 10),
                                                      reports::TextColumn("Customer", 8),
                                                      reports::QuantityColumn("Unit Price"),
                                                      reports::QuantityColumn("Quantity"),
                                                      reports::AmountColumn("Line Amount")};
  ReportTable table;
  table.AddRow(reports::HeadingRow(columns));
  db.Query(
      "SELECT trim(substr(line_text, 11, 32)), product, date, number, short_name, customer, "
      "trim(substr(line_text, 43, 10)), trim(substr(line_text, 1, 10)), trim(substr(line_text, 54, 10)) "
      "FROM lines WHERE date BETWEEN ?1 AND ?2 ORDER BY date, rowid",
      {from, to}, [&](const std::vector<std::string>& v) {
        table.AddRow(reports::ComposeRow(
            columns, {v[0], v[1].empty() ? "*None*" : v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]}));
      });
  return table;
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
  CurrentCompany = DefaultCompanyRecord();
  CurrentCompany.CompanyNumber.Set("1");
  CurrentCompany.AgingCaption1.Set("Current");
  CurrentCompany.AgingCaption2.Set("31-60");
  CurrentCompany.AgingCaption3.Set("61-90");
  InstallCompanyFileNames();

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
