#include "tools/stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/memory.h"

namespace {

std::vector<std::string> Lines(const std::string& text, int32_t size, int32_t chunk) {
  MemReader mem;
  LineReader lines;
  LineReader_Init(&lines, MemReader_Init(&mem, text.data(), static_cast<int32_t>(text.size()), chunk));
  std::vector<std::string> out;
  std::vector<char> line(static_cast<size_t>(size));
  int32_t n = 0;
  while (LineReader_Read(&lines, line.data(), size, &n)) {
    EXPECT_LT(n, size);
    EXPECT_EQ('\0', line[static_cast<size_t>(n)]);
    out.push_back(std::string(line.data(), static_cast<size_t>(n)));
  }
  EXPECT_FALSE(LineReader_Read(&lines, line.data(), size, &n));  // stays at the end
  return out;
}

using Texts = std::vector<std::string>;

TEST(LineReader, ReadsLikeFgets) {
  for (int32_t chunk : {0, 1, 3}) {
    SCOPED_TRACE(chunk);
    EXPECT_EQ((Texts{"one\n", "two\r\n", "three"}), Lines("one\ntwo\r\nthree", 16, chunk));
    EXPECT_EQ((Texts{"abcd", "efgh", "\n", "ij"}), Lines("abcdefgh\nij", 5, chunk));
    EXPECT_EQ((Texts{"\n", "\n"}), Lines("\n\n", 5, chunk));
    EXPECT_EQ((Texts{std::string("a\0b\n", 4)}), Lines(std::string("a\0b\n", 4), 16, chunk));
    EXPECT_EQ((Texts{}), Lines("", 16, chunk));
  }
  // Lines longer than the reader's own chunk.
  std::string big(10000, 'q');
  Texts pieces = Lines(big + "\nend", 4096, 0);
  ASSERT_EQ(4u, pieces.size());
  EXPECT_EQ(4095u, pieces[0].size());
  EXPECT_EQ(10000u - 2 * 4095 + 1, pieces[2].size());
  EXPECT_EQ("end", pieces[3]);
}

int32_t FailingRead(void*, char*, int32_t) { return -1; }

TEST(LineReader, AReadErrorEndsTheLines) {
  LineReader lines;
  LineReader_Init(&lines, ByteReader{FailingRead, nullptr});
  char line[8];
  EXPECT_FALSE(LineReader_Read(&lines, line, sizeof(line), nullptr));
  EXPECT_TRUE(lines.bError);
  EXPECT_STREQ("", line);
}

TEST(MemWriter, GrowsAndReportsFailure) {
  MemWriter mem;
  ByteWriter writer = MemWriter_Init(&mem);
  std::string expected;
  for (int i = 0; i < 1000; ++i) {
    ASSERT_TRUE(Stream_WriteString(&writer, "chunk "));
    expected += "chunk ";
  }
  EXPECT_EQ(expected, std::string(mem.pData, static_cast<size_t>(mem.nLength)));
  Mem_FailAfter(0);
  std::string more(mem.nSize, 'm');  // forces a growth
  EXPECT_FALSE(Stream_WriteString(&writer, more.c_str()));
  Mem_ClearFault();
  EXPECT_FALSE(Stream_WriteString(&writer, "x"));  // stays failed
  EXPECT_EQ(expected, std::string(mem.pData, static_cast<size_t>(mem.nLength)));
  MemWriter_Free(&mem);
  EXPECT_EQ(nullptr, mem.pData);
}

}  // namespace
