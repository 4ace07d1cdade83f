// The form letters: the keywords merged into a letter, the merge printing of the queued
// customers on the recording printer, and the editor's files, worked as a user works them.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QMimeData>
#include <QPrinter>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include "forms/rich_text_file.h"
#include "forms/run_state.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/print/print_test_support.h"
#include "platform/print/printer.h"
#include "platform/print/qt_print_backend.h"
#include "platform/print/recording_print_backend.h"
#include "platform/ui/support/ui_script.h"
#include "records/customer_file.h"
#include "reports/form_letter_window.h"
#include "reports/label_queue.h"
#include "reports/letter_merge.h"
#include "reports_fixture.h"
#include "support/recording_printer.h"
#include "support/whole_window.h"

using namespace reports;
using platform::ui::FileDialogRequest;
using platform::ui::mrCancel;
using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::mrYes;
using records::CustomerRec;
using testing_support::UiScript;

namespace {

// A letter as another word processor writes it: font and colour tables, a stylesheet, document
// information, a picture, a bookmark, a Unicode character with its fallback and Windows-1252
// characters as \'hh. The keywords sit at the very start, twice in one paragraph, in bold, and
// inside a longer keyword and in lower case (where they must stay).
const std::string kForeignLetter =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}"
    "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman{\\*\\panose 02020603050405020304};}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue255;\\red192\\green0\\blue0;}\r\n"
    "{\\stylesheet{ Normal;}{\\s1 heading 1;}}\r\n"
    "{\\info{\\author A. Writer}{\\creatim\\yr2026\\mo3\\dy1}}\r\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 PVCMPNAME\\par\r\n"
    "{\\pict\\pngblip\\picw10\\pich10\\picwgoal150\\pichgoal150 89504e470d0a1a0a}\r\n"
    "\\pard\\qr PVCSTADD1, PVCSTADD3\\par\r\n"
    "\\pard {\\*\\bkmkstart greeting}Dear {\\b PVCSTNAME}{\\*\\bkmkend greeting},\\par\r\n"
    "{\\cf2 Your balance is PVCSTBAL \\'80 \\endash  r\\'e9sum\\'e9 \\u8240\\'3f, notes: PVCSTNOTES; "
    "pvcstno stays.}\\par\r\n"
    "\\pard\\li720\\f1\\fs24 Yours,\\line PVCMPADD5\\par\r\n}";

CustomerRec Customer(const std::string& number, const std::string& name, const std::string& street,
                     const std::string& town, const std::string& balance) {
  CustomerRec c{};
  c.CustomerNo.Set(number);
  c.CustomerName.Set(name);
  c.CustBillTo1.Set(street);
  c.CustBillTo3.Set(town);
  c.CustBalance.Set(balance);
  c.CustNotes.Set("Call first");
  c.MailSortCode.Set("EAST");
  return c;
}

class FormLetterTest : public test_fixtures::ReportsTest {
 protected:
  FormLetterTest() {
    EXPECT_TRUE(records::CreateCustomerFile());
    CurrentCompany().CompanyAddr1.Set("1 Harbour Road");
    CurrentCompany().CompanyContact.Set("  Pat Quinn  ");
    FileCustomers({Customer("C1", "Acme Tools", "12 Quay Street", "Portsmouth", "   120.50"),
                   Customer("C2", "PVCSTNAME Ltd", "3 Mill Lane", "Bristol", "0.00"),
                   Customer("C3", "Caf\xE9 Royal", "9 High Street", "Bath", "15.00")});
    LabelPrintQueue.Clear();
    forms::LabelsQueued = 0;
    UiScript guard;  // the application the window needs
    CreateLetterWiz().FileNewClick();
  }
  ~FormLetterTest() override {
    LabelPrintQueue.Clear();
    if (records::CustomerFile) storage::IsamCloseFileBlock(records::CustomerFile);
    records::CustomerFile = nullptr;
  }

  static records::CompanyRec& CurrentCompany() { return records::CurrentCompany; }

  static LabelQueueRow Row(const std::string& code, const std::string& letter) {
    return LabelQueueRow{code, "", "", "", letter};
  }

