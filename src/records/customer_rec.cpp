#include "records/customer_rec.h"

#include "records/record_key.h"

namespace records {

CustomerRec SelectedCustomer;

storage::IsamKeyStr BuildCustomerKey(const CustomerRec& record, int keyNr) {
  switch (keyNr) {
    case 1:
      return KeyOfText(record.CustomerName.View(), CustomerKeyDescs[0].KeyLength);
    case 2:
      return KeyOfText(record.CustomerNo.View(), CustomerKeyDescs[1].KeyLength);
    default:
      return {};
  }
}

}  // namespace records
