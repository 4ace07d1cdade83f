#pragma once
// "Customer Import": customers from a comma-quote delimited file, shown from the Customer
// Manager, whose close handler then rebuilds the company's files.

#include "exchange/account_import_window.h"

namespace exchange {

class TCustImp : public TAccountImportWindow {
 public:
  explicit TCustImp(QWidget* parent = nullptr);
};

extern TCustImp* CustImp;
TCustImp& CreateCustImp();

}  // namespace exchange
