#include "tools/profile_win.h"

#include <cstring>

#include "tools/debuglog.h"
#include "tools/fileio.h"
#include "tools/profileline.h"
#include "tools/toolbase.h"

namespace {

int32_t ReadValue(void* pContext, const char* section, const char* key, const char* def, char* buffer,
                  int32_t size) {
  ProfileFile* file = static_cast<ProfileFile*>(pContext);
  if (file->szPath[0] == '\0') return String_CopyCut(buffer, size, def);
  // The system cuts a long value anywhere, also between the bytes of a
  // character: read a little more and cut between characters here.
  char value[kProfileValueSize];
  GetPrivateProfileStringA(section, key, def, value, sizeof(value), file->szPath);
  return String_CopyCut(buffer, size, value);
}

// The folder of a settings file in the user's folder exists only once something
// is written there.
void MakeFolder(ProfileFile* file) {
  file->bFolderMade = true;
  char folder[MAX_PATH + 1];
  if (!Path_GetFolder(file->szPath, folder, sizeof(folder)) || folder[0] == '\0') return;
  if (!CreateDirectoryA(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    DebugLog_Printf("%s(%d) : cannot make the folder %s (error %lu) \r\n", __FILE__, __LINE__, folder,
                    static_cast<unsigned long>(GetLastError()));
  }
}

bool WriteValue(void* pContext, const char* section, const char* key, const char* value) {
  ProfileFile* file = static_cast<ProfileFile*>(pContext);
  if (file->szPath[0] == '\0') return false;
  if (file->bMakeFolder && !file->bFolderMade) MakeFolder(file);
  if (WritePrivateProfileStringA(section, key, value, file->szPath)) return true;
  ++file->nWriteFailures;
  DebugLog_Printf("%s(%d) : cannot write [%s] %s to %s (error %lu) \r\n", __FILE__, __LINE__, section, key,
                  file->szPath, static_cast<unsigned long>(GetLastError()));
  return false;
}

// Whether the section writer would keep all that the file holds of the
// section: the reader shows neither comment lines nor a second section of the
// name, so the file itself is looked at, through the file seam.
bool WritesWhole(const char* path, const char* section) {
  const FileMethods* m = FileIo_GetMethods();
  FileHandle* handle = nullptr;
  FileError error = m->pfnOpen(m->pContext, path, FILEOPEN_READ, &handle);
  if (error == FILEERR_NOT_FOUND) return true;
  if (error != FILEERR_NONE) return false;
  FileReaderContext context;
  const bool whole = Profile_SectionWritesWhole(FileIo_Reader(&context, m, handle), section);
  m->pfnClose(m->pContext, handle);
  return whole;
}

int32_t ReadSection(void* pContext, const char* section, char* buffer, int32_t size) {
  ProfileFile* file = static_cast<ProfileFile*>(pContext);
  if (file->szPath[0] == '\0' || size < 2) {
    if (size >= 2) buffer[0] = buffer[1] = '\0';
    return 0;
  }
  if (!WritesWhole(file->szPath, section)) return -1;
  return static_cast<int32_t>(GetPrivateProfileSectionA(section, buffer, static_cast<DWORD>(size), file->szPath));
}

bool WriteSection(void* pContext, const char* section, const char* lines) {
  ProfileFile* file = static_cast<ProfileFile*>(pContext);
  if (file->szPath[0] == '\0') return false;
  if (file->bMakeFolder && !file->bFolderMade) MakeFolder(file);
  if (WritePrivateProfileSectionA(section, lines, file->szPath)) return true;
  ++file->nWriteFailures;
  DebugLog_Printf("%s(%d) : cannot write [%s] to %s (error %lu) \r\n", __FILE__, __LINE__, section, file->szPath,
                  static_cast<unsigned long>(GetLastError()));
  return false;
}

}  // namespace

bool ProfileFile_Init(ProfileFile* file, const char* path, bool bMakeFolder) {
  std::memset(file, 0, sizeof(*file));
  file->methods.pContext = file;
  file->methods.pfnRead = ReadValue;
  file->methods.pfnWrite = WriteValue;
  file->methods.pfnReadSection = ReadSection;
  file->methods.pfnWriteSection = WriteSection;
  file->bMakeFolder = bMakeFolder;
  if (!path) return true;
  if (std::strlen(path) + 1 > sizeof(file->szPath)) return false;
  std::strcpy(file->szPath, path);
  return true;
}
