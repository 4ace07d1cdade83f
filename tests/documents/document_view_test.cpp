#include "documents/document_view.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "documents/document_buffer.h"
#include "documents/sample_document.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_rec.h"
#include "records/detail_file.h"

namespace documents {
namespace {

using records::CurrentCompany;

QStringList Row(QTreeWidget* list, int row) {
  QStringList texts;
  for (int column = 0; column < list->columnCount(); ++column) texts << list->topLevelItem(row)->text(column);
  return texts;
}

class DocumentViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpSampleCompany();
    FillSampleInvoice();
    testing_support::EnsureGuiApplication();
    view_ = &CreateRtedit();
  }
  void TearDown() override { platform::ui::Application->DestroyForms(); }

  Trtedit* view_ = nullptr;
};

TEST_F(DocumentViewTest, AnInvoiceShowsItsAddressesNumbersLinesAndTotals) {
  view_->ShowDocument();
  EXPECT_EQ(view_->windowTitle(), "View Invoice# 1001");
  EXPECT_EQ(view_->Label1->text(), "Acme Tools");
  EXPECT_EQ(view_->Label6->text(), "Ship To:");
  EXPECT_EQ(view_->AddressLabels[6]->text(), "Dock 4");
  EXPECT_EQ(view_->Label11->text(), "Date: 12/07/2026");
  EXPECT_EQ(view_->Label12->text(), "Number: 1001");
  EXPECT_EQ(view_->Label13->text(), "Account Number: C100");
  EXPECT_EQ(view_->Label14->text(), "Payment Terms: Net 30 Days");
  EXPECT_EQ(view_->Label24->text(), "Product Code Invoice");
  EXPECT_EQ(view_->Label22->text(), "8% Sales Tax");
  EXPECT_EQ(view_->Label18->text(), "       24.30");
  EXPECT_EQ(view_->Label19->text(), "Paid Amount: $10.00");
  EXPECT_EQ(view_->Label20->text(), "       14.30");
  EXPECT_EQ(view_->HasPrinted->text(), "Printed: No");
  EXPECT_EQ(view_->EMDate->text(), "");
  EXPECT_EQ(view_->ListView1->headerItem()->text(1), "Item");
  EXPECT_EQ(view_->ListView1->headerItem()->text(6), "Amount");
  ASSERT_EQ(view_->ListView1->topLevelItemCount(), 3);
  EXPECT_EQ(Row(view_->ListView1, 0), (QStringList{"01", "BOLT", "9", "Bolts", "1.5", "Y", "13.50"}));
  EXPECT_EQ(Row(view_->ListView1, 2), (QStringList{"03", "", "1,000", "Washers", "0.0065", "N", "6.50"}));
  EXPECT_TRUE(view_->MemoInv->isHidden());

  // Sorting on the quantity sorts the texts: 10 before 9.
  view_->ListView1ColumnClick(2);
  EXPECT_EQ(view_->ListView1->topLevelItem(0)->text(2), "1,000");
  EXPECT_EQ(view_->ListView1->topLevelItem(1)->text(2), "10");
  EXPECT_EQ(view_->ListView1->topLevelItem(2)->text(2), "9");

  view_->resize(640, 520);
  view_->show();
  QTest::qWait(20);
  view_->grab().save("/tmp/document_view_invoice.png");
}

