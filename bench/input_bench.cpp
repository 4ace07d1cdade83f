// Large input read by the program's own readers, each beside a peer of the same size that was
// never slow, at several sizes in one run: the times must grow with the rows, not with their square.
//
//   input_bench [scratch folder] [rows,rows,...]      (rows default 1000,10000,100000)
//
// Workloads (peer in brackets):
//   letter runs      a rich-text letter of N runs of alternating format opened into a document
//                    [the same text in one run]
//   letter bullets   a letter of N bulleted paragraphs [N plain paragraphs]
//   letter merge     the letter merged and printed (recording printer) for N/100 queued customers
//                    [the same letters printed without a merge]
//   label queue      N rows loaded into the label queue while the label wizard shows it
//                    [the same rows loaded with no window showing them]
//   account import   N customers of one name and one number imported [N distinct customers]
// Times are seconds; ratio = workload / peer; growth = this size's time / the first size's time,
// rows / first rows beside it. For the imports, which are one posting however many rows they have,
// the memory beside the time, in MiB: the most the import had allocated at once (workload and
// peer), and the most its posting held of its journal and records.

#include <QApplication>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "exchange/account_import.h"
#include "forms/rich_text_file.h"
#include "platform/files/file.h"
#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"
#include "process_memory.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "reports/label_queue.h"
#include "reports/label_wizard.h"
#include "reports/letter_merge.h"
#include "scratch_company.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"

namespace {

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "input_bench: %s (engine error %d)\n", what.c_str(), storage::IsamError);
  std::exit(1);
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// ---- letters ----

std::string RichLetter(int runs, bool formatted) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\plain\\f0\\fs24 ";
  for (int i = 0; i < runs; ++i) {
    if (formatted) rtf += i % 2 ? "\\b0 " : "\\b ";
    rtf += "word ";
    if (i % 12 == 11) rtf += "\\par\\pard ";
  }
  return rtf + "}";
}

std::string BulletLetter(int paragraphs, bool bulleted) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}";
  for (int i = 0; i < paragraphs; ++i) {
    rtf += "\\pard";
    if (bulleted) rtf += "{\\pntext\\bullet\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\bullet}}";
    rtf += "\\plain\\f0\\fs24 point " + std::to_string(i) + "\\par ";
  }
  return rtf + "}";
}

double OpenLetter(const std::string& rtf) {
  QTextDocument document;
  return Seconds([&] {
    if (!forms::ReadRichText(rtf, document)) Die("letter not read");
  });
}

// ---- a company ----

// A fresh company in `folder` with empty customer, vendor and product files, open.
void StartCompany(const std::filesystem::path& folder) {
  static bool started = false;
  if (started) storage::IsamShutdown();
  started = true;
  records::CustomerFile = records::VendorFile = records::ProductFile = nullptr;
  if (!bench::StartScratchCompany(folder)) Die("company");
  if (!records::CreateCustomerFile() || !records::OpenCustomerFile() || !records::CreateVendorFile() ||
      !records::CreateProductFile())
    Die("data files");
}

std::vector<exchange::ImportRow> AccountRows(int rows, bool alike) {
  std::vector<exchange::ImportRow> grid;
  for (int i = 0; i < rows; ++i)
    grid.push_back(alike ? exchange::ImportRow{"Acme Tools", "C1"}
                         : exchange::ImportRow{"Acme Tools " + std::to_string(i), "C" + std::to_string(i)});
  return grid;
}

// One import's time and memory in MiB: the most it had allocated at once (beyond what was in use
// before it) and the most its posting held of its journal and records.
struct Measured {
  double seconds = 0;
  double heapMiB = -1;
  double heldMiB = -1;
};

constexpr double kMiB = 1024.0 * 1024.0;

Measured ImportAccounts(const std::filesystem::path& folder, int rows, bool alike) {
  StartCompany(folder);
  const std::vector<exchange::ImportRow> grid = AccountRows(rows, alike);
  const size_t before = bench::HeapInUse();
  size_t heap = before;
  size_t held = 0;
  // Looked at every 1,000 rows: the look walks what the posting holds.
  const exchange::ImportProgress sample = [&](int done, int) {
    if (done % 1000 != 0) return;
    heap = std::max(heap, bench::HeapInUse());
    held = std::max(held, storage::PostingBytesHeld());
  };
  Measured measured;
  measured.seconds = Seconds([&] {
    if (exchange::ImportAccounts(exchange::CustomerImportKind(), grid, false, sample).Added != rows)
      Die("import");
  });
  measured.heapMiB = static_cast<double>(heap - before) / kMiB;
  measured.heldMiB = static_cast<double>(held) / kMiB;
  return measured;
}

