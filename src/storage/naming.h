#pragma once
// File names of a file set. A base name "data;index" names the data (and journal) file by the
// part before the first ";" and the index file by the part after it; a plain base name serves
// all of them. The extension replaces a trailing ".xxx" of the name (a "." followed by no folder
// separator) or is appended; the result is cut to IsamNameMaxLen characters. Both "\" and "/"
// separate folders.

#include <optional>
#include <string>

namespace storage {

inline constexpr const char* IsamDataExt = "DAT";
inline constexpr const char* IsamIndexExt = "IX";
inline constexpr const char* IsamJournalExt = "DIA";
inline constexpr const char* IsamSaveExt = "SAV";
inline constexpr const char* IsamLogExt = "MSG";

// The part of the base name that names the data and journal files.
std::string IsamDataPart(const std::string& baseName);
// The part of the base name that names the index file.
std::string IsamIndexPart(const std::string& baseName);
// name with its extension replaced by (or extended with) ext, cut to IsamNameMaxLen.
std::string IsamFileName(const std::string& name, const std::string& ext);

// The company a data file belongs to by its name (folders left out): a company's file is its
// number, which ends in a digit, followed by the letters of the file's code ("12C.DAT": "12", in
// upper case); a name without a digit is a file all companies share (the company list: ""); any
// other name belongs to neither (nothing).
std::optional<std::string> IsamDataFileOwner(const std::string& dataFileName);

}  // namespace storage
