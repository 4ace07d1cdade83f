// The invoice document built from the stored records: field by field for a line-item invoice, a
// memo invoice and an invoice with payment records under its number, and the outputs the flags
// and company options choose.
#include "invoicing/invoice_document.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>

#include "documents/document_buffer.h"
#include "invoice_books_fixture.h"
#include "invoicing/invoice_posting.h"
#include "platform/print/printer.h"
#include "platform/print/qt_print_backend.h"
#include "platform/print/recording_print_backend.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/record_file.h"

namespace {

using documents::DocAging;
using documents::DocHeader;
using documents::DocLines;
using invoicing::EnteredInvoice;
using records::CurrentCompany;

// A line-item entry as the printers read it, formatted independently of the builder.
std::string Entry(const char* code, const char* quantity, const char* description, const char* price,
                  const char* taxable, const char* extension) {
  char text[128];
  std::snprintf(text, sizeof text, "%-15s %10s %-33s %10s %1s %12s", code, quantity, description, price,
                taxable, extension);
  return text;
}

std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(width - text.size(), ' ');
}

class InvoiceDocumentTest : public test_fixtures::InvoiceBooksTest {
 protected:
  EnteredInvoice ThreeLineInvoice() {
    EnteredInvoice invoice = NewInvoice("1001", "437.50", "36.09", "473.59", "100.00");
    invoice.Lines = {NewLine(1, "WIDGET", "2", "Widget", "12.50", "25.00"),
                     NewLine(2, "BOLT", "1250", "Bolt", "0.25", "312.50"),
                     NewLine(3, "", "2.5", "Labour (hours)", "40.00", "100.00")};
    invoice.Lines[2].Taxable = "N";
    return invoice;
  }

  // Counts the print jobs of each title on the recording printer.
  static int Jobs(const platform::print::RecordingPrintBackend& printer, const QString& title) {
    return static_cast<int>(
        printer.Log().filter(QRegularExpression("^BeginDoc\\(\"" + title + "\",")).size());
  }
};

TEST_F(InvoiceDocumentTest, ALineItemInvoiceFillsTheBufferFieldByField) {
  invoicing::PostNewInvoice(ThreeLineInvoice());
  DocLines[7] = "left from an earlier document";
  ASSERT_TRUE(invoicing::FillInvoiceDocument(" 1001 "));

  const std::pair<std::string, std::string> fields[] = {
      {DocHeader.BillName, "Acme Tools"},
      {DocHeader.BillAddr1, "12 Main Street"},
      {DocHeader.BillAddr2, "Springfield"},
      {DocHeader.BillAddr3, ""},
      {DocHeader.BillAddr4, "USA"},
      {DocHeader.ShipAddr1, "Dock 4"},
      {DocHeader.ShipAddr2, "Warehouse Road"},
      {DocHeader.ShipAddr3, ""},
      {DocHeader.AccountNo, "C100"},
      {DocHeader.DocNumber, "1001"},
      {DocHeader.DocDate, "03/05/2026"},
      {DocHeader.Reference, "PO 4471"},
      {DocHeader.Terms, "Net 30"},
      {DocHeader.NetAmount, "      437.50"},
      {DocHeader.TaxAmount, "       36.09"},
      {DocHeader.TotalAmount, "      473.59"},
      {DocHeader.PaidAmount, "      100.00"},
      {DocHeader.BalanceDue, "      373.59"},
      {DocHeader.BodyKind, "P"},
      {DocHeader.PrintedFlag, ""},
      {DocHeader.DocType, "I"},
      {DocHeader.PrintNotesFlag, "Y"},
      {DocHeader.AccountNotes, "Deliver to the back door."},
      {DocHeader.EMailAddress, "buyer@acme.example"},
      {DocHeader.AccountBalance, "373.59"},
      {DocHeader.EMailedDate, ""},
      {DocHeader.TaxRate, "8.25"},
      {DocAging[0], "373.59      "},
      {DocAging[1], "0.00        "},
      {DocAging[3], "0.00        "},
      {DocLines[1], Entry("WIDGET", "2", "Widget", "12.50", "Y", "25.00")},
      {DocLines[2], Entry("BOLT", "1,250", "Bolt", "0.25", "Y", "312.50")},
      {DocLines[3], Entry("", "2.5", "Labour (hours)", "40.00", "N", "100.00")},
      {DocLines[4], ""},
      {DocLines[7], ""},
      {records::SelectedCustomer.CustomerNo.Get(), "C100"},
  };
  for (std::size_t n = 0; n < std::size(fields); ++n)
    EXPECT_EQ(fields[n].first, fields[n].second) << "field " << n;
  EXPECT_EQ(invoicing::MemoInvoiceFlag, 0);
  EXPECT_FALSE(invoicing::FillInvoiceDocument("9999"));
  EXPECT_EQ(DocHeader.DocNumber, "1001");
  EXPECT_EQ(BooksProblems(), std::vector<std::string>{});
}

