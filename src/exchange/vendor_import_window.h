#pragma once
// "Vendor Import": vendors from a comma-quote delimited file, shown from the Vendor Manager,
// whose close handler then rebuilds the company's files.

#include "exchange/account_import_window.h"

namespace exchange {

class TVendImp : public TAccountImportWindow {
 public:
  explicit TVendImp(QWidget* parent = nullptr);
};

extern TVendImp* VendImp;
TVendImp& CreateVendImp();

}  // namespace exchange
