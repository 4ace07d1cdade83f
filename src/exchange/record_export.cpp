#include "exchange/record_export.h"

#include <cerrno>
#include <cstring>

#include "platform/files/file.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "records/customer_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"

namespace exchange {

using platform::text::TrimBlanks;
using records::CustomerRec;
using records::ProductRec;
using records::VendorRec;

namespace {

std::string Quoted(const std::string& value) {
  std::string text = "\"";
  for (char c : value) {
    if (c == '"') text += '"';
    text += c;
  }
  return text + '"';
}

// A field of one text member of Record.
template <class Record, class Member>
ExportField Text(const char* caption, Member Record::*member, bool ticked = true) {
  return {caption, ticked, [member](const void* record) {
            return std::vector<std::string>{(static_cast<const Record*>(record)->*member).Get()};
          }};
}

// A field of four text members of Record (an address).
template <class Record, class Member>
ExportField FourLines(const char* caption, Member Record::*line1, Member Record::*line2,
                      Member Record::*line3, Member Record::*line4) {
  return {caption, true, [=](const void* record) {
            const Record& r = *static_cast<const Record*>(record);
            return std::vector<std::string>{(r.*line1).Get(), (r.*line2).Get(), (r.*line3).Get(),
                                            (r.*line4).Get()};
          }};
}

// A Yes/No byte of a product: any byte but 0 counts as yes.
ExportField YesNo(const char* caption, records::Flag ProductRec::*member) {
  return {caption, true, [member](const void* record) {
            return std::vector<std::string>{static_cast<const ProductRec*>(record)->*member ? "Y" : "N"};
          }};
}

}  // namespace

std::string DelimitedLine(const std::vector<std::string>& values, const Delimiter& delimiter) {
  std::string separator = ",";
  if (delimiter.mode == DelimiterMode::Character) {
    const std::string chosen = TrimBlanks(delimiter.character);
    separator = chosen.empty() ? ";" : chosen.substr(0, 1);
  }
  std::string line;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) line += separator;
    const std::string value = TrimBlanks(values[i]);
    line += delimiter.mode == DelimiterMode::CommaQuote ? Quoted(value) : value;
  }
  return line;
}

const RecordExportKind& CustomerExportKind() {
  static const RecordExportKind kind{
      "Customer Export to File",
      "customers",
      "CustList",
      "customer file",
      Text("Customer Name (always)", &CustomerRec::CustomerName),
      {Text("Customer Number", &CustomerRec::CustomerNo),
       FourLines("Billing Address (4 lines)", &CustomerRec::CustBillTo1, &CustomerRec::CustBillTo2,
                 &CustomerRec::CustBillTo3, &CustomerRec::CustBillTo4),
       FourLines("Shipping Address (4 lines)", &CustomerRec::ShipTo1, &CustomerRec::ShipTo2,
                 &CustomerRec::ShipTo3, &CustomerRec::ShipTo4),
       Text("Phone Number 1", &CustomerRec::Phone1), Text("Shipping Phone Number 2", &CustomerRec::Phone2),
       Text("Customer Type", &CustomerRec::CustomerType), Text("Short Name", &CustomerRec::ShortName),
       Text("Mail List Sort Code", &CustomerRec::MailSortCode),
       Text("E-Mail Address", &CustomerRec::CustEMail),
       Text("Account Balance", &CustomerRec::CustBalance, false),
       Text("Last Payment Date", &CustomerRec::LastPayment, false),
       Text("Customer Notes/Comments", &CustomerRec::CustNotes, false)},
      &records::CustomerFile,
      &records::OpenCustomerFile,
      &records::CustomerUnit,
      sizeof(CustomerRec)};
  return kind;
}

const RecordExportKind& VendorExportKind() {
  static const RecordExportKind kind{
      "Vendor Export to File",
      "vendors",
      "VendList",
      "vendor file",
      Text("Vendor Name (always)", &VendorRec::VendorName),
      {Text("Vendor Number", &VendorRec::VendorNo),
       FourLines("Billing Address (4 lines)", &VendorRec::OrderAddr1, &VendorRec::OrderAddr2,
                 &VendorRec::OrderAddr3, &VendorRec::OrderAddr4),
       FourLines("Shipping Address (4 lines)", &VendorRec::ShipTo1, &VendorRec::ShipTo2, &VendorRec::ShipTo3,
                 &VendorRec::ShipTo4),
       Text("Phone Number 1", &VendorRec::Phone1), Text("Shipping Phone Number 2", &VendorRec::Phone2),
       Text("Vendor Type", &VendorRec::VendorType), Text("Short Name", &VendorRec::ShortName),
       Text("Mail List Sort Code", &VendorRec::MailSortCode), Text("E-Mail Address", &VendorRec::VendEMail),
       Text("Vendor Notes/Comments", &VendorRec::VendNotes, false)},
      &records::VendorFile,
      &records::OpenVendorFile,
      &records::VendorUnit,
      sizeof(VendorRec)};
  return kind;
}

