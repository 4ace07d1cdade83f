#include "forms/line_entry_form.h"

#include <QPushButton>

#include "forms/entry_text.h"
#include "forms/product_look_up.h"
#include "forms/unusable_file.h"
#include "platform/ui/message_box.h"

namespace forms {

using namespace forms::entry_text;

LineEntryForm::LineEntryForm(QWidget* parent, const FigureColumns& columns)
    : Form(parent), columns_(columns) {}

void LineEntryForm::AttachLineGrid(LineGridModel* model, LineGridView* view) {
  lines_ = model;
  grid_ = view;
}

void LineEntryForm::ConnectLineGridHandlers() {
  ConnectLineGrid(*lines_, *grid_, columns_.Code,
                  {[this](int row) { StringGrid1SetEditText(row); },
                   [this](int row) { return StringGrid1CodeEntered(row); }, [this] { StringGrid1DblClick(); },
                   [this] { StringGrid1Click(); }});
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
}

bool LineEntryForm::StringGrid1CodeEntered(int row) {
  const std::string typed = TypedCode(row);
  if (typed.empty()) {
    PickProduct(row);
    return true;
  }
  records::ProductRec product;
  bool found = false;
  // A product file that cannot be read is said, and the lines stay as typed.
  if (!ReadAll(Caption(), [&] { found = ProductOnFile(typed, product); })) return false;
  if (!found) {
    SayAfterTypedKeys(row, [this, typed](int line) {
      if (TypedCode(line) == typed && AskToPickUnknownCode()) PickProduct(line);
    });
    return true;
  }
  PlaceProductOrClearLine(row, product);
  return true;
}

bool LineEntryForm::PlaceProductOrClearLine(int row, const records::ProductRec& product) {
  if (PlaceProductOnLine(row, product)) return true;
  // Refused as a code another line holds: the line goes whole, with the figures typed for it,
  // once the keys typed ahead have reached it.
  lines_->Put(row, columns_.Code, QString());
  SayAfterTypedKeys(row, [this](int line) { ClearLine(line); });
  return false;
}

std::string LineEntryForm::TypedCode(int row) const {
  return Upper(lines_->Cell(row, columns_.Code)).substr(0, 15);
}

void LineEntryForm::RefreshExtension(int row) {
  forms::RefreshExtension(*lines_, columns_, row);
}

void LineEntryForm::KeepOrDefaultQuantity(int row) {
  if (!Trimmed(lines_->Cell(row, columns_.Quantity)).empty()) return;
  lines_->Put(row, columns_.Quantity, Text(TrimBlanks(CurrentCompany.DefaultInvoiceQuantity.Get())));
}

int LineEntryForm::LineHoldingCode(const std::string& code, int exceptRow) const {
  return forms::LineHoldingCode(*lines_, columns_, code, exceptRow);
}

void LineEntryForm::JumpToLine(int row, int top) {
  grid_->setFocus();
  grid_->SetCursor(row, columns_.Code);
  grid_->SetTopLine(top);
}

bool LineEntryForm::RefuseLine(int row, const char* text, int column) {
  return forms::RefuseLine(*grid_, row, text, column);
}

bool LineEntryForm::RefuseCodeInUse(const std::string& code, int row, const char* text) {
  const int other = LineHoldingCode(code, row);
  if (other == 0) return false;
  SayAfterTypedKeys(row, [this, code, other, text](int line) {
    // The line holding the code once the keys typed ahead are handled (a line inserted above moves it).
    const int holder = LineHoldingCode(code, line) != 0 ? LineHoldingCode(code, line) : other;
    grid_->SetCursor(holder, columns_.Code);
    platform::ui::MessageBox(text, Text("Code: " + code + "  Line: " + std::to_string(holder) + "."),
                             platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Information);
  });
  return true;
}

bool LineEntryForm::RefuseRepeatedCode(int lines, const char* text) {
  for (int row = 1; row <= lines; ++row) {
    const std::string code = Trimmed(lines_->Cell(row, columns_.Code));
    const int other = LineHoldingCode(code, row);
    if (other != 0 && other < row) return RefuseCodeInUse(code, row, text);
  }
  return false;
}

bool LineEntryForm::CheckLineKept(int row) {
  if (forms::LineIsKept(*lines_, columns_, row) ||
      LenientNumber(Ansi(lines_->Cell(row, columns_.Price))) == 0)
    return true;
  return RefuseLine(row,
                    " has a unit price but no product code or description. Enter one, or choose Clear Line.",
                    columns_.Code);
}

void LineEntryForm::SayAfterTypedKeys(int row, std::function<void(int line)> say) {
  grid_->SayAfterTypedKeys(row, std::move(say));
}

bool LineEntryForm::SettleTypedCodes() {
  const LineGridView::Settled settled = grid_->SettleTypedCodes();
  if (settled.Unsettled != 0)
    return RefuseLine(settled.Unsettled, " has a product code that could not be looked up.", columns_.Code);
  if (settled.LookedUpNow != 0)
    return RefuseLine(
        settled.LookedUpNow,
        " has a product code that was looked up only now. Check the line, then choose OK again.",
        columns_.Code);
  return true;
}

void LineEntryForm::SetRed(QWidget* widget, bool red) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, red ? QColor(Qt::red) : this->palette().color(QPalette::WindowText));
  widget->setPalette(palette);
}

