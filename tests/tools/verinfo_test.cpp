#include "tools/verinfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

void Put16(Bytes* b, uint32_t v) {
  b->push_back(static_cast<uint8_t>(v & 0xFF));
  b->push_back(static_cast<uint8_t>(v >> 8));
}
void Pad4(Bytes* b) {
  while (b->size() % 4) b->push_back(0);
}
Bytes Utf16(const std::string& ascii) {
  Bytes b;
  for (char c : ascii) Put16(&b, static_cast<unsigned char>(c));
  Put16(&b, 0);
  return b;
}

// One node as the resource compiler lays it out; valueLength as it stores it
// (units of a text, bytes of a binary value).
Bytes Node(const std::string& key, const Bytes& value, bool bText, const std::vector<Bytes>& children,
           int valueLength = -1) {
  Bytes b = {0, 0};
  Put16(&b, valueLength >= 0 ? valueLength : bText ? value.size() / 2 : value.size());
  Put16(&b, bText ? 1 : 0);
  Bytes k = Utf16(key);
  b.insert(b.end(), k.begin(), k.end());
  Pad4(&b);
  b.insert(b.end(), value.begin(), value.end());
  for (const Bytes& c : children) {
    Pad4(&b);
    b.insert(b.end(), c.begin(), c.end());
  }
  b[0] = static_cast<uint8_t>(b.size() & 0xFF);
  b[1] = static_cast<uint8_t>(b.size() >> 8);
  return b;
}

Bytes Sample() {
  Bytes translation;
  Put16(&translation, 0x0411);
  Put16(&translation, 932);
  Bytes table = Node("041103a4", {}, true,
                     {Node("FileDescription", Utf16("Qwilpad"), true, {}),
                      // Some writers count the bytes of a text, not its units.
                      Node("ProductVersion", Utf16("0.33"), true, {}, 10),
                      Node("Empty", Utf16(""), true, {})});
  return Node("VS_VERSION_INFO", Bytes(52, 0xEE), false,
              {Node("StringFileInfo", {}, true, {table}),
               Node("VarFileInfo", {}, true, {Node("Translation", translation, false, {})})});
}

std::string Find(const Bytes& b, uint32_t translation, const char* key) {
  const uint8_t* text = nullptr;
  int32_t units = 0;
  if (!VersionInfo_FindString(b.data(), static_cast<int32_t>(b.size()), translation, key, &text, &units)) {
    return "<none>";
  }
  EXPECT_TRUE(text >= b.data() && text + 2 * units <= b.data() + b.size());
  std::string s;
  for (int32_t i = 0; i < units; ++i) s += static_cast<char>(text[2 * i]);
  return s;
}

TEST(VersionInfo, TheTranslationAndTheStringsOfItsTable) {
  Bytes b = Sample();
  uint32_t translation = 0;
  ASSERT_TRUE(VersionInfo_GetTranslation(b.data(), static_cast<int32_t>(b.size()), &translation));
  EXPECT_EQ(0x03A40411u, translation);
  EXPECT_EQ("Qwilpad", Find(b, translation, "FileDescription"));
  EXPECT_EQ("Qwilpad", Find(b, translation, "filedescription")) << "keys are compared without case";
  EXPECT_EQ("0.33", Find(b, translation, "ProductVersion"));
  EXPECT_EQ("<none>", Find(b, translation, "Empty"));
  EXPECT_EQ("<none>", Find(b, translation, "File"));
  EXPECT_EQ("<none>", Find(b, 0x04E40409, "FileDescription")) << "another table";
}

// Every cut of the block and every changed byte: an answer or none, never a read
// outside the block (the sanitizers watch each one).
TEST(VersionInfo, CutOrDamagedBlocksNeverReadOutside) {
  const Bytes whole = Sample();
  uint32_t translation = 0;
  for (size_t n = 0; n < whole.size(); ++n) {
    Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(VersionInfo_GetTranslation(cut.data(), static_cast<int32_t>(n), &translation)) << n;
    EXPECT_EQ("<none>", Find(cut, 0x03A40411, "ProductVersion")) << n;
  }
  for (size_t at = 0; at < whole.size(); ++at) {
    for (uint8_t v : {0x00, 0x05, 0x7F, 0xFF}) {
      Bytes b = whole;
      b[at] = v;
      VersionInfo_GetTranslation(b.data(), static_cast<int32_t>(b.size()), &translation);
      Find(b, 0x03A40411, "ProductVersion");
    }
  }
}

}  // namespace
