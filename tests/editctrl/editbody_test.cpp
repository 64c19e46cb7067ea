#include "editctrl/editbody.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "editctrl/bodyfixture.h"
#include "tools/memory.h"

namespace {

TEST(EditBodyMetrics, CellLineAndNumberWidths) {
  TextEditorBodyInfo ebi = TestInfo();
  ebi.tm.tmExternalLeading = 2;
  Body b(ebi);
  EXPECT_EQ(8, EditBody_CellWidth(b.body));
  EXPECT_EQ(18, EditBody_LineHeight(b.body));
  EXPECT_EQ(0, EditBody_LineNumberWidth(b.body));

  ebi.tm.tmItalic = 1;  // italic glyphs get a quarter more room
  EditBody_SetMetrics(b.body, &ebi);
  EXPECT_EQ(10, EditBody_CellWidth(b.body));

  ebi.tm.tmItalic = 0;
  ebi.bLineNumber = 1;
  EditBody_SetMetrics(b.body, &ebi);
  b.Type(std::string(119, '\n'));  // 120 lines: "%4d" of 121 is 4 characters
  EXPECT_EQ(4 * 8 + 1, EditBody_LineNumberWidth(b.body));
  b.Type(std::string(9998 - 120, '\n'));
  EXPECT_EQ(9998, TextData_GetCount(b.body->text));
  EXPECT_EQ(4 * 8 + 1, EditBody_LineNumberWidth(b.body));
  b.Type("\n");  // 9 999 lines: the column grows before the number 10 000 is needed
  EXPECT_EQ(5 * 8 + 1, EditBody_LineNumberWidth(b.body));
  ebi.bLineNumber = 0x100;  // only the low byte counts
  EditBody_SetMetrics(b.body, &ebi);
  EXPECT_EQ(0, EditBody_LineNumberWidth(b.body));
}

TEST(EditBodyMetrics, WrapWidthAndTextRect) {
  TextEditorBodyInfo ebi = TestInfo(true);
  ebi.rcEditor = {0, 0, 648, 300};
  Body b(ebi);
  EXPECT_EQ(81, EditBody_WrapWidth(b.body));
  b.Type(std::string(80, 'a'));  // a row holds 80 characters; the 81st cell stays free
  EXPECT_EQ(Pt(0, 1), EditBody_PosToDisplay(b.body, Pt(80, 0)));
  EXPECT_EQ(Pt(79, 0), EditBody_PosToDisplay(b.body, Pt(79, 0)));

  ebi.nLeftMargin = 10;
  ebi.bLineNumber = 1;
  EditBody_SetMetrics(b.body, &ebi);
  RECT text = EditBody_TextRect(b.body);
  EXPECT_EQ(33 + 10, text.left);
  EXPECT_EQ(648, text.right);
  EXPECT_EQ((648 - 33 - 10) / 8, EditBody_WrapWidth(b.body));
  EXPECT_EQ(EditBody_WrapWidth(b.body), TextData_GetProp(b.body->text)->width);

  ebi.rcEditor = {0, 0, 20, 300};  // narrower than the margin and numbers
  EditBody_SetMetrics(b.body, &ebi);
  EXPECT_EQ(1, EditBody_WrapWidth(b.body));
  EXPECT_EQ(43, EditBody_TextRect(b.body).right);  // never left of its left edge
  EXPECT_EQ(81, TextData_GetHeight(b.body->text));  // every character on a row of its own
  EXPECT_TRUE(TextData_CheckDeep(b.body->text));
}

TEST(EditBodyMetrics, RelayoutFollowsRectFontAndWrapFlag) {
  Body b(TestInfo(true, 20));
  b.Type(std::string(50, 'x'));
  EXPECT_EQ(3, TextData_GetHeight(b.body->text));  // 19 + 19 + 12
  RECT wide = {0, 0, 40 * 8, 300};
  EditBody_SetRect(b.body, &wide);
  EXPECT_EQ(2, TextData_GetHeight(b.body->text));
  TEXTMETRICA big = TestFont(16, 20);
  EditBody_SetFontMetrics(b.body, &big);  // 20 columns again
  EXPECT_EQ(3, TextData_GetHeight(b.body->text));
  TextEditorBodyInfo ebi = EditBody_GetMetrics(b.body);
  ebi.bWrap = 0;
  EditBody_SetMetrics(b.body, &ebi);
  EXPECT_EQ(1, TextData_GetHeight(b.body->text));
  EXPECT_TRUE(TextData_CheckDeep(b.body->text));
}

TEST(EditBodyMetrics, ViewXIsZeroWhileWrapping) {
  Body b(TestInfo(true));
  EditBody_SetView(b.body, Pt(50, 30));
  EXPECT_EQ(Pt(0, 30), EditBody_GetView(b.body));
  Body u(TestInfo(false));
  EditBody_SetView(u.body, Pt(50, 30));
  EXPECT_EQ(Pt(50, 30), EditBody_GetView(u.body));
  TextEditorBodyInfo ebi = EditBody_GetMetrics(u.body);
  ebi.bWrap = 1;
  EditBody_SetMetrics(u.body, &ebi);
  EXPECT_EQ(Pt(0, 30), EditBody_GetView(u.body));
  EXPECT_EQ(0, u.body->ptView.x);  // the record itself, not only what it reports
  EXPECT_TRUE(IsValidTextEditorBodyHandle(u.body));
  EditBody_SetView(u.body, Pt(-5, -7));
  EXPECT_EQ(Pt(0, 0), EditBody_GetView(u.body));
}

// What every function of the body may rely on, and what breaks it.
TEST(EditBody, TheInvariantsKeepCaretAndAnchorOnCharacterStarts) {
  Body b(TestInfo(true));
  b.Type("表x\r\nab");
  ASSERT_TRUE(IsValidTextEditorBodyHandle(b.body));
  const struct {
    POINT caret;
    POINT anchor;
    bool valid;
  } cases[] = {
      {Pt(2, 1), Pt(0, 0), true},   {Pt(3, 0), Pt(2, 0), true},  {Pt(1, 0), Pt(0, 0), false},
      {Pt(0, 0), Pt(1, 0), false},  {Pt(0, 2), Pt(0, 0), false}, {Pt(3, 1), Pt(0, 0), false},
      {Pt(0, 0), Pt(0, -1), false}, {Pt(-1, 0), Pt(0, 0), false},
  };
  for (const auto& c : cases) {
    b.body->ptCaret = c.caret;
    b.body->ptSelect = c.anchor;
    EXPECT_EQ(c.valid, IsValidTextEditorBodyHandle(b.body)) << c.caret << " " << c.anchor;
  }
  b.body->ptCaret = b.body->ptSelect = Pt(0, 0);
  b.body->ptView.x = 8;  // sideways while wrapping
  EXPECT_FALSE(IsValidTextEditorBodyHandle(b.body));
  b.body->ptView.x = 0;
  b.body->ebi.tm.tmAveCharWidth = 0;  // metrics no layout can use
  EXPECT_FALSE(IsValidTextEditorBodyHandle(b.body));
  b.body->ebi.tm.tmAveCharWidth = 8;
  b.Select(Pt(0, 0), Pt(2, 1));
  b.Type("");
  ASSERT_TRUE(EditBody_Undo(b.body));  // on redo: the deletion, a record without text
  EditRecord* redo = b.body->allocator->pRedo;
  ASSERT_EQ(0, redo->length);
  redo->length = -1;  // marked as pooled while on a stack
  EXPECT_FALSE(IsValidTextEditorBodyHandle(b.body));
  redo->length = 0;
  EXPECT_TRUE(IsValidTextEditorBodyHandle(b.body));
}

TEST(EditBodyMetrics, MetricsThatWouldBreakTheLayoutAreRefused) {
  Body b(TestInfo(true, 20));
  b.Type("some text");
  TextEditorBodyInfo bad = TestInfo(true, 20);
  bad.nTab = 0;
  EXPECT_FALSE(EditBody_SetMetrics(b.body, &bad));
  bad = TestInfo(true, 20);
  bad.nLeftMargin = -1;
  EXPECT_FALSE(EditBody_SetMetrics(b.body, &bad));
  TEXTMETRICA tm = TestFont(0, 16);  // no character width: the wrap width would divide by zero
  EXPECT_FALSE(EditBody_SetFontMetrics(b.body, &tm));
  tm = TestFont(8, 16);
  tm.tmAscent = 20;  // more than the height
  EXPECT_FALSE(EditBody_SetFontMetrics(b.body, &tm));
  RECT inside_out = {100, 0, 50, 10};
  EXPECT_FALSE(EditBody_SetRect(b.body, &inside_out));
  EXPECT_EQ(8, EditBody_CellWidth(b.body));  // the body kept what it had
  EXPECT_EQ(20, TextData_GetProp(b.body->text)->width);
  EXPECT_EQ(8, b.body->ebi.nTab);

  ChangeLog log;
  bad.nTab = 0;
  EXPECT_EQ(nullptr, EditBody_Create(&bad, RecordChange, &log));
  TextEditorBodyInfo good = TestInfo();
  EXPECT_EQ(nullptr, EditBody_Create(&good, nullptr, &log));
}

TEST(EditBody, CreateFailsCleanlyAtEveryAllocation) {
  TextEditorBodyInfo ebi = TestInfo();
  ChangeLog log;
  int made = 0;
  for (long k = 0; k < 20; ++k) {
    Mem_FailAfter(k);
    TextEditorBody* body = EditBody_Create(&ebi, RecordChange, &log);
    Mem_ClearFault();
    if (body) {
      ++made;
      EXPECT_TRUE(IsValidTextEditorBodyHandle(body));
    }
    EditBody_Destroy(body);  // ASan reports anything a failed creation left behind
  }
  EXPECT_GT(made, 0);
  EXPECT_LT(made, 20);
}

// The display point of a position by walking from the first line, the way the
// mapping is defined; the body answers from its row cache and must agree.
POINT ReferenceDisplay(TextData* text, POINT pos) {
  int32_t row = 0;
  LineCursor c = TextData_CursorAt(text, 0);
  ByteScan scan;
  for (int32_t y = 0; y < pos.y && !LineCursor_IsLast(&c); ++y) {
    ByteScan_Reset(&scan, text, LineCursor_Line(&c));
    while (ByteScan_Next(&scan)) {
    }
    row += scan.pt.y + 1;
    LineCursor_Next(&c);
  }
  ByteScan_Reset(&scan, text, LineCursor_Line(&c));
  while (pos.x >= scan.index + ByteScan_GetCharLength(&scan) && ByteScan_Next(&scan)) {
  }
  return {scan.pt.x, row + scan.pt.y};
}

std::string RandomText(std::mt19937* rng, int pieces) {
  static const char* const kPieces[] = {"a", "b", " ", "\t", "あ", "　", "ｱ", "漢字", "\r\n", "xyz", "\x81"};
  std::string s;
  for (int i = 0; i < pieces; ++i) s += kPieces[(*rng)() % (sizeof(kPieces) / sizeof(kPieces[0]))];
  return s;
}

struct MapCase {
  bool wrap;
  int32_t columns;
  int32_t tab;
};

TEST(EditBodyMapping, EveryCharacterStartRoundTripsAndMatchesTheWalkFromTheHead) {
  const MapCase cases[] = {{false, 80, 8}, {true, 10, 4}, {true, 7, 8}, {true, 3, 2}, {true, 1, 8}};
  std::mt19937 rng(12345);
  for (const MapCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "wrap " << c.wrap << " columns " << c.columns << " tab " << c.tab);
    Body b(TestInfo(c.wrap, c.columns, c.tab));
    b.Type(RandomText(&rng, 400));
    TextData* text = b.body->text;
    for (int32_t y = TextData_GetCount(text) - 1; y >= 0; --y) {  // backwards, so the cache moves both ways
      LineData* line = TextData_Lookup(text, y, nullptr);
      for (int32_t x = 0;;) {
        POINT pos = {x, y};
        POINT d = EditBody_PosToDisplay(b.body, pos);
        ASSERT_EQ(ReferenceDisplay(text, pos), d) << "at " << pos;
        ASSERT_EQ(pos, EditBody_DisplayToPos(b.body, d)) << "display " << d;
        // A hit in the cell's first pixels lands before the character.
        POINT px = EditBody_DisplayToPixel(b.body, d);
        ASSERT_EQ(pos, EditBody_PixelToPos(b.body, px.x + 1, px.y + 3)) << "pixel of " << pos;
        int32_t n = Line_GetCharLength(line, x);
        if (n == 0) break;
        x += n;
      }
    }
  }
}

