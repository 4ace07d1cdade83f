#include "invoicing/payment_wizard.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>

#include "customers/customer_manager.h"
#include "forms/form_instance.h"
#include "forms/manager_window.h"
#include "invoicing/customer_pick.h"
#include "invoicing/date_field.h"
#include "invoicing/partial_payment_dialog.h"
#include "invoicing/typed_amount.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "platform/ui/text_entry.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/record_file.h"
#include "storage/posting_journal.h"

namespace invoicing {

using namespace platform::ui;
using platform::text::AmountText;
using platform::text::FormatAmount;
using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using records::CurrentCompany;

TPayBox* PayBox = nullptr;

TPayBox& CreatePayBox() {
  return forms::FormInstance(PayBox);
}

void OpenPaymentWizard() {
  if (forms::RefuseEntryWhilePostingWaits(records::InvoiceUnit(), "A payment", "posted", "Payment Wizard"))
    return;
  CreatePayBox().ShowModal();
}

namespace {

const char* const kCaption = "Payment Wizard";

QToolButton* MoveButton(QWidget* parent, const char* text, const char* hint) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setToolTip(hint);
  button->setMinimumWidth(40);
  return button;
}

QListWidget* ItemList(QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list->setMinimumSize(300, 220);
  return list;
}

QString LineOf(const PaymentItem& item) {
  return ToQString(PaymentItemLine(item));
}

// Every line of an open item and of its partial payments carries the item's place in the list as
// it was loaded; a partial payment's line also says that it is one.
constexpr int OpenItemRole = Qt::UserRole;
constexpr int PartialPaymentRole = Qt::UserRole + 1;

QListWidgetItem* ItemLine(const PaymentItem& item, int openItem, bool partialPayment) {
  auto* line = new QListWidgetItem(LineOf(item));
  line->setData(OpenItemRole, openItem);
  line->setData(PartialPaymentRole, partialPayment);
  return line;
}

bool IsPartialPayment(const QListWidgetItem& line) {
  return line.data(PartialPaymentRole).toBool();
}

bool IsLineOf(const QListWidgetItem& line, int openItem, bool partialPayment) {
  return line.data(OpenItemRole).isValid() && line.data(OpenItemRole).toInt() == openItem &&
         IsPartialPayment(line) == partialPayment;
}

int RowOf(const QListWidget& list, int openItem) {
  for (int row = 0; row < list.count(); ++row)
    if (IsLineOf(*list.item(row), openItem, false)) return row;
  return -1;
}

}  // namespace

