#include "records/record_key.h"

#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"

namespace records {

// Both build the key in one string: a posting builds a dozen keys, a reindex one per record and
// key number.
storage::IsamKeyStr KeyOfText(std::string_view field, std::size_t keyLength) {
  storage::IsamKeyStr key = KeyOfStoredText(platform::text::TrimmedBlanks(field), keyLength);
  for (char& c : key) c = platform::text::UpperChar(c);
  return key;
}

storage::IsamKeyStr KeyOfStoredText(std::string_view field, std::size_t keyLength) {
  storage::IsamKeyStr key(field.substr(0, keyLength));
  key.resize(keyLength, ' ');
  return key;
}

}  // namespace records
