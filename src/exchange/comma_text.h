#pragma once
// Reading a delimited import file: its lines, and the items of one line.
//
// A line splits by the comma-text rule of the old string lists, not by RFC 4180:
//   - characters with codes 1 to 32 before an item are skipped;
//   - an item that begins with a double quote runs to the matching closing quote, two double
//     quotes inside standing for one; blanks and commas inside belong to the item;
//   - any other item runs up to the next comma or the next character of code 32 or less, so a
//     blank inside an unquoted item ends it and the rest becomes the next item;
//   - after an item, such characters are skipped, then one comma and those after it; two commas in a
//     row give an empty item between them; a comma at the end of the line gives no further item.

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace exchange {

std::vector<std::string> SplitCommaText(std::string_view line);

// A character of a text file that Windows-1252 cannot hold, where it stands (line and column
// counted from 1, a column being one character as a text editor counts them).
struct UnheldCharacter {
  int Line = 0;
  int Column = 0;
  QString Character;
  bool operator==(const UnheldCharacter&) const = default;
};

struct TextFileLines {
  std::vector<std::string> Lines;       // Windows-1252 bytes; an unheld character reads "?"
  std::vector<UnheldCharacter> Unheld;  // in file order
};

// The lines of a text file as Windows-1252 bytes. Lines end at CR LF, LF or a CR alone; a final
// line end gives no empty line after it. A file that starts with a byte-order mark (UTF-8 or
// UTF-16) is read in that encoding, and so is a file of well-formed UTF-8 holding at least one
// character beyond ASCII (such bytes are rarely also sensible Windows-1252 text); any other file
// is taken as Windows-1252. Nothing when the file cannot be read.
std::optional<TextFileLines> ReadTextLines(const QString& path);

}  // namespace exchange
