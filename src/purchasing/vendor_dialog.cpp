#include "purchasing/vendor_dialog.h"

#include <QLabel>
#include <QVBoxLayout>

#include "forms/address_entry.h"
#include "forms/form_instance.h"
#include "forms/unusable_file.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "records/number_counter.h"
#include "records/vendor_file.h"

namespace purchasing {

using namespace records;
using namespace forms;

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using namespace platform::ui;

std::string VendorDialogMode = "0";
std::string StoredVendorNumber = "0";
TVendEdit* VendEdit = nullptr;

TVendEdit& CreateVendEdit() {
  return FormInstance(VendEdit);
}

TVendEdit::TVendEdit(QWidget* parent)
    : AddressDialog(parent, "Hol&d / Inactive Account", "Newvendor"),
      VenEMAdd(EMailField()),
      NotesOnInv(new QCheckBox("Print notes / comments on PO's", this)) {
  SetCaption("Edit Vendor");
  AskBeforeDiscarding("Discard this vendor?");
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(FieldRows({{"&Vendor #:", CNo},
                               {"Vendor / Company Name:", CName},
                               {"Short Name:", ShortName},
                               {"Vendor Type:", CustType},
                               {"PO Payment Terms:", CTerms},
                               {"TE:", CTE},
                               {"Mail &List Sort Code:", MListCode},
                               {"&E-Mail:", VenEMAdd}}));
  layout->addLayout(AddressRows("&Order Address:"));
  layout->addWidget(new QLabel("Notes / Comments:", this));
  layout->addWidget(CstNote);
  layout->addWidget(NotesOnInv);
  layout->addLayout(ButtonRow());
  OrderTabs({CNo, CName, ShortName, CustType, CTerms, CTE, MListCode, VenEMAdd}, {NotesOnInv});
}

void TVendEdit::FormShow() {
  ShowForEntry(VendorDialogMode == "0");
  // A counter wider than a vendor number (as earlier versions kept it past 99999999) would be
  // offered cut short, below the last number: none is offered then, and the number is asked for.
  if (VendorDialogMode == "0" &&
      TrimBlanks(CurrentCompany.NextVendorNumber.Get()).size() > VendorNumberCounter.Width)
    CNo->clear();
}

std::optional<std::string> TVendEdit::OwnNumber() const {
  if (VendorDialogMode == "0") return std::nullopt;
  return StoredVendorNumber;
}

bool TVendEdit::NumberTakenByAnother() const {
  return TakenByAnother(VendorUnit(), BuildVendorKey, 2, &VendorRec::VendorNo, &VendorRec::VendorNo,
                        CNo->text(), OwnNumber());
}

bool TVendEdit::NameTakenByAnother() const {
  return TakenByAnother(VendorUnit(), BuildVendorKey, 1, &VendorRec::VendorName, &VendorRec::VendorNo,
                        CName->text(), OwnNumber());
}

void TVendEdit::OKBtnClick() {
  if (TrimBlanks(ToAnsi(CNo->text())).empty()) {
    RefuseField("You must enter a vendor number.", "Vendor Number", CNo);
    return;
  }
  if (TrimBlanks(ToAnsi(CName->text())).empty()) {
    RefuseField("You must enter a vendor name.", "Vendor Name", CName);
    return;
  }
  if (!CheckEMailField(VenEMAdd, "vendor", "Incomplete e-mail address.")) return;
  CNameExit();
  if (!forms::CheckReads(Caption(), [this] {
        return NumberAndNameFree(
            "vendor", CNo, [this] { return NumberTakenByAnother(); }, CName,
            [this] { return NameTakenByAnother(); });
      }))
    return;
  // Told before the counter goes on from the new number: no number will be offered after it.
  if (const auto ended = EndedByTypedNumber(VendorNumberCounter, ToAnsi(CNo->text())); ended && !OwnNumber())
    MessageBox(ToQString(*ended), "Vendor Number", MsgButtons::Ok, MsgIcon::Information);
  SetModalResult(mrOk);
}

}  // namespace purchasing
