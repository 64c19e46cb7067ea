#include "editctrl/linedata.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editctrl/bytescan.h"
#include "editctrl/linepool.h"
#include "tools/charrule.h"
#include "tools/memory.h"

namespace {

// Lines made by a test are destroyed with its pool.
struct Pool {
  LinePool* pool = LinePool_Create();
  std::vector<LineData*> lines;
  ~Pool() {
    for (LineData* line : lines) Line_Destroy(pool, line);
    LinePool_Destroy(pool);
  }
};

LineDataProperty Prop(bool wrap, int32_t width, int32_t tabsize) {
  LineDataProperty p;
  p.wrap = wrap ? 1 : 0;
  p.width = width;
  p.tabsize = tabsize;
  return p;
}

LineData* Make(Pool& p, const LineDataProperty& prop, const std::string& bytes) {
  LineData* line = Line_Create(p.pool, &prop);
  EXPECT_TRUE(Line_InsertBytes(p.pool, line, 0, bytes.data(), static_cast<int32_t>(bytes.size())));
  p.lines.push_back(line);
  return line;
}

POINT ScanToEnd(LineData* line) {
  ByteScan scan;
  ByteScan_Reset(&scan, line);
  while (ByteScan_Next(&scan)) {
  }
  return scan.pt;
}

TEST(ByteString, GrowsExactlyAndNeverShrinks) {
  ByteString* s = ByteString_Create();
  ASSERT_TRUE(IsValidByteStringHandle(s));
  EXPECT_EQ(0, s->length);
  EXPECT_EQ(1, s->bufsize);
  EXPECT_STREQ("", s->string);
  ASSERT_TRUE(ByteString_Insert(s, 0, "abcd", 4));
  EXPECT_EQ(5, s->bufsize);
  ByteString_Erase(s, 1, 3);
  EXPECT_STREQ("ad", s->string);
  EXPECT_EQ(5, s->bufsize);
  ASSERT_TRUE(ByteString_Replace(s, 0, 1, "xyz", 3));
  EXPECT_STREQ("xyzd", s->string);
  char out[8] = {};
  EXPECT_EQ(2, ByteString_CopyRange(s, out, 8, 1, 3));
  EXPECT_EQ(std::string("yz"), std::string(out, 2));
  EXPECT_EQ(4, ByteString_CopyPrefix(s, out, 8));
  // A failed growth leaves the bytes as they were.
  Mem_FailAfter(0);
  EXPECT_FALSE(ByteString_Insert(s, 4, "0123456789", 10));
  Mem_ClearFault();
  EXPECT_STREQ("xyzd", s->string);
  EXPECT_TRUE(IsValidByteStringHandle(s));
  ByteString_Destroy(s);
}

TEST(LineData, WidthAndTailFollowTheWrapRule) {
  Pool p;
  LineData* tabbed = Make(p, Prop(false, 80, 8), "");
  LineDataProperty wrapped8 = Prop(true, 80, 8);
  Line_SetProp(tabbed, &wrapped8);
  ASSERT_TRUE(Line_InsertBytes(p.pool, tabbed, 0, "a\tb", 3));
  EXPECT_EQ(9, tabbed->width);

  LineData* nine = Make(p, Prop(true, 10, 8), "123456789");
  EXPECT_EQ(0, nine->ptTail.x);
  EXPECT_EQ(1, nine->ptTail.y);
  EXPECT_EQ(2, Line_GetRows(nine));
  LineData* eight = Make(p, Prop(true, 10, 8), "12345678");
  EXPECT_EQ(8, eight->ptTail.x);
  EXPECT_EQ(0, eight->ptTail.y);

  // A two-byte character that would start at column 8 starts the next row; at 7 it stays.
  LineData* at8 = Make(p, Prop(true, 10, 8), "12345678あ");
  EXPECT_EQ(1, at8->ptTail.y);
  EXPECT_EQ(2, at8->ptTail.x);
  LineData* at7 = Make(p, Prop(true, 10, 8), "1234567あ");
  EXPECT_EQ(1, at7->ptTail.y);  // it stays on row 0 and ends at 9: the line end breaks
  EXPECT_EQ(0, at7->ptTail.x);

  // A tab after a row break is measured from column 0 of the new row.
  LineData* tabRow = Make(p, Prop(true, 6, 4), "abcde\t");
  EXPECT_EQ(1, tabRow->ptTail.y);
  EXPECT_EQ(4, tabRow->ptTail.x);

  // A tab wider than the wrap width still occupies one row.
  LineData* wide = Make(p, Prop(true, 4, 8), "\t");
  EXPECT_EQ(1, wide->ptTail.y);  // the line end cannot follow it on its row
  LineData* wideTwo = Make(p, Prop(true, 4, 8), "\t\t");
  EXPECT_EQ(2, wideTwo->ptTail.y);
}

TEST(LineData, SplitMovesTheTailAndTheOldLineEnd) {
  Pool p;
  LineData* line = Make(p, Prop(false, 80, 8), "abc");
  Line_SetCrlf(line, "\r\n", 2);
  LineData* tail = Line_Split(p.pool, line, 1, "\n", 1);
  ASSERT_NE(nullptr, tail);
  EXPECT_STREQ("a", Line_GetString(line));
  EXPECT_STREQ("\n", line->crlf);
  EXPECT_STREQ("bc", Line_GetString(tail));
  EXPECT_STREQ("\r\n", tail->crlf);
  EXPECT_EQ(13, Line_GetCharCode(tail, 2));
  Line_SetCrlf(tail, "", 0);
  EXPECT_EQ(0, Line_GetCharCode(tail, 2));
  Line_Destroy(p.pool, tail);
}

TEST(LineData, UnwrappedPropertyChangesKeepTheWidth) {
  Pool p;
  LineData* line = Make(p, Prop(true, 5, 8), "abcdefgh\t");
  int32_t width = line->width;
  LineDataProperty off = Prop(false, 5, 8);
  Line_SetProp(line, &off);
  EXPECT_EQ(0, line->ptTail.y);
  LineDataProperty offTab = Prop(false, 5, 2);
  Line_SetProp(line, &offTab);
  EXPECT_EQ(width, line->width);
  EXPECT_EQ(0, line->ptTail.y);
}

TEST(LineData, LentBytesMoveOutWhenTheLineGrows) {
  Pool p;
  LineDataProperty prop = Prop(true, 20, 4);
  LineData* line = Line_CreateLoaded(p.pool, &prop, "load", 4, "ed", 2, "\r\n", 2);
  ASSERT_NE(nullptr, line);
  const char* lent = Line_GetString(line);
  EXPECT_TRUE(LinePool_OwnsBytes(p.pool, lent));
  ASSERT_TRUE(Line_InsertBytes(p.pool, line, 6, " and grown", 10));
  EXPECT_NE(lent, Line_GetString(line));
  EXPECT_FALSE(LinePool_OwnsBytes(p.pool, Line_GetString(line)));
  EXPECT_STREQ("loaded", lent);  // the lent bytes are left as they were
  EXPECT_STREQ("loaded and grown", Line_GetString(line));
  ByteString_Erase(line->byte, 0, 7);
  EXPECT_STREQ("and grown", Line_GetString(line));
  EXPECT_TRUE(IsValidLineDataHandle(line));
  Line_Destroy(p.pool, line);
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

// The layout must give exactly what stepping a ByteScan gives: short and long
// lines, with and without tabs, tabs hidden as second bytes behind lead bytes.
TEST(LineData, LayoutMatchesTheByteScanOnRandomLines) {
  Pool p;
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
    LineData* line = Line_CreateFilled(p.pool, &prop, bytes.data(), static_cast<int32_t>(bytes.size()), "", 0);
    POINT scanned = ScanToEnd(line);
    ASSERT_EQ(scanned.x, line->ptTail.x) << "round " << round;
    ASSERT_EQ(scanned.y, line->ptTail.y) << "round " << round;
    ASSERT_EQ(WidthByWalk(bytes, prop.tabsize), line->width) << "round " << round;
    ASSERT_TRUE(IsValidLineDataHandle(line));
    Line_Destroy(p.pool, line);
  }
}

}  // namespace
