#include "shell/main_form.h"

#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>
#include <charconv>

#include "companies/company_manager.h"
#include "customers/customer_manager.h"
#include "exchange/backup_window.h"
#include "exchange/email_notice_window.h"
#include "exchange/sibling_conversion.h"
#include "exchange/version2_conversion.h"
#include "forms/cal_form.h"
#include "forms/calculator.h"
#include "forms/font_choice.h"
#include "forms/form_instance.h"
#include "forms/halt_program.h"
#include "forms/password_prompts.h"
#include "forms/printer_setup.h"
#include "forms/run_state.h"
#include "forms/term_edit.h"
#include "invoicing/interest_wizard.h"
#include "invoicing/invoice_manager.h"
#include "invoicing/payment_wizard.h"
#include "platform/files/path.h"
#include "platform/print/colors.h"
#include "platform/print/printer.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/format_date_time.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/message_box.h"
#include "products/price_change.h"
#include "products/product_manager.h"
#include "purchasing/po_manager.h"
#include "purchasing/receiving_wizard.h"
#include "purchasing/vendor_manager.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/last_company.h"
#include "records/password.h"
#include "records/system_reason.h"
#include "reports/form_letter_window.h"
#include "reports/label_wizard.h"
#include "reports/report_wizard.h"
#include "shell/about_box.h"
#include "shell/maintenance.h"
#include "shell/start_up.h"
#include "shell/stop_recovery.h"
#include "shell/timer_form.h"
#include "storage/isam.h"
#include "storage/naming.h"
#include "storage/posting_journal.h"

namespace shell {

using namespace records;
using namespace forms;
using namespace companies;
using namespace customers;
using namespace products;

using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::ui::Application;
using platform::ui::MessageBox;
using platform::ui::mrYes;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;

TMainForm* MainForm = nullptr;

namespace {

// The window's size when the desktop has room for it.
constexpr int DesignedWidth = 900;
constexpr int DesignedHeight = 640;
// A desktop whose work area ends left of this gets the whole work area.
constexpr int SmallDesktopRightEdge = 650;
// The header's caption: one line of its 14-point font; a longer message takes more lines.
constexpr int CaptionLineHeight = 36;

// The company is not gone when its list was left unrepaired; the user is told what happened.
constexpr char ListUnopenedName[] = "Company list not opened.";
constexpr char ListUnopenedText[] =
    "The company list could not be opened. Restart the program and let it rebuild the company list.";
constexpr char DataFilesMissing[] =
    "I do not find the inventory data files. The data files must be in the same directory as the "
    "inventory program.";
constexpr char BackgroundMissing[] =
    "Background bitmap image no longer exists. Unable to load background picture.";
constexpr char BackgroundUnreadable[] =
    "Background bitmap image cannot be read. Unable to load background picture.";

// Marks a menu item whose window is part of the program.
constexpr char ItemAvailable[] = "available";

// The client area: paints the company's background picture through the form's FormPaint.
class ClientArea : public QWidget {
 public:
  explicit ClientArea(TMainForm& form) : QWidget(&form), form_(form) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    form_.FormPaint(painter);
  }

 private:
  TMainForm& form_;
};

bool AskToGoOnline(const QString& text, const QString& title) {
  return MessageBox(text, title, MsgButtons::YesNo, MsgIcon::Question) == mrYes;
}

}  // namespace

void OpenWebPage(const QString& address) {
  QDesktopServices::openUrl(QUrl("https://" + address));
}

bool IsIntegerString(std::string_view text) {
  // As the conversion to a whole number reads it: blanks in front, a sign, decimal digits, and
  // a value that fits in 32 bits.
  size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return false;
  text.remove_prefix(start);
  if (text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || text.front() == '-') return false;
  }
  int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool CheckProductFileForInvoices() {
  std::optional<std::string> base = DataFileBaseName(CurrentCompany.CompanyNumber.Get(), FileCodeProducts);
  if (base && platform::files::Exists(storage::IsamFileName(*base, storage::IsamDataExt))) return true;
  platform::ui::ShowMessage(
      "You need to have at least one product code set up. You do not need to use product codes but you must "
      "have at least one on file to do invoices. See Product Manager online help.");
  return false;
}

TMainForm::TMainForm(QWidget* parent) : MainWindowForm(parent) {
  // The client area over the line that stays while a posting waits to be undone.
  auto* centre = new QWidget(this);
  auto* column = new QVBoxLayout(centre);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  client_ = new ClientArea(*this);
  column->addWidget(client_, 1);
  BuildPostingWaitsLine();
  column->addWidget(PostingWaitsLine);
  setCentralWidget(centre);
  BuildMenus();
  BuildToolBar();
  BuildChartPanel();
  BuildOutputPanel();
  BuildStatusBar();
  CPMemo = new QPlainTextEdit(client_);
  CPMemo->hide();
  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  resize(DesignedWidth, DesignedHeight);
}

QAction* TMainForm::AddItem(QMenu* menu, const char* caption, void (TMainForm::*handler)()) {
  QAction* item = menu->addAction(caption);
  item->setProperty(ItemAvailable, handler != nullptr);
  if (handler) {
    connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  } else {
    // Its window is not part of the program yet.
    item->setEnabled(false);
  }
  return item;
}

