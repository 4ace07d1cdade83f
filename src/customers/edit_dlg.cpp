#include "customers/edit_dlg.h"

#include <QVBoxLayout>

#include "customers/customer_actions.h"
#include "forms/address_entry.h"
#include "forms/form_instance.h"
#include "forms/unusable_file.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/customer_file.h"
#include "records/customer_rec.h"
#include "records/number_counter.h"
#include "records/record_file.h"

namespace customers {

using namespace records;
using namespace forms;

using platform::text::StripCommas;
using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using namespace platform::ui;

TEditDlg* EditDlg = nullptr;

TEditDlg& CreateEditDlg() {
  return FormInstance(EditDlg);
}

TEditDlg::TEditDlg(QWidget* parent)
    : AddressDialog(parent, "Credit Hol&d / Inactive Account", "NewCustomer"),
      CLimit(LimitedEdit(this, 10)),
      CBal(new QLabel(this)),
      EMAdd(EMailField()),
      GroupBox1(new QGroupBox("Overrides Sales Message (see help) ", this)),
      NotesOnInv(new QCheckBox("Print notes/special comments on invoices", GroupBox1)),
      NotesOnStmnt(new QCheckBox("Print notes/ special comments on statements", GroupBox1)) {
  SetCaption("Edit Record");
  AskBeforeDiscarding("Discard this customer?");
  CBal->setFrameShape(QFrame::Panel);
  CBal->setFrameShadow(QFrame::Sunken);
  auto* overrides = new QVBoxLayout(GroupBox1);
  overrides->addWidget(NotesOnInv);
  overrides->addWidget(NotesOnStmnt);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(FieldRows({{"C&ustomer #:", CNo},
                               {"Customer / Company Name:", CName},
                               {"Short Name:", ShortName},
                               {"Customer Type:", CustType},
                               {"Payment Terms:", CTerms},
                               {"Credit Limit:", CLimit},
                               {"TE:", CTE},
                               {"Balance:", CBal},
                               {"&Mail List Sort Code:", MListCode},
                               {"&E-Mail:", EMAdd}}));
  layout->addLayout(AddressRows("&Billing Address:"));
  layout->addWidget(new QLabel("Notes / Special Comments:", this));
  layout->addWidget(CstNote);
  layout->addWidget(GroupBox1);
  layout->addLayout(ButtonRow());
  OrderTabs({CNo, CName, ShortName, CustType, CTerms, CLimit, CTE, MListCode, EMAdd},
            {NotesOnInv, NotesOnStmnt});
}

void TEditDlg::FormShow() {
  ShowForEntry(DialogMode == "0");
}

bool TEditDlg::Refuse(const QString& text, const QString& title, QWidget* field) {
  return RefuseField(text, title, field);
}

bool TEditDlg::CheckEMailAddress() {
  return CheckEMailField(EMAdd, "customer", "Invalid e-mail address.");
}

std::optional<std::string> TEditDlg::OwnNumber() const {
  if (DialogMode == "0") return std::nullopt;
  return ReferenceNo;
}

bool TEditDlg::NumberTakenByAnother() const {
  return TakenByAnother(CustomerUnit(), BuildCustomerKey, 2, &CustomerRec::CustomerNo,
                        &CustomerRec::CustomerNo, CNo->text(), OwnNumber());
}

bool TEditDlg::NameTakenByAnother() const {
  return TakenByAnother(CustomerUnit(), BuildCustomerKey, 1, &CustomerRec::CustomerName,
                        &CustomerRec::CustomerNo, CName->text(), OwnNumber());
}

void TEditDlg::OKBtnClick() {
  if (TrimBlanks(ToAnsi(CNo->text())).empty()) {
    Refuse("You must enter a customer number.", "Customer Number", CNo);
    return;
  }
  if (TrimBlanks(ToAnsi(CName->text())).empty()) {
    Refuse("You must enter a customer name.", "Customer Name", CName);
    return;
  }
  CNameExit();
  if (!CheckEMailAddress()) return;
  if (!forms::CheckReads(Caption(), [this] {
        return NumberAndNameFree(
            "customer", CNo, [this] { return NumberTakenByAnother(); }, CName,
            [this] { return NameTakenByAnother(); });
      }))
    return;
  const std::string limit = StripCommas(ToAnsi(CLimit->text()));
  if (!limit.empty() && !platform::text::TryStrToFloat(limit)) {
    Refuse("The CREDIT LIMIT amount has an invalid value.", "Credit Limit", CLimit);
    return;
  }
  // Told before the counter goes on from the new number: no number will be offered after it.
  if (const auto ended = EndedByTypedNumber(CustomerNumberCounter, ToAnsi(CNo->text()));
      ended && !OwnNumber())
    MessageBox(ToQString(*ended), "Customer Number", MsgButtons::Ok, MsgIcon::Information);
  SetModalResult(mrOk);
}

}  // namespace customers
