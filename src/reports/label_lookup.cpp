#include "reports/label_lookup.h"

#include "records/customer_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"

namespace reports {

namespace {

template <class Record, class Field>
bool ReadByCode(std::optional<ReportFile>& file, storage::DataFileUnit& unit, Field Record::*field,
                size_t capacity, int keyNr, const std::string& code, Record& record) {
  if (!file) file.emplace(unit);
  if (!file->Block()) return false;
  Record probe{};
  (probe.*field).Set(code.substr(0, capacity));
  storage::IsamRecRef ref = 0;
  return records::ReadIfOnFile(unit, unit.BuildKey(&probe, keyNr), keyNr, record, ref);
}

}  // namespace

bool QueuedRecords::Customer(const std::string& code, records::CustomerRec& record) {
  return ReadByCode(customers_, records::CustomerUnit(), &records::CustomerRec::CustomerNo, 8, 2, code,
                    record);
}

bool QueuedRecords::Vendor(const std::string& code, records::VendorRec& record) {
  return ReadByCode(vendors_, records::VendorUnit(), &records::VendorRec::VendorNo, 8, 2, code, record);
}

bool QueuedRecords::Product(const std::string& code, records::ProductRec& record) {
  return ReadByCode(products_, records::ProductUnit(), &records::ProductRec::Code, 15, 1, code, record);
}

}  // namespace reports