TPayBox::TPayBox(QWidget* parent)
    : Form(parent),
      BitBtn3(new QPushButton("&Customer...", this)),
      CustName(new QLabel(this)),
      CustNo(new QLabel(this)),
      CustBal(new QLabel(this)),
      CustPhone(new QLabel(this)),
      CustSName(new QLabel(this)),
      PDate(new QLineEdit(this)),
      Calbutton(new QToolButton(this)),
      PAmt(new QLineEdit(this)),
      PNotes(new QLineEdit(this)),
      SrcList(ItemList(this)),
      DstList(ItemList(this)),
      IncludeBtn(MoveButton(this, ">", "Move one record right")),
      IncAllBtn(MoveButton(this, ">>", "Move all records right")),
      ExcludeBtn(MoveButton(this, "<", "Move one record left")),
      ExcAllBtn(MoveButton(this, "<<", "Move all records left")),
      PPmtBtn(new QPushButton("Partial Pay&ment", this)),
      AccountDep(new QPushButton("Add &Deposit on Account", this)),
      IPostedAmt(new QLabel("0.00", this)),
      OKBtn(new QPushButton("&Post", this)),
      CancelBtn(new QPushButton("Cancel", this)),
      HelpBtn(new QPushButton("Help", this)) {
  SetCaption(kCaption);
  SetHelpKeyword("PaymentWizard");
  Calbutton->setText("...");
  PAmt->setMaxLength(10);
  PNotes->setMaxLength(25);

  auto* customer = new QGroupBox("Customer", this);
  auto* customerGrid = new QFormLayout(customer);
  customerGrid->addRow(BitBtn3);
  customerGrid->addRow("Name:", CustName);
  customerGrid->addRow("Number:", CustNo);
  customerGrid->addRow("Short Name:", CustSName);
  customerGrid->addRow("Phone:", CustPhone);
  customerGrid->addRow("Balance:", CustBal);

  auto* payment = new QFormLayout;
  auto* date = new QHBoxLayout;
  date->addWidget(PDate);
  date->addWidget(Calbutton);
  payment->addRow("Payment Date:", date);
  payment->addRow("Paid Amount:", PAmt);
  payment->addRow("Statement Note:", PNotes);
  payment->addRow("Posted Amount:", IPostedAmt);
  payment->addRow(new QLabel("The Post Button will activate when the PAID amount", this));
  payment->addRow(new QLabel("matches the POSTED amount.", this));
  auto* top = new QHBoxLayout;
  top->addWidget(customer, 1);
  top->addLayout(payment, 1);

  auto* moves = new QVBoxLayout;
  moves->addStretch(1);
  for (QToolButton* button : {IncludeBtn, IncAllBtn, ExcludeBtn, ExcAllBtn}) moves->addWidget(button);
  moves->addStretch(1);
  auto* lists = new QGridLayout;
  lists->addWidget(new QLabel("Open items of the customer:", this), 0, 0);
  lists->addWidget(new QLabel("Items you are posting as paid:", this), 0, 2);
  lists->addWidget(SrcList, 1, 0);
  lists->addLayout(moves, 1, 1);
  lists->addWidget(DstList, 1, 2);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(PPmtBtn);
  buttons->addWidget(AccountDep);
  buttons->addStretch(1);
  for (QPushButton* button : {OKBtn, CancelBtn, HelpBtn}) buttons->addWidget(button);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(lists, 1);
  layout->addLayout(buttons);

  auto click = [this](auto* button, void (TPayBox::*handler)()) {
    QObject::connect(button, &QAbstractButton::clicked, [this, handler] { (this->*handler)(); });
  };
  click(BitBtn3, &TPayBox::BitBtn3Click);
  click(Calbutton, &TPayBox::CalbuttonClick);
  click(IncludeBtn, &TPayBox::IncludeBtnClick);
  click(IncAllBtn, &TPayBox::IncAllBtnClick);
  click(ExcludeBtn, &TPayBox::ExcludeBtnClick);
  click(ExcAllBtn, &TPayBox::ExcAllBtnClick);
  click(PPmtBtn, &TPayBox::PPmtBtnClick);
  click(AccountDep, &TPayBox::AccountDepClick);
  click(OKBtn, &TPayBox::OKBtnClick);
  click(HelpBtn, &TPayBox::HelpBtnClick);
  BindModalResult(CancelBtn, mrCancel);
  QObject::connect(PAmt, &QLineEdit::textChanged, [this] { PAmtChange(); });
  QObject::connect(SrcList, &QListWidget::itemClicked, [this] { SrcListClick(); });
  QObject::connect(SrcList, &QListWidget::currentRowChanged, [this] { SrcListClick(); });
  QObject::connect(SrcList, &QListWidget::itemDoubleClicked, [this] { SrcListDblClick(); });
  QObject::connect(DstList, &QListWidget::itemDoubleClicked, [this] { DstListDblClick(); });
  SrcList->installEventFilter(this);
  DstList->installEventFilter(this);
  customers::AddCustomerPicker(this);
  platform::ui::SetTabOrderAsLaidOut(*this);
}

bool TPayBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (watched == SrcList) IncludeBtnClick();
      if (watched == DstList) ExcludeBtnClick();
      if (watched == SrcList || watched == DstList) return true;
    }
  }
  return Form::eventFilter(watched, event);
}

void TPayBox::SetPaidText(const QString& text) {
  settingPaid_ = true;
  PAmt->setText(text);
  settingPaid_ = false;
  lastPaid_ = text;
}

void TPayBox::ResetPayment() {
  SrcList->clear();
  DstList->clear();
  openItems_.clear();
  PDate->setText(ToQString(TodayTyped()));
  SetPaidText("0.00");
  PNotes->clear();
  OKBtn->setEnabled(false);
}

