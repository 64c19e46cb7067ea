#include "tools/fileio_win.h"

#include <cstdio>

namespace {

HANDLE ToHandle(FileHandle* file) { return reinterpret_cast<HANDLE>(file); }

// A failed open of a folder reports access denied; the attributes tell why.
FileError OpenError(const char* path) {
  const DWORD dwError = GetLastError();
  const DWORD dwAttributes = GetFileAttributesA(path);
  if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) return FILEERR_IS_FOLDER;
  return FileWin_ErrorOf(dwError);
}

// Readers share the file with writers (another editor may hold it open); a new
// file is shared with nobody until it is complete.
FileError WinOpen(void*, const char* path, FileOpenMode mode, FileHandle** ppFile) {
  *ppFile = nullptr;
  HANDLE hFile;
  if (mode == FILEOPEN_READ) {
    hFile = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  } else if (mode == FILEOPEN_CREATE_NEW) {
    hFile = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  } else if (mode == FILEOPEN_APPEND) {
    // Write access as a whole (not only appending), as flushing asks for it.
    hFile = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER zero = {};
    if (hFile != INVALID_HANDLE_VALUE && !SetFilePointerEx(hFile, zero, nullptr, FILE_END)) {
      CloseHandle(hFile);
      return FILEERR_IO;
    }
  } else {
    hFile = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (hFile == INVALID_HANDLE_VALUE) return OpenError(path);
  *ppFile = reinterpret_cast<FileHandle*>(hFile);
  return FILEERR_NONE;
}

int32_t WinRead(void*, FileHandle* file, char* buffer, int32_t size) {
  DWORD dwRead = 0;
  if (ReadFile(ToHandle(file), buffer, static_cast<DWORD>(size), &dwRead, nullptr)) return static_cast<int32_t>(dwRead);
  return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;  // a pipe's writer has finished
}

bool WinWrite(void*, FileHandle* file, const char* data, int32_t size) {
  while (size > 0) {
    DWORD dwWritten = 0;
    if (!WriteFile(ToHandle(file), data, static_cast<DWORD>(size), &dwWritten, nullptr) || dwWritten == 0) {
      return false;
    }
    data += dwWritten;
    size -= static_cast<int32_t>(dwWritten);
  }
  return true;
}

bool IsDiskFile(FileHandle* file) { return GetFileType(ToHandle(file)) == FILE_TYPE_DISK; }

bool WinFlush(void*, FileHandle* file) { return !IsDiskFile(file) || FlushFileBuffers(ToHandle(file)); }

bool WinClose(void*, FileHandle* file) { return CloseHandle(ToHandle(file)) != 0; }

bool WinSize(void*, FileHandle* file, int64_t* pSize) {
  *pSize = 0;
  if (!IsDiskFile(file)) return true;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(ToHandle(file), &size)) return false;
  *pSize = size.QuadPart;
  return true;
}

int64_t Join(DWORD dwHigh, DWORD dwLow) { return int64_t((uint64_t(dwHigh) << 32) | dwLow); }

FileError WinQuery(void*, const char* path, FileInfo* pInfo) {
  pInfo->kind = FILEKIND_NONE;
  pInfo->bReadOnly = false;
  pInfo->nSize = 0;
  pInfo->nWriteTime = 0;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) {
    const FileError error = FileWin_ErrorOf(GetLastError());
    return error == FILEERR_NOT_FOUND ? FILEERR_NONE : error;
  }
  const DWORD dwAttributes = data.dwFileAttributes;
  pInfo->kind = (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FILEKIND_FOLDER : FILEKIND_FILE;
  pInfo->bReadOnly = (dwAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (pInfo->kind == FILEKIND_FILE) pInfo->nSize = Join(data.nFileSizeHigh, data.nFileSizeLow);
  pInfo->nWriteTime = Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
  return FILEERR_NONE;
}

bool WinRemove(void*, const char* path) { return DeleteFileA(path) != 0; }

bool MoveInPlace(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// ReplaceFileA could not take the old file away: another program holding it
// open without sharing it is the common cause; otherwise it is refused.
FileError WhyNotReplaced(const char* to) {
  HANDLE hFile = CreateFileA(to, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return FileWin_ErrorOf(GetLastError());
  CloseHandle(hFile);
  return FILEERR_DENIED;
}

// The attributes a user gives a file, which the saved file keeps.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// What ReplaceFileA's failure left: the old file either keeps its name, or
// (when the new one could not move in after it stepped aside) comes back from
// the backup. A backup beside a whole old file is only a copy.
FileError AfterFailedReplace(DWORD dwError, const char* to, const char* backup) {
  if (dwError == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) MoveInPlace(backup, to);
  if (GetFileAttributesA(to) != INVALID_FILE_ATTRIBUTES) DeleteFileA(backup);
  switch (dwError) {
    case ERROR_UNABLE_TO_REMOVE_REPLACED: return WhyNotReplaced(to);
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: return FILEERR_IO;
    default: return FileWin_ErrorOf(dwError);
  }
}

// ReplaceFileA puts the new file in the old one's place in one step, keeping
// its security and streams; the old file steps aside as a backup that is
// removed afterwards. The attributes are put on the new file once more, as not
// every implementation of ReplaceFileA merges them. Without an old file there
// is nothing to keep: the new one moves in.
FileError WinReplace(void*, const char* from, const char* to) {
  const DWORD dwOld = GetFileAttributesA(to);
  if (dwOld == INVALID_FILE_ATTRIBUTES) {
    const FileError error = FileWin_ErrorOf(GetLastError());
    if (error != FILEERR_NOT_FOUND) return error;
    return MoveInPlace(from, to) ? FILEERR_NONE : FileWin_ErrorOf(GetLastError());
  }
  char backup[MAX_PATH + 8];
  if (std::snprintf(backup, sizeof(backup), "%s.old", from) >= static_cast<int>(sizeof(backup))) return FILEERR_IO;
  if (!ReplaceFileA(to, from, backup, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    return AfterFailedReplace(GetLastError(), to, backup);
  }
  DeleteFileA(backup);
  const DWORD dwNew = GetFileAttributesA(to);
  if (dwNew != INVALID_FILE_ATTRIBUTES && (dwNew & kKeptAttributes) != (dwOld & kKeptAttributes)) {
    const DWORD dwSet = (dwNew & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_TEMPORARY)) | (dwOld & kKeptAttributes);
    SetFileAttributesA(to, dwSet ? dwSet : FILE_ATTRIBUTE_NORMAL);
  }
  return FILEERR_NONE;
}

const FileMethods kWinMethods = {
    nullptr, WinOpen, WinRead, WinWrite, WinFlush, WinClose, WinSize, WinQuery, WinRemove, WinReplace,
};

}  // namespace

const FileMethods* FileWin_GetMethods() { return &kWinMethods; }

FileError FileWin_ErrorOf(DWORD dwError) {
  switch (dwError) {
    case ERROR_SUCCESS: return FILEERR_NONE;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_FILENAME_EXCED_RANGE: return FILEERR_NOT_FOUND;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return FILEERR_EXISTS;
    case ERROR_DIRECTORY: return FILEERR_IS_FOLDER;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD: return FILEERR_DENIED;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return FILEERR_LOCKED;
    default: return FILEERR_IO;
  }
}
