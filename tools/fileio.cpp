#include "tools/fileio.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "tools/charrule.h"
#include "tools/platform.h"

// The C runtime's low-level I/O, the same calls on POSIX and in mingw's runtime
// under their two spellings. Binary mode always: in text mode mingw's runtime
// stops reading at a 0x1A byte and turns LF into CR LF.
namespace {

#ifdef _WIN32
typedef struct _stati64 StatRecord;
// The runtime's stat does not find a folder named with a separator at its end
// (unless it is a drive's root); a two-byte character's second byte may look
// like one.
int Stat(const char* path, StatRecord* st) {
  const size_t n = std::strlen(path);
  const char* last = Char_Prev(path, path + n);
  if (n < 2 || (*last != '\\' && *last != '/') || last[-1] == ':' || n >= 1024) return _stati64(path, st);
  char folder[1024];
  std::memcpy(folder, path, n - 1);
  folder[n - 1] = '\0';
  return _stati64(folder, st);
}
inline int FileStat(int fd, StatRecord* st) { return _fstati64(fd, st); }
inline int Open(const char* path, int flags) { return _open(path, flags | _O_BINARY, _S_IREAD | _S_IWRITE); }
inline int Read(int fd, char* buffer, int32_t size) { return _read(fd, buffer, static_cast<unsigned>(size)); }
inline int Write(int fd, const char* data, int32_t size) { return _write(fd, data, static_cast<unsigned>(size)); }
inline int Sync(int fd) { return _commit(fd); }
inline int Close(int fd) { return _close(fd); }
inline int ChangeMode(const char* path, int mode) { return _chmod(path, mode); }
constexpr int kWriteBits = _S_IWRITE;
#else
typedef struct stat StatRecord;
inline int Stat(const char* path, StatRecord* st) { return stat(path, st); }
inline int FileStat(int fd, StatRecord* st) { return fstat(fd, st); }
inline int Open(const char* path, int flags) { return open(path, flags, 0666); }
inline ssize_t Read(int fd, char* buffer, int32_t size) { return read(fd, buffer, static_cast<size_t>(size)); }
inline ssize_t Write(int fd, const char* data, int32_t size) { return write(fd, data, static_cast<size_t>(size)); }
inline int Sync(int fd) { return fsync(fd); }
inline int Close(int fd) { return close(fd); }
inline int ChangeMode(const char* path, int mode) { return chmod(path, static_cast<mode_t>(mode)); }
constexpr int kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
#endif

// A handle is the descriptor plus one, so that no descriptor is a null handle
// and opening allocates nothing.
FileHandle* ToHandle(int fd) { return reinterpret_cast<FileHandle*>(static_cast<intptr_t>(fd) + 1); }
int ToDescriptor(FileHandle* file) { return static_cast<int>(reinterpret_cast<intptr_t>(file) - 1); }

FileError FromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG: return FILEERR_NOT_FOUND;
    case EEXIST: return FILEERR_EXISTS;
    case EISDIR: return FILEERR_IS_FOLDER;
    case EACCES:
    case EPERM:
    case EROFS: return FILEERR_DENIED;
    default: return FILEERR_IO;
  }
}

FileKind KindOf(const StatRecord& st) {
  if ((st.st_mode & S_IFMT) == S_IFREG) return FILEKIND_FILE;
  if ((st.st_mode & S_IFMT) == S_IFDIR) return FILEKIND_FOLDER;
  return FILEKIND_OTHER;
}

int OpenFlags(FileOpenMode mode) {
  switch (mode) {
    case FILEOPEN_READ: return O_RDONLY;
    case FILEOPEN_CREATE_NEW: return O_WRONLY | O_CREAT | O_EXCL;
    case FILEOPEN_APPEND: return O_WRONLY | O_APPEND;
    default: return O_WRONLY;
  }
}

FileError CrtOpen(void*, const char* path, FileOpenMode mode, FileHandle** ppFile) {
  *ppFile = nullptr;
  const int fd = Open(path, OpenFlags(mode));
  if (fd < 0) return FromErrno(errno);
  // POSIX opens a folder for reading; what it holds is no text.
  StatRecord st;
  if (mode == FILEOPEN_READ && FileStat(fd, &st) == 0 && KindOf(st) == FILEKIND_FOLDER) {
    Close(fd);
    return FILEERR_IS_FOLDER;
  }
  *ppFile = ToHandle(fd);
  return FILEERR_NONE;
}

int32_t CrtRead(void*, FileHandle* file, char* buffer, int32_t size) {
  for (;;) {
    const auto n = Read(ToDescriptor(file), buffer, size);
    if (n >= 0) return static_cast<int32_t>(n);
    if (errno != EINTR) return -1;
  }
}

#ifdef __linux__
// A save of gigabytes would otherwise leave all of them dirty in the page cache,
// which the kernel takes ever more slowly (three times the time for 1.9 GB) and
// the closing fsync then waits for at once. Instead each window the writes
// finish is sent to the disk at once, and the one before it, on the disk by
// then, is waited for and dropped from the cache. Advice only: its errors are
// the closing fsync's to report, and what is no regular file ignores it.
constexpr off_t kWriteBehind = off_t(8) << 20;

