#pragma once
// A data source over the sample file as the browser window would make it, with a filter and a
// row builder that the tests set, and counts of the hooks' calls.

#include <functional>

#include "sample_file.h"
#include "storage/browser/navigator.h"

namespace storage::testing {

class TestSource : public BrowserNavigator {
 public:
  TestSource(SampleFile& file, SampleRec& buffer, int32_t keyNr, const IsamKeyStr& lower = "",
             const IsamKeyStr& upper = "")
      : BrowserNavigator(file.Block(), 1, 100, keyNr, lower, upper, &buffer, sizeof buffer, false),
        buffer_(buffer) {}

  // Decides whether an entry is shown; empty: every entry is.
  std::function<bool(TestSource& source, const RowRec& row)> Accept;
  int filterCalls = 0;
  int buildCalls = 0;

 protected:
  int32_t FilterCandidate(RowRec& row, bool& useIt) override {
    ++filterCalls;
    useIt = !Accept || Accept(*this, row);
    return IsamErrorClassNone;
  }
  int32_t BuildRow(RowRec& row) override {
    ++buildCalls;
    row.Text[0] = buffer_.Name.Get() + " " + buffer_.Number.Get();
    return IsamErrorClassNone;
  }

 private:
  SampleRec& buffer_;
};

}  // namespace storage::testing
