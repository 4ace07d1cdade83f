#include "documents/statement_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "documents/customer_statement.h"
#include "documents/document_view.h"
#include "documents/email_document.h"
#include "documents/mail_readiness.h"
#include "documents/statement_email.h"
#include "documents/statement_printing.h"
#include "forms/font_choice.h"
#include "forms/form_instance.h"
#include "forms/run_state.h"
#include "forms/unusable_file.h"
#include "platform/print/colors.h"
#include "platform/print/printer.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "storage/stat_form.h"

namespace documents {

using platform::text::ToQString;
using platform::text::TrimBlanks;
using records::CurrentCompany;

TStment* Stment = nullptr;

TStment& CreateStment() {
  return forms::FormInstance(Stment);
}

namespace {

// Amounts drawn so that their decimal points line up: the part before the point ends a fixed
// distance from the cell's right edge.
class DecimalPointDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QString text = index.data().toString().trimmed();
    int point = text.indexOf('.');
    if (index.column() < 3 || point < 0) return QStyledItemDelegate::paint(painter, option, index);
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    plain.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, widget);
    const QFontMetrics metrics(option.font);
    int x = option.rect.right() - metrics.horizontalAdvance(".00") - 4;
    QRect whole(option.rect.left(), option.rect.top() + 2, x - option.rect.left(), option.rect.height() - 2);
    QRect fraction(x, option.rect.top() + 2, option.rect.right() - x, option.rect.height() - 2);
    painter->save();
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(whole, Qt::AlignRight | Qt::AlignTop, text.left(point));
    painter->drawText(fraction, Qt::AlignLeft | Qt::AlignTop, text.mid(point));
    painter->restore();
  }
};

QToolButton* SpeedButton(QWidget* parent, const QString& text, const QString& hint) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setToolTip(hint);
  return button;
}

}  // namespace

TStment::TStment(QWidget* parent)
    : Form(parent),
      AccountLabels{},
      Label6(new QLabel("Customer Number:", this)),
      CNoLabel(new QLabel(this)),
      PrinStButn(SpeedButton(this, "Print", "Print")),
      SpeedButton2(SpeedButton(this, "Close", "Close")),
      SpeedButton3(SpeedButton(this, "Help", "Help")),
      CheckBox1(new QCheckBox("&Show Unpaid Records Only", this)),
      SGrid(new QTableWidget(this)),
      CSBar(new QStatusBar(this)) {
  SetCaption("Customer Statement");
  resize(760, 480);
  auto* account = new QVBoxLayout;
  for (QLabel*& label : AccountLabels) {
    label = new QLabel(this);
    account->addWidget(label);
  }
  Label1 = AccountLabels[0];
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  auto* number = new QHBoxLayout;
  number->addWidget(Label6);
  number->addWidget(CNoLabel);
  number->addStretch(1);
  account->addLayout(number);
  auto* buttons = new QVBoxLayout;
  for (QWidget* widget : std::initializer_list<QWidget*>{PrinStButn, SpeedButton2, SpeedButton3, CheckBox1})
    buttons->addWidget(widget);
  auto* top = new QHBoxLayout;
  top->addLayout(account, 1);
  top->addLayout(buttons);

  SGrid->setColumnCount(StatementColumns);
  // The captions stand in the header, so that they stay in sight while the records scroll.
  SGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  SGrid->horizontalHeader()->setHighlightSections(false);
  SGrid->verticalHeader()->hide();
  SGrid->verticalHeader()->setDefaultSectionSize(20);
  SGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  SGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  SGrid->setItemDelegate(new DecimalPointDelegate(SGrid));
  CSBar->setSizeGripEnabled(false);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(SGrid, 1);
  layout->addWidget(CSBar);

  QObject::connect(CheckBox1, &QCheckBox::toggled, [this] {
    if (!showing_) CheckBox1Click();
  });
  QObject::connect(PrinStButn, &QToolButton::clicked, [this] { PrinStButnClick(); });
  QObject::connect(SpeedButton2, &QToolButton::clicked, [this] { SpeedButton2Click(); });
  QObject::connect(SpeedButton3, &QToolButton::clicked, [this] { SpeedButton3Click(); });
}

