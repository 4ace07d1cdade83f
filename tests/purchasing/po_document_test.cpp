// The PO document built from the stored records: field by field for a line PO with receipts
// booked against it (whose receipt records never show) and for a memo PO, and the outputs:
// the view, the printer with the company's file copies, and the label queue of a batch.
#include "purchasing/po_document.h"

#include <cstdio>

#include "documents/document_buffer.h"
#include "documents/document_view.h"
#include "platform/ui/application.h"
#include "po_output_fixture.h"
#include "purchasing/po_entry.h"
#include "purchasing/po_posting.h"
#include "records/memo_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "reports/label_queue.h"

namespace {

using documents::DocHeader;
using documents::DocLines;
using purchasing::EnteredPO;
using records::CurrentCompany;
using test_fixtures::PO;
using test_fixtures::POLine;

// A line entry as the printers read it, formatted independently of the builder.
std::string Entry(const char* code, const char* quantity, const char* description, const char* price,
                  const char* extension) {
  char text[128];
  std::snprintf(text, sizeof text, "%-15s %10s %-33s %10s %1s %12s", code, quantity, description, price, "N",
                extension);
  return text;
}

std::string Padded(const std::string& text) {
  return text + std::string(74 - text.size(), ' ');
}

class PODocumentTest : public test_fixtures::POOutputTest {
 protected:
  // PO 5001: four lines, the first two received in part, WIDGET twice (a receipt record).
  void PostReceivedLinePO() {
    EnteredPO po = PO("5001", {POLine(1, "WIDGET", "10", "2.50"), POLine(2, "AB", "1.5", "4.00"),
                               POLine(3, "ABN", "1250.125", "0.1"), POLine(4, "", "", "")});
    po.Lines[2].Extension = "125.01";
    po.Lines[3].Description = "Call before delivery";
    po.Net = "160.51";
    po.Tax = "13.24";
    po.Total = "173.75";
    po.TaxRate = "8.25";
    po.Notes = "Quote 77";
    po.ShipTo = {"Kestrel Hardware", "Back door", "", "York"};
    po.Signature1 = "Buyer: J. Smith";
    po.Signature2 = "Approved";
    purchasing::PostNewPO(po);
    Receive("5001", "300", {{"WIDGET", "4"}, {"AB", "1"}});
    Receive("5001", "301", {{"WIDGET", "6"}});
  }
};

TEST_F(PODocumentTest, ALinePOFillsTheBufferFieldByFieldWithoutItsReceipts) {
  PostReceivedLinePO();
  ASSERT_EQ(Details("5001").size(), 5u);  // four lines and the second receipt of WIDGET
  DocLines[9] = "left from an earlier document";
  DocHeader.PaidDate = "01/01/2026";
  ASSERT_TRUE(purchasing::FillPODocument(" 5001 "));

  const std::pair<std::string, std::string> fields[] = {
      {DocHeader.BillName, "First Vendor Ltd"},
      {DocHeader.BillAddr1, "1 Mill Road"},
      {DocHeader.BillAddr2, "Unit 4"},
      {DocHeader.BillAddr3, ""},
      {DocHeader.BillAddr4, "Leeds"},
      {DocHeader.ShipAddr1, "Kestrel Hardware"},
      {DocHeader.ShipAddr2, "Back door"},
      {DocHeader.ShipAddr4, "York"},
      {DocHeader.AccountNo, "V1"},
      {DocHeader.DocNumber, "5001"},
      {DocHeader.DocDate, "12/01/2026"},
      {DocHeader.Reference, "Quote 77"},
      {DocHeader.Terms, "Net 30 Days"},
      {DocHeader.NetAmount, "      160.51"},
      {DocHeader.TaxAmount, "       13.24"},
      {DocHeader.TotalAmount, "      173.75"},
      {DocHeader.BodyKind, "P"},
      {DocHeader.PrintedFlag, ""},
      {DocHeader.DocType, "O"},
      {DocHeader.PrintNotesFlag, "Y"},
      {DocHeader.AccountNotes, "Deliver to the side gate."},
      {DocHeader.RequiredDate, "12/15/2026"},
      {DocHeader.ReceivedDate, "/ "},  // not received in full
      {DocHeader.PaidDate, ""},
      {DocHeader.EMailAddress, "orders@first.example"},
      {DocHeader.EMailedDate, ""},
      {DocHeader.TaxRate, "8.25"},
      {documents::DocPOExtras.Signature1, "Buyer: J. Smith"},
      {documents::DocPOExtras.Signature2, "Approved"},
      {documents::DocPOExtras.RequiredYMD, "2026/12/15"},
      {documents::DocPOExtras.ReceivedYMD, " "},
      {documents::DocAging[0], "1,234.50    "},
      {documents::DocAging[1], "0.00        "},
      {documents::DocAging[2], "0.00        "},
      {documents::DocAging[3], "-12.00      "},
      {DocLines[1], Entry("WIDGET", "10", "Some WIDGET", "2.50", "2.50")},
      {DocLines[2], Entry("AB", "1.5", "Some AB", "4.00", "4.00")},
      {DocLines[3], Entry("ABN", "1,250.125", "Some ABN", "0.1", "125.01")},
      {DocLines[4], Entry("", "", "Call before delivery", "", "")},
      {DocLines[5], ""},  // the receipt record orders nothing and is no line
      {DocLines[9], ""},
      {records::VendorBuf.VendorNo.Get(), "V1"},
  };
  for (std::size_t n = 0; n < std::size(fields); ++n)
    EXPECT_EQ(fields[n].first, fields[n].second) << "field " << n;
  EXPECT_EQ(purchasing::POMemoMode, 0);

  // Received in full, the PO shows its received date in the company's date order.
  Receive("5001", "302", {{"AB", "0.5"}, {"ABN", "1250.125"}});
  CurrentCompany.DateOrder.Set("D");
  ASSERT_TRUE(purchasing::FillPODocument("5001"));
  EXPECT_EQ(DocHeader.ReceivedDate, "05/12/2026");
  EXPECT_EQ(DocHeader.RequiredDate, "15/12/2026");
  EXPECT_EQ(documents::DocPOExtras.ReceivedYMD, "2026/12/05");
  EXPECT_EQ(DocLines[5], "");
  EXPECT_FALSE(purchasing::FillPODocument("5999"));
  EXPECT_EQ(DocHeader.DocNumber, "5001");
  ExpectBooksBalance();
}

TEST_F(PODocumentTest, AMemoPOShowsItsLinesOfMoreThanOneCharacterAndItsStockLine) {
  std::vector<std::string> lines(25, "");
  lines[0] = "Repair of the yard gate";
  lines[1] = "x";
  lines[3] = "  ab  ";
  lines[10] = "   ";
  lines[24] = "Thank you";
  PostMemoPO("5100", lines, "WIDGET", "3");
  purchasing::PostNewPO(PO("5101", {POLine(1, "AB", "2")}));

  ASSERT_TRUE(purchasing::FillPODocument("5100"));
  EXPECT_EQ(purchasing::POMemoMode, 1);
  EXPECT_EQ(DocHeader.BodyKind, "M");
  EXPECT_EQ(documents::DocMemoItem.MemoProduct, "WIDGET");
  EXPECT_EQ(documents::DocMemoItem.MemoQuantity, "3");
  for (int line = 1; line < documents::DocLineCount; ++line) {
    const char* expected = line == 1    ? "Repair of the yard gate"
                           : line == 4  ? "  ab  "
                           : line == 25 ? "Thank you"
                                        : nullptr;
    EXPECT_EQ(DocLines[line], expected ? Padded(expected) : "") << "line " << line;
  }

  // A memo PO whose memo is gone says so and shows no lines.
  records::POMemoRec wanted{}, memo{};
  wanted.Number.Set("5100");
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(records::ReadByKey(records::POMemoUnit(), records::BuildPOMemoKey(wanted, 1), 1, memo, ref));
  ASSERT_TRUE(records::DeletePOMemoRecord(ref));
  ui.ExpectMessage("Error reading memo data.", platform::ui::Application->Title);
  ASSERT_TRUE(purchasing::FillPODocument("5100"));
  EXPECT_EQ(DocLines[1], "");
  EXPECT_EQ(documents::DocMemoItem.MemoProduct, "WIDGET");
}

TEST_F(PODocumentTest, TheViewShowsThePOAndThePrinterPrintsItWithTheCompanysFileCopies) {
  PostReceivedLinePO();
  purchasing::POToPrint = "5001";
  purchasing::POPrintMode = 0;
  ui.OnModal<documents::Trtedit>([](documents::Trtedit& view) {
    EXPECT_EQ(view.Caption(), "View Purchase Order# 5001");
    EXPECT_EQ(view.ListView1->topLevelItemCount(), 4);
  });
  EXPECT_TRUE(purchasing::BuildPODocument());
  EXPECT_EQ(Jobs(), 0);
  EXPECT_EQ(Header("5001").Printed.Get(), "");

  purchasing::POPrintMode = 1;
  struct Case {
    uint8_t copies;
    const char* count;
    int jobs, fileCopies;
  } cases[] = {{0, "2", 1, 0}, {1, "2", 3, 2}, {1, "0", 1, 0}, {1, "x", 1, 0}};
  for (const Case& c : cases) {
    CurrentCompany.POPrintFileCopies = c.copies;
    CurrentCompany.POFileCopyCount.Set(c.count);
    printer_->ClearLog();
    EXPECT_TRUE(purchasing::BuildPODocument());
    EXPECT_EQ(Jobs(), c.jobs) << c.count;
    EXPECT_EQ(PagesTitled("PO COPY"), c.fileCopies) << c.count;
  }
  EXPECT_EQ(Header("5001").Printed.Get(), "Y");
  EXPECT_EQ(reports::LabelPrintQueue.Count(), 0);

  // In a batch the company may queue the vendor's label after each PO.
  CurrentCompany.POBatchCopyToLabelQueue.Set("Y");
  purchasing::POBatchRun = 1;
  EXPECT_TRUE(purchasing::BuildPODocument());
  purchasing::POBatchRun = purchasing::POPrintMode = 0;
  ASSERT_EQ(reports::LabelPrintQueue.Count(), 1);
  EXPECT_EQ(reports::LabelPrintQueue.Rows()[0].Code + " " + reports::LabelPrintQueue.Rows()[0].Letter,
            "V1 V");
  reports::LabelPrintQueue.Clear();

  // The number as the records hold it, in Windows-1252.
  ui.ExpectMessage(QString::fromUtf8("PO 59\u00c9 was not found."), platform::ui::Application->Title);
  purchasing::POToPrint = "59\xC9";
  EXPECT_FALSE(purchasing::BuildPODocument());
  ExpectBooksBalance();
}

}  // namespace
