#include "mail/attachment.h"

#include <QByteArray>

#include "mail/mail_utils.h"

namespace mail {

const char* EncodingName(uint8_t encoding) {
  // "7bit" is the token RFC 2045 knows; readers refuse "7 bit".
  switch (encoding) {
    case 1:
      return "Base64";
    case 2:
      return "Quoted-Printable";
    default:
      return "7bit";
  }
}

std::string NamePart(const std::string& fileName) {
  const size_t slash = fileName.find_last_of("\\/:");
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

std::string LowerNamePart(const std::string& fileName) {
  return QByteArray::fromStdString(NamePart(fileName)).toLower().toStdString();
}

void TmsAttItem::SetFileName(const std::string& name) {
  file_name_ = Cut255(name);
  if (file_name_.empty()) return;
  ContentType = Cut255(MimeTypeOf(file_name_));
  const QByteArray upper = QByteArray::fromStdString(ContentType).toUpper();
  if (upper == "TEXT/PLAIN" || upper == "TEXT/RTF" || upper == "TEXT/HTML") {
    Encoding = 2;
  } else if (upper == "MESSAGE/RFC822") {
    Encoding = 0;
  } else {
    Encoding = 1;
  }
}

void TmsAttItem::Assign(const TmsAttItem& other) {
  Stream = other.Stream;
  ContentType = other.ContentType;
  Encoding = other.Encoding;
  file_name_ = other.file_name_;
}

void TmsAttList::Add(std::unique_ptr<TmsAttItem> item) {
  items_.push_back(std::move(item));
}

void TmsAttList::Clear() {
  while (!items_.empty()) items_.pop_back();
}

void TmsAttList::Assign(const TmsAttList& other) {
  if (&other == this) return;
  Clear();
  for (const auto& item : other.items_) {
    auto copy = std::make_unique<TmsAttItem>();
    copy->Assign(*item);
    items_.push_back(std::move(copy));
  }
}

}  // namespace mail