void TMainForm::EnableCompanyItems() {
  // The files of these windows belong to a company: with none open they would be made under no
  // company's number, and what was entered in them would be lost to every company set up later.
  const bool open = IsCompanyOpen(CurrentCompany);
  for (QAction* item :
       {VendorManager1, POManager1, ProductManager1, InvoiceManager1, CustomerManager1, Receivers1,
        PaymentManager1, ReportManager1, PriceChange1, InterestWizard1, LabelWizard1, LetterWizard1,
        AgingChart1, EMailNotice1, PurgePaidInvoices1, BackupDataFiles1, RebuildDataFiles1}) {
    // An item whose window is not built yet stays off whatever the company.
    if (item->property(ItemAvailable).toBool()) item->setEnabled(open);
  }
}

void TMainForm::BuildMenus() {
  MainMenu1 = menuBar();
  File1 = MainMenu1->addMenu("&File");
  CompanyManager1 = AddItem(File1, "Co&mpany Manager...", &TMainForm::CompanyManager1Click);
  VendorManager1 = AddItem(File1, "&Vendor Manager...", &TMainForm::VendorManager1Click);
  POManager1 = AddItem(File1, "P&O Manager...", &TMainForm::POManager1Click);
  ProductManager1 = AddItem(File1, "&Product Manager...", &TMainForm::ProductManager1Click);
  InvoiceManager1 = AddItem(File1, "&Invoice Manager...", &TMainForm::InvoiceManager1Click);
  CustomerManager1 = AddItem(File1, "&Customer Manager...", &TMainForm::CustomerManager1Click);
  File1->addSeparator();
  PrinterSetup1 = AddItem(File1, "P&rinter Setup...", &TMainForm::PrinterSetup1Click);
  EditTerms1 = AddItem(File1, "&Edit Payment Terms...", &TMainForm::EditTerms1Click);
  File1->addSeparator();
  Exit1 = AddItem(File1, "E&xit", &TMainForm::Exit1Click);

  Wizards1 = MainMenu1->addMenu("&Wizards");
  Receivers1 = AddItem(Wizards1, "Recei&vers...", &TMainForm::Receivers1Click);
  PaymentManager1 = AddItem(Wizards1, "&Payments...", &TMainForm::PaymentManager1Click);
  ReportManager1 = AddItem(Wizards1, "&Reports...", &TMainForm::ReportManager1Click);
  PriceChange1 = AddItem(Wizards1, "Price &Changes...", &TMainForm::PriceChange1Click);
  InterestWizard1 = AddItem(Wizards1, "&Interest Charges...", &TMainForm::InterestWizard1Click);
  LabelWizard1 = AddItem(Wizards1, "&Mailing Labels/Lists...", &TMainForm::LabelWizard1Click);
  LetterWizard1 = AddItem(Wizards1, "&Form Letters...", &TMainForm::LetterWizard1Click);

  Tools1 = MainMenu1->addMenu("&Tools");
  AgingChart1 = AddItem(Tools1, "&Aging Chart", &TMainForm::AgingChart1Click);
  Calculator1 = AddItem(Tools1, "Windows &Calculator", &TMainForm::Calculator1Click);
  ViewCalendar1 = AddItem(Tools1, "&View Calendar", &TMainForm::ViewCalendar1Click);
  Timer2 = AddItem(Tools1, "&Timer / Clock", &TMainForm::Timer2Click);
  EMailNotice1 = AddItem(Tools1, "&E-Mail Notice", &TMainForm::EMailNotice1Click);
  PasswordSetup1 = AddItem(Tools1, "Password &Setup", &TMainForm::PasswordSetup1Click);
  Tools1->addSeparator();
  PurgePaidInvoices1 = AddItem(Tools1, "&Delete Old Records", &TMainForm::PurgePaidInvoices1Click);
  BackupDataFiles1 = AddItem(Tools1, "&Backup Data Files", &TMainForm::BackupDataFiles1Click);
  RebuildDataFiles1 = AddItem(Tools1, "Rebuild Data &Files", &TMainForm::RebuildDataFiles1Click);
  N9 = Tools1->addSeparator();
  ImportInventoryVersion2Files1 =
      AddItem(Tools1, "Import Inventory V2 Files", &TMainForm::ImportInventoryVersion2Files1Click);
  ImportPVProV2Files1 = AddItem(Tools1, "Import Billing V2 Files", &TMainForm::ImportPVProV2Files1Click);

  Help1 = MainMenu1->addMenu("&Help");
  Topics1 = AddItem(Help1, "&Topics", &TMainForm::Topics1Click);
  HelpWithHelp1 = AddItem(Help1, "How to use &Windows Help", &TMainForm::HelpWithHelp1Click);
  FrequentAskedQuestions1 =
      AddItem(Help1, "&Frequently Asked Questions (FAQ's)", &TMainForm::FrequentAskedQuestions1Click);
  About1 = AddItem(Help1, "&About...", &TMainForm::About1Click);
  Help1->addSeparator();
  INTERNET1 = AddItem(Help1, "---  INTERNET  HELP  OPTIONS ---", &TMainForm::SpeedButton15Click);
  OurWebSite1 = AddItem(Help1, "&Our Internet Web Site...", &TMainForm::SpeedButton15Click);
  OurSupportForum1 = AddItem(Help1, "Our &Help Forum...", &TMainForm::OurSupportForum1Click);
  UpgradeThisSoftware1 = AddItem(Help1, "Our &Upgrade Information...", &TMainForm::UpgradeThisSoftware1Click);
}

