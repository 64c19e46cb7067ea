#include "editctrl/linedata.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editctrl/bytescan.h"
#include "editctrl/textdata.h"
#include "editctrl/textfile.h"
#include "tools/charrule.h"
#include "tools/memory.h"

namespace {

LineDataProperty Prop(bool wrap, int32_t width, int32_t tabsize) {
  LineDataProperty p;
  p.wrap = wrap ? 1 : 0;
  p.width = width;
  p.tabsize = tabsize;
  return p;
}

// A document of one line of the bytes (no line ends among them).
struct OneLine {
  TextData* text;
  OneLine(const LineDataProperty& prop, const std::string& bytes) : text(TextData_Create(&prop)) {
    EXPECT_TRUE(TextData_Append(text, bytes.data(), static_cast<int32_t>(bytes.size()), nullptr));
  }
  ~OneLine() { TextData_Destroy(text); }
  const LineData* Line() const { return TextData_GetHead(text); }
  // The point behind the last character as the stored layout gives it.
  POINT Tail() const {
    ByteScan scan;
    ByteScan_Reset(&scan, text, Line());
    ByteScan_ToEnd(&scan);
    return scan.pt;
  }
  // The same by stepping every character.
  POINT Stepped() const {
    ByteScan scan;
    ByteScan_Reset(&scan, text, Line());
    while (ByteScan_Next(&scan)) {
    }
    return scan.pt;
  }
};

TEST(LineData, OwnBuffersGrowExactlyAndNeverShrink) {
  LineData line;
  ASSERT_TRUE(Line_InitJoined(&line, "ab", 2, "cd", 2, LINEEND_CRLF));
  ASSERT_TRUE(IsValidLineDataHandle(&line));
  EXPECT_STREQ("abcd", Line_GetString(&line));
  EXPECT_EQ(5, Line_GetCapacity(&line));
  EXPECT_STREQ("\r\n", Line_GetCrlf(&line));
  Line_Replace(&line, 1, 3, nullptr, 0);
  EXPECT_STREQ("ad", Line_GetString(&line));
  EXPECT_EQ(5, Line_GetCapacity(&line));
  ASSERT_TRUE(Line_Reserve(&line, 2 + 3 + 1));
  EXPECT_EQ(6, Line_GetCapacity(&line));
  Line_Replace(&line, 0, 1, "xyz", 3);
  EXPECT_STREQ("xyzd", Line_GetString(&line));
  // A failed growth leaves the bytes as they were.
  Mem_FailAfter(0);
  EXPECT_FALSE(Line_Reserve(&line, 20));
  Mem_ClearFault();
  EXPECT_STREQ("xyzd", Line_GetString(&line));
  EXPECT_TRUE(IsValidLineDataHandle(&line));
  Line_FreeBytes(&line);
  EXPECT_EQ(0, Line_GetLength(&line));
  EXPECT_STREQ("", Line_GetString(&line));
  // An empty line costs no buffer of its own.
  EXPECT_TRUE(Line_InitJoined(&line, "", 0, nullptr, 0, LINEEND_NONE));
  EXPECT_FALSE(Line_IsOwn(&line));
}

TEST(LineData, TailFollowsTheWrapRule) {
  EXPECT_EQ(9, OneLine(Prop(false, 80, 8), "a\tb").Tail().x);  // 1 + 7 + 1
  // 9 characters end at column 9, and 9 + 1 >= 10 breaks the row: 2 rows.
  OneLine nine(Prop(true, 10, 8), "123456789");
  EXPECT_EQ(0, nine.Tail().x);
  EXPECT_EQ(1, nine.Tail().y);
  EXPECT_EQ(2, TextData_LineRows(nine.text, nine.Line()));
  EXPECT_EQ(8, OneLine(Prop(true, 10, 8), "12345678").Tail().x);
  EXPECT_EQ(0, OneLine(Prop(true, 10, 8), "12345678").Tail().y);
  // A two-byte character that would start at column 8 starts the next row; at 7 it stays.
  OneLine at8(Prop(true, 10, 8), "12345678あ");
  EXPECT_EQ(1, at8.Tail().y);
  EXPECT_EQ(2, at8.Tail().x);
  OneLine at7(Prop(true, 10, 8), "1234567あ");
  EXPECT_EQ(1, at7.Tail().y);  // it stays on row 0 and ends at 9: the line end breaks
  EXPECT_EQ(0, at7.Tail().x);
  // A tab after a row break is measured from column 0 of the new row.
  OneLine tabRow(Prop(true, 6, 4), "abcde\t");
  EXPECT_EQ(1, tabRow.Tail().y);
  EXPECT_EQ(4, tabRow.Tail().x);
  // A tab wider than the wrap width still occupies one row.
  EXPECT_EQ(1, OneLine(Prop(true, 4, 8), "\t").Tail().y);  // the line end cannot follow it on its row
  EXPECT_EQ(2, OneLine(Prop(true, 4, 8), "\t\t").Tail().y);
  // Wrapping switched off leaves one row per line, whatever the tab size.
  OneLine off(Prop(true, 5, 8), "abcdefgh\t");
  LineDataProperty unwrapped = Prop(false, 5, 2);
  ASSERT_TRUE(TextData_SetProp(off.text, &unwrapped));
  EXPECT_EQ(0, off.Tail().y);
  EXPECT_EQ(1, TextData_GetHeight(off.text));
  EXPECT_TRUE(TextData_CheckDeep(off.text));
}

TEST(LineData, SplitMovesTheTailAndTheOldLineEnd) {
  LineDataProperty prop = Prop(false, 80, 8);
  TextData* text = TextData_Create(&prop);
  ASSERT_TRUE(TextData_Append(text, "abc\r\nx", 6, nullptr));
  ASSERT_TRUE(TextData_Insert(text, {1, 0}, "\n", 1, nullptr));
  const LineData* head = TextData_Lookup(text, 0, nullptr);
  EXPECT_STREQ("a", Line_GetString(head));
  EXPECT_STREQ("\n", Line_GetCrlf(head));
  const LineData* tail = TextData_Lookup(text, 1, nullptr);
  EXPECT_STREQ("bc", Line_GetString(tail));
  EXPECT_STREQ("\r\n", Line_GetCrlf(tail));
  EXPECT_EQ(13, Line_GetCharCode(tail, 2));
  EXPECT_EQ(0, Line_GetCharCode(TextData_Lookup(text, 2, nullptr), 1));
  TextData_Destroy(text);
}

TEST(LineData, LentBytesMoveOutWhenTheLineGrows) {
  LineDataProperty prop = Prop(true, 20, 4);
  TextData* text = TextData_Create(&prop);
  TextStream* stream = TextStream_Begin(text);
  ASSERT_TRUE(TextStream_Feed(stream, "loaded\r\nnext", 12, nullptr));
  ASSERT_TRUE(TextStream_End(stream, nullptr));
  const char* lent = Line_GetString(TextData_GetHead(text));
  EXPECT_FALSE(Line_IsOwn(TextData_GetHead(text)));
  ASSERT_TRUE(TextData_Insert(text, {6, 0}, " and grown", 10, nullptr));
  const LineData* line = TextData_GetHead(text);
  EXPECT_TRUE(Line_IsOwn(line));
  EXPECT_NE(lent, Line_GetString(line));
  EXPECT_STREQ("loaded", lent);  // the lent bytes are left as they were
  EXPECT_STREQ("loaded and grown", Line_GetString(line));
  ASSERT_TRUE(TextData_Delete(text, {{0, 0}, {7, 0}}));
  EXPECT_STREQ("and grown", Line_GetString(TextData_GetHead(text)));
  EXPECT_TRUE(TextData_CheckDeep(text));
  TextData_Destroy(text);
}

// The unwrapped width by walking characters: a tab reaches the next stop from the
// line start, a NUL is one column, any other character its byte length.
int32_t WidthByWalk(const std::string& b, int32_t tabsize) {
  int32_t column = 0;
  for (int32_t i = 0; i < static_cast<int32_t>(b.size());) {
    int32_t n = Char_Length(b.data(), static_cast<int32_t>(b.size()), i);
    column += (b[static_cast<size_t>(i)] == '\t') ? tabsize - column % tabsize : n;
    i += n;
  }
  return column;
}

// The stored rows must give exactly what stepping a ByteScan gives: short and long
// lines, with and without tabs, tabs hidden as second bytes behind lead bytes.
TEST(LineData, LayoutMatchesTheByteScanOnRandomLines) {
  const char* pieces[] = {"a", "\t", "あ", "\x82", "", "ｱ", " ", "表", "\x82\t", "東京"};
  std::mt19937 rng(99);
  for (int round = 0; round < 6000; ++round) {
    bool longLine = round % 2 == 1;
    LineDataProperty prop = Prop(true, 1 + static_cast<int32_t>(rng() % (longLine ? 90 : 14)),
                                 1 + static_cast<int32_t>(rng() % 9));
    bool tabs = round % 3 != 0;
    std::string bytes;
    int n = static_cast<int>(rng() % (longLine ? 300 : 30));
    for (int i = 0; i < n; ++i) {
      int k = static_cast<int>(rng() % 10);
      if (!tabs && (k == 1 || k == 8)) k = 0;
      bytes += (k == 4) ? std::string(1, '\0') : std::string(pieces[k]);
    }
    OneLine line(prop, bytes);
    const POINT stepped = line.Stepped();
    ASSERT_EQ(stepped.x, line.Tail().x) << "round " << round;
    ASSERT_EQ(stepped.y, line.Tail().y) << "round " << round;
    ASSERT_EQ(stepped.y + 1, TextData_GetHeight(line.text)) << "round " << round;
    // Every row starts where stepping enters it.
    ByteScan step;
    ByteScan_Reset(&step, line.text, line.Line());
    for (int32_t row = 1; ByteScan_Next(&step);) {
      if (step.pt.y < row) continue;
      ByteScan at;
      ByteScan_Reset(&at, line.text, line.Line());
      ByteScan_ToRow(&at, row);
      ASSERT_EQ(step.index, at.index) << "round " << round << " row " << row;
      ++row;
    }
    LineDataProperty unwrapped = prop;
    unwrapped.wrap = 0;
    ASSERT_TRUE(TextData_SetProp(line.text, &unwrapped));
    ASSERT_EQ(WidthByWalk(bytes, prop.tabsize), line.Tail().x) << "round " << round;
  }
}

// A line's columns, unwrapped, stay what walking its characters gives while
// edits put tabs in and take them out: a line known to hold no tab maps its
// columns without looking at its bytes, so that knowledge must never be wrong.
TEST(LineData, ColumnsOfAnEditedLineFollowItsTabs) {
  const char* plain[] = {"ab", "日本", "\x82", "ｱ", "cd", "語"};
  const char* tabbed[] = {"\t", "x\ty"};
  std::mt19937 rng(7);
  LineDataProperty prop = Prop(false, 80, 4);
  for (int doc = 0; doc < 60; ++doc) {
    // Loaded, with or without a tab: the first edit moves the bytes out.
    std::string bytes = doc % 3 == 0 ? "lent\tbytes" : "lent bytes";
    TextData* text = TextData_Create(&prop);
    TextStream* stream = TextStream_Begin(text);
    ASSERT_TRUE(TextStream_Feed(stream, bytes.data(), static_cast<int32_t>(bytes.size()), nullptr));
    ASSERT_TRUE(TextStream_End(stream, nullptr));
    for (int round = 0; round < 60; ++round) {
      const int32_t n = static_cast<int32_t>(bytes.size());
      const int32_t at = n == 0 ? 0 : static_cast<int32_t>(rng() % (n + 1));
      if (rng() % 3 == 0 && n > 0) {
        const int32_t reach = at + static_cast<int32_t>(rng() % 4);
        const int32_t end = reach > n ? n : reach;
        ASSERT_TRUE(TextData_Delete(text, {{at, 0}, {end, 0}}));
        bytes.erase(static_cast<size_t>(at), static_cast<size_t>(end - at));
      } else {
        // Tabs are rare, so that most lines spend a while known to hold none.
        const std::string piece = rng() % 8 == 0 ? tabbed[rng() % 2] : plain[rng() % 6];
        ASSERT_TRUE(TextData_Insert(text, {at, 0}, piece.data(), static_cast<int32_t>(piece.size()), nullptr));
        bytes.insert(static_cast<size_t>(at), piece);
      }
      const LineData* line = TextData_GetHead(text);
      ASSERT_EQ(bytes, std::string(Line_GetString(line), static_cast<size_t>(Line_GetLength(line))));
      ByteScan scan;
      ByteScan_Reset(&scan, text, line);
      ByteScan_ToEnd(&scan);
      ASSERT_EQ(WidthByWalk(bytes, prop.tabsize), scan.pt.x) << "doc " << doc << " round " << round;
      ByteScan_Reset(&scan, text, line);
      ByteScan_SkipTo(&scan, static_cast<int32_t>(bytes.size()) / 2);
      ASSERT_EQ(WidthByWalk(bytes.substr(0, static_cast<size_t>(scan.index)), prop.tabsize), scan.pt.x)
          << "doc " << doc << " round " << round;
    }
    TextData_Destroy(text);
  }
}

}  // namespace
