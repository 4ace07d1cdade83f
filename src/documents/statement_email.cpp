#include "documents/statement_email.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <array>

#include "documents/customer_statement.h"
#include "documents/document_buffer.h"
#include "documents/document_refusal.h"
#include "documents/document_view.h"
#include "documents/email_document.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "records/company_rec.h"

namespace documents {

using platform::text::PadRightWith;
using platform::text::TrimBlanks;
using records::CurrentCompany;

namespace {

// The fields of a statement line, one blank apart: 80 characters in all. A text longer than its
// field is never cut: it pushes the fields after it to the right. An amount is never cut either,
// as its first characters alone would be a different figure.
constexpr std::array<std::size_t, StatementColumns> FieldWidths = {10, 9, 20, 12, 11, 11, 1};

std::string StatementLine(const StatementRow& row) {
  const auto& widths = FieldWidths;
  std::string line;
  for (std::size_t column = 0; column < widths.size(); ++column) {
    std::string cell = TrimBlanks(row[column]);
    if (column > 0) line += " ";
    line += column >= 3 && column <= 5 ? RightJustified(cell, widths[column])
                                       : PadRightWith(cell, ' ', widths[column]);
  }
  return line;
}

// The rule under the captions: minus signs as wide as each field.
std::string ColumnRule() {
  std::string rule;
  for (std::size_t width : FieldWidths) rule += (rule.empty() ? "" : " ") + std::string(width, '-');
  return rule;
}

// The notes as a word-wrapping box as wide as the screen less 100 pixels shows them.
std::vector<std::string> WrappedNotes() {
  Trtedit& window = CreateRtedit();
  QScreen* screen = QGuiApplication::primaryScreen();
  int width = (screen ? screen->geometry().width() : 1024) - 100;
  window.CustNote->setLineWrapColumnOrWidth(width);
  window.CustNote->setLineWrapMode(QTextEdit::FixedPixelWidth);
  window.CustNote->setPlainText(platform::text::ToQString(StmtNotes));
  std::vector<std::string> lines;
  QTextDocument* document = window.CustNote->document();
  document->setTextWidth(width);
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    QTextLayout* layout = block.layout();
    for (int i = 0; layout && i < layout->lineCount(); ++i) {
      QTextLine line = layout->lineAt(i);
      lines.push_back(platform::text::ToAnsi(block.text().mid(line.textStart(), line.textLength())));
    }
  }
  return lines;
}

}  // namespace

std::vector<std::string> StatementMailText() {
  const records::CompanyRec& c = CurrentCompany;
  const std::string rule = c.EMailRuleLines.Get() == "Y" ? std::string(82, '-') : " ";
  std::vector<std::string> lines;
  std::string caption = TrimBlanks(c.StatementCaption.Get());
  lines.push_back(c.CompanyName.Get() + (caption.size() >= 35
                                             ? caption.substr(0, 35)
                                             : std::string(35 - caption.size(), ' ') + caption));
  for (const std::string& line : {c.CompanyAddr1.Get(), c.CompanyAddr2.Get(), c.CompanyAddr3.Get(),
                                  c.CompanyAddr4.Get(), c.CompanyContact.Get()})
    if (!TrimBlanks(line).empty()) lines.push_back(line);
  lines.push_back(rule);
  for (const std::string& line : Statement.Account)
    if (!TrimBlanks(line).empty()) lines.push_back(line);
  lines.push_back(rule);
  lines.push_back("Statement Date: " + platform::text::DateToStr(platform::text::Today()));
  lines.push_back("Account Number: " + Statement.CustomerNo);
  lines.push_back(c.StatementNote.Get());
  lines.push_back(rule);
  for (std::size_t row = 0; row < Statement.Rows.size(); ++row) {
    if (row == 1) lines.push_back(ColumnRule());
    lines.push_back(StatementLine(Statement.Rows[row]));
  }
  lines.push_back(rule);
  if (c.PrintSalesMessage) {
    std::vector<std::string> notes = StmtShowNotes == "Y" ? WrappedNotes() : std::vector<std::string>{};
    const std::string messages[] = {c.SalesMessage1.Get(), c.SalesMessage2.Get(), c.SalesMessage3.Get(),
                                    c.SalesMessage4.Get()};
    for (std::size_t k = 0; k < 4; ++k) {
      std::string line = StmtShowNotes == "Y" ? (k < notes.size() ? notes[k] : "") : messages[k];
      line = TrimBlanks(line).substr(0, 80);
      if (!line.empty()) lines.push_back(line);
    }
  }
  if (c.PrintCustomerAging) {
    lines.push_back(" ");
    lines.push_back("Account Status:");
    const std::string captions[] = {c.AgingCaption1.Get(), c.AgingCaption2.Get(), c.AgingCaption3.Get()};
    for (std::size_t i = 0; i < 3; ++i)
      lines.push_back(platform::text::PadLeftBlanks(captions[i], ' ', 10) + " " + TrimBlanks(StmtAging[i]));
    lines.push_back(platform::text::PadLeftBlanks("Over " + TrimBlanks(c.AgingDays3.Get()) + ":", ' ', 10) +
                    " " + TrimBlanks(StmtAging[3]));
  }
  return lines;
}

void EmailStatementText() {
  RefuseWhilePostingWaits(StatementDocumentName(), kEMailed);
  std::vector<std::string> lines = StatementMailText();
  std::string name = TrimBlanks(Statement.Account[0]);
  std::string subject = TrimBlanks(CurrentCompany.StatementCaption.Get()) + " - " + name;
  std::vector<std::string> recipients;
  if (TrimBlanks(StmtEmail).size() > 1) recipients = SplitRecipients(StmtEmail.substr(0, 50));
  if (recipients.empty()) {
    subject = "BAD CUSTOMER E-MAIL: " + name;
    recipients = {TrimBlanks(CurrentCompany.CompanyEMail.Get())};
  }
  SendDocumentMail(lines, subject, recipients);
}

}  // namespace documents
