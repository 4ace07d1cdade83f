// Rich Text Files: every format the letter editor can give survives a save and a reopen, and the
// control words other word processors write are read as they mean.

#include "forms/rich_text_file.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cstdio>
#include <functional>
#include <random>

#include "platform/ui/support/ui_script.h"

namespace forms {
namespace {

// What a reader of the letter sees: per paragraph its layout, per run its text and format.
QStringList Described(const QTextDocument& document) {
  QStringList lines;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const QTextBlockFormat f = block.blockFormat();
    lines << QStringLiteral("para align=%1 left=%2 right=%3 first=%4 before=%5 after=%6 bullet=%7 page=%8")
                 .arg(int(f.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignLeading))
                 .arg(f.leftMargin(), 0, 'f', 2)
                 .arg(f.rightMargin(), 0, 'f', 2)
                 .arg(f.textIndent(), 0, 'f', 2)
                 .arg(f.topMargin(), 0, 'f', 2)
                 .arg(f.bottomMargin(), 0, 'f', 2)
                 .arg(block.textList() != nullptr)
                 .arg(bool(f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore));
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat c = it.fragment().charFormat();
      const QFont font = c.font();
      lines << QStringLiteral("  [%1] %2 %3 b%4 i%5 u%6 s%7 v%8 fg=%9 bg=%10")
                   .arg(it.fragment().text(), font.family())
                   .arg(font.pointSizeF())
                   .arg(font.weight() > QFont::Medium)
                   .arg(font.italic())
                   .arg(font.underline())
                   .arg(font.strikeOut())
                   .arg(int(c.verticalAlignment()))
                   .arg(c.foreground().style() == Qt::NoBrush ? "-" : c.foreground().color().name(),
                        c.background().style() == Qt::NoBrush ? "-" : c.background().color().name());
    }
  }
  return lines;
}

std::string RoundTrip(const QTextDocument& document) {
  QTextDocument reopened;
  EXPECT_TRUE(ReadRichText(RichTextFromDocument(document), reopened));
  return Described(reopened).join('\n').toStdString();
}

std::string Shown(const QTextDocument& document) {
  return Described(document).join('\n').toStdString();
}

// The text with its line breaks and no-break spaces (toPlainText makes them plain).
std::string Text(const QTextDocument& document) {
  return document.toRawText().replace(QChar(0x2029), '\n').toStdString();
}

QTextCharFormat Face(const QString& family, qreal size) {
  QTextCharFormat format;
  format.setFontFamilies({family});
  format.setFontPointSize(size);
  format.setFontWeight(QFont::Normal);
  return format;
}

class RichTextFileTest : public ::testing::Test {
 protected:
  testing_support::UiScript guard_;  // makes the application fonts need
};

// Every combination of the editor's character and paragraph formats, one paragraph each, in one
// letter: the reopened letter reads the same, run by run.
TEST_F(RichTextFileTest, EveryFormatOfTheEditorSurvivesASaveAndReopen) {
  const QStringList families = {"Liberation Serif", "Liberation Sans", "Liberation Mono"};
  const qreal sizes[] = {8, 10.5, 12, 36};
  const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
  QTextDocument document;
  QTextCursor cursor(&document);
  int paragraphs = 0;
  for (int style = 0; style < 16; ++style)
    for (const QString& family : families)
      for (qreal size : sizes) {
        const int n = paragraphs++;
        if (n > 0) cursor.insertBlock();
        QTextBlockFormat para;
        para.setAlignment(aligns[n % 4]);
        // Indents as the ruler sets them: whole points, first line before or after the others.
        para.setLeftMargin((n % 5) * 12 * 4 / 3.0);
        para.setTextIndent(((n % 3) - 1) * 9 * 4 / 3.0);
        para.setRightMargin((n % 7) * 4 / 3.0);
        cursor.setBlockFormat(para);
        if (QTextList* list = cursor.block().textList()) list->remove(cursor.block());
        if (n % 6 < 2) {
          QTextListFormat bullets;
          bullets.setStyle(QTextListFormat::ListDisc);
          cursor.createList(bullets);
        }
        QTextCharFormat format = Face(family, size);
        format.setFontWeight(style & 1 ? QFont::Bold : QFont::Normal);
        format.setFontItalic(style & 2);
        format.setFontUnderline(style & 4);
        format.setFontStrikeOut(style & 8);
        cursor.insertText("Dear ", Face("Liberation Sans", 11));
        cursor.insertText(QString("customer %1,").arg(n), format);
        cursor.insertText(" thank you.", Face("Liberation Sans", 11));
      }
  ASSERT_EQ(document.blockCount(), 16 * 3 * 4);
  EXPECT_EQ(RoundTrip(document), Shown(document));
}

