#include "app/customer_file.h"

#include "app/find_box.h"
#include "app/record_file.h"

namespace app {

storage::IsamFileBlock CustomerFile = nullptr;

const storage::DataFileKind& CustomerFileKind() {
  static const storage::DataFileKind kind = RecordFileKind<CustomerRec>(
      "C", "Customers", CustomerKeyDescs, "I am going to create a new, empty customer file for this company.",
      BuildCustomerKey);
  return kind;
}

storage::DataFileUnit& CustomerUnit() {
  static storage::DataFileUnit unit(CustomerFileKind(), CustomerFile);
  return unit;
}

bool CreateCustomerFile() {
  return CustomerUnit().CreateFile();
}

bool OpenCustomerFile() {
  return CustomerUnit().OpenFile();
}

bool RebuildCustomerFile() {
  return CustomerUnit().RebuildFile();
}

bool AddCustomerRecord(const CustomerRec& customer, storage::IsamRecRef& ref) {
  return CustomerUnit().AddRecord(&customer, ref);
}

bool UpdateCustomerRecord(const CustomerRec& customer, const CustomerRec& beforeImage,
                          storage::IsamRecRef ref) {
  return CustomerUnit().UpdateRecord(&customer, &beforeImage, ref);
}

bool DeleteCustomerRecord(storage::IsamRecRef ref) {
  return CustomerUnit().DeleteRecord(ref);
}

bool SearchCustomerKey(storage::IsamKeyStr& key, storage::IsamRecRef& ref, int keyNr) {
  return CustomerUnit().SearchKey(key, ref, keyNr);
}

bool FindCustomer(storage::TRecBrowser& browser, CustomerRec& customer) {
  constexpr int NumberColumn = 1;
  std::optional<FindRow> row = RunFind("Find Customer", "Cust");
  if (!row) return false;
  CustomerRec wanted;
  wanted.CustomerNo.Set((*row)[NumberColumn]);
  return ShowRecordByKey(browser, CustomerUnit(), BuildCustomerKey(wanted, 2), 2, customer, BuildCustomerKey);
}

void AttachCustomerBrowser(storage::TRecBrowser& browser, CustomerRec& customer) {
  AttachRecordBrowser(browser, CustomerFile, customer);
}

}  // namespace app
