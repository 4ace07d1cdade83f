// The report printout on the recording printer (fixed metrics: a 10-point line is 50 dots high,
// a character 25 dots wide) and once through the Qt back-end into a PDF read back by pdftotext.

#include <gtest/gtest.h>

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <map>
#include <set>

#include "platform/print/print_test_support.h"
#include "platform/print/qt_print_backend.h"
#include "platform/text/clock.h"
#include "records/company_rec.h"
#include "reports/report_printout.h"
#include "reports/report_subtotals.h"
#include "support/temp_dir.h"

using namespace reports;
using platform::print::TPrinterOrientation;

namespace {

// One drawing call of the log.
struct Drawn {
  QString call;  // "TextOut", "MoveTo", "LineTo"
  int x = 0, y = 0;
  QString text;
  int pen = 0;
};
using Page = std::vector<Drawn>;

// The log cut into pages.
std::vector<Page> Pages(const QStringList& log) {
  static const QRegularExpression call(
      R"re(^(TextOut|MoveTo|LineTo)\((\d+), (-?\d+)(?:, "(.*)")?\) .* pen\((\d+),)re");
  std::vector<Page> pages;
  for (const QString& line : log) {
    if (line.startsWith("BeginDoc") || line.startsWith("NewPage")) pages.emplace_back();
    const QRegularExpressionMatch m = call.match(line);
    if (m.hasMatch() && !pages.empty())
      pages.back().push_back({m.captured(1), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4),
                              m.captured(5).toInt()});
  }
  return pages;
}

QStringList Texts(const Page& page) {
  QStringList texts;
  for (const Drawn& d : page)
    if (d.call == "TextOut") texts << d.text;
  return texts;
}

class ReportPrintoutTest : public print_testing::RecordingPrinterTest {
 protected:
  ReportPrintoutTest() : clock_(QDateTime(QDate(2026, 3, 15), QTime(14, 7))) {
    records::CurrentCompany = records::DefaultCompanyRecord();
    records::CurrentCompany.CompanyName.Set("Harbour Supplies");
    records::CurrentCompany.FormLeftMargin.Set("60");
    records::CurrentCompany.FormTopMargin.Set("60");
  }

  // An invoice register of `counts[g]` invoices for each of the days 2, 3, ... of March 2026,
  // sorted on its date with sub-totals.
  static ReportTable Register(const std::vector<int>& counts) {
    ReportTable table;
    table.AddRow({"Year/Mo/Dy", "Invoice#", "Short Name", "Customer#", "Net Amount", "Tax Amount",
                  "Grand Total", "C"});
    table.LastTextColumn = 3;
    table.LastNumericColumn = 6;
    int number = 1000;
    for (std::size_t day = 0; day < counts.size(); ++day)
      for (int k = 0; k < counts[day]; ++k, ++number)
        table.AddRow({"2026/03/0" + std::to_string(day + 2), std::to_string(number), "ACME", "C1", "1,000.00",
                      "80.00", "1,080.00", "I"});
    Top10Data top10;
    SortWithSubtotals(table, 0, "Invoice Register", true, top10);
    return table;
  }

  void Print(const ReportTable& table, const std::string& title, bool pageBreaks = false,
             platform::print::TFontStyles style = 0) {
    platform::print::TFont font;
    font.Name = "Arial";
    font.Size = 10;
    font.Style = style;
    PrintReport({table, title, title + " by Date", "Selected records from 03/01/2026 to 03/31/2026", font,
                 pageBreaks},
                *printer_);
  }

  testing_support::TempDir dir_;  // a PDF printed to file lands in the scratch folder
  platform::text::FixedClock clock_;
};

