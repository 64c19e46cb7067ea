#include "editctrl/prnttext.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tools/charrule.h"
#include "tools/debuglog.h"

namespace {

TextDataProperty Prop(bool wrap, int32_t width, int32_t tabsize) {
  TextDataProperty p;
  p.wrap = wrap ? 1 : 0;
  p.width = width;
  p.tabsize = tabsize;
  return p;
}

struct Doc {
  TextData* text;
  explicit Doc(const std::string& s, TextDataProperty p = Prop(false, 80, 8)) : text(TextData_Create(&p)) {
    POINT end;
    EXPECT_TRUE(TextData_Append(text, s.data(), static_cast<int32_t>(s.size()), &end));
  }
  ~Doc() { TextData_Destroy(text); }
};

enum EventKind { kStartDoc, kEndDoc, kAbortDoc, kStartPage, kEndPage, kText };

struct Event {
  EventKind kind;
  int32_t x, y;
  std::string bytes;
};

struct Text {
  int32_t x, y;
  std::string bytes;
};

// A printer that records what it is asked to do. Its font gives every one-byte
// character nWidth pixels (a space nSpace), every two-byte character twice
// nWidth, all nHeight tall. Faults and a cancel can be set to happen at a chosen
// page; -1 is never.
struct Recorder {
  int32_t nDpiX = 600, nDpiY = 600, nWidth = 1000, nHeight = 1000;
  int32_t nCharWidth = 10, nSpace = 10, nCharHeight = 12;
  int32_t nFailStartDoc = 0, nFailEndDoc = 0;
  int32_t nFailStartPage = -1;  // the page number that fails
  int32_t nFailEndPage = -1;
  int32_t nCancelAfterPages = -1;  // pages ended before the user cancels
  int32_t nCancelAfterTexts = -1;  // characters drawn before the user cancels
  int32_t nPages = 0, nEnded = 0, nContinues = 0;
  std::vector<Event> events;
  PrintSeam seam;

  Recorder() {
    seam.pContext = this;
    seam.pfnGetDeviceCaps = [](void* c, PrintCap cap) {
      Recorder* r = static_cast<Recorder*>(c);
      switch (cap) {
        case kPrintCapDpiX:
          return r->nDpiX;
        case kPrintCapDpiY:
          return r->nDpiY;
        case kPrintCapWidth:
          return r->nWidth;
        case kPrintCapHeight:
          return r->nHeight;
      }
      return 0;
    };
    seam.pfnStartDoc = [](void* c) { return static_cast<Recorder*>(c)->Log(kStartDoc, !static_cast<Recorder*>(c)->nFailStartDoc); };
    seam.pfnEndDoc = [](void* c) { return static_cast<Recorder*>(c)->Log(kEndDoc, !static_cast<Recorder*>(c)->nFailEndDoc); };
    seam.pfnAbortDoc = [](void* c) { return static_cast<Recorder*>(c)->Log(kAbortDoc, true); };
    seam.pfnStartPage = [](void* c) {
      Recorder* r = static_cast<Recorder*>(c);
      return r->Log(kStartPage, ++r->nPages != r->nFailStartPage);
    };
    seam.pfnEndPage = [](void* c) {
      Recorder* r = static_cast<Recorder*>(c);
      bool ok = r->nPages != r->nFailEndPage;
      if (ok) ++r->nEnded;
      return r->Log(kEndPage, ok);
    };
    seam.pfnTextExtent = [](void* c, const char* bytes, int32_t n) {
      Recorder* r = static_cast<Recorder*>(c);
      SIZE s = {0, r->nCharHeight};
      for (int32_t i = 0; i < n; ++i) s.cx += bytes[i] == ' ' ? r->nSpace : r->nCharWidth;
      return s;
    };
    seam.pfnTextOut = [](void* c, int32_t x, int32_t y, const char* bytes, int32_t n) {
      static_cast<Recorder*>(c)->events.push_back({kText, x, y, std::string(bytes, static_cast<size_t>(n))});
    };
    seam.pfnContinue = [](void* c) {
      Recorder* r = static_cast<Recorder*>(c);
      ++r->nContinues;
      if (r->nCancelAfterPages >= 0 && r->nEnded >= r->nCancelAfterPages) return false;
      return !(r->nCancelAfterTexts >= 0 && int32_t(r->Texts().size()) >= r->nCancelAfterTexts);
    };
  }

