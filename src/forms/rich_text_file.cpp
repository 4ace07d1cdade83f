#include "forms/rich_text_file.h"

#include <QColor>
#include <cstdio>

#include "platform/print/colors.h"
#include "platform/text/codepage.h"

namespace forms {

namespace {

// Font names and text share the escaping; a font name ends at ";" in the font table, so a
// semicolon in it is dropped.
void AppendEscaped(std::string& out, std::string_view text, bool inFontTable) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else if (c == '\t' && !inFontTable) {
      out += "\\tab ";
    } else if (byte >= 0x80) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", byte);
      out += hex;
    } else if (byte >= 0x20 && !(inFontTable && c == ';')) {
      out += c;
    }
  }
}

std::string ColorTable(int32_t color) {
  const QColor rgb = platform::print::ColorToQColor(color);
  char table[80];
  std::snprintf(table, sizeof table, "{\\colortbl;\\red%d\\green%d\\blue%d;}", rgb.red(), rgb.green(),
                rgb.blue());
  return table;
}

std::string CharacterFormat(const platform::ui::FontChoice& font) {
  const int halfPoints = font.size > 0 ? font.size * 2 : 20;
  std::string format = "\\pard\\plain\\f0\\fs" + std::to_string(halfPoints);
  if (font.bold) format += "\\b";
  if (font.italic) format += "\\i";
  if (font.underline) format += "\\ul";
  if (font.strikeOut) format += "\\strike";
  return format + "\\cf1";
}

}  // namespace

std::string RichTextDocument(const std::vector<std::string>& lines, const platform::ui::FontChoice& font) {
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\r\n{\\fonttbl{\\f0\\fmodern\\fcharset0 ";
  AppendEscaped(out, platform::text::ToAnsi(font.name), true);
  out += ";}}\r\n" + ColorTable(font.color) + "\r\n" + CharacterFormat(font) + "\r\n";
  for (const std::string& line : lines) {
    AppendEscaped(out, line, false);
    out += "\\par\r\n";
  }
  out += "}\r\n";
  return out;
}

}  // namespace forms
