#include "exchange/customer_import_window.h"

#include "exchange/account_import.h"
#include "exchange/import_verify_dialog.h"
#include "forms/form_instance.h"
#include "platform/ui/desktop.h"

namespace exchange {

using namespace platform::ui;

TCustImp* CustImp = nullptr;

TCustImp& CreateCustImp() {
  return forms::FormInstance(CustImp);
}

namespace {

const ImportWindowKind& CustomerWindowKind() {
  static const ImportWindowKind kind{
      "Customer Import",
      {"Customer Name", "Number", "Address Filed 1", "Address Field 2", "Address Field 3", "Address Field 4",
       "Ship Address 1", "Ship Address 2", "Ship Address 3", "Ship Address 4", "Phone 1", "Phone 2", "Type",
       "Short Name", "Mail/Sort Code", "E-Mail"},
      {143, 60, 120, 130, 124, 127, 125, 129, 117, 123, 110, 91, 98, 84, 64, 195},
      "CustomerImport",
      "When importing, force billing address into shipping address",
      false};
  return kind;
}

}  // namespace

TCustImp::TCustImp(QWidget* parent) : TImportWindow(CustomerWindowKind(), parent), ForceShip(Option()) {}

void TCustImp::Button2Click() {
  if (Memo1.empty()) return;
  TImpShow& verify = CreateImpShow();
  verify.ShowRecord("Import Customers", "Customer Name:", Row(1), ForceShip->isChecked());
  if (verify.ShowModal() != mrOk) return;
  const std::vector<ImportRow> rows = TakeRowsForImport();
  ImportResult result;
  {
    WaitCursor hourglass;
    result = ImportAccounts(CustomerImportKind(), rows, ForceShip->isChecked(), ShowProgress());
  }
  FinishImport(result);
}

}  // namespace exchange
