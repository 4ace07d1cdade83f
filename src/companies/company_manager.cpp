#include "companies/company_manager.h"

#include <QKeyEvent>
#include <stdexcept>
#include <string>
#include <vector>

#include "companies/comp_set.h"
#include "companies/company_texts.h"
#include "companies/prod_copy.h"
#include "forms/browser_font.h"
#include "forms/find_box.h"
#include "forms/form_instance.h"
#include "forms/halt_program.h"
#include "forms/list_window.h"
#include "forms/manager_window.h"
#include "forms/password_prompts.h"
#include "forms/printout_notice.h"
#include "forms/unusable_file.h"
#include "platform/print/colors.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/password.h"
#include "records/record_file.h"
#include "records/system_reason.h"
#include "storage/stat_form.h"

namespace companies {

using namespace records;
using namespace forms;

using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using namespace platform::ui;

int32_t CompanyKeyNumber = 2;
TListComps* ListComps = nullptr;

TListComps& CreateListComps() {
  return FormInstance(ListComps);
}

namespace {

std::string ComparableNumber(const CompanyRec& company) {
  return UpperCase(TrimBlanks(company.CompanyNumber.Get()));
}

bool IsOpenCompany(const CompanyRec& company) {
  return IsCompanyOpen(CurrentCompany) && ComparableNumber(company) == ComparableNumber(CurrentCompany);
}

// The column of the Find dialog's company rows that holds the number.
constexpr int CompanyFindNumberColumn = 1;

void CopyHeadingFontsIn(CompanyRec& company) {
  std::array<FontRec*, 6> fonts = company.HeadingFonts();
  for (std::size_t i = 0; i < fonts.size(); ++i) InvoiceHeaderFonts[i] = *fonts[i];
}

void CopyHeadingFontsOut(CompanyRec& company) {
  std::array<FontRec*, 6> fonts = company.HeadingFonts();
  for (std::size_t i = 0; i < fonts.size(); ++i) *fonts[i] = InvoiceHeaderFonts[i];
}

}  // namespace

TListComps::TListComps(QWidget* parent)
    : Form(parent),
      Label1(new QLabel(this)),
      RecBrowser1(new storage::TRecBrowser(this)),
      StatusBar1(new QStatusBar(this)),
      MainMenu1(new QMenuBar(this)),
      PopupMenu1(new QMenu(this)) {
  SetCaption("Company Manager");
  SetHelpKeyword("CompanyManager");
  resize(760, 480);

  BuildToolBar(LayOutManagerWindow(*this, MainMenu1, Label1, RecBrowser1, StatusBar1));
  BuildMenus();

  RecBrowser1->SetPopupMenu(PopupMenu1);
  RecBrowser1->OnBuildRow = [this](storage::TRecBrowser* sender, storage::RowRec& rr) {
    return RecBrowser1BuildRow(sender, rr);
  };
  RecBrowser1->OnDblClick = [this](storage::TRecBrowser*) { DefCButtonClick(); };
}

QToolButton* TListComps::AddToolButton(QBoxLayout* row, const char* caption, void (TListComps::*handler)()) {
  return forms::AddToolButton(*this, row, caption, HandlerOf(this, handler));
}

void TListComps::BuildToolBar(QBoxLayout* layout) {
  NewProd = AddToolButton(layout, "&New", &TListComps::AddCompany);
  EditInvoice = AddToolButton(layout, "&Edit", &TListComps::EditCompany);
  InvDelete = AddToolButton(layout, "Dele&te", &TListComps::DeleteCompany);
  SpeedButton1 = AddToolButton(layout, "&Find", &TListComps::FindCompany);
  SpeedButton4 = AddToolButton(layout, "Company Li&st", &TListComps::SpeedButton4Click);
  SpeedButton3 = AddToolButton(layout, "He&lp", &TListComps::SpeedButton3Click);
  SpeedButton2 = AddToolButton(layout, "Cl&ose", &TListComps::Close);
  layout->addStretch(1);
}

QAction* TListComps::AddItem(QMenu* menu, const char* caption, void (TListComps::*handler)()) {
  return AddMenuItem(menu, caption, HandlerOf(this, handler));
}

void TListComps::BuildMenus() {
  Company1 = MainMenu1->addMenu("&Company");
  Add1 = AddItem(Company1, "&New", &TListComps::AddCompany);
  Edit1 = AddItem(Company1, "&Edit", &TListComps::EditCompany);
  Delete1 = AddItem(Company1, "&Delete", &TListComps::DeleteCompany);
  Search1 = AddItem(Company1, "&Find", &TListComps::FindCompany);
  SetAsDefault1 = AddItem(Company1, "&Set As Default", &TListComps::DefCButtonClick);
  CompanyList1 = AddItem(Company1, "Company &List", &TListComps::SpeedButton4Click);
  Company1->addSeparator();
  CopyProductstoAnotherCompany1 =
      AddItem(Company1, "Copy &Products to Another Company", &TListComps::CopyProductstoAnotherCompany1Click);
  CopyVendorstoAnotherCompany1 =
      AddItem(Company1, "Copy &Vendors to Another Company", &TListComps::CopyVendorstoAnotherCompany1Click);
  CopyCustomerstoAnotherCompany1 = AddItem(Company1, "Copy C&ustomers to Another Company",
                                           &TListComps::CopyCustomerstoAnotherCompany1Click);
  Company1->addSeparator();
  Close2 = AddItem(Company1, "&Close", &TListComps::Close);

  Display1 = MainMenu1->addMenu("&Display");
  Code1 = AddItem(Display1, "By &Number", &TListComps::Code1Click);
  ByDescription1 = AddItem(Display1, "By N&ame", &TListComps::ByDescription1Click);
  Code1->setCheckable(true);
  ByDescription1->setCheckable(true);
  PrintWindow1 = AddItem(Display1, "Print &Window", &TListComps::PrintWindow1Click);

  Help1 = MainMenu1->addMenu("&Help");
  New1 = AddItem(Help1, "&Overview", &TListComps::SpeedButton3Click);

  Add2 = AddItem(PopupMenu1, "&New", &TListComps::AddCompany);
  Edit2 = AddItem(PopupMenu1, "&Edit", &TListComps::EditCompany);
  Delete2 = AddItem(PopupMenu1, "&Delete", &TListComps::DeleteCompany);
  Search2 = AddItem(PopupMenu1, "&Find", &TListComps::FindCompany);
  SetAsDefault2 = AddItem(PopupMenu1, "&Set As Default", &TListComps::DefCButtonClick);
  CompanyList2 = AddItem(PopupMenu1, "Company &List", &TListComps::SpeedButton4Click);
  PopupMenu1->addSeparator();
  Close3 = AddItem(PopupMenu1, "&Close", &TListComps::Close);
}

void TListComps::FormCreate() {
  CompanyKeyNumber = 2;
  Code1->setChecked(false);
  ByDescription1->setChecked(true);
}

void TListComps::FormShow() {
  CurrentCompanyEdited = false;
  defaultChosen_ = false;
  Label1->setText(ToQString(CurrentCompany.CompanyName.Get()));
  RecBrowser1->SetHeader(ToQString(CompanyBrowserHeader()));
  if (!OpenCompanyFile()) {
    MessageBox("Unable to open company database" + forms::OpenFailureReason(), Caption(), MsgButtons::Ok,
               MsgIcon::Error);
    HaltProgram(1);
    return;
  }
  // Deletions a stop left half-way are settled before any company is worked on.
  FinishCompanyDeletions();
  AttachRecordBrowser(*RecBrowser1, CompanyFile, CompRec);
  RecBrowser1->BrowserSetKeyNumber(CompanyKeyNumber);
  const FontChoice font = CompanyBrowserFont(CurrentCompany);
  RecBrowser1->setFont(ToQFont(font));
  RecBrowser1->SetFontColor(platform::print::ColorToQColor(font.color));
  // Copying needs an open company to copy from.
  const bool companyOpen = IsCompanyOpen(CurrentCompany);
  for (QAction* copy :
       {CopyProductstoAnotherCompany1, CopyVendorstoAnotherCompany1, CopyCustomerstoAnotherCompany1})
    copy->setEnabled(companyOpen);

  CompanyRec open;
  storage::IsamRecRef ref = 0;
  // A list that cannot be searched for the open company says so; the browser then stays at its top.
  if (companyOpen &&
      CheckReads(Caption(), [&] { return FindCompanyRecord(CurrentCompany.CompanyNumber.Get(), open, ref); }))
    PositionOn(open, ref);
  ShowCount();
  RecBrowser1->setFocus();
}

void TListComps::FormClose() {
  RecBrowser1->Attach(nullptr);
  CloseCompanyFile();
}

// However the window is closed, an edit of the open company closes it with OK, so that the main
// window reads that company anew; a company chosen with Set As Default has closed it already.
void TListComps::Close() {
  if (!InModalState()) {
    Form::Close();
    return;
  }
  SetModalResult(CurrentCompanyEdited ? mrOk : mrCancel);
}

void TListComps::closeEvent(QCloseEvent* event) {
  if (!InModalState()) {
    Form::closeEvent(event);
    return;
  }
  event->ignore();
  Close();
}

void TListComps::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      DefCButtonClick();
      return;
    case Qt::Key_Delete:
      DeleteCompany();
      return;
    case Qt::Key_Escape:
      Close();
      return;
    default:
      Form::keyPressEvent(event);
  }
}

