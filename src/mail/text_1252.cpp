#include "mail/text_1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace mail {

QString FromWindows1252(std::string_view bytes) {
  QStringDecoder decoder("windows-1252");
  return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string ToWindows1252(const QString& text) {
  QStringEncoder encoder("windows-1252");
  std::string bytes;
  // One character at a time: the converter marks what it cannot hold with a SUB byte (26), which
  // must not be confused with a real one.
  for (qsizetype i = 0; i < text.size(); ++i) {
    const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString character = text.mid(i, length);
    const QByteArray encoded = encoder(character);
    bytes += encoded == "\x1a" && character != QChar(26) ? std::string("?") : encoded.toStdString();
    i += length - 1;
  }
  return bytes;
}

}  // namespace mail
