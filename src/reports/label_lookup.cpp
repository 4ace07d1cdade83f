#include "reports/label_lookup.h"

#include "records/customer_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"

namespace reports {

namespace {

template <class Record, class Field>
bool ReadByCode(storage::DataFileUnit& unit, Field Record::*field, size_t capacity, int keyNr,
                const std::string& code, Record& record) {
  if (!unit.File()) return false;
  Record probe{};
  (probe.*field).Set(code.substr(0, capacity));
  storage::IsamRecRef ref = 0;
  return records::ReadByKey(unit, unit.BuildKey(&probe, keyNr), keyNr, record, ref);
}

}  // namespace

QueuedRecords::QueuedRecords()
    : customers_(records::CustomerUnit()),
      vendors_(records::VendorUnit()),
      products_(records::ProductUnit()) {}

bool QueuedRecords::Customer(const std::string& code, records::CustomerRec& record) {
  return ReadByCode(records::CustomerUnit(), &records::CustomerRec::CustomerNo, 8, 2, code, record);
}

bool QueuedRecords::Vendor(const std::string& code, records::VendorRec& record) {
  return ReadByCode(records::VendorUnit(), &records::VendorRec::VendorNo, 8, 2, code, record);
}

bool QueuedRecords::Product(const std::string& code, records::ProductRec& record) {
  return ReadByCode(records::ProductUnit(), &records::ProductRec::Code, 15, 1, code, record);
}

}  // namespace reports
