#include "editctrl/prnttext.h"

#include "editctrl/linedata.h"
#include "editctrl/linescan.h"
#include "tools/debuglog.h"

namespace {

constexpr int32_t kDefaultPointSize = 140;
constexpr char kSpace[] = " ";

int32_t Clamp32(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

int32_t AtLeastOne(int32_t v) { return v < 1 ? 1 : v; }

// One character as the printer sees it: its bytes, how far it moves the pen and
// how tall it is. The line end is a character of no bytes and no width.
struct Glyph {
  int32_t length;   // bytes, 0 for the line end
  int32_t advance;  // device pixels
  int32_t height;   // device pixels
  int32_t cells;    // display cells, for the tab stops
  bool bTab;        // advances but is never drawn
};

// The state of one job. Tab stops count from the start of the print line, so the
// paper shows the same whatever width the editor window had.
struct PrintJob {
  const PrintSeam* seam;
  LineScan scan;     // the next character to print
  RECT rcPrint;      // device pixels
  int32_t nTab;      // tab stop distance in cells
  int32_t x, y;      // pen inside rcPrint
  int32_t column;    // cells since the start of the print line
  int32_t lineHeight;
  int32_t page;      // pages started
  bool bLineStart;   // a print line just began: let messages through first
  SIZE space;        // a space in the print font
  // One-byte characters measured so far (the font stays the same for the job).
  SIZE single[256];
  bool bSingleKnown[256];
  // The last character measured: each is measured as the next one, then printed.
  const LineData* pLastLine;
  int32_t nLastIndex, nLastColumn;
  Glyph last;
};

int32_t PrintWidth(const PrintJob* job) { return job->rcPrint.right - job->rcPrint.left; }
int32_t PrintHeight(const PrintJob* job) { return job->rcPrint.bottom - job->rcPrint.top; }

const char* ScanBytes(const PrintJob* job) { return Line_GetString(job->scan.line) + job->scan.scan.index; }

SIZE Extent(PrintJob* job, const char* bytes, int32_t n) {
  if (n != 1) return job->seam->pfnTextExtent(job->seam->pContext, bytes, n);
  unsigned char b = static_cast<unsigned char>(bytes[0]);
  if (!job->bSingleKnown[b]) {
    job->single[b] = job->seam->pfnTextExtent(job->seam->pContext, bytes, 1);
    job->bSingleKnown[b] = true;
  }
  return job->single[b];
}

// The character at the scan, when it would start at the current print column.
Glyph MeasureNew(PrintJob* job) {
  Glyph g = {0, 0, job->space.cy, 0, false};
  const ByteScan* scan = &job->scan.scan;
  if (ByteScan_AtEnd(scan)) return g;
  const char* bytes = ScanBytes(job);
  g.length = Line_GetCharLength(job->scan.line, scan->index);
  if (g.length == 1 && bytes[0] == '\t') {
    g.bTab = true;
    g.cells = job->nTab - job->column % job->nTab;
    g.advance = Clamp32(int64_t(job->space.cx > 0 ? job->space.cx : 0) * g.cells);
    return g;
  }
  SIZE size = Extent(job, bytes, g.length);
  g.cells = g.length;
  g.advance = size.cx > 0 ? size.cx : 0;
  g.height = size.cy;
  return g;
}

Glyph Measure(PrintJob* job) {
  if (job->pLastLine != job->scan.line || job->nLastIndex != job->scan.scan.index ||
      job->nLastColumn != job->column) {
    job->last = MeasureNew(job);
    job->pLastLine = job->scan.line;
    job->nLastIndex = job->scan.scan.index;
    job->nLastColumn = job->column;
  }
  return job->last;
}

bool Exhausted(const PrintJob* job) {
  return ByteScan_AtEnd(&job->scan.scan) && LineScan_IsLastLine(&job->scan);
}

bool PageFull(const PrintJob* job) {
  return Exhausted(job) || (job->y > 0 && int64_t(PrintHeight(job)) < int64_t(job->y) + job->lineHeight);
}

// The pen goes to the start of the next print line, as tall as its first character.
void BreakLine(PrintJob* job) {
  job->x = 0;
  job->y = Clamp32(int64_t(job->y) + job->lineHeight);
  job->column = 0;
  job->lineHeight = AtLeastOne(Measure(job).height);
  job->bLineStart = true;
}

// Prints the character at the scan, or takes the line end, and breaks the print
// line before a character that would cross the right margin. A character that is
// wider than the whole printable width still gets a print line of its own.
void PrintStep(PrintJob* job) {
  if (ByteScan_AtEnd(&job->scan.scan)) {
    LineScan_NextLine(&job->scan);
    BreakLine(job);
    return;
  }
  Glyph g = Measure(job);
  if (!g.bTab) {
    job->seam->pfnTextOut(job->seam->pContext, Clamp32(int64_t(job->rcPrint.left) + job->x),
                          Clamp32(int64_t(job->rcPrint.top) + job->y), ScanBytes(job), g.length);
  }
  ByteScan_Next(&job->scan.scan);
  if (g.height > job->lineHeight) job->lineHeight = g.height;
  job->x = Clamp32(int64_t(job->x) + g.advance);
  job->column = Clamp32(int64_t(job->column) + g.cells);
  Glyph next = Measure(job);
  if (next.length > 0 && int64_t(job->x) + next.advance > PrintWidth(job)) BreakLine(job);
}

// One page: started, filled until the next print line would cross the bottom
// margin (every page takes at least one line), ended. A cancel leaves the page
// open for the abort.
PrintResult PrintPage(PrintJob* job) {
  const PrintSeam* seam = job->seam;
  if (!seam->pfnContinue(seam->pContext)) return kPrintCancelled;
  if (seam->pfnStartPage(seam->pContext) < 1) {
    QWIL_LOG("ページの印刷が開始できませんでした。");
    return kPrintStartPageFailed;
  }
  // The print font is there from the first page on.
  if (job->page == 0) job->space = Extent(job, kSpace, 1);
  ++job->page;
  DebugLog_Printf("%s(%d) : [開始] %d ページ目 \r\n", __FILE__, __LINE__, job->page);
  job->x = 0;
  job->y = 0;
  job->column = 0;
  job->lineHeight = AtLeastOne(Measure(job).height);
  job->bLineStart = false;
  while (!PageFull(job)) {
    if (job->bLineStart) {
      job->bLineStart = false;
      if (!seam->pfnContinue(seam->pContext)) return kPrintCancelled;
    }
    PrintStep(job);
  }
  if (seam->pfnEndPage(seam->pContext) < 1) {
    QWIL_LOG("ページの印刷が正常に終了できませんでした。");
    return kPrintEndPageFailed;
  }
  DebugLog_Printf("%s(%d) : [終了] %d ページ目 \r\n", __FILE__, __LINE__, job->page);
  return kPrintDone;
}

void InitJob(PrintJob* job, const PrintSeam* seam, TextData* text, const RECT* rcPrint) {
  job->seam = seam;
  LineScan_Reset(&job->scan, text);
  job->rcPrint = *rcPrint;
  job->nTab = AtLeastOne(TextData_GetProp(text)->tabsize);
  job->x = job->y = job->column = 0;
  job->lineHeight = 1;
  job->page = 0;
  job->bLineStart = false;
  for (bool& known : job->bSingleKnown) known = false;
  job->space.cx = job->space.cy = 0;
  job->pLastLine = nullptr;
  job->nLastIndex = job->nLastColumn = -1;
}

}  // namespace

bool IsValidPrintSeam(const PrintSeam* seam) {
  return seam && seam->pfnGetDeviceCaps && seam->pfnStartDoc && seam->pfnEndDoc && seam->pfnAbortDoc &&
         seam->pfnStartPage && seam->pfnEndPage && seam->pfnTextExtent && seam->pfnTextOut && seam->pfnContinue;
}

LOGFONTA PrintText_PrintFont(const LOGFONTA* display, int32_t pointSize, int32_t dpiY) {
  LOGFONTA font = *display;
  int64_t size = pointSize > 0 ? pointSize : kDefaultPointSize;
  int64_t dpi = dpiY > 0 ? dpiY : 0;
  // MulDiv's rounding: to the nearest, halves away from zero.
  font.lfHeight = -Clamp32((size * dpi + 360) / 720);
  font.lfWidth = 0;
  return font;
}

int32_t PrintText_MarginToPixels(int32_t margin, uint32_t dwFlags, int32_t dpi) {
  int64_t m = margin > 0 ? margin : 0;
  int64_t dp = dpi > 0 ? dpi : 0;
  if (dwFlags & kPrintInHundredthsOfMillimeters) return Clamp32(dp * ((m * 10 + 127) / 254) / 100);
  if (dwFlags & kPrintInThousandthsOfInches) return Clamp32(dp * m / 1000);
  return 0;
}

RECT PrintText_PrintableRect(const PrintSeam* seam, const PrintMargins* margins) {
  void* c = seam->pContext;
  int32_t dpx = seam->pfnGetDeviceCaps(c, kPrintCapDpiX);
  int32_t dpy = seam->pfnGetDeviceCaps(c, kPrintCapDpiY);
  const RECT& m = margins->rtMargin;
  RECT rc;
  rc.left = PrintText_MarginToPixels(m.left, margins->dwFlags, dpx);
  rc.top = PrintText_MarginToPixels(m.top, margins->dwFlags, dpy);
  rc.right = Clamp32(int64_t(seam->pfnGetDeviceCaps(c, kPrintCapWidth)) -
                     PrintText_MarginToPixels(m.right, margins->dwFlags, dpx));
  rc.bottom = Clamp32(int64_t(seam->pfnGetDeviceCaps(c, kPrintCapHeight)) -
                      PrintText_MarginToPixels(m.bottom, margins->dwFlags, dpy));
  return rc;
}

PrintResult PrintText_Run(const PrintSeam* seam, TextData* text, const PrintMargins* margins) {
  QWIL_ASSERT(IsValidPrintSeam(seam));
  QWIL_ASSERT(IsValidTextDataHandle(text));
  QWIL_ASSERT(margins);
  RECT rcPrint = PrintText_PrintableRect(seam, margins);
  if (rcPrint.right <= rcPrint.left || rcPrint.bottom <= rcPrint.top) {
    QWIL_LOG("余白が大きすぎて印刷できる範囲がありません。");
    return kPrintMarginsTooLarge;
  }
  if (seam->pfnStartDoc(seam->pContext) <= 0) {
    QWIL_LOG("印刷ジョブが開始できませんでした。");
    return kPrintStartDocFailed;
  }
  PrintJob job;
  InitJob(&job, seam, text, &rcPrint);
  PrintResult result = kPrintDone;
  while (result == kPrintDone && !Exhausted(&job)) result = PrintPage(&job);
  if (result != kPrintDone) {
    if (result == kPrintCancelled) QWIL_LOG("印刷が中止されました。");
    seam->pfnAbortDoc(seam->pContext);
    return result;
  }
  if (seam->pfnEndDoc(seam->pContext) <= 0) {
    QWIL_LOG("印刷ジョブが正常に終了できませんでした。");
    return kPrintEndDocFailed;
  }
  return kPrintDone;
}

const char* PrintText_ResultName(PrintResult result) {
  switch (result) {
    case kPrintDone:
      return "done";
    case kPrintCancelled:
      return "cancelled";
    case kPrintMarginsTooLarge:
      return "margins too large";
    case kPrintStartDocFailed:
      return "StartDoc failed";
    case kPrintStartPageFailed:
      return "StartPage failed";
    case kPrintEndPageFailed:
      return "EndPage failed";
    case kPrintEndDocFailed:
      return "EndDoc failed";
    case kPrintBusy:
      return "busy";
  }
  return "unknown";
}
