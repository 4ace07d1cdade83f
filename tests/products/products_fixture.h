#pragma once
// A company "1" in a scratch folder with its company list file and an empty product file, the
// engine started and the clock stopped: what the product windows and routines need to run.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/text/clock.h"
#include "records/company_rec.h"
#include "records/product_rec.h"
#include "support/temp_dir.h"

using namespace records;

namespace test_fixtures {

class ProductsTest : public ::testing::Test {
 protected:
  ProductsTest();
  ~ProductsTest() override;

  // Files products in the product file with their keys (the file is closed again).
  void FileProducts(const std::vector<records::ProductRec>& products);
  // The stored product with that code, read with the file opened and closed around it.
  std::optional<records::ProductRec> StoredProduct(const std::string& code);
  // The company as the company list file holds it.
  records::CompanyRec StoredCompany();

  // A complete product, as the dialog would store it: fixed price, automatic update.
  static records::ProductRec Product(const std::string& code, const std::string& description,
                                     const std::string& price = "10.00");

  testing_support::TempDir dir_;
  platform::text::FixedClock clock_;
};

}  // namespace test_fixtures
