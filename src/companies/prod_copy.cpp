#include "companies/prod_copy.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <array>
#include <optional>

#include "companies/comp_set.h"
#include "forms/form_instance.h"
#include "forms/unusable_file.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/company_data_files.h"
#include "records/company_rec.h"

namespace companies {

using namespace records;
using namespace forms;

std::string CopyDataMode = "P";
TProdCopy* ProdCopy = nullptr;

TProdCopy& CreateProdCopy() {
  return FormInstance(ProdCopy);
}

namespace {

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::ui::MessageBox;
using platform::ui::MsgButtons;

struct CopyKind {
  const char* mode;
  std::string_view fileCode;
  const char* plural;  // "products", as the texts name the kind
};

constexpr std::array<CopyKind, 3> CopyKinds = {{
    {"P", FileCodeProducts, "products"},
    {"V", FileCodeVendors, "vendors"},
    {"C", FileCodeCustomers, "customers"},
}};

const CopyKind& KindOf(const std::string& mode) {
  for (const CopyKind& kind : CopyKinds)
    if (mode == kind.mode) return kind;
  return CopyKinds[0];
}

QString Capitalised(const char* word) {
  QString text = word;
  text[0] = text[0].toUpper();
  return text;
}

}  // namespace

TProdCopy::TProdCopy(QWidget* parent) : Form(parent) {
  Label1 = new QLabel(this);
  Label1->setWordWrap(true);
  Label2 = new QLabel("Enter Destination Company Number:", this);
  Edit1 = new QLineEdit("0", this);
  Edit1->setFixedWidth(80);
  Button1 = new QPushButton("&OK", this);
  Button2 = new QPushButton("&Cancel", this);
  Button3 = new QPushButton("&Help", this);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  BindModalResult(Button2, platform::ui::mrCancel);
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });

  auto* entry = new QHBoxLayout;
  entry->addWidget(Label2);
  entry->addWidget(Edit1);
  entry->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addLayout(entry);
  layout->addLayout(buttons);
  resize(460, 160);
}

void TProdCopy::FormShow() {
  const CopyKind& kind = KindOf(CopyDataMode);
  SetCaption(QString("Copy %1 to Another Company").arg(Capitalised(kind.plural)));
  Label1->setText(
      QString("This option will copy the current %1 for this company (number %2) to the company number "
              "you enter below.")
          .arg(kind.plural)
          .arg(ToQString(TrimBlanks(CurrentCompany.CompanyNumber.Get()))));
}

void TProdCopy::Button3Click() {
  platform::ui::Application->HelpJump("CopyData");
}

void TProdCopy::Button1Click() {
  const std::string number = TrimBlanks(ToAnsi(Edit1->text()));
  if (!CheckDestination(number)) {
    SetModalResult(platform::ui::mrNone);
    return;
  }
  SetModalResult(platform::ui::mrOk);
  // A destination file that cannot be read is said: it is no empty company to copy over.
  if (!forms::CheckReads(Caption(), [&] { return DestinationMayBeOverwritten(number); })) return;
  CopyTo(number);
}

bool TProdCopy::CheckDestination(const std::string& number) {
  const CompanyNumberEntry entry = CheckCompanyNumberEntry(number);
  if (entry == CompanyNumberEntry::NotNumeric) {
    platform::ui::ShowMessage("That is not a valid company number. It must be numeric only.");
    Edit1->setFocus();
    return false;
  }
  if (entry == CompanyNumberEntry::OutOfRange) {
    MessageBox("The Company number must be between 0 and 32001.", "Invalid Company Number");
    return false;
  }
  if (number == TrimBlanks(CurrentCompany.CompanyNumber.Get())) {
    MessageBox(
        "You are trying to copy the product file to the current default company. Enter a different company "
        "number to "
        "copy the products to.",
        "Default Company");
    return false;
  }
  return true;
}

bool TProdCopy::DestinationMayBeOverwritten(const std::string& number) {
  if (CopyDataMode == "V") {
    if (CountCompanyFileEntries(number, FileCodePurchaseOrders) == 0) return true;
    MessageBox(
        "The destination company has POs on file. Overwritting those vendors is not supported. Use the "
        "EXPORT and "
        "IMPORT features in the Vendor Manager to export these vendors, then open the destination company "
        "and import "
        "them.",
        "POs and Vendors Exist");
    return false;
  }
  if (CopyDataMode == "C") {
    if (CountCompanyFileEntries(number, FileCodeInvoices) == 0) return true;
    MessageBox(
        "The destination company has invoices on file. Overwritting those customers is not supported. Use "
        "the EXPORT "
        "and IMPORT features in the Customer Manager to export these customers, then open the destination "
        "company "
        "and import them.",
        "Invoices and Customers Exist");
    return false;
  }
  if (CountCompanyFileEntries(number, FileCodeProducts) == 0) return true;
  return MessageBox(
             "Warning! Products exist in the destination company. If you continue, those products will be "
             "overwritten with these products. Continue?",
             "Products Exist", MsgButtons::YesNo) == platform::ui::mrYes;
}

void TProdCopy::CopyTo(const std::string& number) {
  const CopyKind& kind = KindOf(CopyDataMode);
  if (RefuseWhileJournalWaits(std::string("The ") + kind.plural, "copied", Caption())) return;
  std::string failure;
  if (!CopyCompanyFiles(CurrentCompany.CompanyNumber.Get(), number, kind.fileCode, &failure)) {
    platform::ui::ShowMessage(QString("Unable to copy %1: %2.").arg(kind.plural, ToQString(failure)));
    return;
  }
  if (CopyDataMode == "C")
    MessageBox(
        "The customer balances were also transfered to the new company. After you enter your first invoice "
        "in the new "
        "company, run the Aging Chart on the Tools Menu to re-calculate customer balances.",
        "Please Note Customer Balances!");
  MessageBox(
      "The required files have been copied to specified company. To use it, open that company or create a "
      "new "
      "company using the company number you entered.",
      "Copy Complete");
}

}  // namespace companies
