// The Sales Report of one year and the A/R report shown in the report viewer, at growing numbers
// of invoices, beside SQLite computing the same rows and sorting them, with the memory each side
// takes.
//
//   report_scale [--sizes N,N,...] [--repeat N] [scratch folder]
//                (default: 10,000, 50,000 and 200,000 three-line invoices; 3 runs)
//
// For each size the invoices and lines of 100,000 customers and 20,000 products are filed once
// with the program's record routines and loaded once into SQLite. Every measured run is a fresh
// process (this program started again with --measure), so its peak memory is its own:
//   - engine: the report builder walks the files (30 page buffers, as the program starts the
//     engine), the viewer takes the report and is shown: the window sorts it on its first column
//     with sub-totals and measures its columns, as the user first sees it; then the viewer closes.
//   - SQLite: one query computes the same rows and sorts them in the viewer's order (its default
//     cache); the rows are composed into cells with the builders' routines.
// The two sides' records are compared in order (a digest of every trimmed cell) before anything
// is printed. The sides take turns; the table shows medians.

#include <QApplication>
#include <QDateTime>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "process_memory.h"
#include "report_data.h"
#include "reports/line_reports.h"
#include "reports/receivables_report.h"
#include "reports/report_lines.h"
#include "reports/report_viewer.h"
#include "storage/isam.h"