void TPayBox::FormShow() {
  SetCaption(QString(kCaption) + " - " + ToQString(CurrentCompany.CompanyName.Get()));
  SetDateMask(*PDate);
  customerNo_.clear();
  unreadItems_.clear();
  balance_ = 0;
  for (QLabel* label : {CustName, CustNo, CustPhone, CustSName}) label->clear();
  CustBal->setText("0.00");
  ResetPayment();
  DepositEntryMode = 0;
  for (QPushButton* button : {OKBtn, PPmtBtn, AccountDep}) button->setEnabled(false);
  SetButtons();
  BitBtn3->setFocus();
}

void TPayBox::BitBtn3Click() {
  LoadOpenItems();
}

void TPayBox::ShowCustomer(const records::CustomerRec& customer) {
  customerNo_ = TrimBlanks(customer.CustomerNo.Get());
  balance_ = StoredCents(customer.CustBalance.Get());
  CustName->setText(ToQString(customer.CustomerName.Get()));
  CustNo->setText(ToQString(customer.CustomerNo.Get()));
  CustBal->setText(ToQString(FormatAmount(balance_)));
  CustPhone->setText(ToQString(customer.Phone1.Get()));
  CustSName->setText(ToQString(customer.ShortName.Get()));
}

void TPayBox::LoadOpenItems() {
  if (!PickCustomer(ToAnsi(CustName->text()), ToAnsi(CustNo->text()))) return;

  ShowCustomer(records::SelectedCustomer);
  ResetPayment();
  // Items that could not be read are said, never shown as none; the Post says it again.
  unreadItems_ = ReadOpenItems();
  if (!unreadItems_.empty()) MessageBox(ToQString(unreadItems_), kCaption, MsgButtons::Ok, MsgIcon::Error);
  SetButtons();
  if (balance_ <= 0 && unreadItems_.empty())
    MessageBox(
        "This customer does not have a balance due. You can only record deposits on account or clear "
        "offsetting invoices and credits.",
        "Please Note", MsgButtons::Ok, MsgIcon::Information);
  AccountDep->setEnabled(true);
  PDate->setFocus();
}

std::string TPayBox::ReadOpenItems() {
  std::vector<PaymentItem> items;
  try {
    const records::FileForAction invoices(records::InvoiceFile, records::OpenInvoiceFile);
    if (records::ThereToRead(invoices, records::InvoiceUnit()))
      items = invoicing::LoadOpenItems(customerNo_, CompanyDateOrder());
  } catch (const std::runtime_error& failure) {
    return failure.what();
  }
  openItems_ = items;
  for (size_t i = 0; i < items.size(); ++i) SrcList->addItem(ItemLine(items[i], static_cast<int>(i), false));
  return {};
}

std::vector<PaymentItem> TPayBox::Items(const QListWidget& list) {
  std::vector<PaymentItem> items;
  for (int row = 0; row < list.count(); ++row)
    if (std::optional<PaymentItem> item = ParsePaymentItemLine(ToAnsi(list.item(row)->text())))
      items.push_back(*item);
  return items;
}

void TPayBox::MoveSelected(QListWidget& from, QListWidget& to) {
  int first = -1;
  for (int row = from.count() - 1; row >= 0; --row) {
    if (!from.item(row)->isSelected()) continue;
    first = row;
    to.addItem(from.takeItem(row));
  }
  if (first < 0 && from.currentRow() >= 0) {
    first = from.currentRow();
    to.addItem(from.takeItem(first));
  }
  from.clearSelection();
  if (from.count() > 0 && first >= 0) from.setCurrentRow(std::min(first, from.count() - 1));
}

void TPayBox::MoveAll(QListWidget& from, QListWidget& to) {
  while (from.count() > 0) to.addItem(from.takeItem(0));
}

bool TPayBox::EmptyForMove(const QListWidget& list, const char* message) const {
  if (list.count() > 0) return false;
  MessageBox(message, kCaption);
  return true;
}

void TPayBox::IncludeBtnClick() {
  if (EmptyForMove(*SrcList, "There are no records to move to the right (post) box.")) return;
  MoveSelected(*SrcList, *DstList);
  SetButtons();
}

void TPayBox::IncAllBtnClick() {
  if (EmptyForMove(*SrcList, "There are no records to move to the right (post) box.")) return;
  MoveAll(*SrcList, *DstList);
  PPmtBtn->setEnabled(false);
  SetButtons();
}

