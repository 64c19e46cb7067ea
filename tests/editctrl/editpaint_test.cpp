#include "editctrl/editpaint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "editctrl/bodyfixture.h"

namespace {

enum : COLORREF {
  kText = 1,
  kBack,
  kSelText,
  kSelBack,
  kEof,
  kLineEnd,
  kTab,
  kSpace,
  kZenSpace,
};

ViewStyle AllMarks() {
  ViewStyle s = {};
  s.bShowEof = s.bShowLineEnd = s.bShowTab = s.bShowSpace = s.bShowZenSpace = 1;
  s.crText = kText;
  s.crBack = kBack;
  s.crSelText = kSelText;
  s.crSelBack = kSelBack;
  s.crEof = kEof;
  s.crLineEnd = kLineEnd;
  s.crTab = kTab;
  s.crSpace = kSpace;
  s.crZenSpace = kZenSpace;
  return s;
}

ViewStyle NoMarks() {
  ViewStyle s = AllMarks();
  s.bShowEof = s.bShowLineEnd = s.bShowTab = s.bShowSpace = s.bShowZenSpace = 0;
  return s;
}

struct Fill {
  RECT rc;
  COLORREF color;
};
struct Line {
  std::vector<POINT> points;
  COLORREF color;
};
struct Text {
  int32_t x, y;
  std::string bytes;
  COLORREF color;
  RECT clip;
};

struct Recorder {
  std::vector<Fill> fills;
  std::vector<Line> lines;
  std::vector<Text> texts;
  DrawSeam seam;
  Recorder() {
    seam.pContext = this;
    seam.pfnFillRect = [](void* c, const RECT* rc, COLORREF color) {
      static_cast<Recorder*>(c)->fills.push_back({*rc, color});
    };
    seam.pfnPolyline = [](void* c, const POINT* pts, int32_t n, COLORREF color) {
      static_cast<Recorder*>(c)->lines.push_back({std::vector<POINT>(pts, pts + n), color});
    };
    seam.pfnText = [](void* c, int32_t x, int32_t y, const RECT* clip, const char* bytes, int32_t n,
                      COLORREF color) {
      static_cast<Recorder*>(c)->texts.push_back({x, y, std::string(bytes, static_cast<size_t>(n)), color, *clip});
    };
  }
  std::vector<Fill> FillsOf(COLORREF color) const {
    std::vector<Fill> out;
    for (const Fill& f : fills) {
      if (f.color == color) out.push_back(f);
    }
    return out;
  }
  std::vector<Line> LinesOf(COLORREF color) const {
    std::vector<Line> out;
    for (const Line& l : lines) {
      if (l.color == color) out.push_back(l);
    }
    return out;
  }
  const Text* TextAt(int32_t x, int32_t y) const {
    for (const Text& t : texts) {
      if (t.x == x && t.y == y) return &t;
    }
    return nullptr;
  }
};

void Paint(Body& b, const ViewStyle& style, Recorder* r, RECT update = {0, 0, 640, 400}) {
  EditBody_Paint(b.body, &style, &r->seam, &update);
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::vector<POINT> Pts(std::initializer_list<POINT> list) { return list; }

bool SamePoints(const std::vector<POINT>& a, const std::vector<POINT>& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](POINT p, POINT q) { return p == q; });
}

TEST(EditPaint, AnEmptyDocumentShowsEofAtTheTextOrigin) {
  TextEditorBodyInfo ebi = TestInfo();
  ebi.nLeftMargin = 6;
  Body b(ebi);
  Recorder r;
  Paint(b, AllMarks(), &r);
  ASSERT_EQ(1u, r.texts.size());
  EXPECT_EQ("[EOF]", r.texts[0].bytes);
  EXPECT_EQ(6, r.texts[0].x);
  EXPECT_EQ(0, r.texts[0].y);
  EXPECT_EQ(kEof, r.texts[0].color);
  // The text area and the margin strip get the background.
  std::vector<Fill> back = r.FillsOf(kBack);
  ASSERT_EQ(2u, back.size());
  EXPECT_TRUE(SameRect({6, 0, 640, 400}, back[0].rc));
  EXPECT_TRUE(SameRect({0, 0, 6, 400}, back[1].rc));
  EXPECT_TRUE(r.lines.empty());

  Recorder none;
  Paint(b, NoMarks(), &none);
  EXPECT_TRUE(none.texts.empty());
}

