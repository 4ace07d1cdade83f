// The writer of Rich Text Files, and the list window's document; the reader is in
// rich_text_reader.cpp. The format is described in rich_text_file.h.

#include "forms/rich_text_file.h"

#include <QBrush>
#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cmath>
#include <cstdio>

#include "platform/print/colors.h"
#include "platform/text/codepage.h"

namespace forms {

namespace {

// Pixels of 1/96 inch to twips.
int Twips(qreal pixels) {
  return static_cast<int>(std::lround(pixels * 15));
}

std::string Hex(unsigned char byte) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "\\'%02x", byte);
  return hex;
}

// Text and font names share the escaping; a font name ends at ";" in the font table, so a
// semicolon in it is dropped.
void AppendEscaped(std::string& out, const QString& text, bool inFontTable = false) {
  for (const QChar ch : text) {
    const char16_t unit = ch.unicode();
    if (unit == '\\' || unit == '{' || unit == '}') {
      out += '\\';
      out += static_cast<char>(unit);
    } else if (unit == '\t' && !inFontTable) {
      out += "\\tab ";
    } else if (unit == 0x2028 && !inFontTable) {
      out += "\\line ";
    } else if (unit == 0x00A0) {
      out += "\\~";
    } else if (unit == 0x00AD) {
      out += "\\-";
    } else if (unit == 0x2011) {
      out += "\\_";
    } else if (unit < 0x20 || unit == 0xFFFC || (inFontTable && unit == ';')) {
      // control characters and embedded objects (pictures) have no place in a letter's text
    } else if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (const std::string ansi = platform::text::ToAnsi(QString(ch)); ansi != "?") {
      out += Hex(static_cast<unsigned char>(ansi[0]));
    } else {
      out += "\\u" + std::to_string(static_cast<int16_t>(unit)) + "?";
    }
  }
}

// The faces and colours of a document, numbered in the order first used.
class Tables {
 public:
  // The document's own face is font 0, the reader's default.
  explicit Tables(const QTextDocument& document) { FontIndex(document.defaultFont().family()); }

  int FontIndex(const QString& family) {
    const qsizetype at = fonts_.indexOf(family);
    if (at >= 0) return static_cast<int>(at);
    fonts_ << family;
    return static_cast<int>(fonts_.size() - 1);
  }
  // 0 is the reader's own colour ("auto").
  int ColorIndex(const QBrush& brush) {
    if (brush.style() == Qt::NoBrush) return 0;
    const QRgb rgb = brush.color().rgb();
    for (size_t i = 0; i < colors_.size(); ++i)
      if (colors_[i] == rgb) return static_cast<int>(i + 1);
    colors_.push_back(rgb);
    return static_cast<int>(colors_.size());
  }

  std::string Header() const {
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
      out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
      AppendEscaped(out, fonts_[i], true);
      out += ";}";
    }
    out += "}\r\n{\\colortbl;";
    for (QRgb rgb : colors_)
      out += "\\red" + std::to_string(qRed(rgb)) + "\\green" + std::to_string(qGreen(rgb)) + "\\blue" +
             std::to_string(qBlue(rgb)) + ";";
    return out + "}\r\n";
  }

 private:
  QStringList fonts_;
  std::vector<QRgb> colors_;
};

std::string ParagraphFormat(const QTextBlock& block) {
  const QTextBlockFormat format = block.blockFormat();
  std::string out = "\\pard";
  const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
  if (align & Qt::AlignHCenter)
    out += "\\qc";
  else if (align & (Qt::AlignRight | Qt::AlignTrailing))
    out += "\\qr";
  else if (align & Qt::AlignJustify)
    out += "\\qj";
  const auto twips = [&out](const char* word, qreal pixels) {
    if (const int value = Twips(pixels); value != 0) out += word + std::to_string(value);
  };
  twips("\\li", format.leftMargin());
  twips("\\ri", format.rightMargin());
  twips("\\fi", format.textIndent());
  twips("\\sb", format.topMargin());
  twips("\\sa", format.bottomMargin());
  if (block.textList()) out += "{\\pntext\\bullet\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\bullet}}";
  return out;
}

qreal PointSize(const QFont& font) {
  if (font.pointSizeF() > 0) return font.pointSizeF();
  return font.pixelSize() > 0 ? font.pixelSize() * 0.75 : 12;
}

std::string CharacterFormat(const QTextDocument& document, const QTextCharFormat& format, Tables& tables) {
  const QFont font = format.font().resolve(document.defaultFont());
  std::string out = "\\plain\\f" + std::to_string(tables.FontIndex(font.family())) + "\\fs" +
                    std::to_string(std::lround(PointSize(font) * 2));
  if (font.weight() > QFont::Medium) out += "\\b";
  if (font.italic()) out += "\\i";
  if (font.underline()) out += "\\ul";
  if (font.strikeOut()) out += "\\strike";
  if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript) out += "\\super";
  if (format.verticalAlignment() == QTextCharFormat::AlignSubScript) out += "\\sub";
  if (const int color = tables.ColorIndex(format.foreground()); color != 0)
    out += "\\cf" + std::to_string(color);
  if (const int color = tables.ColorIndex(format.background()); color != 0)
    out += "\\highlight" + std::to_string(color);
  return out + " ";
}

// A paragraph whose next one starts a page ends in \page, so that readers break there.
const char* ParagraphEnd(const QTextBlock& next) {
  return next.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore ? "\\page\r\n"
                                                                                    : "\\par\r\n";
}

}  // namespace

std::string RichTextFromDocument(const QTextDocument& document) {
  Tables tables(document);
  std::string body;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    body += ParagraphFormat(block);
    // An empty paragraph keeps the format the cursor types in there.
    if (block.begin().atEnd()) body += CharacterFormat(document, block.charFormat(), tables);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      body += CharacterFormat(document, it.fragment().charFormat(), tables);
      AppendEscaped(body, it.fragment().text());
    }
    if (block.next().isValid()) body += ParagraphEnd(block.next());
  }
  return tables.Header() + body + "}\r\n";
}

std::string RichTextDocument(const std::vector<std::string>& lines, const platform::ui::FontChoice& font) {
  QTextDocument document;
  document.setDefaultFont(platform::ui::ToQFont(font));
  QTextCharFormat format;
  format.setFont(platform::ui::ToQFont(font));
  format.setForeground(platform::print::ColorToQColor(font.color));
  QTextCursor cursor(&document);
  cursor.setBlockCharFormat(format);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) cursor.insertBlock(QTextBlockFormat(), format);
    cursor.insertText(platform::text::ToQString(lines[i]), format);
  }
  return RichTextFromDocument(document);
}

}  // namespace forms
