// The conversion to code page 932 through the system's own conversion: what
// Windows holds (the NEC and IBM extension characters) arrives as its bytes, what
// it lacks or would only approximate is reported, and the manual-page samples
// come out exactly as iconv made them.
#include <gtest/gtest.h>

#include <string>

#include "tools/codepage_win.h"
#include "tools/sjisconv.h"
#include "tools/testfiles.h"

namespace {

struct Converted {
  SjisConvStatus status;
  std::string text;
  SjisReport report;
};

Converted Convert(TextEncoding encoding, const std::string& bytes, bool bAllowQuestion) {
  Converted c;
  SjisResult result;
  c.status = SjisConv_Run(CodePageWin_Methods(), encoding, bytes.data(), int64_t(bytes.size()), bAllowQuestion,
                          &c.report, &result);
  if (c.status == SJISCONV_OK) c.text.assign(result.pBytes, size_t(result.nLength));
  SjisConv_FreeResult(&result);
  return c;
}

std::string Listed(const SjisReport& report) {
  std::string listed;
  for (int32_t i = 0; i < report.nListed; ++i) {
    char text[32];
    SjisConv_FormatProblem(&report.problems[i], text, sizeof(text));
    listed += (i ? " " : "") + std::to_string(report.problems[i].nLine) + ":" + text;
  }
  return listed;
}

TEST(SjisConvWin, ExtensionCharactersKeptOthersReported) {
  const std::string text = u8"©😀한\r\n①㈱髙\r\n¥〜";
  Converted refused = Convert(TEXTENC_UTF8, text, false);
  EXPECT_EQ(SJISCONV_REFUSED, refused.status);
  EXPECT_EQ(5, refused.report.nUnmappable);
  EXPECT_EQ("1:U+00A9 1:U+1F600 1:U+D55C 3:U+00A5 3:U+301C", Listed(refused.report));

  Converted replaced = Convert(TEXTENC_UTF8, text, true);
  ASSERT_EQ(SJISCONV_OK, replaced.status);
  EXPECT_EQ("???\r\n\x87\x40\x87\x8A\xFB\xFC\r\n??", replaced.text);

  // The same through UTF-16 with its mark, and with an odd last byte.
  const std::string le("\xFF\xFE\x60\x24\x31\x32\xD9\x9A\x3D\xD8\x00\xDE\x41", 13);
  Converted wide = Convert(TEXTENC_UTF16LE_BOM, le, true);
  ASSERT_EQ(SJISCONV_OK, wide.status);
  EXPECT_EQ("\x87\x40\x87\x8A\xFB\xFC??", wide.text);
  EXPECT_EQ(1, wide.report.nUnmappable);
  EXPECT_EQ(1, wide.report.nMalformed);
}

TEST(SjisConvWin, ManualPagesAgreeWithIconv) {
  for (const char* page : {"cat", "signal", "passwd"}) {
    const std::string dir = std::string(QWIL_SOURCE_DIR) + "/tests/tools/encsamples/" + page;
    const std::string sjis = TestFile_Read(dir + ".sjis.txt");
    ASSERT_NE("<missing>", sjis) << dir;
    Converted c = Convert(TEXTENC_UTF8, TestFile_Read(dir + ".utf8.txt"), false);
    EXPECT_EQ(SJISCONV_OK, c.status) << page << " " << Listed(c.report);
    EXPECT_EQ(sjis, c.text) << page;
    EXPECT_EQ(sjis, Convert(TEXTENC_UTF16BE, TestFile_Read(dir + ".utf16be.txt"), false).text) << page;
  }
}

}  // namespace
