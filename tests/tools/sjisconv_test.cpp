// The conversion to code page 932 through iconv (the Windows adapter is tested
// under Wine in tests/win/sjisconv_win_test.cpp; the Windows build of these tests
// has no iconv and skips them).
#include "tools/sjisconv.h"

#include <gtest/gtest.h>

#include <string>

#include "enctest.h"
#include "tools/memory.h"
#ifndef _WIN32
#include "codepage_iconv.h"
#endif

namespace {

#ifdef _WIN32
TEST(SjisConv, NeedsIconv) { GTEST_SKIP() << "no iconv in the Windows build; tests/win converts through Windows"; }
#else

class SjisConv : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(bOpen) << "iconv has no CP932"; }
  void TearDown() override { IconvCodePage_Close(&iconvPage); }

  // The converted text, or "<refused>" / "<no memory>"; the report in `report`.
  std::string Run(TextEncoding encoding, const std::string& bytes, bool bAllowQuestion) {
    SjisResult result;
    const SjisConvStatus status = SjisConv_Run(&iconvPage.methods, encoding, bytes.data(), int64_t(bytes.size()),
                                               bAllowQuestion, &report, &result);
    EXPECT_TRUE(IsValidSjisReport(&report));
    std::string text = status == SJISCONV_REFUSED ? "<refused>" : "<no memory>";
    if (status == SJISCONV_OK) text.assign(result.pBytes, size_t(result.nLength));
    SjisConv_FreeResult(&result);
    return text;
  }

  IconvCodePage iconvPage = {};
  bool bOpen = IconvCodePage_Open(&iconvPage);
  SjisReport report = {};
};

// Every form of the manual pages gives exactly the bytes iconv made, line ends
// and all, with nothing to report.
TEST_F(SjisConv, ManualPagesGiveTheirShiftJisBytes) {
  for (const char* page : kEncSamplePages) {
    SCOPED_TRACE(page);
    const std::string sjis = EncTest_Sample(page, "sjis");
    const std::string le = EncTest_Sample(page, "utf16le");
    const std::string be = EncTest_Sample(page, "utf16be");
    EXPECT_EQ(sjis, Run(TEXTENC_UTF8, EncTest_Sample(page, "utf8"), false));
    EXPECT_EQ(sjis, Run(TEXTENC_UTF8_BOM, "\xEF\xBB\xBF" + EncTest_Sample(page, "utf8"), false));
    EXPECT_EQ(sjis, Run(TEXTENC_UTF16LE, le, false));
    EXPECT_EQ(sjis, Run(TEXTENC_UTF16LE_BOM, "\xFF\xFE" + le, false));
    EXPECT_EQ(sjis, Run(TEXTENC_UTF16BE, be, false));
    EXPECT_EQ(sjis, Run(TEXTENC_UTF16BE_BOM, "\xFE\xFF" + be, false));
    EXPECT_EQ(0, report.nUnmappable + report.nMalformed);
  }
  EXPECT_EQ(std::string("a\0b", 3), Run(TEXTENC_SHIFT_JIS, std::string("a\0b", 3), false));
  EXPECT_EQ("", Run(TEXTENC_UTF8_BOM, "\xEF\xBB\xBF", false));
}

// Characters code page 932 lacks (look-alikes such as ¥ included) refuse the
// conversion, or become "?" when allowed; the first ten are listed with their
// lines, counted as the loader counts them (CR LF, CR, LF).
TEST_F(SjisConv, CharactersShiftJisLacksRefuseOrBecomeQuestionMarks) {
  const std::string text = u8"a©\r\n😀b\r한\n①㈱髙〜¥";
  EXPECT_EQ("<refused>", Run(TEXTENC_UTF8, text, false));
  EXPECT_EQ(4, report.nUnmappable);
  EXPECT_EQ("1:U+00A9 2:U+1F600 3:U+D55C 4:U+00A5", EncTest_Listed(report));
  EXPECT_EQ("a?\r\n?b\r?\n\x87\x40\x87\x8A\xFB\xFC\x81\x60?", Run(TEXTENC_UTF8, text, true));
  EXPECT_EQ(4, report.nUnmappable);

  std::u16string many;
  for (int i = 0; i < 25; ++i) many += u"\u00A9\n";
  EXPECT_EQ("<refused>", Run(TEXTENC_UTF16BE, EncTest_Utf16(many, true), false));
  EXPECT_EQ(25, report.nUnmappable);
  ASSERT_EQ(kSjisConvListed, report.nListed);
  EXPECT_EQ(10, report.problems[9].nLine);
}

// Both Unicode forms of the seven characters the JIS and code page 932 tables
// tell apart give the one code a Japanese user knows for each.
TEST_F(SjisConv, BothFormsOfTheSevenCharactersGiveTheirCodes) {
  EXPECT_EQ("\x81\x60\x81\x60\x81\x61\x81\x61\x81\x7C\x81\x7C\x81\x91\x81\x91\x81\x92\x81\x92\x81\xCA\x81\xCA"
            "\x81\x5C\x81\x5C",
            Run(TEXTENC_UTF8, u8"〜～‖∥−－¢￠£￡¬￢—―", false));
  EXPECT_EQ(0, report.nUnmappable);
}

// Bytes that are no character: one "?" for each longest broken beginning of a
// UTF-8 sequence, each lone surrogate and the odd last byte of UTF-16, counted
// apart from the characters the code page lacks.
TEST_F(SjisConv, MalformedInputBecomesCountedQuestionMarks) {
  const std::string utf8 = "\xE3\x81" "a\xFF\n\xED\xA0\x80" u8"あ" "\xF0\x9F\x98";
  EXPECT_EQ("<refused>", Run(TEXTENC_UTF8, utf8, false));
  EXPECT_EQ("?a?\n???\x82\xA0?", Run(TEXTENC_UTF8, utf8, true));
  EXPECT_EQ(6, report.nMalformed);
  EXPECT_EQ(0, report.nUnmappable);
  EXPECT_EQ("1:0xE3 0x81 1:0xFF 2:0xED 2:0xA0 2:0x80 2:0xF0 0x9F 0x98", EncTest_Listed(report));

  const std::string utf16 = std::string("\x00\xD8" "a\0" "\x00\xDC" "\x3D\xD8\x00\xDE" "A", 11);  // 😀 whole
  EXPECT_EQ("?a???", Run(TEXTENC_UTF16LE, utf16, true));
  EXPECT_EQ(3, report.nMalformed);
  EXPECT_EQ(1, report.nUnmappable);
  EXPECT_EQ("1:0x00 0xD8 1:0x00 0xDC 1:U+1F600 1:0x41", EncTest_Listed(report));
}

TEST_F(SjisConv, RunningOutOfMemoryGivesNoResult) {
  const long live = Mem_LiveBlocks();
  for (long successes = 0; successes < 2; ++successes) {
    Mem_FailAfter(successes);
    EXPECT_EQ("<no memory>", Run(TEXTENC_UTF8, u8"あ", true));
    Mem_ClearFault();
    EXPECT_EQ(live, Mem_LiveBlocks());
  }
}

#endif  // _WIN32

}  // namespace
