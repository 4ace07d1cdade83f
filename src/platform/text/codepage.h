#pragma once
// The one crossing between the program's text and Qt's. Records, keys, side files, exports and
// mail bodies hold Windows-1252 bytes, exactly as the files written by earlier versions do;
// only widgets, dialogs and painters see QString. Everything that goes to or comes from the
// user interface passes through this pair of functions and through nothing else.

#include <QString>
#include <string>
#include <string_view>

namespace platform::text {

// Windows-1252 bytes to Unicode. Every byte has a meaning (the five bytes that Windows-1252
// leaves unassigned come back as the control characters of the same number), so
// ToAnsi(ToQString(bytes)) == bytes for any bytes at all.
QString ToQString(std::string_view ansi);

// Unicode to Windows-1252. A character that Windows-1252 cannot hold becomes "?".
std::string ToAnsi(const QString& text);

// The characters of the text that Windows-1252 cannot hold, each once, in the order they first
// appear (a character outside the Basic Multilingual Plane counts as one); empty when ToAnsi
// keeps the whole text.
QString CharactersOutsideCodepage(const QString& text);

}  // namespace platform::text
