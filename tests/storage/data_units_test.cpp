// The data-file routines over the detail and memo files: record layouts and key texts, opening
// with its repairs, and add, update and delete keeping records and keys in step.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "index_check.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/support/ui_script.h"
#include "records/detail_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "storage/byte_order.h"
#include "storage/stat_form.h"
#include "unit_fixture.h"

using namespace records;

namespace storage::testing {
namespace {

namespace fs = std::filesystem;
using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::mrYes;
using platform::ui::MsgButtons;
using testing_support::UiScript;

class DataUnitsTest : public DataUnitTest {
 protected:
  DataUnitsTest() : DataUnitTest(" 12 ") {}

  static void SetMemo(const std::string& number, const std::string& firstLine) {
    MemoBuf = MemoRec{};
    MemoBuf.Number.Set(number);
    MemoBuf.Lines[0].Set(firstLine);
  }
  static void SetDetail(const std::string& invoice, int line, const std::string& date) {
    DetailBuf = DetailRec{};
    DetailBuf.InvoiceNumber.Set(invoice);
    DetailBuf.Date.Set(date);
    DetailBuf.LineNumber.Set(LineNumberText(line));
    DetailBuf.LineKey.Set(LineKeyText(invoice, line));
    DetailBuf.LineText.Set(LineText("1", "Widget", "2.00", "Y", "2.00"));
  }
  // Opens (creating) the memo file and adds a memo for each number.
  void AddMemos(std::initializer_list<const char*> numbers) {
    OpenOrCreate(OpenMemoFile);
    for (const char* number : numbers) {
      SetMemo(number, "text");
      IsamRecRef ref = 0;
      ASSERT_TRUE(AddMemoRecord(ref));
    }
  }
  void OpenOrCreate(bool (*open)()) { ASSERT_TRUE(open()) << IsamError; }
};

TEST_F(DataUnitsTest, RecordLayoutsPutEachFieldAtItsOffset) {
  DetailRec d{};
  d.InvoiceNumber.Set("1234");
  d.LineKey.Set(LineKeyText("1234", 3));
  const auto* db = reinterpret_cast<const uint8_t*>(&d);
  EXPECT_EQ(db[82], 4);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(db + 83), 4), "1234");
  EXPECT_EQ(db[174], 11);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(db + 175), 11), "00000123403");

  PODetailRec p{};
  p.ReceivedDate.Set(" ");
  p.ReceiverNumber.Set("Auto-Rec");
  p.LineNumber.Set("07");
  const auto* pb = reinterpret_cast<const uint8_t*>(&p);
  EXPECT_EQ(pb[141], 1);
  EXPECT_EQ(pb[142], ' ');
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(pb + 164), 8), "Auto-Rec");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(pb + 212), 2), "07");

  MemoRec m{};
  m.Lines[24].Set(std::string(80, 'x'));  // cut to 74
  const auto* mb = reinterpret_cast<const uint8_t*>(&m);
  EXPECT_EQ(mb[14 + 75 * 24], 74);
  EXPECT_EQ(mb[1889], 0);
}

TEST_F(DataUnitsTest, KeyTextsAreTrimmedPaddedUpperCasedAndCut) {
  SetDetail(" 12 ", 1, "2026/03/05");
  EXPECT_EQ(BuildDetailKey(DetailBuf, 1), "2026/03/05");
  EXPECT_EQ(BuildDetailKey(DetailBuf, 2), "12       ");
  EXPECT_EQ(BuildDetailKey(DetailBuf, 3), "00000001201");
  EXPECT_EQ(BuildDetailKey(DetailBuf, 0), "");
  EXPECT_EQ(BuildDetailKey(DetailBuf, 4), "");
  DetailBuf.InvoiceNumber.Set("ab-9c");
  EXPECT_EQ(BuildDetailKey(DetailBuf, 2), "AB-9C    ");

  PODetailRec p{};
  p.PONumber.Set(" 88 ");
  p.Product.Set("bolt-10 ");
  p.RecordKind.Set("P");
  p.ReceivedDate.Set(" ");
  EXPECT_EQ(BuildPODetailKey(p, 4), "88BOLT-10P" + std::string(15, ' '));
  EXPECT_EQ(BuildPODetailKey(p, 3), std::string(10, ' '));  // open lines sort before every receipt
  p.RecordKind.Set("L");
  EXPECT_EQ(BuildPODetailKey(p, 4).substr(0, 10), "88BOLT-10L");

  // A field longer than its key keeps its whole text (the engine then refuses the key).
  DataFileKind wide = PlainDataFileKind("W", "Wide", 60, {{5, false, {{4, 40}}}});
  std::vector<uint8_t> rec(60, 0);
  platform::text::WriteShortString(rec.data() + 4, 40, std::string(35, 'q'));
  EXPECT_EQ(BuildTableKey(wide, rec.data(), 1), std::string(30, 'Q'));
}

