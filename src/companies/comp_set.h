#pragma once
// The "Company Options" dialog: every user setting of a company record on nine tabs below the
// company's name and number. The Company Manager fills it (from the record being edited, or with
// the defaults of a new company), shows it, and on Save copies it back into CompanyWorkRec; the
// dialog itself checks the entries, runs the font and picture pickers and opens help by tab.
//
// The dialog never looks at the open company while it is filled or saved: everything it shows
// comes from the record it was filled from, so saving one company cannot carry another
// company's settings into it.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/common_dialogs.h"
#include "platform/ui/form.h"
#include "records/company_rec.h"

namespace companies {

// How a typed company number fares: not a whole number (letters, commas, blanks inside), a whole
// number outside 1 to 32000 or one that cannot name the company's files, or a usable number.
enum class CompanyNumberEntry { NotNumeric, OutOfRange, Valid };
CompanyNumberEntry CheckCompanyNumberEntry(std::string_view trimmed);

class TCompSet : public platform::ui::Form {
 public:
  explicit TCompSet(QWidget* parent = nullptr);

  // Fills every control from a stored company (the edit flow); the number cannot be changed.
  void LoadFromRecord(const records::CompanyRec& record);
  // Fills the controls for a new company: the prepared record (a copy of the open company, see
  // NewCompanyRecord) supplies the inherited settings, the rest take their new-company values;
  // the number offered is companyCount + 1 and can be changed.
  void LoadNewCompanyDefaults(const records::CompanyRec& prepared, int companyCount);
  // Copies every control into the record, each text cut to its field; the picture paths are the
  // ones shown beside the picture buttons (which also put a chosen path into CompanyWorkRec at
  // once).
  void StoreToRecord(records::CompanyRec& record) const;
  bool IsNewCompany() const { return newCompany_; }
  // True when the preview shows the background picture (a path that names no picture hides it).
  bool PictureShown() const { return !Image1->isHidden(); }

  // Tells whether a company with this number is on file; the Company Manager supplies it from
  // the company file it holds open. Without it no company counts as taken. A file that cannot be
  // searched throws records::FileUnusable: the number is then refused, saying which file and why.
  std::function<bool(std::string_view number)> CompanyNumberOnFile;

  void FormShow() override;
  void OKButtonClick();
  void Button1Click();
  void BmpImgButnClick();
  void EditorClrClick();
  void BrowClrClick();
  void FontButnClick();
  void BitBtn1Click();
  void HelpButtonClick();

  // Top.
  QLineEdit* CName;
  QLineEdit* CoNumb;
  QTabWidget* PageControl1;

  // "Address/Taxes".
  QWidget* Address;
  QLineEdit* CAdd1;
  QLineEdit* CAdd2;
  QLineEdit* CAdd3;
  QLineEdit* CAdd4;
  QLineEdit* ExtraAdd1;
  QLineEdit* POSA1;
  QLineEdit* POSA2;
  QLineEdit* POSA3;
  QLineEdit* POSA4;
  QLineEdit* TaxCRate;
  QCheckBox* CalcTaxes;
  QCheckBox* CalcPOTax;
  QLineEdit* TaxName;

  // "Bar Codes".
  QWidget* BCodes;
  QRadioButton* BC1;
  QRadioButton* BC2;
  QRadioButton* BCEan13;
  QCheckBox* BCOnInv;
  QCheckBox* BCOnPo;
  QCheckBox* BCIno;
  QCheckBox* BCPOno;
  QCheckBox* BCOnLBL;

  // "Envelopes/E-Mail".
  QWidget* EnvelopeTab;
  QPushButton* FontButn;
  QLabel* EFontEx;
  QCheckBox* LandSCB;
  QLineEdit* ELineSpace;
  QLineEdit* LMarSet;
  QLineEdit* TopMarSet;
  QLineEdit* SendAddLeft;
  QCheckBox* UseShipAdd;
  QCheckBox* PCoAddr;
  QLineEdit* CEMailAdd;
  QLineEdit* CEMailHost;
  QCheckBox* DefToEmail;
  QCheckBox* CBEmailLines;
  QCheckBox* EMInclCust;
  QLineEdit* EMUser;
  QLineEdit* EMAuth;

  // "Forms Setup/Headers/Fonts/ Colors".
  QWidget* FormsSet;
  QCheckBox* HorLCB;
  QCheckBox* VLineCB;
  QLineEdit* LineWidthVal;
  QCheckBox* SBoxCB;
  QCheckBox* IBoxCB;
  QCheckBox* CAgeCB;
  QCheckBox* ShadeCB;
  QCheckBox* CheckBox5;
  QCheckBox* SMsgCB;
  QCheckBox* PConICB;
  QCheckBox* CBPConPO;
  QCheckBox* MoveDwnCB;
  QLineEdit* BigBxTop;
  QLineEdit* TopFormMar;
  QLineEdit* LeftFormMar;
  QCheckBox* UseBmpCB;
  QPushButton* BmpImgButn;
  QLabel* BmpNameText;
  QLineEdit* MaxLines;
  QCheckBox* CNameOnForm;
  QLineEdit* PushAddr;
  QLineEdit* MaskEdit1;
  QComboBox* ComboBox1;
  QCheckBox* CBRecptPrn;
  QCheckBox* CBInvQuan;
  QPushButton* BitBtn1;

