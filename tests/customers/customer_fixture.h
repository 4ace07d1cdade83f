#pragma once
// A company "12" set up in a scratch folder for the tests of the Customer Manager: the company
// list file holding it, its customer and invoice files, the engine started, and the program's
// forms destroyed afterwards.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/customer_rec.h"
#include "records/invoice_rec.h"
#include "storage/isam.h"
#include "support/temp_dir.h"

using namespace records;

namespace test_fixtures {

class CustomerFixture : public ::testing::Test {
 protected:
  CustomerFixture();
  ~CustomerFixture() override;

  static records::CustomerRec Customer(const std::string& number, const std::string& name);
  // Stores customers in the customer file (opened and closed around it).
  void File(const std::vector<records::CustomerRec>& customers);
  void FileInvoices(const std::vector<std::pair<std::string, std::string>>& numberAndCustomer);

  // Every customer on file in number order.
  std::vector<records::CustomerRec> StoredCustomers();
  // The customer numbers of the invoice file's records, in physical order.
  std::vector<std::string> InvoiceCustomers();

 private:
  testing_support::TempDir dir_;
};

}  // namespace test_fixtures
