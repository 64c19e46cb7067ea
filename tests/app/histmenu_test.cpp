#include "app/histmenu.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/history.h"

namespace {

std::string FileMenu(const std::string& entry, int32_t index) {
  char buffer[kFileMenuTextSize];
  int32_t n = LoadHistory_FormatMenuText(entry.c_str(), index, buffer, sizeof(buffer));
  EXPECT_EQ(std::string(buffer).size(), static_cast<size_t>(n));
  return buffer;
}

std::string ClipMenu(const std::string& entry, int32_t index) {
  char buffer[kClipboardMenuTextSize];
  int32_t n = ClipboardHistory_FormatMenuText(entry.c_str(), index, buffer, sizeof(buffer));
  EXPECT_EQ(std::string(buffer).size(), static_cast<size_t>(n));
  return buffer;
}

TEST(HistoryMenu, ClipboardHistoryKeepsTheLatest36) {
  History* h = History_Create(kClipboardHistoryMax);
  for (int i = 0; i < 37; ++i) ASSERT_TRUE(History_Add(h, ("copy " + std::to_string(i)).c_str()));
  EXPECT_EQ(36, History_GetCount(h));
  EXPECT_STREQ("copy 36", History_GetEntry(h, 0));
  EXPECT_STREQ("copy 1", History_GetEntry(h, 35));
  History_Add(h, "copy 20");
  EXPECT_STREQ("copy 20", History_GetEntry(h, 0));
  EXPECT_EQ(36, History_GetCount(h));
  History_Destroy(h);
}

TEST(HistoryMenu, LoadHistoryLimitsAndIds) {
  EXPECT_EQ(16, LoadHistory_ClampMax(20));
  EXPECT_EQ(0, LoadHistory_ClampMax(-1));
  EXPECT_EQ(10, LoadHistory_ClampMax(10));
  EXPECT_EQ(5, LoadHistory_ClampCount(9, 5));
  EXPECT_EQ(0, LoadHistory_ClampCount(-2, 5));
  EXPECT_EQ(0, LoadHistory_IndexFromId(36865));
  EXPECT_EQ(15, LoadHistory_IndexFromId(36880));
  EXPECT_EQ(-1, LoadHistory_IndexFromId(36864));
  EXPECT_EQ(0, ClipboardHistory_IndexFromId(32769));
  EXPECT_EQ(4095, ClipboardHistory_IndexFromId(36864));
  EXPECT_EQ(-1, ClipboardHistory_IndexFromId(36865));
  EXPECT_EQ(-1, ClipboardHistory_IndexFromId(40001));
}

TEST(HistoryMenuText, FileMenuShortensLongPathsAndNumbersTheFirstTen) {
  EXPECT_EQ("&0 C:\\docs\\memo-2004.txt", FileMenu("C:\\docs\\memo-2004.txt", 0));  // 21 bytes
  EXPECT_EQ("&3 C:\\docs\\memo-20041.txt", FileMenu("C:\\docs\\memo-20041.txt", 3));  // 22 bytes
  // 23 bytes: the folder's first 22 bytes (all of it here), " ... ", the name.
  EXPECT_EQ("&9 C:\\docs\\x ... memo-2004.txt", FileMenu("C:\\docs\\x\\memo-2004.txt", 9));
  EXPECT_EQ("&1 C:\\Users\\someone\\Docum ... a.txt", FileMenu("C:\\Users\\someone\\Documents\\a.txt", 1));
  // An ampersand of the path is doubled, so that the menu draws it and underlines nothing.
  EXPECT_EQ("&0 C:\\a&&b.txt", FileMenu("C:\\a&b.txt", 0));
  EXPECT_EQ("&1 C:\\R&&D\\plans-for-2004 ... Q&&A.txt", FileMenu("C:\\R&D\\plans-for-2004\\Q&A.txt", 1));
  // The eleventh entry has no access key and starts with two blanks.
  EXPECT_EQ("  C:\\a.txt", FileMenu("C:\\a.txt", 10));
  EXPECT_EQ("  C:\\a.txt", FileMenu("C:\\a.txt", 15));
}

TEST(HistoryMenuText, FileMenuHeadNeverSplitsACharacter) {
  // 21 ASCII bytes, then あ across the 22nd byte: the head stops before it.
  const std::string folder = "C:\\abcdefghijklmnopqr" + std::string("あ") + "い";
  EXPECT_EQ("&0 C:\\abcdefghijklmnopqr ... f.txt", FileMenu(folder + "\\f.txt", 0));
  // A trail byte that looks like a lead byte (ぁ is 82 9F) ends the head whole.
  const std::string folder2 = "C:\\abcdefghijklmnop" + std::string("ぁ") + "い";
  EXPECT_EQ("&0 C:\\abcdefghijklmnopぁ ... f.txt", FileMenu(folder2 + "\\f.txt", 0));
  // A separator-like trail byte (表 is 95 5C) is no separator.
  EXPECT_EQ("&0 C:\\data\\表計算の資料 ... 表.txt", FileMenu("C:\\data\\表計算の資料\\表.txt", 0));
  // A long name without any folder is shown as far as it fits.
  const std::string bare(300, 'n');
  EXPECT_EQ("&0 " + std::string(256, 'n'), FileMenu(bare, 0));
  // The whole text is cut at 259 bytes.
  std::string deep = "C:\\d\\" + std::string(300, 'x') + ".txt";
  std::string text = FileMenu(deep, 2);
  EXPECT_EQ(259u, text.size());
  EXPECT_EQ("&2 C:\\d ... xxx", text.substr(0, 15));
  std::string kanji = "C:\\d\\";
  for (int i = 0; i < 200; ++i) kanji += "漢";
  EXPECT_EQ(258u, FileMenu(kanji, 0).size());  // 3 + 4 + 5 + 246, one byte short of half a character
}

TEST(HistoryMenuText, ClipboardItemsDropControlsDoubleAmpersandsAndFit64Bytes) {
  EXPECT_EQ("&0 line oneline two", ClipMenu("line one\r\nline two", 0));
  EXPECT_EQ("&a Tom && Jerry", ClipMenu("Tom & Jerry", 10));
  EXPECT_EQ("&z ab", ClipMenu(std::string("\ta\x1F\x7F") + "b", 35));
  EXPECT_EQ("&9 表ソ", ClipMenu("表ソ", 9));
  // 63 bytes at most: 3 of the key, 60 of the text.
  std::string longText(100, 'x');
  EXPECT_EQ("&1 " + std::string(60, 'x'), ClipMenu(longText, 1));
  // A doubled ampersand is never cut in half.
  EXPECT_EQ("&1 " + std::string(59, 'x'), ClipMenu(std::string(59, 'x') + "&", 1));
  // A cut never ends on a lead byte: 59 ASCII bytes, then あ would need bytes 63 and 64.
  EXPECT_EQ("&2 " + std::string(59, 'y'), ClipMenu(std::string(59, 'y') + "あ", 2));
  EXPECT_EQ("&2 " + std::string(58, 'y') + "あ", ClipMenu(std::string(58, 'y') + "あい", 2));
  // Nor does a text whose last byte is a lone lead byte.
  EXPECT_EQ("&3 ab", ClipMenu("ab\x82", 3));
  EXPECT_EQ("&4 ", ClipMenu("\r\n", 4));
}

}  // namespace
