#include "records/company_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/date_text.h"
#include "platform/ui/support/ui_script.h"
#include "records/last_company.h"
#include "records/system_reason.h"
#include "storage/isam.h"
#include "support/temp_dir.h"

namespace records {
namespace {

using storage::IsamKeyStr;
using storage::IsamRecRef;
using testing_support::UiScript;

const QString kNotFound = "This company was not found in the company file. The change was not saved.";

// A company whose every byte, unused ranges and all, carries a pattern; only the status word,
// the number and the name are real.
CompanyRec PatternCompany(const std::string& number, const std::string& name) {
  CompanyRec record;
  auto* bytes = reinterpret_cast<uint8_t*>(&record);
  for (std::size_t i = 0; i < sizeof record; ++i) bytes[i] = static_cast<uint8_t>((i * 7 + 3) % 251 + 1);
  record.Status.Set(0);
  record.CompanyNumber.Set(number);
  record.CompanyName.Set(name);
  return record;
}

bool SameBytes(const CompanyRec& a, const CompanyRec& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

class CompanyFileTest : public ::testing::Test {
 protected:
  CompanyFileTest() {
    storage::IsamInitialize(0, 30);
    CurrentCompany = CompanyRec{};
  }
  ~CompanyFileTest() override {
    CloseCompanyFile();
    storage::IsamShutdown();
    CurrentCompany = CompanyRec{};
    CompanyWorkRec = CompanyRec{};
  }

  // Adds companies to a new ovcomp and closes it again.
  void FileCompanies(const std::vector<CompanyRec>& companies) {
    ASSERT_TRUE(CreateCompanyFile());
    ASSERT_TRUE(OpenCompanyFile());
    for (const CompanyRec& company : companies) {
      CompanyWorkRec = company;
      IsamRecRef ref = 0;
      ASSERT_TRUE(AddCompanyRecord(ref));
    }
    CloseCompanyFile();
  }

  CompanyRec Stored(const std::string& number) {
    CompanyRec record;
    EXPECT_TRUE(ReadCompanyRecord(number, record)) << number;
    return record;
  }

  testing_support::TempDir dir;
  UiScript ui;
};

TEST_F(CompanyFileTest, AMissingCompanyFileIsCreatedAfterANotice) {
  ui.ExpectMessage("I am going to create a new, empty company file.", "New Company");
  ASSERT_TRUE(OpenCompanyFile());
  EXPECT_EQ(storage::IsamDataLen(CompanyFile), 3600);
  CloseCompanyFile();
  EXPECT_TRUE(platform::files::Exists("ovcomp.DAT"));
  EXPECT_TRUE(platform::files::Exists("ovcomp.IX"));
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyFileTest, EveryByteOfACompanySurvivesTheFileAndItIsFoundByNumberAndName) {
  const CompanyRec seven = PatternCompany("7", "Harbor Supply");
  const CompanyRec seventy = PatternCompany("70", "Harbor Supply");  // names may repeat
  FileCompanies({seventy, seven});

  EXPECT_TRUE(SameBytes(Stored("7"), seven));
  EXPECT_TRUE(SameBytes(Stored(" 70 "), seventy));
  CompanyRec none;
  EXPECT_FALSE(ReadCompanyRecord("700", none));
  EXPECT_FALSE(ReadCompanyRecord("", none));

  ASSERT_TRUE(OpenCompanyFile());
  IsamKeyStr key = "HARBOR SUPPLY";
  IsamRecRef ref = 0;
  ASSERT_TRUE(SearchCompanyKey(key, ref, 2));
  EXPECT_EQ(key, "HARBOR SUPPLY" + std::string(17, ' '));
  EXPECT_EQ(storage::IsamUsedKeys(CompanyFile, 2), 2);
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyFileTest, ALostIndexIsRebuiltFromTheRecordsOnRequest) {
  const CompanyRec seven = PatternCompany("7", "Seven");
  FileCompanies({PatternCompany("12", "Twelve"), seven});
  ASSERT_TRUE(platform::files::DeleteFile("ovcomp.IX"));

  ui.ExpectMessage("Index file is defective.  Rebuild?", "Companies").Answer(platform::ui::mrNo);
  EXPECT_FALSE(OpenCompanyFile());
  ui.ExpectMessage("Index file is defective.  Rebuild?", "Companies").Answer(platform::ui::mrYes);
  ASSERT_TRUE(OpenCompanyFile());
  EXPECT_EQ(storage::IsamUsedKeys(CompanyFile, 1), 2);
  EXPECT_EQ(storage::IsamUsedKeys(CompanyFile, 2), 2);
  CloseCompanyFile();
  EXPECT_TRUE(SameBytes(Stored("7"), seven));
  EXPECT_TRUE(ui.Done());
}

// An index the program left marked for repair, its rebuild declined: the list is said unusable in
// words, never by the engine's number.
TEST_F(CompanyFileTest, ADamagedIndexWhoseRebuildIsDeclinedIsSaidInWords) {
  FileCompanies({PatternCompany("12", "Twelve")});
  {
    std::fstream index("ovcomp.IX", std::ios::in | std::ios::out | std::ios::binary);
    index.seekp(0);
    index.write("\xff\xff\xff\xff\xff\xff\xff\xff", 8);
  }
  ui.ExpectMessage("Index file is defective.  Rebuild?", "Companies").Answer(platform::ui::mrNo);
  EXPECT_FALSE(OpenCompanyFile());
  const std::string said = DataFileUnusableText("ovcomp.DAT");
  EXPECT_EQ(said.find("error 1"), std::string::npos) << said;
  EXPECT_NE(said.find("damaged"), std::string::npos) << said;
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyFileTest, TheSameNumberCannotBeFiledTwice) {
  FileCompanies({PatternCompany("12", "First")});
  ASSERT_TRUE(OpenCompanyFile());
  CompanyWorkRec = PatternCompany("12", "Second");
  IsamRecRef ref = 0;
  EXPECT_FALSE(AddCompanyRecord(ref));
  EXPECT_EQ(storage::IsamUsedRecs(CompanyFile), 1);
  EXPECT_EQ(storage::IsamUsedKeys(CompanyFile, 2), 1) << "the name key of the refused record is undone";
  CloseCompanyFile();
  EXPECT_EQ(Stored("12").CompanyName.Get(), "First");
}

TEST_F(CompanyFileTest, AnEditIsRefusedWhenTheRecordChangedMeanwhileAndDeleteRemovesItsKeys) {
  FileCompanies({PatternCompany("3", "Before")});
  ASSERT_TRUE(OpenCompanyFile());
  CompanyRec before;
  IsamRecRef ref = 0;
  ASSERT_TRUE(FindCompanyRecord("3", before, ref));

  CompanyWorkRec = before;
  CompanyWorkRec.CompanyName.Set("After");
  ASSERT_TRUE(UpdateCompanyRecord(before, ref));
  IsamKeyStr key = "AFTER";
  IsamRecRef found = 0;
  ASSERT_TRUE(SearchCompanyKey(key, found, 2));
  EXPECT_EQ(found, ref);

  CompanyWorkRec.CompanyName.Set("Again");  // begun from the old image, which is no longer stored
  ui.ExpectMessage("The record has changed in the meantime.", "");
  EXPECT_FALSE(UpdateCompanyRecord(before, ref));

  ASSERT_TRUE(DeleteCompanyRecord(ref));
  EXPECT_EQ(storage::IsamUsedRecs(CompanyFile), 0);
  EXPECT_EQ(storage::IsamUsedKeys(CompanyFile, 1), 0);
  EXPECT_EQ(storage::IsamUsedKeys(CompanyFile, 2), 0);
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyFileTest, CountersAdvanceInTheFileAndInTheOpenCompany) {
  CompanyRec seven = PatternCompany("7", "Harbor Supply");
  seven.NextInvoiceNumber.Set("1001");
  FileCompanies({PatternCompany("70", "Other"), seven});
  CurrentCompany = Stored("7");

  auto advance = [](CompanyRec& company) {
    company.NextInvoiceNumber.Set(std::to_string(std::stoi(company.NextInvoiceNumber.Get()) + 1));
  };
  ASSERT_TRUE(UpdateCurrentCompanyRecord(advance));
  ASSERT_TRUE(UpdateCurrentCompanyRecord(advance));
  EXPECT_EQ(CurrentCompany.NextInvoiceNumber.Get(), "1003");
  CompanyRec expected = seven;
  expected.NextInvoiceNumber.Set("1003");
  EXPECT_TRUE(SameBytes(Stored("7"), expected)) << "only the counter changed";
  EXPECT_TRUE(SameBytes(CurrentCompany, expected));
  EXPECT_EQ(Stored("70").NextInvoiceNumber.Get(), PatternCompany("70", "Other").NextInvoiceNumber.Get());
  EXPECT_FALSE(storage::IsamIsOpen(CompanyFile)) << "opened only for the change";
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyFileTest, ACounterOfACompanyNotOnFileIsNotWrittenOverAnother) {
  const CompanyRec fifty = PatternCompany("50", "Fifty");
  FileCompanies({fifty});
  CurrentCompany = PatternCompany("5", "Five");  // the search stops at "50"
  const CompanyRec five = CurrentCompany;

  ui.ExpectMessage(kNotFound, "Company File");
  bool changed = false;
  EXPECT_FALSE(UpdateCurrentCompanyRecord([&](CompanyRec&) { changed = true; }));
  EXPECT_FALSE(changed);
  EXPECT_TRUE(SameBytes(Stored("50"), fifty));
  EXPECT_TRUE(SameBytes(CurrentCompany, five));

  CurrentCompany = PatternCompany("99", "Ninety-nine");  // after every key on file
  ui.ExpectMessage(kNotFound, "Company File");
  EXPECT_FALSE(UpdateCurrentCompanyRecord([&](CompanyRec&) { changed = true; }));
  EXPECT_FALSE(changed);
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompanyFileTest, ACounterAdvancedWhileTheManagerHoldsTheFileLeavesItOpen) {
  FileCompanies({PatternCompany("8", "Eight")});
  CurrentCompany = Stored("8");
  ASSERT_TRUE(OpenCompanyFile());
  ASSERT_TRUE(UpdateCurrentCompanyRecord([](CompanyRec& c) { c.NextDepositNumber.Set("42"); }));
  EXPECT_TRUE(storage::IsamIsOpen(CompanyFile));
  CompanyRec stored;
  IsamRecRef ref = 0;
  ASSERT_TRUE(FindCompanyRecord("8", stored, ref));
  EXPECT_EQ(stored.NextDepositNumber.Get(), "42");
}

class LastCompanyTest : public CompanyFileTest {
 protected:
  ~LastCompanyTest() override { platform::text::SetShortDateFormat("mm/dd/yyyy"); }
};

TEST_F(LastCompanyTest, NoOrAShortLastCompanyFileMeansNoCompanySetUp) {
  FileCompanies({PatternCompany("7", "Seven")});
  CurrentCompany.CompanyName.Set("left over");
  EXPECT_EQ(LoadCurrentCompany(), LastCompanyStatus::NoCompany);
  EXPECT_TRUE(SameBytes(CurrentCompany, CompanyRec{}));

  const CompanyRec seven = PatternCompany("7", "Seven");
  std::ofstream("LastCo.Dat", std::ios::binary).write(reinterpret_cast<const char*>(&seven), 3599);
  EXPECT_EQ(LoadCurrentCompany(), LastCompanyStatus::NoCompany);
  EXPECT_TRUE(SameBytes(CurrentCompany, CompanyRec{}));
  EXPECT_TRUE(ui.Done());
}

TEST_F(LastCompanyTest, TheLastCompanyIsNamedByLastCoDatAndReadFromTheCompanyFile) {
  CompanyRec seven = PatternCompany("7", "Seven");
  FileCompanies({seven});
  CompanyWorkRec = seven;
  ASSERT_TRUE(SaveCurrentCompany());
  EXPECT_TRUE(SameBytes(CurrentCompany, seven));
  std::string bytes;
  ASSERT_TRUE(platform::files::ReadWholeFile("LastCo.Dat", &bytes));
  ASSERT_EQ(bytes.size(), 3600u);
  EXPECT_EQ(std::memcmp(bytes.data(), &seven, 3600), 0);
  EXPECT_FALSE(std::filesystem::exists("LastCo.Dat.tmp~"));

  // Settings changed since then come from the company file.
  CurrentCompany = seven;
  ASSERT_TRUE(UpdateCurrentCompanyRecord([](CompanyRec& c) { c.DateOrder.Set("D"); }));
  CurrentCompany = CompanyRec{};
  EXPECT_EQ(LoadCurrentCompany(), LastCompanyStatus::Loaded);
  EXPECT_EQ(CurrentCompany.DateOrder.Get(), "D");
  ApplyCompanyDateFormat();
  EXPECT_EQ(platform::text::ShortDateFormat(), "dd/mm/yyyy");
  CurrentCompany.DateOrder.Set("Y");
  ApplyCompanyDateFormat();
  EXPECT_EQ(platform::text::ShortDateFormat(), "mm/dd/yyyy");
  EXPECT_TRUE(ui.Done());
}

TEST_F(LastCompanyTest, ACompanyNoLongerOnFileOrWithANumberUnfitForFileNamesIsNotOpened) {
  FileCompanies({PatternCompany("7", "Seven"), PatternCompany("..", "Dots")});
  for (const char* number : {"9", ".."}) {
    CompanyWorkRec = PatternCompany(number, "Gone");
    ASSERT_TRUE(SaveCurrentCompany());
    EXPECT_EQ(LoadCurrentCompany(), LastCompanyStatus::NoCompany) << number;
    EXPECT_FALSE(IsCompanyOpen(CurrentCompany)) << number;
  }
  EXPECT_TRUE(ui.Done());
}

TEST(CompanyFileNamesTest, DataFilesFollowTheOpenCompanyAndNeverAnUnsafeNumber) {
  InstallCompanyFileNames();
  storage::IsamFileBlock block = nullptr;
  const storage::DataFileKind customers = storage::PlainDataFileKind("C", "Customers", 916, {});
  storage::DataFileUnit unit(customers, block);
  CurrentCompany.CompanyNumber.Set(" 12 ");
  EXPECT_EQ(unit.FileName(), "12C");
  EXPECT_EQ(CompanyUnit().FileName(), "ovcomp");
  for (const char* unsafe : {"..", "1/2", "1P"}) {
    CurrentCompany.CompanyNumber.Set(unsafe);
    EXPECT_EQ(unit.FileName(), "C") << unsafe;
  }
  CurrentCompany = CompanyRec{};
  storage::CurrentCompanyNumber = nullptr;
}

}  // namespace
}  // namespace records
