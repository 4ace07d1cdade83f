#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTest>
#include <QThread>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <functional>

#include "customers/customer_manager.h"
#include "exchange/email_notice_window.h"
#include "exchange/sibling_conversion.h"
#include "exchange/version2_conversion.h"
#include "forms/cal_form.h"
#include "forms/run_state.h"
#include "invoicing/interest_wizard.h"
#include "invoicing/invoice_manager.h"
#include "invoicing/payment_wizard.h"
#include "main_form_fixture.h"
#include "platform/print/printer.h"
#include "platform/print/qt_print_backend.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/ui/application.h"
#include "products/product_manager.h"
#include "purchasing/po_manager.h"
#include "purchasing/receiving_wizard.h"
#include "purchasing/vendor_manager.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/last_company.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "shell/about_box.h"
#include "shell/main_form.h"
#include "shell/timer_form.h"
#include "storage/data_file_unit.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"
#include "support/scratch_company.h"

namespace shell {

using namespace records;
using namespace forms;
namespace {

using platform::ui::mrNo;
using platform::ui::mrYes;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using testing_support::UiScript;

// Takes the web addresses the program opens instead of a browser.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  UrlCatcher() { QDesktopServices::setUrlHandler("https", this, "Open"); }
  ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("https"); }
  QStringList opened;

 public slots:
  void Open(const QUrl& url) { opened << url.toString(); }
};

// Expects the manager's window and takes the count its status shows.
template <class Manager>
std::function<void()> CountShownBy(UiScript& ui, QString& count) {
  return [&ui, &count] { ui.OnModal<Manager>([&count](Manager& m) { count = m.StatusText(0); }); };
}

// The main window made as start-up makes it (FormCreate run), not yet shown.
class MainWindowTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    platform::ui::Application->Title = ProgramTitle;
    platform::ui::Application->HelpFile = "OVINV.hlp";
    CreateMainForm();
  }
};

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAndHiddenImportsStayHidden) {
  struct Item {
    QAction* action;
    const char* caption;
  };
  const Item items[] = {
      {MainForm->CompanyManager1, "Co&mpany Manager..."},
      {MainForm->VendorManager1, "&Vendor Manager..."},
      {MainForm->POManager1, "P&O Manager..."},
      {MainForm->ProductManager1, "&Product Manager..."},
      {MainForm->InvoiceManager1, "&Invoice Manager..."},
      {MainForm->CustomerManager1, "&Customer Manager..."},
      {MainForm->PrinterSetup1, "P&rinter Setup..."},
      {MainForm->EditTerms1, "&Edit Payment Terms..."},
      {MainForm->Exit1, "E&xit"},
      {MainForm->Receivers1, "Recei&vers..."},
      {MainForm->PaymentManager1, "&Payments..."},
      {MainForm->ReportManager1, "&Reports..."},
      {MainForm->PriceChange1, "Price &Changes..."},
      {MainForm->InterestWizard1, "&Interest Charges..."},
      {MainForm->LabelWizard1, "&Mailing Labels/Lists..."},
      {MainForm->LetterWizard1, "&Form Letters..."},
      {MainForm->AgingChart1, "&Aging Chart"},
      {MainForm->Calculator1, "Windows &Calculator"},
      {MainForm->ViewCalendar1, "&View Calendar"},
      {MainForm->Timer2, "&Timer / Clock"},
      {MainForm->EMailNotice1, "&E-Mail Notice"},
      {MainForm->PasswordSetup1, "Password &Setup"},
      {MainForm->PurgePaidInvoices1, "&Delete Old Records"},
      {MainForm->BackupDataFiles1, "&Backup Data Files"},
      {MainForm->RebuildDataFiles1, "Rebuild Data &Files"},
      {MainForm->ImportInventoryVersion2Files1, "Import Inventory V2 Files"},
      {MainForm->ImportPVProV2Files1, "Import Billing V2 Files"},
      {MainForm->Topics1, "&Topics"},
      {MainForm->HelpWithHelp1, "How to use &Windows Help"},
      {MainForm->FrequentAskedQuestions1, "&Frequently Asked Questions (FAQ's)"},
      {MainForm->About1, "&About..."},
      {MainForm->INTERNET1, "---  INTERNET  HELP  OPTIONS ---"},
      {MainForm->OurWebSite1, "&Our Internet Web Site..."},
      {MainForm->OurSupportForum1, "Our &Help Forum..."},
      {MainForm->UpgradeThisSoftware1, "Our &Upgrade Information..."},
  };
  for (const Item& item : items) EXPECT_EQ(item.action->text(), item.caption);
  EXPECT_EQ(MainForm->File1->title(), "&File");
  EXPECT_EQ(MainForm->Wizards1->title(), "&Wizards");
  EXPECT_EQ(MainForm->Tools1->title(), "&Tools");
  EXPECT_EQ(MainForm->Help1->title(), "&Help");

  UiScript ui;
  MainForm->Show();
  EXPECT_FALSE(MainForm->ImportInventoryVersion2Files1->isVisible());
  EXPECT_FALSE(MainForm->ImportPVProV2Files1->isVisible());
  EXPECT_FALSE(MainForm->N9->isVisible());
  EXPECT_TRUE(ui.Done());
}

