#include "products/product_pick.h"

#include "forms/entry_parts.h"
#include "platform/ui/message_box.h"
#include "products/product_manager.h"

namespace products {

bool PickProduct(const std::string& code, const std::string& description) {
  ProductPickStart = records::ProductRec{};
  ProductPickStart.Code.Set(code);
  ProductPickStart.Description.Set(description);
  ProductPickMode = 1;
  ProductPickResult = 0;
  TEditProd& manager = CreateEditProd();
  manager.StatusPanel1->setText(forms::kDoubleClickToSelect);
  manager.ShowModal();
  ProductPickMode = 0;
  manager.StatusPanel1->setText(forms::kRightClickForMenu);
  return ProductPickResult == 8;
}

bool AskToPickUnknownCode() {
  return platform::ui::MessageBox("That product code was not found. Would you like to add it now?",
                                  "Product Code", platform::ui::MsgButtons::YesNo,
                                  platform::ui::MsgIcon::Question) == platform::ui::mrYes;
}

}  // namespace products
