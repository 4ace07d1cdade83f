#include "exchange/customer_import_window.h"

#include "forms/form_instance.h"

namespace exchange {

TCustImp* CustImp = nullptr;

TCustImp& CreateCustImp() {
  return forms::FormInstance(CustImp);
}

TCustImp::TCustImp(QWidget* parent)
    : TAccountImportWindow(AccountWindowKind("Customer Import", "Customer Name"),
                           {"Import Customers", "Customer Name:"}, CustomerImportKind, parent) {}

}  // namespace exchange