// The hidden import items still open their conversion windows, both modally: a run lets window
// messages through, and nothing else may reach the files meanwhile.
TEST_F(MainWindowTest, HiddenImportItemsOpenTheConversionWindowsModally) {
  UiScript ui;
  ui.OnModal<exchange::TOVKT2CNV>([](exchange::TOVKT2CNV& window) {
    EXPECT_EQ(window.windowTitle(), "OV Kestrava Version 2 to Version 3 Conversion");
    window.OKButtonClick();
  });
  ui.OnModal<exchange::TCPV>([](exchange::TCPV& window) {
    EXPECT_EQ(window.windowTitle(), "OV Palvero PRO Version 2 Conversion");
    window.OKButtonClick();
  });
  MainForm->ImportInventoryVersion2Files1->trigger();
  MainForm->ImportPVProV2Files1->trigger();
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, ToolButtonsFollowTheirMenuItems) {
  const std::pair<QToolButton*, QAction*> pairs[] = {
      {MainForm->SpeedButton2, MainForm->CompanyManager1},
      {MainForm->SpeedButton7, MainForm->CustomerManager1},
      {MainForm->SpeedButton4, MainForm->ProductManager1},
      {MainForm->SpeedButton5, MainForm->InvoiceManager1},
      {MainForm->PayboxButn, MainForm->PaymentManager1},
      {MainForm->RptButton, MainForm->ReportManager1},
      {MainForm->VendButn, MainForm->VendorManager1},
      {MainForm->POMan, MainForm->POManager1},
      {MainForm->SpeedButton6, MainForm->Receivers1},
      {MainForm->CalcPrices, MainForm->PriceChange1},
      {MainForm->SpeedButton10, MainForm->LabelWizard1},
      {MainForm->SpeedButton11, MainForm->LetterWizard1},
      {MainForm->SpeedButton12, MainForm->AgingChart1},
      {MainForm->SpeedButton13, MainForm->BackupDataFiles1},
      {MainForm->SpeedButton3, MainForm->PasswordSetup1},
      {MainForm->SpeedButton9, MainForm->ViewCalendar1},
      {MainForm->SpeedButton8, MainForm->Calculator1},
      {MainForm->SpeedButton14, MainForm->Topics1},
      {MainForm->SpeedButton16, MainForm->Exit1},
  };
  for (auto [button, item] : pairs) {
    EXPECT_EQ(button->isEnabled(), item->isEnabled()) << button->text().toStdString();
    bool was = item->isEnabled();
    item->setEnabled(!was);
    EXPECT_EQ(button->isEnabled(), !was) << button->text().toStdString();
    item->setEnabled(was);
    // A click runs the item (here without the item's own action).
    QObject::disconnect(item, &QAction::triggered, MainForm, nullptr);
    int runs = 0;
    auto connection = QObject::connect(item, &QAction::triggered, [&] { ++runs; });
    item->setEnabled(true);
    button->click();
    QObject::disconnect(connection);
    item->setEnabled(was);
    EXPECT_EQ(runs, 1) << button->text().toStdString();
  }
}

TEST_F(MainWindowTest, CloseButtonEndsTheRunAndStopsTheEngine) {
  UiScript ui;
  MainForm->Show();
  storage::IsamFileBlock list = nullptr;
  storage::IsamOpenFileBlock(list, "ovcomp", false, false, false, false);
  ASSERT_TRUE(storage::IsamOK);
  MainForm->SpeedButton16->click();
  EXPECT_FALSE(MainForm->Visible());
  EXPECT_TRUE(storage::IsamOpenBlocks().empty());
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, QueuedLabelsAreAskedAboutBeforeClosing) {
  UiScript ui;
  MainForm->Show();
  LabelsQueued = 1;
  const char* question =
      "You have labels in the print queue that you have not printed or saved to a file. Exit anyway?";
  ui.ExpectMessage(question, "Please Confirm")
      .Buttons(MsgButtons::YesNo)
      .Icon(MsgIcon::Question)
      .Answer(mrNo);
  MainForm->Exit1Click();
  EXPECT_TRUE(MainForm->Visible());
  ui.ExpectMessage(question, "Please Confirm").Answer(mrYes);
  MainForm->Exit1Click();
  EXPECT_FALSE(MainForm->Visible());
  EXPECT_TRUE(ui.Done());
  LabelsQueued = 0;
}