TEST_F(ReportPrintoutTest, APageBreakInsideAGroupRepeatsTheHeaderAndHeadings) {
  const ReportTable table = Register({70, 5});
  Print(table, "Invoice Register");
  ASSERT_EQ(Log().front(), R"(BeginDoc("Invoice Register", portrait, 2400x3150))");
  EXPECT_EQ(Log().back(), "EndDoc");
  const std::vector<Page> pages = Pages(Log());
  ASSERT_EQ(pages.size(), 2u);

  // 50-dot lines from the top margin: the header takes five, every row 53 dots; page 1 is full
  // once y passes 3150 - 200, after the heading row and 49 records (363 + 49 x 53 = 2960).
  for (std::size_t p = 0; p < pages.size(); ++p) {
    const QStringList texts = Texts(pages[p]);
    ASSERT_GE(texts.size(), 14);
    EXPECT_EQ(texts.mid(0, 5),
              (QStringList{"Harbour Supplies", "Invoice Register by Date", QString("Page %1").arg(p + 1),
                           "Date: Sunday, March 15, 2026, 02:07 PM",
                           "Selected records from 03/01/2026 to 03/31/2026"}));
    EXPECT_EQ(texts.mid(5, 8), (QStringList{"Year/Mo/Dy", "Invoice#", "Short Name", "Customer#", "Net Amount",
                                            "Tax Amount", "Grand Total", "C"}));
    EXPECT_EQ(pages[p][0].y, 60);
    EXPECT_EQ(pages[p][5].y, 310);
  }
  const Drawn& continued = pages[0].back();
  EXPECT_EQ(continued.text, "Continued on page 2 ...");
  EXPECT_EQ(continued.x, 60);
  EXPECT_EQ(continued.y, 3150 - 100);
  EXPECT_TRUE(Texts(pages[0]).contains("1048"));
  EXPECT_FALSE(Texts(pages[0]).contains("1049"));
  EXPECT_EQ(pages[1].back().text, "Report Complete. 75 records printed.");

  // Every invoice is printed once, and the group's totals come after the break.
  std::map<QString, int> printed;
  for (const Page& page : pages)
    for (const QString& text : Texts(page)) ++printed[text];
  for (int number = 1000; number < 1075; ++number) EXPECT_EQ(printed[QString::number(number)], 1) << number;
  EXPECT_EQ(printed["** Totals"], 2);
  EXPECT_EQ(printed["70,000.00"], 1);
  EXPECT_EQ(printed["Grand Total"], 3);  // the heading on both pages and the grand total row
  EXPECT_EQ(printed["81,000.00"], 1);

  // Numbers end on the right edges of three slots, whatever their length.
  std::set<int> rightEdges;
  for (const Page& page : pages)
    for (const Drawn& d : page)
      if (d.call == "TextOut" && QRegularExpression(R"(^[\d,]+\.\d\d$)").match(d.text).hasMatch())
        rightEdges.insert(d.x + 25 * static_cast<int>(d.text.size()));
  EXPECT_EQ(rightEdges.size(), 3u);

  // Rules are 3 dots wide: two around each heading row and each grand total, one over each
  // "** Totals" row's sums.
  int rules = 0;
  for (const Page& page : pages)
    for (const Drawn& d : page)
      if (d.call == "LineTo") {
        ++rules;
        EXPECT_EQ(d.pen, 3);
      }
  EXPECT_EQ(rules, 2 * 2 + 2 + 2);
}

// The mouse shows the wait cursor while every part of the printout is drawn, and the normal one
// again once it is done.
TEST_F(ReportPrintoutTest, TheWaitCursorShowsThroughoutThePrintout) {
  class CursorWatch : public platform::print::RecordingPrintBackend {
   public:
    void TextOut(const platform::print::CanvasState& state, int x, int y, const QString& text) override {
      const QCursor* cursor = QGuiApplication::overrideCursor();
      if (!cursor || cursor->shape() != Qt::WaitCursor) drawnWithout.push_back(text);
      ++drawn;
      RecordingPrintBackend::TextOut(state, x, y, text);
    }
    std::vector<QString> drawnWithout;
    int drawn = 0;
  };
  auto watch = std::make_unique<CursorWatch>();
  CursorWatch& watched = *watch;
  printer_ = std::make_unique<platform::print::TPrinter>(std::move(watch));
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  Print(Register({3, 2}), "Invoice Register");
  EXPECT_GT(watched.drawn, 10);
  EXPECT_TRUE(watched.drawnWithout.empty()) << watched.drawnWithout.front().toStdString();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ReportPrintoutTest, SubTotalPageBreaksEndAPageAfterEveryGroup) {
  Print(Register({2, 3, 1}), "Invoice Register", true);
  const std::vector<Page> pages = Pages(Log());
  ASSERT_EQ(pages.size(), 4u);  // three groups, then the grand total on a page of its own
  for (std::size_t p = 0; p + 1 < pages.size(); ++p) {
    const QStringList texts = Texts(pages[p]);
    EXPECT_EQ(texts.at(texts.size() - 5), "** Totals") << p;  // then its three sums
    EXPECT_EQ(texts.back(), QString("Continued on page %1 ...").arg(p + 2));
  }
  EXPECT_TRUE(Texts(pages[3]).contains("Grand Total"));
  EXPECT_EQ(Texts(pages[3]).back(), "Report Complete. 6 records printed.");
}

