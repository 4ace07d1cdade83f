#pragma once
// The company's browser font: the fixed-pitch font of the managers' lists and of the list
// window, kept in the company record as separate name, size, colour and style fields.

#include "app/records/company_rec.h"
#include "platform/ui/common_dialogs.h"

namespace app {

platform::ui::FontChoice CompanyBrowserFont(const CompanyRec& company);

}  // namespace app
