#pragma once
// The main window: the hub from which every manager and wizard is opened. Top to bottom: the
// menu bar, the tool-bar panel with the open company's name and the large buttons, the client
// area (the company's background picture, the aging chart panel and the output-mode panel),
// the line that stays while a posting of the open company waits to be undone, and the status bar
// with the clock and the status text.
//
// An item whose window is not part of the program yet is shown disabled; its tool button
// follows the item.

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QString>
#include <QTimer>
#include <QToolButton>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/main_window_form.h"
#include "records/company_rec.h"
#include "records/last_company.h"
#include "shell/aging.h"

class QPainter;

namespace shell {

inline constexpr char ProgramTitle[] = "OV Kestrava 4";
inline constexpr char StatusReady[] = "Ready.";
// The company name shown while no company is set up.
inline constexpr char NoCompanyText[] = "Please Setup Your Company.";
// The clock in the first panel of the status bar.
inline constexpr char ClockFormat[] = "dddd, mmmm d, yyyy, hh:mm AM/PM";

// The maker's pages that the help menu and the home-page button open.
inline constexpr char HomePageAddress[] = "www.kestrava.example";
inline constexpr char ForumPageAddress[] = "www.kestrava.example/forum";
inline constexpr char UpgradesPageAddress[] = "www.kestrava.example/upgrades";

// Opens a web address (given without its scheme) in the desktop's browser.
void OpenWebPage(const QString& address);
// True when the whole text is a whole number.
bool IsIntegerString(std::string_view text);
// The invoices of the open company need its product file: true when it exists, else the user is
// told to set up a product first (the Invoice Manager, its button and the command-line view job).
bool CheckProductFileForInvoices();
class TMainForm : public platform::ui::MainWindowForm {
 public:
  explicit TMainForm(QWidget* parent = nullptr);

  void FormCreate() override;
  void FormShow() override;
  void FormCloseQuery(bool& canClose) override;
  void FormClose() override;
  void FormPaint(QPainter& painter);
  void FormResize();
  void Timer1Timer();

  // Menu File.
  void CompanyManager1Click();
  void CustomerManager1Click();
  void ProductManager1Click();
  void VendorManager1Click();
  void POManager1Click();
  void InvoiceManager1Click();
  void PrinterSetup1Click();
  void EditTerms1Click();
  void Exit1Click();
  // Menu Wizards.
  void PriceChange1Click();
  // The report tool button triggers this item too.
  void ReportManager1Click();
  void LabelWizard1Click();
  void LetterWizard1Click();
  void Receivers1Click();
  void PaymentManager1Click();
  void InterestWizard1Click();
  // Menu Tools.
  void Calculator1Click();
  void ViewCalendar1Click();
  void Timer2Click();
  void PasswordSetup1Click();
  void BackupDataFiles1Click();
  void EMailNotice1Click();
  void ImportInventoryVersion2Files1Click();
  void ImportPVProV2Files1Click();
  void AgingChart1Click();
  void PurgePaidInvoices1Click();
  void RebuildDataFiles1Click();
  // Menu Help.
  void Topics1Click();
  void HelpWithHelp1Click();
  void FrequentAskedQuestions1Click();
  void About1Click();
  void OurSupportForum1Click();
  void UpgradeThisSoftware1Click();
  // The home page: tool button, about box and the two internet items of the help menu.
  void SpeedButton15Click();
  // The command-line jobs: "/C" adds an invoice, "/V" lists a customer's invoices.
  void Button1Click();
  void Button2Click();
  // The aging chart panel.
  void SpeedButton1Click();
  void AgeChartBtnClick();
  void StatusBar1Click();
  // The output-mode panel.
  void PrinDefClick();
  void EMdefClick();
  void EMHlpClick();

  // While a posting of the open company waits to be undone, the line under the client area says
  // which, that the figures shown include it, and what the user can do; hidden otherwise. Kept
  // with the clock, and at once when the open company changes.
  void ShowWaitingPosting();

  // Panel 0 is the clock, panel 1 the status text.
  void SetStatusText(int panel, const QString& text);
  QString StatusText(int panel) const;
  // True when documents are to be e-mailed rather than printed.
  bool EMailOutput() const { return EMdef->isChecked(); }
  // Hides the aging chart, says "Ready." and lets the window repaint, before a window opens.
  void HideChart();
  // Brings the window to the front for a second start of the program.
  void BringToFront();
  // Ages the receivables and, when there are any, shows the chart of their buckets.
  void RecalculateAging();
  // Aging runs by itself once a day: when the company's last aging date is not today.
  void RecalculateAgingWhenDue();
  void DrawAgingChart(const AgingTotals& totals);
  // The whole work area on a small desktop; else at (10, 10) in the window's designed size.
  void PlaceWindow(const QRect& workArea);

