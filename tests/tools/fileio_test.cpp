#include "tools/fileio.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "tools/faultfiles.h"
#include "tools/safesave.h"
#include "tools/seamcheck.h"
#include "tools/testfiles.h"

namespace {

const FileMethods* Crt() { return FileIo_CrtMethods(); }

FileInfo Query(const std::string& path, FileError* pError = nullptr) {
  FileInfo info = {FILEKIND_OTHER, true, -1, -1};
  FileError error = Crt()->pfnQuery(nullptr, path.c_str(), &info);
  if (pError) *pError = error;
  return info;
}

TEST(FileStreams, WriteThenReadBytesUnchanged) {
  TestFolder folder;
  SeamCheck_RoundTrip(Crt(), folder / "qwil_stream_test.bin");
  SeamCheck_AppendAndQuery(Crt(), folder / "appended.bin");
}

TEST(FileIo, TheRuntimeSaysWhatAPathNamesAndWhyAnOpenFails) {
  TestFolder folder;
  const std::string file = folder / "a.txt";
  ASSERT_TRUE(TestFile_Write(file, "abc"));
  FileError error = FILEERR_IO;
  EXPECT_EQ(FILEKIND_NONE, Query(folder / "none.txt", &error).kind);
  EXPECT_EQ(FILEERR_NONE, error);
  EXPECT_EQ(FILEKIND_FILE, Query(file).kind);
  EXPECT_FALSE(Query(file).bReadOnly);
  EXPECT_EQ(FILEKIND_FOLDER, Query(folder.path).kind);
#ifndef _WIN32
  EXPECT_EQ(FILEKIND_OTHER, Query("/dev/null").kind);
  ASSERT_EQ(0, chmod(file.c_str(), 0444));
  EXPECT_TRUE(Query(file).bReadOnly);
#endif

  FileHandle* handle = nullptr;
  EXPECT_EQ(FILEERR_EXISTS, Crt()->pfnOpen(nullptr, file.c_str(), FILEOPEN_CREATE_NEW, &handle));
  EXPECT_EQ(FILEERR_NOT_FOUND, Crt()->pfnOpen(nullptr, (folder / "none.txt").c_str(), FILEOPEN_READ, &handle));
  EXPECT_EQ(FILEERR_NOT_FOUND,
            Crt()->pfnOpen(nullptr, (folder / "no/such.txt").c_str(), FILEOPEN_CREATE_NEW, &handle));
  const FileError opened = Crt()->pfnOpen(nullptr, folder.path.c_str(), FILEOPEN_READ, &handle);
  EXPECT_TRUE(opened == FILEERR_IS_FOLDER || opened == FILEERR_DENIED) << opened;
  EXPECT_EQ(nullptr, handle);
}

TEST(FileIo, ReplacingPutsTheNewFileInPlaceOrChangesNothing) {
  TestFolder folder;
  const std::string target = folder / "target.txt";
  const std::string fresh = folder / "fresh.txt";
  ASSERT_TRUE(TestFile_Write(target, "old"));
  ASSERT_TRUE(TestFile_Write(fresh, "new"));
#ifndef _WIN32
  ASSERT_EQ(0, chmod(target.c_str(), 0640));
#endif
  EXPECT_EQ(FILEERR_NONE, Crt()->pfnReplace(nullptr, fresh.c_str(), target.c_str()));
  EXPECT_EQ("new", TestFile_Read(target));
  EXPECT_EQ("<missing>", TestFile_Read(fresh));
#ifndef _WIN32
  struct stat st;
  ASSERT_EQ(0, stat(target.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777);  // the replaced file's permissions
#endif
  // Into a name that is not there yet; and from a file that is missing.
  ASSERT_TRUE(TestFile_Write(fresh, "newer"));
  EXPECT_EQ(FILEERR_NONE, Crt()->pfnReplace(nullptr, fresh.c_str(), (folder / "other.txt").c_str()));
  EXPECT_EQ("newer", TestFile_Read(folder / "other.txt"));
  EXPECT_EQ(FILEERR_NOT_FOUND, Crt()->pfnReplace(nullptr, fresh.c_str(), target.c_str()));
  EXPECT_EQ("new", TestFile_Read(target));
  EXPECT_EQ((std::vector<std::string>{"other.txt", "target.txt"}), folder.Names());
}

TEST(FileIo, TheSeamInForceCanBeReplacedAndPutBack) {
  EXPECT_EQ(Crt(), FileIo_GetMethods());
  {
    FaultFiles faults;
    EXPECT_EQ(&faults.methods, FileIo_GetMethods());
    EXPECT_EQ(Crt(), faults.pPrevious);
    EXPECT_TRUE(IsValidFileMethods(FileIo_GetMethods()));
  }
  EXPECT_EQ(Crt(), FileIo_GetMethods());
  EXPECT_EQ(Crt(), FileIo_SetMethods(nullptr));
  EXPECT_EQ(Crt(), FileIo_GetMethods());
}

// The new file's name: the target's folder, found by characters, since the
// second byte of a two-byte character may be a backslash (表 is 95 5C).
TEST(SafeSave, TheNewFileGoesIntoTheTargetsFolder) {
  char buffer[64];
  const struct {
    const char* path;
    const char* temp;
  } cases[] = {
      {"C:\\docs\\memo.txt", "C:\\docs\\~qwil0000.tmp"},
      {"C:\\docs\\表.txt", "C:\\docs\\~qwil0000.tmp"},
      {"C:\\表\\ソ.txt", "C:\\表\\~qwil0000.tmp"},
      {"/home/u/a.txt", "/home/u/~qwil0000.tmp"},
      {"memo.txt", "~qwil0000.tmp"},
      {"D:memo.txt", "D:~qwil0000.tmp"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SafeSave_TempPath(c.path, 0, buffer, sizeof(buffer))) << c.path;
    EXPECT_STREQ(c.temp, buffer) << c.path;
  }
  ASSERT_TRUE(SafeSave_TempPath("a/b", 0x2a, buffer, sizeof(buffer)));
  EXPECT_STREQ("a/~qwil002a.tmp", buffer);
  EXPECT_FALSE(SafeSave_TempPath("folder/x", 0, buffer, 16));  // 7 + 13 bytes and the terminator
}

bool WriteHello(void*, const ByteWriter* writer) { return Stream_WriteString(writer, "hello"); }

// Each refusal of the system has its own result, and leaves the file whole.
TEST(SafeSave, RefusalsHaveResultsOfTheirOwn) {
  TestFolder folder;
  const std::string target = folder / "t.txt";
  const struct {
    const char* call;
    FileError error;
    TextFileStatus status;
  } cases[] = {
      {"open", FILEERR_DENIED, TEXTFILE_FOLDER_DENIED},
      {"open", FILEERR_NOT_FOUND, TEXTFILE_OPEN_FAILED},
      {"open", FILEERR_IO, TEXTFILE_WRITE_FAILED},
      {"replace", FILEERR_LOCKED, TEXTFILE_LOCKED},
      {"replace", FILEERR_DENIED, TEXTFILE_DENIED},
      {"replace", FILEERR_IO, TEXTFILE_WRITE_FAILED},
      {"query", FILEERR_DENIED, TEXTFILE_DENIED},
      {"query", FILEERR_IO, TEXTFILE_WRITE_FAILED},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(TestFile_Write(target, "old"));
    long at = 0;
    {
      FaultFiles count;
      ASSERT_EQ(TEXTFILE_OK, SafeSave_Write(target.c_str(), WriteHello, nullptr));
      while (count.calls[static_cast<size_t>(at)] != c.call) ++at;
    }
    ASSERT_TRUE(TestFile_Write(target, "old"));
    FaultFiles faults(at, c.error);
    EXPECT_EQ(c.status, SafeSave_Write(target.c_str(), WriteHello, nullptr)) << c.call << " " << c.error;
    EXPECT_EQ("old", TestFile_Read(target));
    EXPECT_EQ(std::vector<std::string>{"t.txt"}, folder.Names());
  }
}

TEST(SafeSave, ReadOnlyFoldersAndDevices) {
  TestFolder folder;
  const std::string target = folder / "t.txt";
  ASSERT_TRUE(TestFile_Write(target, "old"));
  EXPECT_EQ(TEXTFILE_OPEN_FAILED, SafeSave_Write(folder.path.c_str(), WriteHello, nullptr));
#ifndef _WIN32
  ASSERT_EQ(0, chmod(target.c_str(), 0444));
  {
    FaultFiles faults;
    EXPECT_EQ(TEXTFILE_READ_ONLY, SafeSave_Write(target.c_str(), WriteHello, nullptr));
    EXPECT_EQ(std::vector<std::string>{"query"}, faults.calls);  // refused before anything is written
  }
  EXPECT_EQ("old", TestFile_Read(target));
  // A device has no bytes to keep: written in place, every write checked.
  EXPECT_EQ(TEXTFILE_OK, SafeSave_Write("/dev/null", WriteHello, nullptr));
  EXPECT_EQ(TEXTFILE_WRITE_FAILED, SafeSave_Write("/dev/full", WriteHello, nullptr));
#endif
  EXPECT_EQ(std::vector<std::string>{"t.txt"}, folder.Names());
}

// Pieces of every size, some longer than the cache's write-behind window, over
// several windows: the file holds every byte in order.
bool WriteManyWindows(void* context, const ByteWriter* writer) {
  std::string* expected = static_cast<std::string*>(context);
  std::string piece;
  for (int32_t i = 0; expected->size() < (27u << 20); ++i) {
    piece.assign(i % 7 == 6 ? (9u << 20) + i : 1u + (i * 7919u) % 100000u, static_cast<char>('a' + i % 26));
    if (!Stream_Write(writer, piece.data(), static_cast<int32_t>(piece.size()))) return false;
    *expected += piece;
  }
  return true;
}

TEST(SafeSave, ALongSaveKeepsEveryByte) {
  TestFolder folder;
  const std::string target = folder / "long.txt";
  std::string expected;
  ASSERT_EQ(TEXTFILE_OK, SafeSave_Write(target.c_str(), WriteManyWindows, &expected));
  EXPECT_TRUE(TestFile_Read(target) == expected);
#ifndef _WIN32
  expected.clear();  // a device takes it all in place
  EXPECT_EQ(TEXTFILE_OK, SafeSave_Write("/dev/null", WriteManyWindows, &expected));
#endif
}

// Taken names are passed over; when all are taken the folder is full of them.
TEST(SafeSave, TakenNamesArePassedOver) {
  TestFolder folder;
  const std::string target = folder / "t.txt";
  char temp[256];
  for (int32_t n = 0; n < 3; ++n) {
    ASSERT_TRUE(SafeSave_TempPath(target.c_str(), n, temp, sizeof(temp)));
    ASSERT_TRUE(TestFile_Write(temp, "left behind"));
  }
  EXPECT_EQ(TEXTFILE_OK, SafeSave_Write(target.c_str(), WriteHello, nullptr));
  EXPECT_EQ("hello", TestFile_Read(target));
  EXPECT_EQ(4u, folder.Names().size());
  for (int32_t n = 3; n < 64; ++n) {
    ASSERT_TRUE(SafeSave_TempPath(target.c_str(), n, temp, sizeof(temp)));
    ASSERT_TRUE(TestFile_Write(temp, "left behind"));
  }
  EXPECT_EQ(TEXTFILE_WRITE_FAILED, SafeSave_Write(target.c_str(), WriteHello, nullptr));
  EXPECT_EQ("hello", TestFile_Read(target));
}

}  // namespace
