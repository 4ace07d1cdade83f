#pragma once
// "Product Invoice": the form on which an invoice is typed, as line items (up to 99 lines in a
// grid) or as a memo (free text with one product). The invoice transactions fill it before
// showing it modally. The form looks products and customers up through their managers, keeps
// each line's stock figures for display, computes extensions, tax and totals, saves and
// reloads a set of lines, and on OK runs its checks in a fixed order; an invoice that passes
// them all is handed to PostEnteredInvoice. The form itself writes no record.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "forms/entry_parts.h"
#include "forms/line_entry_form.h"
#include "forms/line_grid.h"
#include "invoicing/entered_invoice.h"
#include "invoicing/saved_lines.h"
#include "platform/ui/message_box.h"
#include "records/customer_rec.h"
#include "records/product_rec.h"

namespace invoicing {

// 1 while a stored invoice is edited; anything else adds.
extern int32_t InvoiceFormMode;
// 1 while the invoice is a memo invoice.
extern uint8_t MemoInvoiceFlag;
// The number the invoice had when the form was opened, trimmed and upper case (none while adding,
// when every number on file is another invoice's, "0" too), and its amount due ("0.00" when
// adding); set by the transactions.
extern std::optional<std::string> InitialInvoiceNumber;
extern std::string InitialAmountDue;
// The unit price of a memo invoice's product.
extern std::string MemoProductPrice;

// The grid's columns.
enum InvoiceColumn {
  kColLine = 0,
  kColCode,
  kColQuantity,
  kColDescription,
  kColPrice,
  kColTaxable,
  kColExtension
};
inline constexpr int kInvoiceLines = 99;

class TProdInv : public forms::LineEntryForm {
 public:
  explicit TProdInv(QWidget* parent = nullptr);

  // Shows the customer the invoice is for (a pick, or the command-line job's customer) and warns
  // of a credit limit exceeded (an information box for a pick; the command-line job asks for the
  // exclamation icon) or a credit hold.
  void ApplyCustomer(const records::CustomerRec& customer,
                     platform::ui::MsgIcon overLimitIcon = platform::ui::MsgIcon::Information);

  // Header.
  QLineEdit* INum;
  QLabel* ICustName;
  QLabel* ICustNo;
  QLineEdit* EBSName;
  QLabel* CBal;
  QLabel* ICredLimit;
  QLabel* Label21;
  QLabel* Label22;
  QLabel* Label23;
  QLabel* Label24;
  QLabel* Acur;
  QLabel* A30;
  QLabel* A60;
  QLabel* A90;
  QLineEdit* IDate;
  QLabel* Label7;
  QComboBox* ITerms;
  QLineEdit* IStmntNote;
  QLineEdit* INVNOTES;
  QLineEdit* KeyCode;
  QCheckBox* PrintFlag;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  QLabel* IMode;

  // Lines and memo.
  forms::LineGridModel* Lines;
  forms::LineGridView* StringGrid1;
  QPlainTextEdit* Memo1;
  QLabel* MemoPDescLabel;
  QLineEdit* MemoPDesc;
  QLabel* MemoQuanLabel;
  QLineEdit* MemoQuan;
  QLabel* CurCostLabel;
  QLineEdit* CurCost;

  // Stock panel.
  QLabel* StockData;
  QLabel* StkName;
  QLabel* StkBal;
  QLabel* OldLineQuan;

  // Totals.
  QCheckBox* CheckBox2;
  QLineEdit* EBTaxRate;
  QLineEdit* INet;
  QLineEdit* ITax;
  QLineEdit* IPaid;
  QLabel* ITotal;
  QLabel* BalDue;
  QLabel* TaxLbl;

  // Buttons.
  QPushButton* BitBtn3;  // "Customers"
  QToolButton* SpeedButton3;
  QToolButton* SpeedButton2;  // "Find Product"
  QPushButton* ProductsButn;  // "Products", beside the memo's description
  QToolButton* SpeedButton8;
  QToolButton* Calbutton;
  QPushButton* Button1;  // ship-to
  QPushButton* DeleteLine;
  QPushButton* SBInsert;
  QPushButton* MakeNote;
  QPushButton* UndoAll;
  QPushButton* TopButn;
  QPushButton* CnterButn;
  QPushButton* BottButn;
  QToolButton* ImportButn;
  QToolButton* ExportButn;
  QPushButton* OKButton;
  QPushButton* CancelButton;
  QPushButton* BitBtn2;  // "&Help"

