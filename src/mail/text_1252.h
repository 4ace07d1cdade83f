#pragma once
// Mail text is Windows-1252 bytes, as the rest of the program's records are; these two turn it
// into Qt text and back at the edges that need Qt text (the address dialog, file-type look-ups).

#include <QString>
#include <string>
#include <string_view>

namespace mail {

QString FromWindows1252(std::string_view bytes);
// Characters that Windows-1252 cannot hold become "?".
std::string ToWindows1252(const QString& text);

}  // namespace mail
