#include "app/filewatch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "tools/testfiles.h"

namespace {

FileChange ChangeOf(const FileWatch& watch, const std::string& path) {
  FileStamp now;
  EXPECT_TRUE(FileStamp_Take(path.c_str(), &now));
  return FileWatch_Compare(&watch, &now);
}

TEST(FileWatch, TellsAnotherWriteByItsSizeOrWriteTimeAndAFileThatIsGone) {
  TestFolder dir;
  const std::string path = dir / "a.txt";
  ASSERT_TRUE(TestFile_Write(path, "first"));
  FileWatch watch = {};
  FileWatch_Start(&watch, path.c_str());
  EXPECT_FALSE(watch.bDeleted);
  EXPECT_EQ(FILECHANGE_SAME, ChangeOf(watch, path));
  ASSERT_TRUE(TestFile_Write(path, "second"));
  EXPECT_EQ(FILECHANGE_CHANGED, ChangeOf(watch, path)) << "another size";
  FileWatch_Start(&watch, path.c_str());
  // The same size, written later: only the write time tells.
  ASSERT_TRUE(TestFile_Write(path, "SECOND"));
  std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(2));
  EXPECT_EQ(FILECHANGE_CHANGED, ChangeOf(watch, path)) << "another write time";
  std::filesystem::remove(path);
  EXPECT_EQ(FILECHANGE_DELETED, ChangeOf(watch, path));
  std::filesystem::create_directory(path);
  EXPECT_EQ(FILECHANGE_DELETED, ChangeOf(watch, path)) << "a folder in its place";
  // Untitled: nothing is watched.
  FileWatch_Start(&watch, nullptr);
  EXPECT_EQ(FILECHANGE_SAME, ChangeOf(watch, path));
}

TEST(FileWatch, EachChangeIsAskedAboutOnceAndASaveOverItAlwaysAsks) {
  TestFolder dir;
  const std::string path = dir / "a.txt";
  ASSERT_TRUE(TestFile_Write(path, "v1"));
  FileWatch watch = {};
  FileWatch_Start(&watch, path.c_str());
  const FileStamp v2 = {true, 3, watch.known.nWriteTime + 1};
  const FileStamp v3 = {true, 3, watch.known.nWriteTime + 2};
  const FileStamp gone = {false, 0, 0};
  EXPECT_EQ(FILEWATCH_NONE, FileWatch_Look(&watch, &watch.known, false));
  EXPECT_EQ(FILEWATCH_ASK_RELOAD, FileWatch_Look(&watch, &v2, false));
  // No: not asked again while the file stays so, modified or not.
  EXPECT_EQ(FILEWATCH_NONE, FileWatch_Look(&watch, &v2, false));
  EXPECT_EQ(FILEWATCH_NONE, FileWatch_Look(&watch, &v2, true));
  EXPECT_EQ(FILEWATCH_TELL_CHANGED, FileWatch_Look(&watch, &v3, true)) << "changed again";
  EXPECT_TRUE(FileWatch_MustAskBeforeSave(&watch, &v3)) << "however often the user was told";
  // Gone: the title says so, nothing is asked, a save writes it again.
  EXPECT_EQ(FILEWATCH_NONE, FileWatch_Look(&watch, &gone, true));
  EXPECT_TRUE(watch.bDeleted);
  EXPECT_FALSE(FileWatch_MustAskBeforeSave(&watch, &gone));
  // Back as the user was last told of it: still told; as it was loaded: as before.
  EXPECT_EQ(FILEWATCH_NONE, FileWatch_Look(&watch, &v3, false));
  EXPECT_FALSE(watch.bDeleted);
  EXPECT_FALSE(FileWatch_MustAskBeforeSave(&watch, &watch.known));
  // Asked before a save, the change is not asked about again on the next look.
  EXPECT_TRUE(FileWatch_MustAskBeforeSave(&watch, &v2));
  EXPECT_EQ(FILEWATCH_NONE, FileWatch_Look(&watch, &v2, false));
  // Saved (or reloaded): the next change is asked about again.
  ASSERT_TRUE(TestFile_Write(path, "v4"));
  FileWatch_Start(&watch, path.c_str());
  EXPECT_EQ(FILEWATCH_ASK_RELOAD, FileWatch_Look(&watch, &v2, false));
}

}  // namespace
