#pragma once
// Importing customers and vendors (and any record kind laid out like them: number, name, billing and
// shipping addresses, phones, type, short name, sort code, e-mail) from the rows of an import
// grid. The records are appended to the open file without index keys; the file set is rebuilt
// afterwards.
//
// Grid columns: 0 name, 1 number, 2-5 billing address, 6-9 shipping address, 10 phone 1,
// 11 phone 2, 12 type, 13 short name, 14 mail/sort code, 15 e-mail.
//
// Numbering: a row without a number gets the next counter value, starting one past the larger
// of the company's next number and the largest number on file (each counted by its leading
// digits), and stepping past numbers already on file or given in the run. A number given in the
// row that is taken already gets a "B" appended while it has room for one. A name that is taken
// already gets " " + the number, the name shortened so that it stays within the name's key.
// The company's next number is then set to the counter. The records and the company's next number
// are one posting, named for the user ("the import of customers"): on file whole, or not at all.

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "exchange/import_keys.h"
#include "records/company_rec.h"
#include "records/number_counter.h"
#include "storage/data_file_unit.h"

namespace exchange {

struct AccountImportKind {
  std::string Posting;                         // the import in the user's words
  storage::DataFileUnit& (*Unit)() = nullptr;  // the open file the records go to
  int NameKey = 1;
  int NumberKey = 2;
  TextField Number;
  TextField Name;
  TextField ShortName;
  // Where each grid column goes; columns 0 and 1 (name, number) follow the rules above.
  std::array<TextField, ImportColumns> Columns;
  std::array<TextField, 4> Billing;
  std::array<TextField, 4> Shipping;
  // Fields every imported record starts with ("0.00" amounts, "N" options).
  std::vector<std::pair<TextField, std::string>> Defaults;
  TextField Terms;
  std::function<std::string()> TermsText;
  TextField CompanyCounter;        // the company's next number for this kind
  records::NumberCounter Counter;  // the numbers it gives: no wider than the number field
};

// The kinds of the customer and the vendor file.
const AccountImportKind& CustomerImportKind();
const AccountImportKind& VendorImportKind();

// Imports the rows into the kind's open file and saves the company's next number, as one posting:
// storage::PostingFailed when it could not be made whole (nothing of it is kept). With forceShip
// the shipping address is the billing address.
ImportResult ImportAccounts(const AccountImportKind& kind, const std::vector<ImportRow>& rows, bool forceShip,
                            const ImportProgress& progress = {});

// The short name made from a name when none is given: the first character followed by up to 9
// characters after the first blank, or the first 10 characters of a name without blanks.
std::string DerivedShortName(const std::string& name);

}  // namespace exchange