// Characters: Windows-1252 ones, ones it lacks (beyond the BMP too), and the ones the format
// itself uses.
TEST_F(RichTextFileTest, TextOfEveryKindSurvivesASaveAndReopen) {
  const QString texts[] = {
      QString::fromUtf8("Caf\u00e9 \u2013 \u201cquoted\u201d \u20ac5 \u00bd \u00ff"),
      QString::fromUtf8("\u0141\u00f3d\u017a \u03a9\u03bc\u03ad\u03b3\u03b1 \u4e2d\u6587 \U0001F600"),
      QStringLiteral("{braces} \\back\\slash\\ and\ttab"),
      QString::fromUtf8("line\u2028break, no\u00a0break, soft\u00adhyphen, hard\u2011hyphen"),
      QStringLiteral("\\par \\b not a control word"),
  };
  for (const QString& text : texts) {
    QTextDocument document;
    QTextCursor(&document).insertText(text, Face("Liberation Serif", 12));
    QTextDocument reopened;
    const std::string rtf = RichTextFromDocument(document);
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) { return (c & 0x80) == 0; })) << rtf;
    ASSERT_TRUE(ReadRichText(rtf, reopened));
    EXPECT_EQ(Text(reopened), text.toStdString());
    EXPECT_EQ(Shown(reopened), Shown(document));
  }
}

// What a paste or another word processor can bring, beside the editor's own formats.
TEST_F(RichTextFileTest, ColoursScriptsSpacingAndPageBreaksSurvive) {
  QTextDocument document;
  QTextCursor cursor(&document);
  QTextCharFormat red = Face("Liberation Sans", 12);
  red.setForeground(QColor(200, 0, 0));
  QTextCharFormat marked = Face("Liberation Sans", 12);
  marked.setBackground(QColor(255, 255, 0));
  QTextCharFormat raised = Face("Liberation Sans", 12);
  raised.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  QTextCharFormat lowered = Face("Liberation Sans", 12);
  lowered.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  cursor.insertText("red ", red);
  cursor.insertText("marked ", marked);
  cursor.insertText("x2", raised);
  cursor.insertText("H2O", lowered);
  QTextBlockFormat spaced;
  spaced.setTopMargin(8);
  spaced.setBottomMargin(16);
  cursor.insertBlock(spaced, Face("Liberation Serif", 20));  // an empty paragraph keeps its size
  QTextBlockFormat newPage;
  newPage.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  cursor.insertBlock(newPage);
  cursor.insertText("Page two", red);
  EXPECT_EQ(RoundTrip(document), Shown(document));
  QTextDocument again;
  ReadRichText(RichTextFromDocument(document), again);
  EXPECT_EQ(again.findBlockByNumber(1).charFormat().fontPointSize(), 20);
}