TEST(EditPaint, LineEndMarksOnEveryLineButTheLast) {
  Body b;
  b.Type("ab\r\n\r\ncd");
  Recorder r;
  Paint(b, AllMarks(), &r);
  std::vector<Line> marks = r.LinesOf(kLineEnd);
  ASSERT_EQ(2u, marks.size());
  // A down-and-left return arrow in the cell behind the line's last character.
  EXPECT_TRUE(SamePoints(Pts({{16 + 5, 4}, {16 + 5, 12}, {16 + 1, 12}, {16 + 2, 10}}), marks[0].points));
  EXPECT_TRUE(SamePoints(Pts({{5, 16 + 4}, {5, 16 + 12}, {1, 16 + 12}, {2, 16 + 10}}), marks[1].points));
  const Text* eof = r.TextAt(16, 32);
  ASSERT_NE(nullptr, eof);
  EXPECT_EQ("[EOF]", eof->bytes);
  ASSERT_NE(nullptr, r.TextAt(8, 32));
  EXPECT_EQ("d", r.TextAt(8, 32)->bytes);
  EXPECT_EQ(kText, r.TextAt(8, 32)->color);
}

TEST(EditPaint, MarksForTabsSpacesAndFullWidthSpaces) {
  Body b(TestInfo(false, 80, 4));
  b.Type("\t \t　x");  // tab 0-3, space 4, tab 5-7, full-width space 8-9, x 10
  Recorder r;
  Paint(b, AllMarks(), &r);
  std::vector<Line> tabs = r.LinesOf(kTab);
  ASSERT_EQ(4u, tabs.size());  // an arrow is a shaft with its upper barb, and the lower barb
  EXPECT_TRUE(SamePoints(Pts({{1, 12}, {7, 12}, {5, 9}}), tabs[0].points));
  EXPECT_TRUE(SamePoints(Pts({{7, 12}, {5, 15}}), tabs[1].points));
  EXPECT_TRUE(SamePoints(Pts({{40 + 1, 12}, {40 + 7, 12}, {40 + 5, 9}}), tabs[2].points));  // first cell only
  std::vector<Line> spaces = r.LinesOf(kSpace);
  ASSERT_EQ(1u, spaces.size());
  EXPECT_TRUE(SamePoints(Pts({{32 + 6, 8}, {32 + 6, 12}, {32 + 2, 12}, {32 + 2, 8}}), spaces[0].points));
  std::vector<Line> zen = r.LinesOf(kZenSpace);
  ASSERT_EQ(1u, zen.size());
  EXPECT_TRUE(SamePoints(Pts({{64 + 14, 2}, {64 + 14, 14}, {64 + 2, 14}, {64 + 2, 2}, {64 + 14, 2}}), zen[0].points));
  // Tabs and spaces are never drawn as text, marks or not.
  ASSERT_EQ(2u, r.texts.size());
  EXPECT_EQ("x", r.texts[0].bytes);
  Recorder plain;
  Paint(b, NoMarks(), &plain);
  EXPECT_TRUE(plain.lines.empty());
  ASSERT_EQ(1u, plain.texts.size());
  EXPECT_EQ(80, plain.texts[0].x);
}

// Each character is drawn at its first cell and kept to its cells; a byte with
// no character of its own is the control mark of one cell, never text.
TEST(EditPaint, CharactersAreDrawnOneCellEachAndKeptToIt) {
  Body b;
  b.Type("aあ");
  b.Type(std::string("nul\0", 4) + "b");
  Recorder r;
  Paint(b, NoMarks(), &r);
  ASSERT_EQ(6u, r.texts.size());
  const struct {
    int32_t x;
    const char* bytes;
    int32_t cells;
  } expected[] = {{0, "a", 1}, {8, "あ", 2}, {24, "n", 1}, {32, "u", 1}, {40, "l", 1}, {56, "b", 1}};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(expected[i].bytes, r.texts[i].bytes) << i;  // both bytes of あ in one call
    EXPECT_EQ(expected[i].x, r.texts[i].x) << i;
    EXPECT_TRUE(SameRect({expected[i].x, 0, expected[i].x + 8 * expected[i].cells, 16}, r.texts[i].clip)) << i;
  }
  std::vector<Line> marks = r.LinesOf(kEof);
  ASSERT_EQ(1u, marks.size());
  // A crossed box inside the NUL's cell (48 to 55).
  EXPECT_TRUE(SamePoints(Pts({{49, 4}, {54, 4}, {54, 13}, {49, 13}, {49, 4}, {54, 13}, {54, 4}, {49, 13}}),
                         marks[0].points));
  // A cell cut by the update rectangle keeps its text whole but clipped.
  Recorder part;
  Paint(b, NoMarks(), &part, {4, 2, 640, 10});
  ASSERT_FALSE(part.texts.empty());
  EXPECT_EQ(0, part.texts[0].x);
  EXPECT_TRUE(SameRect({4, 2, 8, 10}, part.texts[0].clip));
}

