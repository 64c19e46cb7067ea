#include "app/filehist_win.h"

#include "app/appdata_win.h"
#include "app/command.h"
#include "app/histmenu.h"
#include "app/loadhist.h"
#include "tools/debuglog.h"
#include "tools/history.h"
#include "tools/profilebatch.h"

namespace {

const char kPropLoadFileHistory[] = "PROP_LOADFILEHISTORY";

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

bool FileHistory_Create(AppInfo* app) {
  QWIL_ASSERT(!app->pLoadHistory);
  ProfileFile file;
  AppData_OpenProfile(app, &file);
  History* history = LoadHistory_Read(&file.methods);
  if (history && !SetPropA(app->hWnd, kPropLoadFileHistory, history)) {
    History_Destroy(history);
    history = nullptr;
  }
  app->pLoadHistory = history;
  FileHistory_RebuildMenu(app);
  return history != nullptr;
}

void FileHistory_Destroy(AppInfo* app) {
  RemovePropA(app->hWnd, kPropLoadFileHistory);
  History_Destroy(app->pLoadHistory);
  app->pLoadHistory = nullptr;
}

void FileHistory_Add(AppInfo* app, const char* path) {
  History* history = app->pLoadHistory;
  if (!history || !History_Add(history, path)) return;
  FileHistory_RebuildMenu(app);
  WriteSection(app, history);
}

void FileHistory_RebuildMenu(const AppInfo* app) {
  HMENU hPopup = GetSubMenu(GetMenu(app->hWnd), kFilePopupIndex);
  if (!hPopup) return;
  while (GetMenuItemCount(hPopup) > 0) DeleteMenu(hPopup, 0, MF_BYPOSITION);
  const History* history = app->pLoadHistory;
  const FileMenuRow* rows = Command_GetFileMenuRows();
  for (int32_t i = 0; i < kFileMenuRowCount; ++i) {
    switch (rows[i].kind) {
      case FILEMENU_ITEM: AppendMenuA(hPopup, MF_STRING, static_cast<UINT_PTR>(rows[i].id), rows[i].text); break;
      case FILEMENU_SEPARATOR: AppendMenuA(hPopup, MF_SEPARATOR, 0, nullptr); break;
      case FILEMENU_HISTORY: AppendHistory(hPopup, history); break;
    }
  }
}
