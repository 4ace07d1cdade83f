#pragma once
// LineEntryForm, the base of the entry forms of invoices and purchase orders: what their line
// grid and memo do alike once a form has made the grid and attached it here. The hook-up of the
// grid's handlers and of the form's buttons and boxes, the jumps, extensions and look-ups over
// the lines, the refusals of a line and of a code already used, the stock panel of a line and
// of the memo's product, the memo's typed total, the switch between grid and memo, and the red
// text of a shortage. The form keeps its own widgets (and so the order they were made in, which
// is their tab order), its side values, its captions and messages, and what its document means.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <functional>
#include <initializer_list>
#include <string>

#include "forms/entry_parts.h"
#include "forms/line_amounts.h"
#include "forms/line_grid.h"
#include "platform/ui/form.h"

namespace forms {

class LineEntryForm : public platform::ui::Form {
 public:
  void FormClose() override {}

  // A cell edited, and the cursor moved to another cell: the line is recomputed.
  void StringGrid1SetEditText(int row) { RecalcLine(row); }
  void StringGrid1Click() { RecalcLine(grid_->CurrentLine()); }
  // Enter on a product code cell, or its typed code left: the code is looked up and its product
  // placed; an empty code opens the picker, and one not on file asks whether to pick one instead.
  // False when the product file could not be read (said), so the code waits.
  bool StringGrid1CodeEntered(int row);
  virtual void StringGrid1DblClick() = 0;
  // The jumps to the first line and the middle one; the jump to the last is the form's own.
  void TopButnClick() { JumpToLine(1, 1); }
  void CnterButnClick() { JumpToLine(50, 50); }

 protected:
  LineEntryForm(QWidget* parent, const FigureColumns& columns);

  // The product picker over the line: true when a product was placed on it.
  virtual bool PickProduct(int row) = 0;
  // The product placed on the line, its figures filled where the user typed none; false when
  // another line holds it already (said).
  virtual bool PlaceProductOnLine(int row, const records::ProductRec& product) = 0;
  // The line made afresh, as "Clear Line" makes it, and the totals recomputed.
  virtual void ClearLine(int row) = 0;
  // The product placed on the line; refused as a code another line holds, the line is cleared
  // whole, its typed figures with it, so that nothing is left of it to total. False then.
  bool PlaceProductOrClearLine(int row, const records::ProductRec& product);

  // The grid the form made, attached before anything here is used.
  void AttachLineGrid(LineGridModel* model, LineGridView* view);
  // The grid's handlers above hooked up; Enter then belongs to the grid (the code look-up) and
  // the boxes, and presses no button. Run last, once every button is made.
  void ConnectLineGridHandlers();

  // The form's handler run on a click of the button, and on every change of the box's text.
  template <class Self>
  void OnClick(QAbstractButton* button, void (Self::*handler)()) {
    auto* self = static_cast<Self*>(this);
    QObject::connect(button, &QAbstractButton::clicked, this, [self, handler] { (self->*handler)(); });
  }
  template <class Self>
  void OnTextChanged(QLineEdit* edit, void (Self::*handler)()) {
    auto* self = static_cast<Self*>(this);
    QObject::connect(edit, &QLineEdit::textChanged, this, [self, handler] { (self->*handler)(); });
  }

  // The line's stock, extension and the totals recomputed.
  virtual void RecalcLine(int row) = 0;
  // The extension := quantity x unit price.
  void RefreshExtension(int row);
  // The quantity of a line a product is placed on: the one it holds, typed before its code was
  // looked up or kept from the product it had; the company's default when it holds none.
  void KeepOrDefaultQuantity(int row);
  int LineHoldingCode(const std::string& code, int exceptRow) const;
  // The line's product code as typed, upper-cased, at most 15 characters.
  std::string TypedCode(int row) const;
  // The cursor on the line's product code, `top` the top visible line.
  void JumpToLine(int row, int top);
  bool RefuseLine(int row, const char* text, int column);
  // A product code that another line holds already: the cursor goes to that line and `text` is
  // said, captioned with the code and the line. True then; false when no other line holds it.
  // Within a look-up this is said once the keys typed ahead are handled.
  bool RefuseCodeInUse(const std::string& code, int row, const char* text);
  // What a look-up on the line says or asks, once the keys typed ahead of it are handled; given
  // the line as it then stands.
  void SayAfterTypedKeys(int row, std::function<void(int line)> say);
  // Before the lines are used (OK): every typed code is looked up and what its look-up says is
  // said. A line looked up only now, or one whose code could not be looked up, is refused with
  // the cursor on it, so that nothing is posted the user did not type or see.
  bool SettleTypedCodes();
  // The first of lines 1..lines whose product code an earlier line holds, refused as
  // RefuseCodeInUse does (codes typed without Enter are never looked up). True when refused.
  bool RefuseRepeatedCode(int lines, const char* text);
  // A line with a unit price but neither a product code nor a description would be left out of
  // the stored document while its figures count in the totals: refused at OK (false).
  bool CheckLineKept(int row);
  void SetRed(QWidget* widget, bool red);

  // The stock panel of a line whose stock kind is known ("T" no such product, "Y" non-stock,
  // "Z" not depleted, "S" stocked): for any but a stocked one its kind stands in place of the
  // on-hand figure and the rest is blank; for a stocked one, what stock is left after the line
  // (red, and the line's number "CS", when it goes short) and `oldQuantity`.
  struct StockPanel {
    QLabel* OnHand;
    QLabel* After;
    QLabel* OldQuantity;
  };
  void ShowStockOfKind(const StockPanel& panel, int row, const std::string& kind, double after,
                       const QString& oldQuantity);
  // The stock panel of a memo's stocked product: what is left after the memo's quantity (red, and
  // the quantity box on yellow, when it goes short) and `oldQuantity`; and, where the product has
  // a unit price, `net` := `quantity` x `unitPrice`.
  void ShowMemoStock(const StockPanel& panel, QLineEdit* quantityBox, double after,
                     const QString& oldQuantity, const std::string& quantity, const std::string& unitPrice,
                     QLineEdit* net);

  // A memo's typed amounts: a blank net made "0.00"; where `calculateTax`, the tax the `rate` box
  // would give on the net told in `suggestion`; net + tax in `total`, and returned.
  Cents ShowMemoTotal(QLineEdit* net, QLineEdit* tax, const QLineEdit* rate, bool calculateTax,
                      QLabel* suggestion, QLabel* total);

  // The lines as the grid or as the memo: `memoParts` shown only for a memo, `gridCommands`
  // enabled only for line items, the tax box and the grid shown only for line items, and net and
  // tax typed only for a memo (for line items they show the grid's totals).
  void ShowGridOrMemo(bool memo, std::initializer_list<QWidget*> memoParts,
                      std::initializer_list<QWidget*> gridCommands, QCheckBox* calculateTax, QLineEdit* net,
                      QLineEdit* tax);

  void resizeEvent(QResizeEvent* event) override;
  // Each showing is a new document: no code typed for the last one waits to be looked up.
  void showEvent(QShowEvent* event) override;

  bool recalculating_ = false;

 private:
  FigureColumns columns_;
  LineGridModel* lines_ = nullptr;
  LineGridView* grid_ = nullptr;
};

}  // namespace forms