TEST_F(ReportPrintoutTest, CellsAreLaidOutByTheirColumnsAndEveryRecordIsCounted) {
  ReportTable table(
      {{"Year/Mo/Dy", "Invoice#", "Tax Rate", "Customer#", "Key Code", "Paid Amount", "Tax Amount", "C"},
       {"2026/03/02", "1001", "12.50", "C1", "A", "100.00", "8.13", "I"},
       {"", "1002", "8.125 %", "C2", "B", "1,000.00", "81.25", "I"}});
  table.LastTextColumn = 4;
  table.LastNumericColumn = 6;
  Print(table, "Tax Report");
  const Page page = Pages(Log()).at(0);
  // Text columns are as wide as their longest text and "Xx" (25 dots a character): 300 for the
  // date, 250 for the invoice number and 250 for the rate, 275 and 250; number slots are 300 wide
  // with 50 between them.
  std::map<QString, int> x;
  for (const Drawn& d : page)
    if (d.call == "TextOut" && d.y == 310 + 53) x[d.text] = d.x;
  EXPECT_EQ(x["12.50"], 60 + 300 + 250) << "a rate in a text column stands at the column's left";
  EXPECT_EQ(x["100.00"], 60 + 300 + 250 + 250 + 275 + 250 + 300 - 6 * 25);
  std::map<QString, int> heading;
  for (const Drawn& d : page)
    if (d.call == "TextOut" && d.y == 310) heading[d.text] = d.x;
  EXPECT_EQ(heading["Paid Amount"], 60 + 300 + 250 + 250 + 275 + 250 + 300 - 11 * 25)
      << "number headings end where their numbers end";
  // The record without a date is a record too.
  EXPECT_EQ(Texts(page).back(), "Report Complete. 2 records printed.");
}

TEST_F(ReportPrintoutTest, SevenReportsPrintLandscapeAndThePrinterKeepsItsOrientation) {
  ReportTable table = Register({1});
  for (TPrinterOrientation before : {TPrinterOrientation::poPortrait, TPrinterOrientation::poLandscape}) {
    printer_->SetOrientation(before);
    recorder_->ClearLog();
    Print(table, "Sales Report");
    EXPECT_EQ(Log().front(), R"(BeginDoc("Sales Report", landscape, 3150x2400))");
    EXPECT_EQ(printer_->Orientation(), before);
  }
  int landscape = 0;
  for (const char* title : {"PO Register", "Purchase Detail", "Inventory Report", "Receiving Report",
                            "Reorder Report", "Overstock Report", "Commitment Report", "PO Key Code Inquiry",
                            "Invoice Register", "Payment Register", "Accounts Receivable", "Profit Report",
                            "Sales Report", "Invoice Key Code Inquiry", "Tax Report"})
    landscape += PrintsLandscape(title) ? 1 : 0;
  EXPECT_EQ(landscape, 7);
}

