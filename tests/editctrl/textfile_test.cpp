#include "editctrl/textfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "editctrl/textmodel.h"
#include "tools/memory.h"

namespace {

TextDataProperty Prop(bool wrap) {
  TextDataProperty p;
  p.wrap = wrap ? 1 : 0;
  p.width = 13;
  p.tabsize = 4;
  return p;
}

std::string TempPath(const char* name) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return ::testing::TempDir() + "qwil_" + info->name() + "_" + name;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f);
  ASSERT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), f));
  ASSERT_EQ(0, std::fclose(f));
}

template <size_t N>
std::string Bytes(const char (&raw)[N]) {
  return std::string(raw, N - 1);
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return "<missing>";
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) bytes.append(buf, n);
  std::fclose(f);
  return bytes;
}

// The document a text should give: built by the plain model from the whole text.
TextModel ModelOf(const std::string& bytes) {
  TextModel m;
  ModelReplace(&m, {0, 0}, {0, 0}, bytes);
  return m;
}

struct Loaded {
  TextData* text = nullptr;
  TextFileStatus status = TEXTFILE_NO_MEMORY;
  Loaded(const std::string& path, bool wrap) {
    TextDataProperty p = Prop(wrap);
    text = TextFile_Load(path.c_str(), &p, &status);
  }
  ~Loaded() { TextData_Destroy(text); }
};

TEST(TextFile, LoadKeepsEveryByteAndEveryKindOfLineEnd) {
  const std::string cases[] = {
      "",
      "a\r\nb",
      "x\r\n",
      "mixed\rends\nhere\r\n\r\n\n\r",
      Bytes("nul\0inside\x1A" "after the end-of-file byte\r\n"),
      "lone lead at line end\x82\r\nand at the end of the file\x95",
      "表ソ\\\r\n",
  };
  for (const std::string& bytes : cases) {
    std::string path = TempPath("case.txt");
    WriteFile(path, bytes);
    for (bool wrap : {false, true}) {
      Loaded d(path, wrap);
      ASSERT_EQ(TEXTFILE_OK, d.status);
      ASSERT_NE(nullptr, d.text);
      EXPECT_TRUE(SameAsModel(d.text, ModelOf(bytes))) << "bytes: " << bytes;
    }
  }
}

TEST(TextFile, CrLfAcrossTheChunkBoundaryIsOneLineEnd) {
  // The CR is the last byte of the first read, the LF the first of the next.
  std::string bytes(kTextLoadSlice - 1, 'a');
  bytes += "\r\nsecond line";
  std::string path = TempPath("boundary.txt");
  WriteFile(path, bytes);
  Loaded d(path, false);
  ASSERT_EQ(TEXTFILE_OK, d.status);
  EXPECT_EQ(2, TextData_GetCount(d.text));
  EXPECT_STREQ("\r\n", Line_GetCrlf(TextData_GetHead(d.text)));
  EXPECT_TRUE(SameAsModel(d.text, ModelOf(bytes)));

  // A lone CR at the boundary stays a line end of its own.
  std::string lone(kTextLoadSlice - 1, 'b');
  lone += "\rx";
  WriteFile(path, lone);
  Loaded e(path, true);
  EXPECT_STREQ("\r", Line_GetCrlf(TextData_GetHead(e.text)));
  EXPECT_TRUE(SameAsModel(e.text, ModelOf(lone)));
}

// Feeds short and long (the line ends are looked for 16 bytes at a time, tabs
// with them): every line a feed or a chunk cuts is whole, and a line is known
// to hold no tab exactly when it holds none.
TEST(TextFile, StreamGivesTheSameDocumentWhateverTheChunks) {
  std::mt19937 rng(4242);
  const char* pieces[] = {"a", "\r", "\n", "\r\n", "あ", "\t", "\x82", "z", "abcdefghijklmnopq"};
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    int n = static_cast<int>(rng() % 60);
    for (int i = 0; i < n; ++i) bytes += pieces[rng() % (round % 3 == 0 ? 8 : 9)];
    TextDataProperty p = Prop(round % 2 == 0);
    TextData* text = TextData_Create(&p);
    TextStream* s = TextStream_Begin(text);
    for (size_t at = 0; at < bytes.size();) {
      size_t len = 1 + rng() % (round % 4 == 0 ? 7 : 70);
      if (len > bytes.size() - at) len = bytes.size() - at;
      ASSERT_TRUE(TextStream_Feed(s, bytes.data() + at, static_cast<int32_t>(len), nullptr));
      at += len;
    }
    ASSERT_TRUE(TextStream_End(s, nullptr));
    ASSERT_TRUE(SameAsModel(text, ModelOf(bytes))) << "round " << round;
    for (int32_t y = 0; y < TextData_GetCount(text); ++y) {
      const LineData* line = TextData_PeekLine(text, y);
      const std::string held(Line_GetString(line), static_cast<size_t>(Line_GetLength(line)));
      ASSERT_EQ(held.find('\t') == std::string::npos, Line_IsTabFree(line)) << "round " << round << " line " << y;
    }
    TextData_Destroy(text);
  }
}

