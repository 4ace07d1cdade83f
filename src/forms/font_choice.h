#pragma once
// A font of the company record (FontRec) as the font dialog and the widgets take it, and back.

#include <QColor>
#include <QFont>
#include <QLabel>

#include "platform/ui/common_dialogs.h"
#include "records/company_rec.h"
#include "records/font_rec.h"

namespace forms {

platform::ui::FontChoice FontChoiceOf(const records::FontRec& font);
// Stores the choice in the record: the name cut to the 32 characters the record holds.
void StoreFontChoice(records::FontRec& font, const platform::ui::FontChoice& choice);

// The editor font of a company record (the company caption and the entry forms' titles); the
// widget's own font where the record names none.
QFont CompanyEditorFont(const records::CompanyRec& company, const QFont& fallback);
QColor CompanyEditorColor(const records::CompanyRec& company);
// Gives a caption (the company's name above a manager's list) the company's editor font and
// colour.
void ApplyCompanyEditorFont(QLabel& caption, const records::CompanyRec& company, const QFont& fallback);

}  // namespace forms