TEST_F(DataUnitsTest, LineTextKeepsItsColumnsWhateverTheParts) {
  std::string line = LineText("3", "Blue paint, one gallon", "12.50", "Y", "37.50");
  ASSERT_EQ(line.size(), 63u);
  EXPECT_EQ(line.substr(0, 10), "3         ");
  EXPECT_EQ(line.substr(42, 10), "12.50     ");
  EXPECT_EQ(line.substr(52, 1), "Y");
  EXPECT_EQ(line.substr(53, 10), "37.50     ");
  // An over-long description is cut to its column; price and extension stay in place.
  std::string longer = LineText("3", std::string(40, 'd'), "12.50", "Y", "37.50");
  EXPECT_EQ(longer.substr(10, 32), std::string(32, 'd'));
  EXPECT_EQ(longer.substr(42), line.substr(42));
  EXPECT_EQ(LineNumberText(1), "01");
  EXPECT_EQ(LineNumberText(10), "10");
}

TEST_F(DataUnitsTest, AFurtherReceiptOrdersNothingAndKeepsTheLine) {
  PODetailRec line{};
  line.PONumber.Set("88");
  line.Product.Set("BOLT");
  line.RecordKind.Set("P");
  line.LineText.Set(LineText("12", "Bolts, zinc", "0.25", "Y", "3.00"));
  line.Received.Set("Y");
  line.QuantityReceived.Set("5");
  line.ReceiverNumber.Set("R1");
  PODetailRec receipt = ReceiptRecord(line, "2026/03/01", "7", "R2");
  EXPECT_EQ(receipt.LineText.Get(), LineText("0", "Bolts, zinc", "0.25", "Y", "0"));
  EXPECT_EQ(receipt.RecordKind.Get(), "L");
  EXPECT_EQ(receipt.Received.Get(), "Y");
  EXPECT_EQ(receipt.ReceivedDate.Get(), "2026/03/01");
  EXPECT_EQ(receipt.QuantityReceived.Get(), "7");
  EXPECT_EQ(receipt.ReceiverNumber.Get(), "R2");
  EXPECT_EQ(receipt.PONumber.Get(), "88");
  // Key 4 tells the receipt from its line by the last letter.
  EXPECT_EQ(BuildPODetailKey(receipt, 4).substr(0, 7), "88BOLTL");
  EXPECT_EQ(BuildPODetailKey(line, 4).substr(0, 7), "88BOLTP");
}

TEST_F(DataUnitsTest, OpeningCreatesAMissingFileAndRepairsAMissingIndex) {
  EXPECT_EQ(DetailUnit().FileName(), "12D");
  ASSERT_TRUE(OpenDetailFile());  // created without a word: no notice for the plain units
  SetDetail("5", 1, "2026/01/02");
  IsamRecRef ref = 0;
  ASSERT_TRUE(AddDetailRecord(ref));
  Close(DetailFile);
  fs::remove(dir_.File("12D.IX"));

  {
    UiScript ui;
    ui.ExpectMessage("Index file is defective.  Rebuild?", "Detail Records")
        .Buttons(MsgButtons::YesNo)
        .Answer(mrNo);
    EXPECT_FALSE(OpenDetailFile());
    EXPECT_EQ(Status(), IsamErrIndexDefective);
    EXPECT_TRUE(ui.Done());
  }
  {
    UiScript ui;
    ui.ExpectMessage("Index file is defective.  Rebuild?", "Detail Records").Answer(mrYes);
    ASSERT_TRUE(OpenDetailFile());
    EXPECT_TRUE(ui.Done());
  }
  EXPECT_EQ(StatForm->Caption(), "Detail Records");
  EXPECT_FALSE(StatForm->isVisible());
  IsamKeyStr key = "00000000501";
  IsamRecRef found = 0;
  ASSERT_TRUE(SearchDetailKey(key, found, 3));
  EXPECT_EQ(found, 1);
  EXPECT_TRUE(IndexMatchesRecords(DetailFile, DetailUnit()).empty());
}

