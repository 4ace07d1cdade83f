#pragma once
// The Company Manager: lists the companies of the company list file in the record browser, by
// name or by number, and is the one place where companies are added, edited (in the "Company
// Options" dialog), deleted with all their data files, and chosen as the company to work with
// ("Set As Default"). It also prints the company list and starts the copying of the open
// company's products or customers to another company.
//
// The main window shows it modally; when it closes with OK the main window opens the chosen
// company (CompanyWorkRec), or reads the open company anew when that one was edited here.

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <cstdint>

#include "platform/ui/form.h"
#include "records/company_rec.h"
#include "storage/browser/rec_browser.h"

namespace companies {

// The browser's key: 2 by name (as the window starts), 1 by number; kept between showings.
extern int32_t CompanyKeyNumber;

class TListComps : public platform::ui::Form {
 public:
  explicit TListComps(QWidget* parent = nullptr);

  // The browser's record buffer: the record of the row last read. It is not CompanyWorkRec, which
  // holds the company being added or edited while the options dialog is open.
  records::CompanyRec CompRec;

  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;
  void Close() override;

  // The company actions.
  void AddCompany();
  void EditCompany();
  void DeleteCompany();
  void FindCompany();

  // Handlers.
  void DefCButtonClick();
  void SpeedButton4Click();
  void CopyProductstoAnotherCompany1Click();
  void CopyVendorstoAnotherCompany1Click();
  void CopyCustomerstoAnotherCompany1Click();
  void Code1Click();
  void ByDescription1Click();
  void PrintWindow1Click();
  void SpeedButton3Click();
  int32_t RecBrowser1BuildRow(storage::TRecBrowser* sender, storage::RowRec& rr);

  // Panel 0: "Companies: " and the count.
  QString StatusText() const;

  QLabel* Label1;
  storage::TRecBrowser* RecBrowser1;
  QStatusBar* StatusBar1;
  QMenuBar* MainMenu1;
  QMenu* PopupMenu1;

  // "&Company".
  QMenu* Company1;
  QAction* Add1;
  QAction* Edit1;
  QAction* Delete1;
  QAction* Search1;
  QAction* SetAsDefault1;
  QAction* CompanyList1;
  QAction* CopyProductstoAnotherCompany1;
  QAction* CopyVendorstoAnotherCompany1;
  QAction* CopyCustomerstoAnotherCompany1;
  QAction* Close2;
  // "&Display".
  QMenu* Display1;
  QAction* Code1;
  QAction* ByDescription1;
  QAction* PrintWindow1;
  // "&Help".
  QMenu* Help1;
  QAction* New1;
  // The pop-up menu.
  QAction* Add2;
  QAction* Edit2;
  QAction* Delete2;
  QAction* Search2;
  QAction* SetAsDefault2;
  QAction* CompanyList2;
  QAction* Close3;
  // The tool buttons.
  QToolButton* NewProd;
  QToolButton* EditInvoice;
  QToolButton* InvDelete;
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton4;
  QToolButton* SpeedButton3;
  QToolButton* SpeedButton2;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar(QBoxLayout* layout);
  QAction* AddItem(QMenu* menu, const char* caption, void (TListComps::*handler)());
  QToolButton* AddToolButton(QBoxLayout* row, const char* caption, void (TListComps::*handler)());
  void ShowCount();
  // Reads the highlighted row into CompanyWorkRec; false when there is none.
  bool ReadHighlighted();
  void PositionOn(const records::CompanyRec& company, storage::IsamRecRef ref);
  void SetKeyNumber(int32_t keyNr);
  void CopyToAnotherCompany(const char* mode);

  bool defaultChosen_ = false;
};

extern TListComps* ListComps;
// Makes the one instance (at start-up); later calls return it.
TListComps& CreateListComps();

}  // namespace companies
