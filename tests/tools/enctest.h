// Texts for the encoding tests: the committed samples (three Japanese manual
// pages, each cut to a few lines and converted once with iconv to code page 932,
// UTF-8 and UTF-16 without marks; the signal page has CR LF line ends), and
// UTF-16 bytes built from u"" literals.
#pragma once

#include <string>

#include "tools/sjisconv.h"
#include "tools/testfiles.h"

constexpr const char* kEncSamplePages[] = {"cat", "signal", "passwd"};

// The bytes of tests/tools/encsamples/PAGE.KIND.txt (KIND: sjis, utf8, utf16le, utf16be).
inline std::string EncTest_Sample(const std::string& page, const std::string& kind) {
  return TestFile_Read(std::string(QWIL_SOURCE_DIR) + "/tests/tools/encsamples/" + page + "." + kind + ".txt");
}

inline std::string EncTest_Utf16(const std::u16string& text, bool bBigEndian) {
  std::string bytes;
  for (char16_t unit : text) {
    const char lo = static_cast<char>(unit & 0xFF);
    const char hi = static_cast<char>(unit >> 8);
    bytes += bBigEndian ? hi : lo;
    bytes += bBigEndian ? lo : hi;
  }
  return bytes;
}

// The listed problems as "LINE:WHAT" separated by spaces: "1:U+00A9 2:0xE3 0x81".
inline std::string EncTest_Listed(const SjisReport& report) {
  std::string listed;
  for (int32_t i = 0; i < report.nListed; ++i) {
    char text[32];
    SjisConv_FormatProblem(&report.problems[i], text, sizeof(text));
    listed += (i ? " " : "") + std::to_string(report.problems[i].nLine) + ":" + text;
  }
  return listed;
}
