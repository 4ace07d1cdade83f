#include "records/payment_terms.h"

#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"

namespace records {

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::UpperCase;
using platform::ui::Application;

namespace {

void ReportFileError(const char* what, int err) {
  Application->ShowException(QStringLiteral("%1 %2: %3")
                                 .arg(QString::fromLatin1(what), ToQString(PaymentTermsFileName),
                                      QString::fromLocal8Bit(std::strerror(err ? err : EIO))));
}

bool SameTerm(const QString& a, const QString& b) {
  return UpperCase(ToAnsi(a)) == UpperCase(ToAnsi(b));
}

}  // namespace

QStringList LoadPaymentTerms() {
  std::string bytes;
  int err = 0;
  if (!platform::files::ReadWholeFile(PaymentTermsFileName, &bytes, &err)) {
    if (err != ENOENT) ReportFileError("Cannot read", err);
    return {};
  }
  return SplitPaymentTerms(bytes);
}

QStringList SplitPaymentTerms(const std::string& bytes) {
  QStringList lines = ToQString(bytes).split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();  // the last line's end
  return lines;
}

int MergePaymentTerms(const QStringList& terms) {
  std::string bytes;
  int err = 0;
  // A file that is there but cannot be read is not written over with the new terms alone.
  if (!platform::files::ReadWholeFile(PaymentTermsFileName, &bytes, &err) && err != ENOENT) return -1;
  QStringList merged = SplitPaymentTerms(bytes);
  int appended = 0;
  for (const QString& term : terms) {
    if (term.trimmed().isEmpty()) continue;
    const bool known =
        std::any_of(merged.begin(), merged.end(), [&](const QString& t) { return SameTerm(t, term); });
    if (known) continue;
    merged << term;
    ++appended;
  }
  if (appended == 0) return 0;
  return SavePaymentTerms(merged) ? appended : -1;
}

bool SavePaymentTerms(const QStringList& terms) {
  std::string bytes;
  for (const QString& term : terms) bytes += ToAnsi(term) + "\r\n";
  int err = 0;
  if (platform::files::WriteWholeFile(PaymentTermsFileName, bytes, &err)) return true;
  ReportFileError("Cannot write", err);
  return false;
}

QStringList DefaultPaymentTerms() {
  return {QStringLiteral("Due on Receipt"), QStringLiteral("Net 10 Days"),
          QStringLiteral("Net 15 Days"),    ToQString(DefaultCompanyRecord().DefaultInvoiceTerms.Get()),
          QStringLiteral("Net 60 Days"),    QStringLiteral("COD")};
}

bool CreatePaymentTermsFileIfMissing() {
  if (platform::files::Exists(PaymentTermsFileName)) return true;
  return SavePaymentTerms(DefaultPaymentTerms());
}

void LoadPaymentTermsInto(QComboBox& terms) {
  QString typed = terms.currentText();
  terms.clear();
  terms.addItems(LoadPaymentTerms());
  if (terms.isEditable()) terms.setEditText(typed);
}

bool ConfirmPaymentTerm(QComboBox& terms) {
  QString term = terms.currentText();
  for (int i = 0; i < terms.count(); ++i)
    if (SameTerm(terms.itemText(i), term)) return true;

  switch (platform::ui::MessageBox(
      QStringLiteral("This is a new payment term. Would you like to add terms to the terms file?"),
      QStringLiteral("Terms: ") + term, platform::ui::MsgButtons::YesNoCancel,
      platform::ui::MsgIcon::Question)) {
    case platform::ui::mrYes: {
      terms.addItem(term);
      terms.setEditText(term);
      QStringList list;
      for (int i = 0; i < terms.count(); ++i) list << terms.itemText(i);
      // A term that cannot be saved was said (with the system's reason); it still serves this record.
      (void)SavePaymentTerms(list);
      return true;
    }
    case platform::ui::mrNo:
      return true;
    default:
      terms.setFocus();
      return false;
  }
}

}  // namespace records
