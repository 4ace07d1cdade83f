#include "forms/entry_parts.h"

#include <QItemSelectionModel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <array>

#include "forms/browser_font.h"
#include "forms/font_choice.h"
#include "platform/text/amount.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/form_base.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "records/memo_file.h"

namespace forms {

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using records::CurrentCompany;

QLineEdit* TypingLimitedEdit(QWidget* parent, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral(".{0,%1}").arg(maxLength)), edit));
  return edit;
}

QComboBox* TermsBox(QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->lineEdit()->setMaxLength(35);
  return box;
}

QLabel* ValueLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  label->setMinimumWidth(90);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

std::string OfferedDocumentNumber(const records::NumberCounter& field, const std::string& counter,
                                  bool prefixed, const std::string& lastDate) {
  const std::string number = platform::text::TrimBlanks(counter);
  if (number.empty() || number.size() > field.Width) return {};
  if (!prefixed) return number;
  const QDate date = platform::text::TryStrToDate(lastDate).value_or(platform::text::Today());
  return QStringLiteral("%1%2")
             .arg(date.month(), 2, 10, QChar('0'))
             .arg(date.year() % 100, 2, 10, QChar('0'))
             .toStdString() +
         number;
}

std::string TrimmedText(const QString& text) {
  return TrimBlanks(ToAnsi(text));
}

std::string UpperText(const QString& text) {
  return UpperCase(TrimmedText(text));
}

void ShowCompanyFonts(QPlainTextEdit* memo, std::initializer_list<QWidget*> editorWidgets,
                      const QFont& base) {
  const platform::ui::FontChoice browserFont = CompanyBrowserFont(CurrentCompany);
  QFont memoFont = memo->font();
  if (!browserFont.name.isEmpty()) memoFont.setFamily(browserFont.name);
  if (browserFont.size > 0) memoFont.setPointSize(browserFont.size);
  memo->setFont(memoFont);
  const QColor editorColor = CompanyEditorColor(CurrentCompany);
  auto colour = [&editorColor](QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, editorColor);
    palette.setColor(QPalette::WindowText, editorColor);
    widget->setPalette(palette);
  };
  colour(memo);
  for (QWidget* widget : editorWidgets) {
    widget->setFont(CompanyEditorFont(CurrentCompany, base));
    colour(widget);
  }
}

char CompanyDateOrder() {
  const std::string order = CurrentCompany.DateOrder.Get();
  return order.empty() ? 'M' : order[0];
}

QString DateOrderCaption(char order) {
  return order == 'D' ? "Dy/Mo/Year" : order == 'Y' ? "Year/Mo/Dy" : "Mo/Dy/Year";
}

void SetDateMasks(std::initializer_list<QLineEdit*> dates, char order) {
  const QString mask = order == 'Y' ? QStringLiteral("9999/99/99;_") : QStringLiteral("99/99/9999;_");
  for (QLineEdit* date : dates) {
    if (date->inputMask() == mask) continue;
    const QString typed = date->text();
    date->setInputMask(mask);
    date->setText(typed);
  }
}

QHBoxLayout* LinesBeside(QLayout* memoProduct, QWidget* grid, QWidget* memo, QLayout* commands) {
  auto* body = new QVBoxLayout;
  body->addLayout(memoProduct);
  body->addWidget(grid, 1);
  body->addWidget(memo, 1);
  auto* lines = new QHBoxLayout;
  lines->addLayout(body, 1);
  lines->addLayout(commands);
  return lines;
}