TEST_F(InvoiceDocumentTest, AMemoInvoiceKeepsItsLineNumbersAndItsOwnStockLine) {
  EnteredInvoice memo = NewInvoice("1002", "150.00", "0.00", "150.00", "150.00");
  memo.Memo = true;
  memo.MemoLines.assign(25, "");
  memo.MemoLines[0] = "Repair of the yard gate";
  memo.MemoLines[2] = "Parts and labour";
  memo.MemoLines[13] = "   ";
  memo.MemoLines[24] = "Thank you";
  memo.MemoProduct = NewLine(1, "WIDGET", "3", "Gate widget", "50.00", "150.00");
  invoicing::PostNewInvoice(memo);
  EnteredInvoice next = NewInvoice("1003", "0.25", "0.00", "0.25", "0.00");
  next.Lines = {NewLine(1, "BOLT", "1", "Bolt", "0.25", "0.25")};
  invoicing::PostNewInvoice(next);

  ASSERT_TRUE(invoicing::FillInvoiceDocument("1002"));
  EXPECT_EQ(invoicing::MemoInvoiceFlag, 1);
  EXPECT_EQ(DocHeader.BodyKind, "M");
  EXPECT_EQ(DocHeader.BalanceDue, "        0.00");
  EXPECT_EQ(DocHeader.PaidDate, "03/05/2026");
  EXPECT_EQ(documents::DocMemoItem.MemoProduct, "WIDGET");
  EXPECT_EQ(documents::DocMemoItem.MemoQuantity, "3");
  for (int line = 1; line < documents::DocLineCount; ++line) {
    const char* expected = line == 1    ? "Repair of the yard gate"
                           : line == 3  ? "Parts and labour"
                           : line == 25 ? "Thank you"
                                        : nullptr;
    EXPECT_EQ(DocLines[line], expected ? Padded(expected, 74) : "") << "line " << line;
  }

  // Without a stock line of its own the memo shows none, never the next invoice's.
  records::DetailRec wanted{}, detail{};
  wanted.InvoiceNumber.Set("1002");
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(records::ReadByKey(records::DetailUnit(), records::BuildDetailKey(wanted, 2), 2, detail, ref));
  ASSERT_TRUE(records::DeleteDetailRecord(ref));
  ASSERT_TRUE(invoicing::FillInvoiceDocument("1002"));
  EXPECT_EQ(documents::DocMemoItem.MemoProduct, "");
  EXPECT_EQ(documents::DocMemoItem.MemoQuantity, "");
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceDocumentTest, PaymentRecordsAddUpUnderTheInvoicesOwnHeader) {
  records::InvoiceRec invoice = Record("2001", "Z", "C200", "2026/03/01", "300.00", "0.00", "180.00");
  invoice.TaxAmount.Set("20.00");
  invoice.Terms.Set("Net 10");
  invoice.ShipTo1.Set("Site office");
  FileRecord(invoice);
  for (const char* paid : {"50.00", "70.00"}) {
    records::InvoiceRec payment = Record("2001", "X", "C200", "2026/03/04", "0.00", paid, "0.00");
    payment.Terms.Set("Payment");
    FileRecord(payment);
  }
  records::CustomerRec wanted{}, customer{};
  wanted.CustomerNo.Set("C200");
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(
      records::ReadByKey(records::CustomerUnit(), records::BuildCustomerKey(wanted, 2), 2, customer, ref));
  const records::CustomerRec before = customer;
  customer.CustBalance.Set("180.00");
  customer.CustAging1.Set("180.00");
  ASSERT_TRUE(records::UpdateCustomerRecord(customer, before, ref));
  ASSERT_TRUE(
      records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.CompanyARBalance.Set("180.00"); }));

  ASSERT_TRUE(invoicing::FillInvoiceDocument("2001"));
  EXPECT_EQ(DocHeader.DocType, "Z");
  EXPECT_EQ(DocHeader.DocDate, "03/01/2026");
  EXPECT_EQ(DocHeader.Terms, "Net 10");
  EXPECT_EQ(DocHeader.ShipAddr1, "Site office");
  EXPECT_EQ(DocHeader.BillName, "Bolt Works");
  EXPECT_EQ(DocHeader.TotalAmount, "      300.00");
  EXPECT_EQ(DocHeader.TaxAmount, "       20.00");
  EXPECT_EQ(DocHeader.NetAmount, "      280.00");
  EXPECT_EQ(DocHeader.PaidAmount, "      120.00");
  EXPECT_EQ(DocHeader.BalanceDue, "      180.00");
  EXPECT_EQ(DocAging[0], "180.00      ");
  EXPECT_EQ(BooksProblems(), std::vector<std::string>{});
}

