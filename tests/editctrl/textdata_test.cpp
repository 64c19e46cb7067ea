#include "editctrl/textdata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "editctrl/textfile.h"
#include "editctrl/textmodel.h"
#include "tools/memory.h"

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
  explicit Doc(TextDataProperty p = Prop(false, 80, 8)) : text(TextData_Create(&p)) {}
  ~Doc() { TextData_Destroy(text); }
  POINT Append(const std::string& s) {
    POINT end = {-1, -1};
    EXPECT_TRUE(TextData_Append(text, s.data(), static_cast<int32_t>(s.size()), &end));
    return end;
  }
  std::string Line(int32_t y) {
    LineData* l = TextData_Lookup(text, y, nullptr);
    return std::string(Line_GetString(l), static_cast<size_t>(Line_GetLength(l)));
  }
  std::string Crlf(int32_t y) { return Line_GetCrlf(TextData_Lookup(text, y, nullptr)); }
};

TEST(TextData, AppendSplitsAtEveryKindOfLineEnd) {
  Doc d;
  POINT end = d.Append("a\r\nb");
  EXPECT_EQ(1, end.x);
  EXPECT_EQ(1, end.y);
  EXPECT_EQ(2, TextData_GetCount(d.text));
  EXPECT_EQ(2, TextData_GetLength(d.text));
  EXPECT_EQ("\r\n", d.Crlf(0));
  EXPECT_EQ("", d.Crlf(1));

  Doc three;
  three.Append("a\n\rb");  // LF then CR: two line ends
  ASSERT_EQ(3, TextData_GetCount(three.text));
  EXPECT_EQ("\n", three.Crlf(0));
  EXPECT_EQ("", three.Line(1));
  EXPECT_EQ("\r", three.Crlf(1));
  EXPECT_EQ("b", three.Line(2));

  Doc trailing;
  end = trailing.Append("x\r\n");
  EXPECT_EQ(0, end.x);
  EXPECT_EQ(1, end.y);
  EXPECT_EQ(2, TextData_GetCount(trailing.text));
}

TEST(TextData, GetTextJoinsWithCrLfAndCutsAtTheLimit) {
  Doc d;
  d.Append("a\nb");
  TextRange all = {{0, 0}, TextData_EndOfDocument(d.text)};
  char buf[8] = {};
  EXPECT_EQ(4, TextData_GetText(d.text, nullptr, all, 0));
  EXPECT_EQ(4, TextData_GetText(d.text, buf, all, 8));
  EXPECT_EQ(std::string("a\r\nb"), std::string(buf, 4));
  char cut[2];
  EXPECT_EQ(2, TextData_GetText(d.text, cut, all, 2));
  EXPECT_EQ(std::string("a\r"), std::string(cut, 2));
  // A reversed range reads the same.
  TextRange reversed = {all.end, all.start};
  EXPECT_EQ(4, TextData_GetText(d.text, buf, reversed, 8));
}

// The joined line ends as the end line did: its tail keeps the line end behind it.
TEST(TextData, DeleteJoinsLinesAndKeepsTheEndLinesEnd) {
  Doc d;
  d.Append("ab\ncd\r\nef");
  EXPECT_TRUE(TextData_Delete(d.text, {{1, 0}, {0, 1}}));
  EXPECT_EQ("acd", d.Line(0));
  EXPECT_EQ("\r\n", d.Crlf(0));
  EXPECT_EQ(2, TextData_GetCount(d.text));
  EXPECT_EQ(5, TextData_GetLength(d.text));
  // Deleting everything leaves one empty line.
  EXPECT_TRUE(TextData_Delete(d.text, {{0, 0}, TextData_EndOfDocument(d.text)}));
  EXPECT_EQ(1, TextData_GetCount(d.text));
  EXPECT_EQ(0, TextData_GetLength(d.text));
  EXPECT_TRUE(TextData_CheckDeep(d.text));
}