QToolButton* TMainForm::AddToolButton(const char* caption, QAction* item, int icon) {
  auto* button = new QToolButton(CompName);
  button->setText(caption);
  button->setToolTip(caption);
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  // The style's pictures come in several sizes; all buttons show theirs at one size.
  constexpr int iconSize = 32;
  QPixmap picture = style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)).pixmap(iconSize);
  if (picture.width() < iconSize)
    picture = picture.scaled(iconSize, iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  button->setIcon(QIcon(picture));
  button->setIconSize(QSize(iconSize, iconSize));
  button->setAutoRaise(true);
  if (item) {
    // The button does what its menu item does, and is available when the item is.
    connect(button, &QToolButton::clicked, item, &QAction::trigger);
    button->setEnabled(item->isEnabled());
    connect(item, &QAction::changed, button, [button, item] { button->setEnabled(item->isEnabled()); });
  }
  toolButtons_.push_back(button);
  return button;
}

void TMainForm::BuildToolBar() {
  CompName = new QFrame(client_);
  CompName->setFrameShape(QFrame::Panel);
  CompName->setFrameShadow(QFrame::Raised);
  CompName->setAutoFillBackground(true);
  Bevel5 = new QFrame(CompName);
  Bevel5->setFrameShape(QFrame::Panel);
  Bevel5->setFrameShadow(QFrame::Sunken);
  Bevel5->setGeometry(5, 5, 100, 42);
  NameCap = new QLabel(CompName);
  NameCap->setGeometry(10, 8, 80, CaptionLineHeight);
  NameCap->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The header says why no company is open, with the file and the system's reason: a message of
  // any length, wrapped onto as many lines as it needs (FitCompanyCaption).
  NameCap->setWordWrap(true);
  QFont captionFont = NameCap->font();
  captionFont.setPointSize(14);
  captionFont.setBold(true);
  NameCap->setFont(captionFont);

  SpeedButton2 = AddToolButton("Companies/System Options", CompanyManager1, QStyle::SP_DesktopIcon);
  SpeedButton7 = AddToolButton("Customers", CustomerManager1, QStyle::SP_DirHomeIcon);
  SpeedButton4 = AddToolButton("Products", ProductManager1, QStyle::SP_DriveHDIcon);
  SpeedButton5 = AddToolButton("Invoices", InvoiceManager1, QStyle::SP_FileIcon);
  PayboxButn = AddToolButton("Payments", PaymentManager1, QStyle::SP_DialogApplyButton);
  RptButton = AddToolButton("Reports", ReportManager1, QStyle::SP_FileDialogDetailedView);
  VendButn = AddToolButton("Vendors", VendorManager1, QStyle::SP_DirLinkIcon);
  POMan = AddToolButton("Purchase Orders", POManager1, QStyle::SP_FileDialogNewFolder);
  SpeedButton6 = AddToolButton("Receivers", Receivers1, QStyle::SP_ArrowDown);
  CalcPrices = AddToolButton("Price Changes", PriceChange1, QStyle::SP_BrowserReload);
  SpeedButton10 = AddToolButton("Label Wizard", LabelWizard1, QStyle::SP_FileDialogListView);
  SpeedButton11 = AddToolButton("Letter Wizard", LetterWizard1, QStyle::SP_FileDialogContentsView);
  SpeedButton12 = AddToolButton("Aging Chart", AgingChart1, QStyle::SP_FileDialogInfoView);
  SpeedButton13 = AddToolButton("Backup Files", BackupDataFiles1, QStyle::SP_DialogSaveButton);
  SpeedButton3 = AddToolButton("Password Setup", PasswordSetup1, QStyle::SP_MessageBoxWarning);
  SpeedButton9 = AddToolButton("View Calendar", ViewCalendar1, QStyle::SP_FileDialogStart);
  SpeedButton8 = AddToolButton("Calculator", Calculator1, QStyle::SP_ComputerIcon);
  SpeedButton14 = AddToolButton("Help", Topics1, QStyle::SP_DialogHelpButton);
  SpeedButton15 = AddToolButton("Our Internet Home Page", nullptr, QStyle::SP_DriveNetIcon);
  connect(SpeedButton15, &QToolButton::clicked, this, [this] { SpeedButton15Click(); });
  SpeedButton16 = AddToolButton("Close", Exit1, QStyle::SP_DialogCloseButton);
}

