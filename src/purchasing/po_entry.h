#pragma once
// "Purchase Order": the form on which a purchase order is typed or changed, as line items (up to
// 99 lines in the shared line grid) or as a memo (free text with one product). The add and edit
// transactions fill it before showing it modally and read the PO from it once it closes with
// OK. The form picks the vendor through the Vendor Manager and products through the Product
// Manager, shows the stock of the current line as it will be once the order comes in, computes
// extensions, tax and totals, saves and reloads a set of lines, and refuses to close until the
// PO passes its checks. It writes no record of the PO itself.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "forms/entry_parts.h"
#include "forms/line_entry_form.h"
#include "forms/line_grid.h"
#include "purchasing/entered_po.h"
#include "records/product_rec.h"
#include "records/vendor_rec.h"

namespace purchasing {

// 1 while a stored PO is edited; anything else adds.
extern int32_t POEntryMode;
// 1 while the PO in hand is a memo PO.
extern uint8_t POMemoMode;
// The number of the PO being edited, trimmed and upper case (none while adding, when every
// number on file is another PO's, "0" too): the duplicate check accepts it. The stored total, commas stripped
// ("0.00" when adding).
extern std::optional<std::string> StoredPONumber;
extern std::string StoredPOTotal;
// The unit price of a memo PO's product.
extern std::string POMemoUnitPrice;

enum POColumn {
  kPOColLine = 0,
  kPOColCode,
  kPOColQuantity,
  kPOColDescription,
  kPOColPrice,
  kPOColTaxable,
  kPOColExtension
};
inline constexpr int kPOLines = 99;

// The on-hand text of a line without a product: the form made or every line cleared, and one
// line cleared, inserted or made a comment.
inline constexpr char kNoProductOnHand[] = "9999999999";
inline constexpr char kClearedLineOnHand[] = "999999999";

class TPOEdit1 : public forms::LineEntryForm {
 public:
  explicit TPOEdit1(QWidget* parent = nullptr);

  // Header.
  QLineEdit* INum;
  QLabel* IMode;
  QLineEdit* IDate;
  QLabel* DateCaption;  // "Mo/Dy/Year", "Dy/Mo/Year"
  QToolButton* Calbutton;
  QLineEdit* MEDateReq;
  QToolButton* DateReq;
  QCheckBox* MarkRecd;
  QLineEdit* ARecDate;
  QToolButton* ARecCal;
  QLabel* ICustName;
  QLabel* ICustNo;
  QLineEdit* POSName;
  QPushButton* BitBtn3;  // "Vendors"
  QComboBox* ITerms;
  QLineEdit* INVNOTES;
  QLineEdit* KeyCode;
  QLineEdit* Sig1;
  QLineEdit* Sig2;
  QRadioButton* RadioButton1;  // "&Line Item"
  QRadioButton* RadioButton2;  // "&Memo"
  QCheckBox* PrintFlag;
  QLabel* Label9;        // lines received, written by the edit transaction
  QPushButton* Button1;  // "&Ship To"

  // Lines and memo.
  forms::LineGridModel* Lines;
  forms::LineGridView* StringGrid1;
  QPlainTextEdit* Memo1;
  QLabel* MemoPDescLabel;
  QLineEdit* MemoPDesc;
  QLabel* MemoQuanLabel;
  QLineEdit* MemoQuan;
  QPushButton* GetAProd;  // "Products"

  // Stock at a glance.
  QLabel* LineNum;
  QLabel* StkName;
  QLabel* StockData;
  QLabel* StkBal;
  QLabel* OldLineQuan;

  // Totals.
  QCheckBox* CheckBox2;
  QLineEdit* POTaxRate;
  QLineEdit* INet;
  QLineEdit* ITax;
  QLabel* ITotal;
  QLabel* TaxLbl;

  // Buttons.
  QToolButton* SpeedButton2;  // "Find Product"
  QToolButton* SpeedButton8;  // "Calculator"
  QPushButton* DeleteLine;
  QPushButton* POInsertLine;
  QPushButton* MakeNote;
  QPushButton* UndoAll;
  QPushButton* TopButn;
  QPushButton* CnterButn;
  QPushButton* BottButn;
  QToolButton* ImportButn;
  QToolButton* ExportButn;
  QPushButton* OKButton;
  QPushButton* BitBtn1;  // "&Cancel"
  QPushButton* BitBtn2;  // "&Help"

