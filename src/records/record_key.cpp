#include "records/record_key.h"

#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"

namespace records {

using platform::text::PadRightWith;

storage::IsamKeyStr KeyOfText(std::string_view field, std::size_t keyLength) {
  return KeyOfStoredText(platform::text::UpperCase(platform::text::TrimBlanks(field)), keyLength);
}

storage::IsamKeyStr KeyOfStoredText(std::string_view field, std::size_t keyLength) {
  return PadRightWith(field, ' ', keyLength).substr(0, keyLength);
}

}  // namespace records