  // Opens the letter file through the editor's Open dialog.
  static void OpenLetter(const std::string& path, bool readOnly = false) {
    UiScript ui;
    ui.ExpectOpenFile()
        .Inspect([](const FileDialogRequest& r) {
          EXPECT_EQ(r.filter, "Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT");
          EXPECT_TRUE(r.offerReadOnly);
        })
        .Answer([&](FileDialogRequest& r) {
          r.fileName = QString::fromStdString(path);
          r.readOnly = readOnly;
        });
    LetterWiz->FileOpenClick();
    EXPECT_TRUE(ui.Done());
  }
};

// A value in the letter as MergeLetter leaves it, paragraph by paragraph.
QStringList Paragraphs(const QTextDocument& document) {
  return document.toRawText().split(QChar(0x2029));
}

TEST_F(FormLetterTest, KeywordsAreReplacedAsWholeWordsInTheirOrderAndFormat) {
  QTextDocument letter;
  ASSERT_TRUE(forms::ReadRichText(kForeignLetter, letter));
  CustomerRec acme = Customer("C1", "Acme Tools", "12 Quay Street", "Portsmouth", "   120.50");
  acme.LastPayment.Set(" 3/01/2026");
  MergeLetter(letter, acme, CurrentCompany());
  EXPECT_EQ(
      Paragraphs(letter),
      QStringList({"Harbour Supplies", "12 Quay Street, Portsmouth", "Dear Acme Tools,",
                   QString::fromUtf8("Your balance is 120.50 \u20ac \u2013 r\u00e9sum\u00e9 \u2030, notes: "
                                     "Call first; pvcstno stays."),
                   QString::fromUtf8("Yours,\u2028Pat Quinn"), ""}));
  // The name takes the bold of the keyword it replaced; the paragraph keeps its alignment.
  const QTextBlock dear = letter.findBlockByNumber(2);
  for (auto it = dear.begin(); !it.atEnd(); ++it)
    EXPECT_EQ(it.fragment().charFormat().fontWeight() == QFont::Bold, it.fragment().text() == "Acme Tools");
  EXPECT_EQ(letter.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
}

// Every field of the customer and the company different, each keyword on a line of its own: each
// line must come out as that keyword's field, trimmed but for the last payment date.
TEST_F(FormLetterTest, EveryKeywordTakesItsOwnField) {
  CustomerRec c{};
  records::CompanyRec& company = CurrentCompany();
  c.CustomerNo.Set(" C7 ");
  c.CustomerName.Set("Name ");
  c.CustBalance.Set("   120.50");
  c.LastPayment.Set(" 3/01/2026");
  c.LastInvoice.Set("  1044");
  c.CustomerType.Set("Trade");
  c.CreditLimit.Set("500.00");
  c.PaymentTerms.Set("Net 30");
  c.CustBillTo1.Set("Bill 1");
  c.CustBillTo2.Set("Bill 2");
  c.CustBillTo3.Set("Bill 3");
  c.CustBillTo4.Set("Bill 4");
  c.Phone1.Set("Phone 1");
  c.ShipTo1.Set("Ship 1");
  c.ShipTo2.Set("Ship 2");
  c.ShipTo3.Set("Ship 3");
  c.ShipTo4.Set("Ship 4");
  c.Phone2.Set("Phone 2");
  c.CustAging1.Set("1.01");
  c.CustAging2.Set("2.02");
  c.CustAging3.Set("3.03");
  c.CustAging4.Set("4.04");
  c.CustNotes.Set("Notes");
  c.ShortName.Set("Short");
  c.MailSortCode.Set("Sort");
  company.CompanyName.Set("Firm");
  company.CompanyAddr1.Set("Firm 1");
  company.CompanyAddr2.Set("Firm 2");
  company.CompanyAddr3.Set("Firm 3");
  company.CompanyAddr4.Set("Firm 4");
  company.CompanyContact.Set("  Pat Quinn  ");
  const std::vector<std::pair<std::string, QString>> expected = {
      {"PVCSTNO", "C7"},          {"PVCSTNAME", "Name"},      {"PVCSTBAL", "120.50"},
      {"PVCSTLPMT", " 3/01/2026"}, {"PVCSTLSTINV", "1044"},    {"PVCSTTYPE", "Trade"},
      {"PVCSTCREDIT", "500.00"},  {"PVCSTTERMS", "Net 30"},   {"PVCSTADD1", "Bill 1"},
      {"PVCSTADD2", "Bill 2"},    {"PVCSTADD3", "Bill 3"},    {"PVCSTADD4", "Bill 4"},
      {"PVCSTPHN1", "Phone 1"},   {"PVCSTSHP1", "Ship 1"},    {"PVCSTSHP2", "Ship 2"},
      {"PVCSTSHP3", "Ship 3"},    {"PVCSTSHP4", "Ship 4"},    {"PVCSTPHN2", "Phone 2"},
      {"PVCSTACUR", "1.01"},      {"PVCSTA3060", "2.02"},     {"PVCSTA6090", "3.03"},
      {"PVCSTAOV90", "4.04"},     {"PVCSTNOTES", "Notes"},    {"PVCSTSNAME", "Short"},
      {"PVCSTMLIST", "Sort"},     {"PVCMPNAME", "Firm"},      {"PVCMPADD1", "Firm 1"},
      {"PVCMPADD2", "Firm 2"},    {"PVCMPADD3", "Firm 3"},    {"PVCMPADD4", "Firm 4"},
      {"PVCMPADD5", "Pat Quinn"},
  };
  ASSERT_EQ(expected.size(), MergeKeywords().size());
  QStringList keywords;
  for (const auto& [keyword, value] : expected) keywords << QString::fromStdString(keyword);
  QTextDocument letter;
  letter.setPlainText(keywords.join('\n'));
  MergeLetter(letter, c, company);
  QStringList merged = letter.toPlainText().split('\n');
  ASSERT_EQ(merged.size(), static_cast<qsizetype>(expected.size()));
  for (std::size_t k = 0; k < expected.size(); ++k)
    EXPECT_EQ(merged[static_cast<qsizetype>(k)], expected[k].second) << expected[k].first;
}

TEST_F(FormLetterTest, TheSearchGoesOnAfterEachValue) {
  struct Case {
    const char* text;
    const char* keyword;
    const char* value;
    const char* merged;
    int replaced;
  } cases[] = {
      {"PVCSTNO", "PVCSTNO", "C1", "C1", 1},                       // the whole letter
      {"PVCSTNO and PVCSTNO.", "PVCSTNO", "C1", "C1 and C1.", 2},  // twice in one paragraph
      {"PVCSTNOTES PVCSTNO1 xPVCSTNO pvcstno", "PVCSTNO", "C1", "PVCSTNOTES PVCSTNO1 xPVCSTNO pvcstno", 0},
      {"Dear PVCSTNAME, PVCSTNAME", "PVCSTNAME", "PVCSTNAME Ltd", "Dear PVCSTNAME Ltd, PVCSTNAME Ltd", 2},
      {"PVCSTNAME", "PVCSTNAME", "", "", 1},
      {"A PVCSTNAME\nB PVCSTNAME", "PVCSTNAME", "x PVCSTNAME x", "A x PVCSTNAME x\nB x PVCSTNAME x", 2},
  };
  for (const Case& c : cases) {
    QTextDocument letter;
    letter.setPlainText(c.text);
    EXPECT_EQ(ReplaceKeyword(letter, c.keyword, c.value), c.replaced) << c.text;
    EXPECT_EQ(letter.toPlainText().toStdString(), c.merged);
  }
}

// Three customers, a vendor, a product and a customer no longer on file in the queue: three
// letters, each a job of its own titled with the letter's name, merged from the saved file.
TEST_F(FormLetterTest, MergePrintingPrintsOneLetterPerQueuedCustomer) {
  ASSERT_TRUE(platform::files::WriteWholeFile(dir_.File("notice.rtf"), kForeignLetter));
  OpenLetter(dir_.File("notice.rtf"));
  EXPECT_EQ(LetterWiz->Caption(), "Form Letter Wizard - notice.rtf");
  for (const LabelQueueRow& row :
       {Row("C1", "C"), Row("V1", "V"), Row("C2", "C"), Row("GONE", "C"), Row("P-100", "P"), Row("C3", "C")})
    LabelPrintQueue.Append(row);
  ASSERT_EQ(forms::LabelsQueued, 1);
  testing_support::ScopedRecordingPrinter printer;
  UiScript ui;
  ui.ExpectPrinterSetup();
  ui.ExpectMessage("1 customer(s) of the print queue are no longer on file; no letter was printed for them.",
                   "Letter Wizard")
      .Answer(mrOk);
  LetterWiz->PrintButtonClick();
  EXPECT_TRUE(ui.Done());

  EXPECT_EQ(printer.Calls().filter("BeginDoc(\"notice.rtf\"").size(), 3);
  EXPECT_EQ(printer.Calls().filter("EndDoc").size(), 3);
  ASSERT_EQ(printer.Documents().size(), 3);
  EXPECT_TRUE(printer.Documents()[0].contains("Dear Acme Tools,"));
  EXPECT_TRUE(printer.Documents()[0].startsWith("Harbour Supplies\n12 Quay Street, Portsmouth\n"));
  EXPECT_TRUE(printer.Documents()[1].contains("Dear PVCSTNAME Ltd,\n"));
  EXPECT_TRUE(printer.Documents()[1].contains("3 Mill Lane, Bristol"));
  EXPECT_TRUE(printer.Documents()[2].contains(QString::fromUtf8("Dear Caf\u00e9 Royal,")));
  EXPECT_EQ(LetterWiz->Panel1->text(), "Processing letter 3 of 6...");
  // Afterwards: the template in the editor, unmodified; the queue as it was, no longer unprinted.
  EXPECT_TRUE(
      LetterWiz->RichEdit1->toPlainText().startsWith("PVCMPNAME\nPVCSTADD1, PVCSTADD3\nDear PVCSTNAME,"));
  EXPECT_FALSE(LetterWiz->RichEdit1->document()->isModified());
  EXPECT_FALSE(LetterWiz->RichEdit1->isHidden());
  EXPECT_FALSE(LetterWiz->Ruler->isHidden());
  EXPECT_TRUE(LetterWiz->Panel1->isHidden());
  EXPECT_EQ(LabelPrintQueue.Count(), 6);
  EXPECT_EQ(forms::LabelsQueued, 0);
  EXPECT_FALSE(platform::files::Exists(LetterTempFile));
}

// Letters printed to the PDF file chosen in the printer set-up land there, each beside the one
// before it, and the run says where they are.
TEST_F(FormLetterTest, LettersPrintedToAChosenPdfFileLandThereEachBesideTheLast) {
  LetterWiz->RichEdit1->insertPlainText("Dear PVCSTNAME,");
  LetterWiz->RichEdit1->document()->setModified(false);
  LabelPrintQueue.Append(Row("C1", "C"));
  LabelPrintQueue.Append(Row("C3", "C"));
  auto backend = std::make_unique<platform::print::QtPrintBackend>();
  backend->SetPrintToFile(true);
  platform::print::ScopedPrintBackend scoped(std::move(backend));
  const QString folder = QString::fromStdString(dir_.File("out"));
  ASSERT_TRUE(QDir().mkpath(folder));
  UiScript ui;
  ui.ExpectPrinterSetup().Answer([&](QPrinter& p) { p.setOutputFileName(folder + "/letter.pdf"); });
  ui.ExpectMessage("Letters saved in " + folder + ".", "Letter Wizard");
  LetterWiz->PrintButtonClick();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({"letter (2).pdf", "letter.pdf"}));
  EXPECT_TRUE(print_testing::PdfText(folder + "/letter.pdf").contains("Dear Acme Tools,"));
  EXPECT_TRUE(print_testing::PdfText(folder + "/letter (2).pdf")
                  .contains(QString::fromUtf8("Dear Caf\u00e9 Royal,")));
}

