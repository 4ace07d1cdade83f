// The report printout on the recording printer (fixed metrics: a 10-point line is 50 dots high,
// a character 25 dots wide) and once through the Qt back-end into a PDF read back by pdftotext.

#include <gtest/gtest.h>

#include <QFile>
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

  void Print(const ReportTable& table, const std::string& title, bool pageBreaks = false) {
    platform::print::TFont font;
    font.Name = "Arial";
    font.Size = 10;
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
  ASSERT_EQ(Log().front(), R"(BeginDoc("Invoice Register", portrait, 2550x3300))");
  EXPECT_EQ(Log().back(), "EndDoc");
  const std::vector<Page> pages = Pages(Log());
  ASSERT_EQ(pages.size(), 2u);

  // 50-dot lines from the top margin: the header takes five, every row 53 dots; page 1 is full
  // once y passes 3100, after the heading row and 52 records.
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
  EXPECT_EQ(continued.y, 3200);
  EXPECT_TRUE(Texts(pages[0]).contains("1051"));
  EXPECT_FALSE(Texts(pages[0]).contains("1052"));
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
    EXPECT_EQ(Log().front(), R"(BeginDoc("Sales Report", landscape, 3300x2550))");
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

}  // namespace