  int32_t Log(EventKind kind, bool ok) {
    events.push_back({kind, 0, 0, std::string()});
    return ok ? 1 : -1;
  }

  std::vector<Text> Texts() const {
    std::vector<Text> out;
    for (const Event& e : events) {
      if (e.kind == kText) out.push_back({e.x, e.y, e.bytes});
    }
    return out;
  }
  // The characters drawn on each page, in order.
  std::vector<std::vector<Text>> Pages() const {
    std::vector<std::vector<Text>> pages;
    for (const Event& e : events) {
      if (e.kind == kStartPage) pages.emplace_back();
      if (e.kind == kText) pages.back().push_back({e.x, e.y, e.bytes});
    }
    return pages;
  }
  // Everything but the characters, as letters: D start doc, E end doc, A abort,
  // P start page, p end page.
  std::string Calls() const {
    std::string s;
    for (const Event& e : events) {
      if (e.kind != kText) s += "DEAPp"[e.kind];
    }
    return s;
  }
  std::string Drawn() const {
    std::string s;
    for (const Event& e : events) s += e.bytes;
    return s;
  }
  int32_t Width(const std::string& bytes) const {
    return seam.pfnTextExtent(seam.pContext, bytes.data(), static_cast<int32_t>(bytes.size())).cx;
  }
};

PrintMargins Margins(uint32_t flags, LONG left, LONG top, LONG right, LONG bottom) {
  PrintMargins m;
  m.dwFlags = flags;
  m.rtMargin = {left, top, right, bottom};
  return m;
}

const PrintMargins kNoMargins = Margins(kPrintInThousandthsOfInches, 0, 0, 0, 0);

std::string Lines(int32_t count) {
  std::string s;
  for (int32_t i = 1; i <= count; ++i) s += (i > 1 ? "\r\n" : "") + std::to_string(i);
  return s;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += text[i];
    }
  }
  return lines;
}

std::string g_log;
void LogSink(const char* format, va_list args) {
  char buffer[kDebugLogBufferSize];
  DebugLog_Format(buffer, sizeof(buffer), format, args);
  g_log += buffer;
}

struct LogCapture {
  LogCapture() {
    g_log.clear();
    DebugLog_SetSink(LogSink);
  }
  ~LogCapture() { DebugLog_SetSink(nullptr); }
};

TEST(PrintText, MarginsBecomeDevicePixelsInEitherUnit) {
  struct Case {
    uint32_t flags;
    int32_t margin, dpi, expected;
  } cases[] = {
      {kPrintInThousandthsOfInches, 1000, 600, 600},
      {kPrintInHundredthsOfMillimeters, 2540, 600, 600},
      {kPrintInHundredthsOfMillimeters, 2000, 300, 237},  // 20 mm is 0.79 inch to the hundredth
      {kPrintInHundredthsOfMillimeters, 25, 600, 6},      // a quarter millimetre rounds up to 0.01 inch
      {kPrintInHundredthsOfMillimeters, 12, 600, 0},
      {kPrintInThousandthsOfInches, 999, 600, 599},
      {kPrintInThousandthsOfInches, 500, 0, 0},
      {kPrintInThousandthsOfInches, -1000, 600, 0},  // a negative margin is no margin
      {0, 1000, 600, 0},                               // no unit: no margins
      {kPrintInThousandthsOfInches, INT32_MAX, 2400, INT32_MAX},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, PrintText_MarginToPixels(c.margin, c.flags, c.dpi))
        << "margin " << c.margin << " flags " << c.flags << " at " << c.dpi << " dpi";
  }
}

