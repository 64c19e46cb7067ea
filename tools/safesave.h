// Saving a file so that it holds either all of the new bytes or what it held
// before. The bytes go to a new file in the same folder; every write, the
// flush and the close are checked; only then does the new file take the old
// one's place in one step, keeping its attributes where the platform does. On
// any failure the new file is removed and the old one is byte for byte as it
// was. A file that does not exist yet is made the same way. A device or a pipe
// (no bytes to keep) is written in place. All calls go through the file seam.
#pragma once

#include <cstdint>

#include "tools/fileio.h"
#include "tools/stream.h"

// Writes the file's content through writer; false when a write failed (the
// writer then fails every later write too).
typedef bool (*SaveContentProc)(void* pContext, const ByteWriter* writer);

// Saves what pfnContent writes (through a buffer, in writes of up to
// kSaveBufferSize bytes) as the file path. Returns TEXTFILE_OK, or why not:
//   TEXTFILE_OPEN_FAILED    path names a folder, or a folder on it does not exist
//   TEXTFILE_READ_ONLY      the file is marked read-only (checked before anything is written)
//   TEXTFILE_FOLDER_DENIED  no new file may be made in the folder
//   TEXTFILE_LOCKED         another program holds the file and does not let it be replaced
//   TEXTFILE_DENIED         the system refuses to replace the file
//   TEXTFILE_WRITE_FAILED   a write, the flush, the close or the replacing failed
//   TEXTFILE_NO_MEMORY
TextFileStatus SafeSave_Write(const char* path, SaveContentProc pfnContent, void* pContext);

constexpr int32_t kSaveBufferSize = 1 << 16;

// The name of the try-th new file for path: path's folder (everything up to
// its last separator, stepping over two-byte characters, whose second byte may
// be a backslash) followed by "~qwil" and four hexadecimal digits and ".tmp".
// False when it does not fit size bytes.
bool SafeSave_TempPath(const char* path, int32_t n, char* buffer, int32_t size);
