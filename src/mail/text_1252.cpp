#include "mail/text_1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace mail {

QString FromWindows1252(std::string_view bytes) {
  QStringDecoder decoder("windows-1252");
  return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string ToWindows1252(const QString& text) {
  QStringEncoder encoder("windows-1252", QStringConverter::Flag::Default);
  const QByteArray bytes = encoder(text);
  return bytes.toStdString();
}

}  // namespace mail
