#include "tools/history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/memory.h"

namespace {

std::vector<std::string> Entries(const History* h) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < History_GetCount(h); ++i) out.push_back(History_GetEntry(h, i));
  return out;
}

TEST(History, AddMovesAnEqualEntryToTheFrontAndCutsToTheMaximum) {
  History* h = History_Create(3);
  ASSERT_NE(nullptr, h);
  EXPECT_TRUE(History_Add(h, "a"));
  EXPECT_TRUE(History_Add(h, "b"));
  EXPECT_TRUE(History_Add(h, "c"));
  EXPECT_EQ((std::vector<std::string>{"c", "b", "a"}), Entries(h));
  EXPECT_TRUE(History_Add(h, "a"));  // the same file opened again
  EXPECT_EQ((std::vector<std::string>{"a", "c", "b"}), Entries(h));
  EXPECT_TRUE(History_Add(h, "a"));
  EXPECT_EQ((std::vector<std::string>{"a", "c", "b"}), Entries(h));
  EXPECT_TRUE(History_Add(h, "A"));  // case matters
  EXPECT_EQ((std::vector<std::string>{"A", "a", "c"}), Entries(h));
  EXPECT_EQ(nullptr, History_GetEntry(h, 3));
  EXPECT_EQ(nullptr, History_GetEntry(h, -1));
  EXPECT_TRUE(IsValidHistory(h));
  History_Destroy(h);
}

TEST(History, MaximumOfZeroKeepsNothing) {
  History* h = History_Create(0);
  EXPECT_TRUE(History_Add(h, "a"));
  EXPECT_EQ(0, History_GetCount(h));
  History_Destroy(h);
  History* negative = History_Create(-5);
  EXPECT_EQ(0, negative->nMax);
  History_Destroy(negative);
}

TEST(History, AppendReadsAStoredListOnce) {
  History* h = History_Create(2);
  EXPECT_TRUE(History_Append(h, "first"));
  EXPECT_TRUE(History_Append(h, ""));
  EXPECT_TRUE(History_Append(h, ""));  // missing keys read as equal empty strings
  EXPECT_TRUE(History_Append(h, "third"));
  EXPECT_EQ((std::vector<std::string>{"first", ""}), Entries(h));
  History_Destroy(h);
}

TEST(History, OutOfMemoryChangesNothing) {
  History* h = History_Create(5);
  History_Add(h, "a");
  History_Add(h, "b");
  for (int successes = 0; successes < 2; ++successes) {
    Mem_FailAfter(successes);
    EXPECT_FALSE(History_Add(h, "c")) << successes;
    Mem_ClearFault();
    EXPECT_EQ((std::vector<std::string>{"b", "a"}), Entries(h));
  }
  // Moving an entry needs a link too: when there is none, the entry stays put.
  Mem_FailAfter(0);
  EXPECT_FALSE(History_Add(h, "a"));
  EXPECT_FALSE(History_Append(h, "z"));
  Mem_ClearFault();
  EXPECT_EQ((std::vector<std::string>{"b", "a"}), Entries(h));
  Mem_FailAfter(0);
  EXPECT_EQ(nullptr, History_Create(3));
  Mem_FailAfter(1);
  EXPECT_EQ(nullptr, History_Create(3));
  Mem_ClearFault();
  History_Destroy(h);
}

}  // namespace
