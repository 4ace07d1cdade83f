// The maintenance action "rebuild all data files" beside SQLite, in one run: a company of 100,000
// customers, 20,000 products, 200,000 invoices and 600,000 invoice lines is rebuilt file set by
// file set (each data file compacted, then every key of it rebuilt), the work the action does
// before it says it is done. The peer holds the same records, each as a blob beside its key texts,
// with one index per key of the engine's file, and rebuilds them all with VACUUM (which writes the
// tables and their indexes afresh): once with its journal and synchronous writes off, and once in
// its write-ahead-log mode with synchronous=FULL, the promise the engine's rebuild gives (it syncs
// the new files before the old copy goes). The records are checked to be all there afterwards.
//
//   rebuild_bench [invoices] [scratch folder]   (default: 200,000 invoices of 3 lines each;
//                                                customers and products scale with it)

#include <sqlite3.h>

#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/product_file.h"
#include "sqlite_peer.h"
#include "storage/data_file_unit.h"
#include "storage/isam.h"
#include "storage/page_cache.h"
#include "workload.h"

namespace {

using namespace records;
using bench::Die;
using bench::Numbered;
using bench::Seconds;

constexpr int kPageBuffers = 30;

std::vector<CustomerRec> Customers(unsigned count) {
  std::vector<CustomerRec> customers(count);
  for (unsigned i = 0; i < count; ++i) {
    CustomerRec& c = customers[i];
    c.CustomerNo.Set(Numbered("C%u", i));
    c.CustomerName.Set(Numbered("Customer %u Trading", i));
    c.ShortName.Set(Numbered("SHOP%u", i));
    c.CustBalance.Set("0.00");
    c.CustBillTo1.Set(Numbered("%u Main Street", i));
    c.Phone1.Set(Numbered("555-%04u", i % 10000));
    c.MailSortCode.Set(i % 2 ? "A" : "B");
  }
  return customers;
}

std::vector<ProductRec> Products(unsigned count) {
  std::vector<ProductRec> products(count);
  for (unsigned i = 0; i < count; ++i) {
    ProductRec& p = products[i];
    p.Code.Set(Numbered("P%u", i));
    p.Description.Set(Numbered("Product %u", i));
    p.Price.Set(bench::Amount(static_cast<int>(i % 10000)));
    p.OnHand.Set(std::to_string(i % 500));
  }
  return products;
}

// One file set of the company as the two sides hold it.
struct FileSet {
  storage::DataFileUnit& Unit;
  std::string Table;
  std::vector<const void*> Records;
};

void LoadEngine(FileSet& set) {
  storage::DataFileUnit& unit = set.Unit;
  if (!unit.CreateFile() || !unit.OpenFile()) Die("cannot create " + unit.FileName());
  for (const void* record : set.Records) {
    storage::IsamRecRef ref = 0;
    if (!unit.AddRecord(record, ref)) Die("add to " + unit.FileName() + " failed");
  }
  storage::IsamCloseFileBlock(unit.File());
}

void LoadSqlite(bench::SqlitePeer& db, const FileSet& set) {
  bench::SqliteFileTable table(db, set.Unit, set.Table);
  table.Create();
  db.Exec("BEGIN");
  for (const void* record : set.Records) table.Insert(record);
  table.CreateIndexes();
  db.Exec("COMMIT");
}

int64_t SqliteCount(bench::SqlitePeer& db, const std::string& table) {
  sqlite3_stmt* s = db.Prepare("SELECT count(*) FROM " + table);
  db.Done(s, SQLITE_ROW);
  const int64_t count = sqlite3_column_int64(s, 0);
  sqlite3_finalize(s);
  return count;
}

// Times a step once the system has written out what the steps before it left in its cache: the
// loading leaves hundreds of megabytes to be written, and whichever side ran first would otherwise
// wait for them at its syncs or share the disk with them.
double SettledSeconds(const std::function<void()>& work) {
  ::sync();
  return Seconds(work);
}

}  // namespace

