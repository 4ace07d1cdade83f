#include "invoicing/customer_pick.h"

#include "customers/customer_manager.h"
#include "forms/unusable_file.h"
#include "platform/text/key_text.h"
#include "records/customer_file.h"

namespace invoicing {

bool PickCustomer(const std::string& shownName, const std::string& shownNumber) {
  customers::TDemoForm& manager = customers::CreateDemoForm();
  if (!forms::PickerFileOpens(records::CustomerUnit(), manager.Caption())) return false;
  manager.SetStatusText(1, kDoubleClickToSelect);
  customers::CustomerPickMode = 1;
  records::SelectedCustomer.CustomerName.Set(shownName);
  records::SelectedCustomer.CustomerNo.Set(shownNumber);
  const platform::ui::TModalResult result = manager.ShowModal();
  customers::CustomerPickMode = 0;
  manager.SetStatusText(1, kRightClickForMenu);
  return result == platform::ui::mrOk &&
         !platform::text::TrimBlanks(records::SelectedCustomer.CustomerName.Get()).empty();
}

}  // namespace invoicing
