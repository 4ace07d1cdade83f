#pragma once
// A company of the tests' own in the scratch directory: its record filed in the company list as
// the open company, and the data files a test needs created and opened, empty.

#include <initializer_list>

#include "records/company_rec.h"

namespace testing_support {

// The data files of a company a test can ask for.
enum class CompanyFile {
  Customers,
  Products,
  Invoices,
  InvoiceLines,
  InvoiceMemos,
  Vendors,
  POHeaders,
  POLines,
  POMemos
};

// Company "12", "Acme Supply", as the books tests keep it: dates typed month first, no invoice
// number prefix, aging limits of 30/60/90 days, no receivables, the next invoice 1001.
records::CompanyRec BooksCompanyRecord();

// Makes `company` the open company, files it in a new company list and creates and opens the
// files; false (with the engine's error in IsamError) when any of it fails.
bool OpenScratchCompany(const records::CompanyRec& company, std::initializer_list<CompanyFile> files);
// The same, filing the company in the company list that is there.
bool AddScratchCompany(const records::CompanyRec& company, std::initializer_list<CompanyFile> files);

// Files small books into the open company's customer, invoice and product files (closed again
// afterwards): customer C1 "Acme Tools" of 1 Main St owing 100.00 on invoice 10010 of 2 November
// 2026, and product P1 "Widget".
void FileSmallBooks();

// The files of the scratch folder as they stand, kept aside in its folder "books"; and put back
// over whatever a run changed, so that every run of a sweep starts from the same books.
void KeepBooksAside();
void PutBooksBack();

}  // namespace testing_support