// Which bytes code page 932 has no character for, each alone on its line (so
// that a lead byte stands alone): marked, and never handed over as text.
TEST(EditPaint, BytesWithoutACharacterGetTheControlMark) {
  for (int c = 0; c < 256; ++c) {
    if (c == '\t' || c == ' ' || c == '\r' || c == '\n') continue;  // tabs and spaces have marks of their own
    Body b;
    b.Type(std::string(1, static_cast<char>(c)));
    Recorder r;
    Paint(b, NoMarks(), &r);
    const bool control = c < 0x20 || c == 0x7F || c == 0x80 || c == 0xA0 || c >= 0xFD || (0x81 <= c && c <= 0x9F) ||
                         (0xE0 <= c && c <= 0xFC);
    EXPECT_EQ(control ? 1u : 0u, r.LinesOf(kEof).size()) << std::hex << c;
    EXPECT_EQ(control ? 0u : 1u, r.texts.size()) << std::hex << c;
  }
  // A lead byte before a byte that can be no trail: one mark for each of the two cells.
  Body pair;
  pair.Type("\x81\x31\x82\xA0");
  Recorder r;
  Paint(pair, NoMarks(), &r);
  std::vector<Line> marks = r.LinesOf(kEof);
  ASSERT_EQ(2u, marks.size());
  EXPECT_EQ(1, marks[0].points[0].x);
  EXPECT_EQ(9, marks[1].points[0].x);
  ASSERT_EQ(1u, r.texts.size());
  EXPECT_EQ("\x82\xA0", r.texts[0].bytes);
  EXPECT_EQ(16, r.texts[0].x);
}

TEST(EditPaint, SelectionCoversTheLineEndCellInsideIt) {
  Body b;
  b.Type("ab\r\nc");
  b.Select(Pt(1, 0), Pt(0, 1));
  Recorder r;
  Paint(b, AllMarks(), &r);
  std::vector<Fill> sel = r.FillsOf(kSelBack);
  ASSERT_EQ(1u, sel.size());
  EXPECT_TRUE(SameRect({8, 0, 24, 16}, sel[0].rc));  // b and the line-end cell behind it
  EXPECT_EQ(kText, r.TextAt(0, 0)->color);
  EXPECT_EQ(kSelText, r.TextAt(8, 0)->color);
  EXPECT_EQ(kText, r.TextAt(0, 16)->color);  // nothing of the second line
}

TEST(EditPaint, TheCharacterAtTheSelectionEndKeepsItsColours) {
  Body b;
  b.Type("abcdef\r\nxyz");
  b.Select(Pt(3, 0), Pt(1, 0));  // made backwards: the same cells
  Recorder r;
  Paint(b, NoMarks(), &r);
  std::vector<Fill> sel = r.FillsOf(kSelBack);
  ASSERT_EQ(1u, sel.size());
  EXPECT_TRUE(SameRect({8, 0, 24, 16}, sel[0].rc));
  EXPECT_EQ(kSelText, r.TextAt(16, 0)->color);
  EXPECT_EQ(kText, r.TextAt(24, 0)->color);
  // A selection to the end of the last line leaves its end cell unfilled.
  b.Select(Pt(1, 1), Pt(3, 1));
  Recorder last;
  Paint(b, NoMarks(), &last);
  sel = last.FillsOf(kSelBack);
  ASSERT_EQ(1u, sel.size());
  EXPECT_TRUE(SameRect({8, 16, 24, 32}, sel[0].rc));
}

