#include "dialogs/keyfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/memory.h"

namespace {

struct Binding {
  uint32_t code;
  int32_t id;
  bool operator==(const Binding& o) const { return code == o.code && id == o.id; }
};

std::ostream& operator<<(std::ostream& os, const Binding& b) {
  return os << std::hex << "{" << b.code << ", " << std::dec << b.id << "}";
}

std::vector<Binding> Read(const std::string& text, int32_t chunk = 0) {
  MemReader mem;
  ByteReader reader = MemReader_Init(&mem, text.data(), static_cast<int32_t>(text.size()), chunk);
  int32_t count = -1;
  KeyAssignItem* items = KeyFile_Read(&reader, &count);
  EXPECT_EQ(items == nullptr, count == 0);
  std::vector<Binding> out;
  for (int32_t i = 0; i < count; ++i) out.push_back({items[i].dwKeyCode, items[i].nCommandId});
  Mem_Free(items);
  return out;
}

std::string Write(const std::vector<KeyAssignItem>& items) {
  MemWriter mem;
  ByteWriter writer = MemWriter_Init(&mem);
  EXPECT_TRUE(KeyFile_Write(&writer, items.data(), static_cast<int32_t>(items.size())));
  std::string out(mem.pData ? mem.pData : "", static_cast<size_t>(mem.nLength));
  MemWriter_Free(&mem);
  return out;
}

using Bindings = std::vector<Binding>;

TEST(KeyFile, ReadsTheLinesOfTheFormat) {
  EXPECT_EQ((Bindings{{0x243, 40014}}), Read("[キー割り当て]\r\n00000243=コピー\r\n"));
  EXPECT_EQ((Bindings{{0x243, 40014}}), Read("00000243=コピー and more text\n"));  // prefix match, no header
  EXPECT_EQ((Bindings{{0x346, 0x9CD4}}), Read("00000346=9cd4\r\n"));          // an id in hexadecimal
  EXPECT_EQ((Bindings{{0x245, 40031}}), Read("0x245=検索"));                 // "0x" is number syntax
  EXPECT_EQ((Bindings{{0x245, 40031}}), Read("  245=検索\n"));
  EXPECT_EQ((Bindings{{0x241, 40111}}), Read("00000241=なし"));
  EXPECT_EQ((Bindings{{0x243, 0}}), Read("00000243=UNKNOWN\n"));
  EXPECT_EQ((Bindings{{0x243, 0}}), Read("00000243=\n"));
  EXPECT_EQ((Bindings{}), Read("zz=検索\n"));
  EXPECT_EQ((Bindings{}), Read("=コピー\n"));           // no key code at all
  EXPECT_EQ((Bindings{}), Read("00000243 =コピー\n"));  // "=" must follow the number
  EXPECT_EQ((Bindings{}), Read(""));
  EXPECT_EQ((Bindings{}), Read("[キー割り当て]\r\n"));
}

TEST(KeyFile, SkipsGarbageKeepsDuplicatesAndSorts) {
  static const char kText[] =
      "; a comment\n"
      "\n"
      "00000441=検索\r\n"
      "garbage \x82\x00 bytes\n"
      "00000243=コピー\n"
      "\x81\n"
      "00000141=貼り付け\n"
      "00000041=削除\n"
      "00000243=切り取り\n";
  const std::string text(kText, sizeof(kText) - 1);  // with the NUL inside
  const Bindings expected = {{0x041, 40016}, {0x141, 40015}, {0x441, 40031}, {0x243, 40014}, {0x243, 40013}};
  EXPECT_EQ(expected, Read(text));
  for (int32_t chunk : {1, 2, 7, 100}) EXPECT_EQ(expected, Read(text, chunk)) << chunk;
}

TEST(KeyFile, LongLinesAreReadInPieces) {
  // 1022 bytes of a line, and the rest of it counts as a line of its own.
  std::string text = std::string(1022, 'x') + "00000243=コピー\n";
  EXPECT_EQ((Bindings{{0x243, 40014}}), Read(text));
  std::string longName = "00000246=検索" + std::string(5000, ' ') + "\n00000247=置換\n";
  EXPECT_EQ((Bindings{{0x246, 40031}, {0x247, 40036}}), Read(longName));
  // A line end that falls just behind a full piece ends an empty piece: nothing.
  std::string exact = "00000243=コピー" + std::string(1022 - 15, ' ') + "\n00000244=削除\n";
  EXPECT_EQ((Bindings{{0x243, 40014}, {0x244, 40016}}), Read(exact));
  std::string huge(3 * 1024 * 1024, 'z');
  EXPECT_EQ((Bindings{}), Read(huge));
}

TEST(KeyFile, WritesExactlyTheFormat) {
  EXPECT_EQ("[キー割り当て]\r\n00000243=コピー\r\n", Write({{0x243, 40014}}));
  EXPECT_EQ("[キー割り当て]\r\n00000041=削除\r\n00000346=UNKNOWN\r\n000008ff=About\r\n",
            Write({{0x041, 40016}, {0x346, 0x9CD4}, {0x8FF, 40071}}));
  EXPECT_EQ("", Write({}));  // not even the header
  // What is written reads back as written, apart from ids without a name.
  EXPECT_EQ((Bindings{{0x41, 40016}, {0x346, 0}}), Read(Write({{0x041, 40016}, {0x346, 0x9CD4}})));
}

bool FailingWrite(void*, const char*, int32_t) { return false; }

TEST(KeyFile, FailuresLoadNothingAndReportFalse) {
  const std::string text = "00000243=コピー\n00000244=削除\n00000245=検索\n";
  for (long successes = 0; successes < 6; ++successes) {
    Mem_FailAfter(successes);
    Bindings got = Read(text);
    Mem_ClearFault();
    EXPECT_TRUE(got.empty() || got.size() == 3u) << successes;
  }
  ByteWriter failing = {FailingWrite, nullptr};
  KeyAssignItem item = {0x243, 40014};
  EXPECT_FALSE(KeyFile_Write(&failing, &item, 1));
  EXPECT_TRUE(KeyFile_Write(&failing, &item, 0));
}

TEST(KeyFile, LoadAndSaveFiles) {
  std::string path = testing::TempDir() + "qwil_keyfile_test.key";
  KeyAssignItem items[] = {{0x241, 40111}, {0x774, 40121}};
  ASSERT_TRUE(KeyFile_Save(path.c_str(), items, 2));
  int32_t count = 0;
  KeyAssignItem* loaded = KeyFile_Load(path.c_str(), &count);
  ASSERT_EQ(2, count);
  EXPECT_EQ(0x241u, loaded[0].dwKeyCode);
  EXPECT_EQ(40121, loaded[1].nCommandId);
  Mem_Free(loaded);

  ASSERT_TRUE(KeyFile_Save(path.c_str(), nullptr, 0));  // truncates to nothing
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(nullptr, f);
  std::fseek(f, 0, SEEK_END);
  EXPECT_EQ(0, std::ftell(f));
  std::fclose(f);
  EXPECT_EQ(nullptr, KeyFile_Load(path.c_str(), &count));
  EXPECT_EQ(0, count);
  std::remove(path.c_str());

  EXPECT_EQ(nullptr, KeyFile_Load(path.c_str(), &count));  // missing: no bindings
  std::string unwritable = testing::TempDir() + "no_such_folder_qwil/x.key";
  EXPECT_FALSE(KeyFile_Save(unwritable.c_str(), items, 2));
}

}  // namespace