TEST_F(MainWindowTest, OutputModeFollowsTheCompanyAndTheClicks) {
  UiScript ui;
  CurrentCompany.DefaultOutputEMail.Set("Y");
  MainForm->Show();
  EXPECT_TRUE(MainForm->EMdef->isChecked());
  EXPECT_FALSE(MainForm->PrinDef->isChecked());
  EXPECT_TRUE(MainForm->EMailOutput());
  EXPECT_EQ(MainForm->Label5->text(), "System Mode: E-Mail");
  MainForm->PrinDef->click();
  EXPECT_FALSE(MainForm->EMailOutput());
  EXPECT_EQ(MainForm->Label5->text(), "System Mode: Printer / Fax");
  MainForm->EMdef->click();
  EXPECT_EQ(MainForm->Label5->text(), "System Mode: E-Mail");
  // Anything but "Y" is printer output.
  CurrentCompany.DefaultOutputEMail.Set("y");
  MainForm->SetOutputModeFromCompany();
  EXPECT_TRUE(MainForm->PrinDef->isChecked());
  EXPECT_EQ(MainForm->Label5->text(), "System Mode: Printer / Fax");
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, ClockShowsTheDateAndTimeInTheFirstPanel) {
  platform::text::FixedClock clock(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
  MainForm->Timer1Timer();
  EXPECT_EQ(MainForm->StatusText(0), "Thursday, March 5, 2026, 02:07 PM");
  EXPECT_EQ(MainForm->StatusText(1), "Ready.");
  EXPECT_EQ(MainForm->Timer1->interval(), 1000);
}

TEST_F(MainWindowTest, SmallDesktopGetsTheWholeWorkAreaAWideOneTheDesignedPlace) {
  MainForm->PlaceWindow(QRect(0, 0, 640, 460));
  EXPECT_EQ(MainForm->geometry(), QRect(0, 0, 640, 460));
  MainForm->PlaceWindow(QRect(0, 0, 1024, 740));
  EXPECT_EQ(MainForm->pos(), QPoint(10, 10));
  EXPECT_GT(MainForm->width(), 640);
}

TEST_F(MainWindowTest, ChartPanelSitsBelowTheToolBarAndTheOutputPanelUnderTheHomePageButton) {
  UiScript ui;
  MainForm->Show();
  QFrame* bar = MainForm->CompName;
  EXPECT_EQ(MainForm->Panel2->y(), bar->y() + bar->height() + bar->height() / 10);
  EXPECT_EQ(MainForm->Panel2->x(), MainForm->SpeedButton2->x());
  EXPECT_EQ(MainForm->SelOut->y(), MainForm->Panel2->y());
  QToolButton* home = MainForm->SpeedButton15;
  EXPECT_EQ(MainForm->SelOut->x() + MainForm->SelOut->width(), home->x() + home->width());
  // Every button lies inside the tool-bar panel, whatever the width.
  for (int width : {900, 640}) {
    MainForm->resize(width, 600);
    MainForm->FormResize();
    for (QToolButton* button : bar->findChildren<QToolButton*>())
      EXPECT_TRUE(bar->rect().contains(button->geometry()))
          << button->text().toStdString() << " at " << width;
  }
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, ClosingTheChartSaysReady) {
  MainForm->Panel2->show();
  MainForm->SetStatusText(1, "Hold mouse over color to see aging amount...");
  MainForm->SpeedButton1->click();
  EXPECT_TRUE(MainForm->Panel2->isHidden());
  EXPECT_EQ(MainForm->StatusText(1), "Ready.");
}

TEST_F(MainWindowTest, WebPagesOpenOnlyAfterTheUserAgrees) {
  struct Case {
    void (TMainForm::*handler)();
    const char* question;
    const char* title;
    const char* url;
  };
  const Case cases[] = {
      {&TMainForm::SpeedButton15Click,
       "This feature will connect you to the internet and take you to our home page. You must have an "
       "internet "
       "connection on this computer. Continue?",
       "Internet Home Page", "https://www.kestrava.example"},
      {&TMainForm::OurSupportForum1Click,
       "This feature will connect you to the internet and take you to our Online Support Forum. Continue?",
       "Internet Home Page", "https://www.kestrava.example/forum"},
      {&TMainForm::UpgradeThisSoftware1Click,
       "This feature will connect you to the internet and take you to our Upgrades web page. Continue?",
       "Upgrades", "https://www.kestrava.example/upgrades"},
  };
  for (const Case& c : cases) {
    UrlCatcher urls;
    UiScript ui;
    ui.ExpectMessage(c.question, c.title).Buttons(MsgButtons::YesNo).Answer(mrNo);
    ui.ExpectMessage(c.question, c.title).Answer(mrYes);
    (MainForm->*c.handler)();
    EXPECT_TRUE(urls.opened.isEmpty());
    (MainForm->*c.handler)();
    EXPECT_EQ(urls.opened, QStringList{c.url});
    EXPECT_TRUE(ui.Done());
  }
}

TEST_F(MainWindowTest, HelpItemsOpenTheirTopicsOrSayNoHelpIsInstalled) {
  UiScript ui;
  for (int i = 0; i < 4; ++i) ui.ExpectMessage("No help is installed.", ProgramTitle);
  MainForm->Topics1->trigger();
  MainForm->FrequentAskedQuestions1->trigger();
  MainForm->EMHlp->click();
  MainForm->AgeChartBtn->click();
  EXPECT_TRUE(ui.Done());

  std::ofstream("OVINV.hlp") << "help";
  UiScript installed;
  MainForm->FrequentAskedQuestions1->trigger();
  MainForm->EMHlp->click();
  ASSERT_EQ(installed.Count(testing_support::UiEvent::Kind::Help), 2);
  EXPECT_EQ(installed.Events()[0].detail, "Frequent Asked Questions");
  EXPECT_EQ(installed.Events()[1].detail, "EMMode");
  EXPECT_TRUE(installed.Done());
}

TEST_F(MainWindowTest, CalculatorStartsTheDesktopsOneOrSaysItIsMissing) {
  QByteArray path = qgetenv("PATH");
  std::filesystem::create_directory("bin");
  qputenv("PATH", (dir_.path() / "bin").string().c_str());
  {
    UiScript ui;
    ui.ExpectMessage("Windows Calculator not found.", ProgramTitle);
    MainForm->Calculator1->trigger();
    EXPECT_TRUE(ui.Done());
  }
  std::string marker = dir_.File("started");
  std::string script = dir_.File("bin/xcalc");
  std::ofstream(script) << "#!/bin/sh\n: > '" << marker << "'\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  {
    UiScript ui;
    MainForm->SpeedButton8->click();
    EXPECT_TRUE(ui.Done());
  }
  qputenv("PATH", path);
  for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i) QThread::msleep(20);
  EXPECT_TRUE(std::filesystem::exists(marker));
}

