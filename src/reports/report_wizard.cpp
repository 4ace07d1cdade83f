#include "reports/report_wizard.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <utility>

#include "forms/cal_form.h"
#include "forms/form_instance.h"
#include "forms/unusable_file.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "reports/receivables_report.h"
#include "reports/report_catalog.h"
#include "reports/report_dates.h"
#include "reports/report_viewer.h"

namespace reports {

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::ui::MessageBox;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;

TRptSelect* RptSelect = nullptr;

namespace {

constexpr std::size_t TitleLength = 25;
constexpr int FilterLength = 20;

QString DateText(const QDate& date) {
  return ToQString(platform::text::DateToStr(date));
}

std::optional<QDate> DateOf(const QLineEdit* edit) {
  return platform::text::TryStrToDate(ToAnsi(edit->text()));
}

void Warn(const char* text, const char* title) {
  MessageBox(QString::fromLatin1(text), QString::fromLatin1(title), MsgButtons::Ok, MsgIcon::Warning);
}

// Runs read, which reads the report's files: true when they could be read. A file that cannot be
// used is said under the report's caption instead (which file and why), and nothing is shown of
// what was read before it.
template <class Read>
bool ReadOrTell(const ReportEntry& entry, Read read) {
  return forms::ReadAll(ToQString(entry.EmptyCaption), [&] {
    platform::ui::WaitCursor busy;
    read();
  });
}

// Runs one report: walks its files, then shows the viewer, or says that nothing matched, or
// which file could not be read.
void RunReport(std::string_view title) {
  const ReportEntry* entry = FindReport(title);
  TRptSelect& wizard = CreateRptSelect();
  if (!entry) return;
  ReportOutput report;
  if (!ReadOrTell(*entry, [&] { report = entry->Collect(wizard.Request()); })) return;
  if (report.Table.RowCount() < 2) {
    MessageBox(ToQString(entry->EmptyMessage), ToQString(entry->EmptyCaption), MsgButtons::Ok,
               MsgIcon::Information);
    if (entry->FocusFromDate) wizard.IDate->setFocus();
    return;
  }
  platform::ui::Application->ProcessMessages();
  Trtreport& viewer = Creatertreport();
  viewer.LoadReport(std::move(report));
  viewer.ShowModal();
}

// The builder of each title.
const std::array<std::pair<std::string_view, void (*)()>, 15> Builders = {{
    {"Purchase Detail", BuildPurchaseDetailReport},
    {"Profit Report", BuildProfitReport},
    {"Commitment Report", BuildCommitmentReport},
    {"Overstock Report", BuildOverstockReport},
    {"Reorder Report", BuildReorderReport},
    {"Inventory Report", BuildInventoryReport},
    {"PO Register", BuildPORegister},
    {"Receiving Report", BuildReceivingReport},
    {"Invoice Register", BuildInvoiceRegister},
    {"Payment Register", BuildPaymentRegister},
    {"Accounts Receivable", BuildAccountsReceivable},
    {"Sales Report", BuildSalesReport},
    {"Invoice Key Code Inquiry", BuildInvoiceKeyCodeInquiry},
    {"PO Key Code Inquiry", BuildPOKeyCodeInquiry},
    {"Tax Report", BuildTaxReport},
}};

}  // namespace

TRptSelect::TRptSelect(QWidget* parent)
    : Form(parent),
      Label4(new QLabel(QStringLiteral("Select a Report Type:"), this)),
      ListBox1(new QListWidget(this)),
      RType(new QLabel(this)),
      Label3(new QLabel(QStringLiteral("Date Selection:"), this)),
      ComboBox1(new QComboBox(this)),
      Label1(new QLabel(QStringLiteral("&From:"), this)),
      IDate(new QLineEdit(this)),
      Label2(new QLabel(QStringLiteral("&To:"), this)),
      EndDt(new QLineEdit(this)),
      Cal1But(new QToolButton(IDate)),
      Cal2But(new QToolButton(EndDt)),
      Label5(new QLabel(QStringLiteral("Report &Selection Filter:"), this)),
      EBrptfilter(new QLineEdit(this)),
      Button2(new QPushButton(QStringLiteral("Clea&r"), this)),
      SpeedButton1(new QToolButton(this)),
      Button1(new QPushButton(QStringLiteral("&View"), this)),
      CancelBut(new QPushButton(QStringLiteral("&Cancel"), this)),
      HelpBut(new QPushButton(QStringLiteral("&Help"), this)) {
  SetCaption(QStringLiteral("Report Wizard"));
  SetHelpKeyword(QStringLiteral("ReportWizard"));
  for (const ReportEntry& entry : ReportCatalog()) ListBox1->addItem(ToQString(entry.Title));
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  // All fifteen titles at once, without scrolling.
  ListBox1->setMinimumHeight(ListBox1->sizeHintForRow(0) * ListBox1->count() + 2 * ListBox1->frameWidth() +
                             4);
  RType->setWordWrap(true);
  RType->setFixedSize(395, 49);
  RType->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  for (std::string_view preset : DatePresets) ComboBox1->addItem(ToQString(preset));
  ComboBox1->setMaxVisibleItems(11);
  for (QLineEdit* edit : {IDate, EndDt}) {
    edit->setInputMask(QStringLiteral("99/99/9999; "));
    edit->setMaxLength(10);
  }
  for (QToolButton* button : {Cal1But, Cal2But}) {
    button->setText(QStringLiteral("..."));
    button->setToolTip(QStringLiteral("Calendar"));
    button->setCursor(Qt::ArrowCursor);
    button->setFocusPolicy(Qt::NoFocus);
  }
  Label1->setBuddy(IDate);
  Label2->setBuddy(EndDt);
  Label5->setBuddy(EBrptfilter);
  EBrptfilter->setMaxLength(FilterLength);
  SpeedButton1->setText(QStringLiteral("?"));
  SpeedButton1->setToolTip(QStringLiteral("Help"));
  Button1->setDefault(true);

  connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
  connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
  connect(Cal1But, &QToolButton::clicked, this, [this] { Cal1ButClick(); });
  connect(Cal2But, &QToolButton::clicked, this, [this] { Cal2ButClick(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(CancelBut, &QPushButton::clicked, this, [this] { CancelButClick(); });
  connect(HelpBut, &QPushButton::clicked, this, [this] { HelpButClick(); });
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

  auto* dates = new QGridLayout;
  dates->addWidget(Label3, 0, 0, 1, 2);
  dates->addWidget(ComboBox1, 1, 0, 1, 2);
  dates->addWidget(Label1, 2, 0);
  dates->addWidget(IDate, 2, 1);
  dates->addWidget(Label2, 3, 0);
  dates->addWidget(EndDt, 3, 1);
  auto* filter = new QHBoxLayout;
  filter->addWidget(EBrptfilter, 1);
  filter->addWidget(Button2);
  filter->addWidget(SpeedButton1);
  auto* choice = new QVBoxLayout;
  choice->addLayout(dates);
  choice->addSpacing(8);
  choice->addWidget(Label5);
  choice->addLayout(filter);
  choice->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(ListBox1, 1);
  top->addLayout(choice);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(CancelBut);
  buttons->addWidget(HelpBut);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label4);
  layout->addLayout(top);
  layout->addWidget(RType);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TRptSelect::FormShow() {
  EBrptfilter->clear();
  const std::string order = records::CurrentCompany.DateOrder.Get();
  if (order == "D") Label3->setText(QStringLiteral("Date Selection (dd/mm/yyyy):"));
  if (order == "M") Label3->setText(QStringLiteral("Date Selection:"));
  PlaceCalendarButton(Cal1But, IDate);
  PlaceCalendarButton(Cal2But, EndDt);
  ComboBox1->setCurrentText(ToQString(MonthToDatePreset));
  ComboBox1Change();
  PlaceCentred();
  ListBox1->setFocus();
  ListBox1->setCurrentRow(0);
  ListBox1Click();
}

void TRptSelect::PlaceCalendarButton(QToolButton* button, QLineEdit* edit) {
  const int height = edit->height() - 4;
  button->setFixedSize(height, height);
  button->move(edit->width() - button->width() - 2, 2);
  edit->setTextMargins(0, 0, button->width() + 2, 0);
}

void TRptSelect::ListBox1Click() {
  const QListWidgetItem* item = ListBox1->currentItem();
  if (!item) return;
  const ReportEntry* entry = FindReport(ToAnsi(item->text()));
  if (!entry) return;
  if (entry->Dated)
    RestoreDateControls();
  else
    ShowDateControls();
  RType->setText(ToQString(entry->Description));
}

void TRptSelect::ListBox1DblClick() {
  Button1Click();
}

void TRptSelect::ShowDateControls() {
  for (QWidget* control : std::initializer_list<QWidget*>{ComboBox1, IDate, EndDt, Cal1But, Cal2But, Label2})
    control->hide();
  Label3->setText(QStringLiteral("Date Selection:"));
  Label1->setText(QStringLiteral("Searches all records..."));
}

void TRptSelect::RestoreDateControls() {
  Label1->setText(QStringLiteral("&From:"));
  for (QWidget* control : std::initializer_list<QWidget*>{Label2, ComboBox1, IDate, EndDt, Cal1But, Cal2But})
    control->show();
}

void TRptSelect::ComboBox1Change() {
  const std::optional<std::pair<QDate, QDate>> range =
      PresetRange(ToAnsi(ComboBox1->currentText()), platform::text::Today());
  if (!range) return;
  IDate->setText(DateText(range->first));
  EndDt->setText(DateText(range->second));
}

void TRptSelect::PickDate(QLineEdit* edit, const QString& caption, QWidget* nextFocus) {
  const std::string text = ToAnsi(edit->text());
  if (!forms::IsValidDate(text) || platform::text::TrimBlanks(text).size() < 10)
    edit->setText(DateText(platform::text::Today()));
  const QDate date = DateOf(edit).value_or(platform::text::Today());
  forms::TCalForm& calendar = forms::CreateCalForm();
  calendar.SetCaption(caption);
  calendar.Calendar1->setSelectedDate(date);
  calendar.CBMonth->setCurrentIndex(date.month() - 1);
  forms::CalendarTop = y();
  forms::CalendarLeft = 0;
  const platform::ui::TModalResult result = calendar.ShowModal();
  calendar.SetCaption(QStringLiteral("Date Selection"));
  if (result != platform::ui::mrOk) {
    edit->setFocus();
    return;
  }
  edit->setText(calendar.NDate->text());
  ComboBox1->setCurrentText(ToQString(CustomDatesPreset));
  nextFocus->setFocus();
}

void TRptSelect::Cal1ButClick() {
  PickDate(IDate, QStringLiteral("Select FROM Date"), EndDt);
}

void TRptSelect::Cal2ButClick() {
  PickDate(EndDt, QStringLiteral("Select Ending Date"), Button1);
}

bool TRptSelect::RangeIsValid() {
  const std::optional<QDate> from = DateOf(IDate);
  if (!from) {
    Warn("You have an invalid beginning date. You can clear the date and then select the calendar button.",
         "FROM Date");
    IDate->setFocus();
    return false;
  }
  const std::optional<QDate> to = DateOf(EndDt);
  if (!to) {
    Warn("You have an invalid ending date. You can clear the date and then select the calendar button.",
         "TO Date");
    EndDt->setFocus();
    return false;
  }
  if (*to < *from) {
    Warn("Your beginning date is not older than your ending date.", "FROM Date");
    IDate->setFocus();
    return false;
  }
  return true;
}

void TRptSelect::Button1Click() {
  const QListWidgetItem* item = ListBox1->currentItem();
  if (!item) return;
  const ReportEntry* entry = FindReport(ToAnsi(item->text()));
  // A report of the present state ignores the range, and its date edits are hidden: a bad date
  // there could be neither seen nor mended.
  if (entry && entry->Dated && !RangeIsValid()) return;
  ReportTitle = ToAnsi(item->text()).substr(0, TitleLength);
  for (const auto& [title, build] : Builders)
    if (title == ReportTitle) build();
}

void TRptSelect::Button2Click() {
  EBrptfilter->clear();
  Button1->setFocus();
}

void TRptSelect::CancelButClick() {
  SetModalResult(platform::ui::mrCancel);
}

void TRptSelect::HelpButClick() {
  platform::ui::Application->HelpKeyword(QStringLiteral("ReportWizard"));
}

void TRptSelect::SpeedButton1Click() {
  platform::ui::Application->HelpKeyword(QStringLiteral("ReportFilter"));
}

ReportRequest TRptSelect::Request() const {
  return {ToAnsi(IDate->text()), ToAnsi(EndDt->text()), ToAnsi(EBrptfilter->text()), platform::text::Now()};
}

TRptSelect& CreateRptSelect() {
  return forms::FormInstance(RptSelect);
}

void BuildPurchaseDetailReport() {
  RunReport("Purchase Detail");
}
void BuildProfitReport() {
  RunReport("Profit Report");
}
void BuildCommitmentReport() {
  RunReport("Commitment Report");
}
void BuildOverstockReport() {
  RunReport("Overstock Report");
}
void BuildReorderReport() {
  RunReport("Reorder Report");
}
void BuildInventoryReport() {
  RunReport("Inventory Report");
}
void BuildPORegister() {
  RunReport("PO Register");
}
void BuildReceivingReport() {
  RunReport("Receiving Report");
}
void BuildTaxReport() {
  RunReport("Tax Report");
}
void BuildInvoiceKeyCodeInquiry() {
  RunReport("Invoice Key Code Inquiry");
}
void BuildPOKeyCodeInquiry() {
  RunReport("PO Key Code Inquiry");
}
void BuildSalesReport() {
  RunReport("Sales Report");
}
void BuildInvoiceRegister() {
  RunReport("Invoice Register");
}
void BuildPaymentRegister() {
  RunReport("Payment Register");
}

void BuildAccountsReceivable() {
  // Zero only as the company list holds it now: a balance that could not be read is no zero.
  const ReportEntry* entry = FindReport("Accounts Receivable");
  bool zero = false;
  if (!entry || !ReadOrTell(*entry, [&] { zero = StoredReceivablesAreZero(); })) return;
  if (zero) {
    MessageBox(
        QStringLiteral("Your Accounts Receivable balance is zero for this company. There are no outstanding "
                       "items."),
        QStringLiteral("Account Receivable Report"), MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  RunReport("Accounts Receivable");
}

}  // namespace reports