QGridLayout* TotalsGrid(QWidget& form, const TotalsBoxes& boxes, const char* netCaption,
                        const char* taxCaption) {
  auto caption = [&form](const char* text, QWidget* buddy) {
    auto* label = new QLabel(text, &form);
    label->setBuddy(buddy);
    return label;
  };
  auto* totals = new QGridLayout;
  totals->addWidget(boxes.CalculateTax, 0, 0);
  totals->addWidget(caption("Tax &Rate:", boxes.Rate), 0, 1);
  totals->addWidget(boxes.Rate, 0, 2);
  totals->addWidget(boxes.Suggestion, 1, 0, 1, 3);
  totals->addWidget(caption(netCaption, boxes.Net), 0, 3);
  totals->addWidget(boxes.Net, 0, 4);
  totals->addWidget(caption(taxCaption, boxes.Tax), 1, 3);
  totals->addWidget(boxes.Tax, 1, 4);
  totals->addWidget(new QLabel("Total:", &form), 2, 3);
  totals->addWidget(boxes.Total, 2, 4);
  totals->setColumnStretch(0, 1);
  return totals;
}

QHBoxLayout* DialogButtons(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (QPushButton* button : buttons) row->addWidget(button);
  return row;
}

void StackEntryLayout(QWidget& form, std::initializer_list<QLayout*> parts, QLayout* lines) {
  auto* layout = new QVBoxLayout(&form);
  for (QLayout* part : parts) layout->addLayout(part, part == lines ? 1 : 0);
  platform::ui::SetTabOrderAsLaidOut(form);
}

void ShowTaxExempt(QCheckBox& calculateTax) {
  calculateTax.setChecked(false);
  calculateTax.setText("Tax Exempt");
  calculateTax.setEnabled(false);
}

void ShowTaxOfChosen(QCheckBox& calculateTax, bool exempt, const QString& caption) {
  calculateTax.setEnabled(true);
  calculateTax.setChecked(true);
  calculateTax.setText(caption);
  if (exempt) ShowTaxExempt(calculateTax);
}

void SetAmountsTyped(std::initializer_list<QLineEdit*> amounts, bool typed) {
  for (QLineEdit* amount : amounts) {
    amount->setReadOnly(!typed);
    amount->setFrame(typed);
    amount->setFocusPolicy(typed ? Qt::StrongFocus : Qt::NoFocus);
    amount->setBackgroundRole(typed ? QPalette::Base : QPalette::Button);
    amount->setAutoFillBackground(!typed);
  }
}

void ConnectLineGrid(LineGridModel& model, LineGridView& view, int codeColumn, LineGridHandlers handlers) {
  model.OnEntered = [edited = handlers.Edited](int line, int) { edited(line); };
  view.EnterKeyColumn = codeColumn;
  view.OnEnterKey = handlers.CodeEntered;
  view.OnDoubleClick = handlers.DoubleClicked;
  QObject::connect(view.selectionModel(), &QItemSelectionModel::currentChanged, &view,
                   [moved = handlers.Moved](const QModelIndex& current) {
                     if (current.isValid()) moved();
                   });
}

LineGridRules EntryLineRules(int lines, int sideFields) {
  LineGridRules rules;
  rules.Columns = {
      {"LN", 0, CellCharacters::Any, false, "XXi"},
      {"Product#", 15, CellCharacters::Any, true, "XXXXXXXXXX"},
      {"Quantity", 10, CellCharacters::Number, true, "XXXXXXX", true},
      {"Description / Comment", 32, CellCharacters::Any, true, "XXXXXXXXXXXXXXXXXXXXXXXXX"},
      {"Unit Price", 10, CellCharacters::Number, true, "XXXXXXXXX", true},
      {"T", 1, CellCharacters::YesNo, true, "Xi"},
      // The extension is computed from quantity and price; typing into it would be overwritten.
      {"Extension", 0, CellCharacters::Any, false, "", true},
  };
  rules.Lines = lines;
  rules.SideFields = sideFields;
  return rules;
}

void RefreshExtension(LineGridModel& model, const FigureColumns& columns, int line) {
  const std::string quantity = ToAnsi(model.Cell(line, columns.Quantity));
  const std::string price = ToAnsi(model.Cell(line, columns.Price));
  const std::optional<Cents> extension = LineExtension(quantity, price);
  model.Put(line, columns.Extension,
            extension ? ToQString(platform::text::FormatAmount(*extension))
                      : ToQString(platform::text::FormatFloat(
                            ",0.00", LenientNumber(quantity) * LenientNumber(price))));
}

