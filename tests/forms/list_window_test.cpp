#include "forms/list_window.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextDocument>

#include "forms/rich_text_file.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_rec.h"
#include "support/temp_dir.h"

namespace forms {

using namespace records;
namespace {

using platform::ui::FileDialogRequest;
using platform::ui::FontChoice;
using platform::ui::FontRequest;
using testing_support::UiScript;

class ListWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UiScript guard;  // makes the application the forms need
    CurrentCompany = CompanyRec{};
    CurrentCompany.BrowserFontName.Set("Liberation Mono");
    CurrentCompany.BrowserFontSize.Set(9);
    CreateListWindow().SetCaption("Customer List by Name");
    ListWindowFileName = "Customer";
  }
  void TearDown() override {
    platform::ui::Application->DestroyForms();
    ListWindow = nullptr;
  }

  testing_support::TempDir dir_;
};

TEST_F(ListWindowTest, ShowsTheReportInTheBrowserFontAndDeletesTheFileAfterwards) {
  ASSERT_TRUE(LoadListReport({"Customer List for Acme", "Caf\xE9 line", ""}));
  EXPECT_TRUE(platform::files::Exists("TXTTEMP.TXT"));
  UiScript ui;
  ui.OnModal<TListWindow>([](TListWindow& w) {
    EXPECT_EQ(w.Memo1->toPlainText(), QString::fromUtf8("Customer List for Acme\nCafé line\n"));
    EXPECT_EQ(w.TextFont().name, "Liberation Mono");
    EXPECT_EQ(w.TextFont().size, 9);
    EXPECT_EQ(w.Memo1->font().family(), "Liberation Mono");
  });
  ShowLoadedListReport();
  EXPECT_TRUE(ui.Done());
  EXPECT_FALSE(platform::files::Exists("TXTTEMP.TXT"));
  EXPECT_EQ(ListWindow->Lines(), (std::vector<std::string>{"Customer List for Acme", "Caf\xE9 line", ""}));
}

TEST_F(ListWindowTest, FontButtonAppliesTheChosenFontAndCancelKeepsIt) {
  UiScript ui;
  FontChoice chosen{"Liberation Serif", 14, true, false, false, false, 0x0000FF};
  ui.ExpectFont().Inspect([](const FontRequest& r) { EXPECT_EQ(r.font.size, 9); }).Answer(chosen);
  ui.ExpectFont().Cancel();
  ui.OnModal<TListWindow>([&](TListWindow& w) {
    w.FontButnClick();
    EXPECT_EQ(w.TextFont(), chosen);
    w.FontButnClick();
    EXPECT_EQ(w.TextFont(), chosen);
  });
  ListWindow->ShowModal();
  EXPECT_TRUE(ui.Done());
}

TEST_F(ListWindowTest, PrintsTheTextTitledWithTheCaption) {
  UiScript ui;
  auto backend = std::make_unique<platform::print::RecordingPrintBackend>();
  auto* log = backend.get();
  platform::print::ScopedPrintBackend scoped(std::move(backend));
  ASSERT_TRUE(LoadListReport({"one", "two"}));
  ListWindow->PrintButnClick();
  ASSERT_FALSE(log->Log().isEmpty());
  EXPECT_TRUE(log->Log().front().startsWith("BeginDoc(\"Customer List by Name\""));
  EXPECT_EQ(log->Log().back(), "EndDoc");
}

TEST_F(ListWindowTest, SavesARichTextFileUnderTheProposedName) {
  ASSERT_TRUE(LoadListReport({"Name {A} \\ B", "Caf\xE9", "\tTabbed"}));
  UiScript ui;
  ui.ExpectSaveFile()
      .Inspect([](const FileDialogRequest& r) {
        EXPECT_EQ(r.title, "Save As");
        EXPECT_EQ(r.defaultExt, "RTF");
        EXPECT_EQ(r.filter, "Rich Text File|*.RTF");
        EXPECT_EQ(r.fileName, "Customer.RTF");
      })
      .Answer(QString::fromStdString(dir_.File("Customer.RTF")));
  ui.ExpectSaveFile().Cancel();
  ui.OnModal<TListWindow>([](TListWindow& w) {
    w.SaveButnClick();
    w.SaveButnClick();
  });
  ListWindow->ShowModal();
  EXPECT_TRUE(ui.Done());
  std::string rtf;
  ASSERT_TRUE(platform::files::ReadWholeFile(dir_.File("Customer.RTF"), &rtf));
  EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1252"));
  EXPECT_NE(rtf.find("\\fcharset0 Liberation Mono;}"), std::string::npos);
  EXPECT_NE(rtf.find("Name \\{A\\} \\\\ B\\par"), std::string::npos);
  EXPECT_NE(rtf.find("Caf\\'e9\\par"), std::string::npos);
  // Read back, the file holds the lines in the list's font.
  QTextDocument document;
  ASSERT_TRUE(ReadRichText(rtf, document));
  EXPECT_EQ(document.toPlainText(), QString::fromUtf8("Name {A} \\ B\nCaf\u00e9\n\tTabbed"));
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      EXPECT_EQ(it.fragment().charFormat().font().family(), "Liberation Mono");
      EXPECT_EQ(it.fragment().charFormat().fontPointSize(), 9);
    }
}

TEST(RichTextDocument, StylesAndColourOfTheFontAreWritten) {
  FontChoice font{"Ar;ial", 11, true, true, true, true, 0x00336699};
  const std::string rtf = RichTextDocument({}, font);
  EXPECT_NE(rtf.find("\\fcharset0 Arial;}"), std::string::npos);
  EXPECT_NE(rtf.find("{\\colortbl;\\red153\\green102\\blue51;}"), std::string::npos);
  EXPECT_NE(rtf.find("\\fs22\\b\\i\\ul\\strike\\cf1"), std::string::npos);
}

// A word processor reads the file back as the text that was saved.
TEST(RichTextDocument, OpensInAWordProcessor) {
  const QString soffice = QStandardPaths::findExecutable("soffice");
  if (soffice.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
  testing_support::TempDir dir;
  FontChoice font{"Liberation Mono", 10, false, false, false, false, 0};
  ASSERT_TRUE(
      platform::files::WriteWholeFile("list.rtf", RichTextDocument({"Acme {Tools}", "Caf\xE9"}, font)));
  QProcess convert;
  convert.start(soffice, {"--headless", "--convert-to", "txt:Text (encoded):UTF8", "list.rtf"});
  ASSERT_TRUE(convert.waitForFinished(120000));
  std::string text;
  ASSERT_TRUE(platform::files::ReadWholeFile("list.txt", &text));
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  EXPECT_EQ(QString::fromStdString(text).trimmed(), QString::fromUtf8("Acme {Tools}\nCafé"));
}

}  // namespace
}  // namespace forms
