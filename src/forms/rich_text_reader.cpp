// The reader of Rich Text Files (what it takes is described in rich_text_file.h). One pass over
// the bytes: groups carry the character and paragraph state, text is gathered in runs of one
// format and put into the document at each change of format and at each paragraph's end.

#include <QColor>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "forms/rich_text_file.h"
#include "platform/text/codepage.h"

namespace forms {

namespace {

// Deeper groups than any word processor writes.
constexpr size_t kMaxDepth = 256;
// The document marks every paragraph of a list for layout again whenever one joins it, so one
// list of n paragraphs costs n squared. A run of bulleted paragraphs is kept in lists of at most
// this many, which look the same.
constexpr int kListLength = 16;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

QString FromWindows1252(unsigned char byte) {
  const char c = static_cast<char>(byte);
  return platform::text::ToQString(std::string_view(&c, 1));
}

// Groups whose whole content is passed over: what a letter does not show or cannot hold.
const std::set<std::string, std::less<>> kSkippedGroups = {"stylesheet",
                                                           "info",
                                                           "pict",
                                                           "object",
                                                           "header",
                                                           "headerl",
                                                           "headerr",
                                                           "headerf",
                                                           "footer",
                                                           "footerl",
                                                           "footerr",
                                                           "footerf",
                                                           "footnote",
                                                           "pntext",
                                                           "listtext",
                                                           "shp",
                                                           "shpinst",
                                                           "shprslt",
                                                           "nonshppict",
                                                           "fldinst",
                                                           "themedata",
                                                           "xmlnstbl",
                                                           "listtable",
                                                           "listoverridetable",
                                                           "rsidtbl",
                                                           "generator",
                                                           "revtbl",
                                                           "filetbl",
                                                           "annotation",
                                                           "atnid",
                                                           "atnauthor",
                                                           "private",
                                                           "bkmkstart",
                                                           "bkmkend",
                                                           "latentstyles",
                                                           "datastore",
                                                           "colorschememapping",
                                                           "txe",
                                                           "pnseclvl"};

// Control words that stand for one character.
const std::map<std::string, char16_t, std::less<>> kCharacterWords = {
    {"tab", u'\t'},        {"cell", u'\t'},       {"nestcell", u'\t'}, {"line", 0x2028},
    {"emdash", 0x2014},    {"endash", 0x2013},    {"lquote", 0x2018},  {"rquote", 0x2019},
    {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"bullet", 0x2022},  {"emspace", 0x2003},
    {"enspace", 0x2002},   {"qmspace", 0x2005}};

struct CharState {
  int font = -1;  // -1: the default face
  int halfPoints = 24;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignNormal;
  int foreground = 0;  // colour table index; 0 is the reader's own colour
  int background = 0;
  bool operator==(const CharState&) const = default;
};

struct ParaState {
  Qt::Alignment align = Qt::AlignLeft;
  int left = 0;  // twips
  int right = 0;
  int first = 0;
  int before = 0;
  int after = 0;
  bool bullet = false;
};

enum class Destination { Text, Skip, FontTable, ColorTable };

struct Group {
  CharState chars;
  ParaState para;
  Destination destination = Destination::Text;
  int fallbackCount = 1;  // \uc: characters after \uN for readers without Unicode
  bool starred = false;   // the group began with \*
  bool fresh = true;      // no control word read yet in this group
};

class RichTextReader {
 public:
  RichTextReader(std::string_view in, QTextDocument& document) : in_(in), cursor_(&document) {}

  // One edit block: the document lays out its paragraphs once at the end, not at every run.
  void Read() {
    cursor_.beginEditBlock();
    stack_.push_back(Group{});
    pos_ = in_.find('{');  // blanks before the file's group
    while (pos_ < in_.size() && !finished_) {
      const char c = in_[pos_++];
      if (overflow_ > 0) {
        // Groups nested past any sense (a damaged or hostile file) are passed over whole.
        overflow_ += c == '{' ? 1 : c == '}' ? -1 : 0;
        if (c == '\\') ++pos_;
      } else if (c == '{' && stack_.size() >= kMaxDepth) {
        overflow_ = 1;
      } else if (c == '{') {
        stack_.push_back(stack_.back());
        stack_.back().starred = false;
        stack_.back().fresh = true;
      } else if (c == '}') {
        CloseGroup();
      } else if (c == '\\') {
        ReadControl();
      } else if (c != '\r' && c != '\n') {
        // Bytes written as they are, not as \'hh, are Windows-1252 too.
        const auto byte = static_cast<unsigned char>(c);
        Character(byte < 0x80 ? QString(QChar(byte)) : FromWindows1252(byte), byte);
      }
    }
    if (!finished_) EndDocument();
    cursor_.endEditBlock();
  }