  // What follows the Company Manager's OK: the company chosen there (in CompanyWorkRec), or the
  // open one read again when it was edited there, becomes the open company and the window shows
  // it. previousNumber: the number of the company open before.
  void ChangeCompany(const std::string& previousNumber);
  // The windows that work on a company's files are offered only while a company is open.
  void EnableCompanyItems();
  // The company's look on the window: caption font and text, background picture, output mode.
  void ShowCompanyCaption(const char* numberSeparator);
  // The window with no company open, as the company named last was loaded: it asks for a company
  // to be set up, or says that the company could not be read, with the file and the system's
  // reason when there are (failure).
  void ShowNoCompany(records::LastCompanyStatus loaded, const std::string& failure);
  void LoadBackgroundPicture();
  void SetOutputModeFromCompany();
  const QPixmap& BackgroundBitmap() const { return backgroundBitmap_; }

  // Menu bar and menus.
  QMenuBar* MainMenu1;
  QMenu* File1;
  QMenu* Wizards1;
  QMenu* Tools1;
  QMenu* Help1;
  QAction* CompanyManager1;
  QAction* VendorManager1;
  QAction* POManager1;
  QAction* ProductManager1;
  QAction* InvoiceManager1;
  QAction* CustomerManager1;
  QAction* PrinterSetup1;
  QAction* EditTerms1;
  QAction* Exit1;
  QAction* Receivers1;
  QAction* PaymentManager1;
  QAction* ReportManager1;
  QAction* PriceChange1;
  QAction* InterestWizard1;
  QAction* LabelWizard1;
  QAction* LetterWizard1;
  QAction* AgingChart1;
  QAction* Calculator1;
  QAction* ViewCalendar1;
  QAction* Timer2;
  QAction* EMailNotice1;
  QAction* PasswordSetup1;
  QAction* PurgePaidInvoices1;
  QAction* BackupDataFiles1;
  QAction* RebuildDataFiles1;
  QAction* N9;
  QAction* ImportInventoryVersion2Files1;
  QAction* ImportPVProV2Files1;
  QAction* Topics1;
  QAction* HelpWithHelp1;
  QAction* FrequentAskedQuestions1;
  QAction* About1;
  QAction* INTERNET1;
  QAction* OurWebSite1;
  QAction* OurSupportForum1;
  QAction* UpgradeThisSoftware1;

  // The tool-bar panel.
  QFrame* CompName;
  QFrame* Bevel5;
  QLabel* NameCap;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton7;
  QToolButton* SpeedButton4;
  QToolButton* SpeedButton5;
  QToolButton* PayboxButn;
  QToolButton* RptButton;
  QToolButton* VendButn;
  QToolButton* POMan;
  QToolButton* SpeedButton6;
  QToolButton* CalcPrices;
  QToolButton* SpeedButton10;
  QToolButton* SpeedButton11;
  QToolButton* SpeedButton12;
  QToolButton* SpeedButton13;
  QToolButton* SpeedButton3;
  QToolButton* SpeedButton9;
  QToolButton* SpeedButton8;
  QToolButton* SpeedButton14;
  QToolButton* SpeedButton15;
  QToolButton* SpeedButton16;

  // The aging chart panel.
  QFrame* Panel2;
  QLabel* Label1;
  QFrame* Bevel2;
  QFrame* Shape1;
  QFrame* Shape2;
  QFrame* Shape3;
  QFrame* Shape4;
  QPushButton* SpeedButton1;
  QPushButton* AgeChartBtn;

  // The output-mode panel.
  QFrame* SelOut;
  QLabel* Label5;
  QRadioButton* PrinDef;
  QRadioButton* EMdef;
  QPushButton* SpeedButton18;
  QPushButton* EMHlp;

  QLabel* PostingWaitsLine;
  QStatusBar* StatusBar1;
  QPlainTextEdit* CPMemo;  // the command-line jobs' scratch text
  QTimer* Timer1;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  void BuildChartPanel();
  void BuildOutputPanel();
  void BuildStatusBar();
  void BuildPostingWaitsLine();
  QAction* AddItem(QMenu* menu, const char* caption, void (TMainForm::*handler)());
  QToolButton* AddToolButton(const char* caption, QAction* item, int icon);
  void ArrangeToolButtons();
  // The header's caption as wide as the window and as high as its lines, the bevel round it.
  void FitCompanyCaption();
  // Level with the aging chart, its right edge under the home-page button's.
  void PlaceOutputPanel();
  void UpdateOutputModeLabel();

  QWidget* client_;
  std::array<QLabel*, 2> statusPanels_{};
  std::vector<QToolButton*> toolButtons_;
  QPixmap backgroundBitmap_;
};

extern TMainForm* MainForm;
TMainForm& CreateMainForm();

}  // namespace shell
