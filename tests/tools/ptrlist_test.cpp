#include "tools/ptrlist.h"

#include <gtest/gtest.h>

#include <vector>

#include "tools/memory.h"

namespace {

struct Walk {
  std::vector<int> data;
  std::vector<int32_t> indexes;
  int stopAt;  // data value that ends a find, or -1
};

bool Record(void* data, int32_t index, void* user) {
  Walk* walk = static_cast<Walk*>(user);
  int value = *static_cast<int*>(data);
  walk->data.push_back(value);
  walk->indexes.push_back(index);
  return value == walk->stopAt;
}

bool KeepOdd(void* data, int32_t index, void* user) {
  static_cast<Walk*>(user)->indexes.push_back(index);
  return *static_cast<int*>(data) % 2 != 0;
}

bool KeepNone(void*, int32_t, void*) { return false; }

std::vector<int> Contents(const PtrList* list) {
  std::vector<int> out;
  for (int32_t i = 0; i < PtrList_GetCount(list); ++i) out.push_back(*static_cast<int*>(PtrList_GetAt(list, i)));
  return out;
}

class PtrListTest : public testing::Test {
 protected:
  void SetUp() override {
    list = PtrList_Create();
    ASSERT_NE(nullptr, list);
  }
  void TearDown() override {
    EXPECT_TRUE(IsValidPtrList(list));
    PtrList_Free(list);
  }
  PtrList* list = nullptr;
  int values[6] = {0, 1, 2, 3, 4, 5};
};

TEST_F(PtrListTest, AddsAtBothEndsAndReadsByIndex) {
  EXPECT_EQ(1, PtrList_AddTail(list, &values[1]));
  EXPECT_EQ(2, PtrList_AddHead(list, &values[0]));
  EXPECT_EQ(3, PtrList_AddTail(list, &values[2]));
  EXPECT_EQ((std::vector<int>{0, 1, 2}), Contents(list));
  EXPECT_EQ(nullptr, PtrList_GetAt(list, 3));
  EXPECT_EQ(nullptr, PtrList_GetAt(list, 100));
  EXPECT_EQ(nullptr, PtrList_GetAt(list, -1));
  EXPECT_TRUE(IsValidPtrList(list));
}

TEST_F(PtrListTest, FindPassesPositionsFromTheHeadInEitherDirection) {
  for (int i = 0; i < 3; ++i) PtrList_AddTail(list, &values[i]);
  Walk backward = {{}, {}, -1};
  EXPECT_EQ(nullptr, PtrList_Find(list, false, Record, &backward));
  EXPECT_EQ((std::vector<int32_t>{2, 1, 0}), backward.indexes);
  EXPECT_EQ((std::vector<int>{2, 1, 0}), backward.data);

  Walk forward = {{}, {}, 1};
  EXPECT_EQ(&values[1], PtrList_Find(list, true, Record, &forward));
  EXPECT_EQ((std::vector<int32_t>{0, 1}), forward.indexes);
}

TEST_F(PtrListTest, FilterUnlinksRefusedItemsAndKeepsIndexesOfTheShrinkingList) {
  for (int i = 0; i < 6; ++i) PtrList_AddTail(list, &values[i]);
  Walk forward = {{}, {}, -1};
  EXPECT_EQ(3, PtrList_Filter(list, true, KeepOdd, &forward));
  // Each removed item leaves its position to the next one.
  EXPECT_EQ((std::vector<int32_t>{0, 0, 1, 1, 2, 2}), forward.indexes);
  EXPECT_EQ((std::vector<int>{1, 3, 5}), Contents(list));
  EXPECT_TRUE(IsValidPtrList(list));

  PtrList_AddHead(list, &values[4]);
  PtrList_AddTail(list, &values[2]);
  Walk backward = {{}, {}, -1};
  EXPECT_EQ(3, PtrList_Filter(list, false, KeepOdd, &backward));
  EXPECT_EQ((std::vector<int32_t>{4, 3, 2, 1, 0}), backward.indexes);
  EXPECT_EQ((std::vector<int>{1, 3, 5}), Contents(list));

  EXPECT_EQ(0, PtrList_Filter(list, true, KeepNone, nullptr));
  EXPECT_EQ(nullptr, list->head);
  EXPECT_EQ(nullptr, list->tail);
  EXPECT_EQ(1, PtrList_AddTail(list, &values[0]));  // usable again after emptying
}

TEST_F(PtrListTest, FailedAllocationsLeaveTheListAsItWas) {
  PtrList_AddTail(list, &values[0]);
  Mem_FailAfter(0);
  EXPECT_EQ(-1, PtrList_AddHead(list, &values[1]));
  EXPECT_EQ(-1, PtrList_AddTail(list, &values[1]));
  EXPECT_EQ(nullptr, PtrList_Create());
  Mem_ClearFault();
  EXPECT_EQ((std::vector<int>{0}), Contents(list));
}

TEST(PtrList, FreeingAListWithItemsReleasesTheLinks) {
  const long before = Mem_LiveBlocks();
  PtrList* list = PtrList_Create();
  int value = 7;
  EXPECT_EQ(1, PtrList_AddTail(list, &value));
  EXPECT_EQ(2, PtrList_AddTail(list, &value));
  EXPECT_LT(before, Mem_LiveBlocks());
  PtrList_Free(list);
  EXPECT_EQ(before, Mem_LiveBlocks());  // the list and every link, not the items
  EXPECT_EQ(7, value);
  PtrList_Free(nullptr);
  EXPECT_EQ(before, Mem_LiveBlocks());
}

}  // namespace
