// The Win32 file API behind the file seam, and the safe save over it: what a
// read-only file, a file another program holds, a folder that cannot be
// written and a file not there yet each come to.
#include "tools/fileio_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/safesave.h"
#include "tools/seamcheck.h"

namespace {

const FileMethods* Win() { return FileWin_GetMethods(); }

// Every test of the Win32 layer reads and writes files through the Win32 file
// API, as Qwilpad.exe does from its start.
class WinFilesEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { FileIo_SetMethods(FileWin_GetMethods()); }
  void TearDown() override { FileIo_SetMethods(nullptr); }
};
::testing::Environment* const kWinFiles = ::testing::AddGlobalTestEnvironment(new WinFilesEnvironment);

// A folder of its own under the temporary folder, emptied and removed at the end.
struct WinFolder {
  std::string path;  // ends with a backslash
  WinFolder() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    path = std::string(temp) + "qwil_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    Clear();
    CreateDirectoryA(path.c_str(), nullptr);
  }
  ~WinFolder() {
    Clear();
    RemoveDirectoryA(path.c_str());
  }
  std::string operator/(const char* name) const { return path + name; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA((path + "*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE) return names;
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(hFind, &found));
    FindClose(hFind);
    std::sort(names.begin(), names.end());
    return names;
  }
  void Clear() const {
    for (const std::string& name : Names()) {
      SetFileAttributesA((path + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA((path + name).c_str());
    }
  }
};

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return false;
  DWORD dwWritten = 0;
  const bool ok = WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr) &&
                  dwWritten == bytes.size();
  return CloseHandle(hFile) && ok;
}

std::string ReadBytes(const std::string& path) {
  HANDLE hFile = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return "<" + std::to_string(GetLastError()) + ">";
  std::string bytes;
  char buffer[4096];
  DWORD dwRead = 0;
  while (ReadFile(hFile, buffer, sizeof(buffer), &dwRead, nullptr) && dwRead > 0) bytes.append(buffer, dwRead);
  CloseHandle(hFile);
  return bytes;
}

bool WriteHello(void*, const ByteWriter* writer) { return Stream_WriteString(writer, "hello\r\n"); }

TEST(FileWin, BytesGoThroughUnchangedAndOpenFailuresSayWhy) {
  WinFolder folder;
  const std::string path = folder / "bytes.bin";
  SeamCheck_RoundTrip(Win(), path);
  SeamCheck_AppendAndQuery(Win(), folder / "appended.bin");
  FileHandle* file = nullptr;
  EXPECT_EQ(FILEERR_EXISTS, Win()->pfnOpen(nullptr, path.c_str(), FILEOPEN_CREATE_NEW, &file));
  EXPECT_EQ(FILEERR_NOT_FOUND, Win()->pfnOpen(nullptr, (folder / "none.txt").c_str(), FILEOPEN_READ, &file));
  EXPECT_EQ(FILEERR_NOT_FOUND, Win()->pfnOpen(nullptr, (folder / "no\\x.txt").c_str(), FILEOPEN_CREATE_NEW, &file));
  EXPECT_EQ(FILEERR_IS_FOLDER, Win()->pfnOpen(nullptr, folder.path.c_str(), FILEOPEN_READ, &file));
  EXPECT_EQ(nullptr, file);

  FileInfo info = {};
  EXPECT_EQ(FILEERR_NONE, Win()->pfnQuery(nullptr, (folder / "none.txt").c_str(), &info));
  EXPECT_EQ(FILEKIND_NONE, info.kind);
  EXPECT_EQ(FILEERR_NONE, Win()->pfnQuery(nullptr, folder.path.c_str(), &info));
  EXPECT_EQ(FILEKIND_FOLDER, info.kind);
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(FILEERR_NONE, Win()->pfnQuery(nullptr, path.c_str(), &info));
  EXPECT_EQ(FILEKIND_FILE, info.kind);
  EXPECT_TRUE(info.bReadOnly);
}

