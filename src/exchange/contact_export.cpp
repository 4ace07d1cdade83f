#include "exchange/contact_export.h"

#include "exchange/record_export.h"
#include "forms/unusable_file.h"
#include "platform/text/key_text.h"
#include "platform/ui/message_box.h"
#include "records/customer_rec.h"
#include "records/record_file.h"
#include "records/vendor_rec.h"

namespace exchange {

namespace {

constexpr char Title[] = "Contact Manager Export";

// Every field of the kind's delimited export, with the vendor's two texts at the customer's
// balance and last payment inserted before the notes.
std::vector<std::string> VendorContactValues(const void* record) {
  const auto& vendor = *static_cast<const records::VendorRec*>(record);
  const RecordExportKind& kind = VendorExportKind();
  std::vector<std::string> values = LineValues(kind, std::vector<bool>(kind.optional.size(), true), record);
  values.insert(values.end() - 1, {vendor.Balance.Get(), vendor.LastPayment.Get()});
  return values;
}

std::vector<std::string> CustomerContactValues(const void* record) {
  const RecordExportKind& kind = CustomerExportKind();
  return LineValues(kind, std::vector<bool>(kind.optional.size(), true), record);
}

// The lines of every record of the kind's file; raises records::FileUnusable when the file is
// there and cannot be opened or read to its end.
std::vector<std::string> ContactLines(const RecordExportKind& kind,
                                      std::vector<std::string> (*valuesOf)(const void*)) {
  records::FileForAction file(*kind.file, kind.open);
  if (!records::ThereToRead(file, kind.unit())) return {};
  ExportLines exported =
      CollectLines(*kind.file, kind.recordLength, [&](const void* record) -> std::optional<std::string> {
        const std::vector<std::string> values = valuesOf(record);
        if (platform::text::TrimBlanks(values.front()).size() <= 1) return std::nullopt;
        return DelimitedLine(values, {DelimiterMode::CommaQuote, ","});
      });
  if (exported.engineError != 0) records::ThrowFileUnusable(kind.unit());
  return std::move(exported.lines);
}

void ExportForContactManager(const RecordExportKind& kind, const std::string& fileName,
                             std::vector<std::string> (*valuesOf)(const void*)) {
  std::vector<std::string> lines;
  if (!forms::ReadAll(Title, [&] { lines = ContactLines(kind, valuesOf); })) return;
  QString reason;
  if (!WriteExportFile(fileName, lines, &reason)) {
    platform::ui::MessageBox(
        QStringLiteral("Cannot write \"%1\": %2").arg(QString::fromStdString(fileName), reason), Title,
        platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Error);
    return;
  }
  platform::ui::MessageBox(
      QStringLiteral("Export complete. There were %1 records exported.").arg(lines.size()), Title);
}

}  // namespace

void ContactManagerExportCustomers() {
  ExportForContactManager(CustomerExportKind(), "CPCUST.TXT", CustomerContactValues);
}

void ContactManagerExportVendors() {
  ExportForContactManager(VendorExportKind(), "CPVEND.TXT", VendorContactValues);
}

}  // namespace exchange
