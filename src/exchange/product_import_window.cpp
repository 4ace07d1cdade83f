#include "exchange/product_import_window.h"

#include "exchange/product_import.h"
#include "forms/form_instance.h"
#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"

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

// A number that its field would cut refuses the file, naming where it stands.
bool TProdImport::NumbersFit() {
  const std::optional<ImportCellFault> fault = FirstNumberTooLong(Rows());
  if (!fault) return true;
  MessageBox(QString("Line %1, column \"%2\": %3 is longer than the field's 10 characters. Nothing was "
                     "imported; correct the file and open it again.")
                 .arg(fault->Line)
                 .arg(ProductWindowKind().Titles[fault->Column])
                 .arg(platform::text::ToQString(fault->Text)),
             "Product Import", MsgButtons::Ok, MsgIcon::Warning);
  return false;
}

void TProdImport::Button2Click() {
  if (Memo1.empty() || !NumbersFit()) return;
  RunImport([this](const std::vector<ImportRow>& rows, const ImportProgress& progress) {
    return ImportProducts(rows, CheckBox1->isChecked(), progress);
  });
}

}  // namespace exchange
