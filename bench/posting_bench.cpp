// Posting invoices as the Invoice Manager posts them, beside the bare engine writes the same
// postings need, in one run.
//
//   posting_bench [--repeat N] [--invoices N,N,...] [scratch folder]
//
// Every run starts from a copy of one company: 100,000 customers, 20,000 stocked products, empty
// invoice, detail and memo files. The posting side opens the files as the Invoice Manager does
// (the invoice, detail and memo files, and the company, customer and product files its postings
// touch, held until it closes) and hands three-line invoices to PostNewInvoice, each a posting
// with its journal, as the program posts them; afterwards the
// books are checked from the files, and a disagreement ends the bench. The bare side, with the
// same files open, makes only the engine calls the same postings need: the invoice record with
// its keys, three detail records with theirs, and for each product, the customer and the company
// a key search, a read and a rewrite in place. The sides take turns, so that a slow spell of the
// shared machine falls on both alike; each time includes opening and closing the files.
//
// fsync and fdatasync are counted by this binary's own definitions, which stand in front of the
// C library's: the table shows the most any one posting made and all the posting side made.

#include <dlfcn.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "invoicing/invoice_posting.h"
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
#include "support/books_check.h"

namespace {
long syncs = 0;
}  // namespace

extern "C" int fsync(int fd) {
  using Real = int (*)(int);
  static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "fsync"));
  ++syncs;
  return real(fd);
}

extern "C" int fdatasync(int fd) {
  using Real = int (*)(int);
  static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "fdatasync"));
  ++syncs;
  return real(fd);
}

namespace {

using invoicing::EnteredInvoice;
using invoicing::EnteredLine;
using storage::IsamRecRef;

constexpr int kCustomers = 100000;
constexpr int kProducts = 20000;
constexpr double kStockBefore = 10000000;

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "posting_bench: %s\n", what.c_str());
  std::exit(1);
}

void Require(bool ok, const char* what) {
  if (!ok) Die(std::string(what) + " failed, engine error " + std::to_string(storage::IsamError));
}

// A code or name followed by a number ("C12").
std::string Numbered(const char* prefix, long number) {
  std::string text = prefix;
  text += std::to_string(number);
  return text;
}

std::string Cents(int cents) {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%02d", cents / 100, cents % 100);
  return text;
}

std::vector<EnteredInvoice> MakeInvoices(int count) {
  std::mt19937 rng(7);
  std::vector<EnteredInvoice> invoices;
  for (int i = 0; i < count; ++i) {
    EnteredInvoice invoice;
    invoice.Number = std::to_string(100001 + i);
    invoice.CustomerNo = Numbered("C", 1 + rng() % kCustomers);
    invoice.Date = "12/07/2026";
    invoice.KeyCode = "None";
    invoice.TaxRate = "0";
    int total = 0;
    for (int row = 1; row <= 3; ++row) {
      EnteredLine line;
      line.Row = row;
      line.Code = Numbered("P", 1 + rng() % kProducts);
      const int quantity = 1 + static_cast<int>(rng() % 5);
      line.Quantity = std::to_string(quantity);
      line.Description = "Product " + line.Code;
      line.Price = "2.50";
      line.Taxable = "N";
      line.Extension = Cents(quantity * 250);
      total += quantity * 250;
      invoice.Lines.push_back(line);
    }
    invoice.Net = invoice.Total = Cents(total);
    invoice.Tax = invoice.Paid = "0.00";
    invoices.push_back(invoice);
  }
  return invoices;
}

void StartEngine() {
  storage::IsamInitialize(0, 30);  // the page buffers the program starts the engine with
  Require(storage::IsamOK, "engine start");
}

void StopEngine() {
  storage::IsamShutdown();
  records::CompanyFile = records::CustomerFile = records::ProductFile = records::InvoiceFile =
      records::DetailFile = records::MemoFile = nullptr;
}

