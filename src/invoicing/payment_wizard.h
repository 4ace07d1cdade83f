#pragma once
// The "Payment Wizard": records one customer payment. The user picks a customer, the wizard lists
// the customer's open items, and the user moves what the payment pays to the post list, whole,
// in part ("Partial Payment") or as a new deposit on account. "&Post" is enabled only while the
// items posted add up to the paid amount to the cent; it writes the payment through the payment
// posting and closes.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <string>
#include <vector>

#include "invoicing/payment_posting.h"
#include "platform/ui/form.h"

namespace invoicing {

class TPayBox : public platform::ui::Form {
 public:
  explicit TPayBox(QWidget* parent = nullptr);

  void FormShow() override;

  void BitBtn3Click();  // the customer button
  void IncludeBtnClick();
  void IncAllBtnClick();
  void ExcludeBtnClick();
  void ExcAllBtnClick();
  void SrcListClick();
  void SrcListDblClick() { IncludeBtnClick(); }
  void DstListDblClick() { ExcludeBtnClick(); }
  void PPmtBtnClick();
  void AccountDepClick();
  void PAmtChange();
  void CalbuttonClick();
  void OKBtnClick();
  void HelpBtnClick();

  QPushButton* BitBtn3;
  QLabel* CustName;
  QLabel* CustNo;
  QLabel* CustBal;
  QLabel* CustPhone;
  QLabel* CustSName;
  QLineEdit* PDate;
  QToolButton* Calbutton;
  QLineEdit* PAmt;
  QLineEdit* PNotes;
  QListWidget* SrcList;
  QListWidget* DstList;
  QToolButton* IncludeBtn;
  QToolButton* IncAllBtn;
  QToolButton* ExcludeBtn;
  QToolButton* ExcAllBtn;
  QPushButton* PPmtBtn;
  QPushButton* AccountDep;
  QLabel* IPostedAmt;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;

  // The items of a list, read back from its lines.
  static std::vector<PaymentItem> Items(const QListWidget& list);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LoadOpenItems();
  // Lists the customer's open items; the message of the invoice file that could not be opened or
  // read instead (nothing listed then), empty when they were read.
  std::string ReadOpenItems();
  void ShowCustomer(const records::CustomerRec& customer);
  void ResetPayment();
  void SetPaidText(const QString& text);
  void SetButtons();
  platform::text::Cents PostedAmount();
  void RecalcPostedAmount();
  // Moves the selected lines, from the bottom of the list upwards.
  static void MoveSelected(QListWidget& from, QListWidget& to);
  static void MoveAll(QListWidget& from, QListWidget& to);
  bool EmptyForMove(const QListWidget& list, const char* message) const;
  // A partial payment moved back to the open items gives its amount back to the open item it was
  // taken from, which comes back to the open items too.
  void ReturnPartialPayments();
  void RestoreOpenItem(int item, int row);
  // What is left open of a loaded item: its amount less its partial payments in the post list.
  PaymentItem OpenRest(int item) const;

  std::vector<PaymentItem> openItems_;  // the customer's open items as listed

  std::string customerNo_;
  std::string unreadItems_;  // why the customer's open items could not be read; the Post says it
  platform::text::Cents balance_ = 0;
  QString lastPaid_;
  bool settingPaid_ = false;
};

extern TPayBox* PayBox;
TPayBox& CreatePayBox();
// Shows the wizard modally, as the main window and the Invoice Manager do.
void OpenPaymentWizard();

}  // namespace invoicing
