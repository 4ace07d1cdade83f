#pragma once
// The company's browser font: the fixed-pitch font of the managers' lists and of the list
// window, kept in the company record as separate name, size, colour and style fields.

#include "platform/ui/common_dialogs.h"
#include "records/company_rec.h"

namespace forms {

platform::ui::FontChoice CompanyBrowserFont(const records::CompanyRec& company);

}  // namespace forms
