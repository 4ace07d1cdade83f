#include "purchasing/vendor_dialog.h"

#include <QLabel>
#include <QVBoxLayout>

#include "forms/address_entry.h"
#include "forms/form_instance.h"
#include "forms/unusable_file.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "records/vendor_file.h"

namespace purchasing {

using namespace records;
using namespace forms;

using platform::text::ToAnsi;
using platform::text::TrimBlanks;
using namespace platform::ui;

std::string VendorDialogMode = "0";
std::string StoredVendorNumber = "0";
TVendEdit* VendEdit = nullptr;

TVendEdit& CreateVendEdit() {
  return FormInstance(VendEdit);
}

TVendEdit::TVendEdit(QWidget* parent)
    : AddressDialog(parent, "Hold / &Inactive Account", "Newvendor"),
      VenEMAdd(EMailField()),
      NotesOnInv(new QCheckBox("Print notes / comments on PO's", this)) {
  SetCaption("Edit Vendor");
  Button1->setText("Copy Order Address &to Shipping");  // a vendor has an order address, not a billing one
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
  layout->addLayout(AddressRows("Or&der Address:"));
  layout->addWidget(new QLabel("Notes / Comments:", this));
  layout->addWidget(CstNote);
  layout->addWidget(NotesOnInv);
  layout->addLayout(ButtonRow());
  OrderTabs({CNo, CName, ShortName, CustType, CTerms, CTE, MListCode, VenEMAdd}, {NotesOnInv});
}

void TVendEdit::FormShow() {
  ShowForEntry(VendorDialogMode == "0");
}

bool TVendEdit::NumberTakenByAnother() const {
  return TakenByAnother(VendorUnit(), BuildVendorKey, 2, &VendorRec::VendorNo, &VendorRec::VendorNo,
                        CNo->text(), StoredVendorNumber);
}

bool TVendEdit::NameTakenByAnother() const {
  return TakenByAnother(VendorUnit(), BuildVendorKey, 1, &VendorRec::VendorName, &VendorRec::VendorNo,
                        CName->text(), StoredVendorNumber);
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
  SetModalResult(mrOk);
}

}  // namespace purchasing
