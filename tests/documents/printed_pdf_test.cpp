// Documents printed through the Qt back-end into real PDF files, read back by the poppler tools
// (text, order, pages, title) and scanned by zbarimg. With KESTRAVA_PRINTOUT_DIR set, the PDFs
// are also copied there to be looked at.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <set>

#include "documents/document_buffer.h"
#include "documents/invoice_printing.h"
#include "documents/po_printing.h"
#include "documents/printing_fixture.h"
#include "documents/receipt_printing.h"
#include "platform/print/print_test_support.h"
#include "platform/print/qt_print_backend.h"
#include "platform/ui/application.h"
#include "records/company_rec.h"
#include "records/detail_file.h"
#include "support/temp_dir.h"

namespace documents {
namespace {

using namespace testing_printing;
using records::CurrentCompany;

// Code 39 as zbar reads it back: the code followed by its mod-43 check character.
QString Code39AsScanned(const QString& code) {
  static const QString alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
  int sum = 0;
  for (QChar c : code) sum += alphabet.indexOf(c);
  return "CODE-39:" + code + alphabet[sum % 43];
}

class PrintedPdfTest : public testing::Test {
 protected:
  void SetUp() override {
    auto backend = std::make_unique<platform::print::QtPrintBackend>();
    backend->SetPrintToFile(true);
    qt_ = backend.get();
    printer_ = std::make_unique<platform::print::TPrinter>(std::move(backend));
    SetUpPrintingCompany();
    records::CompanyRec& c = CurrentCompany;
    c.InvBodyFont.Set("Arial", 10, 0, 0);
    c.CapHeadFont.Set("Arial", 20, 0x00800000, records::FontStyleBold);
    c.CompHeadFont.Set("Arial", 12, 0, records::FontStyleBold);
    c.CustHeadFont.Set("Times New Roman", 11, 0, 0);
    c.ColHeadFont.Set("Arial", 9, 0, 0);
    c.SalesMsgFont.Set("Times New Roman", 10, 0, records::FontStyleItalic);
    c.BrowserFontName.Set("Courier New");
    c.BrowserFontSize.Set(9);
    c.FormTopMargin.Set("60");
    c.FormLeftMargin.Set("90");
    c.BoxAroundForm = 1;
    c.BoxTop.Set("40");
    c.UseShading = 1;
    c.ShadeLineSpacing.Set("12");
    c.HorizontalLines = 1;
    c.VerticalLines = 1;
    c.ProductCodesOnInvoices = 1;
    c.ProductCodesOnPOs = 1;
    c.TotalQuantities = 1;
    c.PrintCustomerAging = 1;
    c.PrintSalesMessage = 1;
    c.BarCodeType.Set("3");
  }
  void TearDown() override { platform::ui::Application->DestroyForms(); }

  QString PrintedPdf(const QString& keepAs) {
    const QString pdf = qt_->OutputFile();
    EXPECT_FALSE(pdf.isEmpty());
    const QString keep = qEnvironmentVariable("KESTRAVA_PRINTOUT_DIR");
    if (!keep.isEmpty()) {
      QFile::remove(QDir(keep).filePath(keepAs));
      QFile::copy(pdf, QDir(keep).filePath(keepAs));
    }
    return pdf;
  }
  static int Pages(const QString& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression("^Pages: +(\\d+)$", QRegularExpression::MultilineOption)
            .match(print_testing::PdfInfo(pdf));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
  }
  static QStringList Scan(const QString& pdf, int page) {
    // At 200 dpi, coarser than any office printer: a bar code that reads here reads off paper.
    const QString png = print_testing::RenderPage(pdf, page, QString("scan%1").arg(page), 200);
    EXPECT_FALSE(png.isEmpty());
    const print_testing::ToolResult result = print_testing::RunTool("zbarimg", {"--quiet", png});
    EXPECT_TRUE(result.ran) << result.errors.toStdString();
    QStringList symbols = result.output.split('\n', Qt::SkipEmptyParts);
    symbols.sort();
    return symbols;
  }