// The company every run starts from, made once in `folder` with the program's record routines.
void MakeBaseCompany(const std::filesystem::path& folder) {
  Require(bench::StartScratchCompany(folder), "company");
  IsamRecRef ref = 0;
  using Step = bool (*)();
  const std::pair<Step, Step> files[] = {{records::CreateCustomerFile, records::OpenCustomerFile},
                                         {records::CreateProductFile, records::OpenProductFile},
                                         {records::CreateInvoiceFile, records::OpenInvoiceFile},
                                         {records::CreateDetailFile, records::OpenDetailFile},
                                         {records::CreateMemoFile, records::OpenMemoFile}};
  for (auto [create, open] : files) Require(create() && open(), "data file");
  for (int i = 1; i <= kCustomers; ++i) {
    records::CustomerRec c{};
    c.CustomerNo.Set(Numbered("C", i));
    c.CustomerName.Set(Numbered("Customer ", i));
    c.CustBalance.Set("0.00");
    for (auto* bucket : {&c.CustAging1, &c.CustAging2, &c.CustAging3, &c.CustAging4}) bucket->Set("0.00");
    Require(records::AddCustomerRecord(c, ref), "customer");
  }
  for (int i = 1; i <= kProducts; ++i) {
    records::ProductRec p{};
    p.Code.Set(Numbered("P", i));
    p.Description.Set(Numbered("Product P", i));
    p.OnHand.Set(std::to_string(static_cast<long>(kStockBefore)));
    Require(records::AddProductRecord(p, ref), "product");
  }
  StopEngine();
}