// Changes answered with No are not merged: the letter as saved is, and comes back.
TEST_F(FormLetterTest, TheSavedLetterIsMergedAndComesBack) {
  ASSERT_TRUE(platform::files::WriteWholeFile(dir_.File("plain.txt"), "Dear PVCSTNAME,\r\nThank you.\r\n"));
  OpenLetter(dir_.File("plain.txt"));
  LetterWiz->RichEdit1->moveCursor(QTextCursor::End);
  LetterWiz->RichEdit1->insertPlainText("Not saved.");
  LabelPrintQueue.Append(Row("C1", "C"));
  testing_support::ScopedRecordingPrinter printer;
  UiScript ui;
  ui.ExpectPrinterSetup();
  ui.ExpectMessage("Save changes to " + QString::fromStdString(dir_.File("plain.txt")) + "?", "Confirm")
      .Answer(mrNo);
  LetterWiz->PrintButtonClick();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(printer.Documents(), QStringList({"Dear Acme Tools,\nThank you.\n"}));
  EXPECT_EQ(LetterWiz->RichEdit1->toPlainText(), "Dear PVCSTNAME,\nThank you.\n");
}

// A letter never saved merges from the editor's text, and stays there unsaved.
TEST_F(FormLetterTest, AnUntitledLetterMergesFromTheEditor) {
  LetterWiz->RichEdit1->insertPlainText("PVCSTNO: PVCSTNAME");
  LabelPrintQueue.Append(Row("C3", "C"));
  LabelPrintQueue.Append(Row("C1", "C"));
  testing_support::ScopedRecordingPrinter printer;
  UiScript ui;
  ui.ExpectPrinterSetup();
  ui.ExpectMessage("Save changes to Untitled?", "Confirm").Answer(mrNo);
  LetterWiz->PrintButtonClick();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(printer.Documents(), QStringList({QString::fromUtf8("C3: Caf\u00e9 Royal"), "C1: Acme Tools"}));
  EXPECT_EQ(printer.Calls().filter("BeginDoc(\"Untitled\"").size(), 2);
  EXPECT_EQ(LetterWiz->RichEdit1->toPlainText(), "PVCSTNO: PVCSTNAME");
  EXPECT_TRUE(LetterWiz->RichEdit1->document()->isModified());
}

