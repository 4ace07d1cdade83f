#pragma once
// Quoted-printable encoding of a text, paragraph by paragraph. A paragraph ends at CR, LF or a
// pair of them; it is cut into lines of at most 65 characters before encoding, preferably
// before a blank, and every line but the paragraph's last ends with a soft break "=". Bytes
// below 32, "=" and bytes of 128 or more are written as "=" and two hexadecimal digits.

#include <QIODevice>
#include <string>
#include <vector>

namespace mail {

class TQuotedPrintable {
 public:
  // Longest paragraph the coder takes.
  static constexpr int MaxParagraph = 24575;

  TQuotedPrintable(QIODevice& input, std::vector<std::string>& output) : input_(input), output_(output) {}

  // Raises std::runtime_error "Paragraph is too large" for a paragraph above MaxParagraph.
  void Encode();
  bool Stop = false;  // tested between paragraphs

 private:
  std::string ReadParagraph();
  void AddEncodedPieces(const std::string& paragraph);

  QIODevice& input_;
  std::vector<std::string>& output_;
};

}  // namespace mail
