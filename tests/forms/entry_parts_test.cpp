// What the entry forms' stock panel says of a line's old quantity while a stored document is
// edited.

#include <gtest/gtest.h>

#include "forms/entry_parts.h"
#include "platform/text/clock.h"

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

// A new document is offered its counter, never a counter cut to fit: one longer than its field
// (kept from before the month-and-year prefix was chosen) is offered as nothing, to be asked for.
TEST(EntryPartsTest, ANewDocumentIsOfferedItsCounterWholeOrNothing) {
  const platform::text::FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
  struct Case {
    bool prefixed;
    const char* counter;
    const char* offered;
  };
  const Case cases[] = {
      {false, "1001", "1001"},
      {false, " 999999999 ", "999999999"},
      {false, "1000000000", ""},
      {true, "77", "122677"},
      {true, "99999", "122699999"},
      {true, "123456", ""},
      {false, "", ""},
      {true, "", ""},
  };
  for (const Case& c : cases)
    for (const records::NumberCounter& field :
         {records::InvoiceNumberCounter(c.prefixed), records::PONumberCounter(c.prefixed)})
      EXPECT_EQ(forms::OfferedDocumentNumber(field, c.counter, c.prefixed, ""), c.offered)
          << field.Name << " from \"" << c.counter << "\"";
}