TEST(TextFile, SaveWritesCrLfBetweenLinesAndNoneAfterTheLast) {
  TextDataProperty p = Prop(false);
  TextData* text = TextData_Create(&p);
  ASSERT_TRUE(TextData_Append(text, "a\nb\r", 4, nullptr));  // a (LF), b (CR), an empty last line
  std::string path = TempPath("out.txt");
  EXPECT_EQ(TEXTFILE_OK, TextFile_Save(text, path.c_str()));
  EXPECT_EQ("a\r\nb\r\n", ReadFile(path));
  TextData_Destroy(text);

  // Load and save give back the same bytes for a file with CR LF line ends.
  std::string bytes = Bytes("one\r\n\x1A two\0\r\n表\r\n\x82");
  WriteFile(path, bytes);
  Loaded d(path, true);
  std::string again = TempPath("again.txt");
  EXPECT_EQ(TEXTFILE_OK, TextFile_Save(d.text, again.c_str()));
  EXPECT_EQ(bytes, ReadFile(again));
}

TEST(TextFile, FailuresAreReportedAndChangeNothing) {
  TextDataProperty p = Prop(false);
  TextFileStatus status = TEXTFILE_OK;
  EXPECT_EQ(nullptr, TextFile_Load((TempPath("missing") + "/nothing.txt").c_str(), &p, &status));
  EXPECT_EQ(TEXTFILE_OPEN_FAILED, status);
  EXPECT_EQ(nullptr, TextFile_Load(::testing::TempDir().c_str(), &p, &status));
  EXPECT_EQ(TEXTFILE_OPEN_FAILED, status);

  TextData* text = TextData_Create(&p);
  ASSERT_TRUE(TextData_Append(text, "keep me", 7, nullptr));
  std::string folder = TempPath("no-such-folder") + "/file.txt";
  EXPECT_EQ(TEXTFILE_OPEN_FAILED, TextFile_Save(text, folder.c_str()));
  EXPECT_EQ(TEXTFILE_OPEN_FAILED, TextFile_Save(text, ::testing::TempDir().c_str()));
#ifndef _WIN32
  // A full disk shows only when the bytes are written or flushed.
  EXPECT_EQ(TEXTFILE_WRITE_FAILED, TextFile_Save(text, "/dev/full"));
#endif
  EXPECT_EQ(7, TextData_GetLength(text));
  TextData_Destroy(text);
}

TEST(TextFile, TextsTooLargeForTheDocumentAreRefused) {
#ifndef _WIN32
  // A sparse file of 3 GiB costs no disk: refused before a byte is read.
  std::string path = TempPath("huge.txt");
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f);
  ASSERT_EQ(0, fseeko(f, (off_t(3) << 30) - 1, SEEK_SET));
  ASSERT_EQ(1u, std::fwrite("x", 1, 1, f));
  ASSERT_EQ(0, std::fclose(f));
  TextDataProperty p = Prop(false);
  TextFileStatus status = TEXTFILE_OK;
  EXPECT_EQ(nullptr, TextFile_Load(path.c_str(), &p, &status));
  EXPECT_EQ(TEXTFILE_TOO_LARGE, status);
  std::remove(path.c_str());
#endif
  // A stream that would pass the limit stops with the document still whole. A
  // pretended length stands in for the gigabytes.
  TextDataProperty q = Prop(true);
  TextData* text = TextData_Create(&q);
  text->length = kTextMaxSize - 10;
  TextStream* s = TextStream_Begin(text);
  TextFileStatus why = TEXTFILE_OK;
  EXPECT_TRUE(TextStream_Feed(s, "12345\n", 6, &why));  // 5 bytes and a CR LF: 7 of 10
  EXPECT_TRUE(TextStream_Feed(s, "abc", 3, &why));  // exactly full
  EXPECT_FALSE(TextStream_Feed(s, "d", 1, &why));
  EXPECT_EQ(TEXTFILE_TOO_LARGE, why);
  TextStream_Abort(s);
  text->length -= kTextMaxSize - 10;
  EXPECT_TRUE(TextData_CheckDeep(text));
  EXPECT_EQ(1, TextData_GetCount(text));
  EXPECT_STREQ("12345", Line_GetString(TextData_GetHead(text)));
  TextData_Destroy(text);
}

}  // namespace

