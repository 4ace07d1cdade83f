#pragma once
// What the invoice and PO entry forms share beside their line grid: their boxes, the company's
// fonts and date mask, the hook-up of the grid's handlers, the arithmetic of a line and of the
// totals over the grid, and the refusals of figures that would not fit what is stored.

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "forms/address_entry.h"  // LimitedEdit
#include "forms/line_amounts.h"
#include "forms/line_grid.h"
#include "forms/saved_rows.h"
#include "records/number_counter.h"
#include "records/product_rec.h"

namespace forms {

// The messages a manager shows while it picks for an entry window, and afterwards.
inline constexpr char kDoubleClickToSelect[] = "Double-click or press <enter> to select.";
inline constexpr char kRightClickForMenu[] = "Right-click mouse or select from menu bar.";

// A box whose typing stops at maxLength characters, while the form may show a longer text in it
// (a total it computed): a length limit of the box itself would cut such a text.
QLineEdit* TypingLimitedEdit(QWidget* parent, int maxLength);
// A sunken, right-aligned label for a figure.
QLabel* ValueLabel(QWidget* parent);
// The payment terms box: chosen from the list or typed, up to 35 characters. Enter does not add
// a typed term to the list, so that OK still offers to keep it in the terms file. Its line edit is
// made with it, so that the two stay together when the form sets its Tab order.
QComboBox* TermsBox(QWidget* parent);

// The number a new invoice or PO is offered: the counter, after the month and year of `lastDate`
// (today when it is none) when the company prefixes its numbers. None when the counter holds more
// than its field takes (one kept from before the prefix was chosen): a number cut short could be
// one taken already, so the number is asked for.
std::string OfferedDocumentNumber(const records::NumberCounter& field, const std::string& counter,
                                  bool prefixed, const std::string& lastDate);

// The text of a box trimmed, and trimmed and upper-cased, in Windows-1252.
std::string TrimmedText(const QString& text);
std::string UpperText(const QString& text);

// The memo in the company's browser font, the other widgets in its editor font; all in its
// editor colour.
void ShowCompanyFonts(QPlainTextEdit* memo, std::initializer_list<QWidget*> editorWidgets, const QFont& base);

// The date boxes masked for the company's date order (keeping what they hold); the caption of
// their order.
void SetDateMasks(std::initializer_list<QLineEdit*> dates, char order);
QString DateOrderCaption(char order);
// The company's date order: "M", "D" or "Y" (an empty one counts as "M").
char CompanyDateOrder();

// The layout shared by the entry forms: the lines (the memo's product row over the grid and the
// memo, which take turns) beside the line commands; the totals (tax box, rate and suggestion;
// net, tax and total under their captions) in columns 0 to 4 of a grid a form may extend; the
// dialog's buttons on the right; and the parts stacked from the top, the lines taking what room
// is left, Tab walking them in that order (the boxes of a part as they read).
QHBoxLayout* LinesBeside(QLayout* memoProduct, QWidget* grid, QWidget* memo, QLayout* commands);
struct TotalsBoxes {
  QCheckBox* CalculateTax;
  QLineEdit* Rate;
  QLabel* Suggestion;
  QLineEdit* Net;
  QLineEdit* Tax;
  QLabel* Total;
};
QGridLayout* TotalsGrid(QWidget& form, const TotalsBoxes& boxes, const char* netCaption,
                        const char* taxCaption);
QHBoxLayout* DialogButtons(std::initializer_list<QPushButton*> buttons);
void StackEntryLayout(QWidget& form, std::initializer_list<QLayout*> parts, QLayout* lines);

// The tax box of a document for a customer or vendor exempt from tax: unticked, "Tax Exempt" and
// disabled. Once one is chosen where the company calculates the tax: enabled, ticked and
// captioned `caption`, unless the one chosen is exempt.
void ShowTaxExempt(QCheckBox& calculateTax);
void ShowTaxOfChosen(QCheckBox& calculateTax, bool exempt, const QString& caption = "Calc. Tax");

// Net and tax boxes that the user types (memo layout) or that show the grid's totals.
void SetAmountsTyped(std::initializer_list<QLineEdit*> amounts, bool typed);

// The handlers of an entry form's grid: a cell edited, Enter on the code column, a double click,
// and the current line moved.
struct LineGridHandlers {
  std::function<void(int line)> Edited;
  std::function<bool(int line)> CodeEntered;  // true when the code is settled
  std::function<void()> DoubleClicked;
  std::function<void()> Moved;
};
void ConnectLineGrid(LineGridModel& model, LineGridView& view, int codeColumn, LineGridHandlers handlers);

// The rules of the entry forms' line grid: line number, product code (15), quantity (digits, 10),
// description (32), unit price (digits, 10), taxable mark (Y/N) and the extension computed from
// them; `lines` lines, each with `sideFields` side values.
LineGridRules EntryLineRules(int lines, int sideFields);

// The columns of an entry grid that its arithmetic reads.
struct FigureColumns {
  int Code;
  int Quantity;
  int Description;
  int Price;
  int Taxable;
  int Extension;
};

// The extension of a line := quantity x unit price, to the cent.
void RefreshExtension(LineGridModel& model, const FigureColumns& columns, int line);
// Whether the line is stored with its document: it has a product code or a description.
bool LineIsKept(const LineGridModel& model, const FigureColumns& columns, int line);
// The extensions and taxable marks of the lines kept, for the totals: a document totals what it
// stores.
std::vector<TotalsLine> TotalsLines(const LineGridModel& model, const FigureColumns& columns);
// The other line whose code is `code` (trimmed, any case); 0 when none.
int LineHoldingCode(const LineGridModel& model, const FigureColumns& columns, const std::string& code,
                    int exceptLine);

// A line refused at OK: "Line " + its number + text, as a plain message, with the cursor on the
// cell at fault. Always false.
bool RefuseLine(LineGridView& view, int line, const char* text, int column);
// The refusal of figures whose stored text would not fit the 10 characters of their column of
// the line text (quantity, unit price, extension); none when they fit. `column` is set to the
// cell at fault.
const char* OversizedFigure(std::string_view quantity, std::string_view price, const FigureColumns& columns,
                            int& column);
// The refusal of a typed amount that is no number or too long to store; none when it is fine.
const char* AmountRefusal(const QString& typed, const char* invalid, const char* tooLarge);
// A typed amount box with its two refusals. The boxes are checked in their order: the first one
// refused is said as a plain message and takes the cursor, and the result is false.
struct TypedAmount {
  QLineEdit* Box;
  const char* Invalid;
  const char* TooLarge;
};
bool CheckTypedAmounts(std::initializer_list<TypedAmount> amounts);

// The memo layout's product at OK: a description, and a quantity that is a number. False, after
// telling the user, when one is missing.
bool CheckMemoProduct(QLineEdit* description, QLineEdit* quantity);
// The memo's text at OK: it must wrap into the lines a memo record stores. False, after telling
// the user the limit, when it does not.
bool CheckMemoFits(QPlainTextEdit& memo);
// The memo's text wrapped into the lines a memo record stores (as many as it needs).
std::vector<std::string> StoredMemoLinesOf(const QPlainTextEdit& memo);
// Stops the memo box at the characters a memo record holds, its lines full (the line breaks
// between them do not count): a memo read back from its record always shows whole.
void LimitMemoToRecord(QPlainTextEdit& memo);

// A grid line as a saved row, and back: the entry grids' columns 0 to 6 are in a saved row's
// order (number, code, quantity, description, unit price, taxable mark, extension).
SavedRow SavedRowOf(const LineGridModel& model, int line);
void PutSavedRow(LineGridModel& model, int line, const SavedRow& row);
// A memo filled from its lines in Windows-1252 text.
void ShowMemoLines(QPlainTextEdit& memo, const std::vector<std::string>& lines);

// A line made afresh: its number, the company's default quantity, a unit price and extension of
// 0.00 and taxable "Y"; as a comment, blank but for the number and an extension of 0.00.
void PutFreshLine(LineGridModel& model, int line, bool comment);
// What the stock panel says of a line's old quantity while a stored document is edited: what the
// stored line held (`caption` and the quantity) while the line holds the product it had,
// "(Changed Item)" or "(New Line Item)" otherwise; nothing while adding.
QString OldQuantityNote(bool adding, const std::string& code, const std::string& oldProduct,
                        const std::string& oldQuantity, const char* caption);

// Lines 1 to `lines` as saved rows; the memo's product (line 1) as a saved row, with the
// description and quantity typed for it.
std::vector<SavedRow> SavedRowsOf(const LineGridModel& model, int lines);
SavedRow MemoProductRow(const LineGridModel& model, const QLineEdit& description, const QLineEdit& quantity);

// "This Product is currently placed on HOLD status." for a product on sales hold.
void ShowHoldNotice(const records::ProductRec& product);
// "S" stocked, "Y" non-stock, "Z" not depleted (which wins over non-stock).
std::string StockKindOf(const records::ProductRec& product);

// Runs the posting that an entry form's OK hands on, while the form is still up: true when it
// went through. One that failed (refused before its first write, or undone whole) is said, and
// false keeps the form open with everything typed.
bool PostedWhileFormIsUp(const std::function<void()>& posting);

}  // namespace forms
