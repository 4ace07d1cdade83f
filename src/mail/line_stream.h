#pragma once
// The decoder's line source: a copy of the received text, handed out one line at a time. Lines
// end at CR LF, a lone CR or a lone LF; a line may be of any length and hold any byte, NUL
// included, so nothing in the text ends it early.

#include <QByteArray>
#include <string>

namespace mail {

class TLineStream {
 public:
  explicit TLineStream(QByteArray text) : text_(std::move(text)) {}

  // Back to the first line.
  void Reset();
  // The next line; false once the text is exhausted (the end flag is set then).
  bool ReadLine(std::string& line);
  bool AtEnd() const { return position_ >= text_.size(); }
  bool EndFlag() const { return end_; }
  const QByteArray& Text() const { return text_; }

 private:
  QByteArray text_;
  qsizetype position_ = 0;
  bool end_ = false;
};

}  // namespace mail
