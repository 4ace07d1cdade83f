#include "mail/address_list.h"

namespace mail {

void TmsAddressList::AddItem(std::unique_ptr<TmsMailAddress> address) {
  items_.push_back(std::move(address));
}

TmsMailAddress& TmsAddressList::Add(std::string_view address, std::string_view name) {
  items_.push_back(std::make_unique<TmsMailAddress>(address, name));
  return *items_.back();
}

void TmsAddressList::Clear() {
  while (!items_.empty()) items_.pop_back();
}

void TmsAddressList::Assign(const TmsAddressList& other) {
  if (&other == this) return;
  Clear();
  for (const auto& item : other.items_) Add(item->Address(), item->Name());
}

}  // namespace mail
