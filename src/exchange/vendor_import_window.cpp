#include "exchange/vendor_import_window.h"

#include "forms/form_instance.h"

namespace exchange {

TVendImp* VendImp = nullptr;

TVendImp& CreateVendImp() {
  return forms::FormInstance(VendImp);
}

TVendImp::TVendImp(QWidget* parent)
    : TAccountImportWindow(AccountWindowKind("Vendor Import", "Vendor Name"),
                           {"Verify Vendor Import Record", "Vendor Name:"}, VendorImportKind, parent) {}

}  // namespace exchange