TEST_F(ReportPrintoutTest, ARealPdfReadsBack) {
  auto backend = std::make_unique<platform::print::QtPrintBackend>();
  backend->SetPrintToFile(true);
  platform::print::QtPrintBackend* qt = backend.get();
  printer_ = std::make_unique<platform::print::TPrinter>(std::move(backend));
  Print(Register({70, 5}), "Invoice Register");
  const QString pdf = qt->OutputFile();
  ASSERT_FALSE(pdf.isEmpty());
  const QStringList pages = print_testing::PdfText(pdf).split('\f', Qt::SkipEmptyParts);
  ASSERT_EQ(pages.size(), 2);
  EXPECT_TRUE(pages[0].contains("Harbour Supplies"));
  EXPECT_TRUE(pages[0].contains("Continued on page 2 ..."));
  EXPECT_TRUE(pages[1].contains("Page 2"));
  EXPECT_TRUE(pages[1].contains("70,000.00"));
  EXPECT_TRUE(pages[1].contains("81,000.00"));
  EXPECT_TRUE(pages[1].contains("Report Complete. 75 records printed."));
  const QString keep = qEnvironmentVariable("KESTRAVA_PRINTOUT_DIR");
  if (!keep.isEmpty()) QFile::copy(pdf, keep + "/report.pdf");
}

// A text as drawn on the recording printer, with its font size.
struct Placed {
  int page = 0, x = 0, y = 0, size = 0;
  QString text;
  int Right() const { return x + (static_cast<int>(text.size()) * size * 5 + 1) / 2; }
};

std::vector<Placed> PlacedTexts(const QStringList& log) {
  static const QRegularExpression call(R"re(^TextOut\((-?\d+), (-?\d+), "(.*)"\) font\([^,]*, (\d+),)re");
  std::vector<Placed> texts;
  int page = 0;
  for (const QString& line : log) {
    if (line.startsWith("BeginDoc") || line.startsWith("NewPage")) ++page;
    if (const QRegularExpressionMatch m = call.match(line); m.hasMatch())
      texts.push_back(
          {page, m.captured(1).toInt(), m.captured(2).toInt(), m.captured(4).toInt(), m.captured(3)});
  }
  return texts;
}

// Sales lines: each a description and a code of the lengths given, sold at the amounts in turn.
ReportTable SalesLines(int rows, std::size_t description, std::size_t code,
                       const std::vector<std::string>& amounts) {
  ReportTable table;
  table.AddRow({"Product Description", "Product#", "Year/Mo/Dy", "Invoice#", "Short Name", "Customer",
                "Unit Price", "Quantity", "Line Amount"});
  table.LastTextColumn = 5;
  table.LastNumericColumn = 8;
  for (int row = 0; row < rows; ++row)
    table.AddRow({std::string("GALVANISED SHACKLE 8 MM WITH SCREW PIN").substr(0, description),
                  std::string("SHK-08-GALV-SCREW").substr(0, code), "2026/03/02", std::to_string(10001 + row),
                  "HARBOUR", "HARBOUR1", amounts[row % amounts.size()], "1.00",
                  amounts[row % amounts.size()]});
  return table;
}

