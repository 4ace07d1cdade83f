#include "products/product_pick.h"

#include "forms/entry_parts.h"
#include "forms/unusable_file.h"
#include "products/product_manager.h"
#include "records/product_file.h"

namespace products {

bool PickProduct(const std::string& code, const std::string& description) {
  ProductPickStart = records::ProductRec{};
  ProductPickStart.Code.Set(code);
  ProductPickStart.Description.Set(description);
  ProductPickMode = 1;
  ProductPickResult = 0;
  TEditProd& manager = CreateEditProd();
  if (!forms::PickerFileOpens(records::ProductUnit(), manager.Caption())) return false;
  manager.StatusPanel1->setText(forms::kDoubleClickToSelect);
  manager.ShowModal();
  ProductPickMode = 0;
  manager.StatusPanel1->setText(forms::kRightClickForMenu);
  return ProductPickResult == 8;
}

}  // namespace products