  // "General Setup".
  QWidget* General;
  QRadioButton* MMDDYY;
  QRadioButton* DDMMYY;
  QCheckBox* SHints;
  QLineEdit* CNxtCustNo;
  QCheckBox* ACBillAdd;
  QCheckBox* AuditCB;
  QCheckBox* CBPBackup;
  QLineEdit* NxtVenNo;
  QLineEdit* CurrencySymbol;

  // "Invoices/Aging".
  QWidget* Invoices;
  QLineEdit* NextIno;
  QCheckBox* PrintDupOnInv;
  QLineEdit* DefInvQuan;
  QComboBox* DFTerms;
  QCheckBox* YYMMonInv;
  QCheckBox* PFlag;
  QRadioButton* DProd;
  QRadioButton* DMemo;
  QCheckBox* PSlip;
  QCheckBox* FileCpy;
  QCheckBox* CpyToLQue;
  QCheckBox* BatchLabels;
  QLineEdit* NumCpys;
  QLineEdit* CACap1;
  QLineEdit* CACap2;
  QLineEdit* CACap3;
  QLineEdit* CAVal1;
  QLineEdit* CAVal2;
  QLineEdit* CAVal3;
  QCheckBox* CBHideCost;

  // "PO/Receivers".
  QWidget* PORecv;
  QLineEdit* NxtPONum;
  QLineEdit* NxtRecvr;
  QLineEdit* POSign1;
  QLineEdit* POSign2;
  QCheckBox* AutoRecPO;
  QCheckBox* CBPOtype;
  QCheckBox* CBPrefixPO;
  QCheckBox* CBDupPOs;
  QCheckBox* POCpytoVen;
  QCheckBox* CPOBatVen;
  QCheckBox* DoPOFileCpy;
  QLineEdit* MENumPOCopy;
  QComboBox* DPOTerms;
  QRadioButton* PProd;
  QRadioButton* PMemo;

  // "Sales Messages".
  QWidget* SalesMessage;
  QLineEdit* SM1;
  QLineEdit* SM2;
  QLineEdit* SM3;
  QLineEdit* SM4;
  QLineEdit* POM1;
  QLineEdit* POM2;
  QLineEdit* POM3;
  QLineEdit* POM4;

  // "System Graphics".
  QWidget* Graphics;
  QCheckBox* TCBitmaps;
  QPushButton* Button1;
  QLabel* PicName;
  QLabel* Image1;
  QPushButton* EditorClr;
  QLabel* IEColors;
  QPushButton* BrowClr;
  QLabel* MgrColors;

  // The buttons.
  QPushButton* OKButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;

  // The pickers: what each shows first and, after OK, what was chosen.
  platform::ui::FontChoice FontDialog1;  // invoice editor font
  platform::ui::FontChoice BrowFontDlg;  // managers font (fixed pitch)
  platform::ui::FontChoice EnvFont;      // envelope font
  platform::ui::FileDialogRequest OpenImage;
  platform::ui::FileDialogRequest InvBmpODialog;

 private:
  // A text box and the record field it carries.
  struct TextBinding {
    QLineEdit* edit;
    std::function<std::string(const records::CompanyRec&)> get;
    std::function<void(records::CompanyRec&, std::string_view)> set;
    bool trimmed;  // stored without surrounding blanks
  };
  // A check box stored as a flag byte (1/0) or as Yes/No text.
  struct CheckBinding {
    QCheckBox* box;
    std::function<bool(const records::CompanyRec&)> get;
    std::function<void(records::CompanyRec&, bool)> set;
  };

  template <std::size_t N>
  void BindText(QLineEdit* edit, records::ShortString<N> records::CompanyRec::*field, bool trimmed = false);
  void BindFlag(QCheckBox* box, records::Flag records::CompanyRec::*field);
  template <std::size_t N>
  void BindYesNo(QCheckBox* box, records::ShortString<N> records::CompanyRec::*field);
  void BindFields();

  void BuildAddressTab();
  void BuildBarCodesTab();
  void BuildEnvelopeTab();
  void BuildFormsTab();
  void BuildGeneralTab();
  void BuildInvoicesTab();
  void BuildPOTab();
  void BuildSalesMessagesTab();
  void BuildGraphicsTab();
  void BuildButtons();

  void ShowFontChoices();
  void ShowPicture(const QString& path);
  bool RunFontPicker(platform::ui::FontChoice& font, bool fixedPitchOnly, QLabel* preview);
  // The checks of Save; false when the dialog must stay open.
  bool CheckEntries();
  bool CheckCompanyNumber();
  bool NewCompanyNumberFree(const std::string& number);
  bool CheckAging();
  bool CheckTaxRate();
  void Refuse(QWidget* tab, QWidget* focus, const QString& text, const QString& title);

  std::vector<TextBinding> texts_;
  std::vector<CheckBinding> checks_;
  bool newCompany_ = false;
};

// The instance the Company Manager uses, made once at start-up; later calls return it.
extern TCompSet* CompSet;
TCompSet& CreateCompSet();

}  // namespace companies