void TMainForm::BuildChartPanel() {
  Panel2 = new QFrame(client_);
  Panel2->setFrameShape(QFrame::Panel);
  Panel2->setFrameShadow(QFrame::Raised);
  Panel2->setAutoFillBackground(true);
  Panel2->resize(170, 300);
  Label1 = new QLabel("Aging Chart", Panel2);
  Label1->setGeometry(10, 6, 150, 20);
  Label1->setAlignment(Qt::AlignCenter);
  Bevel2 = new QFrame(Panel2);
  Bevel2->setFrameShape(QFrame::Box);
  Bevel2->setGeometry(35, 30, 100, 200);
  const char* barColours[] = {"#2e8b57", "#daa520", "#ff8c00", "#b22222"};
  QFrame** bars[] = {&Shape1, &Shape2, &Shape3, &Shape4};
  for (int i = 0; i < 4; ++i) {
    *bars[i] = new QFrame(Panel2);
    (*bars[i])->setStyleSheet(QString("background-color: %1;").arg(barColours[i]));
    (*bars[i])->setGeometry(35, 30, 100, 0);
  }
  SpeedButton1 = new QPushButton("Close Chart", Panel2);
  SpeedButton1->setGeometry(10, 240, 150, 24);
  connect(SpeedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
  AgeChartBtn = new QPushButton("Help", Panel2);
  AgeChartBtn->setGeometry(10, 268, 150, 24);
  connect(AgeChartBtn, &QPushButton::clicked, this, [this] { AgeChartBtnClick(); });
}

void TMainForm::BuildOutputPanel() {
  SelOut = new QFrame(client_);
  SelOut->setFrameShape(QFrame::Panel);
  SelOut->setFrameShadow(QFrame::Raised);
  SelOut->setAutoFillBackground(true);
  SelOut->resize(210, 150);
  Label5 = new QLabel(SelOut);
  Label5->setGeometry(8, 6, 194, 20);
  PrinDef = new QRadioButton("Pri&nter or Fax", SelOut);
  PrinDef->setGeometry(12, 30, 190, 22);
  EMdef = new QRadioButton("&E-Mail", SelOut);
  EMdef->setGeometry(12, 54, 190, 22);
  // Any change of the check, by a click or by a company's default, updates the mode label.
  connect(PrinDef, &QRadioButton::toggled, this, [this] { UpdateOutputModeLabel(); });
  connect(PrinDef, &QRadioButton::clicked, this, [this] { PrinDefClick(); });
  connect(EMdef, &QRadioButton::clicked, this, [this] { EMdefClick(); });
  SpeedButton18 = new QPushButton("Send E-mail Message", SelOut);
  SpeedButton18->setGeometry(8, 84, 194, 26);
  // The button does what the Tools menu's item does, and is available when the item is.
  connect(SpeedButton18, &QPushButton::clicked, EMailNotice1, &QAction::trigger);
  SpeedButton18->setEnabled(EMailNotice1->isEnabled());
  connect(EMailNotice1, &QAction::changed, SpeedButton18,
          [this] { SpeedButton18->setEnabled(EMailNotice1->isEnabled()); });
  EMHlp = new QPushButton("Help", SelOut);
  EMHlp->setGeometry(8, 114, 194, 26);
  connect(EMHlp, &QPushButton::clicked, this, [this] { EMHlpClick(); });
  PrinDef->setChecked(true);
  UpdateOutputModeLabel();
}

void TMainForm::BuildStatusBar() {
  StatusBar1 = statusBar();
  StatusBar1->setSizeGripEnabled(true);
  for (auto& panel : statusPanels_) {
    panel = new QLabel(StatusBar1);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setContentsMargins(4, 0, 4, 0);
  }
  statusPanels_[0]->setMinimumWidth(320);
  // What was done, with the file it went to or the system's reason: wrapped, never cut.
  statusPanels_[1]->setWordWrap(true);
  StatusBar1->addWidget(statusPanels_[0]);
  StatusBar1->addWidget(statusPanels_[1], 1);
  statusPanels_[1]->setText(StatusReady);
  // A click anywhere on the status bar shows the work timer.
  StatusBar1->installEventFilter(this);
  for (QLabel* panel : statusPanels_) panel->installEventFilter(this);
}

void TMainForm::BuildPostingWaitsLine() {
  PostingWaitsLine = new QLabel(this);
  PostingWaitsLine->setTextFormat(Qt::PlainText);
  PostingWaitsLine->setWordWrap(true);
  PostingWaitsLine->setFrameShape(QFrame::Panel);
  PostingWaitsLine->setFrameShadow(QFrame::Sunken);
  PostingWaitsLine->setContentsMargins(6, 3, 6, 3);
  QPalette palette = PostingWaitsLine->palette();
  palette.setColor(QPalette::Window, QColor(255, 236, 160));
  palette.setColor(QPalette::WindowText, QColor(160, 0, 0));
  PostingWaitsLine->setPalette(palette);
  PostingWaitsLine->setAutoFillBackground(true);
  PostingWaitsLine->hide();
}

void TMainForm::ShowWaitingPosting() {
  const QString line = ToQString(storage::WaitingPostingLine());
  if (line != PostingWaitsLine->text()) PostingWaitsLine->setText(line);
  PostingWaitsLine->setVisible(!line.isEmpty());
}

void TMainForm::SetStatusText(int panel, const QString& text) {
  statusPanels_.at(panel)->setText(text);
}

QString TMainForm::StatusText(int panel) const {
  return statusPanels_.at(panel)->text();
}

void TMainForm::FormCreate() {
  ExternalInvoiceMode = 0;
  InvoiceFilterOnShow = 0;
  SetCaption(Application->Title);
  // The thousands and decimal separators and the date separator are fixed in the text layer
  // (",", "." and "/") whatever the desktop's locale.
  // The start runs the engine before it looks at the files; a window made alone starts it here.
  if (!EngineStartedForMainForm() && storage::IsamInitialize(0, 30) == 0) return;
  if (std::string found; !SetUpProgramDirectory(&found)) {
    MessageBox(
        found.empty() ? QString(DataFilesMissing) : QString(DataFilesMissing) + "\n\n" + ToQString(found),
        "OV Kestrava", MsgButtons::Ok, MsgIcon::Warning);
    HaltProgram(1);
    return;
  }
  LabelsQueued = 0;
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  std::string listFailure;
  const LastCompanyStatus loaded = LoadCurrentCompany(&listFailure);
  Application->SetShowHint(CurrentCompany.ShowButtonHints != 0);
  backgroundBitmap_ = QPixmap();
  ApplyCompanyDateFormat();
  if (TrimBlanks(CurrentCompany.CompanyName.Get()).size() > 1) {
    ShowCompanyCaption("     Number: ");
    LoadBackgroundPicture();
  } else {
    ShowNoCompany(loaded, listFailure);
  }
  if (QScreen* screen = QGuiApplication::primaryScreen()) PlaceWindow(screen->availableGeometry());
  ResetDefaultDates();
  Panel2->hide();
  EnableCompanyItems();
  HoldOpenCompanyJournal();
  ShowTimerStatus = [this](const QString& text) { SetStatusText(1, text); };
}

void TMainForm::FormShow() {
  N9->setVisible(false);
  ImportInventoryVersion2Files1->setVisible(false);
  ImportPVProV2Files1->setVisible(false);
  if (!CheckSystemPassword()) {
    HaltProgram(0);
    return;
  }
  RebuildAfterConversion = 0;
  FormResize();
  PlaceOutputPanel();
  SetOutputModeFromCompany();
  Timer1Timer();
  Timer1->start();
  RecalculateAgingWhenDue();
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() > 1 && arguments[1] == "/C") Button1Click();
  if (arguments.size() > 1 && arguments[1] == "/V") Button2Click();
}