TEST(TextData, LookupClampsAndPositionsStopAtTheEnds) {
  Doc d;
  for (int i = 0; i < 99; ++i) d.Append("line\n");
  int32_t index = 7;
  EXPECT_EQ(TextData_GetHead(d.text), TextData_Lookup(d.text, -5, &index));
  EXPECT_EQ(0, index);
  EXPECT_EQ(TextData_GetTail(d.text), TextData_Lookup(d.text, 100 + 3, &index));
  EXPECT_EQ(99, index);

  POINT end = TextData_EndOfDocument(d.text);
  POINT next = TextData_NextPosition(d.text, end);
  EXPECT_EQ(end.x, next.x);
  EXPECT_EQ(end.y, next.y);
  POINT origin = TextData_PrevPosition(d.text, {0, 0});
  EXPECT_EQ(0, origin.x);
  EXPECT_EQ(0, origin.y);
  POINT back = TextData_PrevPosition(d.text, {0, 3});
  EXPECT_EQ(4, back.x);
  EXPECT_EQ(2, back.y);
  POINT over = TextData_NextPosition(d.text, {4, 2});
  EXPECT_EQ(0, over.x);
  EXPECT_EQ(3, over.y);
}

TEST(TextData, PositionsStepOverTwoByteCharacters) {
  Doc d;
  d.Append("aあ\x82");  // the last byte is a lone lead byte
  POINT p = TextData_NextPosition(d.text, {1, 0});
  EXPECT_EQ(3, p.x);
  p = TextData_NextPosition(d.text, p);
  EXPECT_EQ(4, p.x);
  EXPECT_EQ(3, TextData_PrevPosition(d.text, {4, 0}).x);
  EXPECT_EQ(1, TextData_PrevPosition(d.text, {3, 0}).x);
}

TEST(TextData, CharacterCodesAtLineEnds) {
  Doc d;
  d.Append("a\r\nb\nc");
  EXPECT_EQ(13, TextData_GetCharCode(d.text, {1, 0}));
  EXPECT_EQ(10, TextData_GetCharCode(d.text, {1, 1}));
  EXPECT_EQ(0, TextData_GetCharCode(d.text, {1, 2}));
  EXPECT_EQ('c', TextData_GetCharCode(d.text, {0, 2}));
}

TEST(TextRange, ClipAndCover) {
  TextRange r = {{2, 3}, {4, 5}};
  int32_t a, b;
  TextRange_ClipToLine(r, 3, 10, &a, &b);
  EXPECT_EQ(2, a);
  EXPECT_EQ(10, b);
  TextRange_ClipToLine(r, 4, 10, &a, &b);
  EXPECT_EQ(0, a);
  EXPECT_EQ(10, b);
  TextRange_ClipToLine(r, 5, 10, &a, &b);
  EXPECT_EQ(0, a);
  EXPECT_EQ(4, b);
  TextRange_ClipToLine(r, 6, 10, &a, &b);
  EXPECT_EQ(0, a);
  EXPECT_EQ(0, b);

  // The anchor stays and the caret moves: only the changed part is repainted.
  TextRange grown = TextRange_Cover({{1, 0}, {5, 0}}, {{1, 0}, {9, 2}});
  EXPECT_EQ(5, grown.start.x);
  EXPECT_EQ(0, grown.start.y);
  EXPECT_EQ(9, grown.end.x);
  EXPECT_EQ(2, grown.end.y);
  TextRange apart = TextRange_Cover({{1, 0}, {2, 0}}, {{4, 4}, {6, 4}});
  EXPECT_EQ(1, apart.start.x);
  EXPECT_EQ(6, apart.end.x);
  EXPECT_EQ(4, apart.end.y);
  TextRange emptyB = TextRange_Cover({{1, 1}, {2, 2}}, {{7, 7}, {7, 7}});
  EXPECT_EQ(1, emptyB.start.x);
  EXPECT_EQ(2, emptyB.end.y);
}

