// The memory a bulk posting takes: the purge of old records and a price change over every
// product, each one posting of the program, with the peak private memory over the company alone.
//
//   bulk_bench [--invoices N] [--products N] [--repeat N] [scratch folder]
//
// A company of 1,000 customers and --products products (default 100,000) is filed with the
// program's record routines and grown, untimed and without syncs, by posting --invoices
// three-line invoices (default 200,000) through the posting procedure: the first half dated
// March 2024 and paid in full, the second half dated December 2026. Each measured run is a fresh
// process (this program started again with --measure) on a fresh copy of the company, so that
// its memory is its own:
//   - purge: the Delete Old Records of the Tools menu with the cut-off 1 January 2025: every
//     invoice of the first half goes, with its lines, in one posting;
//   - price change: every product's price written by the batch price change, in one posting.
// Before the run the engine is started and the company record read, as the program holds the
// company; the figure is the run's peak private memory (RssAnon, sampled every millisecond)
// less the private memory just before it, in MiB ("MB"). Syncs are real in the measured runs.

#include <unistd.h>

#include <QApplication>
#include <QDate>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "invoicing/invoice_posting.h"
#include "invoicing/posting_steps.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/ui/ui_driver.h"
#include "products/price_batch.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "scratch_company.h"
#include "shell/maintenance.h"
#include "storage/isam.h"
#include "counted_syncs.h"
#include "posting_company.h"
#include "process_memory.h"
#include "workload.h"

namespace {

using bench::Numbered;
using bench::PeakPrivateMemory;
using bench::StatusKiB;

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "bulk_bench: %s\n", what.c_str());
  std::exit(1);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

constexpr unsigned kCustomers = 1000;
constexpr int kPageBuffers = 30;  // what the program starts the engine with
const char kCompany[] = "1";

void Require(bool ok, const char* what) {
  if (!ok) Die(std::string(what) + " failed, engine error " + std::to_string(storage::IsamError));
}

void StartEngine() {
  storage::IsamInitialize(0, kPageBuffers);
  Require(storage::IsamOK, "engine start");
}

void CloseAll() {
  for (storage::IsamFileBlock* file : {&records::CompanyFile, &records::CustomerFile, &records::ProductFile,
                                       &records::InvoiceFile, &records::DetailFile, &records::MemoFile}) {
    if (*file && storage::IsamIsOpen(*file)) storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
}

void StopEngine() {
  CloseAll();
  storage::IsamShutdown();
}

// The company in `folder`: customers, products and invoices, filed and posted by the program's
// routines with syncs skipped.
void MakeCompany(const std::filesystem::path& folder, long invoices, unsigned products) {
  Require(bench::StartScratchCompany(folder), "company");
  bench::syncsSkipped = true;
  Require(bench::FileCustomersAndProducts(kCustomers, products), "customers and products");
  // The purge walks the purchase orders too: their files are there, empty.
  for (storage::DataFileUnit& (*unit)() : {records::POHeaderUnit, records::PODetailUnit, records::POMemoUnit})
    Require(unit().CreateFile(), "PO file");
  CloseAll();
  // Opened and held as the Invoice Manager holds them.
  records::HeldFiles held;
  Require(records::OpenInvoiceFiles(), "invoice files");
  invoicing::HoldInvoicePostingFiles(held);
  const long half = invoices / 2;
  for (long i = 0; i < invoices; ++i) invoicing::PostNewInvoice(
        bench::MakeEnteredInvoice(i, kCustomers, products, i < half ? "03/01/2024" : "12/07/2026", i < half));
  held.Release();
  StopEngine();
  bench::syncsSkipped = false;
  ::sync();
}

// One measured run, in this (fresh) process: what it did, its seconds, and the peak private
// memory over that before it, in KiB.
struct Run {
  long Count = 0;
  double Seconds = 0;
  long OverKiB = 0;
};

// Nothing is asked or told in a measured run: a box would mean the run went wrong.
class NoBoxes : public platform::ui::UiDriver {
 public:
  NoBoxes() { platform::ui::InstallUiDriver(this); }
  platform::ui::TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override {
    Die("the run showed \"" + request.text.toStdString() + "\"");
  }
  platform::ui::TModalResult RunModal(platform::ui::Form&) override { Die("the run showed a window"); }
  bool RunOpenFile(platform::ui::FileDialogRequest&) override { Die("the run showed a dialog"); }
  bool RunSaveFile(platform::ui::FileDialogRequest&) override { Die("the run showed a dialog"); }
  bool RunChooseFolder(platform::ui::FolderRequest&) override { Die("the run showed a dialog"); }
  bool RunFont(platform::ui::FontRequest&) override { Die("the run showed a dialog"); }
  bool RunPrinterSetup(QPrinter&) override { Die("the run showed a dialog"); }
  bool OpenHelp(const QString&, const QString&) override { return false; }
  void Beep() override {}
};

Run Measure(const std::string& kind, const std::filesystem::path& folder, unsigned products) {
  static NoBoxes noBoxes;
  std::filesystem::current_path(folder);
  StartEngine();
  records::InstallCompanyFileNames();
  Require(records::ReadCompanyRecord(kCompany, records::CurrentCompany), "company record");
  Run run;
  const long before = StatusKiB("RssAnon");
  PeakPrivateMemory peak;
  const auto start = std::chrono::steady_clock::now();
  if (kind == "purge") {
    run.Count = shell::PurgeOldRecords(QDate(2025, 1, 1)).Invoices;
  } else {
    std::vector<products::PriceChange> changes;
    changes.reserve(products);
    for (unsigned i = 1; i <= products; ++i) changes.push_back({Numbered("P%u", i), "3.75"});
    run.Count = products::ChangeBatchPrices(changes, "D", "0");
  }
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.OverKiB = peak.Stop() - before;
  StopEngine();
  return run;
}

// Runs --measure in a fresh process on a fresh copy of the company.
Run MeasureInChild(const char* self, const std::string& kind, const std::filesystem::path& scratch,
                   unsigned products) {
  const std::filesystem::path run = scratch / "run";
  std::filesystem::current_path(scratch);
  std::filesystem::remove_all(run);
  std::filesystem::copy(scratch / "base", run, std::filesystem::copy_options::recursive);
  ::sync();
  const std::string command = std::string("\"") + self + "\" --measure " + kind + " --products " +
                              std::to_string(products) + " \"" + run.string() + "\"";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) Die("cannot run " + command);
  Run result;
  const int got = std::fscanf(pipe, "%ld %lf %ld", &result.Count, &result.Seconds, &result.OverKiB);
  if (::pclose(pipe) != 0 || got != 3) Die("the measured run failed: " + command);
  return result;
}

