#include "app/encguard.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SjisProblem Unmappable(int64_t line, uint32_t code) {
  SjisProblem p = {};
  p.kind = SJISCONV_UNMAPPABLE;
  p.nLine = line;
  p.nCode = code;
  return p;
}

std::string Report(const SjisReport& report, int32_t size = 2048) {
  char text[2048];
  const int32_t n = EncGuard_FormatReport(text, size, &report);
  EXPECT_EQ(std::string(text).size(), size_t(n));
  return text;
}

// The refusal and the question name the file's encoding.
TEST(EncGuard, MessagesNameTheFilesEncoding) {
  char text[512];
  const EncodingGuard le = EncGuard_AtLoad(TEXTENC_UTF16LE_BOM);
  EncGuard_FormatSaveRefusal(text, sizeof(text), &le);
  EXPECT_NE(std::string::npos, std::string(text).find("UTF-16 LE (BOM) のファイル")) << text;
  const EncodingGuard utf8 = EncGuard_AtLoad(TEXTENC_UTF8);
  EncGuard_FormatEditQuestion(text, sizeof(text), &utf8);
  EXPECT_NE(std::string::npos, std::string(text).find("UTF-8 のファイルです。\nバイトをそのまま Shift_JIS として編集しますか？"));
}

// The list says how many characters and broken bytes there are, the first
// ones with their lines, how many more, and what Yes and No do.
TEST(EncGuard, ReportListsTheFirstProblemsWithTheirLines) {
  SjisReport report = {};
  report.nUnmappable = 2;
  report.nMalformed = 1;
  report.nListed = 3;
  report.problems[0] = Unmappable(1, 0xA9);
  report.problems[1] = Unmappable(7, 0x1F600);
  report.problems[2].kind = SJISCONV_MALFORMED;
  report.problems[2].nLine = 12;
  report.problems[2].nBytes = 2;
  report.problems[2].bytes[0] = 0xE3;
  report.problems[2].bytes[1] = 0x81;
  ASSERT_TRUE(IsValidSjisReport(&report));
  EXPECT_EQ("このファイルには Shift_JIS で表せない文字が 2 個、文字として読めないバイトが 1 箇所あります。"
            "\n    1 行目: U+00A9\n    7 行目: U+1F600\n    12 行目: 0xE3 0x81 (文字として読めないバイト)"
            "\n\nこれらを「?」に置き換えて変換しますか？\n\n[はい] 「?」に置き換えて変換する\n[いいえ] 変換をやめる",
            Report(report));

  report = {};
  report.nUnmappable = 25;
  report.nListed = kSjisConvListed;
  for (int32_t i = 0; i < kSjisConvListed; ++i) report.problems[i] = Unmappable(i + 1, 0x20AC);
  const std::string many = Report(report);
  EXPECT_EQ(0u, many.find("このファイルには Shift_JIS で表せない文字が 25 個あります。\n    1 行目: U+20AC")) << many;
  EXPECT_NE(std::string::npos, many.find("    10 行目: U+20AC\n    ほか 15 箇所\n\n")) << many;
  // Cut short, the text still ends between characters.
  const std::string cut = Report(report, 40);
  EXPECT_EQ(0u, many.find(cut));
  EXPECT_GE(39u, cut.size());
  EXPECT_LT(30u, cut.size());
}

}  // namespace