namespace {

using bench::Die;
using bench::PeakPrivateMemory;
using bench::Seconds;
using bench::StatusKiB;
using reports::ReportTable;

constexpr int kPageBuffers = 30;
constexpr unsigned kCustomers = 100000;
constexpr unsigned kProducts = 20000;

struct Report {
  const char* Title;  // as the wizard sets it
  const char* Name;   // on the command line and in the table
  reports::ReportOutput (*Collect)(const reports::ReportRequest&);
  const char* SqliteOrder;  // the viewer's order on the first column
};

const Report kReports[] = {
    {"Sales Report", "sales", reports::CollectSalesReport,
     "upper(description), description, product, date, number, short_name, customer"},
    {"Accounts Receivable", "ar", reports::CollectAccountsReceivable, "upper(category), category, number"},
};

const Report& ReportNamed(const std::string& name) {
  for (const Report& report : kReports)
    if (name == report.Name) return report;
  Die("no report " + name);
}

// What one measured run prints for its parent.
struct Run {
  double Seconds = 0;
  double ViewerSeconds = 0;  // of them, the viewer's (engine side)
  int Rows = 0;
  unsigned long long Digest = 0;
  long PeakKiB = 0;          // the process's peak private memory
  long PeakResidentKiB = 0;  // ... and peak resident memory, mapped data files included
  long BeforeKiB = 0;        // private memory before the report
  long ShownKiB = 0;         // ... with the report on screen (SQLite: with its table)
  long AfterCloseKiB = 0;    // ... once the viewer closed (SQLite: its table freed)
};

// The records of the table, in order, every cell trimmed, folded into one number.
void Digest(const ReportTable& table, Run& run) {
  unsigned long long digest = 14695981039346656037ull;
  for (int row = 1; row < table.RowCount(); ++row) {
    if (table.IsInserted(row)) continue;
    ++run.Rows;
    for (int column = 0; column < table.ColumnCount(); ++column) {
      for (char c : platform::text::TrimmedBlanks(table.Cell(row, column)))
        digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211ull;
      digest = (digest ^ 0xFFu) * 1099511628211ull;
    }
  }
  run.Digest = digest;
}

const reports::ReportRequest& YearRequest() {
  static const reports::ReportRequest year{"01/01/2026", "12/31/2026", "", platform::text::Now()};
  return year;
}

Run MeasureEngine(const Report& report) {
  storage::IsamInitialize(0, kPageBuffers);
  reports::Trtreport& viewer = reports::Creatertreport();
  Run run;
  run.BeforeKiB = StatusKiB("RssAnon");
  reports::ReportTitle = report.Title;
  reports::ReportOutput output;
  const double building = Seconds([&] { output = report.Collect(YearRequest()); });
  run.ViewerSeconds = Seconds([&] {
    viewer.LoadReport(std::move(output));
    viewer.Show();
    QApplication::processEvents();
  });
  run.Seconds = building + run.ViewerSeconds;
  run.ShownKiB = StatusKiB("RssAnon");
  Digest(viewer.Table(), run);
  viewer.Close();
  QApplication::processEvents();
  run.AfterCloseKiB = StatusKiB("RssAnon");
  storage::IsamShutdown();
  return run;
}

Run MeasureSqlite(const Report& report) {
  bench::ReportSqlite db("reports.sqlite", 0, true);
  Run run;
  run.BeforeKiB = StatusKiB("RssAnon");
  {
    ReportTable table;
    run.Seconds = Seconds([&] {
      table = report.Collect == reports::CollectSalesReport
                  ? bench::SqliteSales(db, "2026/01/01", "2026/12/31", report.SqliteOrder)
                  : bench::SqliteReceivables(db, YearRequest().Now, report.SqliteOrder);
    });
    run.ShownKiB = StatusKiB("RssAnon");
    Digest(table, run);
  }
  run.AfterCloseKiB = StatusKiB("RssAnon");
  return run;
}

// The child's side of one run: report_scale --measure engine|sqlite <report> <folder>.
int Measure(int argc, char** argv) {
  if (argc < 5) Die("--measure engine|sqlite <report> <folder>");
  qputenv("QT_QPA_PLATFORM", "offscreen");
  platform::ui::GuiApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  std::filesystem::current_path(argv[4]);
  platform::text::FixedClock clock(QDateTime(QDate(2026, 12, 31), QTime(12, 0)));
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  bench::SetUpReportCompany();
  const Report& report = ReportNamed(argv[3]);
  PeakPrivateMemory peak;
  const Run run = std::string(argv[2]) == "engine" ? MeasureEngine(report) : MeasureSqlite(report);
  std::printf("%.6f %.6f %d %llu %ld %ld %ld %ld %ld\n", run.Seconds, run.ViewerSeconds, run.Rows, run.Digest,
              peak.Stop(), StatusKiB("VmHWM"), run.BeforeKiB, run.ShownKiB, run.AfterCloseKiB);
  return 0;
}

Run RunChild(const std::string& side, const Report& report, const std::filesystem::path& folder) {
  const std::string command = std::filesystem::read_symlink("/proc/self/exe").string() + " --measure " +
                              side + " " + report.Name + " '" + folder.string() + "'";
  FILE* child = popen(command.c_str(), "r");
  if (!child) Die("cannot start " + command);
  Run run;
  const int read = std::fscanf(child, "%lf %lf %d %llu %ld %ld %ld %ld %ld", &run.Seconds, &run.ViewerSeconds,
                               &run.Rows, &run.Digest, &run.PeakKiB, &run.PeakResidentKiB, &run.BeforeKiB,
                               &run.ShownKiB, &run.AfterCloseKiB);
  if (pclose(child) != 0 || read != 9) Die(side + " run failed: " + command);
  return run;
}

// The invoices of one size, filed in the engine's files and loaded into SQLite in the folder.
void BuildData(int invoices, const std::filesystem::path& folder) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
  storage::IsamInitialize(0, kPageBuffers);
  bench::SetUpReportCompany();
  const bench::Workload work(invoices, kCustomers, kProducts);
  bench::FileInvoicesAndLines(work);
  storage::IsamShutdown();
  bench::ReportSqlite db((folder / "reports.sqlite").string());
  bench::LoadInvoicesAndLines(db, work);
}

template <class Field>
double Median(std::vector<Run> runs, Field field) {
  std::sort(runs.begin(), runs.end(), [&](const Run& a, const Run& b) { return a.*field < b.*field; });
  return static_cast<double>(runs[runs.size() / 2].*field);
}

