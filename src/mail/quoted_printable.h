#pragma once
// Quoted-printable text (RFC 2045), paragraph by paragraph. A paragraph ends at CR LF, at a lone
// CR or at a lone LF; it is cut into lines of at most 65 characters before encoding (fewer where
// escapes would make the line longer than 76), preferably before a blank, and every line but the
// paragraph's last ends with a soft break "=". Bytes
// below 32, "=" and bytes of 128 or more are written as "=" and two hexadecimal digits, and so
// is a blank at the end of a line (a mail system may strip it otherwise). Text that does not
// end with a line break ends with a soft break, so decoding gives back the very bytes.

#include <QByteArray>
#include <QIODevice>
#include <string>
#include <string_view>
#include <vector>

namespace mail {

// The value of a hexadecimal digit of either case, -1 for any other character.
int HexDigitValue(char c);
// The byte as the marker ("=" or "%") and two upper-case hexadecimal digits: "=3D", "%E9".
std::string HexEscaped(unsigned char c, char marker);
// The text with every marker ("=" or "%") that two hexadecimal digits follow replaced by the byte
// they give; anything else as it stands.
std::string HexEscapesDecoded(std::string_view text, char marker);

class TQuotedPrintable {
 public:
  // Longest paragraph the encoder takes.
  static constexpr int MaxParagraph = 24575;

  TQuotedPrintable(QIODevice& input, std::vector<std::string>& output) : input_(input), output_(output) {}

  // The input, from its start, into the output lines. Raises std::runtime_error "Paragraph is
  // too large" for a paragraph above MaxParagraph.
  void Encode();
  bool Stop = false;  // tested between paragraphs

  // Encoded lines back into bytes: a line ending in "=" runs on into the next, any other line
  // ends with CR LF (unless its last byte is the end-of-file mark 26). Blanks that a mail system
  // added at a line's end are dropped; an "=" not followed by two hexadecimal digits stays.
  static QByteArray Decode(const std::vector<std::string>& lines);

 private:
  // The next paragraph; whether a line break ended it.
  bool ReadParagraph(std::string& paragraph);
  void AddEncodedPieces(const std::string& paragraph, bool lineBreak);

  QIODevice& input_;
  std::vector<std::string>& output_;
};

}  // namespace mail