// A fresh copy of the base company to run in.
void CopyBase(const std::filesystem::path& base, const std::filesystem::path& folder) {
  std::filesystem::current_path(base.parent_path());
  std::filesystem::remove_all(folder);
  std::filesystem::copy(base, folder, std::filesystem::copy_options::recursive);
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Searches key keyNr for exactly `key`, reads the record, lets change alter it and rewrites it.
template <class Record>
void ReadChangeRewrite(storage::IsamFileBlock file, int keyNr, const storage::IsamKeyStr& key,
                       const std::function<void(Record&)>& change) {
  storage::IsamKeyStr found = key;
  IsamRecRef ref = 0;
  storage::IsamSearchKey(file, keyNr, ref, found);
  Require(storage::IsamOK && found == key, "search");
  Record record{};
  storage::IsamGetRec(file, ref, &record, sizeof record);
  change(record);
  storage::IsamPutRec(file, ref, &record, sizeof record);
  Require(storage::IsamOK, "rewrite");
}

void PostBare(const EnteredInvoice& invoice) {
  records::InvoiceBuf = invoicing::NewInvoiceRecord(invoice);
  IsamRecRef ref = 0;
  Require(records::AddInvoiceRecord(ref), "invoice");
  for (const EnteredLine& line : invoice.Lines) {
    records::DetailBuf = records::DetailRec{};
    records::DetailBuf.InvoiceNumber.Set(invoice.Number);
    records::DetailBuf.Date.Set("2026/12/07");
    records::DetailBuf.Product.Set(line.Code);
    records::DetailBuf.LineKey.Set(records::LineKeyText(invoice.Number, line.Row));
    records::DetailBuf.LineText.Set(
        records::LineText(line.Quantity, line.Description, line.Price, line.Taxable, line.Extension));
    Require(records::AddDetailRecord(ref), "detail");
    records::ProductRec product{};
    product.Code.Set(line.Code);
    ReadChangeRewrite<records::ProductRec>(records::ProductFile, 1, records::BuildProductKey(product, 1),
                                           [](records::ProductRec& p) { p.OnHand.Set("999999"); });
  }
  records::CustomerRec customer{};
  customer.CustomerNo.Set(invoice.CustomerNo);
  ReadChangeRewrite<records::CustomerRec>(records::CustomerFile, 2, records::BuildCustomerKey(customer, 2),
                                          [](records::CustomerRec& c) { c.CustBalance.Set("30.00"); });
  ReadChangeRewrite<records::CompanyRec>(records::CompanyFile, 1,
                                         records::BuildCompanyKey(records::CurrentCompany, 1),
                                         [](records::CompanyRec& c) { c.CompanyARBalance.Set("30.00"); });
}

void CheckBooks() {
  testing_support::StockBefore stock;
  for (int i = 1; i <= kProducts; ++i) stock[Numbered("P", i)] = kStockBefore;
  records::CompanyRec company{};
  Require(records::ReadCompanyRecord(records::CurrentCompany.CompanyNumber.Get(), company, nullptr),
          "company record read");
  const std::vector<std::string> problems = testing_support::BooksProblems(company, stock);
  if (problems.empty()) return;
  Die("the books do not balance after the postings: " + problems.front() + " (and " +
      std::to_string(problems.size() - 1) + " more)");
}

// One side of a run: its copy of the company, its open file blocks while the other side runs,
// and what it measured.
struct Side {
  std::filesystem::path Folder;
  std::array<storage::IsamFileBlock, 6> Files{};
  double Seconds = 0;
  double CpuSeconds = 0;  // of this thread, user and system
  double Slowest = 0;     // the slowest posting
  long Syncs = 0;         // all the side made, opening and closing included
  long MostSyncs = 0;     // the most one posting made
};

// The record files' blocks, which the two sides' open files take turns in.
const std::array<storage::IsamFileBlock*, 6> kFileBlocks = {&records::CompanyFile, &records::CustomerFile,
                                                            &records::ProductFile, &records::InvoiceFile,
                                                            &records::DetailFile,  &records::MemoFile};

// Runs `work` as `side`, its files in the record files' blocks and its folder current (the
// posting journal lives there); its time and syncs go to the side.
void AsSide(Side& side, const std::function<void()>& work) {
  std::filesystem::current_path(side.Folder);
  for (std::size_t i = 0; i < kFileBlocks.size(); ++i) *kFileBlocks[i] = side.Files[i];
  const long syncsBefore = syncs;
  const double cpuBefore = CpuSeconds();
  side.Seconds += Seconds(work);
  side.CpuSeconds += CpuSeconds() - cpuBefore;
  side.Syncs += syncs - syncsBefore;
  for (std::size_t i = 0; i < kFileBlocks.size(); ++i) side.Files[i] = *kFileBlocks[i];
}

void CloseAll() {
  for (storage::IsamFileBlock* file : kFileBlocks) {
    if (*file && storage::IsamIsOpen(*file)) storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
}

struct Times {
  std::vector<double> Posting, Bare, PostingCpu, BareCpu;
  Side Worst;  // the worst of the posting side's figures over the runs
};

// One run: both copies opened (the posting side as the Invoice Manager opens its files), the
// invoices posted in blocks that alternate between the sides, the books checked (untimed) and
// both closed.
void RunBothSides(const std::filesystem::path& scratch, const std::vector<EnteredInvoice>& invoices,
                  int round, Times& times) {
  constexpr std::size_t kBlock = 1000;
  Side posting{scratch / "posting"}, bare{scratch / "bare"};
  CopyBase(scratch / "base", posting.Folder);
  CopyBase(scratch / "base", bare.Folder);
  StartEngine();
  records::HeldFiles held;
  AsSide(posting, [&] {
    Require(records::OpenInvoiceFiles(), "invoice files");
    invoicing::HoldInvoicePostingFiles(held);
  });
  AsSide(bare, [] {
    using Open = bool (*)();
    for (Open open : {records::OpenInvoiceFiles, records::OpenCompanyFile, records::OpenCustomerFile,
                      records::OpenProductFile})
      Require(open(), "data files");
  });
  for (std::size_t from = 0; from < invoices.size(); from += kBlock) {
    const std::size_t to = std::min(invoices.size(), from + kBlock);
    auto postBlock = [&] {
      AsSide(posting, [&] {
        for (std::size_t i = from; i < to; ++i) {
          const long before = syncs;
          posting.Slowest =
              std::max(posting.Slowest, Seconds([&] { invoicing::PostNewInvoice(invoices[i]); }));
          posting.MostSyncs = std::max(posting.MostSyncs, syncs - before);
        }
      });
    };
    auto bareBlock = [&] {
      AsSide(bare, [&] {
        for (std::size_t i = from; i < to; ++i) PostBare(invoices[i]);
      });
    };
    // The side that goes first changes from block to block and from run to run.
    if ((from / kBlock + static_cast<std::size_t>(round)) % 2 == 0) {
      postBlock();
      bareBlock();
    } else {
      bareBlock();
      postBlock();
    }
  }
  std::filesystem::current_path(posting.Folder);
  for (std::size_t i = 0; i < kFileBlocks.size(); ++i) *kFileBlocks[i] = posting.Files[i];
  CheckBooks();
  AsSide(posting, [&] {
    held.Release();
    CloseAll();
  });
  AsSide(bare, CloseAll);
  StopEngine();
  times.Posting.push_back(posting.Seconds);
  times.Bare.push_back(bare.Seconds);
  times.PostingCpu.push_back(posting.CpuSeconds);
  times.BareCpu.push_back(bare.CpuSeconds);
  times.Worst.Slowest = std::max(times.Worst.Slowest, posting.Slowest);
  times.Worst.MostSyncs = std::max(times.Worst.MostSyncs, posting.MostSyncs);
  times.Worst.Syncs = std::max(times.Worst.Syncs, posting.Syncs);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void MeasureSize(const std::filesystem::path& scratch, int count, int repeat) {
  const std::vector<EnteredInvoice> invoices = MakeInvoices(count);
  Times times;
  for (int round = 0; round < repeat; ++round) RunBothSides(scratch, invoices, round, times);
  const double p = Median(times.Posting), b = Median(times.Bare);
  const double cpuRatio = Median(times.PostingCpu) / Median(times.BareCpu);
  std::printf("| %9d | %9.3f | %10.4f | %10.3f | %9.3f | %6.2f | %9.2f | %10ld | %10ld |\n", count, p,
              p / count * 1000, times.Worst.Slowest * 1000, b, p / b, cpuRatio, times.Worst.MostSyncs,
              times.Worst.Syncs);
  std::fflush(stdout);
}

std::vector<int> ParseCounts(const std::string& text) {
  std::vector<int> counts;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) counts.push_back(std::stoi(item));
  return counts;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int repeat = 3;
  std::vector<int> counts = {10000, 100000};
  std::filesystem::path scratch = std::filesystem::temp_directory_path() / "kestrava-posting-bench";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--repeat" && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--invoices" && i + 1 < argc) {
      counts = ParseCounts(argv[++i]);
    } else {
      scratch = arg;
    }
  }
  scratch = std::filesystem::absolute(scratch);
  platform::text::SetClock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
  platform::text::SetShortDateFormat("mm/dd/yyyy");

  MakeBaseCompany(scratch / "base");
  std::printf("%d customers, %d products; three-line invoices; medians of %d runs, sides alternating.\n",
              kCustomers, kProducts, repeat);
  std::printf("posting: as the Invoice Manager posts, its files held; bare: the engine writes alone.\n\n");
  std::printf(
      "|  invoices | posting s | ms/posting | slowest ms |    bare s |  ratio | cpu ratio | fsyncs max | "
      "fsyncs all |\n");
  std::printf(
      "|-----------|-----------|------------|------------|-----------|--------|-----------|------------|-----"
      "-------|\n");
  for (int count : counts) MeasureSize(scratch, count, repeat);
  std::filesystem::current_path(scratch.parent_path());
  std::filesystem::remove_all(scratch);
  return 0;
}