// A printer that fails on the second letter: the first stays printed, the second is dropped,
// the editor holds the template (never a merged letter to be saved over it) and the labels
// still count as unprinted.
class FailingPrinter : public platform::print::RecordingPrintBackend {
 public:
  void DrawTextDocumentPage(const platform::print::CanvasState& state, const QTextDocument& document,
                            int page, const QRect& rect) override {
    if (++pages_ == 2) throw platform::print::EPrinter("The printer is out of paper.");
    RecordingPrintBackend::DrawTextDocumentPage(state, document, page, rect);
  }

 private:
  int pages_ = 0;
};

TEST_F(FormLetterTest, AFailureWhilePrintingLeavesTheTemplateInTheEditor) {
  ASSERT_TRUE(platform::files::WriteWholeFile(dir_.File("notice.rtf"), kForeignLetter));
  OpenLetter(dir_.File("notice.rtf"));
  const std::string before = forms::RichTextFromDocument(*LetterWiz->RichEdit1->document());
  for (const char* code : {"C1", "C2", "C3"}) LabelPrintQueue.Append(Row(code, "C"));
  auto backend = std::make_unique<FailingPrinter>();
  FailingPrinter* log = backend.get();
  platform::print::ScopedPrintBackend scoped(std::move(backend));
  UiScript ui;
  ui.ExpectPrinterSetup();
  ui.ExpectMessage("The letters were not all printed: The printer is out of paper.", "Letter Wizard")
      .Answer(mrOk);
  LetterWiz->PrintButtonClick();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(log->Log().filter("EndDoc").size(), 1);
  EXPECT_EQ(log->Log().filter("Abort").size(), 1);
  EXPECT_EQ(forms::RichTextFromDocument(*LetterWiz->RichEdit1->document()), before);
  EXPECT_FALSE(LetterWiz->RichEdit1->document()->isModified());
  EXPECT_FALSE(LetterWiz->RichEdit1->isHidden());
  EXPECT_EQ(forms::LabelsQueued, 1);
  EXPECT_FALSE(platform::files::Exists(LetterTempFile));
}