void LineEntryForm::ShowStockOfKind(const StockPanel& panel, int row, const std::string& kind, double after,
                                    const QString& oldQuantity) {
  if (kind == "T") panel.OnHand->setText("NO CODE");
  if (kind == "Y") panel.OnHand->setText("NON-STOCK");
  if (kind == "Z") panel.OnHand->setText("NON-DEPLETE");
  if (kind != "S") {
    panel.After->clear();
    panel.OldQuantity->clear();
    return;
  }
  const bool shortOfStock = after < 0;
  // Column 0 holds the line's number.
  lines_->Put(row, 0, shortOfStock ? QStringLiteral("CS") : QString::number(row));
  SetRed(panel.After, shortOfStock);
  panel.After->setText(Shown(after));
  panel.OldQuantity->setText(oldQuantity);
}

void LineEntryForm::ShowMemoStock(const StockPanel& panel, QLineEdit* quantityBox, double after,
                                  const QString& oldQuantity, const std::string& quantity,
                                  const std::string& unitPrice, QLineEdit* net) {
  panel.After->setText(Shown(after));
  SetRed(panel.After, after < 0);
  QPalette quantityPalette = quantityBox->palette();
  quantityPalette.setColor(QPalette::Base, after < 0 ? QColor(Qt::yellow) : palette().color(QPalette::Base));
  quantityBox->setPalette(quantityPalette);
  panel.OldQuantity->setText(oldQuantity);
  if (LenientNumber(unitPrice) == 0) return;
  if (const std::optional<Cents> extension = LineExtension(quantity, unitPrice))
    net->setText(Text(FormatAmount(*extension)));
}

Cents LineEntryForm::ShowMemoTotal(QLineEdit* net, QLineEdit* tax, const QLineEdit* rate, bool calculateTax,
                                   QLabel* suggestion, QLabel* total) {
  if (Trimmed(net->text()).empty()) net->setText("0.00");
  const Cents netAmount = LenientAmount(Ansi(net->text()));
  const Cents taxAmount = LenientAmount(Ansi(tax->text()));
  if (calculateTax) {
    const double percent = LenientNumber(Ansi(rate->text()));
    suggestion->setText(Text("Tax on " + FormatAmount(netAmount) + " is " +
                             FormatFloat(",0.00", percent / 100.0 * platform::text::AmountValue(netAmount)) +
                             "."));
  }
  total->setText(Text(FormatAmount(netAmount + taxAmount)));
  return netAmount + taxAmount;
}

void LineEntryForm::ShowGridOrMemo(bool memo, std::initializer_list<QWidget*> memoParts,
                                   std::initializer_list<QWidget*> gridCommands, QCheckBox* calculateTax,
                                   QLineEdit* net, QLineEdit* tax) {
  for (QWidget* widget : memoParts) widget->setVisible(memo);
  for (QWidget* widget : gridCommands) widget->setEnabled(!memo);
  calculateTax->setVisible(!memo);
  grid_->setVisible(!memo);
  SetAmountsTyped({net, tax}, memo);
}

void LineEntryForm::resizeEvent(QResizeEvent* event) {
  Form::resizeEvent(event);
  grid_->SizeColumns();
}

void LineEntryForm::showEvent(QShowEvent* event) {
  // A restore after a minimize is no new showing: the codes typed before it still wait.
  if (!event->spontaneous()) grid_->ForgetTypedCodes();
  Form::showEvent(event);
}

}  // namespace forms