TEST(EditBodyMapping, HitsInTheHalvesOfNarrowWideAndTabCharacters) {
  Body b(TestInfo(false, 80, 8));
  b.Type("aあ\tb");  // a: column 0; あ: 1-2; tab: 3-7; b: 8
  auto hit = [&](int32_t pixelX) { return EditBody_PixelToPos(b.body, pixelX, 5).x; };
  EXPECT_EQ(0, hit(0));   // left half of a
  EXPECT_EQ(0, hit(7));   // right half of a one-byte character still lands before it
  EXPECT_EQ(1, hit(8));   // first cell of あ: before it
  EXPECT_EQ(1, hit(15));
  EXPECT_EQ(3, hit(16));  // second cell of あ: after it
  EXPECT_EQ(3, hit(23));
  EXPECT_EQ(3, hit(24));  // tab cells 3, 4, 5 lie before its middle ((5 + 1) / 2 = 3 cells)
  EXPECT_EQ(3, hit(47));
  EXPECT_EQ(4, hit(48));  // its last two cells: after it
  EXPECT_EQ(4, hit(63));
  EXPECT_EQ(4, hit(71));   // anywhere in b's cell: before it
  EXPECT_EQ(5, hit(72));   // behind the line's end: the end
  EXPECT_EQ(5, hit(500));
  EXPECT_EQ(0, hit(-40));  // left of the text area: the line's start

  // Column mapping uses the same halves.
  EXPECT_EQ(Pt(1, 0), EditBody_DisplayToPos(b.body, Pt(1, 0)));
  EXPECT_EQ(Pt(3, 0), EditBody_DisplayToPos(b.body, Pt(2, 0)));
  EXPECT_EQ(Pt(3, 0), EditBody_DisplayToPos(b.body, Pt(5, 0)));
  EXPECT_EQ(Pt(4, 0), EditBody_DisplayToPos(b.body, Pt(6, 0)));
}

