#pragma once
// A company "12" in a scratch program directory for the text import tests: the company list file
// holding it (next customer number 1001, next vendor number 5001, default terms "Net 30 Days"),
// its customer, product, invoice and vendor files, the engine started and a fixed clock; the program's
// windows are destroyed after each test.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/clock.h"
#include "records/customer_rec.h"
#include "records/product_rec.h"
#include "support/temp_dir.h"

namespace test_fixtures {

class ImportTest : public ::testing::Test {
 protected:
  ImportTest();
  ~ImportTest() override;

  // Writes bytes to a file of the scratch folder; its full path.
  std::string WriteFile(const std::string& name, const std::string& bytes) const;

  static records::CustomerRec Customer(const std::string& number, const std::string& name);
  static records::ProductRec Product(const std::string& code, const std::string& description);
  // Stores records with their keys (the file opened and closed around it).
  static void FileCustomers(const std::vector<records::CustomerRec>& customers);
  static void FileProducts(const std::vector<records::ProductRec>& products);

  // Every record reached through key 1, in key order (the file opened and closed around it).
  static std::vector<records::CustomerRec> CustomersByName();
  static std::vector<records::ProductRec> ProductsByCode();
  // The live records of the data file in physical order, whatever the index holds.
  static std::vector<records::CustomerRec> CustomersOnDisk();

  // The open company's next customer number as the company list file holds it.
  static std::string StoredNextCustomerNumber();

  testing_support::TempDir dir_;
  platform::text::FixedClock clock_;
};

}  // namespace test_fixtures
