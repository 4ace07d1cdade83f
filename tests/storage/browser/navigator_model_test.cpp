// The data source against a model: the sorted list of the accepted entries of the index in use.
// After every random move, key switch, resize, filter change and change of the file, the page
// must be a contiguous run of that list holding the highlighted entry, full whenever enough
// entries exist, and each move must land where its definition says.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "sample_file.h"
#include "test_source.h"

namespace storage::testing {
namespace {

const char* const kNames[] = {"ADAMS", "baker", "Clark", "DAVIS", "EVANS", "Fox",   "GRANT", "HILL",
                              "irwin", "JONES", "KING",  "LEE",   "MOORE", "Nash",  "OWEN",  "PRICE",
                              "QUINN", "ROSS",  "SMITH", "TATE",  "Ulm",   "VANCE", "WEST",  "Young"};
const char* const kCities[] = {"PARIS", "LYON", "ROME", "OSLO"};

enum class FilterKind { None, EveryThirdOut, OneInTen, ParisOnly, Nothing };

struct Model {
  int32_t keyNr = 0;
  std::vector<RowRec> entries;  // accepted entries in index order

  int Size() const { return static_cast<int>(entries.size()); }
  int IndexOf(const RowRec& row) const {
    for (int i = 0; i < Size(); ++i) {
      if (entries[static_cast<size_t>(i)].SameEntry(row)) return i;
    }
    return -1;
  }
  // The entry the index finds at or after (key, ref), or the last one when none follows.
  int AtOrAfter(const RowRec& probe) const {
    for (int i = 0; i < Size(); ++i) {
      const RowRec& e = entries[static_cast<size_t>(i)];
      bool before = keyNr == 0 ? e.Ref < probe.Ref : EntryBefore(e, probe, keyNr == SampleNameKey);
      if (!before) return i;
    }
    return Size() - 1;
  }
};

class NavigatorModelTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    rng_.seed(GetParam());
    for (int i = 0; i < 300; ++i) AddRandom();
    for (int i = 0; i < 30; ++i) DeleteRandom();
    source_ = std::make_unique<TestSource>(file_, buffer_, SampleNameKey);
    SetFilter(FilterKind::None);
  }

  int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(rng_); }

  void AddRandom() {
    std::string name = kNames[Random(std::size(kNames))];
    if (Random(2)) name += " " + std::to_string(Random(50));
    refs_.push_back(
        file_.Add(name, "N" + std::to_string(nextNumber_++), kCities[Random(std::size(kCities))]));
  }

  void DeleteRandom() {
    if (refs_.empty()) return;
    size_t i = static_cast<size_t>(Random(static_cast<int>(refs_.size())));
    file_.Delete(refs_[i]);
    refs_.erase(refs_.begin() + static_cast<std::ptrdiff_t>(i));
  }

  void SetFilter(FilterKind kind) {
    filter_ = kind;
    switch (kind) {
      case FilterKind::None:
        source_->Accept = nullptr;
        break;
      case FilterKind::EveryThirdOut:
        source_->Accept = [](TestSource&, const RowRec& row) { return row.Ref % 3 != 0; };
        break;
      case FilterKind::OneInTen:
        source_->Accept = [](TestSource&, const RowRec& row) { return row.Ref % 10 == 0; };
        break;
      case FilterKind::ParisOnly:
        // Reads the candidate's record, as a manager's filter does.
        source_->Accept = [this](TestSource& source, const RowRec& row) {
          return source.ReadRecordOfRow(row.Ref) == 0 && buffer_.City.Get() == "PARIS";
        };
        break;
      case FilterKind::Nothing:
        source_->Accept = [](TestSource&, const RowRec&) { return false; };
        break;
    }
  }

  Model CurrentModel() {
    Model model;
    model.keyNr = source_->KeyNumber();
    for (const RowRec& e : file_.Entries(model.keyNr)) {
      bool accepted = true;
      switch (filter_) {
        case FilterKind::None:
          break;
        case FilterKind::EveryThirdOut:
          accepted = e.Ref % 3 != 0;
          break;
        case FilterKind::OneInTen:
          accepted = e.Ref % 10 == 0;
          break;
        case FilterKind::ParisOnly:
          accepted = file_.Read(e.Ref).City.Get() == "PARIS";
          break;
        case FilterKind::Nothing:
          accepted = false;
          break;
      }
      if (accepted) model.entries.push_back(e);
    }
    return model;
  }

  // The page is a contiguous run of the model, full when the model allows, highlight inside.
  void CheckPage(const Model& model, const std::string& step) {
    SCOPED_TRACE(step);
    int filled = source_->LastFilledRow();
    ASSERT_EQ(filled, std::min(source_->RowsInUse(), model.Size()));
    for (int n = filled + 1; n <= source_->RowCapacity(); ++n) ASSERT_TRUE(source_->Row(n).Empty()) << n;
    if (filled == 0) {
      EXPECT_EQ(source_->CurrentRow(), 1);
      EXPECT_EQ(source_->CurrentRef(), 0);
      return;
    }
    int start = model.IndexOf(source_->Row(1));
    ASSERT_GE(start, 0) << "row 1 holds an entry that is not accepted";
    ASSERT_LE(start + filled, model.Size());
    for (int n = 1; n <= filled; ++n) {
      ASSERT_TRUE(source_->Row(n).SameEntry(model.entries[static_cast<size_t>(start + n - 1)]))
          << "row " << n;
    }
    ASSERT_GE(source_->CurrentRow(), 1);
    ASSERT_LE(source_->CurrentRow(), filled);
  }

  int CurrentIndex(const Model& model) const {
    return source_->LastFilledRow() == 0 ? -1 : model.IndexOf(source_->Row(source_->CurrentRow()));
  }

  RowRec CurrentEntry() const {
    RowRec entry;
    entry.Key = source_->CurrentKey();
    entry.Ref = source_->CurrentRef();
    return entry;
  }

  void RunRandomSteps(int steps);

  SampleFile file_;
  SampleRec buffer_;
  std::unique_ptr<TestSource> source_;
  FilterKind filter_ = FilterKind::None;
  std::mt19937 rng_;
  std::vector<IsamRecRef> refs_;
  int nextNumber_ = 10000;
};