TEST_F(DataUnitsTest, AnUnfinishedRebuildIsFinishedAndNeverOverwritten) {
  AddMemos({"1", "2", "3"});
  Close(MemoFile);
  std::string original = ReadFile("12M.DAT");
  auto expectThreeMemos = [&] {
    EXPECT_FALSE(fs::exists(dir_.File("12M.SAV")));
    EXPECT_EQ(IsamUsedRecs(MemoFile), 3);
    EXPECT_TRUE(IndexMatchesRecords(MemoFile, MemoUnit()).empty());
    Close(MemoFile);
  };
  // Killed right after the move: only the .SAV. A missing data file is not created empty.
  fs::rename(dir_.File("12M.DAT"), dir_.File("12M.SAV"));
  {
    UiScript ui;
    ui.ExpectMessage("The last rebuild of this file did not finish.  Finish it now?", "Memo Records")
        .Answer(mrNo);
    EXPECT_FALSE(OpenMemoFile());
    EXPECT_FALSE(fs::exists(dir_.File("12M.DAT")));
    EXPECT_TRUE(ui.Done());
  }
  for (std::string copy : {std::string(), std::string(10, '\0'), ReadFile("12M.SAV").substr(0, 1892)}) {
    // The new data file just begun: empty, half a header, or a header without keys.
    if (!copy.empty() && copy.size() > 20) copy[16] = 0;
    std::ofstream(dir_.File("12M.DAT"), std::ios::binary) << copy;
    if (copy.empty()) fs::remove(dir_.File("12M.DAT"));
    UiScript ui;
    ui.ExpectMessage("The last rebuild of this file did not finish.  Finish it now?", "Memo Records")
        .Answer(mrYes);
    ASSERT_TRUE(OpenMemoFile()) << IsamError;
    EXPECT_TRUE(ui.Done());
    expectThreeMemos();
    fs::rename(dir_.File("12M.DAT"), dir_.File("12M.SAV"));
  }
  // A data file with keys beside a .SAV is nobody's copy: nothing is guessed or deleted.
  std::ofstream(dir_.File("12M.DAT"), std::ios::binary) << original;
  UiScript ui;
  ui.ExpectMessage("The last rebuild of this file did not finish.  Finish it now?", "Memo Records")
      .Answer(mrYes);
  ui.ExpectMessage(
      "The file 12M.DAT could not be rebuilt: 12M.SAV, left by a rebuild that did not finish, is in "
      "its way.",
      "Rebuild");
  EXPECT_FALSE(OpenMemoFile());
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(ReadFile("12M.DAT"), original);
  EXPECT_TRUE(fs::exists(dir_.File("12M.SAV")));
}

TEST_F(DataUnitsTest, ARebuildThatDeletesDuplicatesSaysHowManyAndWhere) {
  AddMemos({"7", "8", "9"});
  // Two memos made to carry the same number behind the index's back, as a damaged file might.
  SetMemo("7", "twin");
  IsamPutRec(MemoFile, 2, &MemoBuf, sizeof MemoBuf);
  SetMemo("7", "triplet");
  IsamPutRec(MemoFile, 3, &MemoBuf, sizeof MemoBuf);
  Close(MemoFile);
  UiScript ui;
  ui.ExpectMessage("2 record(s) with a duplicate key were deleted.  They are listed in 12M.MSG.", "Rebuild");
  ASSERT_TRUE(RebuildMemoFile());
  EXPECT_TRUE(ui.Done());
  EXPECT_NE(ReadFile("12M.MSG").find("Key:<7        > KeyNr: 1 Ref: 2 not added\r\n"), std::string::npos);
  ASSERT_TRUE(OpenMemoFile());
  EXPECT_EQ(IsamUsedRecs(MemoFile), 1);
  EXPECT_TRUE(IndexMatchesRecords(MemoFile, MemoUnit()).empty());
}