void TMainForm::FormCloseQuery(bool& canClose) {
  if (!LabelsQueued) return;
  canClose = MessageBox(
                 "You have labels in the print queue that you have not printed or saved to a file. Exit "
                 "anyway?",
                 "Please Confirm", MsgButtons::YesNo, MsgIcon::Question) == mrYes;
}

void TMainForm::FormClose() {
  Timer1->stop();
  storage::IsamShutdown();
  if (CurrentCompany.BackupOnExit.Get() == "Y") BackupDataFiles1Click();
  backgroundBitmap_ = QPixmap();
  // The program ends with its main window, even while a window of its own (the work timer) is
  // still open.
  QCoreApplication::quit();
}

void TMainForm::Exit1Click() {
  if (TimerForm && TimerForm->Running()) {
    if (MessageBox("The OV Timer is currently running. Do you want to exit anyway?", "Please Confirm",
                   MsgButtons::YesNo, MsgIcon::Question) != mrYes)
      return;
    TimerForm->TimeBtnClick();  // stops it
  }
  Close();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  bool onStatusBar = watched == StatusBar1 || watched == statusPanels_[0] || watched == statusPanels_[1];
  if (onStatusBar && event->type() == QEvent::MouseButtonRelease) StatusBar1Click();
  return MainWindowForm::eventFilter(watched, event);
}

void TMainForm::StatusBar1Click() {
  FormInstance(TimerForm).Show();
}

void TMainForm::Timer2Click() {
  FormInstance(TimerForm).Show();
}

void TMainForm::EditTerms1Click() {
  FormInstance(TermEdit).ShowModal();
}

void TMainForm::PasswordSetup1Click() {
  PasswordSetup();
}

void TMainForm::BackupDataFiles1Click() {
  exchange::TOVBkUp& backup = exchange::CreateOVBkUp();
  backup.Label4->setText(QString("Ready to backup %1 files.").arg(backup.UpdateFileList()));
  backup.ShowModal();
}

void TMainForm::EMailNotice1Click() {
  exchange::CreateEMMemo().ShowModal();
}

void TMainForm::ImportInventoryVersion2Files1Click() {
  exchange::CreateOVKT2CNV().ShowModal();
}

// Modal as well: the run lets window messages through, and nothing else may reach the files
// meanwhile.
void TMainForm::ImportPVProV2Files1Click() {
  exchange::CreateCPV().ShowModal();
}

void TMainForm::ViewCalendar1Click() {
  TCalForm& calendar = FormInstance(CalForm);
  QDate today = platform::text::Today();
  calendar.Calendar1->setSelectedDate(today);
  calendar.CBMonth->setCurrentIndex(today.month() - 1);
  calendar.FormatCalendarDate();
  // The dialog moves itself to CalendarLeft, CalendarTop when shown: there, centred on this window.
  calendar.adjustSize();
  QPoint centre = frameGeometry().center();
  CalendarLeft = centre.x() - calendar.width() / 2;
  CalendarTop = centre.y() - calendar.height() / 2;
  // Only to look at: a double click picks nothing.
  CalendarPickMode = 0;
  calendar.SetCaption("View Calendar");
  calendar.ShowModal();
  calendar.SetCaption("Date Selection");
}

