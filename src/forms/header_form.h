#pragma once
// "Headers, Fonts and Colors": the heading texts of the printed documents and their six fonts.
// The company options dialog loads the text boxes from the company record before showing it and
// reads them back afterwards; the fonts are edited in place in InvoiceHeaderFonts, the working
// copies of the company's six heading fonts.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "platform/ui/form.h"
#include "records/font_rec.h"

namespace forms {

class THeaderForm : public platform::ui::Form {
 public:
  explicit THeaderForm(QWidget* parent = nullptr);

  // "Form Caption Headers:"
  QLineEdit* InvCapData;
  QLineEdit* StmntCapData;
  QLineEdit* PackSHeadData;
  QLineEdit* FCHeadData;
  QLineEdit* PoHeadTxt;
  QLineEdit* POCopyHeadr;
  // "Invoice/PO Column Headers:"
  QLineEdit* PrCdhead;
  QLineEdit* QuanHead;
  QLineEdit* DescHead;
  QLineEdit* Edit8;  // unit cost
  QLineEdit* ExtHead;
  // Memo headers and notes.
  QLineEdit* MemoHeadr;
  QLineEdit* StmntNote;
  QLineEdit* POMemoHdr;
  // Ship-to headings.
  QLineEdit* InvShipHead;
  QLineEdit* POShipHead;

  // Font buttons and the sample label showing each font.
  QPushButton* InvBodyButn;
  QPushButton* CapHeadButn;
  QPushButton* CustHeadButn;
  QPushButton* CompHeadButn;
  QPushButton* ColHeadButn;
  QPushButton* SalesMsgButn;
  QLabel* InvBodyTxt;
  QLabel* CapHeadTxt;
  QLabel* CustNameTxt;
  QLabel* CompAddTxt;
  QLabel* ColHeadTxt;
  QLabel* SalesMsgTxt;

  QPushButton* OkButn2;
  QPushButton* Help2Butn;

  void FormShow() override;
  void InvBodyButnClick();
  void CapHeadButnClick();
  void CustHeadButnClick();
  void CompHeadButnClick();
  void ColHeadButnClick();
  void SalesMsgButnClick();
  void OkButn2Click();
  void Help2ButnClick();

 private:
  // The font dialog over one of the heading fonts; on OK the font and its sample change.
  void ChooseFont(records::FontRec& font, QLabel* sample);
  static void ShowFontOn(const records::FontRec& font, QLabel* sample);
};

extern THeaderForm* HeaderForm;
// Makes the one instance (at start-up); later calls return it.
THeaderForm& CreateHeaderForm();

}  // namespace forms