TEST_F(FormLetterTest, NothingIsPrintedWithoutCustomersOrText) {
  testing_support::ScopedRecordingPrinter printer;
  {
    UiScript ui;
    ui.ExpectMessage("You do not have any customer records listed in the Label print queue.", "Letter Wizard")
        .Answer(mrOk);
    LetterWiz->PrintButtonClick();
    EXPECT_TRUE(ui.Done());
  }
  LabelPrintQueue.Append(Row("V1", "V"));
  LabelPrintQueue.Append(Row("P1", "P"));
  {
    UiScript ui;
    ui.ExpectMessage("You do not have any text to print. You need to create or open an existing letter.",
                     "Letter Wizard")
        .Answer(mrOk);
    LetterWiz->PrintButtonClick();
    EXPECT_TRUE(ui.Done());
  }
  LetterWiz->RichEdit1->insertPlainText("Dear PVCSTNAME");
  {
    // Cancelling the print dialog stops before anything changes.
    UiScript ui;
    ui.ExpectPrinterSetup().Cancel();
    LetterWiz->PrintButtonClick();
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(forms::LabelsQueued, 1);
  }
  {
    // Vendors and products only: the run goes through, prints nothing and uses the queue up.
    UiScript ui;
    ui.ExpectPrinterSetup();
    ui.ExpectMessage("Save changes to Untitled?", "Confirm").Answer(mrNo);
    LetterWiz->PrintButtonClick();
    EXPECT_TRUE(ui.Done());
  }
  EXPECT_TRUE(printer.Log().isEmpty());
  EXPECT_EQ(forms::LabelsQueued, 0);
}

