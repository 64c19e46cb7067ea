#include "editctrl/editinput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editctrl/bodyfixture.h"

namespace {

// Feeds bytes as successive WM_CHAR messages; the bytes inserted, each insert
// bracketed, and "<BS>", "<TAB>" for the other actions.
std::string Feed(EditCharInput* in, const std::vector<uint32_t>& chars) {
  std::string out;
  for (uint32_t ch : chars) {
    EditCharResult r = EditInput_FeedChar(in, ch);
    if (r.action == EDITCHAR_INSERT) out += "[" + std::string(r.bytes, r.n) + "]";
    if (r.action == EDITCHAR_BACKSPACE) out += "<BS>";
    if (r.action == EDITCHAR_TAB) out += "<TAB>";
  }
  return out;
}

TEST(EditInputChars, ByteFilterTakesPrintableAndDoubleByteRangesOnly) {
  struct Case {
    uint32_t ch;
    bool taken;
  } cases[] = {{0, false},    {7, false},   {8, true},    {9, true},     {10, false}, {13, true},
               {27, false},   {31, false},  {32, true},   {'a', true},   {126, true}, {127, false},
               {0x80, true},  {0xA0, true}, {0xB1, true}, {0xFC, true},  {0xFD, false}, {0xFF, false},
               {0x100, false}, {0x82A0, false}};
  for (const Case& c : cases) EXPECT_EQ(c.taken, EditInput_IsTypedByte(c.ch)) << "byte " << c.ch;
}

TEST(EditInputChars, LeadByteWaitsForItsTrailAndBothAreOneInsert) {
  EditCharInput in = {};
  EXPECT_EQ("[\x82\xA0][\x82\xA2][\x82\xA4]", Feed(&in, {0x82, 0xA0, 0x82, 0xA2, 0x82, 0xA4}));
  EXPECT_EQ(0, in.bWaiting);
  // A trail byte in the ASCII range: "ソ" is 83 5C, its second byte a backslash.
  EXPECT_EQ("[\x83\x5C]", Feed(&in, {0x83, 0x5C}));
  // Half-width katakana and 0x80 / 0xA0 are single bytes.
  EXPECT_EQ("[\xB1][\x80][\xA0]", Feed(&in, {0xB1, 0x80, 0xA0}));
  // A lead byte as the trail: E0 then 81 40 ("　" behind a broken pair) keeps
  // the first pair whole.
  EXPECT_EQ("[\xE0\x81][@]", Feed(&in, {0xE0, 0x81, 0x40}));
}

TEST(EditInputChars, ByteThatCannotBeATrailDropsTheWaitingLead) {
  EditCharInput in = {};
  EXPECT_EQ("[\r]", Feed(&in, {0x82, 13}));
  EXPECT_EQ("<BS>", Feed(&in, {0x82, 8}));
  EXPECT_EQ("<TAB>", Feed(&in, {0x82, 9}));
  EXPECT_EQ("", Feed(&in, {0x82, 0x7F}));   // neither a trail nor typed
  EXPECT_EQ(0, in.bWaiting);
  EXPECT_EQ("[ ]", Feed(&in, {0x82, 0x20}));
  EXPECT_EQ("", Feed(&in, {0x82, 0xFD}));
  EXPECT_EQ(0, in.bWaiting) << "a dropped lead byte must not pair with what follows";
  EXPECT_EQ("[a]", Feed(&in, {'a'}));
}

TEST(EditInputChars, OtherInputDropsTheWaitingLead) {
  EditCharInput in = {};
  EXPECT_EQ("", Feed(&in, {0x82}));
  EXPECT_EQ(1, in.bWaiting);
  EditInput_DropLead(&in);
  EXPECT_EQ("[\xA0]", Feed(&in, {0xA0})) << "the trail byte alone is a half-width character";
}

TEST(EditInputChars, TabIndentsOnlyWithASelection) {
  EXPECT_EQ(EDITTAB_INDENT, EditInput_TabAction(false, true));
  EXPECT_EQ(EDITTAB_UNINDENT, EditInput_TabAction(true, true));
  EXPECT_EQ(EDITTAB_INSERT, EditInput_TabAction(false, false));
  EXPECT_EQ(EDITTAB_NOTHING, EditInput_TabAction(true, false));
}

TEST(EditInputKeys, PageRowsAreWholeLinesOfTheTextArea) {
  TextEditorBodyInfo ebi = TestInfo();
  ebi.rcEditor = {0, 0, 640, 400};  // 25 rows of 16
  Body b(ebi);
  EXPECT_EQ(25, EditInput_PageRows(b.body));
  ebi.rcEditor.bottom = 415;
  EditBody_SetMetrics(b.body, &ebi);
  EXPECT_EQ(25, EditInput_PageRows(b.body));
  ebi.rcEditor.bottom = 5;  // less than a line: still a row
  EditBody_SetMetrics(b.body, &ebi);
  EXPECT_EQ(1, EditInput_PageRows(b.body));
  // Page Down from row 0 of a 100-line document moves 1 row with such a window.
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\r\n";
  b.Type(text);
  b.Select(Pt(0, 0), Pt(0, 0));
  EXPECT_EQ(Pt(0, 1), EditInput_MoveTarget(b.body, EDITKEY_PAGE_DOWN));
}

TEST(EditInputWheel, NotchesTimesTheSetting) {
  struct Case {
    int32_t delta;
    uint32_t setting;
    int32_t request;
    int64_t count;
  } cases[] = {
      {240, 3, EDITSCROLL_LINEUP, 6},      {-240, 3, EDITSCROLL_LINEDOWN, 6}, {60, 3, EDITSCROLL_LINEUP, 0},
      {-119, 3, EDITSCROLL_LINEDOWN, 0},   {359, 3, EDITSCROLL_LINEUP, 6},    {120, 0, EDITSCROLL_LINEUP, 0},
      {0, 3, EDITSCROLL_LINEDOWN, 0},      {120, 0xFFFE, EDITSCROLL_LINEUP, 0xFFFE},
      {240, 0xFFFF, EDITSCROLL_PAGEUP, 2}, {-120, 0xFFFFFFFFu, EDITSCROLL_PAGEDOWN, 1},
      {-32768, 3, EDITSCROLL_LINEDOWN, 273 * 3},
  };
  for (const Case& c : cases) {
    EditWheelScroll s = EditInput_Wheel(c.delta, c.setting);
    EXPECT_EQ(c.request, s.nRequest) << "delta " << c.delta << " setting " << c.setting;
    EXPECT_EQ(c.count, s.nCount) << "delta " << c.delta << " setting " << c.setting;
  }
}

TEST(EditInputScroll, RequestsMoveByStepPageOrTrackAndStayInRange) {
  // 100 lines of 16 pixels in a page of 160: the last view is 1600 - 159.
  EditScrollAxis a = EditInput_VertAxis(1600, 160);
  EXPECT_EQ(1600, a.nRange);
  EXPECT_EQ(1441, a.nMaxPos);
  EXPECT_EQ(1, a.nScale);
  struct Case {
    int64_t pos;
    int32_t request;
    int64_t count;
    int64_t track;
    int64_t expected;
  } cases[] = {
      {0, EDITSCROLL_LINEDOWN, 1, 0, 16},        {16, EDITSCROLL_LINEUP, 1, 0, 0},
      {8, EDITSCROLL_LINEUP, 1, 0, 0},           {0, EDITSCROLL_LINEDOWN, 6, 0, 96},
      {0, EDITSCROLL_PAGEDOWN, 1, 0, 160},       {1400, EDITSCROLL_PAGEDOWN, 1, 0, 1441},
      {100, EDITSCROLL_PAGEUP, 1, 0, 0},         {0, EDITSCROLL_THUMBTRACK, 0, 700, 700},
      {0, EDITSCROLL_THUMBTRACK, 0, 99999, 1441}, {500, EDITSCROLL_THUMBPOSITION, 0, 7, 500},
      {500, EDITSCROLL_ENDSCROLL, 0, 7, 500},    {500, EDITSCROLL_TOP, 0, 0, 0},
      {500, EDITSCROLL_BOTTOM, 0, 0, 1441},      {0, EDITSCROLL_LINEDOWN, INT64_MAX, 0, 1441},
      {0, 99, 1, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, EditInput_Scroll(&a, c.pos, c.request, 16, c.count, c.track))
        << "from " << c.pos << " request " << c.request;
  }
  // A document shorter than the page does not scroll.
  EditScrollAxis small = EditInput_VertAxis(48, 160);
  EXPECT_EQ(0, small.nMaxPos);
  EXPECT_EQ(0, EditInput_Scroll(&small, 0, EDITSCROLL_PAGEDOWN, 16, 1, 0));
}

TEST(EditInputScroll, IntoViewKeepsAMarginAroundTheCaret) {
  EditScrollAxis a = EditInput_VertAxis(16000, 160);  // 1000 lines, pages of 10
  struct Case {
    int64_t pos, target, expected;
  } cases[] = {
      {0, 0, 0},        // at the top already
      {0, 112, 0},      // row 7 of 10
      {0, 128, 0},      // row 8: the row after it still shows
      {0, 144, 16},     // row 9: the view moves so that a row shows below it
      {0, 1600, 1472},  // far below: the caret two lines above the page's bottom
      {800, 800, 784},  // in the top row: one line above it must show
      {800, 816, 800},
      {800, 0, 0},
      {0, 15984, 15841},  // the last row: the view stops at the last position
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, EditInput_IntoView(&a, c.pos, c.target, 16)) << "view " << c.pos << " caret " << c.target;
  }
}

