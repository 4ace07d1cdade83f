#pragma once
// The transfer codecs of message bodies besides quoted-printable: Base64 (RFC 2045) and the
// older uuencode. A uuencoded line is one length character (the count of bytes it holds, at
// most 45) followed by four characters for every three bytes; each character carries six bits,
// the grave accent (96) standing for 0 and "!" to "_" (33 to 95) for 1 to 63. A blank also
// reads as 0, as older encoders wrote it.

#include <QByteArray>
#include <stdexcept>
#include <string>
#include <string_view>

namespace mail {

// A character that belongs to no alphabet of the codec in use ("Invalid Character").
class EInOutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The bytes of a Base64 text of any length; blanks, tabs and line breaks are skipped, a text
// that is empty or exactly "." gives nothing.
QByteArray Base64Decode(std::string_view text);

// Longest piece of one uuencoded line.
constexpr int UULineBytes = 45;
std::string UUEncodeLine(std::string_view bytes);
// A line shorter than its length character promises reads as if padded with zero bits.
QByteArray UUDecodeLine(std::string_view line);
// Whether the line opens a uuencoded file: "begin", a blank, an octal mode, a blank and a name.
bool IsUUBegin(std::string_view line);
// The file name of a begin line, without the double quotes around it.
std::string UUFileName(std::string_view line);

}  // namespace mail