 private:
  // The last paragraph has no \par: it takes the format in force where the file's group ends.
  void EndDocument() {
    Flush();
    ApplyParagraph();
    finished_ = true;
  }

  Group& Top() { return stack_.back(); }

  void CloseGroup() {
    if (Top().destination == Destination::FontTable) CommitFont();
    if (stack_.size() == 2) EndDocument();
    if (stack_.size() > 1) stack_.pop_back();
    fallback_ = 0;
  }

  void ReadControl() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      ++pos_;
      ControlSymbol(c);
      return;
    }
    std::string word;
    while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_]))) word += in_[pos_++];
    std::optional<int> parameter;
    const size_t digitsAt = pos_;
    if (pos_ < in_.size() && in_[pos_] == '-') ++pos_;
    long value = 0;
    bool digits = false;
    while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) {
      if (value < 100000000) value = value * 10 + (in_[pos_] - '0');
      ++pos_;
      digits = true;
    }
    if (digits)
      parameter = static_cast<int>(in_[digitsAt] == '-' ? -value : value);
    else
      pos_ = digitsAt;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    ControlWord(word, parameter);
  }

  void ControlSymbol(char c) {
    if (c == '\'') {
      const int high = pos_ < in_.size() ? HexDigit(in_[pos_]) : -1;
      const int low = pos_ + 1 < in_.size() ? HexDigit(in_[pos_ + 1]) : -1;
      if (high < 0 || low < 0) {
        // Not a character: what stood for its digits is left out with it.
        for (int k = 0; k < 2 && pos_ < in_.size() && !std::strchr("\\{}", in_[pos_]); ++k) ++pos_;
        return;
      }
      pos_ += 2;
      const auto byte = static_cast<unsigned char>(high * 16 + low);
      Character(FromWindows1252(byte), byte);
    } else if (c == '*') {
      Top().starred = true;
    } else if (c == '\\' || c == '{' || c == '}') {
      Character(QString(QChar(c)), static_cast<unsigned char>(c));
    } else if (c == '~') {
      Character(QString(QChar(0x00A0)), 0xA0);
    } else if (c == '-') {
      Character(QString(QChar(0x00AD)), 0xAD);
    } else if (c == '_') {
      Character(QString(QChar(0x2011)), 0);
    } else if (c == '\r' || c == '\n') {
      ControlWord("par", std::nullopt);
    } else if (fallback_ > 0) {
      --fallback_;
    }
  }

  void ControlWord(const std::string& word, std::optional<int> parameter) {
    const bool fresh = Top().fresh;
    Top().fresh = false;
    if (word == "bin") {
      pos_ = std::min(in_.size(), pos_ + static_cast<size_t>(std::max(0, parameter.value_or(0))));
      return;
    }
    if (Top().destination == Destination::Skip) return;
    if (fresh && StartsDestination(word)) return;
    if (fallback_ > 0) {
      --fallback_;
      return;
    }
    const int n = parameter.value_or(0);
    const bool on = !parameter || *parameter != 0;
    if (Top().destination == Destination::FontTable) {
      if (word == "f") {
        CommitFont();
        fontNumber_ = n;
      }
      return;
    }
    if (Top().destination == Destination::ColorTable) {
      if (word == "red") red_ = n, colorGiven_ = true;
      if (word == "green") green_ = n, colorGiven_ = true;
      if (word == "blue") blue_ = n, colorGiven_ = true;
      return;
    }
    if (const auto it = kCharacterWords.find(word); it != kCharacterWords.end()) {
      Character(QString(QChar(it->second)), 0);
    } else if (word == "par" || word == "sect" || word == "row" || word == "nestrow") {
      EndParagraph(false);
    } else if (word == "page") {
      EndParagraph(true);
    } else if (word == "u" && parameter) {
      Character(QString(QChar(static_cast<char16_t>(n < 0 ? n + 65536 : n))), 0);
      fallback_ = Top().fallbackCount;
    } else if (word == "uc") {
      Top().fallbackCount = std::max(0, n);
    } else if (word == "deff") {
      defaultFont_ = n;
    } else if (word == "pard") {
      Top().para = ParaState{};
    } else if (!ParagraphWord(word, n)) {
      CharacterWord(word, n, on);
    }
  }

  // A group's first control word may name what the group holds.
  bool StartsDestination(const std::string& word) {
    Group& group = Top();
    if (word == "fonttbl") {
      group.destination = Destination::FontTable;
    } else if (word == "colortbl") {
      group.destination = Destination::ColorTable;
    } else if (word == "pn" && group.starred) {
      // Old-style paragraph numbering: the paragraph around the group is a list item.
      if (stack_.size() > 1) stack_[stack_.size() - 2].para.bullet = true;
      group.destination = Destination::Skip;
    } else if (group.starred || kSkippedGroups.count(word)) {
      group.destination = Destination::Skip;
    } else {
      return false;
    }
    return true;
  }

  bool ParagraphWord(const std::string& word, int n) {
    ParaState& para = Top().para;
    if (word == "ql")
      para.align = Qt::AlignLeft;
    else if (word == "qc")
      para.align = Qt::AlignHCenter;
    else if (word == "qr")
      para.align = Qt::AlignRight;
    else if (word == "qj")
      para.align = Qt::AlignJustify;
    else if (word == "li" || word == "lin")
      para.left = n;
    else if (word == "ri" || word == "rin")
      para.right = n;
    else if (word == "fi")
      para.first = n;
    else if (word == "sb")
      para.before = n;
    else if (word == "sa")
      para.after = n;
    else if (word == "ls")
      para.bullet = true;
    else
      return false;
    return true;
  }

  void CharacterWord(const std::string& word, int n, bool on) {
    CharState& chars = Top().chars;
    if (word == "plain")
      chars = CharState{};
    else if (word == "f")
      chars.font = n;
    else if (word == "fs")
      chars.halfPoints = n > 0 ? n : 24;
    else if (word == "b")
      chars.bold = on;
    else if (word == "i")
      chars.italic = on;
    else if (word == "strike" || word == "striked")
      chars.strike = on;
    else if (word == "ulnone")
      chars.underline = false;
    else if (word == "ul" || word == "ulw" || word == "uldb" || word == "uld" || word == "uldash" ||
             word == "ulth" || word == "ulwave")
      chars.underline = on;
    else if (word == "super")
      chars.vertical = QTextCharFormat::AlignSuperScript;
    else if (word == "sub")
      chars.vertical = QTextCharFormat::AlignSubScript;
    else if (word == "nosupersub")
      chars.vertical = QTextCharFormat::AlignNormal;
    else if (word == "cf")
      chars.foreground = n;
    else if (word == "highlight" || word == "cb" || word == "chcbpat")
      chars.background = n;
  }

  void Character(const QString& text, unsigned char byte) {
    if (fallback_ > 0) {
      --fallback_;
      return;
    }
    switch (Top().destination) {
      case Destination::Text:
        if (!pending_.isEmpty() && !(pendingFormat_ == Top().chars)) Flush();
        if (pending_.isEmpty()) pendingFormat_ = Top().chars;
        pending_ += text;
        break;
      case Destination::FontTable:
        if (byte == ';')
          CommitFont();
        else
          fontName_ += text;
        break;
      case Destination::ColorTable:
        if (byte == ';') CommitColor();
        break;
      case Destination::Skip:
        break;
    }
  }

  void CommitFont() {
    if (!fontName_.trimmed().isEmpty()) fonts_[fontNumber_] = fontName_.trimmed();
    fontName_.clear();
  }

  void CommitColor() {
    colors_.push_back(colorGiven_ ? std::optional<QColor>(QColor(red_, green_, blue_)) : std::nullopt);
    red_ = green_ = blue_ = 0;
    colorGiven_ = false;
  }

  std::optional<QColor> Color(int index) const {
    if (index <= 0 || index >= static_cast<int>(colors_.size())) return std::nullopt;
    return colors_[index];
  }

  QTextCharFormat Format(const CharState& chars) const {
    QTextCharFormat format;
    auto face = fonts_.find(chars.font >= 0 ? chars.font : defaultFont_);
    if (face == fonts_.end()) face = fonts_.find(defaultFont_);
    if (face != fonts_.end()) format.setFontFamilies({face->second});
    format.setFontPointSize(chars.halfPoints / 2.0);
    format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chars.italic);
    format.setFontUnderline(chars.underline);
    format.setFontStrikeOut(chars.strike);
    format.setVerticalAlignment(chars.vertical);
    if (const auto color = Color(chars.foreground)) format.setForeground(*color);
    if (const auto color = Color(chars.background)) format.setBackground(*color);
    return format;
  }

  void Flush() {
    if (pending_.isEmpty()) return;
    cursor_.insertText(pending_, Format(pendingFormat_));
    pending_.clear();
  }

  void ApplyParagraph() {
    const ParaState& para = Top().para;
    QTextBlockFormat format;
    format.setAlignment(para.align);
    format.setLeftMargin(para.left / 15.0);
    format.setRightMargin(para.right / 15.0);
    format.setTextIndent(para.first / 15.0);
    format.setTopMargin(para.before / 15.0);
    format.setBottomMargin(para.after / 15.0);
    if (breakBefore_) format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    breakBefore_ = false;
    QTextBlock block = cursor_.block();
    // A paragraph takes the list of the one before it when it is begun.
    if (QTextList* list = block.textList(); list && (!para.bullet || list->count() > kListLength))
      list->remove(block);
    cursor_.setBlockFormat(format);
    if (block.begin().atEnd()) cursor_.setBlockCharFormat(Format(Top().chars));
    if (!para.bullet || block.textList()) return;
    if (QTextList* previous = block.previous().textList(); previous && previous->count() < kListLength) {
      previous->add(block);
    } else {
      QTextListFormat list;
      list.setStyle(QTextListFormat::ListDisc);
      list.setIndent(1);
      cursor_.createList(list);
    }
  }

  void EndParagraph(bool pageBreak) {
    Flush();
    ApplyParagraph();
    cursor_.insertBlock();
    breakBefore_ = pageBreak;
  }

  std::string_view in_;
  size_t pos_ = 0;
  QTextCursor cursor_;
  std::vector<Group> stack_;
  int fallback_ = 0;     // fallback characters still to skip after \uN
  size_t overflow_ = 0;  // depth of the groups passed over below kMaxDepth
  QString pending_;
  CharState pendingFormat_;
  bool breakBefore_ = false;
  bool finished_ = false;
  std::map<int, QString> fonts_;
  int defaultFont_ = 0;
  int fontNumber_ = 0;
  QString fontName_;
  std::vector<std::optional<QColor>> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colorGiven_ = false;
};

}  // namespace

bool LooksLikeRichText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  while (!bytes.empty() && std::isspace(static_cast<unsigned char>(bytes.front()))) bytes.remove_prefix(1);
  return bytes.starts_with("{\\rtf");
}

bool ReadRichText(std::string_view rtf, QTextDocument& document) {
  document.clear();
  if (!LooksLikeRichText(rtf)) return false;
  // The letter as read is where editing starts: nothing of the reading is kept to be undone.
  const bool undo = document.isUndoRedoEnabled();
  document.setUndoRedoEnabled(false);
  RichTextReader(rtf, document).Read();
  document.setUndoRedoEnabled(undo);
  document.setModified(false);
  return true;
}

void ReadLetterText(std::string_view bytes, QTextDocument& document) {
  if (ReadRichText(bytes, document)) return;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
  if (utf8.hasError() || ascii) text = platform::text::ToQString(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  document.setPlainText(text);
  document.setModified(false);
}

}  // namespace forms
