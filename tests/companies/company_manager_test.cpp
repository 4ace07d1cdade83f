// The Company Manager: its row and list texts, and the deletion of a company's data files.

#include <gtest/gtest.h>

#include <QDateTime>
#include <fstream>
#include <set>
#include <string>

#include "companies/company_texts.h"
#include "platform/files/path.h"
#include "records/company_data_files.h"
#include "records/company_rec.h"
#include "support/temp_dir.h"

using namespace records;

namespace {

using records::CompanyRec;

CompanyRec Company(const char* name, const char* number, const char* total) {
  CompanyRec company{};
  company.CompanyName.Set(name);
  company.CompanyNumber.Set(number);
  company.CompanyARBalance.Set(total);
  return company;
}

TEST(CompanyTextsTest, BrowserRowsAndHeaderAreColumnsOf128Characters) {
  const std::string header = companies::CompanyBrowserHeader();
  ASSERT_EQ(header.size(), 128u);
  EXPECT_EQ(header.substr(0, 43), "Company Name                        Number ");
  EXPECT_EQ(header.substr(43, 12), "     Balance");

  const std::string row = companies::CompanyBrowserRow(Company("Harbour Supplies", "4", "1234567.5"));
  ASSERT_EQ(row.size(), 128u);
  EXPECT_EQ(row.substr(0, 36), "Harbour Supplies                    ");
  EXPECT_EQ(row.substr(36, 7), "4      ");
  EXPECT_EQ(row.substr(43, 12), "1,234,567.50");
  EXPECT_EQ(row.substr(55), std::string(73, ' '));

  // A name of the full 35 characters still leaves its column separated from the number.
  const std::string longName(35, 'N');
  EXPECT_EQ(companies::CompanyBrowserRow(Company(longName.c_str(), "32000", "-5")).substr(0, 55),
            longName + " 32000         -5.00");
  EXPECT_EQ(companies::UnreadableCompanyRow("7    "), "****  7    ");
}

TEST(CompanyTextsTest, ListReportLines) {
  const QDateTime moment(QDate(2026, 12, 7), QTime(14, 5));
  const std::vector<std::string> heading = companies::CompanyListHeading(moment);
  ASSERT_EQ(heading.size(), 3u);
  EXPECT_EQ(heading[0], "Palvero Company List");
  EXPECT_EQ(heading[1], "Date: Monday, December 7, 2026, 02:05 PM");
  EXPECT_EQ(heading[2], std::string(80, '-'));

  const std::vector<std::string> entry =
      companies::CompanyListEntry(Company("Harbour Supplies", "4", "99.9"));
  ASSERT_EQ(entry.size(), 2u);
  EXPECT_EQ(entry[0], "Harbour Supplies                       Number: 4        A/R: 99.90       ");
  EXPECT_EQ(entry[1], std::string(80, '-'));
  // A total wider than its column pushes nothing out of the line.
  EXPECT_EQ(companies::CompanyListEntry(Company("X", "12345", "12345678.00"))[0],
            "X                                      Number: 12345    A/R: 12,345,678.00");
  EXPECT_TRUE(companies::CompanyListEntry(Company("No Number", "  ", "0.00")).empty());
}

TEST(CompanyDataFilesTest, DeletingACompanyRemovesExactlyItsFiles) {
  testing_support::TempDir dir;
  const char* codes[] = {"P", "C", "I", "D", "M", "O", "PD", "PM", "V"};
  std::set<std::string> kept = {"ovcomp.DAT", "ovcomp.IX", "LastCo.Dat", "12P.DAT",
                                "12C.IX",     "1X.DAT",    "1P.SAV"};
  for (const char* code : codes)
    for (const char* ext : {".DAT", ".IX"}) std::ofstream(std::string("1") + code + ext) << "x";
  // What copies into the company left under temporary names goes with it.
  for (const char* left : {"1P.DAT.TMP", "1V.IX.TMP", "1C.DAT.TMP.tmp~", "1PD.IX.TMP.tmp~"})
    std::ofstream(left) << "x";
  kept.insert({"1P.DAT.TMP.old", "12C.DAT.TMP"});
  // One named by another program, in its own letter case.
  std::filesystem::rename("1PD.IX", "1pd.ix");
  for (const std::string& name : kept) std::ofstream(name) << "x";

  EXPECT_TRUE(records::DeleteCompanyDataFiles(" 1 "));
  std::set<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    left.insert(entry.path().filename().string());
  EXPECT_EQ(left, kept);

  // Nothing there any more: deleting again touches nothing and raises nothing.
  EXPECT_TRUE(records::DeleteCompanyDataFiles("1"));
  // A number that cannot name files deletes nothing at all.
  EXPECT_TRUE(records::DeleteCompanyDataFiles("../1"));
  EXPECT_TRUE(records::DeleteCompanyDataFiles(""));
  left.clear();
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    left.insert(entry.path().filename().string());
  EXPECT_EQ(left, kept);
}

}  // namespace
