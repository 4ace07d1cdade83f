#include "storage/browser/browser_data_source.h"

#include "storage/browser/rec_browser.h"

namespace storage {

TBrowserDataSource::TBrowserDataSource(TRecBrowser& browser, IsamFileBlock& fileBlock, int elementsPerRow,
                                       int rowCapacity, int32_t keyNr, const IsamKeyStr& lowerBound,
                                       const IsamKeyStr& upperBound, void* recordBuffer, size_t recordSize,
                                       bool variableLength)
    : BrowserNavigator(fileBlock, elementsPerRow, rowCapacity, keyNr, lowerBound, upperBound, recordBuffer,
                       recordSize, variableLength),
      browser_(browser) {}

int32_t TBrowserDataSource::HookResult(int32_t errorClass) {
  if (errorClass >= IsamErrorClassLock) NoteError(IsamError);
  return errorClass;
}

int32_t TBrowserDataSource::BuildRow(RowRec& row) {
  if (!browser_.OnBuildRow) {
    row.Text[0] = BrowserNoBuildRowText;
    return IsamErrorClassNone;
  }
  return HookResult(browser_.OnBuildRow(&browser_, row));
}

int32_t TBrowserDataSource::FilterCandidate(RowRec& row, bool& useIt) {
  if (!browser_.FilterEnabled() || !browser_.OnPerformFilter)
    return BrowserNavigator::FilterCandidate(row, useIt);
  useIt = true;
  int32_t errorClass = HookResult(browser_.OnPerformFilter(&browser_, row, useIt));
  browser_.FilterCalled(!useIt);
  return errorClass;
}

int32_t TBrowserDataSource::PreCompletePage() {
  return browser_.OnPreCompletePage ? HookResult(browser_.OnPreCompletePage(&browser_)) : IsamErrorClassNone;
}

int32_t TBrowserDataSource::PostCompletePage() {
  return browser_.OnPostCompletePage ? HookResult(browser_.OnPostCompletePage(&browser_))
                                     : IsamErrorClassNone;
}

}  // namespace storage
