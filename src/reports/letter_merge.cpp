#include "reports/letter_merge.h"

#include <QFont>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

#include "forms/rich_text_file.h"
#include "platform/files/file.h"
#include "platform/print/print_document.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "reports/label_lookup.h"

namespace reports {

using records::CompanyRec;
using records::CustomerRec;

const std::array<MergeKeyword, kMergeKeywordCount>& MergeKeywords() {
  static const std::array<MergeKeyword, kMergeKeywordCount> keywords = {{
      {"PVCSTNO", "PVCSTNO - Customer Number"},
      {"PVCSTNAME", "PVCSTNAME - Customer Name"},
      {"PVCSTBAL", "PVCSTBAL - Customer Balance"},
      {"PVCSTLPMT", "PVCSTLPMT - Customers Last Payment Date"},
      {"PVCSTLSTINV", "PVCSTLSTINV - Customers Last Invoice Number"},
      {"PVCSTTYPE", "PVCSTTYPE - Customer Type"},
      {"PVCSTCREDIT", "PVCSTCREDIT - Customer Credit Limit"},
      {"PVCSTTERMS", "PVCSTTERMS - Customer Payment Terms"},
      {"PVCSTADD1", "PVCSTADD1 - Customer Address Line 1"},
      {"PVCSTADD2", "PVCSTADD2 - Customer Address Line 2"},
      {"PVCSTADD3", "PVCSTADD3 - Customer Address Line 3"},
      {"PVCSTADD4", "PVCSTADD4 - Customer Address Line 4"},
      {"PVCSTPHN1", "PVCSTPHN1 - Customer Billing Address Phone Number"},
      {"PVCSTSHP1", "PVCSTSHP1 - Customer Shipping Address Line 1"},
      {"PVCSTSHP2", "PVCSTSHP2 - Customer Shipping Address Line 2"},
      {"PVCSTSHP3", "PVCSTSHP3 - Customer Shipping Address Line 3"},
      {"PVCSTSHP4", "PVCSTSHP4 - Customer Shipping Address Line 4"},
      {"PVCSTPHN2", "PVCSTPHN2 - Customer Shipping Phone Number"},
      {"PVCSTACUR", "PVCSTACUR - Customer Aging Amount (0-30 days)"},
      {"PVCSTA3060", "PVCSTA3060 - Customer Aging Amount (30-60 days)"},
      {"PVCSTA6090", "PVCSTA6090 - Customer Aging Amount (60-90 days)"},
      {"PVCSTAOV90", "PVCSTAOV90 - Customer Aging Amount (0ver 90 days)"},
      {"PVCSTNOTES", "PVCSTNOTES - Customer Notes"},
      {"PVCSTSNAME", "PVCSTSNAME - Customer Short Name"},
      {"PVCSTMLIST", "PVCSTMLIST - Customer Mailing List Sort Code"},
      {"PVCMPNAME", "PVCMPNAME - Default Company Name"},
      {"PVCMPADD1", "PVCMPADD1 - Default Company Address Line 1"},
      {"PVCMPADD2", "PVCMPADD2 - Default Company Address Line 2"},
      {"PVCMPADD3", "PVCMPADD3 - Default Company Address Line 3"},
      {"PVCMPADD4", "PVCMPADD4 - Default Company Address Line 4"},
      {"PVCMPADD5", nullptr},
  }};
  return keywords;
}

namespace {

// A value as it goes into a letter: line ends in a stored text (the notes) break the line, not
// the paragraph, so that the paragraph keeps its format.
QString LetterText(const std::string& stored) {
  QString text = platform::text::ToQString(stored);
  text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
  text.replace(QChar('\n'), QChar::LineSeparator).replace(QChar('\r'), QChar::LineSeparator);
  return text;
}

template <size_t N>
QString Trimmed(const platform::text::ShortString<N>& field) {
  return LetterText(platform::text::TrimBlanks(field.Get()));
}

}  // namespace

std::array<QString, kMergeKeywordCount> MergeValues(const CustomerRec& c, const CompanyRec& company) {
  return {Trimmed(c.CustomerNo),
          Trimmed(c.CustomerName),
          Trimmed(c.CustBalance),
          LetterText(c.LastPayment.Get()),
          Trimmed(c.LastInvoice),
          Trimmed(c.CustomerType),
          Trimmed(c.CreditLimit),
          Trimmed(c.PaymentTerms),
          Trimmed(c.CustBillTo1),
          Trimmed(c.CustBillTo2),
          Trimmed(c.CustBillTo3),
          Trimmed(c.CustBillTo4),
          Trimmed(c.Phone1),
          Trimmed(c.ShipTo1),
          Trimmed(c.ShipTo2),
          Trimmed(c.ShipTo3),
          Trimmed(c.ShipTo4),
          Trimmed(c.Phone2),
          Trimmed(c.CustAging1),
          Trimmed(c.CustAging2),
          Trimmed(c.CustAging3),
          Trimmed(c.CustAging4),
          Trimmed(c.CustNotes),
          Trimmed(c.ShortName),
          Trimmed(c.MailSortCode),
          Trimmed(company.CompanyName),
          Trimmed(company.CompanyAddr1),
          Trimmed(company.CompanyAddr2),
          Trimmed(company.CompanyAddr3),
          Trimmed(company.CompanyAddr4),
          Trimmed(company.CompanyContact)};
}

int ReplaceKeyword(QTextDocument& letter, const QString& keyword, const QString& value) {
  const auto options = QTextDocument::FindCaseSensitively | QTextDocument::FindWholeWords;
  int replaced = 0;
  QTextCursor at(&letter);  // the start: a keyword at the very first character counts
  for (;;) {
    QTextCursor found = letter.find(keyword, at, options);
    if (found.isNull()) return replaced;
    const QTextCharFormat format = found.charFormat();
    found.insertText(value, format);
    ++replaced;
    at = found;  // after the value just inserted
  }
}

void MergeLetter(QTextDocument& letter, const CustomerRec& customer, const CompanyRec& company) {
  const auto values = MergeValues(customer, company);
  for (int k = 0; k < kMergeKeywordCount; ++k)
    ReplaceKeyword(letter, QString::fromLatin1(MergeKeywords()[k].Keyword), values[k]);
}

LetterRun PrintQueuedLetters(const std::vector<LabelQueueRow>& rows, const QString& title, const QFont& font,
                             const std::function<void(int)>& progress) {
  std::string saved;
  if (!platform::files::ReadWholeFile(LetterTempFile, &saved))
    throw std::runtime_error("The letter could not be read back from " + std::string(LetterTempFile) + ".");
  // The customers are read before the first letter is printed: a file that cannot be read then
  // prints none.
  LetterRun run;
  std::vector<CustomerRec> customers;
  {
    QueuedRecords files;
    for (const LabelQueueRow& row : rows) {
      if (platform::text::TrimBlanks(row.Letter) != "C") continue;
      CustomerRec customer{};
      if (files.Customer(row.Code, customer))
        customers.push_back(customer);
      else
        ++run.Missing;
    }
  }
  // The letter is read once; each customer's copy is a clone of it.
  QTextDocument original;
  original.setDefaultFont(font);
  forms::ReadLetterText(saved, original);
  for (const CustomerRec& customer : customers) {
    const std::unique_ptr<QTextDocument> letter(original.clone());
    letter->setDefaultFont(font);
    MergeLetter(*letter, customer, records::CurrentCompany);
    platform::print::PrintTextDocument(*letter, title);
    ++run.Letters;
    if (progress) progress(run.Letters);
  }
  return run;
}

}  // namespace reports
