#pragma once
// "Customer Import": customers from a comma-quote delimited file, shown from the Customer
// Manager. The first row is shown for the user to verify before anything is written; the
// records are appended by ImportAccounts and the manager rebuilds the files when it closes.

#include <QCheckBox>

#include "exchange/import_window.h"

namespace exchange {

class TCustImp : public TImportWindow {
 public:
  explicit TCustImp(QWidget* parent = nullptr);

  QCheckBox* ForceShip;  // shipping address := billing address

  void Button2Click() override;
};

extern TCustImp* CustImp;
TCustImp& CreateCustImp();

}  // namespace exchange