void TStment::FormShow() {
  showing_ = true;
  CheckBox1->setChecked(StmtUnpaidOnly);
  showing_ = false;
  ShowInBodyFont();
  ShowStatement();
}

void TStment::ShowInBodyFont() {
  const platform::ui::FontChoice body = forms::FontChoiceOf(CurrentCompany.InvBodyFont);
  QFont font = platform::ui::ToQFont(body);
  if (TrimBlanks(CurrentCompany.InvBodyFont.Name.Get()).empty()) font.setFamily(SGrid->font().family());
  SGrid->setFont(font);
  SGrid->horizontalHeader()->setFont(font);
  const QColor colour = platform::print::ColorToQColor(body.color);
  for (QWidget* widget : {static_cast<QWidget*>(SGrid), static_cast<QWidget*>(SGrid->horizontalHeader())}) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
  }
}

void TStment::ShowStatement() {
  for (std::size_t i = 0; i < AccountLabels.size(); ++i)
    AccountLabels[i]->setText(ToQString(Statement.Account[i]));
  CNoLabel->setText(ToQString(Statement.CustomerNo));
  const std::size_t rows = Statement.Rows.size();
  SGrid->setRowCount(rows < 2 ? 0 : static_cast<int>(rows) - 1);
  for (int column = 0; column < StatementColumns; ++column)
    SGrid->setHorizontalHeaderItem(
        column, new QTableWidgetItem(rows == 0 ? QString() : ToQString(Statement.Rows[0][column])));
  for (std::size_t row = 1; row < rows; ++row)
    for (int column = 0; column < StatementColumns; ++column)
      SGrid->setItem(static_cast<int>(row) - 1, column,
                     new QTableWidgetItem(ToQString(Statement.Rows[row][column])));
  SizeColumns();
  CSBar->showMessage("There are " + QString::number(Statement.RecordCount()) + " records selected.");
}

void TStment::SizeColumns() {
  static const char* const suffixes[StatementColumns] = {"X", "X", "XXX", "X", "X", "X", "XXXXXX"};
  const QFontMetrics metrics(SGrid->font());
  SGrid->verticalHeader()->setDefaultSectionSize(std::max(20, metrics.height() + 4));
  for (int column = 0; column < StatementColumns; ++column) {
    int width = 0;
    for (const StatementRow& row : Statement.Rows) {
      std::string text = TrimBlanks(row[static_cast<std::size_t>(column)]).substr(0, 32);
      width = std::max(width, metrics.horizontalAdvance(ToQString(text + suffixes[column])));
    }
    SGrid->setColumnWidth(column, width);
  }
}

void TStment::CheckBox1Click() {
  StmtUnpaidOnly = CheckBox1->isChecked();
  // A statement that cannot be built again is not shown in part: the window closes on the message.
  if (!forms::ReadAll(Caption(), [] { BuildCustomerStatement(); })) {
    Close();
    return;
  }
  ShowStatement();
  SGrid->viewport()->update();
}

void PutOutStatement(bool byEMail) {
  platform::ui::WaitCursor hourglass;
  if (byEMail)
    EmailStatementText();
  else
    PrintStatement(platform::print::Printer());
}

void TStment::PrinStButnClick() {
  if (storage::StatForm && storage::StatForm->isVisible()) storage::StatForm->Close();
  bool byEMail = forms::EMailOutputChosen();
  if (byEMail && !EnsureMailOnline()) return;
  PutOutStatement(byEMail);
  QString name = Label1->text();
  if (!byEMail) {
    CSBar->showMessage(platform::print::PrintedNotice("Statement for " + name, "sent to print queue"));
    return;
  }
  CSBar->showMessage("Statement for " + name + " sent by e-mail.");
  Trtedit& mail = CreateRtedit();
  mail.msSMTP1->Quit();
  platform::ui::MessageBox(
      platform::text::ToQString(SentByEMailText("Statement for " + platform::text::ToAnsi(name),
                                                mail.msMessage1->Recipients.Count())),
      "E-Mail Statement", platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Information);
}

void TStment::SpeedButton2Click() {
  Close();
}

void TStment::SpeedButton3Click() {
  platform::ui::Application->HelpKeyword("ViewStatement");
}

}  // namespace documents