TEST(EditPaint, WrappedSelectionLeavesTheFreeCellsOfEachRow) {
  Body b(TestInfo(true, 10));
  b.Type("abcdefghあい\r\nz");  // row 0: abcdefgh (あ would reach column 10), row 1: あい
  b.Select(Pt(2, 0), Pt(1, 1));
  Recorder r;
  Paint(b, NoMarks(), &r);
  std::vector<Fill> sel = r.FillsOf(kSelBack);
  ASSERT_EQ(3u, sel.size());
  EXPECT_TRUE(SameRect({16, 0, 64, 16}, sel[0].rc));  // c..h, not the free cell 8 and 9
  EXPECT_TRUE(SameRect({0, 16, 40, 32}, sel[1].rc));  // あい and the line end
  EXPECT_TRUE(SameRect({0, 32, 8, 48}, sel[2].rc));   // z

  Body end(TestInfo(true, 10));  // a selection ending on the second row of a wrapped line
  end.Type("abcdefghijkl");
  end.Select(Pt(2, 0), Pt(10, 0));
  Recorder e;
  Paint(end, NoMarks(), &e);
  sel = e.FillsOf(kSelBack);
  ASSERT_EQ(2u, sel.size());
  EXPECT_TRUE(SameRect({16, 0, 72, 16}, sel[0].rc));  // c..i
  EXPECT_TRUE(SameRect({0, 16, 8, 32}, sel[1].rc));   // j; k at the end stays unfilled
}

TEST(EditPaint, LineNumbersAreRightAlignedBesideTheSeparator) {
  TextEditorBodyInfo ebi = TestInfo();
  ebi.bLineNumber = 1;
  ebi.nLeftMargin = 3;
  Body b(ebi);
  for (int i = 0; i < 11; ++i) b.Type("x\r\n");
  Recorder r;
  Paint(b, NoMarks(), &r);
  ASSERT_NE(nullptr, r.TextAt(0, 0));
  EXPECT_EQ("   1", r.TextAt(0, 0)->bytes);
  EXPECT_EQ(kEof, r.TextAt(0, 0)->color);
  ASSERT_NE(nullptr, r.TextAt(0, 11 * 16));
  EXPECT_EQ("  12", r.TextAt(0, 11 * 16)->bytes);
  EXPECT_EQ("x", r.TextAt(33 + 3, 0)->bytes);
  std::vector<Line> sep = r.LinesOf(kEof);
  ASSERT_EQ(1u, sep.size());
  EXPECT_TRUE(SamePoints(Pts({{32, 0}, {32, 400}}), sep[0].points));  // at lnw - 1
  std::vector<Fill> back = r.FillsOf(kBack);
  ASSERT_EQ(2u, back.size());
  EXPECT_TRUE(SameRect({0, 0, 36, 400}, back[1].rc));  // the numbers and the margin

  Body wrapped(TestInfo(true, 10));  // a wrapped line gets one number, on its first row
  TextEditorBodyInfo wi = EditBody_GetMetrics(wrapped.body);
  wi.bLineNumber = 1;
  wi.rcEditor.right += 33;
  EditBody_SetMetrics(wrapped.body, &wi);
  wrapped.Type(std::string(20, 'w') + "\r\nv");
  Recorder w;
  Paint(wrapped, NoMarks(), &w);
  EXPECT_EQ("   1", w.TextAt(0, 0)->bytes);
  EXPECT_EQ(nullptr, w.TextAt(0, 16));
  EXPECT_EQ(nullptr, w.TextAt(0, 32));
  EXPECT_EQ("   2", w.TextAt(0, 48)->bytes);
}

TEST(EditPaint, ScrolledViewDrawsFromTheRowCacheNotTheHead) {
  TextEditorBodyInfo ebi = TestInfo();
  ebi.bLineNumber = 1;
  Body b(ebi);
  std::string many;
  for (int i = 0; i < 5000; ++i) many += "row " + std::to_string(i) + "\r\n";
  b.Type(many);
  EditBody_SetView(b.body, Pt(16, 4990 * 16));  // two columns scrolled away to the left
  Recorder r;
  Paint(b, NoMarks(), &r, {0, 0, 640, 32});
  int32_t left = EditBody_TextRect(b.body).left;
  ASSERT_NE(nullptr, r.TextAt(0, 0));
  EXPECT_EQ("4991", r.TextAt(0, 0)->bytes);
  EXPECT_EQ("4992", r.TextAt(0, 16)->bytes);
  EXPECT_EQ(nullptr, r.TextAt(left - 16, 0));  // "r" lies left of the text area
  EXPECT_EQ("w", r.TextAt(left, 0)->bytes);
  EXPECT_EQ(nullptr, r.TextAt(0, 32));  // below the update rectangle
}