std::vector<int> Sizes(const std::string& list) {
  std::vector<int> sizes;
  std::stringstream items(list);
  for (std::string item; std::getline(items, item, ',');) sizes.push_back(std::atoi(item.c_str()));
  return sizes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--measure") return Measure(argc, argv);
  std::vector<int> sizes = {10000, 50000, 200000};
  int repeat = 3;
  std::filesystem::path scratch = std::filesystem::temp_directory_path() / "kestrava_report_scale";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--sizes" && i + 1 < argc)
      sizes = Sizes(argv[++i]);
    else if (arg == "--repeat" && i + 1 < argc)
      repeat = std::max(1, std::atoi(argv[++i]));
    else
      scratch = std::filesystem::absolute(arg);
  }

  std::printf("Medians of %d runs, each a fresh process; times in seconds, memory in MiB.\n", repeat);
  std::printf(
      "engine: builder + viewer (sort on column 1 with sub-totals, column widths), %d page buffers;\n",
      kPageBuffers);
  std::printf("viewer: the viewer's part of it\n");
  std::printf("SQLite: the same rows computed and sorted in the viewer's order, default cache\n");
  std::printf(
      "peak: the process's peak private memory (RssAnon, sampled every ms); resident: its peak resident\n");
  std::printf(
      "memory, the engine's mapped data files included; shown / closed / before: private memory with the\n");
  std::printf("report on screen, after the viewer closed, and before the report was built\n\n");
  std::printf(
      "| report              | invoices |    rows | engine s | viewer s | SQLite s | ratio | growth |"
      " engine peak | SQLite peak | engine resident | shown | closed | before |\n");
  std::printf(
      "|---------------------|----------|---------|----------|----------|----------|-------|--------|"
      "-------------|-------------|-----------------|-------|--------|--------|\n");
  std::vector<double> firstTime(std::size(kReports), 0), firstRows(std::size(kReports), 0);
  for (int invoices : sizes) {
    const std::filesystem::path folder = scratch / std::to_string(invoices);
    BuildData(invoices, folder);
    for (std::size_t r = 0; r < std::size(kReports); ++r) {
      const Report& report = kReports[r];
      std::vector<Run> engine, sqlite;
      for (int k = 0; k < repeat; ++k) {
        // The sides take turns at going first, so that a busy spell of the machine falls on both.
        if (k % 2 == 0) engine.push_back(RunChild("engine", report, folder));
        sqlite.push_back(RunChild("sqlite", report, folder));
        if (k % 2 == 1) engine.push_back(RunChild("engine", report, folder));
      }
      for (std::size_t k = 0; k < engine.size(); ++k)
        if (engine[k].Digest != sqlite[k].Digest || engine[k].Rows != sqlite[k].Rows)
          Die(std::string(report.Title) + ": the viewer's records differ from SQLite's (" +
              std::to_string(engine[k].Rows) + " rows beside " + std::to_string(sqlite[k].Rows) + ")");
      const double engineSeconds = Median(engine, &Run::Seconds);
      const double sqliteSeconds = Median(sqlite, &Run::Seconds);
      const int rows = engine.front().Rows;
      if (firstTime[r] == 0) {
        firstTime[r] = engineSeconds;
        firstRows[r] = rows;
      }
      // Time growth over the first size, divided by the growth of the rows: 1.00 is linear.
      const double growth = (engineSeconds / firstTime[r]) / (rows / firstRows[r]);
      std::printf(
          "| %-19s | %8d | %7d | %8.3f | %8.3f | %8.3f | %5.2f | %6.2f | %11.1f | %11.1f | %15.1f | %5.1f | "
          "%6.1f | "
          "%6.1f |\n",
          report.Title, invoices, rows, engineSeconds, Median(engine, &Run::ViewerSeconds), sqliteSeconds,
          engineSeconds / sqliteSeconds, growth, Median(engine, &Run::PeakKiB) / 1024,
          Median(sqlite, &Run::PeakKiB) / 1024, Median(engine, &Run::PeakResidentKiB) / 1024,
          Median(engine, &Run::ShownKiB) / 1024, Median(engine, &Run::AfterCloseKiB) / 1024,
          Median(engine, &Run::BeforeKiB) / 1024);
      std::fflush(stdout);
    }
  }
  return 0;
}
