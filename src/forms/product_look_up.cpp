#include "forms/product_look_up.h"

#include "platform/ui/message_box.h"
#include "records/product_file.h"
#include "records/record_file.h"

namespace forms {

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

}  // namespace forms