int32_t TListComps::RecBrowser1BuildRow(storage::TRecBrowser*, storage::RowRec& rr) {
  rr.Text[0] = rr.Status == 0 ? CompanyBrowserRow(CompRec) : UnreadableCompanyRow(rr.Key);
  return 0;
}

QString TListComps::StatusText() const {
  return StatusBar1->currentMessage();
}

void TListComps::ShowCount() {
  StatusBar1->showMessage(
      "Companies: " + QString::number(storage::IsamUsedKeys(CompanyFile, RecBrowser1->BrowserKeyNumber())));
}

bool TListComps::ReadHighlighted() {
  if (!ReadHighlightedRow(*RecBrowser1)) return false;
  CompanyWorkRec = CompRec;
  return true;
}

void TListComps::PositionOn(const CompanyRec& company, storage::IsamRecRef ref) {
  RecBrowser1->BrowserGoToKey(BuildCompanyKey(company, RecBrowser1->BrowserKeyNumber()), ref);
}

void TListComps::AddCompany() {
  // Said before the dialog is filled in: the company list takes no new record while a posting waits.
  if (records::RefuseWhileJournalWaits("A new company", "added", QStringLiteral("New Company"))) return;
  PrepareNewCompanyRecord();
  TCompSet& dialog = CreateCompSet();
  dialog.SetCaption("New Company");
  dialog.LoadNewCompanyDefaults(CompanyWorkRec,
                                storage::IsamUsedKeys(CompanyFile, RecBrowser1->BrowserKeyNumber()));
  // A search that fails throws: the dialog says so and takes no number for free.
  dialog.CompanyNumberOnFile = [](std::string_view number) {
    CompanyRec found;
    storage::IsamRecRef ref = 0;
    return FindCompanyRecord(number, found, ref);
  };
  if (dialog.ShowModal() != mrOk) return;
  dialog.StoreToRecord(CompanyWorkRec);
  CopyHeadingFontsOut(CompanyWorkRec);
  // The new company must not take over the files of a deleted one of its number.
  std::string failure;
  if (!FinishCompanyDeletion(CompanyWorkRec.CompanyNumber.Get(), &failure))
    throw std::runtime_error(records::WithReason("Add operation failed", failure));
  storage::IsamRecRef ref = 0;
  records::RequireDone(AddCompanyRecord(ref), "Add operation failed");
  PositionOn(CompanyWorkRec, ref);
  ShowCount();
}