// A file as other word processors write it, read control word by control word.
TEST_F(RichTextFileTest, ReadsWhatOtherWordProcessorsWrite) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New "
      "Roman{\\*\\panose 02020603050405020304};}{\\f1\\fswiss Arial;}{\\f2\\fmodern\\fcharset0 "
      "Courier\\'20New;}}\r\n"
      "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
      "{\\stylesheet{\\s0\\f1 Normal;}{\\s1\\b Heading 1;}}{\\info{\\author Someone}{\\title Letter}}\r\n"
      "{\\*\\generator Riched20 10.0;}{\\*\\rsidtbl \\rsid1}{\\header {\\f1 Page header}}\r\n"
      "\\viewkind4\\uc1\\pard\\sa200\\qc\\f1\\fs28 Heading\\par\r\n"
      "\\pard\\f0\\fs24 Caf\\'e9 \\u8364? and \\uc2\\u20013\\'3f\\'3f text {\\b bold {\\i both}} "
      "{\\ul under\\ulnone  not}\\par\r\n"
      "{\\pict\\wmetafile8\\picw100\\pich100 0100090000{}03}{\\object\\objemb{\\*\\objdata 01}{\\result x}}"
      "\\pard{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt {\\cf2 link}}} {\\cf1 red}"
      "{\\*\\unknownword hidden}\\bin3 {}}\\par\r\n"
      "{\\listtext\\'b7\\tab}\\pard\\ls1\\li720\\fi-360 first item\\par\r\n"
      "\\pard{\\pntext\\f3\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf3{\\pntxtb\\'b7}}\\li720 second item\\par\r\n"
      "\\pard\\plain\\f2 end\\line line\\tab\\emdash\\ldblquote\\rdblquote\\~\\par\r\n"
      "\\trowd\\cellx2000\\cellx4000\\pard\\intbl Qty\\cell Item\\cell\\row}";
  QTextDocument document;
  ASSERT_TRUE(ReadRichText(rtf, document));
  EXPECT_EQ(Text(document),
            std::string("Heading\nCaf\u00e9 \u20ac and \u4e2d text bold both under not\nlink red\n"
                        "first item\nsecond item\nend\u2028line\t\u2014\u201c\u201d\u00a0\nQty\tItem\t\n"));
  const QStringList d = Described(document);
  EXPECT_TRUE(d[0].startsWith(QString("para align=%1 left=0.00 right=0.00 first=0.00 before=0.00 after=13.33")
                                  .arg(int(Qt::AlignHCenter))))
      << d[0].toStdString();
  EXPECT_TRUE(d[1].startsWith("  [Heading] Arial 14 b0")) << d[1].toStdString();
  EXPECT_TRUE(d.contains("  [bold ] Times New Roman 12 b1 i0 u0 s0 v0 fg=- bg=-"))
      << d.join('\n').toStdString();
  EXPECT_TRUE(d.contains("  [both] Times New Roman 12 b1 i1 u0 s0 v0 fg=- bg=-"));
  EXPECT_TRUE(d.contains("  [under] Times New Roman 12 b0 i0 u1 s0 v0 fg=- bg=-"));
  EXPECT_TRUE(d.contains("  [link] Times New Roman 12 b0 i0 u0 s0 v0 fg=#0000ff bg=-"));
  EXPECT_TRUE(d.contains("  [red] Times New Roman 12 b0 i0 u0 s0 v0 fg=#ff0000 bg=-"));
  EXPECT_EQ(document.findBlockByNumber(3).blockFormat().leftMargin(), 48);
  EXPECT_EQ(document.findBlockByNumber(3).blockFormat().textIndent(), -24);
  ASSERT_NE(document.findBlockByNumber(3).textList(), nullptr);
  EXPECT_EQ(document.findBlockByNumber(4).textList(), document.findBlockByNumber(3).textList());
  EXPECT_EQ(document.findBlockByNumber(5).textList(), nullptr);
  EXPECT_TRUE(d.filter("[end").value(0).contains("Courier New 12"));
}

// Text bytes of 0x80 and above are Windows-1252 whether written raw or as \'hh.
TEST_F(RichTextFileTest, EightBitBytesAreWindows1252RawOrEscaped) {
  const struct {
    const char* bytes;
    const char* text;  // UTF-8
  } cases[] = {
      {"\x93quoted\x94", "\u201cquoted\u201d"}, {"\x80 5", "\u20ac 5"},       {"caf\xe9", "caf\u00e9"},
      {"\x85\x96\x99", "\u2026\u2013\u2122"},   {"\x9f\xff", "\u0178\u00ff"},
  };
  for (const auto& c : cases) {
    std::string escaped;
    for (const char* b = c.bytes; *b; ++b) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", static_cast<unsigned char>(*b));
      escaped += static_cast<unsigned char>(*b) < 0x80 ? std::string(1, *b) : hex;
    }
    for (const std::string& body : {std::string(c.bytes), escaped}) {
      QTextDocument document;
      ASSERT_TRUE(ReadRichText("{\\rtf1\\ansi " + body + "}", document));
      EXPECT_EQ(Text(document), c.text) << body;
    }
  }
}

