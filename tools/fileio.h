// The file seam: every file call of the core (open, read, write, flush, close,
// size, what a path names, remove, replace) goes through one record of function
// pointers, as painting goes through the drawing seam. The process has one
// record in force: the C runtime's by default (binary mode always), which the
// program replaces with the Win32 file API at start (tools/fileio_win.h), and
// tests with one that fails any chosen call.
//
// A process-wide record, like the debug log's sink, because the files are
// reached from deep inside the core (the editor body's load and save, the key
// file) through interfaces the windows already call; handing a record down
// through each of them would change every one for the sake of the tests.
#pragma once

#include <cstdint>

#include "tools/stream.h"

// Path buffers: a path has at most kPathMax bytes (what the system's file
// functions take), the buffers one more for the terminator and one to spare.
constexpr int32_t kPathMax = 259;
constexpr int32_t kPathBufferSize = 261;

// An open file; what it is belongs to the implementation that opened it.
struct FileHandle;

enum FileOpenMode : int32_t {
  FILEOPEN_READ,        // an existing file, shared with readers and writers
  FILEOPEN_CREATE_NEW,  // a new file for writing; FILEERR_EXISTS when the name is taken
  FILEOPEN_WRITE_OVER,  // an existing device or pipe, written in place (it has no bytes to keep)
  FILEOPEN_APPEND,      // an existing file, written behind its last byte; FILEERR_NOT_FOUND when missing
};

// Why a call failed.
enum FileError : int32_t {
  FILEERR_NONE = 0,
  FILEERR_NOT_FOUND,  // the file, or a folder on its path, does not exist
  FILEERR_EXISTS,     // a new file was asked for and the name is taken
  FILEERR_IS_FOLDER,  // the path names a folder
  FILEERR_DENIED,     // the system refuses access
  FILEERR_LOCKED,     // another program has the file open and does not share it
  FILEERR_IO,         // anything else: a device error, a full disk, a broken path
};

enum FileKind : int32_t {
  FILEKIND_NONE,    // nothing of that name
  FILEKIND_FILE,    // a regular file
  FILEKIND_FOLDER,
  FILEKIND_OTHER,   // a device or a pipe
};

struct FileInfo {
  FileKind kind;
  bool bReadOnly;      // marked read-only (on POSIX: no write permission for anyone)
  int64_t nSize;       // bytes of a file; 0 for anything else
  int64_t nWriteTime;  // last write, in 100-nanosecond units since 1601 (the system's file time); 0 when unknown
};

// Every function gets pContext first. A failed open leaves *ppFile null; close
// releases the handle whatever it returns.
struct FileMethods {
  void* pContext;
  FileError (*pfnOpen)(void* pContext, const char* path, FileOpenMode mode, FileHandle** ppFile);
  // Up to size bytes; the count, 0 at the end, -1 on an error.
  int32_t (*pfnRead)(void* pContext, FileHandle* file, char* buffer, int32_t size);
  // All size bytes, or false.
  bool (*pfnWrite)(void* pContext, FileHandle* file, const char* data, int32_t size);
  // What was written reaches the disk, or false.
  bool (*pfnFlush)(void* pContext, FileHandle* file);
  // False when something written before could not be stored after all.
  bool (*pfnClose)(void* pContext, FileHandle* file);
  // Bytes in the file; 0 for a device or a pipe.
  bool (*pfnSize)(void* pContext, FileHandle* file, int64_t* pSize);
  // What the path names; FILEERR_NONE with FILEKIND_NONE when nothing does.
  FileError (*pfnQuery)(void* pContext, const char* path, FileInfo* pInfo);
  bool (*pfnRemove)(void* pContext, const char* path);
  // Puts the file `from` in the place of `to`, replacing what is there in one
  // step and keeping the replaced file's attributes; nothing changes on failure.
  FileError (*pfnReplace)(void* pContext, const char* from, const char* to);
};

bool IsValidFileMethods(const FileMethods* methods);

// The C runtime's implementation (low-level binary I/O and stat).
const FileMethods* FileIo_CrtMethods();
// The record in force.
const FileMethods* FileIo_GetMethods();
// Puts methods in force (null: the C runtime's); returns the record it replaces.
// The record must stay alive while it is in force.
const FileMethods* FileIo_SetMethods(const FileMethods* methods);

// A reader over a file opened with FILEOPEN_READ through methods; both must
// outlive it.
struct FileReaderContext {
  const FileMethods* pMethods;
  FileHandle* pFile;
};
ByteReader FileIo_Reader(FileReaderContext* context, const FileMethods* methods, FileHandle* file);

// What loading or saving a file came to, for the window to turn into its message.
enum TextFileStatus : int32_t {
  TEXTFILE_OK = 0,
  TEXTFILE_OPEN_FAILED,    // load: the file cannot be opened (missing, no access, a folder);
                           // save: the path names a folder, or a folder on it does not exist
  TEXTFILE_READ_FAILED,    // load: an I/O error while reading
  TEXTFILE_WRITE_FAILED,   // save: a write, the flush, the close or the replacing failed (disk full,
                           // I/O error); the file is as it was before the save
  TEXTFILE_TOO_LARGE,      // load: the text would not fit the document's 32-bit sizes
  TEXTFILE_NO_MEMORY,
  TEXTFILE_READ_ONLY,      // save: the file is marked read-only; it is left as it is
  TEXTFILE_LOCKED,         // save: another program has the file open and does not let it be replaced
  TEXTFILE_FOLDER_DENIED,  // save: no new file may be made in the file's folder
  TEXTFILE_DENIED,         // save: the system refuses to replace the file (its permissions)
  TEXTFILE_CANCELLED,      // load or save: stopped through its progress report; a save leaves the file
                           // as it was, a load leaves nothing behind
};