void TPayBox::ExcludeBtnClick() {
  if (EmptyForMove(*DstList, "There are no records to move to the left box.")) return;
  MoveSelected(*DstList, *SrcList);
  ReturnPartialPayments();
  SetButtons();
}

void TPayBox::ExcAllBtnClick() {
  if (EmptyForMove(*DstList, "There are no records to move to the left box.")) return;
  MoveAll(*DstList, *SrcList);
  ReturnPartialPayments();
  SetButtons();
}

void TPayBox::ReturnPartialPayments() {
  for (int row = 0; row < SrcList->count();) {
    if (!IsPartialPayment(*SrcList->item(row))) {
      ++row;
      continue;
    }
    const int item = SrcList->item(row)->data(OpenItemRole).toInt();
    delete SrcList->takeItem(row);
    RestoreOpenItem(item, row);
  }
}

// The open item's line, wherever it stands, goes back to the open items at `row` (where its
// partial payment landed) unless it is there already, and shows what is left open of it.
void TPayBox::RestoreOpenItem(int item, int row) {
  QListWidgetItem* line = nullptr;
  if (const int open = RowOf(*SrcList, item); open >= 0) {
    line = SrcList->item(open);
  } else if (const int posted = RowOf(*DstList, item); posted >= 0) {
    line = DstList->takeItem(posted);
    SrcList->insertItem(row, line);
  } else {
    line = ItemLine(openItems_.at(static_cast<size_t>(item)), item, false);
    SrcList->insertItem(row, line);
  }
  line->setText(LineOf(OpenRest(item)));
}

PaymentItem TPayBox::OpenRest(int item) const {
  PaymentItem rest = openItems_.at(static_cast<size_t>(item));
  for (int row = 0; row < DstList->count(); ++row) {
    const QListWidgetItem& line = *DstList->item(row);
    if (!IsLineOf(line, item, true)) continue;
    if (std::optional<PaymentItem> partial = ParsePaymentItemLine(ToAnsi(line.text()))) {
      rest.Amount -= partial->Amount;
      rest.Partial = false;
    }
  }
  return rest;
}

void TPayBox::SrcListClick() {
  QListWidgetItem* line = SrcList->currentItem();
  std::optional<PaymentItem> item = line ? ParsePaymentItemLine(ToAnsi(line->text())) : std::nullopt;
  PPmtBtn->setEnabled(item && item->Amount > 0 && item->Number != NewDepositItem);
}

void TPayBox::SetButtons() {
  IncludeBtn->setEnabled(SrcList->count() > 0);
  IncAllBtn->setEnabled(SrcList->count() > 0);
  ExcludeBtn->setEnabled(DstList->count() > 0);
  ExcAllBtn->setEnabled(DstList->count() > 0);
  RecalcPostedAmount();
}

platform::text::Cents TPayBox::PostedAmount() {
  platform::text::Cents posted = 0;
  for (const PaymentItem& item : Items(*DstList)) posted += item.Amount;
  return posted;
}

void TPayBox::RecalcPostedAmount() {
  const platform::text::Cents posted = PostedAmount();
  IPostedAmt->setText(ToQString(FormatAmount(posted)));
  std::optional<platform::text::Cents> paid = TypedAmountValue(ToAnsi(PAmt->text()));
  OKBtn->setEnabled(paid && AmountText(*paid) == AmountText(posted) && DstList->count() > 0);
}

void TPayBox::PAmtChange() {
  if (settingPaid_) return;
  const std::string typed = ToAnsi(PAmt->text());
  const TypedAmountCheck check = CheckTypedAmount(typed);
  if (check == TypedAmountCheck::Negative || check == TypedAmountCheck::NotNumeric) {
    if (check == TypedAmountCheck::Negative)
      MessageBox(
          "You should not enter a negative number in the payment box. Create a credit invoice if you are "
          "trying to give the customer credit.",
          "Paid Amount");
    else
      MessageBox("The payment amount must be a numeric value.", "Invalid Payment Amount", MsgButtons::Ok,
                 MsgIcon::Warning);
    SetPaidText(lastPaid_);
    RecalcPostedAmount();
    return;
  }
  lastPaid_ = PAmt->text();
  if (check == TypedAmountCheck::Number && AmountText(*TypedAmountValue(typed)) == AmountText(balance_) &&
      SrcList->count() > 0) {
    MoveAll(*SrcList, *DstList);
    SetButtons();
    PAmt->end(false);
  }
  RecalcPostedAmount();
}