TEST(FileWin, ReplacingKeepsTheTargetWholeWhenItFails) {
  WinFolder folder;
  const std::string target = folder / "target.txt";
  const std::string fresh = folder / "fresh.txt";
  ASSERT_TRUE(WriteBytes(target, "old"));
  // Nothing to put in its place: the target stays as it was.
  EXPECT_NE(FILEERR_NONE, Win()->pfnReplace(nullptr, fresh.c_str(), target.c_str()));
  EXPECT_EQ("old", ReadBytes(target));

  // Held without sharing by another program: refused as locked, nothing moves.
  ASSERT_TRUE(WriteBytes(fresh, "new"));
  HANDLE hLock = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, hLock);
  EXPECT_EQ(FILEERR_LOCKED, Win()->pfnReplace(nullptr, fresh.c_str(), target.c_str()));
  CloseHandle(hLock);
  EXPECT_EQ("old", ReadBytes(target));
  EXPECT_EQ("new", ReadBytes(fresh));

  // Replaced, with the target's attributes; into a name not there yet.
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(FILEERR_NONE, Win()->pfnReplace(nullptr, fresh.c_str(), target.c_str()));
  EXPECT_EQ("new", ReadBytes(target));
  const DWORD dwAttributes = GetFileAttributesA(target.c_str());
  EXPECT_TRUE(dwAttributes & FILE_ATTRIBUTE_HIDDEN) << std::hex << dwAttributes;
  ASSERT_TRUE(WriteBytes(fresh, "newer"));
  EXPECT_EQ(FILEERR_NONE, Win()->pfnReplace(nullptr, fresh.c_str(), (folder / "other.txt").c_str()));
  EXPECT_EQ("newer", ReadBytes(folder / "other.txt"));
  EXPECT_EQ((std::vector<std::string>{"other.txt", "target.txt"}), folder.Names());
}

TEST(FileWin, SavingARefusedFileLeavesItAsItWas) {
  WinFolder folder;
  ASSERT_EQ(Win(), FileIo_GetMethods());
  const std::string target = folder / "memo.txt";

  // Not there yet: made the same way as any other.
  EXPECT_EQ(TEXTFILE_OK, SafeSave_Write(target.c_str(), WriteHello, nullptr));
  EXPECT_EQ("hello\r\n", ReadBytes(target));

  ASSERT_TRUE(WriteBytes(target, "old"));
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(TEXTFILE_READ_ONLY, SafeSave_Write(target.c_str(), WriteHello, nullptr));
  EXPECT_EQ("old", ReadBytes(target));
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL));

  HANDLE hLock = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, hLock);
  EXPECT_EQ(TEXTFILE_LOCKED, SafeSave_Write(target.c_str(), WriteHello, nullptr));
  CloseHandle(hLock);
  EXPECT_EQ("old", ReadBytes(target));
  EXPECT_EQ(std::vector<std::string>{"memo.txt"}, folder.Names());  // the new file is gone again

  EXPECT_EQ(TEXTFILE_OPEN_FAILED, SafeSave_Write((folder / "no\\such\\memo.txt").c_str(), WriteHello, nullptr));
  EXPECT_EQ(TEXTFILE_OPEN_FAILED, SafeSave_Write(folder.path.c_str(), WriteHello, nullptr));
  EXPECT_EQ(TEXTFILE_OK, SafeSave_Write(target.c_str(), WriteHello, nullptr));
  EXPECT_EQ("hello\r\n", ReadBytes(target));
}

// A folder in which no file can be made. The read-only attribute of a folder
// does not stop new files on Windows, and Wine run by root ignores the Unix
// mode bits; the Linux kernel's own folder /sys, mapped as Z:\sys, refuses new
// files to everyone, root included, and Wine reports that as access denied.
std::string UnwritableFolder() {
  const char* const candidates[] = {"Z:\\sys\\kernel\\", "C:\\Windows\\System32\\"};
  for (const char* folder : candidates) {
    const std::string probe = std::string(folder) + "qwil_probe.txt";
    HANDLE hFile = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile != INVALID_HANDLE_VALUE) {
      CloseHandle(hFile);
      DeleteFileA(probe.c_str());
    } else if (GetLastError() == ERROR_ACCESS_DENIED) {
      return folder;
    }
  }
  return std::string();
}

TEST(FileWin, AFolderThatCannotBeWrittenHasAResultOfItsOwn) {
  ASSERT_EQ(Win(), FileIo_GetMethods());
  const std::string folder = UnwritableFolder();
  ASSERT_FALSE(folder.empty()) << "no folder here refuses new files";
  EXPECT_EQ(TEXTFILE_FOLDER_DENIED, SafeSave_Write((folder + "memo.txt").c_str(), WriteHello, nullptr)) << folder;
}

}  // namespace
