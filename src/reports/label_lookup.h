#pragma once
// The customer, vendor and product files of the current company held open while the queued rows
// are looked up by their code: customers and vendors by number, products by code.

#include <string>

#include "records/customer_rec.h"
#include "records/product_rec.h"
#include "records/vendor_rec.h"
#include "reports/report_walk.h"

namespace reports {

class QueuedRecords {
 public:
  QueuedRecords();

  // False when no record has exactly that code.
  bool Customer(const std::string& code, records::CustomerRec& record);
  bool Vendor(const std::string& code, records::VendorRec& record);
  bool Product(const std::string& code, records::ProductRec& record);

 private:
  ReportFile customers_;
  ReportFile vendors_;
  ReportFile products_;
};

}  // namespace reports
