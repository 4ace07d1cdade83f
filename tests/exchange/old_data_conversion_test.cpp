// The conversions of older data over a scratch program directory: old folders written by
// tests/exchange/old_files.py from the older programs' layouts, converted, and every converted
// record checked by the same script; damaged old files reported, not crashed on; the lines of a
// converted invoice found by their line key after the rebuild; the windows worked through the UI
// seam.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "exchange/old_data_conversion.h"
#include "exchange/old_file_reader.h"
#include "exchange/sibling_conversion.h"
#include "exchange/version2_conversion.h"
#include "forms/run_state.h"
#include "platform/files/fault_seam.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_file.h"
#include "records/detail_file.h"
#include "records/record_file.h"
#include "storage/isam.h"
#include "support/temp_dir.h"
#include "support/whole_window.h"

namespace exchange {
namespace {

namespace fs = std::filesystem;
using testing_support::UiScript;

// The old folder's name has capitals and a blank, as a folder on a Windows disk may have.
constexpr char kOldFolder[] = "Old Files/OvPv";
// Terms of the program before the conversion, and after it: the old "net 30 days" is one of
// them already, its blank line is no term.
constexpr char kOwnTerms[] = "Net 30 Days\r\nCOD\r\n";
constexpr char kMergedTerms[] = "Net 30 Days|COD|Net 45 Days|Cash Only";

struct ScriptRun {
  int exitCode = -1;
  std::string output;
};

ScriptRun OldFilesScript(const QStringList& arguments) {
  QProcess python;
  python.setProcessChannelMode(QProcess::MergedChannels);
  python.start("/usr/bin/python3",
               QStringList{QString(KESTRAVA_SOURCE_DIR) + "/tests/exchange/old_files.py"} + arguments);
  EXPECT_TRUE(python.waitForFinished(120000));
  return {python.exitCode(), python.readAll().toStdString()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A scratch program directory with the engine started, beside the old folder.
class ScratchProgram {
 public:
  ScratchProgram() {
    testing_support::EnsureGuiApplication();
    storage::IsamInitialize(0, 30);
    records::InstallCompanyFileNames();
    // The program has a company "30" already: the old "30" is refused, the old "3" is not.
    records::CompanyWorkRec = records::DefaultCompanyRecord();
    records::CompanyWorkRec.CompanyNumber.Set("30");
    records::CompanyWorkRec.CompanyName.Set("Our Own Thirty");
    EXPECT_TRUE(records::CreateCompanyFile());
    EXPECT_TRUE(records::OpenCompanyFile());
    storage::IsamRecRef ref = 0;
    EXPECT_TRUE(records::AddCompanyRecord(ref));
    records::CloseCompanyFile();
    WriteFile("PVTERMS.DAT", kOwnTerms);
    WriteFile("A5160.LBL", "my own layout");
    // Indexes left under the names of files the conversion copies: they belong to other data.
    for (const char* stale : {"12M.IX", "12C.IX", "3PM.IX"}) WriteFile(stale, "stale index");
    fs::create_directories(kOldFolder);
    forms::RebuildAfterConversion = 0;
  }
  ~ScratchProgram() {
    platform::ui::Application->DestroyForms();
    records::CloseCompanyFile();
    if (records::DetailFile) storage::IsamCloseFileBlock(records::DetailFile);
    storage::IsamShutdown();
    storage::CurrentCompanyNumber = nullptr;
    records::CurrentCompany = records::CompanyRec{};
    records::CompanyWorkRec = records::CompanyRec{};
    forms::RebuildAfterConversion = 0;
  }

  std::string OldFolder() const { return (dir_.path() / kOldFolder).string(); }

  bool MakeOldFiles(const char* kind, bool shortRecords) {
    QStringList arguments{"make", kind, QString::fromStdString(OldFolder())};
    if (shortRecords) arguments << "--short";
    const ScriptRun made = OldFilesScript(arguments);
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return made.exitCode == 0;
  }

  // plan's fault is installed as the first company's number is about to be searched for.
  ConversionResult Convert(const ConversionPlan& plan,
                           const std::optional<platform::files::FaultPlan>& atFirstCompany = std::nullopt) {
    ConversionProgress progress;
    progress.Show = [this, atFirstCompany](ProgressLine line, const QString& text) {
      if (atFirstCompany && line == ProgressLine::Company && shown_[int(line)].isEmpty())
        platform::files::InstallFaultPlan(*atFirstCompany);
      shown_[int(line)] = text;
    };
    progress.Pump = [this] { ++pumps_; };
    progress.Tell = [this](const QString& text) { told_ << text; };
    progress.Warn = [this](const QString& text) { warned_ << text; };
    const ConversionResult result = ConvertOldCompanies(plan, OldFolder(), progress);
    platform::files::RemoveFaultPlan();
    return result;
  }

  void ExpectScriptAgrees(const char* kind) {
    const ScriptRun checked = OldFilesScript({"check", kind, QString::fromStdString(OldFolder()),
                                              QString::fromStdString(dir_.path().string()), "--existing",
                                              "30", "--terms", kMergedTerms});
    EXPECT_EQ(checked.exitCode, 0) << checked.output;
  }

  testing_support::TempDir dir_;
  QString shown_[5];
  QStringList told_;
  QStringList warned_;
  int pumps_ = 0;
};

class ConversionTest : public ::testing::Test, public ScratchProgram {};

// Every old company and file the script writes, converted from the full and from shorter old
// records of both older programs: companies 12, 3 and the damaged 7 are added; 30 is there
// already and A1B cannot name files. Company 7's first file has a header no data file can have,
// its other files end half-way through a record, and its memo file is missing: each is reported
// for the company, and the records it still holds whole are converted.
TEST(ConversionRunTest, ConvertsEveryFieldOfEveryOldFileAndReportsTheDamagedOnes) {
  struct Case {
    const char* kind;
    const ConversionPlan& plan;
    bool shortRecords;
    const char* unreadable;  // company 7's file with the impossible header
    const char* cutShort;
  };
  const Case cases[] = {
      {"sibling", SiblingConversionPlan(), false, "7C.DAT", "7I.DAT"},
      {"sibling", SiblingConversionPlan(), true, "7C.DAT", "7P.DAT"},
      {"version2", Version2ConversionPlan(), false, "7P.DAT", "7PD.DAT"},
      {"version2", Version2ConversionPlan(), true, "7P.DAT", "7D.DAT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + (c.shortRecords ? " short" : " full"));
    ScratchProgram fresh;  // a program directory of its own for each case
    ASSERT_TRUE(fresh.MakeOldFiles(c.kind, c.shortRecords));
    const ConversionResult result = fresh.Convert(c.plan);
    EXPECT_EQ(result.Converted, 3);
    EXPECT_EQ(result.Refused, 2);
    EXPECT_FALSE(result.Ended);
    EXPECT_EQ(fresh.told_, QStringList{kCompanyExists});
    EXPECT_EQ(fresh.shown_[int(ProgressLine::Companies)], "Companies to Convert: 5");
    EXPECT_GT(fresh.pumps_, 0);
    ASSERT_EQ(fresh.warned_.size(), 2) << fresh.warned_.join("\n---\n").toStdString();
    EXPECT_TRUE(fresh.warned_[0].startsWith("A1B - Bad Number\n"));
    const QString damage = fresh.warned_[1];
    EXPECT_TRUE(damage.startsWith("7 - Seven Seas Damaged\n")) << damage.toStdString();
    EXPECT_TRUE(damage.contains(QString(c.unreadable) + ": is not a data file")) << damage.toStdString();
    EXPECT_TRUE(damage.contains(QString(c.cutShort) + ": is damaged")) << damage.toStdString();
    EXPECT_TRUE(damage.contains("7M.DAT: not found")) << damage.toStdString();
    fresh.ExpectScriptAgrees(c.kind);
  }
}

// Old data files whose header or length no data file can have are refused or read as far as
// they hold whole records, never past their end.
TEST(OldDataFileTest, ReadsWholeLiveSlotsAndRefusesImpossibleHeaders) {
  testing_support::TempDir dir;
  // A header of 21 bytes (free chain, free count, slots, record length, keys, flag), the rest of
  // slot 0 zero, then the slots.
  auto file = [](int32_t count, int32_t length, const std::string& body) {
    std::string header(21, '\0');
    const int32_t fields[] = {-1, 0, count, length, 1};
    std::memcpy(header.data(), fields, sizeof fields);
    return header + std::string(length > 21 ? length - 21 : 0, '\0') + body;
  };
  const std::string live(24, 'L');
  std::string deleted(24, 'D');
  deleted.replace(0, 4, std::string("\xff\xff\xff\xff", 4));
  std::string alive = live;
  alive.replace(0, 4, std::string(4, '\0'));
  struct Case {
    const char* name;
    std::string bytes;  // none: the file is not there
    bool opens;
    std::string problem;
    int live;
    bool damaged;
  };
  const Case cases[] = {
      {"sound", file(3, 24, alive + deleted + alive), true, "", 2, false},
      {"missing", "", false, "not found", 0, false},
      {"shorter than a header", "tiny", false, "is not a data file", 0, false},
      {"record length 20", file(1, 20, alive.substr(0, 20)), false, "is not a data file", 0, false},
      {"record length above 65535", file(0, 70000, ""), false, "is not a data file", 0, false},
      {"negative count", file(-2, 24, alive), false, "is not a data file", 0, false},
      {"count beyond the end", file(9, 24, alive + alive), true, "is damaged", 2, true},
      {"last record cut", file(2, 24, alive + alive.substr(0, 10)), true, "is damaged", 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = std::string(c.name) + ".DAT";
    if (std::string(c.name) != "missing") WriteFile(name, c.bytes);
    OldDataFile old;
    EXPECT_EQ(old.Open(name), c.opens);
    EXPECT_EQ(old.Problem(), c.problem);
    EXPECT_EQ(old.LiveRecords(), c.live);
    std::vector<uint8_t> record;
    int read = 0;
    while (old.Next(record)) {
      EXPECT_EQ(record.size(), 24u);
      ++read;
    }
    EXPECT_EQ(read, c.live);
    EXPECT_EQ(old.Damaged(), c.damaged);
  }
}

// A second run over the same old folder refuses every company it added the first time and
// writes nothing.
TEST_F(ConversionTest, ASecondRunRefusesEveryCompany) {
  ASSERT_TRUE(MakeOldFiles("version2", false));
  EXPECT_EQ(Convert(Version2ConversionPlan()).Converted, 3);
  const std::string productsBefore = ReadFile("12P.DAT");
  told_.clear();
  const ConversionResult again = Convert(Version2ConversionPlan());
  EXPECT_EQ(again.Converted, 0);
  EXPECT_EQ(again.Refused, 5);
  EXPECT_EQ(told_, QStringList(4, kCompanyExists));
  EXPECT_EQ(ReadFile("12P.DAT"), productsBefore);
  ExpectScriptAgrees("version2");
}

// The company list's search for the first old company's number failing: that is no number free.
// The run stops there, saying the file and the reason, and adds and converts nothing.
TEST_F(ConversionTest, ACompanyListThatCannotBeSearchedStopsTheRunAndAddsNothing) {
  ASSERT_TRUE(MakeOldFiles("sibling", false));
  const ConversionResult result =
      Convert(SiblingConversionPlan(),
              platform::files::FaultPlan{
                  .Errno = EIO, .OnRead = platform::files::FaultAction::Fail, .ReadNumber = 1});
  EXPECT_EQ(result.Converted, 0);
  EXPECT_TRUE(result.Ended);
  EXPECT_EQ(warned_.join("|").toStdString(),
            "12 - Acme Supply\nThe file ovcomp.DAT cannot be read now: Input/output error.");
  EXPECT_EQ(told_.join("|").toStdString(), "");
  records::CompanyRec company;
  EXPECT_FALSE(records::ReadCompanyRecord("12", company));
  EXPECT_FALSE(fs::exists("12C.DAT"));
}

// The company list's write for the first old company failing (the disk full): the run stops
// there, saying so with the system's reason, and the company is not listed.
TEST_F(ConversionTest, ACompanyThatCannotBeAddedStopsTheRunWithTheReason) {
  ASSERT_TRUE(MakeOldFiles("sibling", false));
  const ConversionResult result =
      Convert(SiblingConversionPlan(),
              platform::files::FaultPlan{
                  .OnWrite = platform::files::FaultAction::Fail, .WriteNumber = 1, .Errno = ENOSPC});
  EXPECT_EQ(result.Converted, 0);
  EXPECT_TRUE(result.Ended);
  EXPECT_EQ(told_.join("|").toStdString(), "Add company data operation failed: No space left on device");
  records::CompanyRec company;
  EXPECT_FALSE(records::ReadCompanyRecord("12", company));
}

// The rebuild that opening a converted company runs gives its invoice lines their keys: each
// invoice's lines are found under its line key prefix, numbered from "01" in the order they
// stood in the old file, so an invoice shows and prints with its lines.
TEST_F(ConversionTest, ConvertedInvoiceLinesAreFoundByTheirLineKeysAfterTheRebuild) {
  ASSERT_TRUE(MakeOldFiles("sibling", false));
  ASSERT_EQ(Convert(SiblingConversionPlan()).Converted, 3);
  records::CurrentCompany.CompanyNumber.Set("12");
  UiScript ui;  // the rebuild shows nothing but its progress
  ASSERT_TRUE(records::RebuildDetailFile());
  ASSERT_TRUE(records::OpenDetailFile());
  std::vector<std::string> lineKeys;
  records::ForEachRecordByKey<records::DetailRec>(
      records::DetailFile, 3, [&](const records::DetailRec& line) {
        lineKeys.push_back(line.LineKey.Get());
        EXPECT_EQ(line.LineKey.Get(),
                  records::LineKeyText(line.InvoiceNumber.Get(), std::stoi(line.LineNumber.Get())));
      });
  // Twelve old lines of four invoices, three each; the two deleted ones (second lines of 1000
  // and 1002) and the one without an invoice number (the second of 1001) are not converted.
  EXPECT_EQ(lineKeys, (std::vector<std::string>{"00000100001", "00000100002", "00000100101", "00000100102",
                                                "00000100201", "00000100202", "00000100301", "00000100302",
                                                "00000100303"}));
  EXPECT_TRUE(ui.Done());
}

// The choices the window refuses before anything is written, then a whole run: the path keeps
// its letters, the labels show the progress, the rebuild is asked for and the window closes.
TEST_F(ConversionTest, TheWindowRefusesWrongChoicesAndRunsTheConversion) {
  ASSERT_TRUE(MakeOldFiles("sibling", false));
  const QString folder = QString::fromStdString(OldFolder());
  const std::string listBefore = ReadFile("ovcomp.DAT");
  TCPV& window = CreateCPV();
  const QString caption = "OV Palvero PRO Version 2 Conversion";
  struct Refusal {
    QString chosen;
    QString message;
  };
  fs::create_directories("Elsewhere");
  WriteFile("Elsewhere/COMPANY.DAT", "");
  const Refusal refusals[] = {
      {folder + "/ovpv3.exe",
       "You must select the COMPANY.DAT file from the Palvero PRO Version 2.x or 3.x directory."},
      {folder + "/../company.dat", "Invalid directory and/or filename. The file does not exist."},
      {QString::fromStdString((dir_.path() / "Elsewhere/company.dat").string()),
       "I cant find Palvero PRO Version 2 or 3."},
  };
  for (const Refusal& refusal : refusals) {
    UiScript ui;
    ui.ExpectOpenFile().Answer(refusal.chosen);
    ui.ExpectMessage(refusal.message, caption).Answer(platform::ui::mrOk);
    window.Button1Click();
    EXPECT_TRUE(ui.Done()) << refusal.message.toStdString();
  }
  {
    UiScript ui;  // the user says No
    ui.ExpectOpenFile().Answer(folder + "/Company.dat");
    ui.ExpectMessage(
          "I have found the Palvero PRO files and am ready to import them into this program. Do you want "
          "to continue?",
          "Ready To Convert Files")
        .Answer(platform::ui::mrNo);
    window.Button1Click();
    EXPECT_TRUE(ui.Done());
  }
  EXPECT_EQ(ReadFile("ovcomp.DAT"), listBefore);

  UiScript ui;
  ui.ExpectOpenFile().Answer(folder + "/Company.dat");
  ui.ExpectMessage(
        "I have found the Palvero PRO files and am ready to import them into this program. Do you want "
        "to continue?",
        "Ready To Convert Files")
      .Answer(platform::ui::mrYes);
  ui.ExpectMessage(kCompanyExists, caption).Answer(platform::ui::mrOk);
  // The two reports of the run: the company whose number names no files, the damaged one.
  ui.ExpectMessage(
        "A1B - Bad Number\nThis company number cannot name data files (letters and digits, ending in a "
        "digit); the "
        "company was not converted.",
        caption)
      .Answer(platform::ui::mrOk);
  ui.ExpectMessage(
        "7 - Seven Seas Damaged\n7C.DAT: is not a data file; 7C.DAT was left empty.\n7I.DAT: is damaged; "
        "the records it still holds whole were converted.\n7D.DAT: is damaged; the records it still holds "
        "whole were converted.\n7P.DAT: is damaged; the records it still holds whole were converted.\n"
        "7M.DAT: not found.",
        caption)
      .Answer(platform::ui::mrOk);
  ui.ExpectMessage(kFilesImported, caption).Answer(platform::ui::mrOk);
  window.Button1Click();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(window.OldPath->text(), folder + "/Company.dat");
  EXPECT_EQ(window.Label1->text(), "Companies to Convert: 5");
  EXPECT_EQ(window.Label2->text(), "7 - Seven Seas Damaged");
  EXPECT_EQ(window.Label4->text(), "detail to Convert: 9");
  EXPECT_EQ(window.Label5->text(), folder);
  EXPECT_EQ(forms::RebuildAfterConversion, 1);
  EXPECT_FALSE(window.Running());
  ExpectScriptAgrees("sibling");

  // The window as the user saw it at the end of the run, for a look by eye.
  window.adjustSize();
  testing_support::ExpectWholeWindow(window, "conversion_window");
}

}  // namespace
}  // namespace exchange