// Wider than the printable width less the left margin, a row gives way: the description column
// narrows (its texts cut, never below 16 characters), then the font shrinks, then the row runs
// over two lines. In every case each text stands whole on the page without touching its
// neighbours, and every figure and number heading is printed whole.
TEST_F(ReportPrintoutTest, ColumnsFitThePrintableWidthAndNoFigureIsCut) {
  const struct {
    const char* title;
    std::size_t description, code;
    const char* amount;
    int size, lines;
    bool descriptionWhole;
  } cases[] = {
      {"Sales Report", 30, 6, "123,456.78", 10, 1, false},          // 3200 dots whole, 2925 narrowed
      {"Sales Report", 30, 15, "12,345,678.90", 9, 1, true},        // 3150 narrowed at 10, 3084 whole at 9
      {"Tax Report", 30, 15, "9,999,999,999,999.99", 10, 2, true},  // portrait: 2451 narrowed at 7
  };
  for (const auto& c : cases) {
    recorder_->ClearLog();
    const ReportTable table = SalesLines(60, c.description, c.code, {c.amount});
    Print(table, c.title);
    const int pageWidth = PrintsLandscape(c.title) ? 3150 : 2400;
    const std::vector<Placed> texts = PlacedTexts(Log());
    std::map<std::pair<int, int>, std::vector<Placed>> byLine;  // by page and y
    std::map<QString, int> printed;
    for (const Placed& t : texts) {
      EXPECT_EQ(t.size, c.size) << c.amount << " " << t.text.toStdString();
      EXPECT_GE(t.x, 0) << c.amount << " " << t.text.toStdString();
      EXPECT_LE(t.Right(), pageWidth) << c.amount << " " << t.text.toStdString();
      byLine[{t.page, t.y}].push_back(t);
      ++printed[t.text];
    }
    for (auto& [at, line] : byLine) {
      std::sort(line.begin(), line.end(), [](const Placed& a, const Placed& b) { return a.x < b.x; });
      for (std::size_t k = 1; k < line.size(); ++k)
        EXPECT_LT(line[k - 1].Right(), line[k].x)
            << c.amount << " " << line[k].text.toStdString() << " at " << at.second;
    }
    for (const char* whole : {"Unit Price", "Quantity", "Line Amount", "1.00", "Product Description"})
      EXPECT_GE(printed[whole], 1) << c.amount << " " << whole;
    EXPECT_EQ(printed[c.amount], 2 * 60) << c.amount;
    // The first line's description, and how far below it the first line's figures stand.
    const std::string description(table.Cell(1, 0));
    const auto first = std::find_if(texts.begin(), texts.end(), [&](const Placed& t) {
      return t.text.size() >= 16 && QString::fromStdString(description).startsWith(t.text);
    });
    ASSERT_NE(first, texts.end()) << c.amount;
    EXPECT_EQ(first->text == QString::fromStdString(description), c.descriptionWhole) << c.amount;
    const auto amount = std::find_if(first, texts.end(), [&](const Placed& t) { return t.text == c.amount; });
    ASSERT_NE(amount, texts.end()) << c.amount;
    EXPECT_EQ(amount->y - first->y, (c.lines - 1) * c.size * 5) << c.amount;
  }
}

// The sales report of 120 lines in the report viewer's own font, Arial 10 bold, on a real
// printer's page, read back by pdftotext: every word inside the printable area, a quarter inch in
// from each edge, and every amount whole.
TEST_F(ReportPrintoutTest, AWideLandscapeReportReadsBackWholeWithinThePrintableArea) {
  auto backend = std::make_unique<platform::print::QtPrintBackend>();
  backend->SetPrintToFile(true);
  platform::print::QtPrintBackend* qt = backend.get();
  printer_ = std::make_unique<platform::print::TPrinter>(std::move(backend));
  std::vector<std::string> amounts(10, "123,456.78");
  amounts[0] = "12,345,678.90";
  Print(SalesLines(120, 30, 15, amounts), "Sales Report", false, platform::print::fsBold);
  const std::vector<print_testing::PdfWord> words = print_testing::PdfWords(qt->OutputFile());
  ASSERT_FALSE(words.empty());
  std::map<QString, int> counted;
  for (const print_testing::PdfWord& w : words) {
    EXPECT_EQ(w.pageWidth, 792.0);  // US Letter across
    EXPECT_TRUE(print_testing::WithinPrintableArea(w)) << w.text.toStdString();
    ++counted[w.text];
  }
  EXPECT_EQ(counted["123,456.78"], 2 * 108);
  EXPECT_EQ(counted["12,345,678.90"], 2 * 12);
  EXPECT_GE(counted["Continued"], 1);
  EXPECT_EQ(counted["Amount"], counted["Continued"] + 1);  // the "Line Amount" heading on every page
  EXPECT_GE(counted["SHK-08-GALV-SCR"], 120);
  const QString keep = qEnvironmentVariable("KESTRAVA_PRINTOUT_DIR");
  if (!keep.isEmpty()) QFile::copy(qt->OutputFile(), keep + "/sales-report.pdf");
}

}  // namespace
