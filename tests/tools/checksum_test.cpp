#include "tools/checksum.h"

#include <gtest/gtest.h>

#include <string>

namespace {

uint32_t Crc(const std::string& s) { return Crc32_Update(0, s.data(), s.size()); }

// The check values every CRC-32 of this polynomial gives.
TEST(Checksum, KnownValues) {
  EXPECT_EQ(0u, Crc(""));
  EXPECT_EQ(0xCBF43926u, Crc("123456789"));
  EXPECT_EQ(0x414FA339u, Crc("The quick brown fox jumps over the lazy dog"));
  EXPECT_EQ(0x2144DF1Cu, Crc(std::string(4, '\0')));
}

// The eight-byte steps give what byte steps give, from every alignment and
// split into pieces at every point, so a checksum computed as records are
// written equals one over the whole.
TEST(Checksum, PiecesAndAlignmentsGiveTheWholesChecksum) {
  std::string bytes;
  for (int i = 0; i < 300; ++i) bytes += static_cast<char>((i * 131 + 7) & 0xFF);
  const uint32_t whole = Crc(bytes);
  for (size_t cut = 0; cut <= bytes.size(); cut += 7) {
    const uint32_t first = Crc32_Update(0, bytes.data(), cut);
    EXPECT_EQ(whole, Crc32_Update(first, bytes.data() + cut, bytes.size() - cut)) << cut;
  }
  for (size_t offset = 1; offset < 9; ++offset) {
    const std::string tail = bytes.substr(offset);
    EXPECT_EQ(Crc(tail), Crc32_Update(0, bytes.data() + offset, bytes.size() - offset)) << offset;
  }
}

// Any one changed bit is seen.
TEST(Checksum, EveryFlippedBitChangesIt) {
  std::string bytes = "Qwilpad 復元 \r\n\x1A";
  const uint32_t whole = Crc(bytes);
  for (size_t i = 0; i < bytes.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string flipped = bytes;
      flipped[i] = static_cast<char>(flipped[i] ^ (1 << bit));
      EXPECT_NE(whole, Crc(flipped)) << i << " " << bit;
    }
  }
}

}  // namespace
