#include "mail/mail_address.h"

#include <stdexcept>

#include "mail/mail_utils.h"

namespace mail {

namespace {

MailAddressEditor& Editor() {
  static MailAddressEditor editor;
  return editor;
}

}  // namespace

TmsMailAddress::TmsMailAddress(std::string_view address, std::string_view name)
    : name_(Cut255(name)), address_(Cut255(address)) {}

void TmsMailAddress::SetName(std::string_view name) {
  name_ = Cut255(name);
}

void TmsMailAddress::SetAddress(std::string_view address) {
  address_ = Cut255(address);
}

void TmsMailAddress::Assign(const TmsMailAddress& other) {
  name_ = other.name_;
  address_ = other.address_;
}

void TmsMailAddress::Clear() {
  name_.clear();
  address_.clear();
}

bool TmsMailAddress::Edit() {
  if (!Editor()) throw std::runtime_error("The address dialog is not available in this program");
  return Editor()(*this);
}

void SetMailAddressEditor(MailAddressEditor editor) {
  Editor() = std::move(editor);
}

}  // namespace mail
