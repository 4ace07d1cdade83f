// The purchase order and its file copies on the recording printer (a 4800 x 5600 page, every
// font 50 x 100 pixels), and the call-back that marks the PO printed.

#include "documents/po_printing.h"

#include <gtest/gtest.h>

#include "documents/document_buffer.h"
#include "documents/page_frame.h"
#include "documents/printing_fixture.h"
#include "platform/text/number_text.h"
#include "records/company_rec.h"
#include "records/detail_file.h"

namespace documents {
namespace {

using namespace testing_printing;
using records::CurrentCompany;

class POPrintingTest : public PrinterTest {
 protected:
  POPrintingTest() : PrinterTest(QSize(4800, 5600)) {}
  void SetUp() override {
    FillPOBuffer(3);
    MarkPOHeaderPrinted = [this](const std::string& number) { marked_.push_back(number); };
  }
  void TearDown() override {
    MarkPOHeaderPrinted = nullptr;
    PrinterTest::TearDown();
  }
  std::vector<Placed> PrintAs(const char* mode) {
    DocMode = mode;
    recorder_->ClearLog();
    PrintPurchaseOrder(*printer_);
    return Texts();
  }

  std::vector<std::string> marked_;
};

int RightHalfCentre(const QString& widthText) {
  return 2400 + (2400 - 50 * static_cast<int>(widthText.size())) / 2;
}

TEST_F(POPrintingTest, TitlesNumberAndJobTitles) {
  std::vector<Placed> t = PrintAs("PO");
  EXPECT_TRUE(Log().first().startsWith("BeginDoc(\"PO - 5001\""));
  EXPECT_EQ(Find(t, "PURCHASE ORDER").x, RightHalfCentre("PURCHASE ORDER"));
  // The PO number sits half a line lower than an invoice's: five lines under the header's top.
  EXPECT_EQ(Find(t, "5001").y, 250 + 500);
  EXPECT_EQ(Find(t, "PO Number: 5001").y, 1850);
  EXPECT_TRUE(TextsOnPage(t, 1).contains("Vendor Number: V200"));
  EXPECT_TRUE(TextsOnPage(t, 1).contains("Deliver To:"));

  DocHeader.TotalAmount = DocMoneyText(-2500);
  t = PrintAs("PO");
  EXPECT_EQ(Find(t, "PO CREDIT").x, RightHalfCentre("PO CREDIT"));
  EXPECT_EQ(Find(t, "PURCHASE ORDER").page, 0);

  // A file copy keeps the title of the job before it, even for another buffer.
  DocHeader.DocNumber = "5002";
  t = PrintAs("FCP");
  EXPECT_TRUE(Log().first().startsWith("BeginDoc(\"PO - 5001\""));
  EXPECT_EQ(Find(t, "PO COPY").x, RightHalfCentre("PO COPY"));
}

TEST_F(POPrintingTest, TotalsCarryTheRequiredAndReceivedDates) {
  std::vector<Placed> t = PrintAs("PO");
  const Placed total = Find(t, "Total:");
  EXPECT_EQ(Find(t, "Tax").y, total.y + 100);
  const Placed required = Find(t, "Date Required: 12/21/2026");
  EXPECT_EQ(required.y, total.y + 100);
  EXPECT_EQ(required.x, 1025);
  EXPECT_EQ(Find(t, "Grand Total:").y, total.y + 200);
  EXPECT_FALSE(TextsOnPage(t, 1).join('|').contains("Date Received"));
  EXPECT_FALSE(TextsOnPage(t, 1).join('|').contains("Balance Due"));

  CurrentCompany.TaxName.Set("");
  DocHeader.TaxAmount = DocMoneyText(0);
  DocHeader.ReceivedDate = "12/28/2026";
  t = PrintAs("PO");
  EXPECT_EQ(Find(t, "Date Required: 12/21/2026").y, Find(t, "Total:").y);
  EXPECT_EQ(Find(t, "Grand Total:").y, Find(t, "Total:").y + 100);
  EXPECT_EQ(Find(t, "Date Received: 12/28/2026").y, Find(t, "Grand Total:").y);
}

TEST_F(POPrintingTest, SignaturesStandOnEveryCopyAndTheDuplicateMarkerOnlyOnAReprint) {
  CurrentCompany.PrintDuplicatePO.Set("Y");
  DocHeader.PrintedFlag = "Y";
  for (const char* mode : {"PO", "FCP"}) {
    const std::vector<Placed> t = PrintAs(mode);
    EXPECT_EQ(Find(t, "Ordered by: ______________").y, 5600 - 300) << mode;
    EXPECT_EQ(Find(t, "Approved by: ______________").y, 5600 - 200) << mode;
    EXPECT_EQ(Find(t, "Approved by: ______________").x, 75) << mode;
    EXPECT_EQ(Find(t, "** Duplicate PO **").page, std::string(mode) == "PO" ? 1 : 0) << mode;
  }
  CurrentCompany.PrintDuplicatePO.Set("N");
  EXPECT_EQ(Find(PrintAs("PO"), "** Duplicate PO **").page, 0);
}

TEST_F(POPrintingTest, ALineWithAQuantityButNoDescriptionCounts) {
  ClearDocLines();
  DocLines[1] = DocLineEntry("BOX", records::LineText("12", "", "2.00", "N", "24.00"));
  const std::vector<Placed> t = PrintAs("PO");
  EXPECT_EQ(Find(t, "12").y, 2450);
  EXPECT_EQ(Find(t, "24.00").y, 2450);
  DocMode = "INV";  // an invoice counts by the description alone: no table at all
  EXPECT_EQ(PrintedItemRows(28, false).size(), 0u);
}

TEST_F(POPrintingTest, ThePOIsMarkedAfterEachFinishedJobUnlessPrintedBefore) {
  PrintAs("PO");
  PrintAs("FCP");
  EXPECT_EQ(marked_, std::vector<std::string>({"5001", "5001"}));
  DocHeader.PrintedFlag = "Y";
  PrintAs("PO");
  EXPECT_EQ(marked_.size(), 2u);
  DocHeader.PrintedFlag = "N";
  CurrentCompany.FormTopMargin.Set("x");
  EXPECT_THROW(PrintAs("PO"), platform::text::ConvertError);
  EXPECT_EQ(marked_.size(), 2u);
  // Until purchasing hands over its call-back the PO prints without being marked.
  MarkPOHeaderPrinted = nullptr;
  CurrentCompany.FormTopMargin.Set("50");
  PrintAs("PO");
  EXPECT_EQ(Log().last(), "EndDoc");
}

}  // namespace
}  // namespace documents