TEST(TextData, WrappedHeightFollowsEdits) {
  Doc d(Prop(true, 10, 8));
  d.Append("123456789");  // ends at column 9: the line end breaks the row
  EXPECT_EQ(2, TextData_GetHeight(d.text));
  d.Append("\nabc\tx");  // the tab reaches column 8, "x" ends at 9: the line end breaks again
  EXPECT_EQ(4, TextData_GetHeight(d.text));
  TextDataProperty unwrapped = Prop(false, 10, 8);
  TextData_SetProp(d.text, &unwrapped);
  EXPECT_EQ(2, TextData_GetHeight(d.text));
  TextDataProperty narrow = Prop(true, 3, 8);
  TextData_SetProp(d.text, &narrow);
  EXPECT_TRUE(TextData_CheckDeep(d.text));
  // Two characters per row: 5 rows of digits; "ab", "c", the tab alone, "x".
  EXPECT_EQ(5 + 4, TextData_GetHeight(d.text));
}

TEST(TextData, RowLookupsAgreeWithSummedRows) {
  Doc d(Prop(true, 6, 4));
  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) d.Append(std::string(rng() % 15, 'x') + "\n");
  std::vector<int32_t> firstRows;
  int32_t row = 0;
  LineCursor c = TextData_CursorAt(d.text, 0);
  do {
    firstRows.push_back(row);
    row += RowsByScan(d.text, LineCursor_Line(&c));
  } while (LineCursor_Next(&c));
  for (int k = 0; k < 2000; ++k) {
    int32_t y = static_cast<int32_t>(rng() % firstRows.size());
    ASSERT_EQ(firstRows[static_cast<size_t>(y)], TextData_GetLineFirstRow(d.text, y));
    int32_t r = static_cast<int32_t>(rng() % (row + 3)) - 1;
    int32_t index, first;
    TextData_RowToLine(d.text, r, &index, &first);
    int32_t want = 0;
    while (want + 1 < static_cast<int32_t>(firstRows.size()) && firstRows[static_cast<size_t>(want) + 1] <= r) ++want;
    ASSERT_EQ(want, index) << "row " << r;
    ASSERT_EQ(firstRows[static_cast<size_t>(want)], first);
    ASSERT_TRUE(TextData_CheckDeep(d.text));
  }
}

// Random edits against the plain model: typing, deleting, pasted blocks with
// every kind of line end, tabs, NULs, two-byte characters and lone lead bytes,
// wrapped and unwrapped, with layout changes and allocation failures mixed in.
struct RandomEditor {
  std::mt19937 rng;
  explicit RandomEditor(uint32_t start) : rng(start) {}

  int32_t Pick(int32_t n) { return static_cast<int32_t>(rng() % static_cast<uint32_t>(n)); }

  std::string Text() {
    static const char* const pieces[] = {"a", "b", " ", "\t", "", "\r", "\n", "\r\n",
                                         "あ", "\x82", "表", "\\", "ｱ", "xyz"};
    std::string s;
    int n = Pick(4) == 0 ? Pick(12) : Pick(3);
    for (int i = 0; i < n; ++i) {
      int k = Pick(14);
      s += (k == 4) ? std::string(1, '\0') : std::string(pieces[k]);
    }
    return s;
  }

  POINT Position(const TextModel& m) {
    int32_t y = Pick(static_cast<int32_t>(m.lines.size()));
    const std::string& b = m.lines[static_cast<size_t>(y)].bytes;
    std::vector<int32_t> starts = {0};
    for (int32_t i = 0; i < static_cast<int32_t>(b.size());) {
      i += Char_Length(b.data(), static_cast<int32_t>(b.size()), i);
      starts.push_back(i);
    }
    return {starts[static_cast<size_t>(Pick(static_cast<int32_t>(starts.size())))], y};
  }
};