TEST(EditBodyMapping, PixelsWithScrollMarginAndNumbers) {
  TextEditorBodyInfo ebi = TestInfo(false);
  ebi.nLeftMargin = 4;
  ebi.bLineNumber = 1;  // 33 pixels
  Body b(ebi);
  b.Type("abcdef\r\nghijkl\r\nmnop");
  EditBody_SetView(b.body, Pt(16, 16));  // two columns and one row scrolled away
  EXPECT_EQ(Pt(8 * 3 + 37 - 16, 16 * 2 - 16), EditBody_DisplayToPixel(b.body, Pt(3, 2)));
  EXPECT_EQ(Pt(3, 2), EditBody_PixelToPos(b.body, 8 * 3 + 37 - 16 + 2, 17));
  EXPECT_EQ(Pt(2, 1), EditBody_PixelToPos(b.body, 37, 0));  // the text area's origin is column 2 of row 1
  EXPECT_EQ(Pt(4, 2), EditBody_PixelToPos(b.body, 37, 1000));  // below the document: its end
  EditBody_SetView(b.body, Pt(0, 0));
  EXPECT_EQ(Pt(0, 0), EditBody_PixelToPos(b.body, 37, -100));  // above it: the first row
  EXPECT_EQ(Pt(6, 0), EditBody_PixelToPos(b.body, 5000, -100));
}

