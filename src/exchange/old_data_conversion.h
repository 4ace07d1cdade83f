#pragma once
// The conversion of an older program's companies into this program's files, without windows:
// the conversion windows and the tests run it. For each company of the old company list, in the
// order of its slots:
//
//   - a company number already in the company list refuses that company ("This company number
//     already exists."), and so does one that cannot name data files;
//   - the company record is converted by the plan's map and added to the company list; when
//     that fails, the whole conversion ends ("Add company data operation failed");
//   - each converted file is created empty with all its keys, and the old file's live records
//     are converted by their map and appended without keys (the rebuild that the first opening
//     of the company runs makes the keys);
//   - the other data files are copied as they are, and an index left under their names is
//     deleted, since it cannot belong to the copied data;
//   - every old file that could not be read and every file that could not be written or copied
//     is reported for the company.
//
// After the companies, the terms of the old terms file that ours lacks are appended to it, and
// the label layouts are copied where ours has none.

#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/conversion_maps.h"
#include "storage/data_file_unit.h"

namespace exchange {

// One old file rewritten record by record.
struct ConvertedFile {
  std::string_view FileCode;
  storage::DataFileUnit& (*Unit)();  // the kind of the new file
  const RecordMap* Map;
  int OldNumberOffset;  // the old short text that must not be empty: number, code, document
  int OldNumberWidth;
  QString CountCaption;          // the count line's caption; empty: the line is left alone
  int OldTypeOffset = -1;        // an old short text that, holding "R", passes the record over
  int NewLineKeyOffset = -1;     // the line key and line number that each line gets, numbered
  int NewLineNumberOffset = -1;  // within its document from "01"
  int NewDocumentOffset = -1;    // the new record's document number, for the numbering
};

struct ConversionPlan {
  std::string CompanyListFile;  // the old directory's company list
  const RecordMap* CompanyMap;
  std::vector<ConvertedFile> Files;
  std::vector<std::string_view> CopiedFiles;  // appended to the company number: "M.DAT"
};

// The progress lines of the conversion windows.
enum class ProgressLine { Companies, Company, Count, Total, File };

struct ConversionProgress {
  std::function<void(ProgressLine, const QString&)> Show;
  std::function<void()> Pump;                // lets pending window messages run
  std::function<void(const QString&)> Tell;  // a message the user must read
  std::function<void(const QString&)> Warn;  // what went wrong for one company or file
};

struct ConversionResult {
  int Converted = 0;              // companies added
  int Refused = 0;                // companies passed over
  bool Ended = false;             // a company could not be added: the run stopped there
  std::vector<QString> Problems;  // every one that was reported
};

// oldDirectory is the folder of the old company list, with or without a trailing separator.
ConversionResult ConvertOldCompanies(const ConversionPlan& plan, const std::string& oldDirectory,
                                     const ConversionProgress& progress);

// The sibling product's plan, and this program's version-2 plan.
const ConversionPlan& SiblingConversionPlan();
const ConversionPlan& Version2ConversionPlan();

// The texts of the run, as the user sees them.
inline const QString kCompanyExists = QStringLiteral("This company number already exists.");
inline const QString kAddCompanyFailed = QStringLiteral("Add company data operation failed");
inline const QString kFilesImported = QStringLiteral(
    "The files have been imported. Open EACH COMPANY (make it the default) you imported so that the data "
    "files can be rebuilt and aging recalculated. Then close the program and restart it to finish.");

}  // namespace exchange