bool LineIsKept(const LineGridModel& model, const FigureColumns& columns, int line) {
  return !TrimmedText(model.Cell(line, columns.Code)).empty() ||
         !TrimmedText(model.Cell(line, columns.Description)).empty();
}

std::vector<TotalsLine> TotalsLines(const LineGridModel& model, const FigureColumns& columns) {
  std::vector<TotalsLine> lines;
  for (int line = 1; line <= model.Lines(); ++line)
    if (LineIsKept(model, columns, line))
      lines.push_back({LenientAmount(ToAnsi(model.Cell(line, columns.Extension))),
                       UpperText(model.Cell(line, columns.Taxable)) == "Y"});
  return lines;
}

int LineHoldingCode(const LineGridModel& model, const FigureColumns& columns, const std::string& code,
                    int exceptLine) {
  const std::string wanted = UpperCase(TrimBlanks(code));
  for (int line = 1; line <= model.Lines(); ++line)
    if (line != exceptLine && !wanted.empty() && UpperText(model.Cell(line, columns.Code)) == wanted)
      return line;
  return 0;
}

bool RefuseLine(LineGridView& view, int line, const char* text, int column) {
  platform::ui::ShowMessage(QStringLiteral("Line %1%2").arg(line).arg(QString::fromLatin1(text)));
  view.setFocus();
  view.SetCursor(line, column);
  return false;
}

const char* OversizedFigure(std::string_view quantity, std::string_view price, const FigureColumns& columns,
                            int& column) {
  column = columns.Quantity;
  if (!NumberTextFits(quantity)) return " has a QUANTITY value that is too large.";
  if (!NumberTextFits(price)) {
    column = columns.Price;
    return " has a UNIT PRICE value that is too large.";
  }
  const std::optional<Cents> extension = LineExtension(quantity, price);
  if (!extension || !AmountFits(*extension)) return " has an EXTENSION value that is too large.";
  return nullptr;
}

const char* AmountRefusal(const QString& typed, const char* invalid, const char* tooLarge) {
  const std::string text = platform::text::StripCommas(ToAnsi(typed)).substr(0, 15);
  if (!IsValidNumber(text)) return invalid;
  if (!AmountFits(LenientAmount(text))) return tooLarge;
  return nullptr;
}

bool CheckTypedAmounts(std::initializer_list<TypedAmount> amounts) {
  for (const TypedAmount& amount : amounts) {
    const char* refusal = AmountRefusal(amount.Box->text(), amount.Invalid, amount.TooLarge);
    if (!refusal) continue;
    platform::ui::ShowMessage(refusal);
    amount.Box->setFocus();
    return false;
  }
  return true;
}

bool CheckMemoProduct(QLineEdit* description, QLineEdit* quantity) {
  using platform::ui::MessageBox;
  const char* text = nullptr;
  const char* title = nullptr;
  QLineEdit* box = quantity;
  if (TrimmedText(description->text()).empty()) {
    text = "You need a product description.";
    title = "Product Required";
    box = description;
  } else if (TrimmedText(quantity->text()).empty()) {
    text = "You need to specify the quantity.";
    title = "Product Quantity";
  } else if (!IsValidNumber(ToAnsi(quantity->text()))) {
    text = "The quantity must be a number.";
    title = "Invalid Quantity";
  }
  if (!text) return true;
  MessageBox(text, title, platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Information);
  box->setFocus();
  return false;
}

bool CheckMemoFits(QPlainTextEdit& memo) {
  if (records::StoredMemoLines(ToAnsi(memo.toPlainText()))) return true;
  platform::ui::MessageBox(
      QStringLiteral("The memo text is too long. A memo holds at most %1 lines of up to %2 "
                     "characters; please shorten it.")
          .arg(records::kMemoLines)
          .arg(records::kMemoLineWidth),
      "Memo Text", platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Information);
  memo.setFocus();
  return false;
}

std::vector<std::string> StoredMemoLinesOf(const QPlainTextEdit& memo) {
  return records::StoredMemoLines(ToAnsi(memo.toPlainText())).value_or(std::vector<std::string>());
}

