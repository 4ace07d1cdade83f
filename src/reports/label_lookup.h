#pragma once
// The customer, vendor and product files of the current company held open while the queued rows
// are looked up by their code: customers and vendors by number, products by code. Each file is
// opened when the first row that needs it is looked up, and stays open until the end.

#include <optional>
#include <string>

#include "records/customer_rec.h"
#include "records/product_rec.h"
#include "records/vendor_rec.h"
#include "reports/report_walk.h"

namespace reports {

class QueuedRecords {
 public:
  // False when no record has exactly that code (or the file is not there); a file that is there
  // and cannot be opened or read raises records::FileUnusable: that is never "no longer on file".
  bool Customer(const std::string& code, records::CustomerRec& record);
  bool Vendor(const std::string& code, records::VendorRec& record);
  bool Product(const std::string& code, records::ProductRec& record);

 private:
  std::optional<ReportFile> customers_;
  std::optional<ReportFile> vendors_;
  std::optional<ReportFile> products_;
};

}  // namespace reports
