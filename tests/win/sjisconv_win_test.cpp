// The conversion to code page 932 through the system's own conversion: what
// Windows holds (the NEC and IBM extension characters) arrives as its bytes, what
// it lacks or would only approximate is reported, and the manual-page samples
// come out exactly as iconv made them.
#include <gtest/gtest.h>

#include <string>

#include "tools/codepage_win.h"
#include "tools/enctest.h"

namespace {

// The converted text, or "<refused>"; the report in *pReport.
std::string Convert(TextEncoding encoding, const std::string& bytes, bool bAllowQuestion, SjisReport* pReport) {
  SjisResult result;
  const SjisConvStatus status = SjisConv_Run(CodePageWin_Methods(), encoding, bytes.data(), int64_t(bytes.size()),
                                             bAllowQuestion, pReport, &result);
  std::string text = status == SJISCONV_REFUSED ? "<refused>" : "<no memory>";
  if (status == SJISCONV_OK) text.assign(result.pBytes, size_t(result.nLength));
  SjisConv_FreeResult(&result);
  return text;
}

TEST(SjisConvWin, ExtensionCharactersKeptOthersReported) {
  const std::string text = u8"©😀한\r\n①㈱髙\r\n¥〜";
  SjisReport report;
  EXPECT_EQ("<refused>", Convert(TEXTENC_UTF8, text, false, &report));
  EXPECT_EQ(4, report.nUnmappable);
  EXPECT_EQ("1:U+00A9 1:U+1F600 1:U+D55C 3:U+00A5", EncTest_Listed(report));
  EXPECT_EQ("???\r\n\x87\x40\x87\x8A\xFB\xFC\r\n?\x81\x60", Convert(TEXTENC_UTF8, text, true, &report));

  // The JIS and the code page's forms of the seven characters the tables tell apart.
  EXPECT_EQ("\x81\x60\x81\x60\x81\x61\x81\x61\x81\x7C\x81\x7C\x81\x91\x81\x91\x81\x92\x81\x92\x81\xCA\x81\xCA"
            "\x81\x5C\x81\x5C",
            Convert(TEXTENC_UTF8, u8"〜～‖∥−－¢￠£￡¬￢—―", false, &report));

  // The same through UTF-16 with its mark, and with an odd last byte.
  const std::string le("\xFF\xFE\x60\x24\x31\x32\xD9\x9A\x3D\xD8\x00\xDE\x41", 13);
  EXPECT_EQ("\x87\x40\x87\x8A\xFB\xFC??", Convert(TEXTENC_UTF16LE_BOM, le, true, &report));
  EXPECT_EQ("1:U+1F600 1:0x41", EncTest_Listed(report));
}

TEST(SjisConvWin, ManualPagesAgreeWithIconv) {
  for (const char* page : kEncSamplePages) {
    SjisReport report;
    const std::string sjis = EncTest_Sample(page, "sjis");
    ASSERT_NE("<missing>", sjis) << page;
    EXPECT_EQ(sjis, Convert(TEXTENC_UTF8, EncTest_Sample(page, "utf8"), false, &report)) << EncTest_Listed(report);
    EXPECT_EQ(sjis, Convert(TEXTENC_UTF16BE, EncTest_Sample(page, "utf16be"), false, &report)) << page;
  }
}

}  // namespace