void TListComps::EditCompany() {
  if (!ReadHighlighted()) return;
  if (forms::RefuseEntryWhilePostingWaits(CompanyUnit(), forms::RecordSubject(CompanyUnit(), CompanyWorkRec),
                                          "changed", "Edit Company"))
    return;
  if (!CheckSystemPassword()) return;
  const CompanyRec beforeImage = CompanyWorkRec;
  const storage::IsamRecRef ref = RecBrowser1->BrowserCurrentRef();
  TCompSet& dialog = CreateCompSet();
  dialog.SetCaption("Edit Company");
  dialog.LoadFromRecord(CompanyWorkRec);
  CopyHeadingFontsIn(CompanyWorkRec);
  dialog.CompanyNumberOnFile = nullptr;
  const std::string background = CompanyWorkRec.BackgroundBitmap.Get();
  if (background.size() > 1 && !dialog.PictureShown())
    ShowMessage(
        "Background bitmap image no longer exists. Use the Graphics tab to select another bitmap if "
        "desired.");
  if (dialog.ShowModal() != mrOk) return;
  dialog.StoreToRecord(CompanyWorkRec);
  CopyHeadingFontsOut(CompanyWorkRec);
  records::RequireDone(UpdateCompanyRecord(beforeImage, ref), "Modify Company failed");
  PositionOn(CompanyWorkRec, ref);
}

