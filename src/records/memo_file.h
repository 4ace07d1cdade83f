#pragma once
// The memo files: the free text of a memo invoice (file code "M", MemoRec) and of a memo
// purchase order (file code "PM", POMemoRec) share one layout, 1892 bytes; a new record starts
// as zero bytes.
//
//   offset  width    field
//      0      4      status, 0 in a live record
//      4     10      document number (invoice or PO), text 9     key 1, unique
//     14   25 x 75   memo lines 1..25, text 74 each; line i at 14 + 75 x (i - 1)
//   1889      3      -

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/short_string.h"
#include "storage/data_file_unit.h"

namespace records {

constexpr int kMemoLines = 25;
constexpr size_t kMemoLineWidth = 74;

struct MemoRec {
  int32_t Status;
  platform::text::ShortString<9> Number;
  platform::text::ShortString<kMemoLineWidth> Lines[kMemoLines];
  uint8_t Unused1889[3];
};
static_assert(sizeof(MemoRec) == 1892);
static_assert(offsetof(MemoRec, Lines) == 14);

using POMemoRec = MemoRec;

// Memo text as typed (paragraphs separated by "\n") in the lines a memo record stores: each
// paragraph wrapped at blanks into lines of at most kMemoLineWidth characters (a longer word is
// broken), the blanks at a break dropped, empty lines at the end left out. A line that fits is
// kept as it stands, so stored lines read back unchanged. None when the text needs more than
// kMemoLines lines.
std::optional<std::vector<std::string>> StoredMemoLines(std::string_view text);

extern const storage::DataFileKind MemoKind;
extern const storage::DataFileKind POMemoKind;
KESTRAVA_PLAIN_DATA_UNIT(Memo, MemoRec)
KESTRAVA_PLAIN_DATA_UNIT(POMemo, POMemoRec)

}  // namespace records