namespace {

// A report that counts its calls and says stop at the stopAt-th.
struct Reports {
  int calls = 0;
  int stopAt = 1 << 30;
  int64_t lastDone = 0;
  bool ordered = true;
  static bool Report(void* context, int64_t done, int64_t total) {
    Reports* r = static_cast<Reports*>(context);
    r->ordered = r->ordered && done > r->lastDone && done <= total;
    r->lastDone = done;
    return ++r->calls < r->stopAt;
  }
};

// Three slices and more: a line longer than a slice, a CR LF across the end of
// the second read, and short lines; read in slices as the window reads them.
TEST(TextFile, LoadInSlicesReportsProgressAndAStoppedLoadLeavesNothing) {
  std::string bytes(kTextLoadSlice + kTextLoadSlice / 2, 'l');
  bytes += "\r\n";
  bytes.resize(2 * size_t(kTextLoadSlice) - 1, 's');
  bytes += "\r\nshort\rlines\n";
  const std::string path = TempPath("slices.txt");
  WriteFile(path, bytes);
  TextDataProperty p = Prop(true);
  TextFileStatus status = TEXTFILE_NO_MEMORY;
  TextLoad* load = TextLoad_Begin(path.c_str(), &p, &status);
  ASSERT_NE(nullptr, load);
  EXPECT_EQ(int64_t(bytes.size()), TextLoad_Total(load));
  int slices = 0;
  while (TextLoad_Next(load, &status)) {
    ++slices;
    EXPECT_EQ(std::min<int64_t>(int64_t(slices) * kTextLoadSlice, bytes.size()), TextLoad_Done(load));
  }
  EXPECT_EQ(3, slices);
  TextData* text = TextLoad_Finish(load, &status);
  ASSERT_EQ(TEXTFILE_OK, status);
  EXPECT_TRUE(SameAsModel(text, ModelOf(bytes)));
  TextData_Destroy(text);

  Reports all;
  const TextProgress seen = {Reports::Report, &all};
  text = TextFile_Load(path.c_str(), &p, &status, &seen);
  EXPECT_EQ(TEXTFILE_OK, status);
  EXPECT_EQ(3, all.calls);
  EXPECT_TRUE(all.ordered);
  TextData_Destroy(text);
  // Stopped at the second report, or given up after one slice: nothing is left.
  const long live = Mem_LiveBlocks();
  Reports second;
  second.stopAt = 2;
  const TextProgress halt = {Reports::Report, &second};
  EXPECT_EQ(nullptr, TextFile_Load(path.c_str(), &p, &status, &halt));
  EXPECT_EQ(TEXTFILE_CANCELLED, status);
  load = TextLoad_Begin(path.c_str(), &p, &status);
  ASSERT_TRUE(TextLoad_Next(load, &status));
  TextLoad_Abort(load);
  EXPECT_EQ(live, Mem_LiveBlocks());
}

TEST(TextFile, AStoppedSaveLeavesTheFileAsItWas) {
  TextDataProperty p = Prop(false);
  TextData* text = TextData_Create(&p);
  const std::string line(1000, 'x');
  for (int i = 0; i < 9000; ++i) ASSERT_TRUE(TextData_Append(text, (line + "\r\n").data(), 1002, nullptr));
  const std::string path = TempPath("kept.txt");
  WriteFile(path, "before");
  Reports second;
  second.stopAt = 2;
  const TextProgress halt = {Reports::Report, &second};
  EXPECT_EQ(TEXTFILE_CANCELLED, TextFile_Save(text, path.c_str(), &halt));
  EXPECT_EQ("before", ReadFile(path));
  Reports all;
  const TextProgress seen = {Reports::Report, &all};
  EXPECT_EQ(TEXTFILE_OK, TextFile_Save(text, path.c_str(), &seen));
  EXPECT_EQ(2, all.calls);  // 9 MB in steps of 4 MiB
  EXPECT_EQ(size_t(TextData_GetTextSize(text)), ReadFile(path).size());
  TextData_Destroy(text);
}

}  // namespace
