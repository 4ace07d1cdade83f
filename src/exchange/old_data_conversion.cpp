#include "exchange/old_data_conversion.h"

#include <QStringList>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>

#include "exchange/old_file_reader.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/payment_terms.h"
#include "records/po_detail_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/system_reason.h"
#include "storage/isam.h"
#include "storage/naming.h"

namespace exchange {

namespace files = platform::files;
using platform::text::ToQString;
using platform::text::TrimBlanks;

namespace {

// The old company record's number and name.
constexpr int kOldNumberOffset = 40;
constexpr int kOldNameOffset = 4;
// Program steps between two looks at pending window messages.
constexpr int kRecordsBetweenPumps = 50;

constexpr const char* kLabelLayouts[] = {"A5162.LBL", "A5161.LBL", "A5163.LBL", "A5160.LBL"};

QString Q(std::string_view text) {
  return ToQString(std::string(text));
}

std::string InFolder(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  const char last = folder.back();
  return folder + (last == '/' || last == '\\' ? "" : "/") + std::string(name);
}

class CompanyConversion {
 public:
  CompanyConversion(const ConversionPlan& plan, const std::string& oldDirectory,
                    const ConversionProgress& progress, std::string number)
      : plan_(plan), oldDirectory_(oldDirectory), progress_(progress), number_(std::move(number)) {}

  void ConvertFiles() {
    for (const ConvertedFile& file : plan_.Files) ConvertFile(file);
    for (std::string_view suffix : plan_.CopiedFiles) CopyDataFile(suffix);
  }
  const QStringList& Problems() const { return problems_; }

 private:
  void Problem(const QString& text) { problems_ << text; }

  void ConvertFile(const ConvertedFile& file) {
    const std::string base = *records::DataFileBaseName(number_, file.FileCode);
    const std::string newName = storage::IsamFileName(base, storage::IsamDataExt);
    const std::string oldName = number_ + std::string(file.FileCode) + ".DAT";
    progress_.Show(ProgressLine::File, Q(newName));
    if (!file.Unit().CreateFileNamed(base)) {
      Problem(Q(newName) + ": could not be created.");
      return;
    }
    storage::IsamFileBlock target = nullptr;
    storage::IsamOpenFileBlock(target, base, false, false, false, false);
    if (!storage::IsamOK) {
      Problem(Q(newName) + ": could not be opened.");
      return;
    }
    OldDataFile old;
    if (old.Open(InFolder(oldDirectory_, oldName))) {
      if (!file.CountCaption.isEmpty())
        progress_.Show(ProgressLine::Total, file.CountCaption + QString::number(old.LiveRecords()));
      AppendConverted(file, old, target, Q(newName));
      if (old.Damaged())
        Problem(Q(oldName) + ": " + Q(old.Problem()) + "; the records it still holds whole were converted.");
    } else {
      Problem(Q(oldName) + ": " + Q(old.Problem()) + "; " + Q(newName) + " was left empty.");
    }
    storage::IsamCloseFileBlock(target);
    if (!storage::IsamOK) Problem(Q(newName) + ": could not be closed.");
  }

  void AppendConverted(const ConvertedFile& file, OldDataFile& old, storage::IsamFileBlock target,
                       const QString& newName) {
    std::map<std::string, int> linesOfDocument;
    std::vector<uint8_t> record;
    int count = 0;
    int failed = 0;
    bool tooManyLines = false;
    while (old.Next(record)) {
      if (TrimBlanks(OldText(record, file.OldNumberOffset, file.OldNumberWidth)).empty()) continue;
      if (file.OldTypeOffset >= 0 && TrimBlanks(OldText(record, file.OldTypeOffset, 1)) == "R") continue;
      std::vector<uint8_t> converted = ConvertRecord(*file.Map, record);
      if (file.NewLineKeyOffset >= 0) {
        const std::string document = TrimBlanks(OldText(converted, file.NewDocumentOffset, 9));
        const int line = ++linesOfDocument[document];
        tooManyLines = tooManyLines || line > 99;
        PutShortText(converted, file.NewLineKeyOffset, 20, records::LineKeyText(document, line));
        PutShortText(converted, file.NewLineNumberOffset, 2, records::LineNumberText(line));
      }
      storage::IsamRecRef ref = 0;
      storage::IsamAddRec(target, ref, converted.data(), converted.size());
      if (!storage::IsamOK) ++failed;
      progress_.Show(ProgressLine::Count, QString::number(++count));
      if (count % kRecordsBetweenPumps == 0) progress_.Pump();
    }
    progress_.Pump();
    if (failed > 0) Problem(newName + QString(": %1 records could not be written.").arg(failed));
    if (tooManyLines)
      Problem(newName + ": a document has more than 99 lines; its later lines share a number.");
  }

