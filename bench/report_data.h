#pragma once
// What the report benchmarks share: the company they run in, the invoices and lines of a workload
// filed in the engine's files and loaded into SQLite, and SQLite's A/R and sales tables composed
// into cells with the report builders' own routines.

#include <sqlite3.h>

#include <QDateTime>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "reports/receivables_report.h"
#include "reports/report_table.h"
#include "sqlite_peer.h"
#include "storage/isam.h"
#include "workload.h"

namespace bench {

// The company the reports run in: the default aging limits (30, 60, 90 days) and captions.
inline void SetUpReportCompany() {
  using namespace records;
  CurrentCompany = DefaultCompanyRecord();
  CurrentCompany.CompanyNumber.Set("1");
  CurrentCompany.AgingCaption1.Set("Current");
  CurrentCompany.AgingCaption2.Set("31-60");
  CurrentCompany.AgingCaption3.Set("61-90");
  InstallCompanyFileNames();
}

// The workload's invoices and lines in new invoice and detail files, through the record routines.
inline void FileInvoicesAndLines(const Workload& work) {
  using namespace records;
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
}

// The peer database, with one query that hands each row's texts on.
class ReportSqlite : public SqlitePeer {
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

  // Adds a row for each record through the INSERT statement, with the texts values(record) gives.
  template <class Record, class Values>
  void InsertAll(const std::string& insert, const std::vector<Record>& records, Values values) {
    sqlite3_stmt* s = Prepare(insert);
    for (const Record& record : records) {
      int column = 0;
      for (const std::string& value : values(record))
        sqlite3_bind_text(s, ++column, value.c_str(), -1, SQLITE_TRANSIENT);
      Done(s, SQLITE_DONE);
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
  }
};

// The workload's invoices and lines as two tables, with the indexes of the builders' walks: date
// paid, type with number, and the line date.
inline void LoadInvoicesAndLines(ReportSqlite& db, const Workload& work) {
  using namespace records;
  db.Exec(
      "CREATE TABLE invoices(number TEXT, type TEXT, customer TEXT, short_name TEXT, sort_date TEXT, "
      "typed_date TEXT, due TEXT, date_paid TEXT, settled TEXT)");
  db.Exec(
      "CREATE TABLE lines(number TEXT, date TEXT, product TEXT, customer TEXT, short_name TEXT, line_text "
      "TEXT)");
  db.Exec("BEGIN");
  db.InsertAll("INSERT INTO invoices VALUES(?,?,?,?,?,?,?,?,?)", work.Invoices, [](const InvoiceRec& r) {
    return std::vector<std::string>{r.InvoiceNo.Get(), r.TransactionType.Get(), r.InvCustomerNo.Get(),
                                    r.ShortName.Get(), r.SortDate.Get(),        r.InvoiceDate.Get(),
                                    r.AmountDue.Get(), r.DatePaid.Get(),        r.SettledFlag.Get()};
  });
  db.InsertAll("INSERT INTO lines VALUES(?,?,?,?,?,?)", work.Lines, [](const DetailRec& d) {
    return std::vector<std::string>{d.InvoiceNumber.Get(), d.Date.Get(),      d.Product.Get(),
                                    d.Customer.Get(),      d.ShortName.Get(), d.LineText.Get()};
  });
  db.Exec("CREATE INDEX invoices_paid ON invoices(date_paid)");
  db.Exec("CREATE INDEX invoices_type ON invoices(type, number)");
  db.Exec("CREATE INDEX lines_date ON lines(date)");
  db.Exec("COMMIT");
}

// The A/R table from SQLite: the open invoices by date paid, then the open deposits by number,
// or, with an order given, all of them in that order (over the columns category, number,
// short_name, customer, age, sort_date, due and type). Age and category are worked out by the
// query, from the open company's limits and captions.
inline reports::ReportTable SqliteReceivables(ReportSqlite& db, const QDateTime& now,
                                              const std::string& orderBy = "") {
  using platform::text::TrimBlanks;
  const records::CompanyRec& company = records::CurrentCompany;
  const std::vector<reports::ReportColumn> columns = {
      reports::TextColumn("Category", 10),   reports::TextColumn("Invoice#", 9),
      reports::TextColumn("Short Name", 10), reports::TextColumn("Customer#", 8),
      reports::NumberTextColumn("Aging"),    reports::NumberTextColumn("Year/Mo/Dy"),
      reports::AmountColumn("Balance Due"),  reports::TextColumn("C", 1)};
  const std::string age =
      "CAST(julianday(?5) - julianday(replace(sort_date, '/', '-')) AS INTEGER) AS age, type FROM invoices ";
  const std::string sql =
      "SELECT CASE WHEN age <= " + TrimBlanks(company.AgingDays1.Get()) +
      " THEN ?1 WHEN age <= " + TrimBlanks(company.AgingDays2.Get()) +
      " THEN ?2 WHEN age <= " + TrimBlanks(company.AgingDays3.Get()) +
      " THEN ?3 ELSE ?4 END AS category, number, short_name, customer, age, sort_date, due, type FROM ("
      "SELECT * FROM (SELECT number, short_name, customer, sort_date, due, " +
      age +
      "WHERE date_paid = '' AND type <> 'R' AND number <> '' ORDER BY date_paid, rowid) "
      "UNION ALL SELECT * FROM (SELECT number, short_name, customer, sort_date, due, " +
      age + "WHERE type = 'D' AND settled <> 'P' AND number <> '' ORDER BY type, number, rowid))" +
      (orderBy.empty() ? "" : " ORDER BY " + orderBy);
  reports::ReportTable table;
  table.AddRow(reports::HeadingRow(columns));
  db.Query(sql,
           {TrimBlanks(company.AgingCaption1.Get()), TrimBlanks(company.AgingCaption2.Get()),
            TrimBlanks(company.AgingCaption3.Get()),
            ("Over " + TrimBlanks(company.AgingDays3.Get())).substr(0, 10),
            now.toString("yyyy-MM-dd hh:mm:ss").toStdString()},
           [&](const std::vector<std::string>& v) {
             table.AddRow(
                 reports::ComposeRow(columns, {v[0], v[1], v[2], v[3], v[4] + " Days", v[5], v[6], v[7]}));
           });
  return table;
}

// The sales table from SQLite: the lines of the range in date order, or in the order given (over
// the columns description, product, date, number, short_name and customer).
inline reports::ReportTable SqliteSales(ReportSqlite& db, const std::string& from, const std::string& to,
                                        const std::string& orderBy = "date, rowid") {
  const std::vector<reports::ReportColumn> columns = {reports::TextColumn("Product Description", 32),
                                                      reports::TextColumn("Product#", 15),
                                                      reports::TextColumn("Year/Mo/Dy", 10),
                                                      reports::TextColumn("Invoice#", 9),
                                                      reports::TextColumn("Short Name", 10),
                                                      reports::TextColumn("Customer", 8),
                                                      reports::QuantityColumn("Unit Price"),
                                                      reports::QuantityColumn("Quantity"),
                                                      reports::AmountColumn("Line Amount")};
  reports::ReportTable table;
  table.AddRow(reports::HeadingRow(columns));
  db.Query(
      "SELECT trim(substr(line_text, 11, 32)) AS description, product, date, number, short_name, customer, "
      "trim(substr(line_text, 43, 10)), trim(substr(line_text, 1, 10)), trim(substr(line_text, 54, 10)) "
      "FROM lines WHERE date BETWEEN ?1 AND ?2 ORDER BY " +
          orderBy,
      {from, to}, [&](const std::vector<std::string>& v) {
        table.AddRow(reports::ComposeRow(
            columns, {v[0], v[1].empty() ? "*None*" : v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]}));
      });
  return table;
}

}  // namespace bench
