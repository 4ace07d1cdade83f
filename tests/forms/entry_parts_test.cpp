// What the entry forms' stock panel says of a line's old quantity while a stored document is
// edited.

#include <gtest/gtest.h>

#include "forms/entry_parts.h"

namespace forms {
namespace {

TEST(EntryPartsTest, OldQuantityNoteFollowsTheProductTheStoredLineHeld) {
  struct Case {
    bool adding;
    const char* code;
    const char* oldProduct;
    const char* caption;
    const char* note;
  };
  const Case cases[] = {
      {false, "BOLT", "BOLT", "\n + Old Quan: ", "\n + Old Quan: 4"},
      {false, "BOLT", " bolt ", "\n - Old Quan: ", "\n - Old Quan: 4"},
      {false, "NUT", "BOLT", "\n + Old Quan: ", "(Changed Item)"},
      {false, "NUT", "", "\n - Old Quan: ", "(New Line Item)"},
      {false, "", "", "\n - Old Quan: ", "\n - Old Quan: 4"},
      // A one-character stored product counts as neither changed nor new.
      {false, "NUT", "B", "\n + Old Quan: ", ""},
      {true, "BOLT", "BOLT", "\n + Old Quan: ", ""},
      {true, "NUT", "", "\n - Old Quan: ", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(OldQuantityNote(c.adding, c.code, c.oldProduct, "4", c.caption), QString(c.note))
        << c.adding << " " << c.code << " / " << c.oldProduct;
}

}  // namespace
}  // namespace forms
