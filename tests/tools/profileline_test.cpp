#include "tools/profileline.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Same(const std::string& a, const std::string& b) {
  return Profile_NamesEqual(a.data(), static_cast<int32_t>(a.size()), b.data(), static_cast<int32_t>(b.size()));
}

TEST(ProfileLine, NamesMatchAsTheProfileFunctionsMatchThem) {
  EXPECT_TRUE(Same("タブ幅", " タブ幅\t"));
  EXPECT_TRUE(Same("Name", "NAME"));
  EXPECT_FALSE(Same("\x83\x41", "\x83\x61")) << "a trail byte is no letter";
  EXPECT_FALSE(Same("ａｂ", "ＡＢ")) << "full-width letters have no other case";
  EXPECT_FALSE(Same("全角", "　全角　")) << "a full-width space is no blank";
  EXPECT_TRUE(Same("\x83 ", "\x83 ")) << "the second byte of a character is not trimmed";
  EXPECT_FALSE(Same("\x83 ", "\x83"));
  EXPECT_FALSE(Same("a b", "ab"));
}

struct FailingReader {
  static int32_t Read(void*, char*, int32_t) { return -1; }
};

bool WritesWhole(const std::string& file, const char* section, int32_t chunk = 0) {
  MemReader mem;
  return Profile_SectionWritesWhole(MemReader_Init(&mem, file.data(), static_cast<int32_t>(file.size()), chunk),
                                    section);
}

// A section write keeps everything unless the file holds the section twice or
// comments in it, which the section reader does not show.
TEST(ProfileLine, ASectionIsWrittenWholeOnlyWhenNothingOfTheFileIsLost) {
  const std::string plain = "; about the file\r\n[Qwil]\r\n  タブ幅 =4\r\n\r\nnovalue\r\n[他]\r\n; 他の注\r\n";
  EXPECT_TRUE(WritesWhole(plain, "Qwil"));
  EXPECT_TRUE(WritesWhole(plain, "qwil ", 3)) << "in small pieces, and the name as the functions compare it";
  EXPECT_TRUE(WritesWhole("", "Qwil")) << "no file";
  EXPECT_TRUE(WritesWhole("[Qwil\r\n;x\r\n", "Qwil")) << "no \"]\": a key line, not a header";
  EXPECT_FALSE(WritesWhole(plain, "他"));
  EXPECT_FALSE(WritesWhole("[Qwil]\r\n\t; 注\r\n", "Qwil"));
  EXPECT_FALSE(WritesWhole("[Qwil]\ra=1\r[x]\r[QWIL]\rb=2", "Qwil")) << "twice, line ends CR alone";
  EXPECT_FALSE(WritesWhole("\xEF\xBB\xBF[Qwil]\r\n", "Qwil"));
  EXPECT_FALSE(WritesWhole("\xFF\xFE[\0Q\0", "Qwil"));
  EXPECT_FALSE(WritesWhole("[" + std::string(2000, 'Q') + "\r\n", "Qwil")) << "a header too long to read";
  EXPECT_TRUE(WritesWhole("[Qwil]\r\nk=" + std::string(5000, 'v') + "\r\n[x]\r\n;\r\n", "Qwil"));
  EXPECT_FALSE(Profile_SectionWritesWhole(ByteReader{FailingReader::Read, nullptr}, "Qwil"));
}

}  // namespace