void TListComps::DeleteCompany() {
  if (!ReadHighlighted()) return;
  // Refused before anything is asked while a posting waits to be undone.
  if (forms::RefuseEntryWhilePostingWaits(CompanyUnit(), forms::RecordSubject(CompanyUnit(), CompanyWorkRec),
                                          "deleted", "Delete Company"))
    return;
  if (!CheckSystemPassword()) return;
  if (IsOpenCompany(CompanyWorkRec)) {
    MessageBox(
        "You are trying to delete the current default company. You need to have another company open to "
        "delete this "
        "one.",
        "Delete Company");
    return;
  }
  if (MessageBox(
          "If you delete this company, all invoices and payments will also be removed. ALL company data will "
          "be deleted! Data for other companies will NOT be removed. Continue?",
          "Please Confirm", MsgButtons::YesNo, MsgIcon::Question) != mrYes)
    return;
  const std::string number = TrimBlanks(CompanyWorkRec.CompanyNumber.Get()).substr(0, 6);
  DeleteCompanyWhole(number, RecBrowser1->BrowserCurrentRef());
  RecBrowser1->BrowserRefresh();
  ShowCount();
}

void TListComps::FindCompany() {
  const std::optional<FindRow> chosen = RunFind("Find Company", "Comp");
  if (!chosen) return;
  CompanyRec found;
  storage::IsamRecRef ref = 0;
  if (CheckReads("Find Company",
                 [&] { return FindCompanyRecord((*chosen)[CompanyFindNumberColumn], found, ref); }))
    PositionOn(found, ref);
}

void TListComps::DefCButtonClick() {
  if (!ReadHighlighted()) return;
  // The company chosen here is the one the main window opens, even after the open company was
  // edited: only a choice of the open company itself reads it anew.
  if (!IsOpenCompany(CompanyWorkRec)) CurrentCompanyEdited = false;
  defaultChosen_ = true;
  SetModalResult(mrOk);
}

void TListComps::SpeedButton4Click() {
  const TModalResult order =
      MessageBox("The companies will be sorted by name. Would you rather sort by company number?",
                 "Company List", MsgButtons::YesNoCancel, MsgIcon::Question, mrNo);
  if (order == mrCancel) return;
  const bool byNumber = order == mrYes;

  storage::TStatForm& progress = storage::EnsureStatForm();
  progress.SetCaption("Company List");
  progress.ClearStatusLines();
  progress.Label1->setText("Preparing list...");
  progress.Show();
  TListWindow& list = CreateListWindow();
  list.SetCaption(byNumber ? "Company List by Number" : "Company List by Name");
  ListWindowFileName = "Company";

  std::vector<std::string> lines = CompanyListHeading(platform::text::Now());
  const bool read = forms::ReadAll("Company List", [&] {
    ForEachRecordByKey<CompanyRec>(CompanyFile, byNumber ? 1 : 2, [&](const CompanyRec& company) {
      std::vector<std::string> entry = CompanyListEntry(company);
      lines.insert(lines.end(), entry.begin(), entry.end());
    });
  });
  const bool loaded = read && LoadListReport(lines);
  progress.Close();
  if (loaded) ShowLoadedListReport();
}

void TListComps::CopyToAnotherCompany(const char* mode) {
  CopyDataMode = mode;
  CreateProdCopy().ShowModal();
}

void TListComps::CopyProductstoAnotherCompany1Click() {
  CopyToAnotherCompany("P");
}

void TListComps::CopyVendorstoAnotherCompany1Click() {
  CopyToAnotherCompany("V");
}

void TListComps::CopyCustomerstoAnotherCompany1Click() {
  CopyToAnotherCompany("C");
}

// The browser stays on the highlighted company in the new order.
void TListComps::SetKeyNumber(int32_t keyNr) {
  Code1->setChecked(keyNr == 1);
  ByDescription1->setChecked(keyNr == 2);
  CompanyKeyNumber = keyNr;
  const bool highlighted = ReadHighlightedRow(*RecBrowser1);
  const CompanyRec shown = CompRec;
  const storage::IsamRecRef ref = RecBrowser1->BrowserCurrentRef();
  RecBrowser1->BrowserSetKeyNumber(keyNr);
  if (highlighted) PositionOn(shown, ref);
  ShowCount();
}

void TListComps::Code1Click() {
  SetKeyNumber(1);
}

void TListComps::ByDescription1Click() {
  SetKeyNumber(2);
}

void TListComps::PrintWindow1Click() {
  forms::PrintWindowShowingWhere(*this);
}

void TListComps::SpeedButton3Click() {
  Application->HelpJump("CompanyManager");
}

}  // namespace companies
