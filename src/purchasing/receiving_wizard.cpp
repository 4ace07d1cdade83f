#include "purchasing/receiving_wizard.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "forms/cal_form.h"
#include "forms/form_instance.h"
#include "forms/line_grid.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "purchasing/po_posting.h"
#include "records/company_rec.h"

namespace purchasing {

using namespace platform::ui;
using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using records::CurrentCompany;

std::string ReceivingPONumber = "0";
TRecvWiz* RecvWiz = nullptr;

TRecvWiz& CreateRecvWiz() {
  return forms::FormInstance(RecvWiz);
}

void OpenReceivingWizard() {
  CreateRecvWiz().ShowModal();
}

namespace {

constexpr char kWizard[] = "Receiving Wizard";
constexpr int kInTodayWidth = 10;

// "In Today" takes at most ten characters, as its mask did.
class InTodayDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setMaxLength(kInTodayWidth);
    return editor;
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    return !forms::WindowLostTheKeyboard(*event) && QStyledItemDelegate::eventFilter(object, event);
  }
};

QLabel* ValueLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  label->setMinimumWidth(80);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

}  // namespace

TRecvWiz::TRecvWiz(QWidget* parent)
    : Form(parent),
      PONum(new QLineEdit(this)),
      LoadBtn(new QPushButton("&Find", this)),
      CBFilter(new QCheckBox("&Show Open Items Only", this)),
      RDate(new QLineEdit(this)),
      Calbutton(new QToolButton(this)),
      RNum(new QLineEdit(this)),
      StringGrid1(new QTableWidget(1, kRecvColumns, this)),
      RecAllBtn(new QPushButton("&All", this)),
      NoneBtn(new QPushButton("&None", this)),
      PostBtn(new QPushButton("&Post", this)),
      TotOrder(ValueLabel(this)),
      RecToDate(ValueLabel(this)),
      OpenAmt(ValueLabel(this)),
      Label7(new QLabel(this)),
      StatusBar1(new QStatusBar(this)),
      SpeedButton14(new QPushButton("Help", this)),
      InvClose(new QPushButton("Close", this)) {
  SetCaption(kWizard);
  SetHelpKeyword("RecWiz");
  PONum->setMaxLength(9);
  RNum->setMaxLength(9);
  RDate->setMaxLength(10);
  Calbutton->setText("Calendar");
  StringGrid1->setHorizontalHeaderLabels(
      {"Product Description", "Product#", "Unit Cost", "Ordered", "T", "To Date", "In Today", "Bal. Due"});
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setItemDelegateForColumn(kRecvInToday, new InTodayDelegate(StringGrid1));
  StringGrid1->setEditTriggers(forms::kTypedEditTriggers | QAbstractItemView::DoubleClicked);
  StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  StringGrid1->horizontalHeader()->setSectionResizeMode(kRecvDescription, QHeaderView::Stretch);
  Label7->setMinimumWidth(90);
  BuildLayout();
  auto click = [this](QAbstractButton* button, void (TRecvWiz::*handler)()) {
    QObject::connect(button, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); });
  };
  click(LoadBtn, &TRecvWiz::LoadBtnClick);
  click(CBFilter, &TRecvWiz::CBFilterClick);
  click(RecAllBtn, &TRecvWiz::RecAllBtnClick);
  click(NoneBtn, &TRecvWiz::NoneBtnClick);
  click(PostBtn, &TRecvWiz::PostBtnClick);
  click(Calbutton, &TRecvWiz::CalbuttonClick);
  click(InvClose, &TRecvWiz::InvCloseClick);
  click(SpeedButton14, &TRecvWiz::SpeedButton14Click);
  QObject::connect(PONum, &QLineEdit::textChanged, this, [this] { PONumChange(); });
  QObject::connect(PONum, &QLineEdit::returnPressed, this, [this] {
    if (LoadBtn->isEnabled()) LoadBtnClick();
  });
  QObject::connect(StringGrid1, &QTableWidget::cellChanged, this, [this](int row, int column) {
    if (!showing_ && column == kRecvInToday) StringGrid1SetEditText(row);
  });
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
  resize(860, 520);
}

