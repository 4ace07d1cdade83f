#include "po_output_fixture.h"

#include <QRegularExpression>

#include "purchasing/po_posting.h"
#include "purchasing/receiving.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "storage/isam.h"

namespace test_fixtures {

POOutputTest::POOutputTest() {
  printer_ = new platform::print::RecordingPrintBackend;
  printScope_ = std::make_unique<platform::print::ScopedPrintBackend>(
      std::unique_ptr<platform::print::PrintBackend>(printer_));
  // Stored, as postings read the company record again.
  EXPECT_TRUE(records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) {
    c.CompanyName.Set("Kestrel Hardware");
    c.POCaption.Set("PURCHASE ORDER");
    c.POCopyCaption.Set("PO COPY");
    c.DefaultTaxRate.Set("8.25");
    c.CompanyEMail.Set("shop@kestrel.example");
  }));
  ChangeVendor([](records::VendorRec& v) {
    v.VendorName.Set("First Vendor Ltd");
    const char* address[] = {"1 Mill Road", "Unit 4", "", "Leeds"};
    for (int line = 0; line < 4; ++line) records::OrderAddressFields(v)[line]->Set(address[line]);
    v.NotesOnPO.Set("Y");
    v.VendNotes.Set("Deliver to the side gate.");
    v.VendEMail.Set("orders@first.example");
    v.Amount1.Set("1234.5");
    v.Amount2.Set("0");
    v.Amount3.Set("");
    v.Amount4.Set("-12");
  });
}

POOutputTest::~POOutputTest() = default;

void POOutputTest::Receive(const char* number, const char* receiver,
                           const std::map<std::string, std::string>& inToday) {
  purchasing::ReceivingList list = purchasing::LoadReceivingList(number, false);
  purchasing::Receipt receipt{list.PONumber, receiver, QDate(2026, 12, 5), list.Rows};
  for (purchasing::ReceivingRow& row : receipt.Rows)
    if (inToday.count(row.Code)) row.InToday = inToday.at(row.Code);
  purchasing::PostReceipt(receipt);
}

void POOutputTest::PostMemoPO(const char* number, std::vector<std::string> lines, const char* product,
                              const char* quantity) {
  purchasing::EnteredPO po = PO(number, {});
  po.Memo = true;
  po.MemoLines = std::move(lines);
  po.MemoProduct = POLine(1, product, quantity, "");
  po.MemoProduct.Description = "Memo PO";
  purchasing::PostNewPO(po);
}

void POOutputTest::ChangeVendor(const std::function<void(records::VendorRec&)>& change) {
  records::FileForAction file(records::VendorFile, records::OpenVendorFile);
  ASSERT_TRUE(file.Open());
  records::VendorRec wanted{}, vendor{};
  wanted.VendorNo.Set("V1");
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(records::ReadByKey(records::VendorUnit(), records::BuildVendorKey(wanted, 2), 2, vendor, ref));
  const records::VendorRec before = vendor;
  change(vendor);
  ASSERT_TRUE(records::UpdateVendorRecord(vendor, before, ref));
}

int POOutputTest::Jobs() const {
  return static_cast<int>(printer_->Log().filter(QRegularExpression("^BeginDoc\\(")).size());
}

int POOutputTest::PagesTitled(const char* caption) const {
  return static_cast<int>(
      printer_->Log()
          .filter(QRegularExpression("^TextOut\\(\\d+, \\d+, \"" + QString(caption) + "\"\\)"))
          .size());
}

}  // namespace test_fixtures