TEST_F(MainWindowTest, InvoicesNeedTheCompanysProductFile) {
  const char* refusal =
      "You need to have at least one product code set up. You do not need to use product codes but you must "
      "have at least one on file to do invoices. See Product Manager online help.";
  UiScript ui;
  ui.ExpectMessage(refusal, ProgramTitle);
  EXPECT_FALSE(CheckProductFileForInvoices());  // no company open
  CurrentCompany.CompanyNumber.Set(" 12 ");
  std::ofstream("1P.DAT") << "";  // another company's products
  ui.ExpectMessage(refusal, ProgramTitle);
  EXPECT_FALSE(CheckProductFileForInvoices());
  std::ofstream("12p.dat") << "";
  EXPECT_TRUE(CheckProductFileForInvoices());
  EXPECT_TRUE(ui.Done());
}

// The Vendors button opens the Vendor Manager on the open company's vendors; a company that has
// none yet gets its empty vendor file first.
TEST_F(MainWindowTest, VendorsButtonOpensTheVendorManager) {
  FileCompanies({Company("12", "Acme Supply")});
  InstallCompanyFileNames();  // as start-up does
  CurrentCompany = Company("12", "Acme Supply");
  MainForm->EnableCompanyItems();
  UiScript ui;
  ui.ExpectMessage("I am going to create a new, empty vendor file for this company.", "New Company");
  ui.OnModal<purchasing::TVenList>([](purchasing::TVenList& m) {
    EXPECT_EQ(m.Caption(), "Vendor Manager");
    EXPECT_EQ(m.Label1->text(), "Acme Supply - #12");
    EXPECT_EQ(m.RecBrowser1->BrowserKeyNumber(), 1);
  });
  MainForm->VendButn->click();
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(std::filesystem::exists("12V.DAT"));
  storage::CurrentCompanyNumber = nullptr;
}

// The E-Mail Notice item and the "Send E-mail Message" button open the notice window, and only
// while a company is open.
TEST_F(MainWindowTest, TheEMailNoticeOpensFromTheToolsMenuAndTheOutputPanel) {
  EXPECT_FALSE(MainForm->EMailNotice1->isEnabled());
  EXPECT_FALSE(MainForm->SpeedButton18->isEnabled());
  FileCompanies({Company("12", "Acme Supply")});
  CurrentCompany = Company("12", "Acme Supply");
  CurrentCompany.CompanyEMail.Set("shop@acme.example");
  MainForm->EnableCompanyItems();
  EXPECT_TRUE(MainForm->EMailNotice1->isEnabled());
  EXPECT_TRUE(MainForm->SpeedButton18->isEnabled());
  UiScript ui;
  for (int i = 0; i < 2; ++i) {
    ui.OnModal<exchange::TEMMemo>([](exchange::TEMMemo& window) {
      EXPECT_EQ(window.Caption(), "Send E-Mail Message");
      EXPECT_EQ(window.EMRetAdd->text(), "shop@acme.example");
    });
  }
  MainForm->EMailNotice1->trigger();
  MainForm->SpeedButton18->click();
  EXPECT_TRUE(ui.Done());
}

