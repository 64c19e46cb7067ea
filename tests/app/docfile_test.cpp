#include "app/docfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <fstream>
#include <string>

#include "tools/faultfiles.h"
#include "tools/memory.h"
#include "tools/testfiles.h"

namespace {

std::string Start(const char* from, const char* fallback, const char* folder, bool exists, bool* ok = nullptr) {
  DialogStart start;
  bool fits = DocFile_DialogStart(from, fallback, folder, exists, &start);
  if (ok) *ok = fits;
  return std::string(start.szName) + "|" + start.szFolder;
}

TEST(DocFile, DialogsStartWithTheDocumentsNameAndFolder) {
  // A document with a path: its name, its folder.
  EXPECT_EQ("a.txt|C:\\文書", Start("C:\\文書\\a.txt", "*.txt", "D:\\other", true));
  EXPECT_EQ("a.txt|C:\\", Start("C:\\a.txt", "*.txt", "", false)) << "a drive's root keeps its backslash";
  // Untitled: the open dialog proposes *.txt, the save dialog the default name;
  // the folder is the document folder when it exists.
  EXPECT_EQ("*.txt|D:\\memo", Start("", "*.txt", "D:\\memo", true));
  EXPECT_EQ("*.txt|", Start("", "*.txt", "D:\\gone", false));
  EXPECT_EQ("無題.txt|D:\\memo", Start("無題.txt", "無題.txt", "D:\\memo", true));
  EXPECT_EQ("無題.txt|", Start("無題.txt", "無題.txt", "", true));
  // 表 ends in the byte of a backslash.
  EXPECT_EQ("表.txt|C:\\表", Start("C:\\表\\表.txt", "*.txt", "", false));
  bool ok = true;
  Start("", std::string(300, 'n').c_str(), "", false, &ok);
  EXPECT_FALSE(ok);
}

TEST(DocFile, LoadErrorNamesTheFileTheDocumentAndWhy) {
  char text[kFileMessageSize];
  DocFile_FormatLoadError(text, sizeof(text), "C:\\gone.txt", "無題.txt", LOADERR_NONE);
  EXPECT_STREQ("C:\\gone.txt\nの読み込みに失敗しました。\n\n編集中のファイルは 無題.txt のままです。", text);
  DocFile_FormatLoadError(text, sizeof(text), "C:\\gone.txt", "C:\\a.txt", LOADERR_NOT_FOUND);
  EXPECT_STREQ(
      "C:\\gone.txt\nの読み込みに失敗しました。\n\n編集中のファイルは C:\\a.txt のままです。\n\nファイルが見つかりません。",
      text);
  // A name cut inside a character (a dropped name too long for a path) loses
  // the half, so that the line end behind it stays a line end.
  DocFile_FormatLoadError(text, sizeof(text), "C:\\a\x81", "無題.txt", LOADERR_PATH_TOO_LONG);
  EXPECT_EQ(0u, std::string(text).find("C:\\a\nの読み込み")) << text;
  // Every reason has a text of its own.
  std::set<std::string> reasons;
  for (LoadError e : {LOADERR_NOT_FOUND, LOADERR_FOLDER, LOADERR_OPEN_FAILED, LOADERR_READ_FAILED, LOADERR_TOO_LARGE,
                      LOADERR_NO_MEMORY, LOADERR_PATH_TOO_LONG}) {
    DocFile_FormatLoadError(text, sizeof(text), "p", "d", e);
    reasons.insert(text);
  }
  EXPECT_EQ(7u, reasons.size());
}

TEST(DocFile, SaveErrorKeepsItsTextAndAddsWhy) {
  char text[kFileMessageSize];
  DocFile_FormatSaveError(text, sizeof(text), "Z:\\ro\\a.txt", "Z:\\a.txt", TEXTFILE_READ_ONLY);
  EXPECT_STREQ(
      "Z:\\ro\\a.txt\nの保存に失敗しました。\n\n編集中のファイルは\nZ:\\a.txt\nのままです。\n\nファイルが読み取り専用です。",
      text);
  std::set<std::string> reasons;
  for (TextFileStatus s : {TEXTFILE_OPEN_FAILED, TEXTFILE_WRITE_FAILED, TEXTFILE_TOO_LARGE, TEXTFILE_NO_MEMORY,
                           TEXTFILE_READ_ONLY, TEXTFILE_LOCKED, TEXTFILE_FOLDER_DENIED, TEXTFILE_DENIED,
                           kSavePathTooLong}) {
    DocFile_FormatSaveError(text, sizeof(text), "p", "d", s);
    reasons.insert(text);
  }
  EXPECT_EQ(9u, reasons.size());
  // A long path is cut between characters, never inside one.
  std::string path(3000, 'a');
  path[kFileMessageSize - 2] = '\x82';
  int32_t n = DocFile_FormatSaveError(text, sizeof(text), path.c_str(), "d", TEXTFILE_OK);
  EXPECT_EQ(kFileMessageSize - 2, n);
}

TEST(DocFile, LoadStatusesBecomeReasons) {
  EXPECT_EQ(LOADERR_NOT_FOUND, DocFile_LoadErrorOf(TEXTFILE_OPEN_FAILED, false, false));
  EXPECT_EQ(LOADERR_FOLDER, DocFile_LoadErrorOf(TEXTFILE_OPEN_FAILED, true, true));
  EXPECT_EQ(LOADERR_OPEN_FAILED, DocFile_LoadErrorOf(TEXTFILE_OPEN_FAILED, true, false));
  EXPECT_EQ(LOADERR_TOO_LARGE, DocFile_LoadErrorOf(TEXTFILE_TOO_LARGE, true, false));
  EXPECT_EQ(LOADERR_NO_MEMORY, DocFile_LoadErrorOf(TEXTFILE_NO_MEMORY, true, false));
  EXPECT_EQ(LOADERR_READ_FAILED, DocFile_LoadErrorOf(TEXTFILE_READ_FAILED, true, false));
}

TEST(DocFile, InsertedFilesAreReadWholeAsBytes) {
  TestFolder dir;
  const std::string bytes("a\rb\nc\r\n\0\x1a\x82\xa0", 11);
  { std::ofstream(dir / "in.txt", std::ios::binary) << bytes; }
  char* got = nullptr;
  int32_t n = -1;
  ASSERT_EQ(LOADERR_NONE, DocFile_ReadAll((dir / "in.txt").c_str(), &got, &n));
  EXPECT_EQ(bytes, std::string(got, static_cast<size_t>(n)));
  Mem_Free(got);
  { std::ofstream(dir / "empty.txt", std::ios::binary); }
  ASSERT_EQ(LOADERR_NONE, DocFile_ReadAll((dir / "empty.txt").c_str(), &got, &n));
  EXPECT_EQ(nullptr, got);
  EXPECT_EQ(0, n);
  EXPECT_EQ(LOADERR_NOT_FOUND, DocFile_ReadAll((dir / "missing.txt").c_str(), &got, &n));
  EXPECT_EQ(LOADERR_FOLDER, DocFile_ReadAll(dir.path.c_str(), &got, &n));
}

TEST(DocFile, InsertingRefusesWhatTheDocumentCouldNeverHold) {
  TestFolder dir;
  std::string path = dir / "huge.txt";
  { std::ofstream(path, std::ios::binary); }
  std::filesystem::resize_file(path, std::uintmax_t(1) << 31);  // 2 GiB, sparse
  char* got = nullptr;
  int32_t n = 0;
  long before = Mem_LiveBlocks();
  EXPECT_EQ(LOADERR_TOO_LARGE, DocFile_ReadAll(path.c_str(), &got, &n));
  EXPECT_EQ(nullptr, got);
  EXPECT_EQ(before, Mem_LiveBlocks());
}

TEST(DocFile, InsertingReportsReadFaults) {
  TestFolder dir;
  { std::ofstream(dir / "in.txt", std::ios::binary) << "text"; }
  // The calls in order: query, open, size, read, close.
  for (long failAt = 0; failAt < 4; ++failAt) {
    FaultFiles faults(failAt, FILEERR_IO);
    char* got = nullptr;
    int32_t n = 0;
    EXPECT_EQ(LOADERR_READ_FAILED, DocFile_ReadAll((dir / "in.txt").c_str(), &got, &n)) << "call " << failAt;
    EXPECT_EQ(nullptr, got);
    long opened = faults.CountOf("open") - (failAt == 1 ? 1 : 0);
    EXPECT_EQ(opened, faults.CountOf("close")) << "a file opened is closed, call " << failAt;
  }
  FaultFiles denied(0, FILEERR_DENIED);
  char* got = nullptr;
  int32_t n = 0;
  EXPECT_EQ(LOADERR_OPEN_FAILED, DocFile_ReadAll((dir / "in.txt").c_str(), &got, &n));
  FaultFiles noMemory;
  Mem_FailAfter(0);
  EXPECT_EQ(LOADERR_NO_MEMORY, DocFile_ReadAll((dir / "in.txt").c_str(), &got, &n));
  Mem_ClearFault();
}

}  // namespace