int main(int argc, char** argv) {
  const int invoices = argc > 1 ? std::atoi(argv[1]) : 200000;
  const unsigned customers = static_cast<unsigned>(invoices / 2);
  const unsigned products = static_cast<unsigned>(invoices / 10);
  std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2])
                                          : std::filesystem::temp_directory_path() / "kestrava_rebuild_bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
  // The rebuild reports its progress in a window; it is drawn offscreen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication application(qtArgc, argv);

  platform::text::FixedClock clock(QDateTime(QDate(2026, 12, 31), QTime(12, 0)));
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  storage::IsamInitialize(0, kPageBuffers);
  CurrentCompany = DefaultCompanyRecord();
  CurrentCompany.CompanyNumber.Set("1");
  InstallCompanyFileNames();
  if (!CreateCompanyFile() || !OpenCompanyFile()) Die("cannot create the company list");
  CompanyWorkRec = CurrentCompany;
  storage::IsamRecRef ref = 0;
  if (!AddCompanyRecord(ref)) Die("cannot file the company");
  CloseCompanyFile();

  const std::vector<CustomerRec> customerRecords = Customers(customers);
  const std::vector<ProductRec> productRecords = Products(products);
  const bench::Workload work(invoices, customers, products);
  std::vector<FileSet> sets = {{CustomerUnit(), "customers", {}},
                               {ProductUnit(), "products", {}},
                               {InvoiceUnit(), "invoices", {}},
                               {DetailUnit(), "lines", {}}};
  for (const auto& r : customerRecords) sets[0].Records.push_back(&r);
  for (const auto& r : productRecords) sets[1].Records.push_back(&r);
  for (const auto& r : work.Invoices) sets[2].Records.push_back(&r);
  for (const auto& r : work.Lines) sets[3].Records.push_back(&r);
  std::printf("%u customers, %u products, %d invoices, %zu lines\n", customers, products, invoices,
              work.Lines.size());

  const int cacheKiB = kPageBuffers * static_cast<int>(sizeof(storage::IsamPageBuffer)) / 1024;
  bench::SqlitePeer db((folder / "company.sqlite").string(), cacheKiB);
  for (FileSet& set : sets) {
    LoadEngine(set);
    LoadSqlite(db, set);
  }
  std::printf("engine %d page buffers, SQLite cache_size=-%d, journal and synchronous off\n", kPageBuffers,
              cacheKiB);

  bool rebuilt = false;
  const double engine = SettledSeconds([&] { rebuilt = RebuildCompanyDataFiles(); });
  if (!rebuilt) Die("the rebuild failed");
  const double sqlite = SettledSeconds([&] { db.Exec("VACUUM"); });
  // A crash anywhere in the engine's rebuild ends in a finished rebuild (it syncs the new files
  // before it lets the old copies go); SQLite promises that with a journal and synchronous writes,
  // cheapest in its write-ahead-log mode.
  db.Exec("PRAGMA journal_mode=WAL");
  db.Exec("PRAGMA synchronous=FULL");
  const double sqliteSynced = SettledSeconds([&] { db.Exec("VACUUM"); });
  for (FileSet& set : sets) {
    const int64_t expected = static_cast<int64_t>(set.Records.size());
    if (CountCompanyFileEntries("1", set.Unit.Kind().FileCode) != expected ||
        SqliteCount(db, set.Table) != expected)
      Die(set.Table + ": records lost in a rebuild");
  }
  std::printf("%-36s %10s %10s %7s\n", "rebuild", "engine s", "SQLite s", "ratio");
  std::printf("%-36s %10.3f %10.3f %7.2f\n", "all data files / VACUUM, sync off", engine, sqlite,
              engine / sqlite);
  std::printf("%-36s %10.3f %10.3f %7.2f\n", "all data files / VACUUM, WAL+sync", engine, sqliteSynced,
              engine / sqliteSynced);
  storage::IsamShutdown();
  return 0;
}