void WriteBehind(int fd, int32_t written) {
  const off_t end = lseek(fd, 0, SEEK_CUR);
  if (end < 0 || end / kWriteBehind == (end - written) / kWriteBehind) return;
  const off_t window = (end / kWriteBehind - 1) * kWriteBehind;
  sync_file_range(fd, window, kWriteBehind, SYNC_FILE_RANGE_WRITE);
  if (window < kWriteBehind) return;
  const unsigned waitAll = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
  if (sync_file_range(fd, window - kWriteBehind, kWriteBehind, waitAll) == 0) {
    posix_fadvise(fd, window - kWriteBehind, kWriteBehind, POSIX_FADV_DONTNEED);
  }
}
#else
void WriteBehind(int, int32_t) {}
#endif

bool CrtWrite(void*, FileHandle* file, const char* data, int32_t size) {
  const int32_t whole = size;
  while (size > 0) {
    const auto n = Write(ToDescriptor(file), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<int32_t>(n);
  }
  WriteBehind(ToDescriptor(file), whole);
  return true;
}

// A device or a pipe has nothing to flush to a disk.
bool CrtFlush(void*, FileHandle* file) {
  StatRecord st;
  if (FileStat(ToDescriptor(file), &st) == 0 && KindOf(st) != FILEKIND_FILE) return true;
  return Sync(ToDescriptor(file)) == 0;
}

bool CrtClose(void*, FileHandle* file) { return Close(ToDescriptor(file)) == 0; }

bool CrtSize(void*, FileHandle* file, int64_t* pSize) {
  StatRecord st;
  if (FileStat(ToDescriptor(file), &st) != 0) return false;
  *pSize = KindOf(st) == FILEKIND_FILE ? int64_t(st.st_size) : 0;
  return true;
}

// Seconds from 1601 to 1970, the two epochs of file times.
constexpr int64_t kEpochDistance = 11644473600LL;

int64_t FileTimeOf(const StatRecord& st) {
#if defined(_WIN32)
  return (int64_t(st.st_mtime) + kEpochDistance) * 10000000;
#else
  return (int64_t(st.st_mtim.tv_sec) + kEpochDistance) * 10000000 + st.st_mtim.tv_nsec / 100;
#endif
}

FileError CrtQuery(void*, const char* path, FileInfo* pInfo) {
  pInfo->kind = FILEKIND_NONE;
  pInfo->bReadOnly = false;
  pInfo->nSize = 0;
  pInfo->nWriteTime = 0;
  StatRecord st;
  if (Stat(path, &st) != 0) {
    const FileError error = FromErrno(errno);
    return error == FILEERR_NOT_FOUND ? FILEERR_NONE : error;
  }
  pInfo->kind = KindOf(st);
  pInfo->bReadOnly = (st.st_mode & kWriteBits) == 0;
  pInfo->nSize = pInfo->kind == FILEKIND_FILE ? int64_t(st.st_size) : 0;
  pInfo->nWriteTime = FileTimeOf(st);
  return FILEERR_NONE;
}

bool CrtRemove(void*, const char* path) { return std::remove(path) == 0; }

#ifdef _WIN32
// The runtime's rename refuses a name that exists, so the old file steps aside
// under a name of its own first and comes back when the new one cannot go in.
FileError Rename(const char* from, const char* to) {
  if (std::rename(from, to) == 0) return FILEERR_NONE;
  const int refused = errno;
  StatRecord st;
  if (Stat(to, &st) != 0) return FromErrno(refused);
  char aside[300];
  if (std::snprintf(aside, sizeof(aside), "%s.qwil-old", to) >= static_cast<int>(sizeof(aside))) return FILEERR_IO;
  if (std::rename(to, aside) != 0) return FromErrno(errno);
  if (std::rename(from, to) != 0) {
    const FileError error = FromErrno(errno);
    std::rename(aside, to);
    return error;
  }
  std::remove(aside);
  return FILEERR_NONE;
}
#else
FileError Rename(const char* from, const char* to) {
  return std::rename(from, to) == 0 ? FILEERR_NONE : FromErrno(errno);
}
#endif

// The new file takes the permissions of the one it replaces.
FileError CrtReplace(void*, const char* from, const char* to) {
  StatRecord st;
  if (Stat(to, &st) == 0) ChangeMode(from, static_cast<int>(st.st_mode & 07777));
  return Rename(from, to);
}

const FileMethods kCrtMethods = {
    nullptr, CrtOpen, CrtRead, CrtWrite, CrtFlush, CrtClose, CrtSize, CrtQuery, CrtRemove, CrtReplace,
};

const FileMethods* g_methods = &kCrtMethods;

int32_t ReaderRead(void* context, char* buffer, int32_t size) {
  const FileReaderContext* c = static_cast<const FileReaderContext*>(context);
  return c->pMethods->pfnRead(c->pMethods->pContext, c->pFile, buffer, size);
}

}  // namespace

bool IsValidFileMethods(const FileMethods* m) {
  return m && m->pfnOpen && m->pfnRead && m->pfnWrite && m->pfnFlush && m->pfnClose && m->pfnSize && m->pfnQuery &&
         m->pfnRemove && m->pfnReplace;
}

const FileMethods* FileIo_CrtMethods() { return &kCrtMethods; }

const FileMethods* FileIo_GetMethods() { return g_methods; }

const FileMethods* FileIo_SetMethods(const FileMethods* methods) {
  QWIL_ASSERT(!methods || IsValidFileMethods(methods));
  const FileMethods* old = g_methods;
  g_methods = methods ? methods : &kCrtMethods;
  return old;
}

ByteReader FileIo_Reader(FileReaderContext* context, const FileMethods* methods, FileHandle* file) {
  context->pMethods = methods;
  context->pFile = file;
  return ByteReader{ReaderRead, context};
}
