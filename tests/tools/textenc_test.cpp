#include "tools/textenc.h"

#include <gtest/gtest.h>

#include <string>

#include "enctest.h"

namespace {

TextEncDetection Detect(const std::string& bytes) {
  return TextEnc_Detect(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// Manual pages in each encoding, with and without a mark; no Shift_JIS text,
// whole, cut at any byte or taken line by line, ever reads as UTF-8, while the
// UTF-8 page does at every cut after its first Japanese character.
TEST(TextEnc, ManualPagesInEveryEncoding) {
  for (const char* page : kEncSamplePages) {
    SCOPED_TRACE(page);
    const std::string sjis = EncTest_Sample(page, "sjis");
    const std::string utf8 = EncTest_Sample(page, "utf8");
    ASSERT_GT(sjis.size(), 200u);
    EXPECT_EQ(TEXTENC_SHIFT_JIS, Detect(sjis).encoding);
    EXPECT_EQ(TEXTENC_UTF8, Detect(utf8).encoding);
    const TextEncDetection withMark = Detect("\xEF\xBB\xBF" + utf8);
    EXPECT_EQ(TEXTENC_UTF8_BOM, withMark.encoding);
    EXPECT_EQ(3, withMark.nMark);
    EXPECT_EQ(TEXTENC_UTF16LE, Detect(EncTest_Sample(page, "utf16le")).encoding);
    EXPECT_EQ(TEXTENC_UTF16BE, Detect(EncTest_Sample(page, "utf16be")).encoding);
    EXPECT_EQ(TEXTENC_UTF16LE_BOM, Detect("\xFF\xFE" + EncTest_Sample(page, "utf16le")).encoding);
    EXPECT_EQ(TEXTENC_UTF16BE_BOM, Detect("\xFE\xFF" + EncTest_Sample(page, "utf16be")).encoding);

    for (size_t n = 1; n <= sjis.size(); ++n) {
      ASSERT_EQ(TEXTENC_SHIFT_JIS, Detect(sjis.substr(0, n)).encoding) << "cut at " << n;
    }
    for (size_t start = 0, end; start < sjis.size(); start = end + 1) {
      end = sjis.find('\n', start);
      if (end == std::string::npos) end = sjis.size();
      ASSERT_EQ(TEXTENC_SHIFT_JIS, Detect(sjis.substr(start, end - start)).encoding) << sjis.substr(start, end - start);
    }
    const size_t firstJapanese = utf8.find_first_of("\xE3\xE4\xE5\xE6\xE7\xE8\xE9") + 3;
    for (size_t n = firstJapanese; n <= utf8.size(); ++n) {
      ASSERT_EQ(TEXTENC_UTF8, Detect(utf8.substr(0, n)).encoding) << "cut at " << n;
    }
  }
  EXPECT_STREQ("UTF-16 LE (BOM)", TextEnc_Name(TEXTENC_UTF16LE_BOM));
}

TEST(TextEnc, ShortFilesMarksAndBrokenSequences) {
  struct Case {
    std::string bytes;
    TextEncoding encoding;
    int32_t nMark;
  };
  const Case cases[] = {
      {"", TEXTENC_SHIFT_JIS, 0},
      {"a", TEXTENC_SHIFT_JIS, 0},
      {"ab\r\n", TEXTENC_SHIFT_JIS, 0},
      {"あ", TEXTENC_SHIFT_JIS, 0},  // 82 A0
      {"ｱ", TEXTENC_SHIFT_JIS, 0},
      {u8"あ", TEXTENC_UTF8, 0},
      {u8"😀", TEXTENC_UTF8, 0},
      {"\xC3\xBD", TEXTENC_UTF8, 0},  // "ﾃｽ" as well as "ý": the few bytes that read as both
      {"\xE3\x81", TEXTENC_SHIFT_JIS, 0},          // a cut sequence and nothing else
      {u8"あ" "\xE3\x81", TEXTENC_UTF8, 0},         // the file ends inside its last character
      {"\xE3\x81" "a" u8"あ", TEXTENC_SHIFT_JIS, 0},  // broken in the middle
      {"\xC0\xAF", TEXTENC_SHIFT_JIS, 0},          // overlong
      {"\xED\xA0\x80", TEXTENC_SHIFT_JIS, 0},      // a surrogate
      {"\xF4\x90\x80\x80", TEXTENC_SHIFT_JIS, 0},  // beyond U+10FFFF
      {"\xEF\xBB\xBF", TEXTENC_UTF8_BOM, 3},
      {"\xEF\xBB", TEXTENC_SHIFT_JIS, 0},
      {"\xFF\xFE", TEXTENC_UTF16LE_BOM, 2},
      {"\xFE\xFF", TEXTENC_UTF16BE_BOM, 2},
      {"\xFF\xFE" "a", TEXTENC_UTF16LE_BOM, 2},  // odd length
      {std::string("a\0b\0", 4), TEXTENC_UTF16LE, 0},
      {std::string("\0a\0b", 4), TEXTENC_UTF16BE, 0},
      {std::string("a\0b\0c", 5), TEXTENC_UTF16LE, 0},  // odd length
      {std::string("a\0", 2), TEXTENC_SHIFT_JIS, 0},       // one NUL is a control byte
      {std::string("nul\0byte", 8), TEXTENC_SHIFT_JIS, 0},
      {EncTest_Utf16(u"\u3000本文の段落です。\r\n\u3000次の段落。\r\n", false), TEXTENC_UTF16LE, 0},
      {EncTest_Utf16(u"\u3000本文の段落です。\r\n\u3000次の段落。\r\n", true), TEXTENC_UTF16BE, 0},
      {std::string("text with one\0 NUL in it", 24), TEXTENC_SHIFT_JIS, 0},
      {std::string("MZ\x90\0\x03\0\0\0\x04\0\0\0", 12), TEXTENC_SHIFT_JIS, 0},  // binary: a zero unit
  };
  for (const Case& c : cases) {
    const TextEncDetection d = Detect(c.bytes);
    EXPECT_EQ(c.encoding, d.encoding) << testing::PrintToString(c.bytes);
    EXPECT_EQ(c.nMark, d.nMark) << testing::PrintToString(c.bytes);
  }
}

// Only the leading bytes count: a character cut by their end leaves UTF-8 standing,
// and Japanese text behind 64 KiB of ASCII is not looked at.
TEST(TextEnc, LooksAtTheLeadingBytesOnly) {
  const std::string ascii(kTextEncProbeBytes - 4, 'a');
  EXPECT_EQ(TEXTENC_UTF8, Detect(u8"あ" + ascii + u8"い").encoding);  // い straddles the end
  EXPECT_EQ(TEXTENC_UTF8, Detect(u8"あ" + ascii + "a\x82\xA0").encoding);  // Shift_JIS behind the end
  EXPECT_EQ(TEXTENC_SHIFT_JIS, Detect(ascii + "aaaa" + u8"あ").encoding);
}

TEST(TextEnc, DetectsAFile) {
  TestFolder folder;
  ASSERT_TRUE(TestFile_Write(folder / "le.txt", "\xFF\xFE" + EncTest_Utf16(u"テキスト\r\n", false)));
  TextEncDetection d;
  ASSERT_TRUE(TextEnc_DetectFile((folder / "le.txt").c_str(), &d));
  EXPECT_EQ(TEXTENC_UTF16LE_BOM, d.encoding);
  EXPECT_EQ(2, d.nMark);
  EXPECT_FALSE(TextEnc_DetectFile((folder / "missing.txt").c_str(), &d));
  EXPECT_EQ(TEXTENC_SHIFT_JIS, d.encoding);
}

}  // namespace
