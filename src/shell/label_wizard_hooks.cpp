#include "shell/label_wizard_hooks.h"

#include "customers/customer_manager.h"
#include "forms/unusable_file.h"
#include "invoicing/customer_pick.h"
#include "platform/text/key_text.h"
#include "products/product_manager.h"
#include "purchasing/vendor_manager.h"
#include "records/customer_file.h"
#include "records/customer_rec.h"
#include "records/product_file.h"
#include "records/vendor_file.h"
#include "records/vendor_rec.h"
#include "reports/label_wizard.h"

namespace shell {

namespace {

using invoicing::kDoubleClickToSelect;
using invoicing::kRightClickForMenu;
using platform::text::TrimBlanks;

// Shows a manager modally while its status panel says how to pick; the picked record is then in
// `buffer`, whose key text was cleared first and stays empty when none was picked. A file the
// manager cannot open is said, and nothing is picked.
template <class Record, class Field>
std::optional<Record> PickInto(Record& buffer, Field Record::*keyText, platform::ui::Form& manager,
                               storage::DataFileUnit& file,
                               const std::function<void(const QString&)>& setPanel) {
  if (!forms::PickerFileOpens(file, manager.Caption())) return std::nullopt;
  (buffer.*keyText).Set("");
  setPanel(kDoubleClickToSelect);
  manager.ShowModal();
  setPanel(kRightClickForMenu);
  if (TrimBlanks((buffer.*keyText).Get()).empty()) return std::nullopt;
  return buffer;
}

std::optional<records::CustomerRec> PickCustomer() {
  customers::TDemoForm& manager = customers::CreateDemoForm();
  return PickInto(records::SelectedCustomer, &records::CustomerRec::CustomerName, manager,
                  records::CustomerUnit(), [&](const QString& text) { manager.SetStatusText(1, text); });
}

std::optional<records::VendorRec> PickVendor() {
  purchasing::TVenList& manager = purchasing::CreateVenList();
  return PickInto(records::VendorBuf, &records::VendorRec::VendorName, manager, records::VendorUnit(),
                  [&](const QString& text) { manager.SetStatusText(1, text); });
}

std::optional<records::ProductRec> PickProduct() {
  products::TEditProd& manager = products::CreateEditProd();
  return PickInto(products::SelectedProduct, &records::ProductRec::Description, manager,
                  records::ProductUnit(), [&](const QString& text) { manager.StatusPanel1->setText(text); });
}

}  // namespace

void InstallLabelWizardHooks() {
  const reports::Tlblwiz& wizard = reports::Createlblwiz();
  customers::AddCustomerPicker(&wizard);
  purchasing::VendorPickers.Add(&wizard);
  products::AddProductPicker(&wizard);
  reports::LabelHooks = {PickCustomer, PickVendor, PickProduct};
}

void ForgetLabelWizardHooks() {
  reports::LabelHooks = {};
}

}  // namespace shell
