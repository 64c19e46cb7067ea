#include "app/filehist_win.h"

#include <cstring>

#include "app/appdata_win.h"
#include "app/command.h"
#include "app/docfile_win.h"
#include "app/loadhist.h"
#include "app/qwilwind_win.h"
#include "tools/debuglog.h"
#include "tools/profilebatch.h"
#include "tools/toolsys_win.h"

const char kPropLoadFileHistory[] = "PROP_LOADFILEHISTORY";

namespace {

void AppendHistory(HMENU hPopup, const History* history) {
  int32_t n = history ? History_GetCount(history) : 0;
  if (n == 0) return;
  AppendMenuA(hPopup, MF_SEPARATOR, 0, nullptr);
  for (int32_t i = 0; i < n; ++i) {
    char text[kFileMenuTextSize];
    LoadHistory_FormatMenuText(History_GetEntry(history, i), i, text, sizeof(text));
    AppendMenuA(hPopup, MF_STRING, static_cast<UINT_PTR>(kLoadHistoryFirstId + i), text);
  }
}

void WriteSection(const AppInfo* app, const History* history) {
  ProfileFile file;
  AppData_OpenProfile(app, &file);
  ProfileBatch batch;
  ProfileBatch_Init(&batch, &file.methods);
  bool gathered = LoadHistory_Write(history, &batch.methods);
  if (!ProfileBatch_Flush(&batch) || !gathered) QWIL_LOG("the load history could not be written");
}

}  // namespace

History* FileHistory_Get(HWND hWnd) { return static_cast<History*>(GetPropA(hWnd, kPropLoadFileHistory)); }

bool FileHistory_Create(AppInfo* app) {
  ProfileFile file;
  AppData_OpenProfile(app, &file);
  History* history = LoadHistory_Read(&file.methods);
  if (history && !SetPropA(app->hWnd, kPropLoadFileHistory, history)) {
    History_Destroy(history);
    history = nullptr;
  }
  FileHistory_RebuildMenu(app);
  return history != nullptr;
}

void FileHistory_Destroy(HWND hWnd) {
  History* history = static_cast<History*>(RemovePropA(hWnd, kPropLoadFileHistory));
  History_Destroy(history);
}

void FileHistory_Add(AppInfo* app, const char* path) {
  History* history = FileHistory_Get(app->hWnd);
  if (!history || !History_Add(history, path)) return;
  FileHistory_RebuildMenu(app);
  WriteSection(app, history);
}

void FileHistory_RebuildMenu(const AppInfo* app) {
  HMENU hPopup = GetSubMenu(GetMenu(app->hWnd), kFilePopupIndex);
  if (!hPopup) return;
  while (GetMenuItemCount(hPopup) > 0) DeleteMenu(hPopup, 0, MF_BYPOSITION);
  const History* history = FileHistory_Get(app->hWnd);
  const FileMenuRow* rows = Command_GetFileMenuRows();
  for (int32_t i = 0; i < kFileMenuRowCount; ++i) {
    switch (rows[i].kind) {
      case FILEMENU_ITEM: AppendMenuA(hPopup, MF_STRING, static_cast<UINT_PTR>(rows[i].id), rows[i].text); break;
      case FILEMENU_SEPARATOR: AppendMenuA(hPopup, MF_SEPARATOR, 0, nullptr); break;
      case FILEMENU_HISTORY: AppendHistory(hPopup, history); break;
    }
  }
}

LRESULT FileHistory_OpenEntry(AppInfo* app, int32_t index) {
  // An id without an entry (from a key binding) opens nothing: no question.
  const History* history = FileHistory_Get(app->hWnd);
  const char* entry = history ? History_GetEntry(history, index) : nullptr;
  if (!entry) return 0;
  // The question may save the document under a new name, which moves the
  // entries; so may opening.
  char path[kPathBufferSize];
  std::strcpy(path, entry);
  if (!Document_AskToSave(app)) return 0;
  if (File_IsFile(path)) return Document_Open(app, path) ? 1 : 0;
  Document_ShowLoadError(app, path, File_Exists(path) ? LOADERR_FOLDER : LOADERR_NOT_FOUND);
  return 0;
}
