#include "platform/text/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <optional>

namespace platform::text {
namespace {

constexpr const char* kCodepage = "windows-1252";
// What the encoder writes for a character it cannot map (the ASCII substitute character).
constexpr char kEncoderSubstitute = '\x1a';

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsAscii(const QString& text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// One converter per thread; Windows-1252 is a single-byte code, so no state is carried from
// one call to the next, and resetState() makes sure of it.
QStringDecoder& Decoder() {
  thread_local QStringDecoder decoder(kCodepage);
  if (!decoder.isValid()) qFatal("Qt cannot convert windows-1252 text");
  decoder.resetState();
  return decoder;
}

QStringEncoder& Encoder() {
  thread_local QStringEncoder encoder(kCodepage);
  if (!encoder.isValid()) qFatal("Qt cannot convert windows-1252 text");
  encoder.resetState();
  return encoder;
}

std::string EncodeWhole(const QString& text) {
  QByteArray bytes = Encoder().encode(text);
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Calls visit(character, byte or nothing) for each character of the text; a surrogate pair is
// one character. The encoder marks an unmappable character with the substitute byte, which is
// also a real (if rare) character of its own; character by character, the two can be told apart.
template <class Visit>
void EncodeEach(const QString& text, Visit visit) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    qsizetype width =
        (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
    QString one = text.mid(i, width);
    i += width - 1;
    std::string encoded = EncodeWhole(one);
    bool unmapped =
        encoded.size() != 1 || (encoded[0] == kEncoderSubstitute && one != QChar(kEncoderSubstitute));
    visit(one, unmapped ? std::optional<char>() : std::optional<char>(encoded[0]));
  }
}

std::string EncodeWithQuestionMarks(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  EncodeEach(text, [&out](const QString&, std::optional<char> byte) { out += byte.value_or('?'); });
  return out;
}

// Each character Windows-1252 holds is one byte; a text that came out shorter lost a character
// the encoder drops silently (a few invisible marks), and one with the substitute byte may have
// lost one the encoder marked: either needs the look character by character.
bool EncodedWhole(const QString& text, const std::string& bytes) {
  return bytes.size() == static_cast<size_t>(text.size()) &&
         bytes.find(kEncoderSubstitute) == std::string::npos;
}

}  // namespace

QString ToQString(std::string_view ansi) {
  if (IsAscii(ansi)) return QString::fromLatin1(ansi.data(), static_cast<qsizetype>(ansi.size()));
  return Decoder().decode(QByteArrayView(ansi.data(), static_cast<qsizetype>(ansi.size())));
}

std::string ToAnsi(const QString& text) {
  if (IsAscii(text)) {
    QByteArray latin = text.toLatin1();
    return std::string(latin.constData(), static_cast<size_t>(latin.size()));
  }
  std::string bytes = EncodeWhole(text);
  return EncodedWhole(text, bytes) ? bytes : EncodeWithQuestionMarks(text);
}

QString CharactersOutsideCodepage(const QString& text) {
  if (IsAscii(text) || EncodedWhole(text, EncodeWhole(text))) return {};
  QString outside;
  EncodeEach(text, [&outside](const QString& one, std::optional<char> byte) {
    if (!byte && !outside.contains(one)) outside += one;
  });
  return outside;
}

}  // namespace platform::text
