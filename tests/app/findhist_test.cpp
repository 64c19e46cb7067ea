#include "app/findhist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/memprofile.h"

namespace {

std::vector<std::string> Entries(const History* h) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < History_GetCount(h); ++i) out.push_back(History_GetEntry(h, i));
  return out;
}

TEST(FindHistoryFile, ReadsTheStoredEntriesWithoutDuplicatesOrBlanks) {
  MemProfile file;
  file.Set(kFindHistorySection, "履歴数", "5");
  file.Set(kFindHistorySection, "0", "\"abc\"");
  file.Set(kFindHistorySection, "1", "\"検索\"");
  file.Set(kFindHistorySection, "2", "\"abc\"");
  // "3" is missing: an empty item would offer nothing.
  file.Set(kFindHistorySection, "4", "\" a b \"");
  History* h = FindHistory_Read(&file.methods, kFindHistorySection);
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(64, h->nMax) << "sixty-four when the file says nothing";
  EXPECT_EQ((std::vector<std::string>{"abc", "検索", " a b "}), Entries(h));
  History_Destroy(h);
}

TEST(FindHistoryFile, MaximumAndCountAreClampedAndLongEntriesKeptWhole) {
  MemProfile file;
  file.Set(kReplaceHistorySection, "最大履歴数", "999");
  file.Set(kReplaceHistorySection, "履歴数", "300");
  for (int i = 0; i < 300; ++i) file.Set(kReplaceHistorySection, std::to_string(i), "\"r" + std::to_string(i) + "\"");
  std::string longest(1022, 'x');
  file.Set(kReplaceHistorySection, "0", "\"" + longest + "\"");
  History* h = FindHistory_Read(&file.methods, kReplaceHistorySection);
  EXPECT_EQ(256, h->nMax);
  EXPECT_EQ(256, History_GetCount(h));
  EXPECT_EQ(longest, History_GetEntry(h, 0)) << "an entry as long as a combo box holds survives";
  History_Destroy(h);
  file.Set(kReplaceHistorySection, "最大履歴数", "-5");
  h = FindHistory_Read(&file.methods, kReplaceHistorySection);
  EXPECT_EQ(0, h->nMax);
  EXPECT_EQ(0, History_GetCount(h));
  History_Destroy(h);
}

TEST(FindHistoryFile, WriteThenReadGivesTheSameListInItsOwnSection) {
  MemProfile file;
  History* h = History_Create(kFindHistoryDefaultMax);
  ASSERT_TRUE(History_Add(h, "old"));
  ASSERT_TRUE(History_Add(h, "\"quoted\""));
  ASSERT_TRUE(History_Add(h, "new 表"));
  ASSERT_TRUE(FindHistory_Write(h, &file.methods, kFindHistorySection));
  EXPECT_EQ("64", file.Raw(kFindHistorySection, "最大履歴数"));
  EXPECT_EQ("3", file.Raw(kFindHistorySection, "履歴数"));
  EXPECT_FALSE(file.Has(kReplaceHistorySection, "履歴数")) << "the other dialog's section is left alone";
  History* back = FindHistory_Read(&file.methods, kFindHistorySection);
  EXPECT_EQ((std::vector<std::string>{"new 表", "\"quoted\"", "old"}), Entries(back));
  History_Destroy(back);
  file.bRefuseWrites = true;
  EXPECT_FALSE(FindHistory_Write(h, &file.methods, kFindHistorySection));
  History_Destroy(h);
}

}  // namespace
