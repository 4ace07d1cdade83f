#pragma once
// What the label wizard needs of the windows above it: the Customer, Vendor and Product Managers
// as pickers of one record for the queue, and the main window's printer set-up.

namespace shell {

// Makes the wizard known to the three managers as a picker and hands it the hooks.
void InstallLabelWizardHooks();
void ForgetLabelWizardHooks();

}  // namespace shell