void TMainForm::ChangeCompany(const std::string& previousNumber) {
  if (CurrentCompanyEdited) {
    // The open company was changed in the Company Manager: its stored record is the one to use.
    // One that cannot be read now stays as this run knows it.
    CompanyRec stored{};
    stored.CompanyNumber.Set(previousNumber);
    try {
      if (ReadCompanyRecord(previousNumber, stored)) CurrentCompany = stored;
    } catch (const FileUnusable& unreadable) {
      MessageBox(ToQString(unreadable.what()) +
                     " The company's changed settings are used from the next time it is opened.",
                 "Company Manager", MsgButtons::Ok, MsgIcon::Warning);
    }
    CompanyWorkRec = CurrentCompany;
  }
  (void)SaveCurrentCompany();  // a failed write was said; the company is current for this run
  HoldOpenCompanyJournal();
  ApplyCompanyDateFormat();
  ResetDefaultDates();
  LoadBackgroundPicture();
  SetOutputModeFromCompany();
  ShowCompanyCaption("       Number: ");
  EnableCompanyItems();
  ShowWaitingPosting();
  QPalette palette = client_->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  client_->setPalette(palette);
  update();
  Application->ProcessMessages();
  if (RebuildAfterConversion) RebuildAllDataFiles();
  RecalculateAgingWhenDue();
}

void TMainForm::PlaceWindow(const QRect& workArea) {
  if (workArea.x() + workArea.width() < SmallDesktopRightEdge) {
    setGeometry(workArea);
  } else {
    resize(DesignedWidth, DesignedHeight);
    move(10, 10);
  }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  MainWindowForm::resizeEvent(event);
  FormResize();
}

void TMainForm::ArrangeToolButtons() {
  // The buttons fill as few rows as the window's width allows, the same number to a row, each
  // row spread over the whole width, so that the last buttons (home page and close) end at the
  // right edge.
  constexpr int margin = 5;
  const int top = Bevel5->y() + Bevel5->height() + 4;
  const int width = std::max(client_->width() - 2 * margin, 1);
  std::vector<QSize> sizes;
  int totalWidth = 0;
  for (QToolButton* button : toolButtons_) {
    sizes.push_back(button->sizeHint().expandedTo(QSize(76, 58)));
    totalWidth += sizes.back().width();
  }
  const int count = static_cast<int>(toolButtons_.size());
  int rows = std::clamp((totalWidth + width - 1) / width, 1, count);
  int perRow = (count + rows - 1) / rows;
  // A row of the widest buttons may still not fit: one more row until it does.
  auto rowFits = [&](int first) {
    int used = 0;
    for (int i = first; i < std::min(first + perRow, count); ++i) used += sizes[i].width();
    return used <= width;
  };
  for (bool fits = false; !fits && perRow > 1;) {
    fits = true;
    for (int first = 0; first < count; first += perRow) fits = fits && rowFits(first);
    if (!fits) {
      ++rows;
      perRow = (count + rows - 1) / rows;
    }
  }
  int y = top;
  for (int first = 0; first < count; first += perRow) {
    int last = std::min(first + perRow, count);
    int used = 0;
    int rowHeight = 0;
    for (int i = first; i < last; ++i) {
      used += sizes[i].width();
      rowHeight = std::max(rowHeight, sizes[i].height());
    }
    int gaps = std::max(last - first - 1, 1);
    double gap = std::max(0.0, double(width - used) / gaps);
    double x = margin;
    for (int i = first; i < last; ++i) {
      toolButtons_[i]->setGeometry(int(x), y, sizes[i].width(), rowHeight);
      x += sizes[i].width() + gap;
    }
    y += rowHeight + 2;
  }
  CompName->setGeometry(0, 0, client_->width(), y + margin);
}

void TMainForm::FormResize() {
  FitCompanyCaption();
  ArrangeToolButtons();
  Panel2->move(SpeedButton2->x(), CompName->y() + CompName->height() + CompName->height() / 10);
  if (Visible()) PlaceOutputPanel();
}

void TMainForm::FitCompanyCaption() {
  Bevel5->resize(client_->width() - 10 - Bevel5->x(), Bevel5->height());
  const int width = Bevel5->width() - 10 - Bevel5->x();
  NameCap->resize(width, std::max(CaptionLineHeight, NameCap->heightForWidth(width)));
  Bevel5->resize(Bevel5->width(), NameCap->height() + 2 * (NameCap->y() - Bevel5->y()));
}

void TMainForm::PlaceOutputPanel() {
  SelOut->move(SpeedButton15->x() + SpeedButton15->width() - SelOut->width(), Panel2->y());
}

void TMainForm::FormPaint(QPainter& painter) {
  if (!CurrentCompany.BackgroundFlag || backgroundBitmap_.isNull()) return;
  painter.drawTiledPixmap(client_->rect(), backgroundBitmap_);
}

void TMainForm::Timer1Timer() {
  SetStatusText(0, ToQString(platform::text::FormatDateTime(ClockFormat, platform::text::Now())));
  // A posting of this run whose undo fails begins to wait without a word to this window.
  ShowWaitingPosting();
}