TEST(EditInputScroll, HorizontalRangeGrowsWithTheCaret) {
  EditScrollAxis wrapped = EditInput_HorzAxis(true, 100000, 8, 0, 600);
  EXPECT_EQ(1, wrapped.nRange);
  EXPECT_EQ(1, wrapped.nPage);
  EXPECT_EQ(0, wrapped.nMaxPos);
  EXPECT_EQ(0, EditInput_IntoView(&wrapped, 0, 100000, 16));

  EditScrollAxis a = EditInput_HorzAxis(false, 80, 8, 0, 600);
  EXPECT_EQ(0x7FFF, a.nRange);
  EXPECT_EQ(0x7FFF - 599, a.nMaxPos);
  // A caret at column 10000 of 8 pixels lies past 32767 pixels: the range takes it
  // in and the rule can bring it into view.
  int64_t t = 10000 * 8;
  EditScrollAxis wide = EditInput_HorzAxis(false, t, 8, 0, 600);
  EXPECT_GE(wide.nRange, t + 600);
  int64_t pos = EditInput_IntoView(&wide, 0, t, 16);
  EXPECT_EQ(t + 32 - 600, pos);
  EXPECT_LE(pos, wide.nMaxPos);
  EXPECT_LT(pos, t);
  EXPECT_GT(pos + 600, t + 8) << "the caret's cell is inside the page";
  // The view scrolled far right keeps its place when the caret goes home.
  EditScrollAxis kept = EditInput_HorzAxis(false, 0, 8, pos, 600);
  EXPECT_EQ(pos, EditInput_ClampPos(&kept, pos));
}

