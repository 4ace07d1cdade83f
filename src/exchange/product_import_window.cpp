#include "exchange/product_import_window.h"

#include "exchange/product_import.h"
#include "forms/form_instance.h"
#include "platform/ui/desktop.h"

namespace exchange {

using namespace platform::ui;

TProdImport* ProdImport = nullptr;

TProdImport& CreateProdImport() {
  return forms::FormInstance(ProdImport);
}

namespace {

ImportWindowKind ProductWindowKind() {
  return {"Product Import",
          {"Product Code", "Invoice Line-Item Description", "PO Line-Item Description", "Inv. Tax", "PO Tax",
           "Non-Stock", "Non-Deplete", "Sales Price", "List Price", "Your Cost", "Stock Balance",
           "Storage Location", "Key Code", "Max. Quan.", "Min. Quan.", "Target Quan."},
          {},
          "ProductImport",
          "Force invoice description into PO description",
          true};
}

}  // namespace

TProdImport::TProdImport(QWidget* parent) : TImportWindow(ProductWindowKind(), parent), CheckBox1(Option()) {}

void TProdImport::Button2Click() {
  if (Memo1.empty()) return;
  const std::vector<ImportRow> rows = TakeRowsForImport();
  ImportResult result;
  {
    WaitCursor hourglass;
    result = ImportProducts(rows, CheckBox1->isChecked(), ShowProgress());
  }
  FinishImport(result);
}

}  // namespace exchange