void RunRandomEdits(bool wrap, uint32_t start, int steps) {
  Doc d(Prop(wrap, 7, 4));
  TextModel m;
  RandomEditor r(start);
  // Start from loaded lines, whose bytes the document's pool lends them.
  std::string loaded;
  for (int i = 0; i < 30; ++i) loaded += r.Text() + "\r\n";
  TextStream* stream = TextStream_Begin(d.text);
  ASSERT_TRUE(TextStream_Feed(stream, loaded.data(), static_cast<int32_t>(loaded.size()), nullptr));
  ASSERT_TRUE(TextStream_End(stream, nullptr));
  ModelReplace(&m, {0, 0}, {0, 0}, loaded);
  ASSERT_TRUE(SameAsModel(d.text, m));
  int refused = 0;
  size_t mostLines = 0;
  for (int step = 0; step < steps; ++step) {
    mostLines = std::max(mostLines, m.lines.size());
    if (r.Pick(40) == 0) {
      TextDataProperty p = Prop(r.Pick(3) != 0 ? wrap : !wrap, 1 + r.Pick(12), 1 + r.Pick(8));
      TextData_SetProp(d.text, &p);
      ASSERT_TRUE(SameAsModel(d.text, m)) << "step " << step << " after a layout change";
      continue;
    }
    POINT a = r.Position(m);
    POINT b = r.Pick(3) == 0 ? r.Position(m) : a;
    TextRange range = TextRange_Order(a, b);
    std::string s = r.Pick(4) == 0 ? std::string() : r.Text();
    bool injectFault = r.Pick(10) == 0;
    if (injectFault) Mem_FailAfter(r.Pick(3));
    POINT end = {-1, -1};
    bool ok = TextData_Replace(d.text, {b, a}, s.data(), static_cast<int32_t>(s.size()), &end);
    Mem_ClearFault();
    ASSERT_TRUE(ok || injectFault) << "step " << step;
    refused += ok ? 0 : 1;
    if (ok) ModelReplace(&m, range.start, range.end, s);
    ASSERT_TRUE(SameAsModel(d.text, m)) << "step " << step << (ok ? "" : " after a refused edit");
    if (ok) {
      std::vector<ModelLine> runs = ModelSplit(s);
      POINT want = runs.size() == 1 ? POINT{range.start.x + static_cast<LONG>(s.size()), range.start.y}
                                    : POINT{static_cast<LONG>(runs.back().bytes.size()),
                                            range.start.y + static_cast<LONG>(runs.size()) - 1};
      ASSERT_EQ(want.x, end.x) << "step " << step;
      ASSERT_EQ(want.y, end.y) << "step " << step;
    }
  }
  // The run must have met what it is meant to: refusals and many-line documents.
  EXPECT_GT(refused, 0);
  EXPECT_GT(mostLines, 10u);
}

TEST(TextDataRandom, EditsMatchThePlainModelUnwrapped) { RunRandomEdits(false, 1, 4000); }

TEST(TextDataRandom, EditsMatchThePlainModelWrapped) { RunRandomEdits(true, 2, 4000); }