void TMainForm::ShowCompanyCaption(const char* numberSeparator) {
  ApplyCompanyEditorFont(*NameCap, CurrentCompany, font());
  NameCap->setText(
      ToQString(CurrentCompany.CompanyName.Get() + numberSeparator + CurrentCompany.CompanyNumber.Get()));
  FormResize();
}

void TMainForm::ShowNoCompany(LastCompanyStatus loaded, const std::string& failure) {
  CurrentCompany.BackgroundFlag = 0;
  const bool unread = loaded == LastCompanyStatus::CompanyUnread;
  CurrentCompany.CompanyName.Set(unread ? ListUnopenedName : NoCompanyText);
  // A new user is told here what to do first.
  if (!unread)
    NameCap->setText(NoCompanyText);
  else
    NameCap->setText(failure.empty() ? QString(ListUnopenedText)
                                     : ToQString(failure) + " Start the program again once it can be read.");
  FormResize();
}

void TMainForm::LoadBackgroundPicture() {
  // Whatever the company shows, never the picture of the company opened before it.
  backgroundBitmap_ = QPixmap();
  std::string path = TrimBlanks(CurrentCompany.BackgroundBitmap.Get());
  if (path.size() <= 1) return;
  platform::files::ResolvedPath resolved = platform::files::Resolve(path);
  const char* problem = nullptr;
  if (resolved.status != platform::files::ResolveStatus::Found) {
    problem = BackgroundMissing;
  } else if (!backgroundBitmap_.load(QString::fromStdString(resolved.path))) {
    problem = BackgroundUnreadable;
  }
  if (!problem) return;
  // Off for this run only; the company's stored setting stays as it is.
  CurrentCompany.BackgroundFlag = 0;
  backgroundBitmap_ = QPixmap();
  platform::ui::ShowMessage(problem);
}

void TMainForm::SetOutputModeFromCompany() {
  bool email = CurrentCompany.DefaultOutputEMail.Get() == "Y";
  EMdef->setChecked(email);
  PrinDef->setChecked(!email);
}

void TMainForm::UpdateOutputModeLabel() {
  Label5->setText(PrinDef->isChecked() ? "System Mode: Printer / Fax" : "System Mode: E-Mail");
}

void TMainForm::PrinDefClick() {
  PrinDef->setChecked(true);
}

void TMainForm::EMdefClick() {
  EMdef->setChecked(true);
}

void TMainForm::EMHlpClick() {
  Application->HelpKeyword("EMMode");
}

void TMainForm::HideChart() {
  Panel2->hide();
  SetStatusText(1, StatusReady);
  Application->ProcessMessages();
}

