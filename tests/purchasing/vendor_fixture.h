#pragma once
// A company "12" set up in a scratch folder for the tests of the Vendor Manager: the company
// list file holding it (next vendor number 700), its vendor and PO header files, the engine
// started, and the program's forms destroyed afterwards.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "records/po_header_rec.h"
#include "records/vendor_rec.h"
#include "storage/isam.h"
#include "support/temp_dir.h"

namespace test_fixtures {

class VendorFixture : public ::testing::Test {
 protected:
  VendorFixture();
  ~VendorFixture() override;

  static records::VendorRec Vendor(const std::string& number, const std::string& name);
  // Stores vendors in the vendor file (opened and closed around it).
  void File(const std::vector<records::VendorRec>& vendors);
  // Stores PO headers, each a PO number and vendor number, with a received date ("" while open).
  void FilePOs(const std::vector<std::pair<std::string, std::string>>& numberAndVendor,
               const std::string& received = " ");

  // Every vendor on file in number order.
  std::vector<records::VendorRec> StoredVendors();
  // The vendor numbers of the PO headers, in physical order.
  std::vector<std::string> POVendors();
  // How many PO headers the vendor number key finds for a number.
  int POsIndexedFor(const std::string& vendorNumber);

 private:
  testing_support::TempDir dir_;
};

}  // namespace test_fixtures