const RecordExportKind& ProductExportKind() {
  static const RecordExportKind kind{
      "Product Export to File",
      "products",
      "ProdList",
      "product file",
      Text("Product Code (always)", &ProductRec::Code),
      {Text("Invoice Description", &ProductRec::Description),
       Text("PO Description", &ProductRec::PODescription),
       YesNo("Taxable Code (invoice)", &ProductRec::TaxOnInvoice),
       YesNo("Taxable Code (PO)", &ProductRec::TaxOnPO), YesNo("Non-stock Code", &ProductRec::NonStock),
       YesNo("Non-Depleting Code", &ProductRec::NonDepleting), Text("Sales Price", &ProductRec::Price),
       Text("List Price", &ProductRec::ListPrice), Text("Your Cost", &ProductRec::Cost),
       Text("Stock Balance", &ProductRec::OnHand), Text("Storage Location", &ProductRec::Location),
       Text("Key Code", &ProductRec::KeyCode), Text("Maximum Quantity", &ProductRec::MaximumQuantity),
       Text("Minimum Quantity", &ProductRec::MinimumQuantity),
       Text("Target Quantity", &ProductRec::TargetQuantity)},
      &records::ProductFile,
      &records::OpenProductFile,
      &records::ProductUnit,
      sizeof(ProductRec)};
  return kind;
}

std::vector<std::string> LineValues(const RecordExportKind& kind, const std::vector<bool>& ticked,
                                    const void* record) {
  std::vector<std::string> values = kind.first.values(record);
  for (std::size_t i = 0; i < kind.optional.size(); ++i) {
    if (i >= ticked.size() || !ticked[i]) continue;
    for (std::string& value : kind.optional[i].values(record)) values.push_back(std::move(value));
  }
  return values;
}

ExportLines CollectLines(storage::IsamFileBlock file, uint16_t recordLength,
                         const std::function<std::optional<std::string>(const void*)>& lineOf) {
  ExportLines result;
  std::vector<uint8_t> record(recordLength);
  storage::IsamKeyStr key;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(file, 1, ref, key);
  // An empty file answers the search with "not found", the last entry the step with "end of
  // index"; anything else is a failure that leaves the lines incomplete.
  int32_t normalEnd = storage::IsamErrKeyNotFound;
  while (storage::IsamOK) {
    storage::IsamGetRec(file, ref, record.data(), record.size());
    if (!storage::IsamOK) break;
    if (std::optional<std::string> line = lineOf(record.data())) result.lines.push_back(std::move(*line));
    storage::IsamNextKey(file, 1, ref, key);
    normalEnd = storage::IsamErrEndOfIndex;
  }
  if (storage::IsamError != normalEnd) result.engineError = storage::IsamError ? storage::IsamError : -1;
  return result;
}

ExportLines ExportRecords(const RecordExportKind& kind, const std::vector<bool>& ticked,
                          const Delimiter& delimiter) {
  records::FileForAction file(*kind.file, kind.open);
  if (!file.Open())
    return {{}, storage::IsamError ? storage::IsamError : -1, records::DataFileUnusableText(kind.unit())};
  ExportLines exported =
      CollectLines(*kind.file, kind.recordLength, [&](const void* record) -> std::optional<std::string> {
        std::string line = DelimitedLine(LineValues(kind, ticked, record), delimiter);
        if (TrimBlanks(line).size() <= 1) return std::nullopt;
        return line;
      });
  if (exported.engineError != 0) exported.failure = records::DataFileUnusableText(kind.unit());
  return exported;
}

bool WriteExportFile(const std::string& path, const std::vector<std::string>& lines, QString* error) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  int err = 0;
  if (platform::files::WriteWholeFile(path, text, &err)) return true;
  if (error) *error = QString::fromLocal8Bit(std::strerror(err ? err : EIO));
  return false;
}

QString EngineFailureText(const QString& fileCaption, const ExportLines& exported) {
  if (!exported.failure.empty())
    return platform::text::ToQString(exported.failure) + QStringLiteral("  Nothing was exported.");
  return QStringLiteral("Reading the %1 failed (error %2), so nothing was exported.")
      .arg(fileCaption)
      .arg(exported.engineError);
}

}  // namespace exchange
