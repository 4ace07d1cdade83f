#include "records/company_rec.h"

#include <algorithm>

#include "platform/text/key_text.h"
#include "records/record_key.h"

namespace records {

using platform::text::TrimBlanks;

CompanyRec CurrentCompany;
CompanyRec CompanyWorkRec;
FontRec InvoiceHeaderFonts[6];

storage::IsamKeyStr BuildCompanyKey(const CompanyRec& record, int keyNr) {
  switch (keyNr) {
    case 1:
      return KeyOfText(record.CompanyNumber.View(), CompanyKeyDescs[0].KeyLength);
    case 2:
      return KeyOfText(record.CompanyName.View(), CompanyKeyDescs[1].KeyLength);
    default:
      return {};
  }
}

namespace {

bool IsAsciiLetterOrDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

bool IsValidCompanyNumber(std::string_view number) {
  std::string trimmed = TrimBlanks(number);
  if (trimmed.empty() || trimmed.size() > decltype(CompanyRec::CompanyNumber)::Capacity()) return false;
  if (!std::all_of(trimmed.begin(), trimmed.end(), IsAsciiLetterOrDigit)) return false;
  return trimmed.back() >= '0' && trimmed.back() <= '9';
}

std::optional<std::string> DataFileBaseName(std::string_view companyNumber, std::string_view fileCode) {
  if (!IsValidCompanyNumber(companyNumber)) return std::nullopt;
  return (TrimBlanks(companyNumber) + std::string(fileCode)).substr(0, 8);
}

bool IsCompanyOpen(const CompanyRec& company) {
  return !TrimBlanks(company.CompanyNumber.Get()).empty();
}

CompanyRec NewCompanyRecord(const CompanyRec& current) {
  CompanyRec record = IsCompanyOpen(current) ? current : DefaultCompanyRecord();
  record.CompanyARBalance.Set("0.00");
  record.PrintLogo = 0;
  record.LogoFile.Set("");
  record.LastAgingDate.Set(" ");
  record.LastInterestInvoicesDate.Set(" ");
  record.LastBatchRun.Set(" ");
  record.NextDepositNumber.Set(" ");
  record.StatementNote.Set(" ");
  record.POSignature1.Set("This PO is issued according to the terms of our Operating Agreement");
  record.POSignature2.Set("Purchasing Agent Signature: ___________________________");
  return record;
}

void PrepareNewCompanyRecord() {
  CompanyWorkRec = NewCompanyRecord(CurrentCompany);
  std::array<FontRec*, 6> fonts = CompanyWorkRec.HeadingFonts();
  for (std::size_t i = 0; i < fonts.size(); ++i) InvoiceHeaderFonts[i] = *fonts[i];
}

}  // namespace records
