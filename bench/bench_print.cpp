#include <cstdio>

#include "bench/bench.h"
#include "editctrl/prnttext.h"
#include "editctrl/textdata.h"
#include "tools/debuglog.h"

namespace {

// A printer that only counts: A4 at 600 dpi, a fixed font of 50 x 100 pixels a
// one-byte character (twice as wide for two bytes), as a 12-point font would be.
struct CountingPrinter {
  long pages;
  long characters;
};

int32_t Caps(void*, PrintCap cap) {
  switch (cap) {
    case kPrintCapDpiX:
    case kPrintCapDpiY:
      return 600;
    case kPrintCapWidth:
      return 4960;
    case kPrintCapHeight:
      return 7016;
  }
  return 0;
}

int32_t Ok(void*) { return 1; }
int32_t CountPage(void* c) {
  ++static_cast<CountingPrinter*>(c)->pages;
  return 1;
}
SIZE Extent(void*, const char*, int32_t n) { return SIZE{50 * n, 100}; }
void Count(void* c, int32_t, int32_t, const char*, int32_t) { ++static_cast<CountingPrinter*>(c)->characters; }
bool Go(void*) { return true; }
void Quiet(const char*, va_list) {}

}  // namespace

int Bench_Print(const BenchArgs* args) {
  const char* path = Bench_Positional(args, 0);
  if (!path) return Bench_Usage("print FILE");
  TextDataProperty prop = {0, 80, 8};
  double loadMs;
  TextData* text = Bench_LoadDocument(path, &prop, &loadMs);
  if (!text) return 1;
  CountingPrinter printer = {0, 0};
  PrintSeam seam = {&printer, Caps, Ok, Ok, Ok, CountPage, Ok, Extent, Count, Go};
  PrintMargins margins = {kPrintInHundredthsOfMillimeters, {2000, 2000, 2000, 2000}};
  DebugLogSink sink = DebugLog_SetSink(Quiet);  // two log lines a page would be measured too
  double start = Bench_NowMs();
  PrintResult result = PrintText_Run(&seam, text, &margins);
  double ms = Bench_NowMs() - start;
  DebugLog_SetSink(sink);
  std::printf("pages=%ld characters=%ld result=\"%s\" ms=%.1f rss_kb=%ld\n", printer.pages, printer.characters,
              PrintText_ResultName(result), ms, Bench_PeakRssKb());
  TextData_Destroy(text);
  return result == kPrintDone ? 0 : 1;
}
