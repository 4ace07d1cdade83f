#pragma once
// An ordered list of addresses that owns them: the To, CC and BCC lists of a message.

#include <memory>
#include <string_view>
#include <vector>

#include "mail/mail_address.h"

namespace mail {

class TmsAddressList {
 public:
  TmsMailAddress& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
  int Count() const { return static_cast<int>(items_.size()); }
  // Takes the address over.
  void AddItem(std::unique_ptr<TmsMailAddress> address);
  TmsMailAddress& Add(std::string_view address, std::string_view name);
  void Clear();
  void Assign(const TmsAddressList& other);

 private:
  std::vector<std::unique_ptr<TmsMailAddress>> items_;
};

}  // namespace mail
