#include "purchasing/vendor_actions.h"

#include <vector>

#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "records/company_file.h"
#include "records/number_counter.h"
#include "records/po_header_file.h"
#include "records/record_file.h"
#include "storage/posting_journal.h"

namespace purchasing {

using namespace records;

namespace {

// The vendor number key of the PO header file for a vendor number.
storage::IsamKeyStr POVendorKey(std::string_view number) {
  POHeaderRec header;
  header.VendorNo.Set(number);
  return BuildPOHeaderKey(header, 2);
}

// The PO header file for one action; left open when the PO Manager holds it (a vendor picked
// for PO entry).
struct POHeaderFileOpen : FileForAction {
  POHeaderFileOpen() : FileForAction(POHeaderFile, OpenPOHeaderFile) {}
};

}  // namespace

std::string ComparableText(std::string_view text) {
  return platform::text::UpperCase(platform::text::TrimBlanks(text));
}

std::optional<std::string> NextVendorNumberAfter(std::string_view entered) {
  const std::optional<int32_t> value = platform::text::TryStrToInt(platform::text::TrimBlanks(entered));
  if (!value) return std::nullopt;
  return records::CounterTextAfter(records::VendorNumberCounter, *value);
}

void AdvanceNextVendorNumber(std::string_view entered) {
  const std::optional<std::string> next = NextVendorNumberAfter(entered);
  if (!next) return;
  // Only a suggestion for the next new vendor; a failure to keep it was told there.
  (void)UpdateCurrentCompanyRecord([&](CompanyRec& company) { company.NextVendorNumber.Set(*next); });
}

int RenumberVendorPOs(std::string_view oldNumber, std::string_view newNumber) {
  return storage::RunPosting("the renumbering of vendor " + std::string(oldNumber), [&] {
    POHeaderFileOpen file;
    RequireDone(file.Open(), "The PO file could not be opened.");
    int changed = 0;
    // A header of its own, not POHeaderBuf: the PO Manager's browser may be reading into that.
    POHeaderRec header;
    for (storage::IsamRecRef ref : RecordsWithKey(POHeaderFile, 2, POVendorKey(oldNumber))) {
      ReadRecordAt(POHeaderFile, ref, header);
      const POHeaderRec before = header;
      header.VendorNo.Set(newNumber);
      RequireDone(UpdatePOHeaderRecord(header, before, ref), "Modify operation failed");
      ++changed;
    }
    return changed;
  });
}

VendorDeleteCheck CheckVendorDelete(const VendorRec& vendor) {
  POHeaderFileOpen file;
  // A PO file not made yet holds no PO of the vendor.
  if (!ThereToRead(file, POHeaderUnit())) return VendorDeleteCheck::Allowed;
  storage::IsamKeyStr key = POVendorKey(vendor.VendorNo.Get());
  storage::IsamRecRef ref = 0;
  return FindExactKey(POHeaderUnit(), key, ref, 2) ? VendorDeleteCheck::HasPOs : VendorDeleteCheck::Allowed;
}

}  // namespace purchasing