// A letter written with every format of the tool bar, saved, reopened: nothing is lost, and the
// tool bar shows the formats again.
TEST_F(FormLetterTest, ALetterSavedAndReopenedLosesNothing) {
  TLetterWiz& w = *LetterWiz;
  w.RichEdit1->insertPlainText("Heading");
  w.CenterAlign->click();
  w.RichEdit1->insertPlainText("\n");
  w.LeftAlign->click();
  w.BoldButton->click();
  w.RichEdit1->insertPlainText("Bold ");
  w.BoldButton->click();
  w.ItalicButton->click();
  w.UnderlineButton->click();
  w.RichEdit1->insertPlainText("both");
  w.ItalicButton->click();
  w.UnderlineButton->click();
  w.FontSize->setValue(18);
  w.FontName->setCurrentText("Liberation Mono");
  w.FontNameChange();
  w.RichEdit1->insertPlainText(QString::fromUtf8(" big \u20ac \u0141\u00f3d\u017a"));
  w.RichEdit1->insertPlainText("\n");
  w.BulletsButton->click();
  w.RichEdit1->insertPlainText("first point");
  w.RichEdit1->insertPlainText("\n");
  w.RichEdit1->insertPlainText("second point");
  w.RichEdit1->insertPlainText("\n");
  w.BulletsButton->click();
  w.RightAlign->click();
  w.RichEdit1->insertPlainText("Yours");
  ASSERT_TRUE(w.RichEdit1->document()->isModified());
  const std::string written = forms::RichTextFromDocument(*w.RichEdit1->document());

  const QString path = QString::fromStdString(dir_.File("letter.rtf"));
  {
    UiScript ui;
    ui.ExpectSaveFile()
        .Inspect([](const FileDialogRequest& r) { EXPECT_EQ(r.defaultExt, "RTF"); })
        .Answer(path);
    EXPECT_TRUE(w.FileSave());
    EXPECT_TRUE(ui.Done());
  }
  EXPECT_EQ(w.Caption(), "Form Letter Wizard - letter.rtf");
  EXPECT_FALSE(w.RichEdit1->document()->isModified());
  {
    // Saving again under an existing name asks first; No leaves the file alone.
    UiScript ui;
    ui.ExpectSaveFile().Answer(path);
    ui.ExpectMessage("OK to overwrite " + path, "Confirm").Answer(mrNo);
    EXPECT_FALSE(w.FileSaveAs());
    EXPECT_TRUE(ui.Done());
  }
  w.FileNewClick();
  EXPECT_EQ(w.Caption(), "Form Letter Wizard - Untitled");
  OpenLetter(path.toStdString());
  EXPECT_EQ(forms::RichTextFromDocument(*w.RichEdit1->document()), written);
  const QTextDocument& letter = *w.RichEdit1->document();
  EXPECT_EQ(letter.blockCount(), 5);
  EXPECT_NE(letter.findBlockByNumber(2).textList(), nullptr);
  EXPECT_EQ(letter.findBlockByNumber(3).textList(), letter.findBlockByNumber(2).textList());
  EXPECT_EQ(letter.findBlockByNumber(4).textList(), nullptr);

  // The caret in "both": the tool bar shows italic, underline, no bold, 10 points.
  QTextCursor caret(w.RichEdit1->document()->findBlockByNumber(1));
  caret.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 7);
  w.RichEdit1->setTextCursor(caret);
  EXPECT_FALSE(w.BoldButton->isChecked());
  EXPECT_TRUE(w.ItalicButton->isChecked());
  EXPECT_TRUE(w.UnderlineButton->isChecked());
  EXPECT_EQ(w.FontSize->value(), 10);
  EXPECT_TRUE(w.LeftAlign->isChecked());
  caret.movePosition(QTextCursor::EndOfBlock);
  w.RichEdit1->setTextCursor(caret);
  EXPECT_EQ(w.FontSize->value(), 18);
  EXPECT_EQ(w.FontName->currentText(), "Liberation Mono");
}

