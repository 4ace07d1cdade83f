#pragma once
// The fixed exports for the outside contact manager: every customer into "CPCUST.TXT", every
// vendor into "CPVEND.TXT", in the current directory. One line per record in key-1 order (by
// name), ended by CR LF, no header; 19 fields, each trimmed and in double quotes (a double quote
// inside a field doubled), separated by commas:
//
//   1 name, 2 number, 3-6 billing address, 7-10 shipping address, 11 phone 1, 12 phone 2,
//   13 type, 14 short name, 15 mail list sort code, 16 e-mail, 17 balance, 18 last payment,
//   19 notes
//
// A record whose name, trimmed, is one character or none writes no line. Neither asks the user
// anything; each ends with a message giving the number of records written.

namespace exchange {

void ContactManagerExportCustomers();
void ContactManagerExportVendors();

}  // namespace exchange
