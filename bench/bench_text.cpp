#include <sys/stat.h>

#include <cstdio>

#include "bench/bench.h"
#include "editctrl/editbody.h"
#include "editctrl/textdata.h"
#include "editctrl/textfile.h"

namespace {

const char* StatusText(TextFileStatus status) {
  switch (status) {
    case TEXTFILE_OK:
      return "ok";
    case TEXTFILE_OPEN_FAILED:
      return "cannot open";
    case TEXTFILE_READ_FAILED:
      return "read error";
    case TEXTFILE_WRITE_FAILED:
      return "write error";
    case TEXTFILE_TOO_LARGE:
      return "too large for a document";
    case TEXTFILE_NO_MEMORY:
      return "out of memory";
    case TEXTFILE_READ_ONLY:
      return "the file is read-only";
    case TEXTFILE_LOCKED:
      return "another program holds the file";
    case TEXTFILE_FOLDER_DENIED:
      return "the folder cannot be written";
    case TEXTFILE_DENIED:
      return "access denied";
    case TEXTFILE_CANCELLED:
      return "stopped";
  }
  return "?";
}

bool PropFromArgs(const BenchArgs* args, TextDataProperty* prop) {
  long wrap = Bench_OptionLong(args, "--wrap", 0);
  long tab = Bench_OptionLong(args, "--tab", 8);
  if (wrap < 0 || tab <= 0 || wrap > 1000000 || tab > 1000) return false;
  prop->wrap = wrap > 0 ? 1 : 0;
  prop->width = wrap > 0 ? static_cast<int32_t>(wrap) : 80;
  prop->tabsize = static_cast<int32_t>(tab);
  return true;
}

long long FileSize(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

}  // namespace

TextData* Bench_LoadDocument(const char* path, const TextDataProperty* prop, double* pMs) {
  double start = Bench_NowMs();
  TextFileStatus status;
  TextData* text = TextFile_Load(path, prop, &status);
  if (pMs) *pMs = Bench_NowMs() - start;
  if (!text) std::fprintf(stderr, "qwilbench: %s: %s\n", path, StatusText(status));
  return text;
}

int Bench_Load(const BenchArgs* args) {
  const char* path = Bench_Positional(args, 0);
  TextDataProperty prop;
  if (!path || !PropFromArgs(args, &prop)) return Bench_Usage("load FILE [--wrap COLUMNS] [--tab N]");
  double ms;
  TextData* text = Bench_LoadDocument(path, &prop, &ms);
  if (!text) return 1;
  std::printf("lines=%d bytes=%lld height=%d ms=%.1f rss_kb=%ld\n", TextData_GetCount(text), FileSize(path),
              TextData_GetHeight(text), ms, Bench_PeakRssKb());
  TextData_Destroy(text);
  return 0;
}

int Bench_Roundtrip(const BenchArgs* args) {
  const char* path = Bench_Positional(args, 0);
  const char* out = Bench_Positional(args, 1);
  TextDataProperty prop;
  if (!path || !out || !PropFromArgs(args, &prop)) return Bench_Usage("roundtrip FILE OUT");
  double loadMs;
  TextData* text = Bench_LoadDocument(path, &prop, &loadMs);
  if (!text) return 1;
  double start = Bench_NowMs();
  TextFileStatus status = TextFile_Save(text, out);
  double saveMs = Bench_NowMs() - start;
  TextData_Destroy(text);
  if (status != TEXTFILE_OK) {
    std::fprintf(stderr, "qwilbench: %s: %s\n", out, StatusText(status));
    return 1;
  }
  std::printf("load_ms=%.1f save_ms=%.1f ms=%.1f rss_kb=%ld\n", loadMs, saveMs, loadMs + saveMs, Bench_PeakRssKb());
  return 0;
}

TextEditorBody* Bench_LoadBody(const char* path, long wrapColumns, EditBodyChangeProc callback, void* param) {
  constexpr int32_t kCellWidth = 8;
  constexpr int32_t kLineHeight = 16;
  TextEditorBodyInfo ebi = {};
  ebi.bWrap = wrapColumns > 0 ? 1 : 0;
  ebi.nTab = 8;
  ebi.tm.tmHeight = kLineHeight;
  ebi.tm.tmAscent = 13;
  ebi.tm.tmDescent = 3;
  ebi.tm.tmAveCharWidth = kCellWidth;
  ebi.tm.tmMaxCharWidth = 2 * kCellWidth;
  ebi.tm.tmWeight = 400;
  long columns = wrapColumns > 0 ? wrapColumns : 80;
  ebi.rcEditor = {0, 0, static_cast<LONG>(columns * kCellWidth), 40 * kLineHeight};
  TextEditorBody* body = EditBody_Create(&ebi, callback, param);
  if (!body) {
    std::fprintf(stderr, "qwilbench: out of memory\n");
    return nullptr;
  }
  TextFileStatus status;
  if (!EditBody_Load(body, path, &status)) {
    std::fprintf(stderr, "qwilbench: %s: %s\n", path, StatusText(status));
    EditBody_Destroy(body);
    return nullptr;
  }
  return body;
}

// Wrapping switched on over a loaded document, then off again.
int Bench_Wrap(const BenchArgs* args) {
  const char* path = Bench_Positional(args, 0);
  const long columns = Bench_OptionLong(args, "--wrap", 80);
  if (!path || columns <= 0) return Bench_Usage("wrap FILE [--wrap COLUMNS]");
  TextDataProperty prop = {0, static_cast<int32_t>(columns), 8};
  TextData* text = Bench_LoadDocument(path, &prop, nullptr);
  if (!text) return 1;
  prop.wrap = 1;
  double start = Bench_NowMs();
  const bool on = TextData_SetProp(text, &prop);
  const double onMs = Bench_NowMs() - start;
  const int32_t height = TextData_GetHeight(text);
  prop.wrap = 0;
  start = Bench_NowMs();
  TextData_SetProp(text, &prop);
  const double offMs = Bench_NowMs() - start;
  std::printf("wrapped=%s height=%d on_ms=%.1f off_ms=%.1f rss_kb=%ld\n", on ? "yes" : "no memory", height, onMs,
              offMs, Bench_PeakRssKb());
  TextData_Destroy(text);
  return on ? 0 : 1;
}
