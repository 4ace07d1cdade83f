#include "po_books_fixture.h"

#include "support/scratch_company.h"

#include "platform/text/date_text.h"
#include "records/company_file.h"
#include "records/memo_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "storage/isam.h"

using purchasing::EnteredPO;
using purchasing::EnteredPOLine;
using storage::IsamRecRef;

namespace test_fixtures {

EnteredPOLine POLine(int row, const char* code, const char* quantity, const char* price) {
  EnteredPOLine line;
  line.Row = row;
  line.Code = code;
  line.Quantity = quantity;
  line.Description = *code ? std::string("Some ") + code : "";
  line.Price = price;
  line.Taxable = "N";
  line.Extension = price;
  return line;
}

EnteredPO PO(const char* number, std::vector<EnteredPOLine> lines) {
  EnteredPO po;
  po.Number = number;
  po.VendorNo = "V1";
  po.ShortName = "VENDOR";
  po.Date = "12/01/2026";
  po.DateRequired = "12/15/2026";
  po.ReceivedDate = "12/07/2026";
  po.Terms = "Net 30 Days";
  po.KeyCode = "None";
  po.TaxRate = "";
  po.Net = "10.00";
  po.Tax = "0.00";
  po.Total = "10.00";
  po.Lines = std::move(lines);
  return po;
}

POBooksTest::POBooksTest() : clock_(QDateTime(QDate(2026, 12, 7), QTime(10, 0))) {
  testing_support::EnsureGuiApplication();
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  storage::IsamInitialize(0, 30);
  records::CompanyRec company = testing_support::BooksCompanyRecord();
  company.NextPONumber.Set("5000");
  company.NextReceiverNumber.Set("300");
  using testing_support::CompanyFile;
  EXPECT_TRUE(testing_support::OpenScratchCompany(
      company, {CompanyFile::Products, CompanyFile::POHeaders, CompanyFile::POLines, CompanyFile::POMemos,
                CompanyFile::Vendors}));
  IsamRecRef ref = 0;
  records::VendorRec vendor{};
  vendor.VendorNo.Set("V1");
  vendor.VendorName.Set("First Vendor");
  EXPECT_TRUE(records::AddVendorRecord(vendor, ref));
  storage::IsamCloseFileBlock(records::VendorFile);
  records::VendorFile = nullptr;
  FileProduct("WIDGET", "100");
  FileProduct("SERVICE", "0", true);
  FileProduct("MANUAL", "5", false, true);
  FileProduct("AB", "0");
  FileProduct("ABN", "0");
}

POBooksTest::~POBooksTest() {
  EXPECT_TRUE(ui.Done());
  storage::IsamShutdown();
  records::ProductFile = records::POHeaderFile = records::PODetailFile = records::POMemoFile = nullptr;
  storage::CurrentCompanyNumber = nullptr;
  records::CurrentCompany = records::CompanyRec{};
}

void POBooksTest::FileProduct(const char* code, const char* onHand, bool nonStock, bool nonDepleting) {
  records::ProductRec p{};
  p.Code.Set(code);
  p.OnHand.Set(onHand);
  p.NonStock = nonStock;
  p.NonDepleting = nonDepleting;
  IsamRecRef ref = 0;
  EXPECT_TRUE(records::AddProductRecord(p, ref));
}

std::string POBooksTest::OnHand(const char* code) {
  records::ProductRec wanted{}, found{};
  wanted.Code.Set(code);
  IsamRecRef ref = 0;
  EXPECT_TRUE(records::ReadByKey(records::ProductUnit(), records::BuildProductKey(wanted, 1), 1, found, ref));
  return found.OnHand.Get();
}

records::POHeaderRec POBooksTest::Header(const char* number) {
  records::POHeaderRec wanted{}, found{};
  wanted.PONumber.Set(number);
  IsamRecRef ref = 0;
  EXPECT_TRUE(
      records::ReadByKey(records::POHeaderUnit(), records::BuildPOHeaderKey(wanted, 1), 1, found, ref));
  return found;
}

std::vector<records::PODetailRec> POBooksTest::Details(const char* number) {
  std::vector<records::PODetailRec> found;
  records::PODetailRec wanted{};
  wanted.PONumber.Set(number);
  for (IsamRecRef ref :
       records::RecordsWithKey(records::PODetailFile, 2, records::BuildPODetailKey(wanted, 2))) {
    records::PODetailRec d{};
    storage::IsamGetRec(records::PODetailFile, ref, &d, sizeof d);
    found.push_back(d);
  }
  return found;
}

records::CompanyRec POBooksTest::StoredCompany() {
  records::CompanyRec stored{};
  EXPECT_TRUE(records::ReadCompanyRecord("12", stored));
  return stored;
}

void POBooksTest::ExpectBooksBalance() const {
  EXPECT_EQ(testing_support::BooksProblems(StoredCompany(), stock), std::vector<std::string>{});
}

}  // namespace test_fixtures
