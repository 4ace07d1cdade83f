#pragma once
// Encoded words of header lines ("=?charset?Q?...?=" and "=?charset?B?...?="): header text is
// plain ASCII on the wire, so names and subjects with Windows-1252 letters travel in this form.

#include <string>
#include <string_view>

namespace mail {

// The charset our text is written in.
inline constexpr const char* MailCharSet = "windows-1252";

// Whether the text holds a byte above 127.
bool HasEightBit(std::string_view text);
// The text as one or more Q-form encoded words of at most 75 characters each, separated by a
// folding line break and a blank.
std::string EncodeHeaderWords(std::string_view text);
// The text with its encoded words replaced by their bytes. A broken Base64 word raises
// std::runtime_error "Invalid Character".
std::string DecodeHeaderWords(std::string_view text);

}  // namespace mail
