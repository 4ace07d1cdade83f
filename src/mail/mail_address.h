#pragma once
// One e-mail address: a display name and the address itself, each at most 255 characters of
// Windows-1252 text.

#include <functional>
#include <string>
#include <string_view>

namespace mail {

class TmsMailAddress {
 public:
  TmsMailAddress() = default;
  TmsMailAddress(std::string_view address, std::string_view name);
  virtual ~TmsMailAddress() = default;

  const std::string& Name() const { return name_; }
  void SetName(std::string_view name);
  const std::string& Address() const { return address_; }
  void SetAddress(std::string_view address);

  void Assign(const TmsMailAddress& other);
  void Clear();
  // Lets the user edit the address in the address dialog; true when it was confirmed. The
  // dialog lives in the user-interface part of the library, which installs itself below.
  virtual bool Edit();

 private:
  std::string name_;
  std::string address_;
};

// Installed by the address dialog's library; without it Edit raises std::runtime_error.
using MailAddressEditor = std::function<bool(TmsMailAddress&)>;
void SetMailAddressEditor(MailAddressEditor editor);

}  // namespace mail
