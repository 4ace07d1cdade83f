// Posting invoices as the Invoice Manager posts them, beside the bare engine writes the same
// postings need and beside SQLite making the same rows, in one run.
//
//   posting_bench [--repeat N] [--invoices N,N,...] [--batch N] [--one-at N] [scratch folder]
//
// A company of 100,000 customers and 20,000 stocked products is filed with the program's record
// routines and grown, untimed and without syncs, by posting three-line invoices until it holds
// each size of --invoices (default 10,000 and 100,000); SQLite is loaded with the same records.
// Every run starts from copies of the company at that size, written out to the disk before
// anything is timed, and every side then posts the same --batch invoices on top (default 1,000),
// in blocks that take turns between the sides, so that a slow spell of the shared machine falls on
// all alike:
//   - posting: the files opened and held as the Invoice Manager holds them, each invoice handed to
//     PostNewInvoice, a posting with its journal as the program posts it; afterwards the books are
//     checked from the files, and a disagreement ends the bench;
//   - bare: with the same files open, only the engine calls the same postings need: the invoice
//     record with its keys, three detail records with theirs, and for each product, the customer
//     and the company a key search, a read and a rewrite in place;
//   - SQLite rollback FULL and SQLite WAL FULL: the same rows in tables of the same records and
//     keys (SqliteFileTable), one transaction per posting, synchronous=FULL, with a rollback
//     journal kept between postings (journal_mode=PERSIST) or the write-ahead log, the database
//     held exclusively as the engine holds its files, with SQLite's default cache (with no more
//     than the engine's page buffers a posting's changed pages overflow it, and each overflow
//     costs SQLite two more syncs).
// Each posting is timed alone; opening and closing are timed apart. Last, one posting is timed at
// --one-at invoices on file (default 200,000; 0 leaves it out): the first after the files are
// opened as the Invoice Manager opens them.
//
// Syncs are counted (counted_syncs.h) for the program and SQLite alike, and skipped while the
// company is grown (the files only have to hold the invoices, and are written out before any timing).

#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "invoicing/invoice_posting.h"
#include "invoicing/posting_steps.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "scratch_company.h"
#include "sqlite_peer.h"
#include "support/books_check.h"
#include "counted_syncs.h"
#include "posting_company.h"
#include "workload.h"


