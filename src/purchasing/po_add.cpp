#include "purchasing/po_add.h"

#include <optional>

#include "forms/entry_parts.h"
#include "forms/manager_window.h"
#include "forms/run_state.h"
#include "forms/shipping_address_dialog.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/message_box.h"
#include "purchasing/po_posting.h"
#include "records/company_rec.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/po_header_rec.h"
#include "records/record_file.h"

namespace purchasing {

using platform::text::ToQString;
using platform::text::TrimBlanks;
using records::CurrentCompany;

void PreparePOFormForAdd(TPOEdit1& form) {
  POEntryMode = 0;
  StoredPONumber.reset();
  POMemoMode = 0;
  StoredPOTotal = "0.00";
  records::POHeaderBuf = records::POHeaderRec{};
  form.SetCaption(ToQString("Add PO - Company: " + CurrentCompany.CompanyName.Get() + " - #" +
                            CurrentCompany.CompanyNumber.Get()));
  form.ClearPOLines();
  form.IDate->setText(ToQString(forms::LastPODate));
  form.MEDateReq->setText(ToQString(forms::LastPODateRequired));
  form.ARecDate->setText(ToQString(forms::LastPOReceivedDate));
  for (QLineEdit* box : {form.INVNOTES, form.POSName, form.MemoPDesc}) box->clear();
  for (QLabel* label : {form.ICustName, form.ICustNo}) label->clear();
  form.KeyCode->setText("None");
  form.MemoQuan->setText("1");
  form.Sig1->setText(ToQString(CurrentCompany.POSignature1.Get()));
  form.Sig2->setText(ToQString(CurrentCompany.POSignature2.Get()));
  form.POTaxRate->setText(ToQString(TrimBlanks(CurrentCompany.DefaultTaxRate.Get())));
  forms::TPOShipWin& shipTo = forms::CreatePOShipWin();
  shipTo.Edit1->setText(ToQString(CurrentCompany.POShipTo1.Get()));
  shipTo.Edit2->setText(ToQString(CurrentCompany.POShipTo2.Get()));
  shipTo.Edit3->setText(ToQString(CurrentCompany.POShipTo3.Get()));
  shipTo.Edit4->setText(ToQString(CurrentCompany.POShipTo4.Get()));
  const bool lineItems = CurrentCompany.DefaultPOKind.Get() == "P";
  records::POHeaderBuf.POKind.Set(lineItems ? "P" : "M");
  POMemoMode = lineItems ? 0 : 1;
  for (int row = 1; row <= kPOLines; ++row) form.OldLineQuantity(row) = "0";
  form.Memo1->clear();
}

bool AddPO(std::string* statusText, bool* printRequested) {
  records::FileForAction headers(records::POHeaderFile, records::OpenPOHeaderFile);
  records::FileForAction details(records::PODetailFile, records::OpenPODetailFile);
  records::FileForAction memos(records::POMemoFile, records::OpenPOMemoFile);
  if (!headers.Open() || !details.Open() || !memos.Open()) return false;
  if (forms::RefuseEntryWhilePostingWaits(records::POHeaderUnit(), "A new PO", "added", "New PO"))
    return false;
  TPOEdit1& form = CreatePOEdit1();
  PreparePOFormForAdd(form);
  std::optional<PostedPO> posted;
  bool print = false;
  const PostingHook hook(form, [&](const EnteredPO& po) {
    print = po.PrintWhenDone;
    return forms::PostedWhileFormIsUp([&] { posted = PostNewPO(po); });
  });
  if (form.ShowModal() != platform::ui::mrOk || !posted) return false;
  if (!posted->CounterNote.empty())
    platform::ui::MessageBox(ToQString(posted->CounterNote), "PO Number", platform::ui::MsgButtons::Ok,
                             platform::ui::MsgIcon::Information);
  if (statusText) *statusText = posted->StatusText;
  if (printRequested) *printRequested = print && !posted->StatusText.empty();
  return true;
}

}  // namespace purchasing
