// The progress seam of a long walk over a document (loading, saving, a search,
// replace all): the walker reports how far it has come every so often, and the
// one who asked (the window, showing a bar and taking Escape) answers whether
// it may go on. Reports come in order, seldom enough to cost nothing beside the
// walk, never more often than every nStep units of work.
#pragma once

#include <cstdint>

struct TextProgress {
  // nDone of nTotal units (bytes, unless the walk says otherwise; nTotal 0 when
  // not known); false stops the walk.
  bool (*pfnReport)(void* pContext, int64_t nDone, int64_t nTotal);
  void* pContext;
};

// The walker's side. A null progress never stops anything.
struct ProgressTicker {
  const TextProgress* pProgress;
  int64_t nTotal;
  int64_t nStep;
  int64_t nNext;  // the done count of the next report
  bool bStopped;
};

// Units between reports of the walks over documents: 4 MiB of text.
constexpr int64_t kProgressStep = int64_t(4) << 20;

void ProgressTicker_Init(ProgressTicker* ticker, const TextProgress* progress, int64_t total, int64_t step);
// Reports done now; false once the report said stop.
bool ProgressTicker_Report(ProgressTicker* ticker, int64_t done);
// Reports done when it has reached the next step; false once the report said stop.
inline bool ProgressTicker_Tick(ProgressTicker* ticker, int64_t done) {
  return done < ticker->nNext ? !ticker->bStopped : ProgressTicker_Report(ticker, done);
}