// Letters for `customers` queued customers; with merge the letter names each customer.
double PrintLetters(const std::filesystem::path& folder, int customers, bool merge) {
  StartCompany(folder);
  std::vector<reports::LabelQueueRow> queue;
  storage::IsamRecRef ref = 0;
  for (int i = 0; i < customers; ++i) {
    records::CustomerRec c{};
    c.CustomerNo.Set("C" + std::to_string(i));
    c.CustomerName.Set("Customer " + std::to_string(i));
    if (!records::AddCustomerRecord(c, ref)) Die("customer");
    queue.push_back({c.CustomerNo.Get(), c.CustomerName.Get(), "", "", "C"});
  }
  storage::IsamCloseFileBlock(records::CustomerFile);
  records::CustomerFile = nullptr;
  const std::string name = merge ? "PVCSTNAME" : "Customer";
  if (!platform::files::WriteWholeFile(reports::LetterTempFile, RichLetter(200, true) + "Dear " + name))
    Die("letter");
  platform::print::ScopedPrintBackend printer(std::make_unique<platform::print::RecordingPrintBackend>());
  return Seconds([&] {
    if (reports::PrintQueuedLetters(queue, "Letter", QFont("Arial", 12), {}).Letters != customers)
      Die("letters");
  });
}

std::vector<reports::LabelQueueRow> QueueRows(int rows) {
  std::vector<reports::LabelQueueRow> queue;
  for (int i = 0; i < rows; ++i)
    queue.push_back({"C" + std::to_string(i), "Customer " + std::to_string(i), "SORT", "Retail", "C"});
  return queue;
}

double LoadQueue(int rows, bool shown) {
  reports::LabelPrintQueue.Clear();
  reports::Createlblwiz().Show();
  // The wizard redraws its list at every change while it lives; the peer loads without it.
  std::function<void()> redraw = std::exchange(reports::LabelPrintQueue.Changed, nullptr);
  if (shown) reports::LabelPrintQueue.Changed = redraw;
  std::vector<reports::LabelQueueRow> queue = QueueRows(rows);
  const double seconds = Seconds([&] { reports::LabelPrintQueue.AppendAll(std::move(queue)); });
  reports::LabelPrintQueue.Changed = redraw;
  reports::Createlblwiz().Close();
  if (reports::LabelPrintQueue.Count() != rows) Die("label queue");
  return seconds;
}

struct Row {
  std::string workload;
  int rows;
  double seconds;
  double peer;
  Measured memory = {};  // of the workload, where measured
  Measured peerMemory = {};
};

Row Compared(const std::string& workload, int rows, const Measured& measured, const Measured& peer) {
  return {workload, rows, measured.seconds, peer.seconds, measured, peer};
}

// A figure in MiB, or a dash where it was not measured.
std::string MiBText(double mib) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", mib);
  return mib < 0 ? "-" : text;
}

std::vector<int> Sizes(const char* text) {
  std::vector<int> sizes;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) sizes.push_back(std::stoi(item));
  return sizes;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::filesystem::path scratch = std::filesystem::absolute(argc > 1 ? argv[1] : "input_bench_scratch");
  const std::vector<int> sizes = Sizes(argc > 2 ? argv[2] : "1000,10000,100000");
  std::vector<Row> table;
  for (int n : sizes) {
    table.push_back({"letter runs", n, OpenLetter(RichLetter(n, true)), OpenLetter(RichLetter(n, false))});
    table.push_back(
        {"letter bullets", n, OpenLetter(BulletLetter(n, true)), OpenLetter(BulletLetter(n, false))});
    table.push_back({"letter merge (N/100)", n, PrintLetters(scratch / "merge", n / 100, true),
                     PrintLetters(scratch / "plain", n / 100, false)});
    table.push_back({"label queue", n, LoadQueue(n, true), LoadQueue(n, false)});
    table.push_back(Compared("account import", n, ImportAccounts(scratch / "alike", n, true),
                             ImportAccounts(scratch / "distinct", n, false)));
  }
  storage::IsamShutdown();
  std::filesystem::current_path(scratch.parent_path());
  std::filesystem::remove_all(scratch);

  std::printf(
      "Times in seconds; ratio = workload / peer; growth = time / time at %d rows; memory in MiB: the most\n"
      "the import allocated (workload, peer) and the most its posting held.\n\n",
      sizes.front());
  std::printf(
      "| workload             |    rows |  time s |  peer s |  ratio |  growth (rows) |  mem | peer mem | "
      "held |\n");
  std::printf(
      "|----------------------|---------|---------|---------|--------|----------------|------|----------|----"
      "--|\n");
  for (const Row& row : table) {
    double first = row.seconds;
    for (const Row& other : table)
      if (other.workload == row.workload && other.rows == sizes.front()) first = other.seconds;
    std::printf("| %-20s | %7d | %7.3f | %7.3f | %6.2f | %6.1f (%5.0fx) | %4s | %8s | %4s |\n",
                row.workload.c_str(), row.rows, row.seconds, row.peer, row.seconds / row.peer,
                row.seconds / first, static_cast<double>(row.rows) / sizes.front(),
                MiBText(row.memory.heapMiB).c_str(), MiBText(row.peerMemory.heapMiB).c_str(),
                MiBText(row.memory.heldMiB).c_str());
  }
  return 0;
}