TEST_F(DocumentViewTest, MemoDepositAndGeneratedDocumentsSayWhatTheyAre) {
  DocHeader.BodyKind = "M";
  DocHeader.PaidDate = "12/09/2026";
  DocHeader.EMailedDate = "2026/12/08";
  DocHeader.PrintedFlag = "Y";
  DocHeader.TaxRate = " ";
  records::MemoRec memo{};
  memo.Lines[0].Set("Repairs to the front door");
  LoadDocMemoLines(memo);
  DocMemoItem = {"2", "HINGE"};
  view_->ShowDocument();
  EXPECT_EQ(view_->Label24->text(), "Memo Invoice");
  EXPECT_TRUE(view_->ListView1->isHidden());
  EXPECT_TRUE(view_->MemoInv->toPlainText().startsWith("Repairs to the front door"));
  EXPECT_EQ(view_->Label26->text(), "Paid Date: 12/09/2026");
  EXPECT_EQ(view_->Label22->text(), "Sales Tax");
  EXPECT_EQ(view_->HasPrinted->text(), "Printed: Yes");
  EXPECT_EQ(view_->EMDate->text(), "E-Mailed: 2026/12/08");

  DocHeader.PaidDate = "";
  view_->ShowDocument();
  EXPECT_EQ(view_->Label26->text(), "Sold: 2 - HINGE");

  DocHeader.BodyKind = "D";
  DocHeader.DocType = "D";
  view_->ShowDocument();
  EXPECT_EQ(view_->MemoInv->toPlainText(), "Deposit on Account");
  EXPECT_EQ(view_->Label24->text(),
            "DEPOSIT ON ACCOUNT OF 10.00. (A zero amount indicates deposit has been offset).");

  DocHeader.BodyKind = "P";
  DocHeader.DocType = "G";
  view_->ShowDocument();
  EXPECT_EQ(view_->Label24->text(), "** GENERATED BILLING **");
  EXPECT_TRUE(view_->MemoInv->isHidden());
}

// A memo of 18 lines (one left blank between paragraphs) opens at its first line, with nothing
// after its last line of text.
TEST_F(DocumentViewTest, AMemoOpensAtItsFirstLineAndEndsAtItsLastText) {
  DocHeader.BodyKind = "M";
  records::MemoRec memo{};
  for (int line = 1; line <= 18; ++line)
    if (line != 7) memo.Lines[line - 1].Set("Line " + std::to_string(line));
  LoadDocMemoLines(memo);
  testing_support::UiScript ui;
  ui.OnModal<Trtedit>([](Trtedit& view) {
    view.resize(640, 420);
    QTest::qWait(20);
    QPlainTextEdit& box = *view.MemoInv;
    ASSERT_EQ(box.blockCount(), 18);
    EXPECT_EQ(box.document()->findBlockByNumber(6).text().trimmed(), "");
    EXPECT_EQ(box.document()->lastBlock().text().trimmed(), "Line 18");
    EXPECT_GT(box.verticalScrollBar()->maximum(), 0);  // more lines than the box shows
    EXPECT_EQ(box.verticalScrollBar()->value(), 0);
    EXPECT_EQ(box.cursorForPosition(QPoint(2, 2)).block().text().trimmed(), "Line 1");
    view.Button1->click();
  });
  ViewDocument();
  EXPECT_TRUE(ui.Done());
}

TEST_F(DocumentViewTest, APurchaseOrderShowsItsVendorAndDates) {
  DocHeader.DocType = "O";
  DocPOExtras.RequiredYMD = "2026/12/20";
  DocPOExtras.ReceivedYMD = " ";
  view_->ShowDocument();
  EXPECT_EQ(view_->windowTitle(), "View Purchase Order# 1001");
  EXPECT_EQ(view_->Label6->text(), "Deliver To:");
  EXPECT_EQ(view_->Label13->text(), "Vendor Number: C100");
  EXPECT_EQ(view_->Label23->text(), "PO Total:");
  EXPECT_EQ(view_->Label20->text(), " ");
  EXPECT_EQ(view_->Label24->text(), "Purchase Order Required: 2026/12/20\nReceived:  ");
}

TEST_F(DocumentViewTest, ACharacterKeyOrTheCloseButtonEndsTheModalView) {
  testing_support::UiScript ui;
  ui.OnModal<Trtedit>([](Trtedit& view) {
    EXPECT_EQ(view.ListView1->topLevelItemCount(), 3);
    QTest::keyClick(view.ListView1, Qt::Key_X);
    EXPECT_FALSE(view.isVisible());
  });
  ViewDocument();
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace documents
