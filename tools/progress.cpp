#include "tools/progress.h"

void ProgressTicker_Init(ProgressTicker* ticker, const TextProgress* progress, int64_t total, int64_t step) {
  ticker->pProgress = progress && progress->pfnReport ? progress : nullptr;
  ticker->nTotal = total;
  ticker->nStep = step > 0 ? step : 1;
  ticker->nNext = ticker->pProgress ? ticker->nStep : INT64_MAX;
  ticker->bStopped = false;
}

bool ProgressTicker_Report(ProgressTicker* ticker, int64_t done) {
  if (ticker->bStopped) return false;
  if (!ticker->pProgress) return true;
  ticker->nNext = done + ticker->nStep;
  ticker->bStopped = !ticker->pProgress->pfnReport(ticker->pProgress->pContext, done, ticker->nTotal);
  return !ticker->bStopped;
}
