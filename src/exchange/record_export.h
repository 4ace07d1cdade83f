#pragma once
// The delimited text exports of customers, vendors and products, without windows. A kind
// describes one file and its fields: the first field that every line starts with, then the
// optional fields in the fixed order in which they stand in a line (the window may show their
// check boxes in another order). A line is built from one record's values by the delimiter
// rules below, and the file walked in key-1 order from the lowest key.
//
// Lines end with CR LF and carry the records' bytes (Windows-1252) unchanged. There is no
// header line.

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "storage/data_file_unit.h"
#include "storage/isam.h"

namespace exchange {

enum class DelimiterMode { CommaQuote, CommaOnly, Character };

struct Delimiter {
  DelimiterMode mode = DelimiterMode::CommaQuote;
  std::string character = ";";  // the Character mode's separator; blank or empty means ";"
};

// Each value trimmed of blanks, then joined. In the CommaQuote mode every value is enclosed in
// double quotes and a double quote inside a value is doubled, so every line reads back as the
// values written. The other two modes write the values as they stand.
std::string DelimitedLine(const std::vector<std::string>& values, const Delimiter& delimiter);

// One field of an export: its check box caption (the first field's label), whether it is
// ticked when the window opens, and its values in a record (one, or four address lines).
struct ExportField {
  QString caption;
  bool tickedByDefault = true;
  std::function<std::vector<std::string>(const void* record)> values;
};

struct RecordExportKind {
  QString title;            // "Customer Export to File"
  QString noun;             // "customers"
  QString defaultFileName;  // "CustList"
  QString fileCaption;      // "customer file", for failures of the walk
  ExportField first;
  std::vector<ExportField> optional;  // in line order
  storage::IsamFileBlock* file;       // the file block the manager holds open
  bool (*open)();                     // opens it when no window holds it
  storage::DataFileUnit& (*unit)();   // the file's routines, for what names it in a failure
  uint16_t recordLength;
};

const RecordExportKind& CustomerExportKind();
const RecordExportKind& VendorExportKind();
const RecordExportKind& ProductExportKind();

// The values of one line: the first field, then each ticked optional field (ticked[i] for
// optional[i]) in the kind's order.
std::vector<std::string> LineValues(const RecordExportKind& kind, const std::vector<bool>& ticked,
                                    const void* record);

// The lines of a file walked in key-1 order from the lowest key. error is 0 when the walk ran
// to the end of the index, else the engine's error code: the lines are then incomplete.
struct ExportLines {
  std::vector<std::string> lines;
  int32_t engineError = 0;
  std::string failure;  // after a failure: which file could not be read, and why
};

// Walks file by key 1; lineOf gives a record's line, or nothing when the record writes none.
ExportLines CollectLines(storage::IsamFileBlock file, uint16_t recordLength,
                         const std::function<std::optional<std::string>(const void*)>& lineOf);

// The lines of an export of kind with the ticked fields and delimiter: lines that are, trimmed,
// no longer than one character are left out. Uses the manager's open file, or opens and
// closes the file itself when no window holds it.
ExportLines ExportRecords(const RecordExportKind& kind, const std::vector<bool>& ticked,
                          const Delimiter& delimiter);

// Replaces the file at path with the lines, each ended by CR LF; the old file stays whole until
// the new one is complete. False with the system's reason in *error.
[[nodiscard]] bool WriteExportFile(const std::string& path, const std::vector<std::string>& lines,
                                   QString* error);

// "Reading the customer file failed (error 10140), so nothing was exported."
QString EngineFailureText(const QString& fileCaption, const ExportLines& exported);

}  // namespace exchange