TEST(EditInputScroll, TallDocumentsGetAScaledBarExactForNormalSizes) {
  // A normal document: bar units are pixels.
  EditScrollAxis normal = EditInput_VertAxis(2000000LL * 16, 600);
  EXPECT_EQ(1, normal.nScale);
  EditScrollBar bar = EditInput_BarOf(&normal, 12345);
  EXPECT_EQ(32000000, bar.nMax);
  EXPECT_EQ(600u, bar.nPage);
  EXPECT_EQ(12345, bar.nPos);
  EXPECT_EQ(12345, EditInput_PosOfBar(&normal, 12345));

  // The largest document: INT32_MAX rows of a tall font. Nothing given to the bar
  // overflows, and its last position is the last view.
  const int64_t rows = INT32_MAX;
  for (int64_t lh : {16, 100, 1000}) {
    EditScrollAxis a = EditInput_VertAxis(rows * lh, 700);
    EXPECT_GT(a.nScale, 1);
    EXPECT_EQ(INT32_MAX, a.nMaxPos) << "the view origin is a 32-bit pixel";
    EditScrollBar last = EditInput_BarOf(&a, a.nMaxPos);
    EXPECT_GT(last.nMax, 0);
    EXPECT_LE(int64_t(last.nMax) + last.nPage, int64_t(INT32_MAX));
    EXPECT_GE(last.nPage, 1u);
    EXPECT_LE(last.nPos, last.nMax);
    EXPECT_EQ(a.nMaxPos, EditInput_PosOfBar(&a, last.nPos));
    EXPECT_EQ(a.nMaxPos, EditInput_PosOfBar(&a, last.nMax));
    EditScrollBar middle = EditInput_BarOf(&a, a.nMaxPos / 2);
    EXPECT_NEAR(double(last.nPos) / 2, double(middle.nPos), 1.0);
    // Line steps stay exact pixels even though the bar moves by less than a unit.
    EXPECT_EQ(lh, EditInput_Scroll(&a, 0, EDITSCROLL_LINEDOWN, lh, 1, 0));
  }
}

TEST(EditInputScroll, ThumbMovesOnlyWhenItsPixelChanges) {
  // A 700-pixel track with a 20-pixel thumb: 680 pixels to share out.
  EditScrollBar bar = {100000, 700, 0};
  EXPECT_EQ(0, EditInput_ThumbOffset(&bar, 700, 20));
  bar.nPos = 100000 - 699;  // the last position puts the thumb at the end
  EXPECT_EQ(680, EditInput_ThumbOffset(&bar, 700, 20));
  bar.nPos = 1000000;  // beyond it too
  EXPECT_EQ(680, EditInput_ThumbOffset(&bar, 700, 20));
  // A page of a long document moves the thumb by a fraction of a pixel.
  EditScrollBar a = {INT32_MAX - 1000, 1000, 5000000};
  EditScrollBar b = a;
  b.nPos += 1000;
  EXPECT_EQ(EditInput_ThumbOffset(&a, 700, 8), EditInput_ThumbOffset(&b, 700, 8));
  // A short one's page moves it by many.
  EditScrollBar c = {3000, 700, 700};
  EditScrollBar d = c;
  d.nPos += 700;
  EXPECT_LT(EditInput_ThumbOffset(&c, 700, 160) + 100, EditInput_ThumbOffset(&d, 700, 160));
  // Nothing to scroll, or no room beside the thumb: it stays at the start.
  EditScrollBar whole = {500, 700, 0};
  EXPECT_EQ(0, EditInput_ThumbOffset(&whole, 700, 700));
  EXPECT_EQ(0, EditInput_ThumbOffset(&bar, 10, 20));
}

}  // namespace
