#include "vendor_fixture.h"

#include "forms/find_box.h"
#include "forms/list_window.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "purchasing/vendor_dialog.h"
#include "purchasing/vendor_manager.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/po_header_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "storage/stat_form.h"

namespace test_fixtures {

using namespace records;
using storage::IsamRecRef;

VendorFixture::VendorFixture() {
  testing_support::EnsureGuiApplication();
  storage::IsamInitialize(0, 30);
  InstallCompanyFileNames();
  CurrentCompany = DefaultCompanyRecord();
  CurrentCompany.CompanyNumber.Set("12");
  CurrentCompany.CompanyName.Set("Acme Supply");
  CurrentCompany.NextVendorNumber.Set("700");
  CompanyWorkRec = CurrentCompany;
  EXPECT_TRUE(CreateCompanyFile());
  EXPECT_TRUE(OpenCompanyFile());
  IsamRecRef ref = 0;
  EXPECT_TRUE(AddCompanyRecord(ref));
  CloseCompanyFile();
  EXPECT_TRUE(CreateVendorFile());
  EXPECT_TRUE(CreatePOHeaderFile());
}

VendorFixture::~VendorFixture() {
  platform::ui::Application->DestroyForms();
  purchasing::VenList = nullptr;
  purchasing::VendEdit = nullptr;
  forms::ListWindow = nullptr;
  forms::FindBox = nullptr;
  storage::StatForm = nullptr;
  storage::IsamShutdown();
  CurrentCompany = CompanyRec{};
  CompanyWorkRec = CompanyRec{};
  VendorBuf = VendorRec{};
}

VendorRec VendorFixture::Vendor(const std::string& number, const std::string& name) {
  VendorRec v;
  v.VendorNo.Set(number);
  v.VendorName.Set(name);
  v.Balance.Set("0.00");
  return v;
}

void VendorFixture::File(const std::vector<VendorRec>& vendors) {
  ASSERT_TRUE(OpenVendorFile());
  for (const VendorRec& v : vendors) {
    IsamRecRef ref = 0;
    EXPECT_TRUE(AddVendorRecord(v, ref)) << v.VendorName.Get();
  }
  storage::IsamCloseFileBlock(VendorFile);
}

void VendorFixture::FilePOs(const std::vector<std::pair<std::string, std::string>>& numberAndVendor,
                            const std::string& received) {
  ASSERT_TRUE(OpenPOHeaderFile());
  for (const auto& [number, vendor] : numberAndVendor) {
    POHeaderRec po;
    po.PONumber.Set(number);
    po.POStatus.Set("O");
    po.VendorNo.Set(vendor);
    po.SortDate.Set("2026/12/07");
    po.ReceivedDate.Set(received);
    IsamRecRef ref = 0;
    EXPECT_TRUE(AddPOHeaderRecord(po, ref)) << number;
  }
  storage::IsamCloseFileBlock(POHeaderFile);
}

std::vector<VendorRec> VendorFixture::StoredVendors() {
  std::vector<VendorRec> vendors;
  EXPECT_TRUE(OpenVendorFile());
  ForEachRecordByKey<VendorRec>(VendorFile, 2, [&](const VendorRec& v) { vendors.push_back(v); });
  storage::IsamCloseFileBlock(VendorFile);
  return vendors;
}

std::vector<std::string> VendorFixture::POVendors() {
  std::vector<std::string> vendors;
  EXPECT_TRUE(OpenPOHeaderFile());
  POHeaderRec po;
  IsamRecRef ref = 0;
  for (;;) {
    storage::IsamNextRec(POHeaderFile, ref);
    if (!storage::IsamOK) break;
    storage::IsamGetRec(POHeaderFile, ref, &po, sizeof po);
    vendors.push_back(po.VendorNo.Get());
  }
  storage::IsamCloseFileBlock(POHeaderFile);
  return vendors;
}

int VendorFixture::POsIndexedFor(const std::string& vendorNumber) {
  EXPECT_TRUE(OpenPOHeaderFile());
  POHeaderRec po;
  po.VendorNo.Set(vendorNumber);
  const int count = static_cast<int>(RecordsWithKey(POHeaderFile, 2, BuildPOHeaderKey(po, 2)).size());
  storage::IsamCloseFileBlock(POHeaderFile);
  return count;
}

}  // namespace test_fixtures
