#include "app/statustext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

POINT Pt(int32_t x, int32_t y) { return POINT{x, y}; }

std::string Caret(bool selection, POINT pt, uint32_t code) {
  char buffer[kStatusTextSize];
  StatusText_Caret(buffer, sizeof(buffer), selection, pt, code);
  return buffer;
}

std::string Title(const char* path, bool modified) {
  char buffer[kTitleTextSize];
  int32_t n = Title_Format(buffer, sizeof(buffer), path, "無題.txt", modified);
  EXPECT_EQ(std::string(buffer).size(), static_cast<size_t>(n));
  return buffer;
}

TEST(StatusText, CaretShowsTheCharacterAndItsCode) {
  EXPECT_EQ(" 3 行, 9 列  '\\t' 【0009】", Caret(false, Pt(8, 2), 9));
  EXPECT_EQ(" 1 行, 1 列  'あ' 【82A0】", Caret(false, Pt(0, 0), 0x82A0));
  EXPECT_EQ(" 1 行, 1 列  'A' 【0041】", Caret(false, Pt(0, 0), 'A'));
  EXPECT_EQ(" 1 行, 1 列  'ｱ' 【00B1】", Caret(false, Pt(0, 0), 0xB1));
  // At a line end, at the end of the text, beyond the codes, or while selecting:
  // only the position.
  EXPECT_EQ(" 2 行, 5 列", Caret(false, Pt(4, 1), 13));
  EXPECT_EQ(" 2 行, 5 列", Caret(false, Pt(4, 1), 10));
  EXPECT_EQ(" 2 行, 5 列", Caret(false, Pt(4, 1), 0));
  EXPECT_EQ(" 2 行, 5 列", Caret(false, Pt(4, 1), 0x10000));
  EXPECT_EQ(" 2 行, 5 列", Caret(true, Pt(4, 1), 0x82A0));
  EXPECT_EQ(" 2147483648 行, 1 列", Caret(false, Pt(0, 0x7FFFFFFF), 0));
}

TEST(StatusText, SelectionDocumentAndLocks) {
  char buffer[kStatusTextSize];
  StatusText_Selection(buffer, sizeof(buffer), true, 12, Pt(3, 4), Pt(0, 1));
  EXPECT_STREQ("選択中 12 ﾊﾞｲﾄ  (2, 1) - (5, 4)", buffer);  // earlier end first, from 1
  StatusText_Selection(buffer, sizeof(buffer), true, 1, Pt(0, 0), Pt(1, 0));
  EXPECT_STREQ("選択中 1 ﾊﾞｲﾄ  (1, 1) - (1, 2)", buffer);
  EXPECT_EQ(0, StatusText_Selection(buffer, sizeof(buffer), false, 0, Pt(0, 0), Pt(0, 0)));
  EXPECT_STREQ("", buffer);
  StatusText_Document(buffer, sizeof(buffer), 3, 1024);
  EXPECT_STREQ(" 3 行, 1024 バイト", buffer);
  StatusText_CapsLock(buffer, sizeof(buffer), true);
  EXPECT_STREQ("CAPS", buffer);
  StatusText_CapsLock(buffer, sizeof(buffer), false);
  EXPECT_STREQ("", buffer);
  StatusText_NumLock(buffer, sizeof(buffer), true);
  EXPECT_STREQ("NUM", buffer);
  StatusText_NumLock(buffer, sizeof(buffer), false);
  EXPECT_STREQ("", buffer);
}

TEST(StatusText, LongTextsAreCutBetweenCharacters) {
  char buffer[12];
  // " 1 行, 1 列" is 11 bytes: the rest is cut, and never half of a character.
  int32_t n = StatusText_Caret(buffer, sizeof(buffer), false, Pt(0, 0), 0x82A0);
  EXPECT_EQ(11, n);
  EXPECT_STREQ(" 1 行, 1 列", buffer);
  n = StatusText_Caret(buffer, 11, false, Pt(0, 0), 0x82A0);
  EXPECT_STREQ(" 1 行, 1 ", buffer);
  EXPECT_EQ(9, n);
}

TEST(Title, NameMarkAndPath) {
  EXPECT_EQ("[memo.txt] - C:\\docs\\memo.txt", Title("C:\\docs\\memo.txt", false));
  EXPECT_EQ("[memo.txt *] - C:\\docs\\memo.txt", Title("C:\\docs\\memo.txt", true));
  EXPECT_EQ("[無題.txt] - ", Title("", false));
  EXPECT_EQ("[無題.txt *] - ", Title(nullptr, true));
  EXPECT_EQ("[ソフト表.txt] - D:\\表\\ソフト表.txt", Title("D:\\表\\ソフト表.txt", false));
  EXPECT_EQ("[bare.txt] - bare.txt", Title("bare.txt", false));
}

TEST(Title, CutAtTheTitleBuffer) {
  std::string path = "C:\\x";
  while (path.size() < 40000) path += "長い";
  std::string title = Title(path.c_str(), false);
  EXPECT_EQ(32766u, title.size());  // 32767 would split a character
  EXPECT_EQ("[", title.substr(0, 1));
}

}  // namespace