// Whatever the update rectangle, nothing is drawn outside it, and what a paint of
// the whole window draws that meets it is drawn again. Characters, marks and
// "[EOF]" are cut to the text area, the line numbers and their separator to the
// update rectangle alone.
struct Drawn {
  std::vector<std::tuple<int32_t, int32_t, std::string, COLORREF>> texts;
  std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t, COLORREF>> marks;  // pixel boxes
};

std::tuple<int32_t, int32_t, int32_t, int32_t, COLORREF> BoxOf(const Line& l) {
  int32_t x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
  for (POINT p : l.points) {
    x0 = std::min<int32_t>(x0, p.x), y0 = std::min<int32_t>(y0, p.y);
    x1 = std::max<int32_t>(x1, p.x + 1), y1 = std::max<int32_t>(y1, p.y + 1);
  }
  return std::make_tuple(x0, y0, x1, y1, l.color);
}

// An empty u (an update rectangle wholly beside the text area) meets nothing.
bool Meets(const RECT& u, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return u.left < u.right && u.top < u.bottom && left < u.right && u.left < right && top < u.bottom && u.top < bottom;
}

RECT Cut(const RECT& a, const RECT& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

int32_t TextCells(const std::string& bytes) {
  return (bytes.size() == 2 && static_cast<unsigned char>(bytes[0]) >= 0x81) ? 2 : static_cast<int32_t>(bytes.size());
}

bool IsNumber(const Text& t) { return t.color == kEof && t.bytes != "[EOF]"; }

// The line-number separator: one upright stroke in the end-of-file colour, which
// the control marks share.
bool IsSeparator(const Line& l) {
  return l.color == kEof && l.points.size() == 2 && l.points[0].x == l.points[1].x;
}

// What of a whole-window paint a paint of update u must draw.
Drawn Expected(const Recorder& whole, const RECT& u, const RECT& text) {
  Drawn d;
  RECT area = Cut(u, text);
  for (const Text& t : whole.texts) {
    const RECT& clip = IsNumber(t) ? u : area;
    if (Meets(clip, t.x, t.y, t.x + 8 * TextCells(t.bytes), t.y + 16)) d.texts.emplace_back(t.x, t.y, t.bytes, t.color);
  }
  for (const Line& l : whole.lines) {
    auto box = BoxOf(l);
    if (!IsSeparator(l) && Meets(area, std::get<0>(box), std::get<1>(box), std::get<2>(box), std::get<3>(box)))
      d.marks.push_back(box);
  }
  std::sort(d.texts.begin(), d.texts.end());
  std::sort(d.marks.begin(), d.marks.end());
  return d;
}

Drawn Got(const Recorder& part) {
  Drawn d;
  for (const Text& t : part.texts) d.texts.emplace_back(t.x, t.y, t.bytes, t.color);
  for (const Line& l : part.lines) {
    if (!IsSeparator(l)) d.marks.push_back(BoxOf(l));
  }
  std::sort(d.texts.begin(), d.texts.end());
  std::sort(d.marks.begin(), d.marks.end());
  return d;
}

void ExpectInside(const Recorder& part, const RECT& u, const RECT& text) {
  for (const Fill& f : part.fills) {
    EXPECT_TRUE(f.rc.left >= u.left && f.rc.top >= u.top && f.rc.right <= u.right && f.rc.bottom <= u.bottom);
    EXPECT_TRUE(f.rc.left < f.rc.right && f.rc.top < f.rc.bottom);
  }
  for (const Line& l : part.lines) {
    auto box = BoxOf(l);
    if (IsSeparator(l)) {  // cut to the rectangle; its end point is not painted
      EXPECT_TRUE(std::get<0>(box) >= u.left && std::get<2>(box) <= u.right);
      EXPECT_TRUE(std::get<1>(box) >= u.top && std::get<3>(box) - 1 <= u.bottom);
    } else {
      EXPECT_TRUE(Meets(u, std::get<0>(box), std::get<1>(box), std::get<2>(box), std::get<3>(box)));
    }
  }
  for (const Text& t : part.texts) {
    // Kept to its own cells, and to the rectangle (the text area's part of it
    // but for the line numbers).
    const int32_t right = t.x + 8 * (t.bytes == "[EOF]" ? 5 : IsNumber(t) ? 4 : TextCells(t.bytes));
    EXPECT_TRUE(SameRect(Cut(IsNumber(t) ? u : Cut(u, text), {t.x, t.y, right, t.y + 16}), t.clip)) << t.bytes;
  }
}

TEST(EditPaint, NothingOutsideTheUpdateRectangleIsDrawn) {
  std::mt19937 rng(2024);
  static const char* const kPieces[] = {"a", " ", "\t", "あ", "　", "漢字", "\r\n", "xyz", "\r\n\r\n", "\x1A", "\xFF"};
  int partsWithText = 0;
  for (int round = 0; round < 40; ++round) {
    bool wrap = round % 2 == 0;
    TextEditorBodyInfo ebi = TestInfo(wrap, 12 + round % 9, 4);
    ebi.bLineNumber = round % 3 == 0;
    ebi.nLeftMargin = round % 4;
    ebi.rcEditor.right += 40;
    Body b(ebi);
    std::string text;
    for (int i = 0; i < 120; ++i) text += kPieces[rng() % (sizeof(kPieces) / sizeof(kPieces[0]))];
    b.Type(text);
    int32_t lines = TextData_GetCount(b.body->text);
    auto randomPos = [&]() {
      return EditBody_ClampPosition(b.body, Pt(static_cast<int32_t>(rng() % 9), static_cast<int32_t>(rng() % lines)));
    };
    b.Select(randomPos(), randomPos());
    EditBody_SetView(b.body, Pt(static_cast<int32_t>(rng() % 40), static_cast<int32_t>(rng() % 200)));
    Recorder whole;
    Paint(b, AllMarks(), &whole, {0, 0, ebi.rcEditor.right, 400});
    const RECT textRect = EditBody_TextRect(b.body);
    for (int k = 0; k < 10; ++k) {
      int32_t x0 = static_cast<int32_t>(rng() % 200), y0 = static_cast<int32_t>(rng() % 300);
      RECT u = {x0, y0, x0 + 1 + static_cast<int32_t>(rng() % 200), y0 + 1 + static_cast<int32_t>(rng() % 120)};
      SCOPED_TRACE(testing::Message() << "round " << round << " update " << u.left << "," << u.top << "-" << u.right
                                      << "," << u.bottom);
      Recorder part;
      Paint(b, AllMarks(), &part, u);
      ExpectInside(part, u, textRect);
      Drawn expect = Expected(whole, u, textRect);
      Drawn got = Got(part);
      ASSERT_EQ(expect.texts, got.texts);
      ASSERT_EQ(expect.marks, got.marks);
      if (!got.texts.empty()) ++partsWithText;
    }
  }
  EXPECT_GT(partsWithText, 100);  // the rectangles did meet text
}

}  // namespace

namespace {

// A long wrapped line scrolled into its middle: exactly the characters of the
// rows in view are drawn, each where the mapping puts it.
TEST(EditPaint, ALongWrappedLineShowsTheRowsInView) {
  Body b(TestInfo(true, 10, 8));  // rows of 9 characters
  std::string line;
  for (int i = 0; i < 2000; ++i) line += static_cast<char>('a' + i % 26);
  b.Type(line);
  EditBody_SetView(b.body, {0, 50 * 16});
  Recorder r;
  Paint(b, NoMarks(), &r, {0, 0, 80, 400});
  ASSERT_EQ(25u * 9, r.texts.size());
  for (const Text& t : r.texts) {
    const POINT pos = EditBody_PixelToPos(b.body, t.x + 1, t.y + 1);
    EXPECT_EQ(std::string(1, line[static_cast<size_t>(pos.x)]), t.bytes) << t.x << "," << t.y;
  }
}

}  // namespace
