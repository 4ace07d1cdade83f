#include "records/payment_terms.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "forms/term_edit.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/ui/support/ui_script.h"
#include "support/temp_dir.h"

namespace records {

using namespace forms;
namespace {

using platform::ui::mrCancel;
using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::mrYes;
using platform::ui::MsgButtons;
using testing_support::UiScript;

std::string FileBytes() {
  std::string bytes;
  EXPECT_TRUE(platform::files::ReadWholeFile(PaymentTermsFileName, &bytes));
  return bytes;
}

void WriteFile(const std::string& bytes) {
  std::ofstream(std::string(PaymentTermsFileName), std::ios::binary) << bytes;
}

class PaymentTermsTest : public ::testing::Test {
 protected:
  testing_support::TempDir dir;
  UiScript ui;
};

TEST_F(PaymentTermsTest, TermsGoToTheFileAsCrLfLinesAndComeBackTheSame) {
  const QStringList terms = {"Net 30 Days", "Due on Receipt", "2% 10, Net 30", "Contado en d\u00EDas", "  "};
  ASSERT_TRUE(SavePaymentTerms(terms));
  EXPECT_EQ(FileBytes(),
            "Net 30 Days\r\nDue on Receipt\r\n2% 10, Net 30\r\nContado en d\xED"
            "as\r\n  \r\n");
  EXPECT_EQ(LoadPaymentTerms(), terms);
  EXPECT_TRUE(ui.Events().empty());
}

TEST_F(PaymentTermsTest, AMissingFileIsAnEmptyListAndOtherLineEndsAreRead) {
  EXPECT_TRUE(LoadPaymentTerms().isEmpty());
  WriteFile("Net 10\nNet 20\rNet 30");
  EXPECT_EQ(LoadPaymentTerms(), (QStringList{"Net 10", "Net 20", "Net 30"}));
  WriteFile("Net 10\r\n\r\nNet 30\r\n");
  EXPECT_EQ(LoadPaymentTerms(), (QStringList{"Net 10", "", "Net 30"}));
  EXPECT_TRUE(ui.Events().empty());
}

// Terms taken over from another terms file: the list keeps its own terms and their order and gets
// the others after them, once each, whatever their letter case; blank lines are no terms. A file
// that is there but cannot be read is not written over with the new terms alone.
TEST_F(PaymentTermsTest, MergedTermsAreAppendedOnceAndAnUnreadableFileIsLeftAlone) {
  WriteFile("Net 30 Days\r\nCOD\r\n");
  EXPECT_EQ(MergePaymentTerms(SplitPaymentTerms("net 30 days\nNet 45 Days\r\n\r\nCash Only\rcod\n")), 2);
  EXPECT_EQ(FileBytes(), "Net 30 Days\r\nCOD\r\nNet 45 Days\r\nCash Only\r\n");
  EXPECT_EQ(MergePaymentTerms({"COD", "cash only"}), 0);
  EXPECT_EQ(FileBytes(), "Net 30 Days\r\nCOD\r\nNet 45 Days\r\nCash Only\r\n");

  std::filesystem::remove(std::string(PaymentTermsFileName));
  EXPECT_EQ(MergePaymentTerms({"Net 10 Days"}), 1);  // no file yet: it is made
  EXPECT_EQ(FileBytes(), "Net 10 Days\r\n");

  std::filesystem::remove(std::string(PaymentTermsFileName));
  std::filesystem::create_directory(std::string(PaymentTermsFileName));  // there, but no file to read
  EXPECT_EQ(MergePaymentTerms({"Net 10 Days"}), -1);
  EXPECT_TRUE(std::filesystem::is_directory(std::string(PaymentTermsFileName)));
  EXPECT_TRUE(ui.Done());
}

TEST_F(PaymentTermsTest, ATermKnownInAnyLetterCaseAsksNothing) {
  QComboBox box;
  box.setEditable(true);
  WriteFile("Net 30 Days\r\nDue on Receipt\r\n");
  LoadPaymentTermsInto(box);
  ASSERT_EQ(box.count(), 2);
  box.setEditText("NET 30 days");
  EXPECT_TRUE(ConfirmPaymentTerm(box));
  EXPECT_TRUE(ui.Events().empty());
}

TEST_F(PaymentTermsTest, ANewTermIsAddedOnYesLeftOnNoAndKeepsTheFormOnCancel) {
  QComboBox box;
  box.setEditable(true);
  WriteFile("Net 30 Days\r\n");
  LoadPaymentTermsInto(box);

  box.setEditText("Net 45");
  ui.ExpectMessage("This is a new payment term. Would you like to add terms to the terms file?",
                   "Terms: Net 45")
      .Buttons(MsgButtons::YesNoCancel)
      .Answer(mrNo);
  EXPECT_TRUE(ConfirmPaymentTerm(box));
  EXPECT_EQ(box.count(), 1);

  ui.ExpectMessage("This is a new payment term. Would you like to add terms to the terms file?",
                   "Terms: Net 45")
      .Answer(mrCancel);
  EXPECT_FALSE(ConfirmPaymentTerm(box));

  ui.ExpectMessage("This is a new payment term. Would you like to add terms to the terms file?",
                   "Terms: Net 45")
      .Answer(mrYes);
  EXPECT_TRUE(ConfirmPaymentTerm(box));
  EXPECT_EQ(box.count(), 2);
  EXPECT_EQ(box.currentText(), "Net 45");
  EXPECT_EQ(FileBytes(), "Net 30 Days\r\nNet 45\r\n");
  EXPECT_TRUE(ui.Done());
}

class TermEditTest : public PaymentTermsTest {
 protected:
  QStringList Listed(const TTermEdit& f) const {
    QStringList terms;
    for (int i = 0; i < f.ListBox1->count(); ++i) terms << f.ListBox1->item(i)->text();
    return terms;
  }

