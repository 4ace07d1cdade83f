#pragma once
// The PO lines that the crash test's writer makes: record id in version v is fully determined
// by (id, v), and both can be read back from the record, so the checker knows what it sees.
// Versions move the record's key fields around, so updates change keys as well as data.

#include "records/po_detail_file.h"

using namespace records;

namespace storage::testing {

void FillCrashRecord(PODetailRec& rec, int id, int version);
// False when the record was not made by FillCrashRecord.
bool ReadCrashRecord(const PODetailRec& rec, int* id, int* version);

// The writer's protocol, one line per event on its standard output:
//   "R"            the file is open; killing may start
//   "B A id v"     begins adding id in version v      "B U id v"  begins updating id to v
//   "B D id"       begins deleting id                 "B R"       begins a rebuild
//   "E"            the operation begun last completed
//   "F text"       something failed that must not (the writer stops)

}  // namespace storage::testing
