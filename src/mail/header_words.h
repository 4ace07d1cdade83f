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
// Text in a character set, as Windows-1252; a character that has no place there becomes "?".
// ASCII, Latin-1, Windows-1252 and names Qt does not know are taken as they stand.
std::string FromCharSet(std::string_view charset, const std::string& bytes);

// The text with its encoded words (RFC 2047) replaced by their text in Windows-1252; blanks
// between two encoded words are dropped. A word that is not well formed stays as it stands.
std::string DecodeHeaderWords(std::string_view text);

}  // namespace mail
