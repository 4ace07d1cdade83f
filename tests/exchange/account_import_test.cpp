#include "exchange/account_import.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "exchange/comma_text.h"
#include "import_fixture.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"

namespace exchange {
namespace {

using namespace records;
using platform::text::TrimBlanks;

class AccountImportTest : public test_fixtures::ImportTest {
 protected:
  static std::vector<ImportRow> Rows(const std::vector<std::string>& lines) {
    std::vector<ImportRow> rows;
    for (const std::string& line : lines) rows.push_back(SplitCommaText(line));
    return rows;
  }
  // Imports into the customer file as the Customer Manager holds it open, then rebuilds.
  static ImportResult ImportAndRebuild(const std::vector<ImportRow>& rows, bool forceShip = false) {
    EXPECT_TRUE(OpenCustomerFile());
    const ImportResult result = ImportAccounts(CustomerImportKind(), rows, forceShip);
    storage::IsamCloseFileBlock(CustomerFile);
    EXPECT_TRUE(RebuildCompanyDataFiles());
    return result;
  }
  static std::map<std::string, CustomerRec> ByNumber() {
    std::map<std::string, CustomerRec> customers;
    for (const CustomerRec& c : CustomersByName()) customers[c.CustomerNo.Get()] = c;
    return customers;
  }
};

TEST_F(AccountImportTest, EveryFieldOfTheRecordIsFilledFromItsColumnOrItsDefault) {
  const ImportResult result = ImportAndRebuild(Rows({
      "\"Acme Tool Supply\",C-7,\"1 Main St\",Suite,Springfield,USA,\"Dock "
      "4\",S2,S3,S4,555-0100,555-0101,Retail,"
      "ACME,EAST,orders@acme.example",
  }));
  EXPECT_EQ(result.Added, 1);
  const std::vector<CustomerRec> stored = CustomersByName();
  ASSERT_EQ(stored.size(), 1u);
  const CustomerRec& c = stored[0];
  const std::vector<std::pair<std::string, std::string>> fields = {
      {c.CustomerName.Get(), "Acme Tool Supply"},
      {c.CustomerNo.Get(), "C-7"},
      {c.CustBillTo1.Get(), "1 Main St"},
      {c.CustBillTo2.Get(), "Suite"},
      {c.CustBillTo3.Get(), "Springfield"},
      {c.CustBillTo4.Get(), "USA"},
      {c.ShipTo1.Get(), "Dock 4"},
      {c.ShipTo2.Get(), "S2"},
      {c.ShipTo3.Get(), "S3"},
      {c.ShipTo4.Get(), "S4"},
      {c.Phone1.Get(), "555-0100"},
      {c.Phone2.Get(), "555-0101"},
      {c.CustomerType.Get(), "Retail"},
      {c.ShortName.Get(), "ACME"},
      {c.MailSortCode.Get(), "EAST"},
      {c.CustEMail.Get(), "orders@acme.example"},
      {c.CustBalance.Get(), "0.00"},
      {c.CreditLimit.Get(), "0.00"},
      {c.CustAging1.Get() + c.CustAging2.Get() + c.CustAging3.Get() + c.CustAging4.Get(), "0.000.000.000.00"},
      {c.TaxExempt.Get() + c.NotesOnInvoice.Get() + c.NotesOnStatement.Get() + c.CreditHold.Get(), "NNNN"},
      {c.PaymentTerms.Get(), "Net 30 Days"},
      {c.CustNotes.Get() + c.LastPayment.Get() + c.LastInvoice.Get(), ""},
  };
  for (const auto& [stored, expected] : fields) EXPECT_EQ(stored, expected);
}

TEST_F(AccountImportTest, VendorsTakeTheSameColumnsWithTheirOwnTermsAndCounter) {
  ASSERT_TRUE(OpenVendorFile());
  storage::IsamRecRef ref = 0;
  VendorRec filed;
  filed.VendorNo.Set("V-1");
  filed.VendorName.Set("Parts Depot");
  ASSERT_TRUE(AddVendorRecord(filed, ref));
  const ImportResult result = ImportAccounts(
      VendorImportKind(),
      Rows({"\"Parts Depot\",,\"9 Mill Rd\",,,,,,,,555-0200,,Wholesale,,SORT,sales@parts.example",
            "\"Bolt Works\",V-1"}),
      true);
  storage::IsamCloseFileBlock(VendorFile);
  EXPECT_EQ(result.Added, 2);
  ASSERT_TRUE(RebuildCompanyDataFiles());

  std::map<std::string, VendorRec> vendors;
  ASSERT_TRUE(OpenVendorFile());
  ForEachRecordByKey<VendorRec>(VendorFile, 1, [&](const VendorRec& v) { vendors[v.VendorNo.Get()] = v; });
  storage::IsamCloseFileBlock(VendorFile);
  ASSERT_EQ(vendors.size(), 3u);
  const VendorRec& depot = vendors.at("5002");
  EXPECT_EQ(depot.VendorName.Get(), "Parts Depot 5002");
  EXPECT_EQ(depot.OrderAddr1.Get() + "|" + depot.ShipTo1.Get(), "9 Mill Rd|9 Mill Rd");
  EXPECT_EQ(depot.Phone1.Get() + "|" + depot.VendorType.Get() + "|" + depot.MailSortCode.Get() + "|" +
                depot.VendEMail.Get() + "|" + depot.ShortName.Get(),
            "555-0200|Wholesale|SORT|sales@parts.example|PDepot 500");
  EXPECT_EQ(depot.POTerms.Get(), " ");
  EXPECT_EQ(depot.Balance.Get() + depot.Amount1.Get() + depot.Amount4.Get() +
                platform::text::ReadShortString(depot.Reserved111, 10),
            "0.000.000.000.00");
  EXPECT_EQ(depot.TaxExempt.Get() + depot.NotesOnPO.Get() + depot.SecondNotesFlag.Get() + depot.Hold.Get(),
            "NNNN");
  EXPECT_EQ(vendors.at("V-1B").VendorName.Get(), "Bolt Works");
  CompanyRec company;
  ASSERT_TRUE(ReadCompanyRecord("12", company));
  EXPECT_EQ(company.NextVendorNumber.Get(), "5003");
  EXPECT_EQ(company.NextCustomerNumber.Get(), "1001");  // the customers' counter is not touched
}

TEST_F(AccountImportTest, ForcedShippingTakesTheBillingAddressAndLongCellsAreCut) {
  ImportAndRebuild(Rows({"\"North Store\",N1,B1,B2,B3,B4,S1,S2,S3,S4,,,,\"" + std::string(20, 'x') + "\""}),
                   true);
  const CustomerRec c = CustomersByName().at(0);
  EXPECT_EQ(c.ShipTo1.Get() + c.ShipTo2.Get() + c.ShipTo3.Get() + c.ShipTo4.Get(), "B1B2B3B4");
  EXPECT_EQ(c.ShortName.Get(), std::string(10, 'x'));
}

TEST_F(AccountImportTest, NumbersAndNamesAlreadyTakenAreMadeUnique) {
  const std::string name35 = "ABCDEFGHIJ KLMNOPQRST UVWXYZ 123456";
  ASSERT_EQ(name35.size(), 35u);
  FileCustomers(
      {Customer("500", "Acme Tool Supply"), Customer("ABCDEFGH", "Eight Chars Inc"), Customer("12", name35)});
  ImportAndRebuild(Rows({
      "\"Acme Tool Supply\",500",     // number and name on file
      "\"Widget World\"",             // numbered 1002: one past the company's 1001
      "\"Long Number Co\",ABCDEFGH",  // an 8-character number has no room for "B"
      "Widget",                       // 1003
      "\"Widget World\"",             // the name given earlier in this run: 1004
      "\"" + name35 + "\",77",        // the suffix must fit within the 30 characters of the key
      "\"Second Co\",1005",           // given; the counter steps past it afterwards
      "\"Third Co\"",                 // 1006
  }));
  using Stored = std::multimap<std::string, std::pair<std::string, std::string>>;
  const Stored expected = {
      {"500", {"Acme Tool Supply", ""}},
      {"500B", {"Acme Tool Supply 500B", "ATool Supp"}},
      {"1002", {"Widget World", "WWorld"}},
      {"ABCDEFGH", {"Eight Chars Inc", ""}},
      {"ABCDEFGH", {"Long Number Co", "LNumber Co"}},
      {"1003", {"Widget", "Widget"}},
      {"1004", {"Widget World 1004", "WWorld 100"}},
      {"12", {name35, ""}},
      {"77", {"ABCDEFGHIJ KLMNOPQRST UVWXY 77", "AKLMNOPQRS"}},
      {"1005", {"Second Co", "SCo"}},
      {"1006", {"Third Co", "TCo"}},
  };
  Stored stored;
  for (const CustomerRec& c : CustomersByName())
    stored.emplace(c.CustomerNo.Get(), std::make_pair(c.CustomerName.Get(), c.ShortName.Get()));
  auto sorted = [](const Stored& m) { return std::multiset<Stored::value_type>(m.begin(), m.end()); };
  EXPECT_EQ(sorted(stored), sorted(expected));
  EXPECT_EQ(StoredNextCustomerNumber(), "1007");
  EXPECT_EQ(CurrentCompany.NextCustomerNumber.Get(), "1007");
}

TEST_F(AccountImportTest, ANameMadeUniqueThatIsTakenTooGetsAFurtherMark) {
  FileCustomers({Customer("5", "Acme"), Customer("6", "Acme 1002"), Customer("7", "Acme 1002-2")});
  ImportAndRebuild(Rows({"Acme"}));
  std::set<std::string> names;
  for (const CustomerRec& c : CustomersByName()) names.insert(c.CustomerName.Get());
  EXPECT_EQ(names, (std::set<std::string>{"Acme", "Acme 1002", "Acme 1002-2", "Acme 1002-3"}));
}

TEST_F(AccountImportTest, TheCounterStartsPastTheLeadingDigitsOfEveryNumber) {
  const struct {
    std::string companyNext;
    std::vector<std::string> onFile;
    std::string firstAssigned;
  } cases[] = {
      {"1001", {}, "1002"},
      {"", {}, "2"},
      {"", {"7X", "B900"}, "8"},
      {"A7", {"2000B", "15"}, "2001"},
      {"99999998", {}, "99999999"},
      // Past the 8 characters of a customer number: refused whole, never cut to a lower number.
      {"99999999", {}, ""},
      {"", {"99999999"}, ""},
      {"99999999999999999999", {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.companyNext);
    ASSERT_TRUE(
        UpdateCurrentCompanyRecord([&](CompanyRec& co) { co.NextCustomerNumber.Set(c.companyNext); }));
    const std::string storedBefore = StoredNextCustomerNumber();
    ASSERT_TRUE(OpenCustomerFile());
    for (std::size_t i = 0; i < c.onFile.size(); ++i) {
      storage::IsamRecRef ref = 0;
      EXPECT_TRUE(AddCustomerRecord(Customer(c.onFile[i], "On File " + std::to_string(i)), ref));
    }
    if (c.firstAssigned.empty()) {
      EXPECT_THROW(ImportAccounts(CustomerImportKind(), Rows({"\"Counted Co\""}), false),
                   storage::PostingFailed);
    } else {
      ImportAccounts(CustomerImportKind(), Rows({"\"Counted Co\""}), false);
    }
    storage::IsamCloseFileBlock(CustomerFile);
    std::set<std::string> numbers;
    for (const CustomerRec& c2 : CustomersOnDisk())
      if (c2.CustomerName.Get() == "Counted Co") numbers.insert(c2.CustomerNo.Get());
    EXPECT_EQ(numbers,
              c.firstAssigned.empty() ? std::set<std::string>{} : std::set<std::string>{c.firstAssigned});
    // What this run keeps of the company is what is stored, a refused import's counter as it was.
    EXPECT_EQ(CurrentCompany.NextCustomerNumber.Get(), StoredNextCustomerNumber());
    if (c.firstAssigned.empty()) {
      EXPECT_EQ(StoredNextCustomerNumber(), storedBefore);
    }
    ASSERT_TRUE(CreateCustomerFile());  // afresh for the next case
  }
}

// Several hundred rows, a quarter of whose names and many of whose numbers are on file already
// or repeat in the file: after the rebuild every record of the file and of the import is there,
// reachable by its unique name.
TEST_F(AccountImportTest, HundredsOfCustomersWithDuplicatesAllSurviveTheRebuild) {
  auto poolName = [](int i) { return "Trading" + std::to_string(100 + i) + " Company"; };
  std::vector<CustomerRec> onFile;
  for (int i = 0; i < 20; ++i) onFile.push_back(Customer(std::to_string(i + 1), poolName(i)));
  FileCustomers(onFile);

  std::mt19937 random(34);
  std::vector<std::string> lines;
  std::map<std::string, int> expectedPerName;
  for (const CustomerRec& c : onFile) ++expectedPerName[c.CustomerName.Get()];
  for (int row = 0; row < 300; ++row) {
    const std::string name = poolName(static_cast<int>(random() % 80));
    std::string number;
    switch (random() % 3) {
      case 0:
        break;  // assigned
      case 1:
        number = std::to_string(random() % 40 + 1);
        break;
      default:
        number = "N" + std::to_string(row);
        break;
    }
    ++expectedPerName[name];
    lines.push_back("\"" + name + "\"," + number);
  }
  lines.push_back("");  // a blank line imports as a record with an assigned number
  lines.push_back("");
  const ImportResult result = ImportAndRebuild(Rows(lines));
  EXPECT_EQ(result.Added, 302);

  const std::vector<CustomerRec> byName = CustomersByName();
  EXPECT_EQ(byName.size(), 322u);
  EXPECT_EQ(CustomersOnDisk().size(), 322u);
  std::map<std::string, int> storedPerName;
  std::set<std::string> assigned;
  int64_t largestAssigned = 0;
  for (const CustomerRec& c : byName) {
    const std::string number = TrimBlanks(c.CustomerNo.Get());
    std::string name = TrimBlanks(c.CustomerName.Get());
    // A name made unique carries " " + its number (and "-2", ... should that be taken too).
    // An empty name made unique is the number alone.
    if (!expectedPerName.contains(name))
      name = name == number ? "" : name.substr(0, name.rfind(" " + number));
    ++storedPerName[name];
    const bool counted = number.find_first_not_of("0123456789") == std::string::npos;
    if (counted && number.size() == 4 && number >= "1002") {
      EXPECT_TRUE(assigned.insert(number).second) << "assigned twice: " << number;
      largestAssigned = std::max<int64_t>(largestAssigned, std::stoll(number));
    }
  }
  expectedPerName[""] = 2;
  EXPECT_EQ(storedPerName, expectedPerName);
  EXPECT_EQ(StoredNextCustomerNumber(), std::to_string(largestAssigned + 1));
}

// The customer export's "Comma/Quote" line with its default fields: name, number, billing and
// shipping address, phones, type, short name, sort code and e-mail, each trimmed and quoted.
std::string ExportLine(const CustomerRec& c) {
  std::string line;
  for (const std::string& field :
       {c.CustomerName.Get(), c.CustomerNo.Get(), c.CustBillTo1.Get(), c.CustBillTo2.Get(),
        c.CustBillTo3.Get(), c.CustBillTo4.Get(), c.ShipTo1.Get(), c.ShipTo2.Get(), c.ShipTo3.Get(),
        c.ShipTo4.Get(), c.Phone1.Get(), c.Phone2.Get(), c.CustomerType.Get(), c.ShortName.Get(),
        c.MailSortCode.Get(), c.CustEMail.Get()})
    line += (line.empty() ? "\"" : "\",\"") + TrimBlanks(field);
  return line + "\"";
}

TEST_F(AccountImportTest, CustomersExportedAsCommaQuoteTextComeBackAsTheyWere) {
  std::vector<CustomerRec> exported;
  for (int i = 0; i < 40; ++i) {
    CustomerRec c = Customer(std::to_string(2000 + i), "Firm " + std::to_string(i) + ", Ltd.");
    c.CustBillTo1.Set(std::to_string(i) + " Main St, Suite 4");
    c.CustBillTo3.Set("Springfield");
    c.ShipTo2.Set("Dock " + std::to_string(i));
    c.Phone1.Set("555-01" + std::to_string(i));
    c.CustomerType.Set(i % 2 ? "Retail" : "");
    c.ShortName.Set("FIRM" + std::to_string(i));
    c.MailSortCode.Set("Z" + std::to_string(i % 7));
    c.CustEMail.Set("firm" + std::to_string(i) + "@example.com");
    exported.push_back(c);
  }
  std::vector<std::string> lines;
  for (const CustomerRec& c : exported) lines.push_back(ExportLine(c));
  EXPECT_EQ(ImportAndRebuild(Rows(lines)).Added, 40);
  std::map<std::string, CustomerRec> imported = ByNumber();
  ASSERT_EQ(imported.size(), 40u);
  for (const CustomerRec& c : exported) EXPECT_EQ(ExportLine(imported.at(c.CustomerNo.Get())), ExportLine(c));
}

// Records appended without keys, as the imports leave them, to the customer and invoice files,
// and to the product file that a window holds open.
TEST_F(AccountImportTest, TheRebuildIndexesEveryFileSetOfTheCompanyThatNoWindowHolds) {
  auto appendUnkeyed = [](storage::IsamFileBlock& file, bool (*open)(), const auto& record, bool close) {
    ASSERT_TRUE(open());
    storage::IsamRecRef ref = 0;
    storage::IsamAddRec(file, ref, &record, sizeof record);
    EXPECT_TRUE(storage::IsamOK);
    if (close) storage::IsamCloseFileBlock(file);
  };
  InvoiceRec invoice;
  invoice.InvoiceNo.Set("501");
  appendUnkeyed(CustomerFile, OpenCustomerFile, Customer("1", "Unkeyed"), true);
  appendUnkeyed(InvoiceFile, OpenInvoiceFile, invoice, true);
  appendUnkeyed(ProductFile, OpenProductFile, Product("P1", "Held open"), false);

  EXPECT_TRUE(RebuildCompanyDataFiles());
  EXPECT_EQ(storage::IsamUsedKeys(ProductFile, 1), 0);  // left alone while it is held
  storage::IsamCloseFileBlock(ProductFile);
  EXPECT_EQ(CustomersByName().size(), 1u);
  ASSERT_TRUE(OpenInvoiceFile());
  EXPECT_EQ(storage::IsamUsedKeys(InvoiceFile, 1), 1);
  storage::IsamCloseFileBlock(InvoiceFile);
}

TEST(DerivedShortNameTest, TakesTheFirstLetterAndTheWordsAfterTheFirstBlank) {
  EXPECT_EQ(DerivedShortName("Acme Tool Supply"), "ATool Supp");
  EXPECT_EQ(DerivedShortName("Widgets"), "Widgets");
  EXPECT_EQ(DerivedShortName("Extraordinary"), "Extraordin");
  EXPECT_EQ(DerivedShortName(""), "");
  EXPECT_EQ(DerivedShortName("A B"), "AB");
}

}  // namespace
}  // namespace exchange
