#include "invoicing/invoice_add.h"

#include <cstring>
#include <utility>

#include "forms/entry_parts.h"
#include "forms/run_state.h"
#include "forms/shipping_address_dialog.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/message_box.h"
#include "platform/ui/modal_result.h"
#include "records/company_rec.h"
#include "records/invoice_file.h"
#include "storage/posting_journal.h"

namespace invoicing {

using platform::text::ToQString;
using platform::text::TrimBlanks;
using records::CurrentCompany;

namespace {

void ClearShipTo() {
  forms::TPOShipWin& shipTo = forms::CreatePOShipWin();
  for (QLineEdit* line : {shipTo.Edit1, shipTo.Edit2, shipTo.Edit3, shipTo.Edit4}) line->clear();
}

}  // namespace

void PrepareInvoiceFormForAdd(TProdInv& form) {
  InvoiceFormMode = 0;
  InitialInvoiceNumber.reset();
  InitialAmountDue = "0.00";
  MemoInvoiceFlag = 0;
  for (int row = 1; row <= kInvoiceLines; ++row) form.OldLineQuantities(row) = "0";

  for (QLabel* aging : {form.Acur, form.A30, form.A60, form.A90}) aging->clear();
  form.Button1->setEnabled(false);
  records::InvoiceBuf = records::InvoiceRec{};

  form.SetCaption(ToQString("Add Invoice - Company: " + CurrentCompany.CompanyName.Get() + " - #" +
                            CurrentCompany.CompanyNumber.Get()));
  form.ClearInvoiceLines();
  form.IDate->setText(ToQString(forms::LastInvoiceDate));

  form.INVNOTES->clear();
  form.IStmntNote->setText(ToQString(records::InvoiceBuf.StatementComment.Get()));
  form.KeyCode->setText("None");
  for (QLabel* label : {form.ICredLimit, form.CBal}) label->clear();
  form.MemoPDesc->clear();
  form.IPaid->setText("0.00");
  form.MemoQuan->setText("1");
  form.EBTaxRate->setText(ToQString(TrimBlanks(CurrentCompany.DefaultTaxRate.Get())));
  ClearShipTo();

  const bool memo = CurrentCompany.DefaultInvoiceKind.Get() != "P";
  records::InvoiceBuf.Body.Set(memo ? "M" : "P");
  MemoInvoiceFlag = memo ? 1 : 0;
  form.Memo1->clear();
}

std::optional<AddedInvoice> EnterNewInvoice(TProdInv& form) {
  std::optional<AddedInvoice> added;
  PostingHookScope hook([&added](const EnteredInvoice& invoice) {
    AddedInvoice result;
    result.PrintRequested = invoice.PrintInvoice;
    const bool stored = forms::PostedWhileFormIsUp([&] {
      result.Posted = storage::RunPosting("invoice " + TrimBlanks(invoice.Number), [&] {
        PostedInvoice posted = PostNewInvoice(invoice);
        if (forms::ExternalInvoiceMode) WriteAnswerFile(posted.AnswerLines);
        return posted;
      });
    });
    if (!stored) return false;
    result.Record = records::InvoiceBuf;  // as the posting stored it
    // The next invoice starts from the date of this one.
    forms::LastInvoiceDate = invoice.Date;
    added = std::move(result);
    return true;
  });
  if (form.ShowModal() != platform::ui::mrOk) return std::nullopt;
  if (added && !added->Posted.CounterNote.empty())
    platform::ui::MessageBox(ToQString(added->Posted.CounterNote), "Invoice Number",
                             platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Information);
  return added;
}

}  // namespace invoicing