TEST(EditBodyMapping, PixelHitsOnWrappedRows) {
  Body b(TestInfo(true, 10));
  b.Type("abcdefghijklmno");  // rows "abcdefghi" and "jklmno"
  EXPECT_EQ(Pt(9, 0), EditBody_PixelToPos(b.body, 8 * 9 + 1, 3));  // behind row 0: where it ends
  EXPECT_EQ(Pt(0, 1), EditBody_PosToDisplay(b.body, Pt(9, 0)));    // which is the next row's start
  EXPECT_EQ(Pt(11, 0), EditBody_PixelToPos(b.body, 8 * 2, 16 + 3));
  EXPECT_EQ(Pt(15, 0), EditBody_PixelToPos(b.body, 8 * 9, 16 + 3));
}

TEST(EditBodyMapping, RowsDownAndUpKeepTheDisplayColumn) {
  Body b(TestInfo(false, 80, 8));
  b.Type("0123456789abcdef\r\nshort\r\n\tx\r\nあいうえおかきく");
  EXPECT_EQ(Pt(5, 1), EditBody_RowsDown(b.body, Pt(10, 0), 1));   // to a shorter line: its end
  EXPECT_EQ(Pt(1, 2), EditBody_RowsDown(b.body, Pt(4, 1), 1));    // column 4: the tab's right half
  EXPECT_EQ(Pt(0, 2), EditBody_RowsDown(b.body, Pt(3, 1), 1));    // column 3: before the tab
  EXPECT_EQ(Pt(10, 3), EditBody_RowsDown(b.body, Pt(10, 0), 3));  // column 10 between two kana
  EXPECT_EQ(Pt(12, 3), EditBody_RowsDown(b.body, Pt(11, 0), 3));  // column 11: in the second cell of お
  EXPECT_EQ(Pt(10, 0), EditBody_RowsUp(b.body, Pt(10, 3), 3));
  EXPECT_EQ(Pt(16, 3), EditBody_RowsDown(b.body, Pt(16, 0), 99));  // clamped to the last row
  EXPECT_EQ(Pt(4, 0), EditBody_RowsUp(b.body, Pt(4, 1), 99));      // clamped to the first

  Body w(TestInfo(true, 20));
  w.Type(std::string(30, 'a') + "\r\n" + std::string(5, 'b'));  // rows of 19 and 11, then 5
  EXPECT_EQ(Pt(29, 0), EditBody_RowsDown(w.body, Pt(10, 0), 1));  // column 10 of the next row of the same line
  EXPECT_EQ(Pt(5, 1), EditBody_RowsDown(w.body, Pt(29, 0), 1));
  EXPECT_EQ(Pt(24, 0), EditBody_RowsUp(w.body, Pt(5, 1), 1));
  EXPECT_EQ(Pt(5, 0), EditBody_RowsUp(w.body, Pt(24, 0), 1));
}