TEST_F(DataUnitsTest, TheProgressWindowIsModalAndShowsCountsOfFiftyRecordsAtATime) {
  OpenOrCreate(OpenDetailFile);
  for (int i = 1; i <= 120; ++i) {
    SetDetail(std::to_string(i), 1, "2026/01/01");
    IsamRecRef ref = 0;
    ASSERT_TRUE(AddDetailRecord(ref));
  }
  Close(DetailFile);
  static std::vector<std::string> seen;
  static bool modal = true;
  seen.clear();
  // Watches the window from inside the run, after the template's own hook has drawn it.
  struct Watch {
    static void Hook(uint16_t keyNr, int32_t read, int32_t written, const void*, uint16_t) {
      RebuildProgressHook(keyNr, read, written);
      modal = modal && StatForm->isModal() && StatForm->isVisible();
      if (read % 50 == 0) {
        seen.push_back(
            (StatForm->Label1->text() + "|" + StatForm->Label2->text() + "|" + StatForm->Label3->text())
                .toStdString());
      }
    }
  };
  RebuildProgressShow("12D");
  IsamProgressHook = Watch::Hook;
  IsamRebuildDataFile("12D", 224, 224, false, 0, IsamCopyLiveRecord, nullptr, 0);
  ASSERT_EQ(Status(), 0);
  IsamProgressHook = nullptr;
  RebuildProgressClose();
  EXPECT_TRUE(modal);
  EXPECT_FALSE(StatForm->isVisible());
  EXPECT_FALSE(StatForm->isModal());
  // The first fifty are shown at once; later counts, at most a few times a second, are always
  // whole fifties.
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], "Key number: 0|Records read: 50|Records written: 50");
  EXPECT_TRUE(seen[1] == seen[0] || seen[1] == "Key number: 0|Records read: 100|Records written: 100")
      << seen[1];
}

TEST_F(DataUnitsTest, ASecondMemoForTheSameNumberIsRefusedAndUndone) {
  OpenOrCreate(OpenMemoFile);
  SetMemo("100", "first");
  IsamRecRef ref = 0;
  ASSERT_TRUE(AddMemoRecord(ref));
  SetMemo("100", "second");
  IsamRecRef again = -5;
  EXPECT_FALSE(AddMemoRecord(again));
  EXPECT_EQ(Status(), IsamErrDuplicateKey);  // the first error survives the undo
  EXPECT_EQ(again, -5);
  EXPECT_EQ(IsamUsedRecs(MemoFile), 1);
  EXPECT_EQ(IsamUsedKeys(MemoFile, 1), 1);
  EXPECT_TRUE(IndexMatchesRecords(MemoFile, MemoUnit()).empty());
}

TEST_F(DataUnitsTest, UpdateChangesOnlyTheKeysWhoseTextChanged) {
  OpenOrCreate(OpenMemoFile);
  IsamRecRef a = 0, b = 0;
  SetMemo("100", "a");
  ASSERT_TRUE(AddMemoRecord(a));
  SetMemo("200", "b");
  ASSERT_TRUE(AddMemoRecord(b));
  Close(MemoFile);
  std::string index = ReadFile("12M.IX");
  std::string dirtyByte = ReadFile("12M.DAT").substr(20, 1);

  // Same number: the index is not touched, so the file set is not even marked changed.
  OpenOrCreate(OpenMemoFile);
  SetMemo("100", "a, changed");
  ASSERT_TRUE(UpdateMemoRecord(a));
  EXPECT_EQ(ReadFile("12M.DAT").substr(20, 1), dirtyByte);
  Close(MemoFile);
  EXPECT_EQ(ReadFile("12M.IX"), index);
  OpenOrCreate(OpenMemoFile);
  MemoRec stored{};
  IsamGetRec(MemoFile, a, &stored, sizeof stored);
  EXPECT_EQ(stored.Lines[0].Get(), "a, changed");

  // Taking the other memo's number fails on the unique key: nothing changes.
  SetMemo("200", "clash");
  EXPECT_FALSE(UpdateMemoRecord(a));
  EXPECT_EQ(Status(), IsamErrDuplicateKey);
  IsamGetRec(MemoFile, a, &stored, sizeof stored);
  EXPECT_EQ(stored.Number.Get(), "100");
  EXPECT_TRUE(IndexMatchesRecords(MemoFile, MemoUnit()).empty());

  SetMemo("300", "renumbered");
  ASSERT_TRUE(UpdateMemoRecord(a));
  IsamKeyStr key = "300";
  IsamRecRef found = 0;
  ASSERT_TRUE(SearchMemoKey(key, found, 1));
  EXPECT_EQ(found, a);
  EXPECT_TRUE(IndexMatchesRecords(MemoFile, MemoUnit()).empty());

  // A deleted slot is not a record to update.
  ASSERT_TRUE(DeleteMemoRecord(b));
  EXPECT_FALSE(UpdateMemoRecord(b));
}

