// The profile seam (tools/profile.h) over the Win32 profile functions
// (GetPrivateProfileStringA, WritePrivateProfileStringA, and a whole section at
// once with GetPrivateProfileSectionA, WritePrivateProfileSectionA) on one INI file.
#pragma once

#include "tools/platform.h"
#include "tools/profile.h"

struct ProfileFile {
  char szPath[MAX_PATH + 1];  // the INI file; empty: reads give the defaults, writes fail
  bool bMakeFolder;           // the file's folder is made before the first write
  bool bFolderMade;
  int32_t nWriteFailures;     // writes the system refused so far (each one logged)
  ProfileMethods methods;     // pContext is this record
};

// The record for path (null or empty: no file). bMakeFolder: the folder may not
// exist yet and is made (one level) before the first write. The record must
// stay where it is while its methods are used. False, record unusable for
// writing, when the path does not fit.
bool ProfileFile_Init(ProfileFile* file, const char* path, bool bMakeFolder);