// The Purchase Orders button opens the PO Manager on the open company's POs, listed by PO date; a
// company that has none yet gets its empty PO files first.
TEST_F(MainWindowTest, PurchaseOrdersButtonOpensThePOManager) {
  FileCompanies({Company("12", "Acme Supply")});
  InstallCompanyFileNames();
  CurrentCompany = Company("12", "Acme Supply");
  MainForm->EnableCompanyItems();
  UiScript ui;
  ui.ExpectMessage("I am going to create a new, empty Purchase Order file for this company.",
                   "New Purchase Order File");
  ui.OnModal<purchasing::TPOList1>([](purchasing::TPOList1& m) {
    EXPECT_EQ(m.Caption(), "Purchase Order Manager");
    EXPECT_EQ(m.CName->text(), "Acme Supply - #12");
    EXPECT_EQ(m.RecBrowser1->BrowserKeyNumber(), 3);
    EXPECT_EQ(m.StatusText(0), "Records: 0");
  });
  MainForm->POMan->click();
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(std::filesystem::exists("12O.DAT"));
  storage::CurrentCompanyNumber = nullptr;
}

// Every manager opened from the main window shows the count of its file's records at once, 0 for a
// company whose files hold none yet.
TEST_F(MainWindowTest, EveryManagerCountsTheRecordsOfFilesThatHoldNone) {
  using testing_support::CompanyFile;
  ASSERT_TRUE(testing_support::OpenScratchCompany(
      Company("12", "Acme Supply"),
      {CompanyFile::Customers, CompanyFile::Products, CompanyFile::Invoices, CompanyFile::InvoiceLines,
       CompanyFile::InvoiceMemos, CompanyFile::Vendors, CompanyFile::POHeaders, CompanyFile::POLines,
       CompanyFile::POMemos}));
  for (storage::IsamFileBlock* file : {&CustomerFile, &ProductFile, &InvoiceFile, &DetailFile, &MemoFile,
                                       &VendorFile, &POHeaderFile, &PODetailFile, &POMemoFile})
    CloseDataFile(*file);
  MainForm->EnableCompanyItems();
  UiScript ui;
  QString count;
  struct Manager {
    QAction* item;
    std::function<void()> expect;  // expects the manager's window and takes its count
    const char* shown;
  };
  const Manager managers[] = {
      {MainForm->CustomerManager1, CountShownBy<customers::TDemoForm>(ui, count), "Customers: 0"},
      {MainForm->VendorManager1, CountShownBy<purchasing::TVenList>(ui, count), "Vendors: 0"},
      {MainForm->POManager1, CountShownBy<purchasing::TPOList1>(ui, count), "Records: 0"},
      {MainForm->InvoiceManager1, CountShownBy<invoicing::TInvEdit1>(ui, count), "Records: 0"},
      {MainForm->ProductManager1,
       [&] {
         ui.OnModal<products::TEditProd>([&](products::TEditProd& m) { count = m.StatusPanel0->text(); });
       },
       "Products: 0"},
  };
  for (const Manager& manager : managers) {
    count = "(not shown)";
    manager.expect();
    manager.item->trigger();
    EXPECT_EQ(count, manager.shown) << manager.item->text().toStdString();
  }
  EXPECT_TRUE(ui.Done());
  storage::CurrentCompanyNumber = nullptr;
}

// The Invoice Manager, from its menu item or its tool button, hides the aging chart and says
// "Ready." before it opens; refused for want of a product file, it leaves the chart up.
TEST_F(MainWindowTest, TheInvoiceManagerOpensWithTheAgingChartHidden) {
  using testing_support::CompanyFile;
  ASSERT_TRUE(testing_support::OpenScratchCompany(
      Company("12", "Acme Supply"),
      {CompanyFile::Products, CompanyFile::Invoices, CompanyFile::InvoiceLines, CompanyFile::InvoiceMemos}));
  for (storage::IsamFileBlock* file : {&ProductFile, &InvoiceFile, &DetailFile, &MemoFile})
    CloseDataFile(*file);
  MainForm->EnableCompanyItems();
  std::filesystem::rename("12P.DAT", "12P.AWAY");
  const QString chartShown = "Hold mouse over color to see aging amount...";
  UiScript ui;
  ui.ExpectMessage(
      "You need to have at least one product code set up. You do not need to use product codes but you must "
      "have at least one on file to do invoices. See Product Manager online help.",
      ProgramTitle);
  MainForm->Panel2->show();
  MainForm->SetStatusText(1, chartShown);
  MainForm->InvoiceManager1->trigger();
  EXPECT_FALSE(MainForm->Panel2->isHidden());
  EXPECT_EQ(MainForm->StatusText(1), chartShown);

  std::filesystem::rename("12P.AWAY", "12P.DAT");  // the product file is back: the manager opens
  const std::function<void()> opens[] = {[] { MainForm->InvoiceManager1->trigger(); },
                                         [] { MainForm->SpeedButton5->click(); }};
  for (const auto& open : opens) {
    MainForm->Panel2->show();
    MainForm->SetStatusText(1, chartShown);
    bool hidden = false;
    QString status;
    ui.OnModal<invoicing::TInvEdit1>([&](invoicing::TInvEdit1&) {
      hidden = MainForm->Panel2->isHidden();
      status = MainForm->StatusText(1);
    });
    open();
    EXPECT_TRUE(hidden);
    EXPECT_EQ(status, "Ready.");
  }
  EXPECT_TRUE(ui.Done());
  storage::CurrentCompanyNumber = nullptr;
}