// Loading hands its lines over as they end: the first goes on the document's
// last line, the others follow, each keeping counts, rows and the cache in step.
TEST(TextData, LoadedLinesKeepTheDocumentWhole) {
  Doc d(Prop(true, 4, 4));
  d.Append("ab");
  TextData_Lookup(d.text, 0, nullptr);  // the cache on the head line
  TextStream* s = TextStream_Begin(d.text);
  ASSERT_TRUE(TextStream_Feed(s, "cdefg\n12", 8, nullptr));
  ASSERT_TRUE(TextStream_Feed(s, "345678\r\n", 8, nullptr));
  ASSERT_TRUE(TextStream_End(s, nullptr));
  EXPECT_TRUE(TextData_CheckDeep(d.text));
  TextModel m;
  ModelReplace(&m, {0, 0}, {0, 0}, "abcdefg\n12345678\r\n");
  EXPECT_TRUE(SameAsModel(d.text, m));
  Doc inserted(Prop(true, 4, 4));
  inserted.Append("abcdefg\n12345678\r\n");
  EXPECT_EQ(TextData_GetHeight(inserted.text), TextData_GetHeight(d.text));
  EXPECT_EQ(TextData_GetLineFirstRow(inserted.text, 2), TextData_GetLineFirstRow(d.text, 2));

  // The size limit refuses what would pass it and leaves the document whole.
  const int32_t size = TextData_GetTextSize(d.text);
  d.text->length += kTextMaxSize - size - 2;  // room for two more bytes, or one line end
  s = TextStream_Begin(d.text);
  EXPECT_FALSE(TextStream_Feed(s, "xyz", 3, nullptr));
  TextStream_Abort(s);
  s = TextStream_Begin(d.text);
  EXPECT_TRUE(TextStream_Feed(s, "\n", 1, nullptr));
  EXPECT_TRUE(TextStream_End(s, nullptr));
  s = TextStream_Begin(d.text);
  EXPECT_FALSE(TextStream_Feed(s, "x", 1, nullptr));
  TextStream_Abort(s);
  d.text->length -= kTextMaxSize - size - 2;
  EXPECT_TRUE(TextData_CheckDeep(d.text));
  EXPECT_EQ(4, TextData_GetCount(d.text));
}

TEST(TextData, OversizedEditIsRefused) {
  Doc d;
  // A document that is already nearly full cannot be built cheaply; a huge
  // pretend length stands in for it.
  d.text->length = kTextMaxSize - 3;
  EXPECT_FALSE(TextData_Insert(d.text, {0, 0}, "abcd", 4, nullptr));
  EXPECT_TRUE(TextData_Insert(d.text, {0, 0}, "abc", 3, nullptr));
  d.text->length = 3;
  EXPECT_TRUE(TextData_CheckDeep(d.text));
}

}  // namespace

namespace {

// Documents of several blocks: pastes and deletions of thousands of lines split
// blocks, spread lines over new ones and join emptied ones, against the plain
// model, with allocation failures mixed in. The blocks stay well filled.
TEST(TextDataRandom, EditsAcrossBlocksMatchThePlainModel) {
  for (bool wrap : {false, true}) {
    Doc d(Prop(wrap, 9, 4));
    TextModel m;
    std::mt19937 rng(wrap ? 5 : 6);
    auto lines = [&rng](int n) {
      std::string s;
      for (int i = 0; i < n; ++i) s += std::string(rng() % 14, static_cast<char>('a' + i % 26)) + (i % 3 ? "\r\n" : "\n");
      return s;
    };
    const std::string first = lines(3000);
    d.Append(first);
    ModelReplace(&m, {0, 0}, {0, 0}, first);
    int refused = 0;
    for (int step = 0; step < 80; ++step) {
      auto pos = [&]() {
        const int32_t y = static_cast<int32_t>(rng() % m.lines.size());
        return POINT{static_cast<LONG>(rng() % (m.lines[static_cast<size_t>(y)].bytes.size() + 1)), y};
      };
      const TextRange r = TextRange_Order(pos(), pos());
      const uint32_t kind = rng() % 4;
      const std::string s = kind == 0 ? lines(static_cast<int>(rng() % 2500)) : kind == 1 ? "x\r\ny" : "";
      const bool fault = rng() % 8 == 0;
      if (fault) Mem_FailAfter(static_cast<long>(rng() % 4));
      const bool ok = TextData_Replace(d.text, r, s.data(), static_cast<int32_t>(s.size()), nullptr);
      Mem_ClearFault();
      ASSERT_TRUE(ok || fault) << "step " << step;
      refused += ok ? 0 : 1;
      if (ok) ModelReplace(&m, r.start, r.end, s);
      ASSERT_TRUE(SameAsModel(d.text, m)) << "step " << step;
      ASSERT_LE(d.text->nBlocks, TextData_GetCount(d.text) / (kBlockLines / 4) + 2) << "step " << step;
    }
    EXPECT_GT(refused, 0);
  }
}

}  // namespace
