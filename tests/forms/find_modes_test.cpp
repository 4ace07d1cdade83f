#include "forms/find_modes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/customer_rec.h"
#include "records/product_file.h"
#include "records/product_rec.h"
#include "records/scratch_file_set.h"

namespace forms {

using namespace records;
namespace {

using test_fixtures::ScratchFileSet;

// The needle in the case it is stored in, planted in one field of a record chosen by i % 9.
const char* const Needle[] = {"needle", "NEEDLE", "NeEdLe"};

std::set<std::string> Column(const std::vector<FindRow>& rows, int column) {
  std::set<std::string> values;
  for (const FindRow& row : rows) values.insert(row[column]);
  return values;
}

TEST(FindSearchTextTest, TrimmedUpperCasedAndCutToTenCharacters) {
  EXPECT_EQ(FindSearchText("  needlework-extra "), "NEEDLEWORK");
  EXPECT_EQ(FindSearchText("\tacme\t"), "ACME");
  EXPECT_EQ(FindSearchText("caf\xE9"), "CAF\xC9");
  EXPECT_EQ(FindSearchText("   "), "");
}

TEST(FindModeTest, ModesAreNamedExactly) {
  for (const char* mode : {"Cust", "Vend", "Prod", "Comp", "PO"})
    EXPECT_NE(FindModeDefinition(mode), nullptr);
  EXPECT_EQ(FindModeDefinition("cust"), nullptr);
}

// 300 customers; the needle sits in a different searched field of each, except every ninth,
// which has it only in fields Find does not search. A tenth of them are deleted.
TEST(FindModeTest, CustomersMatchOnAnySearchedFieldInAnyCaseAndOnlyLiveRecordsOnce) {
  ScratchFileSet file(CustomerFile, "12C", CustomerRecordLength, CustomerKeyDescs);
  std::set<std::string> expected;
  for (int i = 0; i < 300; ++i) {
    CustomerRec c;
    const std::string number = "C" + std::to_string(i);
    const std::string needle = std::string("x") + Needle[i % 3] + "y";
    c.CustomerNo.Set(number);
    c.CustomerName.Set("Customer " + std::to_string(i));
    c.Phone1.Set(i == 13 ? "555-0199" : "555-0100");
    c.CustBillTo1.Set("1 Main Street");
    c.CustNotes.Set(needle);  // never searched
    c.ShipTo1.Set(needle);    // never searched
    switch (i % 9) {
      case 0:
        c.CustomerNo.Set("N" + needle.substr(1, 6));
        break;
      case 1:
        c.CustomerName.Set("Customer " + std::to_string(i) + needle);
        break;
      case 2:
        c.Phone1.Set(needle);
        break;
      case 3:
        c.CustBillTo1.Set(needle);
        break;
      case 4:
        c.CustBillTo2.Set(needle);
        break;
      case 5:
        c.CustBillTo3.Set(needle);
        break;
      case 6:
        c.CustEMail.Set(needle + "@example.com");
        break;
      case 7:
        c.CustBillTo4.Set(needle);
        c.CustBillTo2.Set(needle);
        break;  // two hits, one row
      default:
        break;
    }
    const storage::IsamRecRef ref = file.Add(c);
    if (i % 10 == 5) {
      file.Delete(ref);
    } else if (i % 9 != 8) {
      expected.insert(c.CustomerName.Get());
    }
  }

  const std::vector<FindRow> rows = FindMatchingRows(*FindModeDefinition("Cust"), FindSearchText("needle"));
  EXPECT_EQ(rows.size(), expected.size());
  EXPECT_EQ(Column(rows, 0), expected);
  EXPECT_FALSE(storage::IsamOK);  // the scan ran to the end of the file
  EXPECT_EQ(storage::IsamError, storage::IsamErrNoMoreRecords);

  // Rows list name, number, phone and the four billing lines.
  const std::vector<FindRow> one = FindMatchingRows(*FindModeDefinition("Cust"), FindSearchText("555-0199"));
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0], (FindRow{"Customer 13", "C13", "555-0199", "1 Main Street", "xNEEDLEy", "", ""}));
}

