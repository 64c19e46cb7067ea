#include "tools/profile.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/memprofile.h"

namespace {

TEST(Profile, NumbersAndFlagsReadAsDecimalIntegersWithTheirDefault) {
  MemProfile file;
  file.Set("s", "trailing", "12abc");
  file.Set("s", "letters", "abc");
  file.Set("s", "blank", "  -3  ");
  file.Set("s", "two", "2");
  file.Set("s", "zero", "0");
  file.Set("s", "empty", "");
  EXPECT_EQ(12, Profile_ReadInt(&file.methods, "s", "trailing", 7));
  EXPECT_EQ(7, Profile_ReadInt(&file.methods, "s", "letters", 7));
  EXPECT_EQ(7, Profile_ReadInt(&file.methods, "s", "missing", 7));
  EXPECT_EQ(7, Profile_ReadInt(&file.methods, "s", "empty", 7));
  EXPECT_EQ(-3, Profile_ReadInt(&file.methods, "s", "blank", 7));
  EXPECT_TRUE(Profile_ReadBool(&file.methods, "s", "two", false));
  EXPECT_FALSE(Profile_ReadBool(&file.methods, "s", "zero", true));
  EXPECT_TRUE(Profile_ReadBool(&file.methods, "s", "letters", true));
  EXPECT_FALSE(Profile_ReadBool(&file.methods, "s", "missing", false));
}

TEST(Profile, ColoursAreSixHexadecimalDigitsWithRedFirst) {
  MemProfile file;
  const COLORREF kDef = RGB(1, 2, 3);
  struct Case {
    const char* text;
    COLORREF expected;
  };
  const Case cases[] = {
      {"FF0000", RGB(255, 0, 0)}, {"00ff00", RGB(0, 255, 0)}, {"0000FF", RGB(0, 0, 255)},
      {"123456", RGB(0x12, 0x34, 0x56)},
      {"F00", kDef},      // not six characters
      {"FF00000", kDef},  // seven
      {"GG0000", kDef},   // not a colour at all
      {"FF00 0", kDef},
      {"", kDef},
  };
  for (const Case& c : cases) {
    file.Set("c", "k", c.text);
    EXPECT_EQ(c.expected, Profile_ReadColour(&file.methods, "c", "k", kDef)) << '"' << c.text << '"';
  }
  ASSERT_TRUE(Profile_WriteColour(&file.methods, "c", "k", RGB(0x12, 0xAB, 0xEF)));
  EXPECT_EQ("12ABEF", file.Raw("c", "k"));
  ASSERT_TRUE(Profile_WriteColour(&file.methods, "c", "k", RGB(0, 0, 1)));
  EXPECT_EQ("000001", file.Raw("c", "k"));
}

TEST(Profile, TextsAreWrittenInQuotesSoThatTheirEdgesSurvive) {
  MemProfile file;
  const char* texts[] = {" leading blank", "trailing blank ", "\"quoted\"", "無題.txt", ""};
  for (const char* text : texts) {
    ASSERT_TRUE(Profile_WriteString(&file.methods, "t", "k", text));
    EXPECT_EQ(std::string("\"") + text + "\"", file.Raw("t", "k"));
    char back[64];
    Profile_ReadString(&file.methods, "t", "k", "def", back, sizeof(back));
    EXPECT_STREQ(text, back);
  }
  // A text too long for any value is refused, not cut.
  std::string huge(kProfileValueSize, 'x');
  EXPECT_FALSE(Profile_WriteString(&file.methods, "t", "k", huge.c_str()));
  EXPECT_EQ("\"\"", file.Raw("t", "k"));
}

TEST(Profile, NumbersFlagsAndRemovalsAsWritten) {
  MemProfile file;
  ASSERT_TRUE(Profile_WriteInt(&file.methods, "n", "neg", -2147483647 - 1));
  ASSERT_TRUE(Profile_WriteBool(&file.methods, "n", "flag", true));
  ASSERT_TRUE(Profile_DeleteKey(&file.methods, "n", "flag"));
  EXPECT_EQ("-2147483648", file.Raw("n", "neg"));
  EXPECT_FALSE(file.Has("n", "flag"));
  EXPECT_EQ((std::vector<std::string>{"n|neg=-2147483648", "n|flag=1", "n|flag"}), file.writes);
  file.bRefuseWrites = true;
  EXPECT_FALSE(Profile_WriteInt(&file.methods, "n", "neg", 1));
}

}  // namespace