  std::unique_ptr<TTermEdit> form = platform::ui::CreateForm<TTermEdit>();
};

TEST_F(TermEditTest, AddEditAndDeleteChangeTheListAndCloseSavesIt) {
  WriteFile("Net 30 Days\r\nDue on Receipt\r\nNet 60 Days\r\n");
  ui.OnModal<TTermEdit>([this](TTermEdit& f) {
    EXPECT_EQ(Listed(f), (QStringList{"Net 30 Days", "Due on Receipt", "Net 60 Days"}));
    EXPECT_EQ(f.ListBox1->currentRow(), 0);
    EXPECT_FALSE(f.Edit1->isEnabled());
    EXPECT_FALSE(f.Button4->isEnabled());

    f.Button3Click();
    EXPECT_EQ(f.Label1->text(), "Enter new payment term and select Ok button...");
    EXPECT_TRUE(f.Edit1->isEnabled() && f.Button4->isEnabled());
    f.Edit1->setText("COD");
    f.Button4Click();
    EXPECT_EQ(Listed(f).last(), "COD");
    EXPECT_FALSE(f.Edit1->isEnabled());
    EXPECT_TRUE(f.Label1->text().isEmpty());
    EXPECT_EQ(f.ListBox1->currentRow(), 0);

    f.ListBox1->setCurrentRow(1);
    f.Button1Click();
    EXPECT_EQ(f.Label1->text(), "Edit this payment term and select Ok button...");
    EXPECT_EQ(f.Edit1->text(), "Due on Receipt");
    f.Edit1->setText("Due upon Receipt");
    f.Button4Click();
    EXPECT_EQ(Listed(f), (QStringList{"Net 30 Days", "Due upon Receipt", "Net 60 Days", "COD"}));

    f.ListBox1->setCurrentRow(2);
    f.Button2Click();
    EXPECT_EQ(Listed(f), (QStringList{"Net 30 Days", "Due upon Receipt", "COD"}));

    f.Button3Click();
    f.Edit1->setText("   ");  // only blanks: accepted
    f.Button4Click();
    f.OKBtnClick();
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(FileBytes(), "Net 30 Days\r\nDue upon Receipt\r\nCOD\r\n   \r\n");
  EXPECT_TRUE(ui.Done());
}

TEST_F(TermEditTest, AnEmptyTermTheLastTermAndAnUnfinishedEditAreRefused) {
  WriteFile("Net 30 Days\r\n");
  ui.ExpectMessage("You do not have any text entered.", "Invalid Payment Term");
  ui.ExpectMessage("You must have at least on payment term.", "Delete Payment Term");
  ui.OnModal<TTermEdit>([this](TTermEdit& f) {
    f.Button3Click();
    f.Button4Click();
    EXPECT_TRUE(f.Edit1->isEnabled()) << "still adding";
    f.Edit1->setText("Net 90 Days");
    f.ListBox1Click();  // the user clicks the list: the unfinished add is dropped
    EXPECT_FALSE(f.Edit1->isEnabled());
    EXPECT_TRUE(f.Edit1->text().isEmpty());
    f.Button2Click();
    EXPECT_EQ(Listed(f), QStringList{"Net 30 Days"});
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_TRUE(ui.Done());
}

TEST_F(TermEditTest, WithNoTermsEditAndDeleteDoNothingAndLeavingDiscardsChanges) {
  ui.OnModal<TTermEdit>([this](TTermEdit& f) {
    EXPECT_EQ(f.ListBox1->count(), 0);
    f.Button1Click();
    EXPECT_FALSE(f.Edit1->isEnabled());
    f.Button2Click();
    f.Button3Click();
    f.Edit1->setText("Net 15");
    f.Button4Click();
    EXPECT_EQ(Listed(f), QStringList{"Net 15"});
  });  // left by the close box
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_FALSE(platform::files::Exists(PaymentTermsFileName));
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace records