namespace {

// How much of the text the characters of a memo record hold, its line breaks not counted.
qsizetype MemoRecordShare(const QString& text) {
  constexpr qsizetype kMemoCharacters = records::kMemoLines * records::kMemoLineWidth;
  qsizetype characters = 0;
  for (qsizetype at = 0; at < text.size(); ++at) {
    if (text[at] != '\n' && ++characters > kMemoCharacters) return at;
  }
  return text.size();
}

}  // namespace

void LimitMemoToRecord(QPlainTextEdit& memo) {
  QObject::connect(&memo, &QPlainTextEdit::textChanged, &memo, [&memo] {
    const QString text = memo.toPlainText();
    const qsizetype kept = MemoRecordShare(text);
    if (kept == text.size()) return;
    memo.setPlainText(text.left(kept));
    memo.moveCursor(QTextCursor::End);
  });
}

SavedRow SavedRowOf(const LineGridModel& model, int line) {
  auto cell = [&](int column) { return ToAnsi(model.Cell(line, column)); };
  return SavedRow{cell(0), cell(1), cell(2), cell(3), cell(4), cell(5), cell(6)};
}

void PutSavedRow(LineGridModel& model, int line, const SavedRow& row) {
  const std::string* cells[] = {&row.Number, &row.Code,    &row.Quantity, &row.Description,
                                &row.Price,  &row.Taxable, &row.Extension};
  for (int column = 0; column < 7; ++column) model.Put(line, column, ToQString(*cells[column]));
}

void ShowMemoLines(QPlainTextEdit& memo, const std::vector<std::string>& lines) {
  QStringList text;
  for (const std::string& line : lines) text << ToQString(line);
  memo.setPlainText(text.join('\n'));
}

void ShowHoldNotice(const records::ProductRec& product) {
  if (!product.HoldSales) return;
  platform::ui::MessageBox("This Product is currently placed on HOLD status.",
                           ToQString("Please Note! Code: " + TrimBlanks(product.Code.Get())),
                           platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Information);
}

std::string StockKindOf(const records::ProductRec& product) {
  if (product.NonDepleting) return "Z";
  if (product.NonStock) return "Y";
  return "S";
}

void PutFreshLine(LineGridModel& model, int line, bool comment) {
  const std::array<QString, 7> cells{
      QString::number(line),
      QString(),
      comment ? QStringLiteral(" ") : ToQString(TrimBlanks(CurrentCompany.DefaultInvoiceQuantity.Get())),
      QString(),
      comment ? QString() : QStringLiteral("0.00"),
      comment ? QStringLiteral(" ") : QStringLiteral("Y"),
      QStringLiteral("0.00")};
  for (int column = 0; column < static_cast<int>(cells.size()); ++column)
    model.Put(line, column, cells[column]);
}

QString OldQuantityNote(bool adding, const std::string& code, const std::string& oldProduct,
                        const std::string& oldQuantity, const char* caption) {
  if (adding) return {};
  if (code == UpperCase(TrimBlanks(oldProduct))) return ToQString(caption + oldQuantity);
  if (oldProduct.size() > 1) return "(Changed Item)";
  if (oldProduct.empty()) return "(New Line Item)";
  return {};
}

std::vector<SavedRow> SavedRowsOf(const LineGridModel& model, int lines) {
  std::vector<SavedRow> rows;
  for (int line = 1; line <= lines; ++line) rows.push_back(SavedRowOf(model, line));
  return rows;
}

SavedRow MemoProductRow(const LineGridModel& model, const QLineEdit& description, const QLineEdit& quantity) {
  SavedRow row = SavedRowOf(model, 1);
  row.Description = ToAnsi(description.text());
  row.Quantity = ToAnsi(quantity.text());
  return row;
}

bool PostedWhileFormIsUp(const std::function<void()>& posting) {
  try {
    posting();
  } catch (const std::exception& error) {
    platform::ui::Application->HandleException(error);
    return false;
  }
  return true;
}

}  // namespace forms
