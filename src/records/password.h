#pragma once
// The access password. One optional password guards the whole program; it is kept in the file
// "pv1confg.dat" in the program directory, and the file exists only while a password is set.
//
// pv1confg.dat, 21 bytes, no header and no checksum:
//   offset  size  field
//        0     1  length of the password, 0 to 20
//        1    20  the password, Windows-1252 plain text, the rest zero
//
// The file is replaced whole (written beside, then renamed over the old one), so a failure while
// writing never leaves the program without its password or with half of one. It is readable by
// its owner only.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace records {

inline constexpr std::string_view PasswordFileName = "pv1confg.dat";
inline constexpr std::size_t PasswordMaxLength = 20;
inline constexpr std::size_t PasswordRecordSize = PasswordMaxLength + 1;
// A password needs at least this many characters; fewer removes the password.
inline constexpr std::size_t PasswordMinLength = 2;

// The password as it is kept and compared: without blanks at either end, at most 20 characters.
std::string NormalizePassword(std::string_view typed);

[[nodiscard]] bool SystemPasswordIsSet();
// The stored password, normalized; none when the file cannot be read (error, when given, says
// why).
std::optional<std::string> ReadSystemPassword(std::string* error);
[[nodiscard]] bool WriteSystemPassword(std::string_view password, std::string* error);
[[nodiscard]] bool RemoveSystemPassword(std::string* error);

}  // namespace records
