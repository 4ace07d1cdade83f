#include "invoicing/invoice_file.h"

#include "app/find_modes.h"
#include "app/records/stored_amount.h"
#include "invoicing/invoice_rec.h"

namespace invoicing {

storage::IsamFileBlock InvoiceFile = nullptr;

void AddInvoiceFindMode() {
  app::FindModeDef mode;
  mode.Mode = "Inv";
  mode.File = &InvoiceFile;
  mode.RecordLength = sizeof(InvoiceRec);
  mode.Columns = {{{"Year/Mo/Dy", 80},
                   {"Invoice#", 60},
                   {"Customer#", 75},
                   {"Key Code", 75},
                   {"Invoice Total", 100},
                   {"Short Name", 80},
                   {"Notes/Comments/Reference", 400}}};
  mode.SearchedFields = [](const void* record) {
    const auto& r = *static_cast<const InvoiceRec*>(record);
    return std::vector<std::string>{r.InvCustomerNo.Get(), r.SortDate.Get(), r.InvoiceNo.Get(),
                                    r.KeyCode.Get(),       r.Notes.Get(),    r.ShortName.Get()};
  };
  mode.Row = [](const void* record) {
    const auto& r = *static_cast<const InvoiceRec*>(record);
    return app::FindRow{r.SortDate.Get(),
                        r.InvoiceNo.Get(),
                        r.InvCustomerNo.Get(),
                        r.KeyCode.Get(),
                        app::FormatStoredAmount(r.InvTotal.Get(), ",.00"),
                        r.ShortName.Get(),
                        r.Notes.Get()};
  };
  app::AddFindMode(std::move(mode));
}

}  // namespace invoicing