namespace {

using bench::Die;
using bench::Numbered;
using invoicing::EnteredInvoice;
using invoicing::EnteredLine;
using storage::IsamRecRef;

constexpr unsigned kCustomers = 100000;
constexpr unsigned kProducts = 20000;
constexpr double kStockBefore = bench::kStockOnFile;
constexpr int kPageBuffers = 30;  // what the program starts the engine with
constexpr long kBlock = 100;      // postings of one side before the next side's turn

void Require(bool ok, const char* what) {
  if (!ok) Die(std::string(what) + " failed, engine error " + std::to_string(storage::IsamError));
}

EnteredInvoice MakeInvoice(long index) {
  return bench::MakeEnteredInvoice(index, kCustomers, kProducts, "12/07/2026", false);
}

std::vector<EnteredInvoice> MakeInvoices(long from, long count) {
  std::vector<EnteredInvoice> invoices;
  for (long i = from; i < from + count; ++i) invoices.push_back(MakeInvoice(i));
  return invoices;
}

void StartEngine() {
  storage::IsamInitialize(0, kPageBuffers);
  Require(storage::IsamOK, "engine start");
}

void StopEngine() {
  storage::IsamShutdown();
  records::CompanyFile = records::CustomerFile = records::ProductFile = records::InvoiceFile =
      records::DetailFile = records::MemoFile = nullptr;
}

// The record files' blocks, which the engine sides' open files take turns in.
const std::array<storage::IsamFileBlock*, 6> kFileBlocks = {&records::CompanyFile, &records::CustomerFile,
                                                            &records::ProductFile, &records::InvoiceFile,
                                                            &records::DetailFile,  &records::MemoFile};

void CloseAll() {
  for (storage::IsamFileBlock* file : kFileBlocks) {
    if (*file && storage::IsamIsOpen(*file)) storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
}

// The company every run starts from, made in `folder` with the program's record routines, with
// no invoices yet.
void MakeBaseCompany(const std::filesystem::path& folder) {
  Require(bench::StartScratchCompany(folder), "company");
  Require(bench::FileCustomersAndProducts(kCustomers, kProducts), "customers and products");
  CloseAll();
  StopEngine();
}

// Opens the files as the Invoice Manager does: the invoice, detail and memo files, and those a
// posting touches besides, held until `held` lets them go.
void OpenAsInvoiceManager(records::HeldFiles& held) {
  Require(records::OpenInvoiceFiles(), "invoice files");
  invoicing::HoldInvoicePostingFiles(held);
}

// Posts invoices [from, to) into the company in `folder` as the Invoice Manager does, untimed and
// with syncs skipped.
void GrowCompany(const std::filesystem::path& folder, long from, long to) {
  std::filesystem::current_path(folder);
  StartEngine();
  bench::syncsSkipped = true;
  records::HeldFiles held;
  OpenAsInvoiceManager(held);
  for (long i = from; i < to; ++i) invoicing::PostNewInvoice(MakeInvoice(i));
  held.Release();
  CloseAll();
  bench::syncsSkipped = false;
  StopEngine();
}

// The files of a posting as SQLite holds them, with the tables' names.
std::vector<std::pair<storage::DataFileUnit*, const char*>> PeerFiles() {
  return {{&records::CompanyUnit(), "companies"},
          {&records::CustomerUnit(), "customers"},
          {&records::ProductUnit(), "products"},
          {&records::InvoiceUnit(), "invoices"},
          {&records::DetailUnit(), "lines"}};
}

// SQLite's copy of the company in `folder`: every record of the files a posting touches, read in
// the order of key 1, into a new database `file`.
void LoadPeer(const std::filesystem::path& folder, const std::filesystem::path& file) {
  std::filesystem::current_path(folder);
  StartEngine();
  bench::SqlitePeer db(file.string());
  db.Exec("BEGIN");
  std::vector<uint8_t> record;
  for (auto [unit, name] : PeerFiles()) {
    Require(unit->OpenSoundFile(), "data file");
    bench::SqliteFileTable table(db, *unit, name);
    table.Create();
    record.resize(static_cast<size_t>(unit->Kind().RecordLength));
    storage::IsamKeyStr key;
    IsamRecRef ref = 0;
    int32_t loaded = 0;
    for (storage::IsamSearchKey(unit->File(), 1, ref, key); storage::IsamOK;
         storage::IsamNextKey(unit->File(), 1, ref, key), ++loaded) {
      storage::IsamGetRec(unit->File(), ref, record.data(), record.size());
      Require(storage::IsamOK, "record read");
      table.Insert(record.data());
    }
    if (loaded != storage::IsamUsedRecs(unit->File())) Die(std::string("records missed loading ") + name);
    table.CreateIndexes();
  }
  db.Exec("COMMIT");
  CloseAll();
  StopEngine();
}

// A fresh copy of the company to run in.
void CopyFolder(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::filesystem::current_path(from.parent_path());
  std::filesystem::remove_all(to);
  std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
}

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void CheckBooks() {
  testing_support::StockBefore stock;
  for (unsigned i = 1; i <= kProducts; ++i) stock[Numbered("P%u", i)] = kStockBefore;
  records::CompanyRec company{};
  Require(records::ReadCompanyRecord(records::CurrentCompany.CompanyNumber.Get(), company),
          "company record read");
  const std::vector<std::string> problems = testing_support::BooksProblems(company, stock);
  if (problems.empty()) return;
  Die("the books do not balance after the postings: " + problems.front() + " (and " +
      std::to_string(problems.size() - 1) + " more)");
}

// ---- The rows of a posting, as the bare side and SQLite write them ----------------------------

// A change of a record that a posting finds by its key: a product sold, the customer, the company.
struct KeyedChange {
  storage::DataFileUnit* Unit;
  int KeyNr;
  storage::IsamKeyStr Key;
  void (*Apply)(void* record);
};

struct PostingRows {
  records::InvoiceRec Invoice;
  std::vector<records::DetailRec> Lines;
  std::vector<KeyedChange> Changes;
};

PostingRows RowsOf(const EnteredInvoice& invoice) {
  PostingRows rows{invoicing::NewInvoiceRecord(invoice), {}, {}};
  for (const EnteredLine& line : invoice.Lines) {
    rows.Lines.push_back(invoicing::DetailRecordOf(rows.Invoice, line, false));
    records::ProductRec product{};
    product.Code.Set(line.Code);
    rows.Changes.push_back({&records::ProductUnit(), 1, records::BuildProductKey(product, 1),
                            [](void* r) { static_cast<records::ProductRec*>(r)->OnHand.Set("999999"); }});
  }
  records::CustomerRec customer{};
  customer.CustomerNo.Set(invoice.CustomerNo);
  rows.Changes.push_back({&records::CustomerUnit(), 2, records::BuildCustomerKey(customer, 2),
                          [](void* r) { static_cast<records::CustomerRec*>(r)->CustBalance.Set("30.00"); }});
  rows.Changes.push_back(
      {&records::CompanyUnit(), 1, records::BuildCompanyKey(records::CurrentCompany, 1),
       [](void* r) { static_cast<records::CompanyRec*>(r)->CompanyARBalance.Set("30.00"); }});
  return rows;
}

// ---- The sides -------------------------------------------------------------------------------

// What one side measured in one run.
struct Figures {
  double Seconds = 0;    // the timed postings, each timed alone
  double Cpu = 0;        // this thread's processor time (user and system) in them
  double Slowest = 0;    // the slowest posting
  double OpenClose = 0;  // opening and closing the files or the database
  long Syncs = 0;        // in the timed postings
  long MostSyncs = 0;    // the most one posting made
};

class Side {
 public:
  explicit Side(std::string name) : Name(std::move(name)) {}
  virtual ~Side() = default;
  virtual void Open() = 0;
  virtual void Post(const EnteredInvoice& invoice) = 0;
  virtual void Close() = 0;
  // Around each turn of the side: the engine sides take turns in the record files' blocks.
  virtual void Enter() {}
  virtual void Leave() {}

  const std::string Name;
  Figures Run;
};

// A side on the engine, in its own copy of the company (the posting journal lives beside it).
class EngineSide : public Side {
 public:
  EngineSide(std::string name, std::filesystem::path folder)
      : Side(std::move(name)), folder_(std::move(folder)) {}
  void Enter() override {
    std::filesystem::current_path(folder_);
    for (size_t i = 0; i < kFileBlocks.size(); ++i) *kFileBlocks[i] = files_[i];
  }
  void Leave() override {
    for (size_t i = 0; i < kFileBlocks.size(); ++i) files_[i] = *kFileBlocks[i];
  }

 private:
  std::filesystem::path folder_;
  std::array<storage::IsamFileBlock, 6> files_{};
};

class PostingSide : public EngineSide {
 public:
  using EngineSide::EngineSide;
  void Open() override { OpenAsInvoiceManager(held_); }
  void Post(const EnteredInvoice& invoice) override { invoicing::PostNewInvoice(invoice); }
  void Close() override {
    held_.Release();
    CloseAll();
  }

 private:
  records::HeldFiles held_;
};

class BareSide : public EngineSide {
 public:
  using EngineSide::EngineSide;
  void Open() override {
    using Open = bool (*)();
    for (Open open : {records::OpenInvoiceFiles, records::OpenCompanyFile, records::OpenCustomerFile,
                      records::OpenProductFile})
      Require(open(), "data files");
  }
  void Post(const EnteredInvoice& invoice) override {
    const PostingRows rows = RowsOf(invoice);
    IsamRecRef ref = 0;
    Require(records::InvoiceUnit().AddRecord(&rows.Invoice, ref), "invoice");
    for (const records::DetailRec& line : rows.Lines)
      Require(records::DetailUnit().AddRecord(&line, ref), "detail");
    for (const KeyedChange& change : rows.Changes) Rewrite(change);
  }
  void Close() override { CloseAll(); }

 private:
  void Rewrite(const KeyedChange& change) {
    const storage::IsamFileBlock file = change.Unit->File();
    storage::IsamKeyStr found = change.Key;
    IsamRecRef ref = 0;
    storage::IsamSearchKey(file, change.KeyNr, ref, found);
    Require(storage::IsamOK && found == change.Key, "search");
    record_.resize(static_cast<size_t>(change.Unit->Kind().RecordLength));
    storage::IsamGetRec(file, ref, record_.data(), record_.size());
    change.Apply(record_.data());
    storage::IsamPutRec(file, ref, record_.data(), record_.size());
    Require(storage::IsamOK, "rewrite");
  }

  std::vector<uint8_t> record_;
};

class SqliteSide : public Side {
 public:
  SqliteSide(std::string name, std::filesystem::path file, std::string journalMode)
      : Side(std::move(name)), file_(std::move(file)), journalMode_(std::move(journalMode)) {}
  void Open() override {
    db_ = std::make_unique<bench::SqlitePeer>(file_.string(), 0, true);
    db_->Exec("PRAGMA locking_mode=EXCLUSIVE");
    db_->Promise(journalMode_, "FULL");
    for (auto [unit, name] : PeerFiles())
      tables_.push_back(std::make_unique<bench::SqliteFileTable>(*db_, *unit, name));
  }
  void Post(const EnteredInvoice& invoice) override {
    const PostingRows rows = RowsOf(invoice);
    db_->Exec("BEGIN");
    Table(records::InvoiceUnit()).Insert(&rows.Invoice);
    for (const records::DetailRec& line : rows.Lines) Table(records::DetailUnit()).Insert(&line);
    for (const KeyedChange& change : rows.Changes) {
      bench::SqliteFileTable& table = Table(*change.Unit);
      const sqlite3_int64 row = table.Find(change.KeyNr, change.Key, record_);
      change.Apply(record_.data());
      table.Rewrite(row, record_.data());
    }
    db_->Exec("COMMIT");
  }
  void Close() override {
    tables_.clear();
    db_.reset();
  }

 private:
  bench::SqliteFileTable& Table(const storage::DataFileUnit& unit) {
    for (auto& table : tables_)
      if (&table->Unit() == &unit) return *table;
    Die("no table for " + unit.FileName());
  }

  std::filesystem::path file_;
  std::string journalMode_;
  std::unique_ptr<bench::SqlitePeer> db_;
  std::vector<std::unique_ptr<bench::SqliteFileTable>> tables_;
  std::vector<uint8_t> record_;
};

// ---- Runs ------------------------------------------------------------------------------------

// Posts invoices [from, to) as `side`, each timed alone.
void PostTurn(Side& side, const std::vector<EnteredInvoice>& invoices, size_t from, size_t to) {
  side.Enter();
  const double cpuBefore = CpuSeconds();
  for (size_t i = from; i < to; ++i) {
    const long syncsBefore = bench::syncs;
    const double seconds = bench::Seconds([&] { side.Post(invoices[i]); });
    side.Run.Seconds += seconds;
    side.Run.Slowest = std::max(side.Run.Slowest, seconds);
    side.Run.Syncs += bench::syncs - syncsBefore;
    side.Run.MostSyncs = std::max(side.Run.MostSyncs, bench::syncs - syncsBefore);
  }
  side.Run.Cpu += CpuSeconds() - cpuBefore;
  side.Leave();
}

void OpenOrClose(Side& side, void (Side::*step)()) {
  side.Enter();
  side.Run.OpenClose += bench::Seconds([&] { (side.*step)(); });
  side.Leave();
}

// The copies of one run, written out to the disk (untimed) so that no side's syncs wait for the
// copying's writes.
void PrepareCopies(const std::filesystem::path& scratch, bool withPeer) {
  CopyFolder(scratch / "base", scratch / "posting");
  if (withPeer) {
    CopyFolder(scratch / "base", scratch / "bare");
    std::filesystem::remove_all(scratch / "peer");
    std::filesystem::create_directory(scratch / "peer");
    for (const char* copy : {"rollback.sqlite", "wal.sqlite"})
      std::filesystem::copy_file(scratch / "base.sqlite", scratch / "peer" / copy);
  }
  ::sync();
}

struct SizeFigures {
  std::vector<std::string> Names;
  std::vector<std::vector<Figures>> Runs;  // by side, then by run
};

// One run at the company's present size: the batch posted by every side in turns, the books of
// the posting side checked (untimed).
void RunSides(const std::filesystem::path& scratch, const std::vector<EnteredInvoice>& batch, int round,
              SizeFigures& figures) {
  PrepareCopies(scratch, true);
  StartEngine();
  PostingSide posting("posting", scratch / "posting");
  BareSide bare("bare", scratch / "bare");
  SqliteSide rollback("SQLite rollback FULL", scratch / "peer" / "rollback.sqlite", "PERSIST");
  SqliteSide wal("SQLite WAL FULL", scratch / "peer" / "wal.sqlite", "WAL");
  const std::array<Side*, 4> sides = {&posting, &bare, &rollback, &wal};
  for (Side* side : sides) OpenOrClose(*side, &Side::Open);
  // The side that goes first changes from turn to turn and from run to run.
  for (size_t from = 0, turn = 0; from < batch.size(); from += kBlock, ++turn) {
    const size_t to = std::min(batch.size(), from + kBlock);
    for (size_t k = 0; k < sides.size(); ++k)
      PostTurn(*sides[(turn + static_cast<size_t>(round) + k) % sides.size()], batch, from, to);
  }
  posting.Enter();
  CheckBooks();
  posting.Leave();
  for (Side* side : sides) OpenOrClose(*side, &Side::Close);
  StopEngine();
  figures.Runs.resize(sides.size());
  figures.Names.clear();
  for (size_t i = 0; i < sides.size(); ++i) {
    figures.Names.push_back(sides[i]->Name);
    figures.Runs[i].push_back(sides[i]->Run);
  }
}

double MedianOf(const std::vector<Figures>& runs, double (*pick)(const Figures&)) {
  std::vector<double> values;
  for (const Figures& f : runs) values.push_back(pick(f));
  return bench::Median(values);
}

void PrintSize(long size, long batch, int repeat, const SizeFigures& figures) {
  std::printf(
      "\n%ld invoices on file, %ld postings timed on top; medians of %d runs (slowest and most syncs:\n"
      "the largest of any run).\n\n",
      size, batch, repeat);
  std::printf("| %-20s | %10s | %10s | %10s | %10s | %10s | %13s |\n", "side", "ms/posting", "cpu ms",
              "slowest ms", "syncs/post", "most syncs", "open+close ms");
  std::printf(
      "|----------------------|------------|------------|------------|------------|------------|-------------"
      "--|\n");
  std::vector<double> perPosting;
  for (size_t i = 0; i < figures.Names.size(); ++i) {
    const std::vector<Figures>& runs = figures.Runs[i];
    double slowest = 0;
    long most = 0;
    for (const Figures& f : runs) {
      slowest = std::max(slowest, f.Slowest);
      most = std::max(most, f.MostSyncs);
    }
    const double ms = MedianOf(runs, [](const Figures& f) { return f.Seconds; }) / batch * 1000;
    perPosting.push_back(ms);
    std::printf("| %-20s | %10.4f | %10.4f | %10.3f | %10.2f | %10ld | %13.1f |\n", figures.Names[i].c_str(),
                ms, MedianOf(runs, [](const Figures& f) { return f.Cpu; }) / batch * 1000, slowest * 1000,
                MedianOf(runs, [](const Figures& f) { return static_cast<double>(f.Syncs); }) / batch, most,
                MedianOf(runs, [](const Figures& f) { return f.OpenClose; }) * 1000);
  }
  // Our posting's time over each SQLite side's (sides 2 and 3).
  std::printf("\nvs SQLite rollback FULL: %.2f\n", perPosting[0] / perPosting[2]);
  std::printf("vs SQLite WAL FULL: %.2f\n", perPosting[0] / perPosting[3]);
  std::fflush(stdout);
}

// The first posting after the files are opened as the Invoice Manager opens them, with the
// company at its present size.
void MeasureOnePosting(const std::filesystem::path& scratch, long size, int repeat) {
  const std::vector<EnteredInvoice> invoice = MakeInvoices(size, 1);
  std::vector<double> times;
  long most = 0;
  for (int round = 0; round < repeat; ++round) {
    PrepareCopies(scratch, false);
    StartEngine();
    PostingSide posting("posting", scratch / "posting");
    OpenOrClose(posting, &Side::Open);
    PostTurn(posting, invoice, 0, 1);
    posting.Enter();
    CheckBooks();
    posting.Leave();
    OpenOrClose(posting, &Side::Close);
    StopEngine();
    times.push_back(posting.Run.Seconds);
    most = std::max(most, posting.Run.Syncs);
  }
  std::printf(
      "\none posting at %ld invoices on file, the first after opening as the Invoice Manager does:\n"
      "%.3f ms (median of %d runs), %ld syncs at the most\n",
      size, bench::Median(times) * 1000, repeat, most);
  std::fflush(stdout);
}

std::vector<long> ParseCounts(const std::string& text) {
  std::vector<long> counts;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) counts.push_back(std::stol(item));
  return counts;
}

struct Options {
  int Repeat = 3;
  std::vector<long> Sizes = {10000, 100000};
  long Batch = 1000;
  long OneAt = 200000;
  std::filesystem::path Scratch = std::filesystem::temp_directory_path() / "kestrava-posting-bench";
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool valued = i + 1 < argc;
    if (arg == "--repeat" && valued) {
      o.Repeat = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--invoices" && valued) {
      o.Sizes = ParseCounts(argv[++i]);
    } else if (arg == "--batch" && valued) {
      o.Batch = std::max(1L, std::atol(argv[++i]));
    } else if (arg == "--one-at" && valued) {
      o.OneAt = std::max(0L, std::atol(argv[++i]));
    } else if (!arg.empty() && arg[0] == '-') {
      Die("usage: posting_bench [--repeat N] [--invoices N,N,...] [--batch N] [--one-at N] [scratch folder]");
    } else {
      o.Scratch = arg;
    }
  }
  o.Scratch = std::filesystem::absolute(o.Scratch);
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const Options o = ParseOptions(argc, argv);
  platform::text::SetClock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
  platform::text::SetShortDateFormat("mm/dd/yyyy");

