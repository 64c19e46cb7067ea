// Typing and row moves in the editor body, timed without painting: what a
// keystroke or an arrow key costs the core, with the change callback doing the
// window's own mappings (the pixel rectangles to scroll and repaint).
#include <cstdio>
#include <cstdlib>

#include "bench/bench.h"
#include "editctrl/editbody.h"
#include "editctrl/editselect.h"
#include "editctrl/editundo.h"

namespace {


struct ChangeSink {
  int64_t area;  // keeps the rectangles from being optimised away
  TextEditorBody* body;
};

void OnChange(void* param, const DisplayRange* after, const DisplayRange* before) {
  ChangeSink* sink = static_cast<ChangeSink*>(param);
  RECT clip = EditBody_TextRect(sink->body);
  RECT a = EditBody_ChangeRect(sink->body, after, &clip);
  RECT b = EditBody_ChangeRect(sink->body, before, &clip);
  POINT caret = EditBody_DisplayToPixel(sink->body, EditBody_PosToDisplay(sink->body, sink->body->ptCaret));
  sink->area += int64_t(a.bottom - a.top) + (b.bottom - b.top) + caret.y;
}

// A body holding the file, laid out for the wrap width asked for; null after a message.
TextEditorBody* LoadBody(const BenchArgs* args, ChangeSink* sink) {
  const char* path = Bench_Positional(args, 0);
  if (!path) return nullptr;
  TextEditorBody* body = Bench_LoadBody(path, Bench_OptionLong(args, "--wrap", 0), OnChange, sink);
  sink->body = body;
  return body;
}

}  // namespace

int Bench_Type(const BenchArgs* args) {
  if (!Bench_Positional(args, 0)) return Bench_Usage("type needs a FILE");
  long keys = Bench_OptionLong(args, "--keys", 1000);
  if (keys <= 0) return Bench_Usage("--keys must be positive");
  ChangeSink sink = {0, nullptr};
  TextEditorBody* body = LoadBody(args, &sink);
  if (!body) return 1;
  int32_t lines = TextData_GetCount(body->text);
  long line = Bench_OptionLong(args, "--line", lines);  // counted from 1
  if (line < 1) line = 1;
  if (line > lines) line = lines;
  POINT at = EditBody_LineEnd(body, {0, static_cast<int32_t>(line - 1)});
  EditBody_SetSelection(body, at, at);
  EditBody_PosToDisplay(body, at);  // the caret is shown before typing starts
  double start = Bench_NowMs();
  for (long i = 0; i < keys; ++i) {
    char c = static_cast<char>('a' + i % 26);
    if (!EditBody_ReplaceSelection(body, &c, 1, true)) {
      std::fprintf(stderr, "qwilbench: typing failed at key %ld\n", i);
      EditBody_Destroy(body);
      return 1;
    }
  }
  double ms = Bench_NowMs() - start;
  std::printf("keys=%ld line=%ld lines=%d height=%d us_per_key=%.3f ms=%.3f check=%lld\n", keys, line, lines,
              TextData_GetHeight(body->text), ms * 1000.0 / keys, ms, static_cast<long long>(sink.area % 1000));
  EditBody_Destroy(body);
  return 0;
}

int Bench_Rows(const BenchArgs* args) {
  if (!Bench_Positional(args, 0)) return Bench_Usage("rows needs a FILE");
  long moves = Bench_OptionLong(args, "--moves", 10000);
  if (moves <= 0) return Bench_Usage("--moves must be positive");
  ChangeSink sink = {0, nullptr};
  TextEditorBody* body = LoadBody(args, &sink);
  if (!body) return 1;
  const int32_t height = TextData_GetHeight(body->text);
  const int32_t span = height > 200 ? 100 : height / 2;  // rows walked each way, near the end
  POINT caret = EditBody_DisplayToPos(body, {10, height - 1 - span});
  int64_t sum = 0;
  double start = Bench_NowMs();
  for (long i = 0; i < moves; ++i) {
    bool down = (i / (span > 0 ? span : 1)) % 2 == 0;
    caret = down ? EditBody_RowsDown(body, caret, 1) : EditBody_RowsUp(body, caret, 1);
    sum += caret.x;
  }
  double ms = Bench_NowMs() - start;

  // Ctrl+End and Ctrl+Home from the top, then a jump over half the document and back.
  double t0 = Bench_NowMs();
  POINT end = EditBody_DocumentEnd(body);
  sum += EditBody_PosToDisplay(body, end).y;
  POINT home = {0, 0};
  sum += EditBody_PosToDisplay(body, home).y;
  double t1 = Bench_NowMs();
  POINT mid = EditBody_RowsDown(body, home, height / 2);
  double t2 = Bench_NowMs();
  POINT back = EditBody_RowsUp(body, mid, height / 2);
  double t3 = Bench_NowMs();
  sum += mid.y + back.y;
  std::printf("moves=%ld height=%d us_per_move=%.3f ms=%.3f ends_us=%.3f half_down_ms=%.3f half_up_ms=%.3f check=%lld\n",
              moves, height, ms * 1000.0 / moves, ms, (t1 - t0) * 1000.0, t2 - t1, t3 - t2,
              static_cast<long long>(sum % 1000));
  EditBody_Destroy(body);
  return 0;
}