void TMainForm::AgingChart1Click() {
  if (!Panel2->isHidden()) {
    MessageBox("The Aging Chart is currently showing.", "Aging Chart", MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  if (records::RefuseWhileJournalWaits("The aging", "recalculated", "Aging Chart")) return;
  RecalculateAging();
}

void TMainForm::RecalculateAgingWhenDue() {
  if (!IsCompanyOpen(CurrentCompany)) return;
  if (CurrentCompany.LastAgingDate.Get() != platform::text::DateToStr(platform::text::Today()))
    RecalculateAging();
}

void TMainForm::RecalculateAging() {
  SetStatusText(1, "Calculating Aging Totals...");
  const AgingTotals totals = shell::RecalculateAging();
  SetStatusText(1, StatusReady);
  if (totals.Ran && totals.Total != 0) DrawAgingChart(totals);
}

void TMainForm::DrawAgingChart(const AgingTotals& totals) {
  using platform::text::FormatAmount;
  Panel2->setToolTip(ToQString("Total A/R: " + FormatAmount(totals.Total)));
  QFrame* bars[] = {Shape1, Shape2, Shape3, Shape4};
  const std::string captions[] = {TrimBlanks(CurrentCompany.AgingCaption1.Get()),
                                  TrimBlanks(CurrentCompany.AgingCaption2.Get()),
                                  TrimBlanks(CurrentCompany.AgingCaption3.Get()),
                                  "Over " + TrimBlanks(CurrentCompany.AgingDays3.Get()) + " Days:"};
  int top = Bevel2->y();
  for (int i = 0; i < 4; ++i) {
    const int height = AgingBarHeight(Bevel2->height(), totals.Buckets[i], totals.Total);
    bars[i]->setGeometry(Bevel2->x(), top, Bevel2->width(), height);
    bars[i]->setToolTip(ToQString(captions[i] + " " + FormatAmount(totals.Buckets[i])));
    top += height;
  }
  Application->SetShowHint(true);
  Panel2->show();
  SetStatusText(1, "Hold mouse over color to see aging amount...");
}

void TMainForm::RebuildDataFiles1Click() {
  RebuildAllDataFiles();
}

void TMainForm::PurgePaidInvoices1Click() {
  if (!CheckSystemPassword()) return;
  if (MessageBox(
          "This will remove only PAID and RECEIVED transactions older than the date you select. Once "
          "removed, they will no longer appear on any reports or system options. We suggest you leave 3 "
          "years on file and print reports for what you want to remove. Continue?",
          "Delete Old Records", MsgButtons::YesNo, MsgIcon::Question) != mrYes)
    return;
  TCalForm& calendar = FormInstance(CalForm);
  const QDate preset = DefaultPurgeDate(platform::text::Today());
  calendar.Calendar1->setSelectedDate(preset);
  calendar.CBMonth->setCurrentIndex(preset.month() - 1);
  calendar.adjustSize();
  const QPoint centre = frameGeometry().center();
  CalendarLeft = centre.x() - calendar.width() / 2;
  CalendarTop = centre.y() - calendar.height() / 2;
  calendar.SetCaption("Delete Date Selection");
  const platform::ui::TModalResult chosen = calendar.ShowModal();
  calendar.SetCaption("Date Selection");
  if (chosen != platform::ui::mrOk) return;
  const QDate cutOff = calendar.Calendar1->selectedDate();
  const std::string dateText = platform::text::ToAnsi(calendar.NDate->text());
  if (MessageBox(
          ToQString("All paid/received records older than " + dateText + " will be removed. Continue?"),
          "Please Confirm", MsgButtons::YesNo, MsgIcon::Question) != mrYes)
    return;
  SetStatusText(1, "Removing Records...");
  const PurgeCounts counts = PurgeOldRecords(cutOff);
  MessageBox(ToQString(std::to_string(counts.Invoices) + " invoice paid records and " +
                       std::to_string(counts.PurchaseOrders) + " PO received records older than " + dateText +
                       " were removed."),
             "Records Removed", MsgButtons::Ok, MsgIcon::Information);
  if (counts.Invoices + counts.PurchaseOrders > 0) RebuildAllDataFiles();
  SetStatusText(1, QString("%1 total records were removed.").arg(counts.Invoices + counts.PurchaseOrders));
}

void TMainForm::SpeedButton1Click() {
  Panel2->hide();
  SetStatusText(1, StatusReady);
}

void TMainForm::AgeChartBtnClick() {
  Application->HelpKeyword("AgingChart");
}

// The company change: the Company Manager, then the company chosen there (or the open company
// read anew when it was edited there) becomes the open company.
// The company change: the Company Manager, then the company chosen there (or the open company
// read anew when it was edited there) becomes the open company.
void TMainForm::CompanyManager1Click() {
  HideChart();
  const std::string openNumber = CurrentCompany.CompanyNumber.Get();
  TListComps& manager = CreateListComps();
  ApplyCompanyEditorFont(*manager.Label1, CurrentCompany, font());
  if (manager.ShowModal() != platform::ui::mrOk) return;
  ChangeCompany(openNumber);
}

void TMainForm::CustomerManager1Click() {
  CreateDemoForm().ShowModal();
}

void TMainForm::VendorManager1Click() {
  purchasing::CreateVenList().ShowModal();
}

void TMainForm::POManager1Click() {
  purchasing::CreatePOList1().ShowModal();
}

void TMainForm::InvoiceManager1Click() {
  if (!CheckProductFileForInvoices()) return;
  HideChart();
  invoicing::CreateInvEdit1().ShowModal();
}

void TMainForm::ProductManager1Click() {
  CreateEditProd().ShowModal();
}

void TMainForm::PriceChange1Click() {
  CreatePriceChg().ShowModal();
}

void TMainForm::ReportManager1Click() {
  reports::CreateRptSelect().ShowModal();
}

void TMainForm::LabelWizard1Click() {
  reports::Createlblwiz().ShowModal();
}

void TMainForm::LetterWizard1Click() {
  reports::CreateLetterWiz().ShowModal();
}

void TMainForm::Receivers1Click() {
  HideChart();
  purchasing::OpenReceivingWizard();
}

void TMainForm::PaymentManager1Click() {
  HideChart();
  invoicing::OpenPaymentWizard();
}

void TMainForm::InterestWizard1Click() {
  HideChart();
  invoicing::OpenInterestWizard();
}

void TMainForm::PrinterSetup1Click() {
  forms::SetUpPrinter();
}

void TMainForm::Calculator1Click() {
  RunWindowsCalculator();
}

void TMainForm::Topics1Click() {
  Application->HelpJump(QString());
}

void TMainForm::HelpWithHelp1Click() {
  // There is no separate help on help: the contents of the help file explain their own use.
  Application->HelpJump(QString());
}

void TMainForm::FrequentAskedQuestions1Click() {
  Application->HelpKeyword("Frequent Asked Questions");
}

void TMainForm::About1Click() {
  AboutBox->ShowModal();
}

void TMainForm::SpeedButton15Click() {
  if (AskToGoOnline(
          "This feature will connect you to the internet and take you to our home page. You must have an "
          "internet connection on this computer. Continue?",
          "Internet Home Page"))
    OpenWebPage(HomePageAddress);
}

void TMainForm::OurSupportForum1Click() {
  if (AskToGoOnline(
          "This feature will connect you to the internet and take you to our Online Support Forum. Continue?",
          "Internet Home Page"))
    OpenWebPage(ForumPageAddress);
}

void TMainForm::UpgradeThisSoftware1Click() {
  if (AskToGoOnline(
          "This feature will connect you to the internet and take you to our Upgrades web page. Continue?",
          "Upgrades"))
    OpenWebPage(UpgradesPageAddress);
}

void TMainForm::BringToFront() {
  if (isMinimized()) {
    showNormal();
  } else {
    raise();
    activateWindow();
  }
}

TMainForm& CreateMainForm() {
  return FormInstance(MainForm);
}

}  // namespace shell