TEST_F(MainWindowTest, ExitAsksWhileTheWorkTimerRunsAndStopsIt) {
  UiScript ui;
  MainForm->Show();
  TTimerForm& timer = CreateTimerForm();
  timer.TimeBtnClick();
  ASSERT_TRUE(timer.Running());
  const char* question = "The OV Timer is currently running. Do you want to exit anyway?";
  ui.ExpectMessage(question, "Please Confirm")
      .Buttons(MsgButtons::YesNo)
      .Icon(MsgIcon::Question)
      .Answer(mrNo);
  MainForm->SpeedButton16->click();
  EXPECT_TRUE(MainForm->Visible());
  EXPECT_TRUE(timer.Running());
  ui.ExpectMessage(question, "Please Confirm").Answer(mrYes);
  MainForm->Exit1Click();
  EXPECT_FALSE(MainForm->Visible());
  EXPECT_FALSE(timer.Running());
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, ClosingTheMainWindowEndsTheRunWhileTheTimerWindowIsOpen) {
  UiScript ui;
  MainForm->Show();
  CreateTimerForm().Show();
  bool timedOut = false;
  QTimer::singleShot(0, MainForm, [] { MainForm->Exit1Click(); });
  // The time limit goes with the test: it must not fire in a later test of the same process.
  QObject limit;
  QTimer::singleShot(10000, &limit, [&] {
    timedOut = true;
    QCoreApplication::exit(1);
  });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_FALSE(timedOut);
  EXPECT_FALSE(MainForm->Visible());
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, TheStatusBarOpensTheWorkTimerWhichReportsThere) {
  UiScript ui;
  MainForm->Show();
  CreateTimerForm();
  QTest::mouseClick(MainForm->StatusBar1, Qt::LeftButton);
  EXPECT_TRUE(TimerForm->Visible());
  TimerForm->TimeBtnClick();
  TimerForm->Timer1Timer();
  EXPECT_TRUE(MainForm->StatusText(1).startsWith("Timer is running... "))
      << MainForm->StatusText(1).toStdString();
  TimerForm->TimeBtnClick();
  EXPECT_EQ(MainForm->StatusText(1), "Timer Off");
  TimerForm->Hide();
  MainForm->Timer2->trigger();
  EXPECT_TRUE(TimerForm->Visible());
  EXPECT_TRUE(ui.Done());
}