  void CopyDataFile(std::string_view suffix) {
    const std::string name = number_ + std::string(suffix);
    const std::string from = InFolder(oldDirectory_, name);
    progress_.Show(ProgressLine::File, Q(name));
    int err = 0;
    if (!files::Exists(from)) {
      Problem(Q(name) + ": not found.");
      return;
    }
    if (!files::CopyFile(from, name, &err)) {
      Problem(Q(name) + ": could not be copied (" + QString::fromLocal8Bit(std::strerror(err ? err : EIO)) +
              ").");
      return;
    }
    // An index under the same name was made for other data: the rebuild makes the right one.
    const std::string index = storage::IsamFileName(name, storage::IsamIndexExt);
    if (files::Exists(index) && !files::DeleteFile(index))
      Problem(Q(index) + ": could not be deleted; rebuild this company's files before using them.");
  }

  const ConversionPlan& plan_;
  const std::string& oldDirectory_;
  const ConversionProgress& progress_;
  std::string number_;
  QStringList problems_;
};

// The old terms the terms file lacks are appended; label layouts are copied only where there
// are none, so layouts the user has set up stay as they are.
QStringList ConvertSharedFiles(const std::string& oldDirectory) {
  QStringList problems;
  const std::string terms(records::PaymentTermsFileName);
  std::string bytes;
  int err = 0;
  if (!files::ReadWholeFile(InFolder(oldDirectory, terms), &bytes, &err)) {
    problems << Q(terms) + (err == ENOENT ? ": not found." : ": could not be read.");
  } else if (records::MergePaymentTerms(records::SplitPaymentTerms(bytes)) < 0) {
    problems << Q(terms) + ": the old terms could not be added.";
  }
  for (const char* layout : kLabelLayouts) {
    if (files::Exists(layout)) continue;
    const std::string from = InFolder(oldDirectory, layout);
    if (!files::Exists(from))
      problems << Q(layout) + ": not found.";
    else if (!files::CopyFile(from, layout))
      problems << Q(layout) + ": could not be copied.";
  }
  return problems;
}

void Report(ConversionResult& result, const ConversionProgress& progress, const QString& heading,
            const QStringList& problems) {
  if (problems.isEmpty()) return;
  const QString text = heading + "\n" + problems.join('\n');
  result.Problems.push_back(text);
  progress.Warn(text);
}

}  // namespace

ConversionResult ConvertOldCompanies(const ConversionPlan& plan, const std::string& oldDirectory,
                                     const ConversionProgress& progress) {
  ConversionResult result;
  OldDataFile list;
  if (!list.Open(InFolder(oldDirectory, plan.CompanyListFile))) {
    Report(result, progress,
           "The companies were not converted:", {Q(plan.CompanyListFile) + ": " + Q(list.Problem()) + "."});
    result.Ended = true;
    return result;
  }
  progress.Show(ProgressLine::Companies, QString("Companies to Convert: %1").arg(list.LiveRecords()));
  records::FileForAction companyList(records::CompanyFile, records::OpenCompanyFile);
  if (!companyList.Open()) {
    Report(result, progress,
           "The companies were not converted:", {"The company list file could not be opened."});
    result.Ended = true;
    return result;
  }
  std::vector<uint8_t> old;
  while (list.Next(old)) {
    const std::string number = TrimBlanks(OldText(old, kOldNumberOffset, 5));
    const QString heading = Q(number) + " - " + Q(TrimBlanks(OldText(old, kOldNameOffset, 35)));
    progress.Show(ProgressLine::Company, heading);
    progress.Pump();
    if (!records::IsValidCompanyNumber(number)) {
      ++result.Refused;
      Report(
          result, progress, heading,
          {"This company number cannot name data files (letters and digits, ending in a digit); the company "
           "was not converted."});
      continue;
    }
    records::CompanyRec existing;
    storage::IsamRecRef ref = 0;
    bool listed = false;
    try {
      listed = records::FindCompanyRecord(number, existing, ref);
    } catch (const records::FileUnusable& unreadable) {
      // A list that cannot be searched is no number free: the run stops before this company.
      Report(result, progress, heading, {Q(unreadable.what())});
      result.Ended = true;
      break;
    }
    if (listed) {
      ++result.Refused;
      progress.Tell(kCompanyExists);
      continue;
    }
    const std::vector<uint8_t> company = ConvertRecord(*plan.CompanyMap, old);
    std::memcpy(&records::CompanyWorkRec, company.data(), sizeof records::CompanyWorkRec);
    // Files a deletion killed half-way left under this number are gone before the company comes;
    // while they cannot go, the company is not added over them.
    std::string failure;
    bool added = records::FinishCompanyDeletion(number, &failure);
    if (added && !records::AddCompanyRecord(ref)) {
      added = false;
      failure = records::SystemReason();
    }
    if (!added) {
      result.Ended = true;
      progress.Tell(Q(records::WithReason(kAddCompanyFailed.toStdString(), failure)));
      break;
    }
    ++result.Converted;
    CompanyConversion conversion(plan, oldDirectory, progress, number);
    conversion.ConvertFiles();
    Report(result, progress, heading, conversion.Problems());
  }
  if (list.Damaged())
    Report(result, progress,
           "The old company list:", {Q(plan.CompanyListFile) + ": " + Q(list.Problem()) + "."});
  if (result.Converted > 0) Report(result, progress, "The shared files:", ConvertSharedFiles(oldDirectory));
  return result;
}

const ConversionPlan& SiblingConversionPlan() {
  static const ConversionPlan plan{
      "COMPANY.DAT",
      &SiblingCompanyMap,
      {
          {records::FileCodeCustomers, records::CustomerUnit, &SiblingCustomerMap, 4, 8, {}},
          {records::FileCodeInvoices, records::InvoiceUnit, &SiblingInvoiceMap, 4, 9,
           "Invoices to Convert: ", 14},
          {records::FileCodeInvoiceLines, records::DetailUnit, &SiblingDetailMap, 78, 9,
           "detail to Convert: ", -1, offsetof(records::DetailRec, LineKey),
           offsetof(records::DetailRec, LineNumber), offsetof(records::DetailRec, InvoiceNumber)},
          {records::FileCodeProducts, records::ProductUnit, &SiblingProductMap, 4, 15, "detail to Convert: "},
      },
      {"M.DAT"},
  };
  return plan;
}

const ConversionPlan& Version2ConversionPlan() {
  static const ConversionPlan plan{
      "OVCOMP.DAT",
      &Version2CompanyMap,
      {
          {records::FileCodeProducts, records::ProductUnit, &Version2ProductMap, 4, 15,
           "detail to Convert: "},
          {records::FileCodeInvoiceLines, records::DetailUnit, &Version2DetailMap, 82, 9,
           "detail to Convert: ", -1, offsetof(records::DetailRec, LineKey),
           offsetof(records::DetailRec, LineNumber), offsetof(records::DetailRec, InvoiceNumber)},
          {records::FileCodePOLines, records::PODetailUnit, &Version2PODetailMap, 82, 9,
           "detail to Convert: ", -1, offsetof(records::PODetailRec, LineKey),
           offsetof(records::PODetailRec, LineNumber), offsetof(records::PODetailRec, PONumber)},
      },
      {"PM.DAT", "O.DAT", "C.DAT", "V.DAT", "I.DAT", "M.DAT"},
  };
  return plan;
}

}  // namespace exchange