void TRecvWiz::BuildLayout() {
  auto caption = [this](const char* text, QWidget* buddy) {
    auto* label = new QLabel(text, this);
    label->setBuddy(buddy);
    return label;
  };
  auto* top = new QGridLayout;
  top->addWidget(caption("Enter A PO Number:", PONum), 0, 0);
  top->addWidget(PONum, 0, 1);
  top->addWidget(LoadBtn, 0, 2);
  top->addWidget(CBFilter, 0, 3);
  top->addWidget(caption("Receiver Date:", RDate), 1, 0);
  auto* date = new QHBoxLayout;
  date->addWidget(RDate);
  date->addWidget(Calbutton);
  top->addLayout(date, 1, 1);
  top->addWidget(caption("Receiver #:", RNum), 1, 2);
  top->addWidget(RNum, 1, 3);
  top->setColumnStretch(4, 1);

  auto* totals = new QHBoxLayout;
  totals->addWidget(RecAllBtn);
  totals->addWidget(NoneBtn);
  totals->addWidget(PostBtn);
  totals->addWidget(Label7);
  totals->addStretch(1);
  totals->addWidget(new QLabel("Ordered:", this));
  totals->addWidget(TotOrder);
  totals->addWidget(new QLabel("Received:", this));
  totals->addWidget(RecToDate);
  totals->addWidget(new QLabel("Due:", this));
  totals->addWidget(OpenAmt);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(SpeedButton14);
  buttons->addWidget(InvClose);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(StringGrid1, 1);
  layout->addLayout(totals);
  layout->addLayout(buttons);
  layout->addWidget(StatusBar1);
}

char TRecvWiz::DateOrder() const {
  const std::string order = CurrentCompany.DateOrder.Get();
  return order.empty() ? 'M' : order[0];
}

void TRecvWiz::FormCreate() {
  RDate->setText(ToQString(platform::text::FormatTypedDate(platform::text::Today(), DateOrder())));
}

void TRecvWiz::FormShow() {
  SetCaption(ToQString("Receiving Wizard - " + TrimBlanks(CurrentCompany.CompanyName.Get())));
  const QString typed = RDate->text();
  RDate->setInputMask(DateOrder() == 'Y' ? QStringLiteral("9999/99/99;_") : QStringLiteral("99/99/9999;_"));
  RDate->setText(typed);
  PONum->clear();
  RNum->clear();
  LoadBtn->setEnabled(false);
  EmptyGrid();
  StatusBar1->showMessage("Enter a PO number and select the Find button...");
  PONum->setFocus();
}

void TRecvWiz::EmptyGrid() {
  list_ = ReceivingList{};
  list_.PONumber = "0";
  ReceivingPONumber = "0";
  for (QLabel* total : {TotOrder, RecToDate, OpenAmt, Label7}) total->clear();  // of nothing listed
  const QSignalBlocker quiet(StringGrid1);
  StringGrid1->clearContents();
  StringGrid1->setRowCount(1);
  for (int column = 0; column < kRecvColumns; ++column) {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled);
    StringGrid1->setItem(0, column, item);
  }
}

