// The journal file itself, as a kill leaves it and as damage or a stranger's file may leave it:
// a posting rewrites a side file, changes one record, adds one and deletes one, and its journal
// is then found beside the files in different states. Each state must end with the records the table expects,
// read from the data file's bytes alone.

#include "storage/posting_journal.h"

#include <filesystem>
#include <fstream>

#include "platform/ui/support/ui_script.h"
#include "storage/byte_order.h"
#include "storage/journal_entry.h"
#include "support/live_records.h"
#include "unit_fixture.h"

namespace storage::testing {
namespace {

constexpr int32_t kLength = 40;
constexpr char kJournal[] = "12JNL.DAT";
constexpr char kAnswer[] = "CPWIN.TXT";

class PostingJournalTest : public DataUnitTest {
 protected:
  PostingJournalTest() : DataUnitTest("12") {}

  std::string Image(const std::string& text) const {
    const std::vector<uint8_t> bytes = Record(kLength, text);
    return std::string(bytes.begin(), bytes.end());
  }
  std::vector<std::string> Images(std::vector<std::string> texts) const {
    std::vector<std::string> images;
    for (const std::string& text : texts) images.push_back(Image(text));
    std::sort(images.begin(), images.end());
    return images;
  }

  // Files A, B and C, then posts: the answer file becomes "after", A becomes A2, D is added, B is
  // deleted. Returns the journal as it stood after the last change; the files are left closed
  // with the whole posting in them.
  std::string PostAndKeepJournal() {
    Create("12X", kLength);
    IsamFileBlock fb = Open("12X");
    const IsamRecRef a = Add(fb, "A");
    const IsamRecRef b = Add(fb, "B");
    Add(fb, "C");
    std::string journal;
    {
      PostingScope posting("test posting");
      std::ofstream(kAnswer) << "before";
      EXPECT_TRUE(JournalSideFile(kAnswer));
      std::ofstream(kAnswer) << "after";
      const std::vector<uint8_t> changed = Record(kLength, "A2");
      IsamPutRec(fb, a, changed.data(), changed.size());
      Add(fb, "D");
      IsamDeleteRec(fb, b);
      journal = ReadFile(kJournal);
    }
    EXPECT_EQ(ReadFile(kJournal).find_first_not_of('\0'), std::string::npos);  // complete: nothing to undo
    Close(fb);
    ClosePostingJournal();
    EXPECT_FALSE(std::filesystem::exists(kJournal));
    return journal;
  }

  static std::vector<size_t> EntryStarts(const std::string& journal) {
    std::vector<size_t> starts;
    for (size_t at = 64;;) {
      const auto length =
          static_cast<uint32_t>(IsamLoadInt32(reinterpret_cast<const uint8_t*>(journal.data() + at)));
      if (length == 0) return starts;
      starts.push_back(at);
      at += length;
    }
  }
  // The second entry (A's) written again, whole and sound, as a file of another record length had it.
  static void OtherLength(std::string& journal, size_t at) {
    ParsedJournal parsed;
    ASSERT_TRUE(ParseJournal(journal, parsed));
    const JournalEntry& entry = parsed.Entries[1];
    const JournalChange change{entry.Kind, entry.Name, entry.Ref, entry.RecordLength + 1, entry.Image};
    auto* bytes = reinterpret_cast<uint8_t*>(journal.data() + at);
    EncodeJournalEntryBody(change, bytes);
    IsamStoreInt32(bytes, static_cast<int32_t>(JournalEntrySize(change)));
  }
  static void Zero(std::string& journal, size_t from, size_t to) {
    std::fill(journal.begin() + static_cast<std::ptrdiff_t>(from),
              journal.begin() + static_cast<std::ptrdiff_t>(to), '\0');
  }
};

struct JournalCase {
  const char* Name;
  std::function<void(std::string&, const std::vector<size_t>&)> Damage;
  std::vector<std::string> Left;  // the records afterwards
  const char* Message;            // what the user is told; empty: nothing
  bool JournalStays;
};

const char kUndone[] = "The last posting (test posting) was interrupted and has been undone.";
const char kRefused[] =
    "The posting journal 12JNL.DAT does not belong to the files of company 12.  Nothing was undone.";

TEST_F(PostingJournalTest, AJournalLeftBehindIsUndoneOnceOrRefusedWhole) {
  // clang-format off
  const std::vector<JournalCase> cases = {
      {"whole", [](std::string&, const auto&) {}, {"A", "B", "C"}, kUndone, false},
      {"last entry's length never stored", [](std::string& j, const auto& at) { Zero(j, at[3], at[3] + 4); },
       {"A", "C"}, kUndone, false},
      {"last entry cut short", [](std::string& j, const auto& at) { Zero(j, at[3] + 30, j.size()); },
       {"A", "C"}, kUndone, false},
      {"last entry undone before a second crash", [](std::string& j, const auto& at) { j[at[3] + 5] = 1; },
       {"A", "C"}, kUndone, false},
      {"header only", [](std::string& j, const auto&) { Zero(j, 64, j.size()); },
       {"A2", "C", "D"}, "", false},
      {"emptied by the posting's end", [](std::string& j, const auto&) { Zero(j, 0, 8); },
       {"A2", "C", "D"}, "", false},
      {"another company's", [](std::string& j, const auto&) { j[9] = '3'; },
       {"A2", "C", "D"}, kRefused, true},
      {"first record entry damaged", [](std::string& j, const auto& at) { j[at[1] + 30] ^= 0x55; },
       {"A2", "C", "D"}, kRefused, true},
      {"names a file of another record length", [](std::string& j, const auto& at) { OtherLength(j, at[1]); },
       {"A2", "C", "D"}, kRefused, true},
  };
  // clang-format on
  const std::string journal = PostAndKeepJournal();
  const std::vector<size_t> starts = EntryStarts(journal);
  ASSERT_EQ(starts.size(), 4u);
  const std::string data = ReadFile("12X.DAT");
  for (const JournalCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string damaged = journal;
    c.Damage(damaged, starts);
    std::ofstream("12JNL.DAT", std::ios::binary | std::ios::trunc) << damaged;
    std::ofstream("12X.DAT", std::ios::binary | std::ios::trunc) << data;
    std::ofstream(kAnswer) << "after";
    {
      testing_support::UiScript ui;
      if (*c.Message) ui.ExpectMessage(c.Message, "Posting");
      UndoPostingJournal("12");
      EXPECT_TRUE(ui.Done());
    }
    EXPECT_EQ(testing_support::LiveRecords("12X.DAT"), Images(c.Left));
    EXPECT_EQ(std::filesystem::exists(kJournal), c.JournalStays);
    // A file the undo changed is left for the repair to rebuild its keys and free chain.
    const bool undid = Images(c.Left) != Images({"A2", "C", "D"});
    EXPECT_EQ(ReadFile("12X.DAT")[20], undid ? 1 : 0);
    EXPECT_EQ(ReadFile(kAnswer), undid ? "before" : "after");
    std::filesystem::remove(kJournal);
  }
}

}  // namespace
}  // namespace storage::testing