// The timer window behind the main window is not lost: its item and the status bar bring it back
// to the front, still running.
TEST_F(MainWindowTest, TheTimerWindowBehindTheMainWindowComesBackToTheFront) {
  UiScript ui;
  MainForm->Show();
  CreateTimerForm();
  MainForm->Timer2->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowActive(TimerForm));
  TimerForm->TimeBtnClick();
  for (auto bringBack : std::initializer_list<std::function<void()>>{
           [] { MainForm->Timer2->trigger(); },
           [] { QTest::mouseClick(MainForm->StatusBar1, Qt::LeftButton); }}) {
    MainForm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(MainForm));
    bringBack();
    EXPECT_TRUE(QTest::qWaitForWindowActive(TimerForm));
    EXPECT_TRUE(TimerForm->Running());
  }
  TimerForm->TimeBtnClick();
  TimerForm->Hide();
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, CalendarIsShownForTodayUnderItsOwnCaption) {
  platform::text::FixedClock clock(QDateTime(QDate(2026, 3, 5), QTime(9, 0)));
  CreateCalForm();
  CalForm->Calendar1->setSelectedDate(QDate(2024, 1, 31));
  UiScript ui;
  ui.OnModal<TCalForm>([](TCalForm& calendar) {
    EXPECT_EQ(calendar.Caption(), "View Calendar");
    EXPECT_EQ(calendar.Calendar1->selectedDate(), QDate(2026, 3, 5));
    EXPECT_EQ(calendar.CBMonth->currentIndex(), 2);
    EXPECT_EQ(CalendarPickMode, 0);
    QPoint offset = calendar.geometry().center() - MainForm->frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
    calendar.OKButton->click();
  });
  MainForm->SpeedButton9->click();
  EXPECT_EQ(CalForm->Caption(), "Date Selection");
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, ChangingCompanyOpensTheChosenOneOrReadsTheEditedOneAgain) {
  platform::text::FixedClock clock(QDateTime(QDate(2026, 3, 5), QTime(9, 0)));
  QImage tile(4, 4, QImage::Format_RGB32);
  tile.fill(Qt::blue);
  ASSERT_TRUE(tile.save("blue.png"));
  CompanyRec first = Company("1", "First Shop");
  first.BackgroundBitmap.Set("blue.png");
  first.BackgroundFlag = 1;
  CompanyRec second = Company("2", "Second Shop");
  second.DateOrder.Set("D");
  second.DefaultOutputEMail.Set("Y");
  FileCompanies({first, second});
  UiScript ui;
  CurrentCompany = first;
  MainForm->LoadBackgroundPicture();
  ASSERT_FALSE(MainForm->BackgroundBitmap().isNull());
  LastInvoiceDate = "01/01/2026";

  // The Company Manager chose the second company.
  CompanyWorkRec = second;
  MainForm->ChangeCompany("1");
  EXPECT_TRUE(MainForm->CustomerManager1->isEnabled());
  EXPECT_TRUE(MainForm->SpeedButton4->isEnabled());  // products
  EXPECT_TRUE(MainForm->VendorManager1->isEnabled());
  EXPECT_TRUE(MainForm->VendButn->isEnabled());
  EXPECT_TRUE(MainForm->POManager1->isEnabled());
  EXPECT_TRUE(MainForm->POMan->isEnabled());
  ui.OnModal<invoicing::TPayBox>(
      [](invoicing::TPayBox& wizard) { EXPECT_EQ(wizard.Caption(), "Payment Wizard - Second Shop"); });
  MainForm->PayboxButn->click();
  ui.OnModal<invoicing::TInterestWiz>(
      [](invoicing::TInterestWiz& wizard) { EXPECT_EQ(wizard.days30->text(), "Over 30 Days"); });
  MainForm->InterestWizard1->trigger();
  EXPECT_TRUE(MainForm->Receivers1->isEnabled());
  ui.OnModal<purchasing::TRecvWiz>([](purchasing::TRecvWiz& wizard) {
    EXPECT_EQ(wizard.Caption(), "Receiving Wizard - Second Shop");
    EXPECT_EQ(wizard.RDate->inputMask(), "99/99/9999;_");
  });
  MainForm->SpeedButton6->click();
  EXPECT_EQ(CurrentCompany.CompanyName.Get(), "Second Shop");
  EXPECT_EQ(MainForm->NameCap->text(), "Second Shop       Number: 2");
  EXPECT_TRUE(MainForm->BackgroundBitmap().isNull());  // not the first company's picture
  EXPECT_EQ(platform::text::ShortDateFormat(), "dd/mm/yyyy");
  EXPECT_EQ(LastInvoiceDate, "05/03/2026");
  EXPECT_EQ(LastPOReceivedDate, "05/03/2026");
  EXPECT_TRUE(MainForm->EMailOutput());
  CurrentCompany = CompanyRec{};
  ASSERT_EQ(LoadCurrentCompany(), LastCompanyStatus::Loaded);  // the next start opens it
  EXPECT_EQ(CurrentCompany.CompanyName.Get(), "Second Shop");

  // The open company was edited in the Company Manager: its stored record is read again.
  CompanyRec renamed = second;
  renamed.CompanyName.Set("Second Shop Ltd");
  renamed.DateOrder.Set("M");
  ASSERT_TRUE(UpdateCurrentCompanyRecord([&](CompanyRec& stored) { stored = renamed; }));
  CompanyWorkRec = first;  // whatever was highlighted there
  CurrentCompanyEdited = true;
  MainForm->ChangeCompany("2");
  EXPECT_EQ(CurrentCompany.CompanyName.Get(), "Second Shop Ltd");
  EXPECT_EQ(CompanyWorkRec.CompanyName.Get(), "Second Shop Ltd");
  EXPECT_EQ(MainForm->NameCap->text(), "Second Shop Ltd       Number: 2");
  EXPECT_EQ(platform::text::ShortDateFormat(), "mm/dd/yyyy");
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, PrinterSetupChoosesThePrinterOfLaterJobs) {
  auto* printer = dynamic_cast<platform::print::QtPrintBackend*>(&platform::print::Printer().Backend());
  ASSERT_NE(printer, nullptr);
  UiScript ui;
  ui.ExpectPrinterSetup().Cancel();
  ui.ExpectPrinterSetup().Answer([](QPrinter& chosen) { chosen.setOutputFormat(QPrinter::PdfFormat); });
  MainForm->PrinterSetup1->trigger();
  EXPECT_FALSE(printer->PrintToFile());
  MainForm->PrinterSetup1->trigger();
  EXPECT_TRUE(printer->PrintToFile());
  EXPECT_TRUE(ui.Done());
  printer->SetPrintToFile(false);
}