TEST(EditBodyMapping, RowToLineAndFirstRows) {
  Body b(TestInfo(true, 10));
  b.Type("abcdefghijklmnopqrs\r\nx\r\n\r\n123456789");  // rows: 3, 1, 1, 2
  int32_t index = -1, row = -1;
  LineData* line = EditBody_RowToLine(b.body, 4, &index, &row);
  EXPECT_EQ(2, index);
  EXPECT_EQ(0, row);
  EXPECT_EQ(0, Line_GetLength(line));
  EditBody_RowToLine(b.body, 2, &index, &row);
  EXPECT_EQ(0, index);
  EXPECT_EQ(2, row);
  EditBody_RowToLine(b.body, 9, &index, &row);  // past the end: the last line, beyond its rows
  EXPECT_EQ(3, index);
  EXPECT_EQ(4, row);
  EditBody_RowToLine(b.body, -3, &index, &row);
  EXPECT_EQ(0, index);
  EXPECT_EQ(0, row);
  EXPECT_EQ(5, EditBody_LineFirstRow(b.body, 3));
  EXPECT_EQ(5, EditBody_LineFirstRow(b.body, 99));
  EXPECT_EQ(int64_t(7) * 16, EditBody_DocumentPixelHeight(b.body));
}

TEST(EditBodyMapping, ChangeRectangles) {
  Body b(TestInfo(false));
  RECT clip = {0, 0, 640, 400};
  DisplayRange oneRow = {{3, 2}, {9, 2}};
  RECT r = EditBody_ChangeRect(b.body, &oneRow, &clip);
  EXPECT_EQ(24, r.left);  // from the first point on
  EXPECT_EQ(32, r.top);
  EXPECT_EQ(640, r.right);
  EXPECT_EQ(48, r.bottom);
  DisplayRange rows = {{3, 2}, {0, 4}};
  r = EditBody_ChangeRect(b.body, &rows, &clip);
  EXPECT_EQ(0, r.left);  // several rows: the whole width
  EXPECT_EQ(32, r.top);
  EXPECT_EQ(80, r.bottom);
  DisplayRange offRight = {{100, 1}, {100, 1}};  // right of the clip: an empty rectangle
  r = EditBody_ChangeRect(b.body, &offRight, &clip);
  EXPECT_GE(r.left, r.right);
  DisplayRange below = {{0, 40}, {0, 41}};
  r = EditBody_ChangeRect(b.body, &below, &clip);
  EXPECT_GE(r.top, r.bottom);
}

