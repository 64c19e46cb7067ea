#include "dialogs/keylist.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/memory.h"

namespace {

TEST(KeyListSort, AClickFlipsTheSortedColumnAndSortsAnotherAscending) {
  KeyListSort sort;
  KeyListSort_Init(&sort);
  EXPECT_EQ(KEYLIST_COLUMN_KEY, sort.nColumn);
  EXPECT_FALSE(sort.bDescending);
  // The list opens ascending by key, so the first click on the key header sorts descending.
  KeyListSort_Click(&sort, KEYLIST_COLUMN_KEY);
  EXPECT_TRUE(sort.bDescending);
  KeyListSort_Click(&sort, KEYLIST_COLUMN_COMMAND);
  EXPECT_EQ(KEYLIST_COLUMN_COMMAND, sort.nColumn);
  EXPECT_FALSE(sort.bDescending);
  KeyListSort_Click(&sort, KEYLIST_COLUMN_COMMAND);
  EXPECT_TRUE(sort.bDescending);
  KeyListSort_Click(&sort, 7);  // no such column: nothing changes
  EXPECT_EQ(KEYLIST_COLUMN_COMMAND, sort.nColumn);
  EXPECT_TRUE(sort.bDescending);
}

TEST(KeyListSort, TheKeyColumnIsInItemOrderAndTheCommandColumnFoldsLetters) {
  KeyListSort byKey = {KEYLIST_COLUMN_KEY, false};
  // The virtual key comes first: Ctrl+A before Shift+B, though 0x241 > 0x142.
  EXPECT_LT(KeyListSort_Compare(&byKey, 0x241, "z", 0x142, "a"), 0);
  EXPECT_GT(KeyListSort_Compare(&byKey, 0x341, "a", 0x241, "z"), 0);
  EXPECT_EQ(0, KeyListSort_Compare(&byKey, 0x241, "a", 0x241, "b"));
  KeyListSort byKeyDown = {KEYLIST_COLUMN_KEY, true};
  EXPECT_GT(KeyListSort_Compare(&byKeyDown, 0x241, "z", 0x142, "a"), 0);

  KeyListSort byName = {KEYLIST_COLUMN_COMMAND, false};
  EXPECT_EQ(0, KeyListSort_Compare(&byName, 1, "About", 2, "aBOUT"));
  EXPECT_LT(KeyListSort_Compare(&byName, 9, "About", 1, "UNKNOWN"), 0);
  EXPECT_LT(KeyListSort_Compare(&byName, 9, "UNKNOWN", 1, "コピー"), 0) << "single-byte before two-byte names";
  EXPECT_LT(KeyListSort_Compare(&byName, 9, "コピー", 1, "検索"), 0);
  KeyListSort byNameDown = {KEYLIST_COLUMN_COMMAND, true};
  EXPECT_GT(KeyListSort_Compare(&byNameDown, 9, "About", 1, "UNKNOWN"), 0);
}

TEST(KeyListSort, TheSecondByteOfATwoByteCharacterIsNotFolded) {
  // 0x83 0x41 and 0x83 0x61 are two different katakana; folding their second
  // byte as a letter would call them equal.
  EXPECT_NE(0, KeyList_CompareNames("\x83\x41", "\x83\x61"));
  EXPECT_LT(KeyList_CompareNames("\x83\x41", "\x83\x61"), 0);
  // After a two-byte character the letters fold again.
  EXPECT_EQ(0, KeyList_CompareNames("\x83\x41Z", "\x83\x41z"));
  EXPECT_LT(KeyList_CompareNames("ab", "abc"), 0);
  EXPECT_EQ(0, KeyList_CompareNames("", ""));
}

TEST(KeyList, TheRowAfterADeleteIsTheOneNowAtTheSameIndexOrTheLast) {
  struct Case {
    int32_t deleted, rows, expected;
  };
  const Case cases[] = {{0, 2, 0}, {1, 2, 1}, {2, 2, 1}, {0, 0, -1}, {5, 3, 2}, {-1, 3, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, KeyList_IndexAfterDelete(c.deleted, c.rows)) << c.deleted << " of " << c.rows;
  }
}

struct Row {
  KeyCode code;
  std::string name;
};

struct Rows {
  std::vector<Row> rows;
  int32_t nFailAt = -1;
};

bool GiveRow(void* context, int32_t row, KeyCode* code, char* name, int32_t size) {
  Rows* rows = static_cast<Rows*>(context);
  if (row == rows->nFailAt) return false;
  *code = rows->rows[static_cast<size_t>(row)].code;
  snprintf(name, static_cast<size_t>(size), "%s", rows->rows[static_cast<size_t>(row)].name.c_str());
  return true;
}

TEST(KeyList, TheRowsBecomeBindingsInItemOrderWithTheirCommands) {
  Rows rows;
  rows.rows = {{0x348, "コピー"}, {0x241, "なし"}, {0x171, "UNKNOWN"}, {0x142, "検索"}};
  KeyAssignItem* items = nullptr;
  ASSERT_TRUE(KeyList_CollectBindings(4, GiveRow, &rows, &items));
  ASSERT_NE(nullptr, items);
  const KeyAssignItem expected[] = {{0x241, 40111}, {0x142, 40031}, {0x348, 40014}, {0x171, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(expected[i].dwKeyCode, items[i].dwKeyCode) << i;
    EXPECT_EQ(expected[i].nCommandId, items[i].nCommandId) << i;
  }
  Mem_Free(items);

  items = reinterpret_cast<KeyAssignItem*>(&rows);  // must be reset
  EXPECT_TRUE(KeyList_CollectBindings(0, GiveRow, &rows, &items));
  EXPECT_EQ(nullptr, items) << "no rows, no array";
}

TEST(KeyList, AFailedRowOrMemoryGivesNothingAndFreesAll) {
  Rows rows;
  rows.rows = {{0x348, "コピー"}, {0x241, "なし"}};
  rows.nFailAt = 1;
  long live = Mem_LiveBlocks();
  KeyAssignItem* items = nullptr;
  EXPECT_FALSE(KeyList_CollectBindings(2, GiveRow, &rows, &items));
  EXPECT_EQ(nullptr, items);
  EXPECT_EQ(live, Mem_LiveBlocks());
  rows.nFailAt = -1;
  for (long n = 0; n < 3; ++n) {
    Mem_FailAfter(n);
    bool ok = KeyList_CollectBindings(2, GiveRow, &rows, &items);
    Mem_ClearFault();
    if (ok) {
      ASSERT_NE(nullptr, items) << n;
      EXPECT_EQ(0x241u, items[0].dwKeyCode);
      Mem_Free(items);
    } else {
      EXPECT_EQ(nullptr, items) << n;
    }
    EXPECT_EQ(live, Mem_LiveBlocks()) << "after " << n << " allocations";
  }
  Mem_FailAfter(0);
  EXPECT_FALSE(KeyList_CollectBindings(2, GiveRow, &rows, &items)) << "no memory at all";
  Mem_ClearFault();
}

}  // namespace