// A long run of bullets is read in lists of a bounded length (the document's cost of one list
// grows with its square); every paragraph stays a bullet through a save and a reopen.
TEST_F(RichTextFileTest, ALongRunOfBulletsStaysBulleted) {
  std::string rtf = "{\\rtf1\\ansi";
  for (int i = 0; i < 1000; ++i) rtf += "\\pard\\ls1\\li720 point " + std::to_string(i) + "\\par ";
  rtf += "\\pard after}";
  QTextDocument read;
  ASSERT_TRUE(ReadRichText(rtf, read));
  QTextDocument reopened;
  ASSERT_TRUE(ReadRichText(RichTextFromDocument(read), reopened));
  for (const QTextDocument* document : {&read, &reopened}) {
    ASSERT_EQ(document->blockCount(), 1001);
    for (int i = 0; i < 1000; ++i) ASSERT_NE(document->findBlockByNumber(i).textList(), nullptr) << i;
    EXPECT_EQ(document->lastBlock().textList(), nullptr);
  }
  EXPECT_EQ(Described(reopened), Described(read));
}

// A damaged file gives what can be read of it, never an error: every cut of a letter, bytes
// changed at random, bad escapes and groups nested past reason.
TEST_F(RichTextFileTest, DamagedFilesAreReadAsFarAsTheyGo) {
  QTextDocument document;
  QTextCursor cursor(&document);
  cursor.insertText(QString::fromUtf8("Dear \u0141\u00f3d\u017a {x}\tend"), Face("Liberation Serif", 12));
  cursor.insertBlock();
  QTextListFormat bullets;
  bullets.setStyle(QTextListFormat::ListDisc);
  cursor.createList(bullets);
  cursor.insertText("point");
  const std::string rtf = RichTextFromDocument(document);
  for (size_t cut = 6; cut <= rtf.size(); ++cut) {
    QTextDocument read;
    EXPECT_TRUE(ReadRichText(rtf.substr(0, cut), read));
    if (cut == rtf.size()) {
      EXPECT_EQ(Shown(read), Shown(document));
    }
  }
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::string damaged = rtf;
    for (int k = 0; k < 5; ++k)
      damaged[5 + random() % (damaged.size() - 5)] = "{}\\';*0a-\xFF"[random() % 11];
    QTextDocument read;
    EXPECT_TRUE(ReadRichText(damaged, read));
  }
  QTextDocument read;
  EXPECT_TRUE(ReadRichText("{\\rtf1 a\\'zz\\'4 b\\u\\bin99999999 ", read));
  EXPECT_EQ(Text(read), "ab");
  const std::string deep =
      "{\\rtf1 before" + std::string(100000, '{') + "lost" + std::string(100000, '}') + " after}";
  EXPECT_TRUE(ReadRichText(deep, read));
  EXPECT_EQ(Text(read), "before after");
}

TEST_F(RichTextFileTest, PlainTextLettersAreTakenByTheirBytes) {
  QTextDocument document;
  ReadLetterText("Dear PVCSTNAME,\r\nCaf\xE9\r\n", document);
  EXPECT_EQ(Text(document), "Dear PVCSTNAME,\nCaf\u00e9\n");
  ReadLetterText(
      "\xEF\xBB\xBF\xC5\x81\xC3\xB3"
      "d\xC5\xBA",
      document);
  EXPECT_EQ(Text(document), "\u0141\u00f3d\u017a");
  ReadLetterText("  \r\n{\\rtf1 Rich}", document);
  EXPECT_EQ(Text(document), "Rich");
  EXPECT_FALSE(ReadRichText("{\\rtx1 not}", document));
  EXPECT_TRUE(LooksLikeRichText("\xEF\xBB\xBF{\\rtf1}"));
}

}  // namespace
}  // namespace forms