void TRecvWiz::ShowRow(int row) {
  const ReceivingRow& r = list_.Rows[static_cast<size_t>(row)];
  const std::array<std::string, kRecvColumns> cells{r.Description, r.Code,   r.UnitCost, r.Ordered,
                                                    r.Kind,        r.ToDate, r.InToday,  r.BalanceDue};
  showing_ = true;
  for (int column = 0; column < kRecvColumns; ++column) {
    QTableWidgetItem* item = StringGrid1->item(row, column);
    if (!item) {
      item = new QTableWidgetItem;
      StringGrid1->setItem(row, column, item);
    }
    item->setText(ToQString(cells[static_cast<size_t>(column)]));
    if (column == kRecvInToday) {
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
      item->setBackground(Qt::yellow);
    } else {
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    if (column >= kRecvUnitCost && column != kRecvKind)
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  showing_ = false;
}

void TRecvWiz::ShowRows() {
  const QSignalBlocker quiet(StringGrid1);
  StringGrid1->setRowCount(std::max<int>(1, static_cast<int>(list_.Rows.size())));
  for (int row = 0; row < static_cast<int>(list_.Rows.size()); ++row) ShowRow(row);
}

void TRecvWiz::ShowTotals() {
  TotOrder->setText(ToQString(QuantityText(list_.Ordered)));
  RecToDate->setText(ToQString(QuantityText(list_.Received)));
  OpenAmt->setText(ToQString(QuantityText(list_.Due())));
}

void TRecvWiz::PONumChange() {
  if (!TrimBlanks(ToAnsi(PONum->text())).empty()) LoadBtn->setEnabled(true);
}

void TRecvWiz::LoadBtnClick() {
  EmptyGrid();
  const std::string number = TrimBlanks(ToAnsi(PONum->text()));
  list_ = LoadReceivingList(number, CBFilter->isChecked());
  ShowRows();
  ShowTotals();
  RecAllBtn->setEnabled(list_.Due() > 0);
  if (list_.Due() > 0) StringGrid1->setFocus();
  RNum->setText(ToQString(list_.ReceiverNumber));
  LoadBtn->setEnabled(false);
  StatusBar1->showMessage(
      "For each item, enter the amount received in the \"In Today\" column, then select Post button...");
  if (!list_.Rows.empty()) {
    Label7->setText(QStringLiteral("%1 line(s)").arg(list_.Rows.size()));
    ReceivingPONumber = list_.PONumber;
    StringGrid1->setCurrentCell(0, kRecvInToday);
    return;
  }
  Label7->clear();
  MessageBox(list_.Ordered == 0 ? "That PO number does not exist."
                                : "That PO number does not have any open items to display.",
             kWizard, MsgButtons::Ok, MsgIcon::Information);
  StatusBar1->showMessage("PO not found. Enter a PO number and select the Find button...");
}

void TRecvWiz::StringGrid1SetEditText(int row) {
  if (row < 0 || row >= static_cast<int>(list_.Rows.size())) return;
  ReceivingRow& r = list_.Rows[static_cast<size_t>(row)];
  r.InToday = ToAnsi(StringGrid1->item(row, kRecvInToday)->text());
  r.BalanceDue = BalanceDueOf(r);
  ShowRow(row);
}

void TRecvWiz::RecAllBtnClick() {
  ReceiveAll(list_.Rows);
  ShowRows();
}

void TRecvWiz::NoneBtnClick() {
  ReceiveNone(list_.Rows);
  ShowRows();
}

bool TRecvWiz::ConfirmOverReceipts(const Receipt& receipt) {
  for (size_t row = 0; row < receipt.Rows.size(); ++row) {
    const ReceivingRow& r = receipt.Rows[row];
    if (TrimBlanks(r.BalanceDue).empty() || QuantityOf(r.BalanceDue).value_or(0) >= 0) continue;
    if (MessageBox(
            "You are receiving more items than ordered. A Change to the PO is probably needed. Continue "
            "anyway?",
            ToQString("Product: " + r.Description), MsgButtons::YesNo, MsgIcon::Question) == mrYes)
      continue;
    StringGrid1->setCurrentCell(static_cast<int>(row), kRecvInToday);
    return false;
  }
  return true;
}

bool TRecvWiz::ConfirmDate(const QDate& date) {
  if (date <= platform::text::Today()) return true;
  if (MessageBox("Your received date is AFTER (older than) todays date. It will not appear on your receiving "
                 "report unless you include this date in the search. Are you sure you want to do this?",
                 "Please Confirm", MsgButtons::YesNo, MsgIcon::Question) == mrYes)
    return true;
  RDate->setFocus();
  return false;
}

void TRecvWiz::Refused(const ReceiptRefused& refusal) {
  MessageBox(ToQString(refusal.what()), ToQString(refusal.Caption), MsgButtons::Ok, MsgIcon::Information);
  if (refusal.Row >= 0)
    StringGrid1->setCurrentCell(refusal.Row, kRecvInToday);
  else if (refusal.Caption == "Duplicate Receiver Number" || refusal.Caption == "Receiver Number")
    RNum->setFocus();
  else if (refusal.Caption == "Receiver Date")
    RDate->setFocus();
  else
    PONum->setFocus();
}

void TRecvWiz::PostBtnClick() {
  // The receipt is of the PO listed, whatever has been typed into the PO number box since.
  const std::string number = list_.Rows.empty() ? TrimBlanks(ToAnsi(PONum->text())) : ReceivingPONumber;
  Receipt receipt{number, TrimBlanks(ToAnsi(RNum->text())), QDate(), list_.Rows};
  try {
    CheckReceiptHeader(receipt);
    if (!ConfirmOverReceipts(receipt)) return;
    CheckReceiptAmounts(receipt);
    const std::optional<QDate> date = platform::text::ParseTypedDate(ToAnsi(RDate->text()), DateOrder());
    if (!date) throw ReceiptRefused("The receiver date is not a date.", "Receiver Date");
    if (!ConfirmDate(*date)) return;
    receipt.Date = *date;
    const PostedReceipt posted = PostReceipt(receipt);
    EmptyGrid();
    StatusBar1->showMessage(ToQString(posted.StatusText));
    if (!posted.CounterNote.empty())
      MessageBox(ToQString(posted.CounterNote), "Receiver Number", MsgButtons::Ok, MsgIcon::Information);
    PONum->clear();
    PONum->setFocus();
  } catch (const ReceiptRefused& refusal) {
    Refused(refusal);
  } catch (const std::exception& error) {
    Application->HandleException(error);
  }
}

void TRecvWiz::CalbuttonClick() {
  std::optional<QDate> date = platform::text::ParseTypedDate(ToAnsi(RDate->text()), DateOrder());
  if (!date || TrimBlanks(ToAnsi(RDate->text())).size() < 10) date = platform::text::Today();
  forms::TCalForm& calendar = forms::CreateCalForm();
  calendar.SetCaption("Receiving Date");
  calendar.Calendar1->setSelectedDate(*date);
  calendar.CBMonth->setCurrentIndex(date->month() - 1);
  const bool chosen = calendar.ShowModal() == mrOk;
  calendar.SetCaption("Date Selection");
  if (!chosen) return;
  RDate->setText(calendar.NDate->text());
  RNum->setFocus();
}

void TRecvWiz::InvCloseClick() {
  Close();
}

void TRecvWiz::SpeedButton14Click() {
  Application->HelpKeyword("RecWiz");
}

}  // namespace purchasing
