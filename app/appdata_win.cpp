#include "app/appdata_win.h"

#include <shlobj.h>

#include <cstring>

#include "dialogs/keyassign_win.h"
#include "tools/profilebatch.h"
#include "tools/toolbase.h"
#include "tools/toolsys_win.h"

namespace {

constexpr char kUserFolderName[] = "\\Qwilpad";

bool JoinPath(char* buffer, int32_t size, const char* folder, const char* name) {
  size_t nFolder = std::strlen(folder);
  size_t nName = std::strlen(name);
  if (nFolder + 1 + nName + 1 > static_cast<size_t>(size)) return false;
  std::memcpy(buffer, folder, nFolder);
  buffer[nFolder] = '\\';
  std::memcpy(buffer + nFolder + 1, name, nName + 1);
  return true;
}

void ClearPaths(AppInfo* app) {
  app->szSettingsPath[0] = '\0';
  app->szKeyFilePath[0] = '\0';
  app->bSettingsInUserFolder = 0;
}

}  // namespace

bool AppData_GetUserFolder(char* buffer, int32_t size) {
  char base[MAX_PATH + 1] = {};
  DWORD n = GetEnvironmentVariableA("APPDATA", base, sizeof(base));
  if (n == 0 || n >= sizeof(base)) {
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, base))) return false;
  }
  size_t nBase = std::strlen(base);
  if (nBase > 0 && base[nBase - 1] == '\\') base[--nBase] = '\0';
  if (nBase + sizeof(kUserFolderName) > static_cast<size_t>(size)) return false;
  std::memcpy(buffer, base, nBase);
  std::memcpy(buffer + nBase, kUserFolderName, sizeof(kUserFolderName));
  return true;
}

bool AppData_LocateFilesFor(AppInfo* app, const char* programPath, const char* userFolder) {
  ClearPaths(app);
  char besideIni[kPathBufferSize], besideKey[kPathBufferSize], programFolder[kPathBufferSize];
  if (!Path_MakeSibling(programPath, ".ini", besideIni, kPathMax + 1) ||
      !Path_MakeSibling(programPath, ".key", besideKey, kPathMax + 1) ||
      !Path_GetFolder(programPath, programFolder, sizeof(programFolder))) {
    return false;
  }
  char userIni[kPathBufferSize] = {}, userKey[kPathBufferSize] = {};
  bool hasUserFolder = userFolder && userFolder[0] != '\0' &&
                       JoinPath(userIni, kPathMax + 1, userFolder, Path_GetFileName(besideIni)) &&
                       JoinPath(userKey, kPathMax + 1, userFolder, Path_GetFileName(besideKey));
  bool userFileExists = hasUserFolder && (File_IsFile(userIni) || File_IsFile(userKey));
  bool writable = Folder_IsWritable(programFolder);
  if (hasUserFolder && AppData_ChoosePlace(userFileExists, writable) == SETTINGS_IN_USER_FOLDER) {
    std::strcpy(app->szSettingsPath, userIni);
    std::strcpy(app->szKeyFilePath, userKey);
    app->bSettingsInUserFolder = 1;
  } else {
    // Without a user's folder the program's folder is all there is, written or not.
    std::strcpy(app->szSettingsPath, besideIni);
    std::strcpy(app->szKeyFilePath, besideKey);
  }
  return true;
}

bool AppData_LocateFiles(AppInfo* app) {
  char program[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, program, sizeof(program));
  if (n == 0 || n >= sizeof(program) - 1) {
    ClearPaths(app);
    return false;
  }
  char userFolder[kPathBufferSize];
  if (!AppData_GetUserFolder(userFolder, kPathMax + 1)) userFolder[0] = '\0';
  return AppData_LocateFilesFor(app, program, userFolder);
}

void AppData_OpenProfile(const AppInfo* app, ProfileFile* file) {
  ProfileFile_Init(file, app->szSettingsPath, app->bSettingsInUserFolder != 0);
}

void AppData_Load(AppInfo* app) {
  ProfileFile file;
  AppData_OpenProfile(app, &file);
  AppData_Read(app, &file.methods);
  HACCEL table = nullptr;
  if (app->szKeyFilePath[0] != '\0') {
    table = KeyAssign_Load(&app->keys, app->szKeyFilePath);
  } else {
    KeyAssignData_SetBindings(&app->keys, nullptr, 0);
    table = KeyAssign_BuildAccelerators(nullptr, 0);
  }
  KeyAssign_ReplaceAccelerators(&app->hAccel, table);
}

bool AppData_Save(const AppInfo* app) {
  ProfileFile file;
  AppData_OpenProfile(app, &file);
  // A section at a time: the system rewrites the whole file for every write.
  ProfileBatch batch;
  ProfileBatch_Init(&batch, &file.methods);
  bool gathered = AppData_Write(app, &batch.methods);
  return ProfileBatch_Flush(&batch) && gathered;
}
