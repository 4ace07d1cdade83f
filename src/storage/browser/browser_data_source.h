#pragma once
// The data source that a record browser window owns: the navigation layer with its hooks routed
// to the window's events (row text, filter, page completion).

#include "storage/browser/navigator.h"

namespace storage {

class TRecBrowser;

// The row text shown when the window has no OnBuildRow handler.
constexpr const char* BrowserNoBuildRowText = "You do not have an OnBuildRow event defined";

class TBrowserDataSource : public BrowserNavigator {
 public:
  TBrowserDataSource(TRecBrowser& browser, IsamFileBlock& fileBlock, int elementsPerRow, int rowCapacity,
                     int32_t keyNr, const IsamKeyStr& lowerBound, const IsamKeyStr& upperBound,
                     void* recordBuffer, size_t recordSize, bool variableLength);

 protected:
  int32_t BuildRow(RowRec& row) override;
  int32_t FilterCandidate(RowRec& row, bool& useIt) override;
  int32_t PreCompletePage() override;
  int32_t PostCompletePage() override;

 private:
  // A hook's result; the engine's code is kept for the report when it is an error.
  int32_t HookResult(int32_t errorClass);

  TRecBrowser& browser_;
};

}  // namespace storage