TEST_F(InvoiceDocumentTest, ThePrinterGetsTheInvoiceThenWhatTheCompanyPrintsAfterIt) {
  invoicing::PostNewInvoice(ThreeLineInvoice());
  auto* printer = new platform::print::RecordingPrintBackend;
  platform::print::ScopedPrintBackend scope{std::unique_ptr<platform::print::PrintBackend>(printer)};
  invoicing::PrintInvoiceNo = "1001";
  invoicing::InvoicePrintDirect = 1;
  struct Case {
    uint8_t slips, copies;
    const char* count;
    const char* receipt;
    int invoices, packingSlips, fileCopies;
    const char* status;
  } cases[] = {{0, 0, "3", "N", 1, 0, 0, "Invoice 1001 sent to printer."},
               {1, 1, "0", "N", 1, 1, 0, "Invoice 1001 sent to printer."},
               {1, 1, "2", "N", 1, 1, 2, "Invoice 1001 sent to printer."},
               {1, 1, "2", "Y", 1, 0, 0, ""}};
  for (const Case& c : cases) {
    CurrentCompany.PrintPackingSlips = c.slips;
    CurrentCompany.PrintFileCopies = c.copies;
    CurrentCompany.FileCopyCount.Set(c.count);
    CurrentCompany.ReceiptPrinter.Set(c.receipt);
    printer->ClearLog();
    EXPECT_EQ(invoicing::BuildInvoiceDocument(), c.status);
    EXPECT_EQ(Jobs(*printer, "Invoice - 1001"), c.invoices) << c.count << c.receipt;
    EXPECT_EQ(Jobs(*printer, "Packing Slip - 1001"), c.packingSlips) << c.count << c.receipt;
    EXPECT_EQ(Jobs(*printer, "File Copy - 1001"), c.fileCopies) << c.count << c.receipt;
  }
  invoicing::InvoicePrintDirect = 0;
  records::InvoiceRec wanted{}, stored{};
  wanted.InvoiceNo.Set("1001");
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(
      records::ReadByKey(records::InvoiceUnit(), records::BuildInvoiceKey(wanted, 1), 1, stored, ref));
  EXPECT_EQ(stored.PrintedMark.Get(), "Y");
  EXPECT_EQ(BooksProblems(), std::vector<std::string>{});
  EXPECT_TRUE(ui.Done());
}

// Printed to a chosen file, the invoice and what follows it become several files; the status
// names each, in the order printed, or the first and how many more.
TEST_F(InvoiceDocumentTest, PrintedToAChosenFileTheStatusNamesEveryFileWritten) {
  invoicing::PostNewInvoice(ThreeLineInvoice());
  auto backend = std::make_unique<platform::print::QtPrintBackend>();
  backend->SetPrintToFile(true);
  const QString chosen = QDir::current().absoluteFilePath("inv1001-chosen.pdf");
  const auto file = [](int n) {
    return QDir::current().absoluteFilePath(QString("inv1001-chosen (%1).pdf").arg(n));
  };
  backend->SetOutputFile(chosen);
  platform::print::ScopedPrintBackend scope(std::move(backend));
  invoicing::PrintInvoiceNo = "1001";
  invoicing::InvoicePrintDirect = 1;
  CurrentCompany.PrintPackingSlips = 1;
  CurrentCompany.PrintFileCopies = 0;
  EXPECT_EQ(QString::fromStdString(invoicing::BuildInvoiceDocument()),
            "Invoice 1001 saved as " + chosen + " and inv1001-chosen (2).pdf.");
  // Read back by pdfinfo: the first file is the invoice, the second its packing slip.
  const auto title = [](const QString& pdf) {
    QProcess tool;
    tool.start("pdfinfo", {pdf});
    tool.waitForFinished();
    return QString::fromUtf8(tool.readAllStandardOutput()).section("Title:", 1).section('\n', 0, 0).trimmed();
  };
  EXPECT_EQ(title(chosen), "Invoice - 1001");
  EXPECT_EQ(title(file(2)), "Packing Slip - 1001");
  CurrentCompany.PrintFileCopies = 1;
  CurrentCompany.FileCopyCount.Set("2");
  EXPECT_EQ(QString::fromStdString(invoicing::BuildInvoiceDocument()),
            "Invoice 1001 saved as " + file(3) + " and 3 more files.");
  EXPECT_EQ(title(file(6)), "File Copy - 1001");
  invoicing::InvoicePrintDirect = 0;
  EXPECT_TRUE(ui.Done());
}

}  // namespace
