#pragma once
// The common dialogs: open and save a file, choose a folder, choose a font, set up the printer.
// Each takes a request that it fills in on OK and returns false on Cancel. Every dialog goes
// through the installed UiDriver, so a test script can answer it.
//
// None of them changes the current directory: the program's data files live there.

#include <QString>
#include <QStringList>
#include <cstdint>

class QFont;
class QPrinter;

namespace platform::ui {

struct FileDialogRequest {
  QString title;                 // empty: "Open" or "Save As"
  QString filter;                // "Description|*.EXT;*.EX2|All files|*.*", as the program's texts give it
  int filterIndex = 1;           // which pair of the filter is chosen first, from 1
  QString initialDir;            // empty: the current directory
  QString defaultExt;            // "RTF": appended when the typed name has no extension
  QString fileName;              // in: the name proposed; out: the full path chosen
  bool overwritePrompt = false;  // save: ask before replacing an existing file
  bool offerReadOnly = false;    // open: show the "Open as read-only" box
  bool readOnly = false;         // out: the box was ticked
};

bool OpenFileDialog(FileDialogRequest& request);
bool SaveFileDialog(FileDialogRequest& request);

struct FolderRequest {
  QString title;
  QString folder;  // in: where to start (empty: the current directory); out: the folder chosen
};

bool ChooseFolderDialog(FolderRequest& request);

// The sizes in points a font dialog lets the user choose.
inline constexpr int MinFontSize = 1;
inline constexpr int MaxFontSize = 1638;
// A size stored in a file is taken only within that range: beyond it a printout's arithmetic on
// the size (titles at twice the size) would overflow.
constexpr bool IsDialogFontSize(int64_t size) {
  return size >= MinFontSize && size <= MaxFontSize;
}

// A font as the company records keep it: face name, size in points, the four style bits and a
// Windows colour value (0x00BBGGRR, or a system colour 0x80000000 | index).
struct FontChoice {
  QString name;
  int size = 10;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int32_t color = 0;

  bool operator==(const FontChoice&) const = default;
};

QFont ToQFont(const FontChoice& font);
// Takes name, size and style from font; the colour is kept from `color`.
FontChoice FromQFont(const QFont& font, int32_t color);

struct FontRequest {
  FontChoice font;  // in: the font shown first; out: the font chosen
  bool fixedPitchOnly = false;
};

bool FontDialog(FontRequest& request);

// Lets the user choose the printer and its settings (paper, orientation) for later jobs.
bool PrinterSetupDialog(QPrinter& printer);

// "Rich Text File|*.RTF" -> {"Rich Text File (*.RTF *.rtf)"}. Patterns match either case of
// their letters, since the program's file names are case-insensitive, and "*.*" matches every
// name, with or without a dot.
QStringList QtNameFilters(const QString& filter);

}  // namespace platform::ui