struct Options {
  long Invoices = 200000;
  unsigned Products = 100000;
  int Repeat = 3;
  std::string Measure;  // the kind of a measured run (in the child)
  std::filesystem::path Scratch = std::filesystem::temp_directory_path() / "kestrava-bulk-bench";
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool valued = i + 1 < argc;
    if (arg == "--invoices" && valued) {
      o.Invoices = std::max(2L, std::atol(argv[++i]));
    } else if (arg == "--products" && valued) {
      o.Products = static_cast<unsigned>(std::max(1L, std::atol(argv[++i])));
    } else if (arg == "--repeat" && valued) {
      o.Repeat = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--measure" && valued) {
      o.Measure = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      Die("usage: bulk_bench [--invoices N] [--products N] [--repeat N] [scratch folder]");
    } else {
      o.Scratch = arg;
    }
  }
  o.Scratch = std::filesystem::absolute(o.Scratch);
  return o;
}

long MiB(long kib) {
  return (kib + 1023) / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const Options o = ParseOptions(argc, argv);
  platform::text::SetClock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  if (!o.Measure.empty()) {
    const Run run = Measure(o.Measure, o.Scratch, o.Products);
    std::printf("%ld %.3f %ld\n", run.Count, run.Seconds, run.OverKiB);
    return 0;
  }
  std::printf("%u customers, %u products, %ld three-line invoices (half of them old and paid).\n", kCustomers,
              o.Products, o.Invoices);
  std::fflush(stdout);
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  MakeCompany(o.Scratch / "base", o.Invoices, o.Products);
  struct Kind {
    const char* Name;
    std::string Line;
    long Expected;
  };
  const Kind kinds[] = {
      {"purge", "bulk purge " + std::to_string(o.Invoices / 2) + " of " + std::to_string(o.Invoices),
       o.Invoices / 2},
      {"prices", "bulk price change " + std::to_string(o.Products) + " products", o.Products},
  };
  for (const Kind& kind : kinds) {
    std::vector<long> over;
    std::vector<double> seconds;
    for (int round = 0; round < o.Repeat; ++round) {
      const Run run = MeasureInChild(self.c_str(), kind.Name, o.Scratch, o.Products);
      if (run.Count != kind.Expected)
        Die(std::string(kind.Name) + " changed " + std::to_string(run.Count) + ", not " +
            std::to_string(kind.Expected));
      over.push_back(run.OverKiB);
      seconds.push_back(run.Seconds);
    }
    std::sort(over.begin(), over.end());
    std::printf("%s: +%ld MB\n", kind.Line.c_str(), MiB(over.back()));
    std::printf("  (peak private memory over the company alone, the largest of %d runs, %ld to %ld KiB; %.1f s median)\n",
                o.Repeat, over.front(), over.back(), Median(seconds));
    std::fflush(stdout);
  }
  std::filesystem::current_path(o.Scratch.parent_path());
  std::filesystem::remove_all(o.Scratch);
  return 0;
}