TEST_F(DataUnitsTest, DeleteTakesTheKeysFromTheStoredRecord) {
  OpenOrCreate(OpenPODetailFile);
  PODetailBuf = PODetailRec{};
  PODetailBuf.PONumber.Set("77");
  PODetailBuf.Product.Set("NUT");
  PODetailBuf.RecordKind.Set("P");
  PODetailBuf.PODate.Set("2026/02/02");
  IsamRecRef ref = 0;
  ASSERT_TRUE(AddPODetailRecord(ref));
  PODetailBuf.PONumber.Set("something else");  // the caller's buffer no longer matches
  ASSERT_TRUE(DeletePODetailRecord(ref));
  for (int k = 1; k <= 6; ++k) EXPECT_EQ(IsamUsedKeys(PODetailFile, k), 0) << "key " << k;
  EXPECT_EQ(IsamUsedRecs(PODetailFile), 0);
  // A second delete of the same slot is refused instead of linking the free chain into itself.
  EXPECT_FALSE(DeletePODetailRecord(ref));
  EXPECT_EQ(IsamUsedRecs(PODetailFile), 0);
}

TEST_F(DataUnitsTest, TheApplicationUpdateRefusesARecordChangedMeanwhile) {
  OpenOrCreate(OpenMemoFile);
  SetMemo("100", "original");
  IsamRecRef ref = 0;
  ASSERT_TRUE(AddMemoRecord(ref));
  MemoRec before = MemoBuf;
  MemoRec edited = before;
  edited.Lines[1].Set("added line");

  SetMemo("100", "someone else");
  ASSERT_TRUE(UpdateMemoRecord(ref));
  {
    UiScript ui;
    ui.ExpectMessage("The record has changed in the meantime.", platform::ui::Application->Title);
    EXPECT_FALSE(MemoUnit().UpdateRecord(&edited, &before, ref));
    EXPECT_TRUE(ui.Done());
  }
  MemoRec stored{};
  IsamGetRec(MemoFile, ref, &stored, sizeof stored);
  EXPECT_EQ(stored.Lines[0].Get(), "someone else");
  EXPECT_EQ(stored.Lines[1].Get(), "");
  // Unchanged against its before-image: nothing to write, and nothing is read.
  EXPECT_TRUE(MemoUnit().UpdateRecord(&before, &before, 9999));
  // A rewrite of fields no key is built from is refused alike, and leaves the keys as they were.
  {
    UiScript ui;
    ui.ExpectMessage("The record has changed in the meantime.", platform::ui::Application->Title);
    EXPECT_FALSE(MemoUnit().UpdateFieldsOnly(&edited, &before, ref));
    EXPECT_TRUE(ui.Done());
  }
  edited = stored;
  edited.Lines[2].Set("a figure");
  EXPECT_TRUE(MemoUnit().UpdateFieldsOnly(&edited, &stored, ref));
  EXPECT_TRUE(IndexMatchesRecords(MemoFile, MemoUnit()).empty());
  stored = edited;
  // Against the current image the edit goes through.
  edited = stored;
  edited.Lines[1].Set("added line");
  EXPECT_TRUE(MemoUnit().UpdateRecord(&edited, &stored, ref));
}

TEST_F(DataUnitsTest, LockErrorsAskBeforeGivingUp) {
  OpenOrCreate(OpenMemoFile);
  Close(MemoFile);
  // A read-only file block refuses writes with a lock-class error.
  IsamOpenFileBlock(MemoFile, "12M", false, true, false, true);
  ASSERT_EQ(Status(), 0);
  {
    UiScript ui;
    ui.ExpectMessage("Cannot get a lock.  Abort?", "Memo Records").Buttons(MsgButtons::YesNo).Answer(mrNo);
    ui.ExpectMessage("Cannot get a lock.  Abort?", "Memo Records").Answer(mrYes);
    SetMemo("1", "x");
    IsamRecRef ref = 0;
    EXPECT_FALSE(AddMemoRecord(ref));
    EXPECT_EQ(Status(), IsamErrReadOnly);
    EXPECT_TRUE(ui.Done());
  }
  Close(MemoFile);
  // No file block at all: the update lock itself is refused.
  {
    UiScript ui;
    ui.ExpectMessage("The files are in use.  Abort?", "Memo Records").Answer(mrNo);
    ui.ExpectMessage("The files are in use.  Abort?", "Memo Records").Answer(mrYes);
    EXPECT_FALSE(UpdateMemoRecord(1));
    EXPECT_TRUE(ui.Done());
  }
}

}  // namespace
}  // namespace storage::testing