// The font dialog starts from the format at the caret and gives the selection its font and
// colour; a letter opened read-only cannot be typed in until a new one is begun.
TEST_F(FormLetterTest, TheFontDialogAndReadOnlyLetters) {
  TLetterWiz& w = *LetterWiz;
  w.RichEdit1->insertPlainText("Red words");
  w.RichEdit1->selectAll();
  {
    UiScript ui;
    ui.ExpectFont()
        .Inspect([](const platform::ui::FontRequest& r) {
          EXPECT_EQ(r.font.name, "Liberation Sans");
          EXPECT_EQ(r.font.size, 10);
          EXPECT_FALSE(r.font.bold);
        })
        .Answer(platform::ui::FontChoice{"Liberation Mono", 14, true, false, false, true, 0x000000C0});
    w.SelectFont();
    EXPECT_TRUE(ui.Done());
  }
  const QString path = QString::fromStdString(dir_.File("red.rtf"));
  {
    UiScript ui;
    ui.ExpectSaveFile().Answer(path);
    EXPECT_TRUE(w.FileSaveAs());
    EXPECT_TRUE(ui.Done());
  }
  OpenLetter(path.toStdString(), true);
  EXPECT_TRUE(w.RichEdit1->isReadOnly());
  const QTextCharFormat format = w.RichEdit1->document()->begin().begin().fragment().charFormat();
  EXPECT_EQ(format.font().family(), "Liberation Mono");
  EXPECT_EQ(format.fontPointSize(), 14);
  EXPECT_EQ(format.fontWeight(), QFont::Bold);
  EXPECT_TRUE(format.fontStrikeOut());
  EXPECT_EQ(format.foreground().color(), QColor(0xC0, 0, 0));
  w.FileNewClick();
  EXPECT_FALSE(w.RichEdit1->isReadOnly());
}

