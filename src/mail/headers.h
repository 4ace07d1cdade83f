#pragma once
// Header lines of a message, one per line; a continuation line (beginning with a blank or a
// tab) follows the line it continues. Field names are compared ignoring case, and a name given
// without its ":" gets one.

#include <string>
#include <string_view>
#include <vector>

namespace mail {

class TmsHeaders : public std::vector<std::string> {
 public:
  using std::vector<std::string>::vector;

  // The value of the first line of the field with its continuation lines, encoded words
  // decoded (except in Content-Type and X-UIDL); empty when there is no such field.
  std::string GetFieldValue(std::string_view name) const;
  // The addresses of every line of the field, split at the commas outside double quotes.
  std::vector<std::string> GetAddressList(std::string_view name) const;
  // Deletes the first line of the field and its continuation lines.
  void RemoveField(std::string_view name);

 private:
  int FindField(const std::string& name, size_t from = 0) const;
};

}  // namespace mail
