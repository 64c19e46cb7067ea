#include "app/loadhist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/memprofile.h"

namespace {

constexpr char kSection[] = "読込履歴";

std::vector<std::string> Entries(const History* h) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < History_GetCount(h); ++i) out.push_back(History_GetEntry(h, i));
  return out;
}

TEST(LoadHistoryFile, EntriesAreReadInOrderUpToTheStoredCount) {
  MemProfile file;
  file.Set(kSection, "最大履歴数", "3");
  file.Set(kSection, "履歴数", "5");
  file.Set(kSection, "0", "\"C:\\c.txt\"");
  file.Set(kSection, "1", "\"C:\\b.txt\"");
  file.Set(kSection, "2", "\"C:\\c.txt\"");  // already there: once only
  file.Set(kSection, "3", "\"C:\\a.txt\"");
  file.Set(kSection, "4", "\"C:\\z.txt\"");
  History* h = LoadHistory_Read(&file.methods);
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(3, h->nMax);
  EXPECT_EQ((std::vector<std::string>{"C:\\c.txt", "C:\\b.txt"}), Entries(h)) << "the count is cut to the maximum";
  History_Destroy(h);
}

TEST(LoadHistoryFile, MaximumAndCountAreClamped) {
  MemProfile file;
  file.Set(kSection, "最大履歴数", "20");
  file.Set(kSection, "履歴数", "30");
  for (int i = 0; i < 30; ++i) file.Set(kSection, std::to_string(i), "\"f" + std::to_string(i) + "\"");
  History* h = LoadHistory_Read(&file.methods);
  EXPECT_EQ(16, h->nMax);
  EXPECT_EQ(16, History_GetCount(h));
  History_Destroy(h);
  file.Set(kSection, "最大履歴数", "-1");
  h = LoadHistory_Read(&file.methods);
  EXPECT_EQ(0, h->nMax);
  EXPECT_EQ(0, History_GetCount(h));
  History_Destroy(h);
  MemProfile empty;
  h = LoadHistory_Read(&empty.methods);
  EXPECT_EQ(10, h->nMax) << "ten entries when the file says nothing";
  History_Destroy(h);
}

TEST(LoadHistoryFile, MissingAndOverlongEntriesAreLeftOut) {
  MemProfile file;
  file.Set(kSection, "履歴数", "4");
  file.Set(kSection, "0", "\"C:\\a.txt\"");
  // "1" is missing: a count beyond the keys would give an item naming nothing.
  file.Set(kSection, "2", "\"C:\\" + std::string(257, 'x') + "\"");  // 260 bytes: no path
  file.Set(kSection, "3", "\"C:\\" + std::string(256, 'y') + "\"");  // 259 bytes: a path
  History* h = LoadHistory_Read(&file.methods);
  ASSERT_EQ(2, History_GetCount(h));
  EXPECT_STREQ("C:\\a.txt", History_GetEntry(h, 0));
  EXPECT_EQ(259u, std::string(History_GetEntry(h, 1)).size());
  History_Destroy(h);
}

TEST(LoadHistoryFile, WrittenWithItsMaximumCountAndQuotedEntries) {
  History* h = History_Create(4);
  History_Add(h, "C:\\a.txt");
  History_Add(h, "C:\\ b.txt ");
  MemProfile file;
  file.Set(kSection, "2", "\"left from a longer list\"");
  ASSERT_TRUE(LoadHistory_Write(h, &file.methods));
  EXPECT_EQ((std::vector<std::string>{"読込履歴|最大履歴数=4", "読込履歴|履歴数=2", "読込履歴|0=\"C:\\ b.txt \"",
                                      "読込履歴|1=\"C:\\a.txt\""}),
            file.writes);
  EXPECT_TRUE(file.Has(kSection, "2")) << "keys of a longer list stay";
  History* back = LoadHistory_Read(&file.methods);
  EXPECT_EQ(Entries(h), Entries(back));
  History_Destroy(back);
  file.bRefuseWrites = true;
  EXPECT_FALSE(LoadHistory_Write(h, &file.methods));
  History_Destroy(h);
}

}  // namespace