TEST(IsIntegerString, ReadsWholeNumbersAsTheConversionDoes) {
  for (const char* yes : {"0", "2026", "-12", "+7", "  42", "2147483647", "-2147483648"})
    EXPECT_TRUE(IsIntegerString(yes)) << yes;
  for (const char* no : {"", " ", "1a", "12 ", "1.5", "2147483648", "+-1", "--1", "abc"})
    EXPECT_FALSE(IsIntegerString(no)) << no;
}

TEST_F(MainWindowTest, BackgroundPictureIsTiledOrClearedWithAMessage) {
  QImage tile(8, 6, QImage::Format_RGB32);
  tile.fill(Qt::darkCyan);
  ASSERT_TRUE(tile.save("Tile.png"));
  std::ofstream("broken.bmp") << "not a picture";

  UiScript ui;
  CurrentCompany.BackgroundFlag = 1;
  CurrentCompany.BackgroundBitmap.Set("tile.PNG");  // names are found whatever their case
  MainForm->LoadBackgroundPicture();
  EXPECT_EQ(MainForm->BackgroundBitmap().size(), QSize(8, 6));
  EXPECT_EQ(CurrentCompany.BackgroundFlag, 1);

  // A company without a picture shows none, not the one of the company before it.
  CurrentCompany.BackgroundBitmap.Set("");
  MainForm->LoadBackgroundPicture();
  EXPECT_TRUE(MainForm->BackgroundBitmap().isNull());
  CurrentCompany.BackgroundBitmap.Set("x");  // one character: no picture, no message
  MainForm->LoadBackgroundPicture();
  EXPECT_TRUE(MainForm->BackgroundBitmap().isNull());
  EXPECT_EQ(CurrentCompany.BackgroundFlag, 1);

  ui.ExpectMessage("Background bitmap image no longer exists. Unable to load background picture.",
                   ProgramTitle);
  CurrentCompany.BackgroundBitmap.Set("C:\\Pictures\\gone.bmp");
  MainForm->LoadBackgroundPicture();
  EXPECT_EQ(CurrentCompany.BackgroundFlag, 0);
  EXPECT_TRUE(MainForm->BackgroundBitmap().isNull());

  CurrentCompany.BackgroundFlag = 1;
  ui.ExpectMessage("Background bitmap image cannot be read. Unable to load background picture.",
                   ProgramTitle);
  CurrentCompany.BackgroundBitmap.Set("broken.bmp");
  MainForm->LoadBackgroundPicture();
  EXPECT_EQ(CurrentCompany.BackgroundFlag, 0);
  EXPECT_TRUE(MainForm->BackgroundBitmap().isNull());
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, BackgroundIsPaintedTiledWhileTheFlagIsSet) {
  QImage tile(4, 4, QImage::Format_RGB32);
  tile.fill(Qt::red);
  ASSERT_TRUE(tile.save("red.png"));
  UiScript ui;
  CurrentCompany.BackgroundBitmap.Set("red.png");
  CurrentCompany.BackgroundFlag = 1;
  MainForm->LoadBackgroundPicture();
  QImage canvas(40, 40, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  {
    QPainter painter(&canvas);
    MainForm->FormPaint(painter);
  }
  EXPECT_EQ(canvas.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(canvas.pixelColor(9, 13), QColor(Qt::red));
  canvas.fill(Qt::white);
  CurrentCompany.BackgroundFlag = 0;
  {
    QPainter painter(&canvas);
    MainForm->FormPaint(painter);
  }
  EXPECT_EQ(canvas.pixelColor(9, 13), QColor(Qt::white));
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, AboutBoxTellsWhereTheProgramRunsAndLeadsToTheHomePage) {
  CreateAboutBox();
  UrlCatcher urls;
  UiScript ui;
  ui.ExpectMessage(QString::fromStdString(dir_.path().string()), "This program is located at:");
  ui.ExpectMessage(
        "This feature will connect you to the internet and take you to our home page. You must have an "
        "internet "
        "connection on this computer. Continue?",
        "Internet Home Page")
      .Answer(mrYes);
  ui.OnModal<TAboutBox>([](TAboutBox& box) {
    box.ProgramIconDblClick();
    box.WebSiteClick();
    box.OKButton->click();
  });
  EXPECT_EQ(AboutBox->ShowModal(), platform::ui::mrOk);
  EXPECT_EQ(urls.opened, QStringList{"https://www.kestrava.example"});
  EXPECT_TRUE(ui.Done());
}

TEST_F(MainWindowTest, ASecondStartRestoresAMinimisedWindow) {
  UiScript ui;
  MainForm->Show();
  MainForm->showMinimized();
  ASSERT_TRUE(MainForm->isMinimized());
  MainForm->BringToFront();
  EXPECT_FALSE(MainForm->isMinimized());
  EXPECT_TRUE(MainForm->Visible());
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace shell

#include "main_form_test.moc"