  // The per-line values (rows 0..100), kept beside the grid and moved with its rows.
  std::string& OldLineStock(int row) { return Lines->Side(row, kSideStock); }
  std::string& OldLineStockKind(int row) { return Lines->Side(row, kSideStockKind); }
  std::string& OldLineQuantity(int row) { return Lines->Side(row, kSideOldQuantity); }
  std::string& OldLineProduct(int row) { return Lines->Side(row, kSideOldProduct); }

  void FormCreate() override;
  void FormShow() override;

  void OKButtonClick();
  void BitBtn1Click();
  void BitBtn2Click();
  void SpeedButton3Click();  // vendor pick
  void SpeedButton2Click();  // product pick
  void StringGrid1DblClick() override;
  void RadioButton1Click();
  void RadioButton2Click();
  void ITaxChange();
  void POTaxRateChange();
  void INetChange();
  void CheckBox2Click() { RecalcPOTotals(); }
  void MemoQuanChange() { ShowMemoGlance(); }
  void DeleteLineClick();
  void MakeNoteClick();
  void POInsertLineClick();
  void UndoAllClick();
  void BottButnClick() { JumpToLine(99, 96); }
  void CalbuttonClick();
  void DateReqClick();
  void ARecCalClick();
  void MarkRecdClick();
  void Button1Click();
  void SpeedButton8Click();
  void ImportButnClick();
  void ExportButnClick();

  // Every row a fresh line with no product; the cursor on row 1.
  void ClearPOLines();
  void RecalcPOTotals();
  void SetPOEntryMode();
  // The stock glance of a memo PO, and its net from the product's price.
  void ShowMemoGlance();

  // The PO as it stands on the form.
  EnteredPO GatherPO();

  // Run by OK once every check has passed, while the form is still up: the form closes when it
  // returns true, and stays open with everything typed when posting failed. Without it OK
  // closes the form at once.
  std::function<bool(const EnteredPO&)> PostPO;

 private:
  enum SideField { kSideStock = 0, kSideStockKind, kSideOldQuantity, kSideOldProduct, kSideFields };
  enum class LineReset { Fresh, Cleared, Comment };
  static forms::LineGridRules GridRules();
  static constexpr forms::FigureColumns kFigureColumns{kPOColCode,  kPOColQuantity, kPOColDescription,
                                                       kPOColPrice, kPOColTaxable,  kPOColExtension};

  void BuildLayout();
  void ConnectHandlers();
  bool IsMemo() const { return RadioButton2->isChecked(); }
  bool Adding() const { return POEntryMode != 1; }
  char DateOrder() const;
  void SetDateMasks();
  void ShowAddingOrEditing();
  void ShowCompanyFonts();

  // Lines.
  void ResetLine(int row, LineReset how);
  void RecalcLine(int row) override;
  void ClearLine(int row) override;
  void ShowGlance(int row, double afterOrder);
  void BlankGlance();
  QString OldQuantityNote(const std::string& code, int row);

  // Vendors and products.
  void ApplyVendor(const records::VendorRec& vendor);
  // The product picked through the Product Manager placed on the line (the memo's product in
  // the memo layout).
  bool PickProduct(int row) override;
  bool PlaceProductOnLine(int row, const records::ProductRec& product) override;
  void PlaceMemoProduct(const records::ProductRec& product);
  void TakeProductStock(int row, const records::ProductRec& product);

  // Dates.
  void PickDate(QLineEdit* box, const char* caption, QWidget* next);

  // Saved lines.
  void LoadSavedLines();
  void LoadSavedMemo();

  // The checks of OK, in their order; each shows its refusal and returns false.
  bool CheckHeader();
  bool CheckMemoQuantity();
  bool CheckDates();
  bool CheckLines();
  bool CheckLine(int row);
  bool CheckDuplicateNumber();
  bool CheckAmounts();
  bool CheckTotal();
  bool CheckMemoProduct();
};

// The form's posting for the length of one transaction; none again afterwards.
class PostingHook {
 public:
  PostingHook(TPOEdit1& form, std::function<bool(const EnteredPO&)> post) : form_(form) {
    form_.PostPO = std::move(post);
  }
  ~PostingHook() { form_.PostPO = nullptr; }
  PostingHook(const PostingHook&) = delete;
  PostingHook& operator=(const PostingHook&) = delete;

 private:
  TPOEdit1& form_;
};

extern TPOEdit1* POEdit1;
// Makes the one instance (at start-up); later calls return it.
TPOEdit1& CreatePOEdit1();

}  // namespace purchasing
