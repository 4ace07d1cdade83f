#include "mail/line_stream.h"

namespace mail {

void TLineStream::Reset() {
  position_ = 0;
  end_ = false;
}

bool TLineStream::ReadLine(std::string& line) {
  if (AtEnd()) {
    end_ = true;
    line.clear();
    return false;
  }
  const char* data = text_.constData();
  qsizetype end = position_;
  while (end < text_.size() && data[end] != '\r' && data[end] != '\n') ++end;
  line.assign(data + position_, static_cast<size_t>(end - position_));
  position_ = end;
  if (position_ < text_.size()) {
    const bool crlf = data[position_] == '\r' && position_ + 1 < text_.size() && data[position_ + 1] == '\n';
    position_ += crlf ? 2 : 1;
  }
  return true;
}

}  // namespace mail
