#pragma once
// A file attached to a message and the list of them. The encoding byte names the transfer
// encoding the attachment is written in: 0 "7 bit", 1 "Base64", 2 "Quoted-Printable".

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mail {

// The name written after "Content-Transfer-Encoding: " for an encoding byte.
const char* EncodingName(uint8_t encoding);
// The name part of a file name, without its folders ("\\", "/" or a drive's ":").
std::string NamePart(const std::string& fileName);
// The same in lower case, as the special names of body attachments are compared.
std::string LowerNamePart(const std::string& fileName);

class TmsAttItem {
 public:
  QByteArray Stream;  // the attachment's bytes
  std::string ContentType;
  uint8_t Encoding = 0;

  const std::string& FileName() const { return file_name_; }
  // Also derives the content type from the extension and the encoding from the type.
  void SetFileName(const std::string& name);
  void Assign(const TmsAttItem& other);

 private:
  std::string file_name_;
};

class TmsAttList {
 public:
  TmsAttItem& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
  int Count() const { return static_cast<int>(items_.size()); }
  void Add(std::unique_ptr<TmsAttItem> item);
  void Clear();
  void Assign(const TmsAttList& other);

 private:
  std::vector<std::unique_ptr<TmsAttItem>> items_;
};

}  // namespace mail
