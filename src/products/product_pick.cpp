#include "products/product_pick.h"

#include "forms/entry_parts.h"
#include "forms/unusable_file.h"
#include "platform/ui/message_box.h"
#include "products/product_manager.h"
#include "records/product_file.h"
#include "records/record_file.h"

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

bool ProductOnFile(const std::string& code, records::ProductRec& product) {
  const records::FileForAction file(records::ProductFile, records::OpenProductFile);
  storage::IsamRecRef ref = 0;
  return records::ThereToRead(file, records::ProductUnit()) && records::ReadProductByCode(code, product, ref);
}

std::vector<std::optional<records::ProductRec>> ProductsOnFile(const std::vector<std::string>& codes) {
  const records::FileForAction file(records::ProductFile, records::OpenProductFile);
  std::vector<std::optional<records::ProductRec>> products(codes.size());
  if (!records::ThereToRead(file, records::ProductUnit())) return products;
  for (size_t i = 0; i < codes.size(); ++i) {
    records::ProductRec product{};
    storage::IsamRecRef ref = 0;
    if (records::ReadProductByCode(codes[i], product, ref)) products[i] = product;
  }
  return products;
}

bool AskToPickUnknownCode() {
  return platform::ui::MessageBox("That product code was not found. Would you like to add it now?",
                                  "Product Code", platform::ui::MsgButtons::YesNo,
                                  platform::ui::MsgIcon::Question) == platform::ui::mrYes;
}

}  // namespace products