TEST(FindModeTest, ProductsMatchCodeDescriptionVendorAndPriceButNotNotes) {
  ScratchFileSet file(ProductFile, "12P", ProductRecordLength, ProductKeyDescs);
  std::set<std::string> expected;
  for (int i = 0; i < 240; ++i) {
    ProductRec p;
    p.Code.Set("P" + std::to_string(1000 + i));
    p.Description.Set("Widget " + std::to_string(i));
    p.Price.Set(std::to_string(i) + ".99");
    p.PreferredVendor.Set(i % 4 == 0 ? "Acme Supply" : "Bolt Brothers");
    p.Notes.Set("ACME was the first supplier");  // never searched
    file.Add(p);
    if (i % 4 == 0) expected.insert(p.Code.Get());
  }
  const FindModeDef& mode = *FindModeDefinition("Prod");
  const std::vector<FindRow> byVendor = FindMatchingRows(mode, FindSearchText("acme"));
  EXPECT_EQ(Column(byVendor, 0), expected);

  const std::vector<FindRow> byPrice = FindMatchingRows(mode, FindSearchText("117.99"));
  ASSERT_EQ(byPrice.size(), 1u);
  EXPECT_EQ(byPrice[0], (FindRow{"P1117", "Widget 117", "117.99", "Bolt Brothers", "", "", ""}));

  EXPECT_EQ(FindMatchingRows(mode, FindSearchText("widget 23")).size(), 11u);  // 23 and 230-239
  EXPECT_TRUE(FindMatchingRows(mode, FindSearchText("first supplier")).empty());

  // Four columns shown, three hidden.
  int shown = 0;
  for (const FindColumn& column : mode.Columns) shown += column.Width > 0;
  EXPECT_EQ(shown, 4);
}

// 200 companies; every seventh has the text in one of its name, number or address lines, in
// turn; the contact line is not searched.
TEST(FindModeTest, CompaniesMatchNameNumberAndAddressLines) {
  ScratchFileSet file(CompanyFile, "ovcomp", CompanyRecordLength, CompanyKeyDescs);
  std::set<std::string> expected;
  for (int i = 1; i <= 200; ++i) {
    CompanyRec c;
    c.CompanyNumber.Set(std::to_string(i));
    c.CompanyName.Set("Company " + std::to_string(i));
    c.CompanyContact.Set("Harbour office");  // never searched
    if (i % 7 == 0) {
      switch (i / 7 % 5) {
        case 0:
          c.CompanyName.Set("Harbour Company " + std::to_string(i));
          break;
        case 1:
          c.CompanyAddr1.Set("1 harbour road");
          break;
        case 2:
          c.CompanyAddr2.Set("HARBOUR ROAD");
          break;
        case 3:
          c.CompanyAddr3.Set("Old Harbour");
          break;
        default:
          c.CompanyAddr4.Set("harbourside");
          break;
      }
      expected.insert(c.CompanyNumber.Get());
    }
    file.Add(c);
  }
  const FindModeDef& mode = *FindModeDefinition("Comp");
  EXPECT_EQ(Column(FindMatchingRows(mode, FindSearchText("harbour")), 1), expected);

  const std::vector<FindRow> byNumber = FindMatchingRows(mode, FindSearchText("199"));
  ASSERT_EQ(byNumber.size(), 1u);
  EXPECT_EQ(byNumber[0][0], "Company 199");
  EXPECT_EQ(mode.Columns[6].Width, 0);
}

TEST(FindModeTest, AnEmptyFileGivesNoRows) {
  ScratchFileSet file(ProductFile, "12P", ProductRecordLength, ProductKeyDescs);
  EXPECT_TRUE(FindMatchingRows(*FindModeDefinition("Prod"), "A").empty());
}

}  // namespace
}  // namespace forms