void TPayBox::PPmtBtnClick() {
  if (SrcList->count() == 0) {
    PPmtBtn->setEnabled(false);
    Beep();
    return;
  }
  const int row = SrcList->currentRow();
  std::optional<PaymentItem> item =
      row >= 0 ? ParsePaymentItemLine(ToAnsi(SrcList->item(row)->text())) : std::nullopt;
  // Only an open item of the customer is paid in part (a deposit moved back is none).
  if (!item || TrimBlanks(item->Date).empty() || !SrcList->item(row)->data(OpenItemRole).isValid()) {
    Beep();
    return;
  }
  PartialDate = item->Date;
  PartialInvoiceNo = item->Number;
  PartialDue = item->Amount;
  DepositEntryMode = 0;
  TPPmtDialog& dialog = CreatePPmtDialog();
  dialog.SetCaption("Partial Payment");
  dialog.Label1->setText(ToQString("Invoice: " + PartialInvoiceNo + "   Date: " + PartialDate));
  dialog.PAmount->setText("0.00");
  if (dialog.ShowModal() != mrOk) return;
  const platform::text::Cents amount = dialog.Amount();
  const int openItem = SrcList->item(row)->data(OpenItemRole).toInt();
  DstList->addItem(ItemLine({PartialInvoiceNo, PartialDate, amount, true}, openItem, true));
  SrcList->item(row)->setText(LineOf({PartialInvoiceNo, PartialDate, PartialDue - amount, false}));
  SrcList->setFocus();
  SrcList->setCurrentRow(row);
  SetButtons();
}

void TPayBox::AccountDepClick() {
  TPPmtDialog& dialog = CreatePPmtDialog();
  dialog.SetCaption("Deposit on Account");
  dialog.Label1->setText("Invoice: DEPOSIT     Date: " + PDate->text());
  dialog.PAmount->setText("0.00");
  PartialDue = 0;
  DepositEntryMode = 1;
  const TModalResult result = dialog.ShowModal();
  DepositEntryMode = 0;
  if (result != mrOk) return;
  DstList->addItem(LineOf({NewDepositItem, DepositDateColumn(ToAnsi(PDate->text()), CompanyDateOrder()),
                           dialog.Amount(), false}));
  SetButtons();
}

void TPayBox::CalbuttonClick() {
  ChooseDateFor(*PDate);
}

void TPayBox::OKBtnClick() {
  RecalcPostedAmount();
  if (!OKBtn->isEnabled()) return;
  if (!TypedDate(*PDate)) {
    MessageBox(
        "You have an invalid payment date. You can clear the date and then select the calendar button.",
        "Payment Date", MsgButtons::Ok, MsgIcon::Warning);
    PDate->setFocus();
    return;
  }
  // While a posting of the company waits, the invoices cannot even be opened (their repair waits
  // with it): the payment is refused as its posting would be, in the same words.
  if (const std::string refusal = storage::WaitingPostingRefusal("The payment", "posted"); !refusal.empty()) {
    MessageBox(ToQString(refusal), kCaption, MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  if (!unreadItems_.empty()) {
    MessageBox(ToQString(unreadItems_), kCaption, MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  records::FileForAction invoices(records::InvoiceFile, records::OpenInvoiceFile);
  if (!invoices.Open()) {
    MessageBox(ToQString(records::DataFileUnusableText(records::InvoiceUnit())), kCaption, MsgButtons::Ok,
               MsgIcon::Error);
    return;
  }
  platform::ui::SayLeftOutCharacters(*this);
  try {
    PostPayment({customerNo_, ToAnsi(PDate->text()), TrimBlanks(ToAnsi(PNotes->text())), Items(*DstList)});
  } catch (const std::runtime_error& error) {
    MessageBox(ToQString(error.what()), kCaption, MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  SetModalResult(mrOk);
}

void TPayBox::HelpBtnClick() {
  Application->HelpKeyword("PaymentWizard");
}

}  // namespace invoicing
