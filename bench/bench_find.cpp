// qwilbench find and replace-all: the document search and replace all over a
// file, timed without loading and saving.
#include <cstdio>
#include <string>

#include "bench/bench.h"
#include "editctrl/editbody.h"
#include "editctrl/editundo.h"
#include "editctrl/replaceall.h"

namespace {

const char* StatusText(int32_t status) {
  switch (status) {
    case SEARCH_NOTFOUND: return "not found";
    case SEARCH_FOUND: return "found";
    case SEARCH_TOO_COMPLEX: return "too complex";
    case SEARCH_NOMEMORY: return "out of memory";
    default: return "refused";
  }
}

bool PatternArg(const BenchArgs* args, int n, const char* what, std::string* out) {
  const char* arg = Bench_Positional(args, n);
  if (!arg) return false;
  if (!Bench_Utf8ToCp932(arg, out)) {
    std::fprintf(stderr, "qwilbench: the %s is not convertible to code page 932\n", what);
    return false;
  }
  return true;
}

uint32_t FlagsArg(const BenchArgs* args) { return static_cast<uint32_t>(Bench_OptionLong(args, "--flags", 0)); }

double MegabytesPerSecond(int64_t bytes, double ms) {
  return ms > 0 ? (static_cast<double>(bytes) / 1.0e6) / (ms / 1000.0) : 0.0;
}

void IgnoreChange(void*, const DisplayRange*, const DisplayRange*) {}

}  // namespace

// Every match forward from the start of the document, each search going on
// from the end of the last match, as repeated find next does until it wraps.
int Bench_Find(const BenchArgs* args) {
  const char* path = Bench_Positional(args, 0);
  std::string pattern;
  if (!path || !PatternArg(args, 1, "pattern", &pattern)) return Bench_Usage("find FILE PATTERN [--flags N] [--count]");
  const bool countOnly = Bench_HasFlag(args, "--count");
  TextDataProperty prop = {0, 80, 8};
  TextData* text = Bench_LoadDocument(path, &prop, nullptr);
  if (!text) return 1;
  Searcher* s = Searcher_Create(pattern.data(), static_cast<int32_t>(pattern.size()), FlagsArg(args), true);
  if (!s) {
    std::fprintf(stderr, "qwilbench: the pattern was refused (out of memory or too large)\n");
    TextData_Destroy(text);
    return 1;
  }
  long long count = 0;
  POINT from = {0, 0};
  TextRange found;
  const double start = Bench_NowMs();
  const double cpuStart = Bench_CpuMs();
  while (Search_FindForward(text, s, from, &found)) {
    ++count;
    if (!countOnly) std::printf("%d %d %d\n", static_cast<int>(found.start.y) + 1, static_cast<int>(found.start.x),
                                static_cast<int>(found.end.x));
    from = found.end;
  }
  const double ms = Bench_NowMs() - start;
  const double cpuMs = Bench_CpuMs() - cpuStart;
  const int32_t status = Searcher_GetStatus(s);
  const int64_t bytes = TextData_GetTextSize(text);
  if (countOnly) {
    std::printf("count=%lld status=\"%s\" bytes=%lld ms=%.1f cpu_ms=%.1f mb_per_s=%.1f rss_kb=%ld\n", count,
                StatusText(status), static_cast<long long>(bytes), ms, cpuMs, MegabytesPerSecond(bytes, ms),
                Bench_PeakRssKb());
  } else if (status != SEARCH_NOTFOUND) {
    std::printf("%s\n", StatusText(status));
  }
  Searcher_Free(s);
  TextData_Destroy(text);
  return 0;
}

int Bench_ReplaceAll(const BenchArgs* args) {
  const char* path = Bench_Positional(args, 0);
  const char* out = Bench_Positional(args, 3);
  std::string pattern;
  std::string replacement;
  if (!path || !out || !PatternArg(args, 1, "pattern", &pattern) || !PatternArg(args, 2, "replacement", &replacement)) {
    return Bench_Usage("replace-all FILE PATTERN REPLACEMENT OUT [--flags N]");
  }
  TextEditorBody* body = Bench_LoadBody(path, 0, IgnoreChange, nullptr);
  if (!body) return 1;
  int32_t count = 0;
  int32_t status = SEARCH_NOTFOUND;
  const double start = Bench_NowMs();
  Search_ReplaceAll(body, replacement.data(), static_cast<int32_t>(replacement.size()), pattern.data(),
                    static_cast<int32_t>(pattern.size()), FlagsArg(args), &count, &status);
  const double ms = Bench_NowMs() - start;
  const int32_t steps = EditAllocator_Depth(body->allocator->pUndo);
  const TextFileStatus saved = EditBody_Save(body, out);
  std::printf("replacements=%d status=\"%s\" undo_steps=%d ms=%.1f us_per_replacement=%.3f rss_kb=%ld\n",
              static_cast<int>(count), StatusText(status), static_cast<int>(steps), ms,
              count > 0 ? ms * 1000.0 / count : 0.0, Bench_PeakRssKb());
  EditBody_Destroy(body);
  if (saved != TEXTFILE_OK) {
    std::fprintf(stderr, "qwilbench: cannot save %s (status %d)\n", out, static_cast<int>(saved));
    return 1;
  }
  return 0;
}