  MakeBaseCompany(o.Scratch / "base");
  std::printf("%u customers, %u products; three-line invoices.\n", kCustomers, kProducts);
  std::printf(
      "posting: as the Invoice Manager posts, its files held; bare: the engine writes alone;\n"
      "SQLite: the same rows, a transaction per posting, synchronous=FULL, journal_mode=PERSIST or WAL,\n"
      "locking_mode=EXCLUSIVE, default cache.\n");
  // The company grows from one size to the next; each is measured as it is reached.
  std::set<long> stops(o.Sizes.begin(), o.Sizes.end());
  if (o.OneAt > 0) stops.insert(o.OneAt);
  long onFile = 0;
  for (long size : stops) {
    GrowCompany(o.Scratch / "base", onFile, size);
    onFile = size;
    if (std::find(o.Sizes.begin(), o.Sizes.end(), size) != o.Sizes.end()) {
      LoadPeer(o.Scratch / "base", o.Scratch / "base.sqlite");
      const std::vector<EnteredInvoice> batch = MakeInvoices(size, o.Batch);
      SizeFigures figures;
      for (int round = 0; round < o.Repeat; ++round) RunSides(o.Scratch, batch, round, figures);
      PrintSize(size, o.Batch, o.Repeat, figures);
    }
    if (size == o.OneAt) MeasureOnePosting(o.Scratch, size, o.Repeat);
  }
  std::filesystem::current_path(o.Scratch.parent_path());
  std::filesystem::remove_all(o.Scratch);
  return 0;
}