void NavigatorModelTest::RunRandomSteps(int steps) {
  Model model = CurrentModel();
  ASSERT_EQ(source_->First(), 0);
  CheckPage(model, "start");
  for (int step = 0; step < steps; ++step) {
    int op = Random(14);
    std::string name = "step " + std::to_string(step) + " op " + std::to_string(op);
    int ci = CurrentIndex(model);
    int first = source_->LastFilledRow() ? model.IndexOf(source_->Row(1)) : -1;
    int last = source_->LastFilledRow() ? model.IndexOf(source_->Row(source_->LastFilledRow())) : -1;
    int row = source_->CurrentRow();
    RowRec anchor = CurrentEntry();
    bool empty = source_->LastFilledRow() == 0;
    int expected = -2;  // the model index the highlight must reach; -2: any
    int32_t result = 0;
    switch (op) {
      case 0:
        result = source_->RowDown();
        if (!empty) expected = std::min(ci + 1, model.Size() - 1);
        break;
      case 1:
        result = source_->RowUp();
        if (!empty) expected = std::max(ci - 1, 0);
        break;
      case 2:
        result = source_->PageDown();
        if (!empty && last < model.Size() - 1) {
          int newLast = std::min(last + source_->RowsInUse(), model.Size() - 1);
          expected = newLast - source_->LastFilledRow() + row;
        } else if (!empty) {
          expected = ci;
        }
        break;
      case 3:
        result = source_->PageUp();
        if (!empty && first > 0) {
          expected = std::max(first - source_->RowsInUse(), 0) + row - 1;
        } else if (!empty) {
          expected = ci;
        }
        break;
      case 4:
        result = source_->First();
        expected = model.Size() ? 0 : -1;
        if (model.Size()) {
          EXPECT_EQ(source_->CurrentRow(), 1) << name;
        }
        break;
      case 5:
        result = source_->Last();
        expected = model.Size() - 1;
        break;
      case 6: {
        RowRec probe;
        probe.Key = kNames[Random(std::size(kNames))];
        probe.Key =
            source_->KeyNumber() == SampleNumberKey ? "N" + std::to_string(10000 + Random(400)) : probe.Key;
        probe.Ref = Random(3) ? 0 : Random(400);
        for (char& c : probe.Key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (source_->KeyNumber() == 0) probe.Key.clear();
        result = source_->GoToKey(source_->KeyNumber(), probe.Key, source_->RowsInUse(), 1 + Random(30),
                                  probe.Ref);
        expected = model.AtOrAfter(probe);
        break;
      }
      case 7:
        result = source_->SetRowsInUse(1 + Random(40));
        expected = empty ? -2 : ci;
        break;
      case 8: {
        result = source_->SetKeyNumber(Random(3));
        model = CurrentModel();
        expected = empty ? -2 : model.AtOrAfter(anchor);
        break;
      }
      case 9: {
        SetFilter(static_cast<FilterKind>(Random(5)));
        result = source_->Refresh();
        model = CurrentModel();
        expected = empty ? -2 : model.AtOrAfter(anchor);
        break;
      }
      case 10: {
        int wanted = Random(45);
        source_->SetCurrentRow(wanted);
        EXPECT_EQ(source_->CurrentRow(), std::clamp(wanted, 1, std::max(source_->LastFilledRow(), 1)))
            << name;
        break;
      }
      case 11: {
        int position = Random(64);
        result = source_->ScrollPosToKey(static_cast<uint16_t>(position));
        if (position == 0) expected = model.Size() ? 0 : -1;
        if (position == 63) expected = model.Size() - 1;
        break;
      }
      case 12:
        AddRandom();
        result = source_->Refresh();
        model = CurrentModel();
        expected = empty ? -2 : model.AtOrAfter(anchor);
        break;
      case 13:
        DeleteRandom();
        result = source_->Refresh();
        model = CurrentModel();
        expected = empty ? -2 : model.AtOrAfter(anchor);
        break;
    }
    ASSERT_EQ(result, 0) << name;
    ASSERT_NO_FATAL_FAILURE(CheckPage(model, name));
    if (expected != -2) {
      ASSERT_EQ(CurrentIndex(model), expected) << name;
    }
    if (op == 4 || op == 5) {
      uint16_t position = 99;
      ASSERT_EQ(source_->KeyToScrollPos(position), 0);
      EXPECT_EQ(position, op == 5 && model.Size() > 1 ? BrowserScrollScale : 0) << name;
    }
  }
}

TEST_P(NavigatorModelTest, RandomMovesKeepTheHighlightedEntryOnAContiguousFullPage) {
  source_->SetRowsInUse(12);
  RunRandomSteps(600);
}

INSTANTIATE_TEST_SUITE_P(Seeds, NavigatorModelTest, ::testing::Values(1u, 7u, 2024u));

}  // namespace
}  // namespace storage::testing