  testing_support::TempDir dir_;
  platform::print::QtPrintBackend* qt_ = nullptr;
  std::unique_ptr<platform::print::TPrinter> printer_;
};

void FillWidgets(int lines) {
  ClearDocLines();
  for (int k = 1; k <= lines; ++k) {
    const std::string n = (k < 10 ? "0" : "") + std::to_string(k);
    DocLines[k] = DocLineEntry("P" + n, records::LineText(std::to_string(k), "Widget " + n, "2.25", "Y",
                                                          std::to_string(k * 9 / 4) + "." +
                                                              (k % 4 == 0   ? "00"
                                                               : k % 4 == 1 ? "25"
                                                               : k % 4 == 2 ? "50"
                                                                            : "75")));
  }
}

TEST_F(PrintedPdfTest, AnInvoiceOfSeveralPagesReadsBackInOrderWithItsBarCodes) {
  CurrentCompany.BarCodesOnInvoices.Set("Y");
  CurrentCompany.BarCodeInvoiceNumbers.Set("Y");
  FillInvoiceBuffer(0);
  const int widgets = 28;  // the last page keeps room for the message block
  FillWidgets(widgets);
  PrintInvoice(*printer_);
  const QString pdf = PrintedPdf("invoice.pdf");

  EXPECT_TRUE(print_testing::PdfInfo(pdf).contains(
      QRegularExpression("^Title: +Invoice - 1001$", QRegularExpression::MultilineOption)));
  const QStringList pages = print_testing::PdfText(pdf).split('\f', Qt::SkipEmptyParts);
  const int pageCount = Pages(pdf);
  ASSERT_GE(pageCount, 3);
  ASSERT_EQ(pages.size(), pageCount);
  const QString all = pages.join('\n');
  for (int page = 1; page < pageCount; ++page) {
    EXPECT_TRUE(pages[page - 1].contains(QString("Continued on page number %1 ...").arg(page + 1))) << page;
    EXPECT_TRUE(pages[page].contains(QString("page number %1").arg(page + 1))) << page;
  }
  // Every item once, in order; totals, aging and message on the last page only.
  int at = -1;
  for (int k = 1; k <= widgets; ++k) {
    const QString widget = QString("Widget %1").arg(k, 2, 10, QChar('0'));
    EXPECT_EQ(all.count(widget), 1) << widget.toStdString();
    const int next = all.indexOf(widget);
    EXPECT_GT(next, at) << widget.toStdString();
    at = next;
  }
  for (const char* text : {"Grand Total:", "$108.00", "Total Qty: 406", "Total Account Balance: 1,250.00",
                           "Thank you for your business"}) {
    EXPECT_TRUE(pages.last().contains(text)) << text;
    EXPECT_FALSE(pages.first().contains(text)) << text;
  }
  for (const char* text : {"INVOICE", "Kestrava Hardware", "Acme Tools", "Ship To:", "Number: 1001",
                           "Account Number: C100", "Payment Terms: Net 30 Days", "Description"})
    EXPECT_TRUE(pages.first().contains(text)) << text;

  // Page 1 carries the number's bar code and one per item printed on it.
  std::set<QString> expected{Code39AsScanned("1001")};
  for (int k = 1; k <= widgets; ++k) {
    const QString n = QString("%1").arg(k, 2, 10, QChar('0'));
    if (pages.first().contains("Widget " + n)) expected.insert(Code39AsScanned("P" + n));
  }
  ASSERT_GE(expected.size(), 3u);
  const QStringList scanned = Scan(pdf, 1);
  EXPECT_EQ(std::set<QString>(scanned.begin(), scanned.end()), expected) << scanned.join(' ').toStdString();
}

TEST_F(PrintedPdfTest, APurchaseOrderAndAReceiptReadBack) {
  CurrentCompany.BarCodePONumbers.Set("Y");
  FillPOBuffer(0);
  FillWidgets(5);
  PrintPurchaseOrder(*printer_);
  QString pdf = PrintedPdf("purchase-order.pdf");
  EXPECT_EQ(Pages(pdf), 1);
  const QString po = print_testing::PdfText(pdf);
  for (const char* text :
       {"PURCHASE ORDER", "PO Number: 5001", "Vendor Number: V200", "Bolt Supply", "Deliver To:", "Widget 05",
        "Date Required: 12/21/2026", "Ordered by:", "Please confirm this order"})
    EXPECT_TRUE(po.contains(text)) << text;
  EXPECT_EQ(Scan(pdf, 1), QStringList({Code39AsScanned("5001")}));

  CurrentCompany.BarCodeInvoiceNumbers.Set("Y");
  FillInvoiceBuffer(0);
  FillWidgets(4);
  PrintReceipt(*printer_);
  pdf = PrintedPdf("receipt.pdf");
  EXPECT_TRUE(print_testing::PdfInfo(pdf).contains(
      QRegularExpression("^Title: +Invoice - 1001$", QRegularExpression::MultilineOption)));
  const QString receipt = print_testing::PdfText(pdf);
  int at = -1;
  for (const char* text : {"INVOICE", "1001", "Kestrava Hardware", "Acme Tools", "Widget 01", "1 @ 2.25",
                           "Widget 04", "Grand Total:", "Balance Due:", "Thank you for your business"}) {
    const int next = receipt.indexOf(text, at + 1);
    EXPECT_GT(next, at) << text;
    at = std::max(at, next);
  }
  EXPECT_EQ(Scan(pdf, 1), QStringList({Code39AsScanned("1001")}));
}

}  // namespace
}  // namespace documents
