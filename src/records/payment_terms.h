#pragma once
// Payment terms: the list of terms offered in every terms drop-down, kept in "PVTERMS.DAT" in
// the program directory. Records store the chosen term's text itself, so editing the list never
// changes a stored record.
//
// PVTERMS.DAT: plain Windows-1252 text, one term per line, in list order, each line ended by
// CR LF. Reading also takes lines ended by LF or CR alone, as other editors may leave them.

#include <QComboBox>
#include <QStringList>
#include <string>
#include <string_view>

namespace records {

inline constexpr std::string_view PaymentTermsFileName = "PVTERMS.DAT";

// The terms on file; a missing file is an empty list. An unreadable one is reported and reads
// as empty.
QStringList LoadPaymentTerms();
// Writes the whole list; a failure is reported and gives false.
[[nodiscard]] bool SavePaymentTerms(const QStringList& terms);
// The terms of a terms file's bytes, one a line.
QStringList SplitPaymentTerms(const std::string& bytes);
// Appends to the file the terms it does not hold yet (letter case aside), in their order, and
// keeps every term it has. The number appended; -1 when the file could not be written.
int MergePaymentTerms(const QStringList& terms);

// The terms a first start writes: the one the new-company defaults use and a few common ones.
QStringList DefaultPaymentTerms();
// A first start: writes the default terms when the directory has no terms file, so that no
// terms list starts empty. True when the file is there afterwards.
[[nodiscard]] bool CreatePaymentTermsFileIfMissing();

// A terms drop-down, when its window is shown: its items become the terms on file.
void LoadPaymentTermsInto(QComboBox& terms);

// The new-term check on OK of an entry form. A term that is not in the drop-down's list (letter
// case aside) brings the question whether to add it: Yes adds it to the list and the file, No
// goes on without it, Cancel keeps the form open with the focus on the terms box. True when the
// form may go on.
[[nodiscard]] bool ConfirmPaymentTerm(QComboBox& terms);

}  // namespace records