TEST(PrintText, FirstCharacterStandsAtTheTopLeftMargin) {
  const PrintMargins units[] = {Margins(kPrintInThousandthsOfInches, 1000, 500, 1000, 500),
                                Margins(kPrintInHundredthsOfMillimeters, 2540, 1270, 2540, 1270)};
  for (const PrintMargins& m : units) {
    Recorder r;
    r.nDpiX = 600;
    r.nDpiY = 600;
    r.nWidth = 4800;
    r.nHeight = 6600;
    Doc d("ab\r\nc");
    EXPECT_EQ(kPrintDone, PrintText_Run(&r.seam, d.text, &m));
    std::vector<Text> t = r.Texts();
    ASSERT_EQ(3u, t.size()) << "flags " << m.dwFlags;
    EXPECT_EQ(600, t[0].x);
    EXPECT_EQ(300, t[0].y);
    EXPECT_EQ(610, t[1].x);
    EXPECT_EQ(300, t[1].y);
    EXPECT_EQ(600, t[2].x);
    EXPECT_EQ(312, t[2].y);
    RECT rc = PrintText_PrintableRect(&r.seam, &m);
    EXPECT_EQ(4200, rc.right);
    EXPECT_EQ(6300, rc.bottom);
  }
}

TEST(PrintText, MarginsLeavingNoRoomStartNoJob) {
  struct Case {
    int32_t left, top, right, bottom;
  } cases[] = {
      {500, 0, 500, 0},      // exactly the width
      {800, 0, 300, 0},      // more than the width
      {0, 600, 0, 400},      // exactly the height
      {0, 0, 0, 5000},       // one margin over the whole page
      {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
  };
  for (const Case& c : cases) {
    LogCapture log;
    Recorder r;
    r.nDpiX = r.nDpiY = 1000;  // thousandths of an inch are pixels
    r.nWidth = 1000;
    r.nHeight = 1000;
    Doc d("text");
    PrintMargins m = Margins(kPrintInThousandthsOfInches, c.left, c.top, c.right, c.bottom);
    EXPECT_EQ(kPrintMarginsTooLarge, PrintText_Run(&r.seam, d.text, &m));
    EXPECT_EQ("", r.Calls()) << c.left << " " << c.top << " " << c.right << " " << c.bottom;
    EXPECT_NE(std::string::npos, g_log.find("余白")) << g_log;
  }
  Recorder none;  // a device without a printable area
  none.nWidth = 0;
  Doc d("text");
  EXPECT_EQ(kPrintMarginsTooLarge, PrintText_Run(&none.seam, d.text, &kNoMargins));
  EXPECT_EQ("", none.Calls());
}

TEST(PrintText, EmptyDocumentStartsAndEndsTheJobWithoutAPage) {
  Recorder r;
  Doc d("");
  EXPECT_EQ(kPrintDone, PrintText_Run(&r.seam, d.text, &kNoMargins));
  EXPECT_EQ("DE", r.Calls());

  Recorder blank;  // one empty line and its line end: one line, so one page
  Doc two("\r\n");
  EXPECT_EQ(kPrintDone, PrintText_Run(&blank.seam, two.text, &kNoMargins));
  EXPECT_EQ("DPpE", blank.Calls());
  EXPECT_TRUE(blank.Texts().empty());
}

TEST(PrintText, LongLineBreaksAtTheRightMarginWithoutLosingACharacter) {
  Recorder r;
  r.nWidth = 90;  // nine characters of 10 pixels fill it exactly
  Doc d(std::string(300, 'x'));
  EXPECT_EQ(kPrintDone, PrintText_Run(&r.seam, d.text, &kNoMargins));
  std::vector<Text> t = r.Texts();
  ASSERT_EQ(300u, t.size());
  EXPECT_EQ(std::string(300, 'x'), r.Drawn());
  for (size_t i = 0; i < t.size(); ++i) {
    EXPECT_EQ(int32_t(i % 9) * 10, t[i].x) << "character " << i;
    EXPECT_EQ(int32_t(i / 9) * 12, t[i].y) << "character " << i;
    EXPECT_LE(t[i].x + 10, 90) << "character " << i << " crosses the right margin";
  }
  EXPECT_EQ("DPpE", r.Calls());  // 34 print lines of 12 pixels fit 1000
}

TEST(PrintText, TwoByteCharactersAreNeverSplit) {
  Recorder r;
  r.nWidth = 95;   // four two-byte characters (80), a fifth would cross
  r.nHeight = 36;  // three print lines a page
  std::string line;
  for (int i = 0; i < 30; ++i) line += "あ";
  line += "x漢";
  Doc d(line);
  EXPECT_EQ(kPrintDone, PrintText_Run(&r.seam, d.text, &kNoMargins));
  std::vector<std::vector<Text>> pages = r.Pages();
  ASSERT_EQ(3u, pages.size());  // 8 print lines: "あ"x30 then "x漢" ("x" fits behind the last two)
  std::string drawn;
  for (const std::vector<Text>& page : pages) {
    for (const Text& t : page) {
      drawn += t.bytes;
      EXPECT_EQ(t.bytes == "x" ? 1u : 2u, t.bytes.size()) << "a text of " << t.bytes.size() << " bytes";
      EXPECT_LE(t.x + r.Width(t.bytes), 95) << t.bytes << " at " << t.x << " crosses the right margin";
      EXPECT_LE(t.y + 12, 36) << t.bytes << " at " << t.y << " crosses the bottom margin";
    }
  }
  EXPECT_EQ(line, drawn);
  EXPECT_EQ(12u, pages[0].size());
  ASSERT_EQ(8u, pages[2].size());
  EXPECT_EQ("x", pages[2][6].bytes);
  EXPECT_EQ(40, pages[2][6].x);
  EXPECT_EQ("漢", pages[2][7].bytes);
  EXPECT_EQ(50, pages[2][7].x);  // still fits: 50 + 20 <= 95
}

TEST(PrintText, TabsAdvanceBySpaceWidthsAndAreNeverDrawn) {
  Recorder r;
  r.nSpace = 6;
  Doc d("a\tb\t\tc\r\n\tx");
  EXPECT_EQ(kPrintDone, PrintText_Run(&r.seam, d.text, &kNoMargins));
  std::vector<Text> t = r.Texts();
  ASSERT_EQ(4u, t.size());
  for (const Text& e : t) EXPECT_EQ(std::string::npos, e.bytes.find('\t'));
  EXPECT_EQ("abcx", r.Drawn());
  EXPECT_EQ(0, t[0].x);
  EXPECT_EQ(10 + 7 * 6, t[1].x);            // "a" then 7 cells to the stop at 8
  EXPECT_EQ(10 + 7 * 6 + 10 + 7 * 6 + 8 * 6, t[2].x);  // from cell 9 to 16, then to 24
  EXPECT_EQ(8 * 6, t[3].x);
  EXPECT_EQ(12, t[3].y);

  Recorder four;
  Doc d4("a\tb", Prop(false, 80, 4));
  EXPECT_EQ(kPrintDone, PrintText_Run(&four.seam, d4.text, &kNoMargins));
  EXPECT_EQ(10 + 3 * 10, four.Texts()[1].x);
}

TEST(PrintText, TabStopsCountFromTheStartOfThePrintLine) {
  Recorder r;
  r.nWidth = 155;  // fifteen characters a print line
  Doc d(std::string(17, 'x') + "\tb");
  EXPECT_EQ(kPrintDone, PrintText_Run(&r.seam, d.text, &kNoMargins));
  std::vector<Text> t = r.Texts();
  ASSERT_EQ(18u, t.size());
  EXPECT_EQ("b", t[17].bytes);
  EXPECT_EQ(12, t[17].y);
  EXPECT_EQ(80, t[17].x);  // "xx" then the tab to cell 8 of the second print line

  // A tab that would cross the margin moves to the next print line whole.
  Recorder edge;
  edge.nWidth = 75;
  Doc e("xxxxx\tb");
  EXPECT_EQ(kPrintDone, PrintText_Run(&edge.seam, e.text, &kNoMargins));
  t = edge.Texts();
  ASSERT_EQ(6u, t.size());
  EXPECT_EQ(24, t[5].y);  // the tab, wider than the line, fills a print line of its own
  EXPECT_EQ(0, t[5].x);
}

TEST(PrintText, PaperDoesNotDependOnTheEditorsWrapWidth) {
  std::string text = "\tone\ttwo\tthree\r\n" + std::string(40, 'y') + "\tz\r\n漢字\t\tかな";
  std::vector<Event> reference;
  for (const TextDataProperty& p : {Prop(false, 80, 8), Prop(true, 7, 8), Prop(true, 30, 8)}) {
    Recorder r;
    r.nWidth = 230;
    Doc d(text, p);
    EXPECT_EQ(kPrintDone, PrintText_Run(&r.seam, d.text, &kNoMargins));
    if (reference.empty()) {
      reference = r.events;
      continue;
    }
    ASSERT_EQ(reference.size(), r.events.size()) << "wrap width " << p.width;
    for (size_t i = 0; i < reference.size(); ++i) {
      EXPECT_EQ(reference[i].x, r.events[i].x) << "event " << i << " at wrap width " << p.width;
      EXPECT_EQ(reference[i].y, r.events[i].y) << "event " << i << " at wrap width " << p.width;
    }
  }
}

TEST(PrintText, PagesHoldAsManyLinesAsFitAndAtLeastOne) {
  struct Case {
    int32_t lines, height, pages;
  } cases[] = {
      {120, 120, 12},  // exactly ten lines of 12 pixels
      {120, 119, 14},  // one pixel short: nine a page
      {120, 131, 12},  // 10.9 lines: still ten
      {10, 120, 1},
      {11, 120, 2},
      {1, 120, 1},
      {5, 5, 5},  // a page lower than a line still takes one
  };
  LogCapture log;
  for (const Case& c : cases) {
    Recorder r;
    r.nHeight = c.height;
    Doc d(Lines(c.lines));
    EXPECT_EQ(kPrintDone, PrintText_Run(&r.seam, d.text, &kNoMargins));
    std::vector<std::vector<Text>> pages = r.Pages();
    EXPECT_EQ(size_t(c.pages), pages.size()) << c.lines << " lines on pages " << c.height << " high";
    EXPECT_EQ(Lines(c.lines).size() - 2 * (c.lines - 1), r.Drawn().size());
    int32_t perPage = c.height / 12 > 0 ? c.height / 12 : 1;
    for (size_t p = 0; p < pages.size(); ++p) {
      // The first line of every page is the line that follows the last one before.
      std::string first = std::to_string(int32_t(p) * perPage + 1);
      EXPECT_EQ(first.substr(0, 1), pages[p].front().bytes) << "page " << p + 1;
      EXPECT_EQ(0, pages[p].front().y) << "page " << p + 1;
    }
    std::string calls = "D";
    for (int32_t p = 0; p < c.pages; ++p) calls += "Pp";
    EXPECT_EQ(calls + "E", r.Calls());
  }
}

TEST(PrintText, EmptyLinesTakeALineEach) {
  Recorder r;
  Doc d("a\r\n\r\n\r\nb\r\n");
  EXPECT_EQ(kPrintDone, PrintText_Run(&r.seam, d.text, &kNoMargins));
  std::vector<Text> t = r.Texts();
  ASSERT_EQ(2u, t.size());
  EXPECT_EQ(36, t[1].y);
  EXPECT_EQ("DPpE", r.Calls());  // the empty line behind the last line end adds no page
}

TEST(PrintText, CancelAfterPageTwoAbortsAndDrawsNothingMore) {
  LogCapture log;
  Recorder r;
  r.nHeight = 24;  // two lines a page
  r.nCancelAfterPages = 2;
  Doc d(Lines(9));
  EXPECT_EQ(kPrintCancelled, PrintText_Run(&r.seam, d.text, &kNoMargins));
  EXPECT_EQ("DPpPpA", r.Calls());
  EXPECT_EQ("1234", r.Drawn());
  // Every page is logged when it starts and when it ends, in order.
  size_t at = 0;
  for (const char* line : {") : [開始] 1 ページ目 \r\n", ") : [終了] 1 ページ目 \r\n", ") : [開始] 2 ページ目 \r\n",
                           ") : [終了] 2 ページ目 \r\n", ") : 印刷が中止されました。 \r\n"}) {
    size_t found = g_log.find(line, at);
    ASSERT_NE(std::string::npos, found) << "missing " << line << " in " << g_log;
    at = found + 1;
  }
  EXPECT_EQ(std::string::npos, g_log.find("3 ページ目")) << g_log;

  // Cancelled in the middle of a page: the page is never ended, the job is aborted.
  Recorder mid;
  mid.nWidth = 35;  // three characters a print line
  mid.nCancelAfterTexts = 4;
  Doc line(std::string(20, 'x'));
  EXPECT_EQ(kPrintCancelled, PrintText_Run(&mid.seam, line.text, &kNoMargins));
  EXPECT_EQ("DPA", mid.Calls());
  EXPECT_LE(mid.Texts().size(), 6u);  // at most the rest of the print line it was in
  EXPECT_GE(mid.Texts().size(), 4u);
}

TEST(PrintText, FailuresAbortTheJobAndSayWhy) {
  struct Case {
    const char* name;
    int32_t startDoc, startPage, endPage, endDoc;
    PrintResult result;
    const char* calls;
    const char* logged;
  } cases[] = {
      {"StartDoc", 1, -1, -1, 0, kPrintStartDocFailed, "D", "印刷ジョブが開始できませんでした。"},
      {"first StartPage", 0, 1, -1, 0, kPrintStartPageFailed, "DPA", "ページの印刷が開始できませんでした。"},
      {"second StartPage", 0, 2, -1, 0, kPrintStartPageFailed, "DPpPA", "ページの印刷が開始できませんでした。"},
      {"second EndPage", 0, -1, 2, 0, kPrintEndPageFailed, "DPpPpA", "ページの印刷が正常に終了できませんでした。"},
      {"EndDoc", 0, -1, -1, 1, kPrintEndDocFailed, "DPpPpPpE", "印刷ジョブが正常に終了できませんでした。"},
  };
  for (const Case& c : cases) {
    LogCapture log;
    Recorder r;
    r.nHeight = 24;
    r.nFailStartDoc = c.startDoc;
    r.nFailStartPage = c.startPage;
    r.nFailEndPage = c.endPage;
    r.nFailEndDoc = c.endDoc;
    Doc d(Lines(6));
    EXPECT_EQ(c.result, PrintText_Run(&r.seam, d.text, &kNoMargins)) << c.name;
    EXPECT_EQ(c.calls, r.Calls()) << c.name;
    EXPECT_NE(std::string::npos, g_log.find(c.logged)) << c.name << ": " << g_log;
    EXPECT_NE(std::string::npos, g_log.find("prnttext.cpp(")) << g_log;
  }
}

TEST(PrintText, PrintFontIsTheDisplayFontAtThePointSize) {
  LOGFONTA display = {};
  display.lfHeight = 16;
  display.lfWidth = 8;
  display.lfWeight = 400;
  display.lfCharSet = 128;
  display.lfPitchAndFamily = 49;
  snprintf(display.lfFaceName, sizeof(display.lfFaceName), "%s", "FixedSys");
  struct Case {
    int32_t pointSize, dpi, height;
  } cases[] = {
      {140, 600, -117},  // 116.67
      {140, 300, -58},   // 58.33
      {100, 96, -13},
      {1, 360, -1},      // exactly a half rounds away from zero
      {0, 720, -140},    // no size: the default 14 points
      {-20, 720, -140},
  };
  for (const Case& c : cases) {
    LOGFONTA f = PrintText_PrintFont(&display, c.pointSize, c.dpi);
    EXPECT_EQ(c.height, f.lfHeight) << c.pointSize << " at " << c.dpi << " dpi";
    EXPECT_EQ(0, f.lfWidth);  // a screen width would squeeze the letters on paper
    EXPECT_EQ(400, f.lfWeight);
    EXPECT_EQ(128, f.lfCharSet);
    EXPECT_STREQ("FixedSys", f.lfFaceName);
  }
}

// Random documents on random pages: every character is drawn once, whole, in
// order, inside the printable rectangle (a character wider than the whole width
// excepted), and pages are started and ended in pairs.
TEST(PrintText, RandomDocumentsLoseNothingAndStayInsideTheMargins) {
  LogCapture log;
  std::mt19937 rng(14);
  const char* pieces[] = {"a", "W", " ", "\t", "あ", "漢", "\r\n", "\n", "\x81", "\xEF\xBF", "\x00"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    int n = static_cast<int>(rng() % 200);
    for (int i = 0; i < n; ++i) {
      const char* p = pieces[rng() % (sizeof(pieces) / sizeof(pieces[0]))];
      text += p[0] == 0 ? std::string(1, '\0') : std::string(p);
    }
    Recorder r;
    r.nWidth = 5 + static_cast<int32_t>(rng() % 200);
    r.nHeight = 5 + static_cast<int32_t>(rng() % 100);
    r.nCharWidth = 1 + static_cast<int32_t>(rng() % 12);
    r.nSpace = static_cast<int32_t>(rng() % 12);
    Doc d(text, Prop(rng() % 2 == 0, 1 + static_cast<int32_t>(rng() % 20), 1 + static_cast<int32_t>(rng() % 8)));
    PrintMargins m = Margins(kPrintInThousandthsOfInches, 3, 2, 1, 4);  // at 600 dpi: 1, 1, 0, 2 pixels
    RECT rc = PrintText_PrintableRect(&r.seam, &m);
    ASSERT_EQ(kPrintDone, PrintText_Run(&r.seam, d.text, &m)) << "round " << round;

    // The characters by the character rules, line by line; tabs are not drawn.
    std::vector<std::string> expected;
    for (const std::string& line : SplitLines(text)) {
      int32_t length = static_cast<int32_t>(line.size());
      for (int32_t i = 0; i < length;) {
        int32_t n = Char_Length(line.data(), length, i);
        if (line.compare(size_t(i), size_t(n), "\t") != 0) expected.push_back(line.substr(size_t(i), size_t(n)));
        i += n;
      }
    }
    std::vector<Text> drawn = r.Texts();
    ASSERT_EQ(expected.size(), drawn.size()) << "round " << round;
    for (size_t i = 0; i < drawn.size(); ++i) ASSERT_EQ(expected[i], drawn[i].bytes) << "round " << round;
    std::string calls = r.Calls();
    ASSERT_EQ('D', calls.front());
    ASSERT_EQ('E', calls.back());
    for (size_t i = 1; i + 1 < calls.size(); i += 2) ASSERT_EQ("Pp", calls.substr(i, 2)) << calls;
    for (const std::vector<Text>& page : r.Pages()) {
      for (const Text& t : page) {
        int32_t w = r.Width(t.bytes);
        ASSERT_GE(t.x, rc.left);
        ASSERT_GE(t.y, rc.top);
        if (w <= rc.right - rc.left) {
          ASSERT_LE(t.x + w, rc.right) << "round " << round << " " << t.bytes;
        }
        if (t.y > rc.top) {
          ASSERT_LE(t.y + r.nCharHeight, rc.bottom) << "round " << round;
        }
      }
    }
  }
}

}  // namespace
