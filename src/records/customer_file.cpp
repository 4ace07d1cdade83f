#include "records/customer_file.h"

#include "platform/text/key_text.h"
#include "records/record_file.h"

namespace records {

storage::IsamFileBlock CustomerFile = nullptr;

namespace {

std::string CustomerSubject(const CustomerRec& customer) {
  return "Customer " + platform::text::TrimBlanks(customer.CustomerNo.Get());
}

}  // namespace

const storage::DataFileKind& CustomerFileKind() {
  static const storage::DataFileKind kind = RecordFileKind<CustomerRec>(
      "C", "Customers", CustomerKeyDescs, "I am going to create a new, empty customer file for this company.",
      BuildCustomerKey, {}, CustomerSubject);
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

bool UpdateCustomerFields(const CustomerRec& customer, const CustomerRec& beforeImage,
                          storage::IsamRecRef ref) {
  return CustomerUnit().UpdateFieldsOnly(&customer, &beforeImage, ref);
}

bool DeleteCustomerRecord(storage::IsamRecRef ref) {
  return CustomerUnit().DeleteRecord(ref);
}

bool SearchCustomerKey(storage::IsamKeyStr& key, storage::IsamRecRef& ref, int keyNr) {
  return CustomerUnit().SearchKey(key, ref, keyNr);
}

void AttachCustomerBrowser(storage::TRecBrowser& browser, CustomerRec& customer) {
  AttachRecordBrowser(browser, CustomerFile, customer);
}

}  // namespace records