  // The side values of a grid row (0..100), kept beside the grid and moved with its rows.
  std::string& LineOnHand(int row) { return Lines->Side(row, kSideOnHand); }
  std::string& LineStockState(int row) { return Lines->Side(row, kSideStockState); }
  std::string& OldLineQuantities(int row) { return Lines->Side(row, kSideOldQuantity); }
  std::string& OldLineProducts(int row) { return Lines->Side(row, kSideOldProduct); }
  std::string& LineCosts(int row) { return Lines->Side(row, kSideCost); }

  void FormCreate() override;
  void FormShow() override;

  void OKButtonClick();
  void BitBtn2Click();
  void BitBtn3Click() { PickCustomer(); }
  void SpeedButton3Click() { PickCustomer(); }
  void SpeedButton2Click();
  void StringGrid1DblClick() override;
  void CheckBox2Click() { RecalcInvoiceTotals(); }
  void ITaxChange();
  void IPaidChange();
  void EBTaxRateChange();
  void INetChange();
  void MemoQuanChange() { ShowLineStockStatus(); }
  void CurCostChange();
  void RadioButton1Click();
  void RadioButton2Click();
  void DeleteLineClick();
  void SBInsertClick();
  void MakeNoteClick();
  void UndoAllClick();
  void BottButnClick() { JumpToLine(99, 97); }
  void ImportButnClick();
  void ExportButnClick();
  void SpeedButton8Click();
  void CalbuttonClick();
  void Button1Click();
  void InvCloseClick();

  void ClearInvoiceLines();
  void RecalcInvoiceTotals();
  void ShowLineStockStatus();
  void SetInvoiceEntryMode();

  // The invoice as it stands on the form, for posting.
  EnteredInvoice GatherInvoice();

 private:
  enum SideField {
    kSideOnHand = 0,
    kSideStockState,
    kSideOldQuantity,
    kSideOldProduct,
    kSideCost,
    kSideFields
  };
  enum class LineReset { Cleared, Emptied, Comment };
  static forms::LineGridRules GridRules();
  static constexpr forms::FigureColumns kFigureColumns{kColCode,  kColQuantity, kColDescription,
                                                       kColPrice, kColTaxable,  kColExtension};

  void BuildLayout();
  // Showing the form.
  void ShowCompanySettings();
  void ChooseLayoutOfInvoice();
  void ShowAddingOrEditing();
  void ShowCompanyFonts();
  void FocusFirstField();
  void ShowCustomerOfTheJob();
  void ConnectHandlers();
  bool IsMemo() const { return RadioButton2->isChecked(); }
  bool Adding() const { return InvoiceFormMode != 1; }

  // Lines.
  void ResetLine(int row, LineReset how, const std::string& onHand);
  void RecalcLine(int row) override;
  void ClearLine(int row) override;
  void ShowStockPanel(int row, double afterSale);
  void BlankStockPanel();
  QString OldQuantityNote(const std::string& code, int row);

  // Customers and products.
  void PickCustomer();
  void ShowAgingAndShipTo(const records::CustomerRec& customer);
  // The product picked through the Product Manager placed on the line (the memo's product in
  // the memo layout).
  bool PickProduct(int row) override;
  bool PlaceProductOnLine(int row, const records::ProductRec& product) override;
  void PlaceMemoProduct(const records::ProductRec& product);
  void TakeProductStock(int row, const records::ProductRec& product);

  // Saved lines.
  bool SavedFileThere(std::string_view name, const char* missing, const char* caption);
  void ShowSavedNotes(const SavedNotes& notes);
  void LoadSavedLines();
  void LoadSavedMemo();

  // The checks of OK, in their order; each shows its refusal and returns false.
  bool CheckHeader();
  bool CheckMemoQuantity();
  bool CheckDate();
  bool CheckLines();
  bool CheckLine(int row);
  bool CheckDuplicateNumber();
  bool CheckAmounts();
  bool CheckTotals();
  bool CheckMemoProduct();

  void SetDateMask();
};

extern TProdInv* ProdInv;
// Makes the one instance (at start-up); later calls return it.
TProdInv& CreateProdInv();

}  // namespace invoicing
