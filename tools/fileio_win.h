// The Win32 file API behind the file seam (tools/fileio.h): CreateFileA,
// ReadFile, WriteFile, FlushFileBuffers, GetFileSizeEx, GetFileAttributesA,
// DeleteFileA, and ReplaceFileA to put a saved file in place of the old one
// (MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH when
// there is no old one). The program puts it in force at start:
//   FileIo_SetMethods(FileWin_GetMethods());
#pragma once

#include "tools/fileio.h"
#include "tools/platform.h"

const FileMethods* FileWin_GetMethods();

// What a Win32 error code means to the seam.
FileError FileWin_ErrorOf(DWORD dwError);