TEST(EditBodyMapping, HugeUnwrappedColumnsSaturateInsteadOfOverflowing) {
  Body b(TestInfo(false, 80, 1 << 20));
  b.Type(std::string(3000, '\t') + "x");  // over three thousand million columns
  POINT d = EditBody_PosToDisplay(b.body, Pt(3000, 0));
  EXPECT_EQ(INT32_MAX, d.x);
  POINT px = EditBody_DisplayToPixel(b.body, d);
  EXPECT_EQ(INT32_MAX, px.x);
  EXPECT_EQ(Pt(0, 0), EditBody_PixelToPos(b.body, 3, 3));
  // The 257th tab's middle lies beyond 32-bit pixels: the hit stops before it.
  EXPECT_EQ(Pt(256, 0), EditBody_PixelToPos(b.body, INT32_MAX, 3));
}

std::string TempPath(const char* name) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return ::testing::TempDir() + "qwil_" + info->name() + "_" + name;
}

TEST(EditBodyFile, LoadReplacesTheDocumentAndResetsTheBody) {
  std::string path = TempPath("in.txt");
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f);
  std::fputs("one\ntwo\r\nthree", f);
  std::fclose(f);

  Body b(TestInfo(true, 20));
  b.Type("old text");
  EditBody_SetView(b.body, Pt(0, 48));
  TextFileStatus status = TEXTFILE_NO_MEMORY;
  ASSERT_TRUE(EditBody_Load(b.body, path.c_str(), &status));
  EXPECT_EQ(TEXTFILE_OK, status);
  EXPECT_EQ("one\r\ntwo\r\nthree", b.Text());
  EXPECT_FALSE(EditBody_GetModified(b.body));
  EXPECT_FALSE(EditBody_CanUndo(b.body));
  EXPECT_EQ(Pt(0, 0), b.body->ptCaret);
  EXPECT_EQ(Pt(0, 0), b.body->ptSelect);
  EXPECT_EQ(Pt(0, 0), EditBody_GetView(b.body));
  EXPECT_TRUE(TextData_GetProp(b.body->text)->wrap);  // laid out for the body
  EXPECT_EQ(20, TextData_GetProp(b.body->text)->width);

  b.Type("x");
  EXPECT_FALSE(EditBody_Load(b.body, (path + ".missing").c_str(), &status));
  EXPECT_EQ(TEXTFILE_OPEN_FAILED, status);
  EXPECT_EQ("xone\r\ntwo\r\nthree", b.Text());  // the old document stays, with its undo
  EXPECT_TRUE(EditBody_CanUndo(b.body));

  EditBody_SetReadOnly(b.body, true);
  EXPECT_FALSE(EditBody_Load(b.body, nullptr, &status));
  EXPECT_EQ(TEXTFILE_OK, status);
  EXPECT_EQ("xone\r\ntwo\r\nthree", b.Text());
  EditBody_SetReadOnly(b.body, false);
  EXPECT_TRUE(EditBody_Load(b.body, nullptr, nullptr));  // no name: an empty document
  EXPECT_EQ("", b.Text());
  std::remove(path.c_str());
}

TEST(EditBodyFile, SaveReportsWhetherEveryByteArrived) {
  Body b;
  b.Type("a\nb");
  std::string path = TempPath("out.txt");
  EXPECT_EQ(TEXTFILE_OK, EditBody_Save(b.body, path.c_str()));
  EXPECT_NE(TEXTFILE_OK, EditBody_Save(b.body, (::testing::TempDir() + "no/such/folder/x.txt").c_str()));
  std::remove(path.c_str());
}

}  // namespace