TEST_F(FormLetterTest, TheRulerSetsTheIndentsOfTheParagraph) {
  TLetterWiz& w = *LetterWiz;
  w.resize(800, 500);
  w.RichEdit1->insertPlainText("A paragraph");
  // Drag the first-line marker to 36 points and the left marker to 18 points.
  TLetterRuler& ruler = *w.Ruler;
  ruler.FirstInd->move(static_cast<int>(36 * 4 / 3.0) + 2, ruler.FirstInd->y());
  w.FirstIndMouseUp();
  ruler.LeftInd->move(static_cast<int>(18 * 4 / 3.0) + 2, ruler.LeftInd->y());
  w.LeftIndMouseUp();
  ruler.RightInd->move(ruler.width() - 6 - static_cast<int>((24 + 6) * 4 / 3.0), ruler.RightInd->y());
  w.RightIndMouseUp();
  const QTextBlockFormat para = w.RichEdit1->textCursor().blockFormat();
  EXPECT_DOUBLE_EQ(para.leftMargin(), 18 * 4 / 3.0);
  EXPECT_DOUBLE_EQ(para.textIndent(), 18 * 4 / 3.0);
  EXPECT_DOUBLE_EQ(para.rightMargin(), 24 * 4 / 3.0);
  // The markers stay where they were let go.
  EXPECT_EQ(ruler.FirstInd->x(), 50);
  EXPECT_EQ(ruler.LeftInd->x(), 26);
  EXPECT_TRUE(w.RichEdit1->document()->isModified());
}

TEST_F(FormLetterTest, ClosingAsksToSaveAndCancelKeepsTheWindowOpen) {
  TLetterWiz& w = *LetterWiz;
  w.RichEdit1->insertPlainText("Draft");
  UiScript ui;
  ui.ExpectMessage("Save changes to Untitled?", "Confirm").Answer(mrCancel);
  ui.ExpectMessage("Save changes to Untitled?", "Confirm").Answer(mrNo);
  ui.OnModal<TLetterWiz>([](TLetterWiz& form) {
    form.Close();
    EXPECT_TRUE(form.InModalState());
    form.Close();
  });
  w.ShowModal();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(w.RichEdit1->toPlainText(), "Draft");  // the window keeps its letter
}

// A user who only looks around a new letter (a ruler marker clicked where it stands, the
// alignment and bullet buttons tried) has nothing to save: closing asks nothing.
TEST_F(FormLetterTest, ClosingALetterNeverTypedInAsksNothing) {
  UiScript ui;
  ui.OnModal<TLetterWiz>([](TLetterWiz& form) {
    QTest::mouseClick(form.Ruler->FirstInd, Qt::LeftButton);
    form.CenterAlign->click();
    form.BulletsButton->click();
    ASSERT_TRUE(form.RichEdit1->document()->isModified());
    form.Close();
    EXPECT_FALSE(form.InModalState());
  });
  LetterWiz->ShowModal();
  EXPECT_TRUE(ui.Done());
}

// What is pasted keeps only what a letter file holds; what is copied carries rich text.
TEST_F(FormLetterTest, PastedRichTextIsKeptAsALetterFileHoldsIt) {
  TLetterWiz& w = *LetterWiz;
  QMimeData source;
  source.setHtml("<p><b>Bold</b> <img src=\"x.png\"> <table><tr><td>cell</td></tr></table></p>");
  w.RichEdit1->insertFromMimeData(&source);
  EXPECT_EQ(w.RichEdit1->toPlainText().simplified(), "Bold cell");
  w.RichEdit1->selectAll();
  std::unique_ptr<QMimeData> copied(w.RichEdit1->createMimeDataFromSelection());
  ASSERT_TRUE(copied->hasFormat("text/rtf"));
  QTextDocument back;
  ASSERT_TRUE(forms::ReadRichText(copied->data("text/rtf").toStdString(), back));
  EXPECT_EQ(back.toPlainText().simplified(), "Bold cell");
}

// The editor as it shows, offscreen.
TEST_F(FormLetterTest, TheWindowRendersItsLetter) {
  TLetterWiz& w = *LetterWiz;
  w.resize(1000, 600);
  w.LoadLetter(kForeignLetter);
  w.RichEdit1->moveCursor(QTextCursor::Start);
  w.show();
  w.setWindowState(Qt::WindowNoState);
  w.resize(1000, 600);
  const QImage image = w.grab().toImage();
  EXPECT_EQ(image.size(), QSize(1000, 600));
  testing_support::ExpectWholeWindow(w, "form_letter_window");
  w.hide();
}

}  // namespace
