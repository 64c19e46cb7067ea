#include "app/appbusy_win.h"

#include "app/statusbar_win.h"
#include "app/statustext.h"
#include "tools/busy_win.h"
#include "tools/memory.h"
#include "tools/toolbase.h"

struct AppBusy {
  BusyPump pump;
  AppInfo* app;  // while work runs
  BusyWork work;
  bool bStoppable;
  char szName[kPathBufferSize];
  bool bTitleKept;               // szTitle holds it
  char szTitle[kTitleTextSize];  // the window's title before the work showed
};

namespace {

void ShowProgress(void* pContext, int32_t nPercent) {
  AppBusy* busy = static_cast<AppBusy*>(pContext);
  const AppInfo* app = busy->app;
  if (!busy->bTitleKept) GetWindowTextA(app->hWnd, busy->szTitle, sizeof(busy->szTitle));
  busy->bTitleKept = true;
  char text[kTitleTextSize];
  BusyText_Title(text, sizeof(text), busy->work, busy->szName, nPercent);
  SetWindowTextA(app->hWnd, text);
  BusyText_Status(text, kStatusTextSize, nPercent, busy->bStoppable);
  StatusBar_ShowProgress(app->hStatusBar, text);
}

}  // namespace

AppBusy* AppBusy_Create(HWND hWnd) {
  AppBusy* busy = static_cast<AppBusy*>(Mem_Alloc(sizeof(AppBusy)));
  if (!busy) return nullptr;
  *busy = AppBusy();
  BusyPump_Init(&busy->pump, hWnd);
  return busy;
}

void AppBusy_Destroy(AppBusy* busy) { Mem_Free(busy); }

const TextProgress* AppBusy_Begin(AppInfo* app, BusyWork work, const char* name, bool bShowNow) {
  AppBusy* busy = app->pBusy;
  if (!busy) return nullptr;
  bool stoppable = work != BUSY_SAVE;
  if (busy->pump.bActive) return nullptr;
  busy->app = app;
  busy->work = work;
  busy->bStoppable = stoppable;
  String_CopyCut(busy->szName, sizeof(busy->szName), name ? name : "");
  busy->bTitleKept = false;
  if (!BusyPump_Begin(&busy->pump, stoppable, bShowNow, ShowProgress, busy)) return nullptr;
  return BusyPump_Progress(&busy->pump);
}

void AppBusy_End(AppInfo* app) {
  AppBusy* busy = app->pBusy;
  if (!busy || !busy->pump.bActive) return;
  busy->app = nullptr;
  // Work too short to show anything leaves the title and the status alone;
  // otherwise they show what they showed before, the document's.
  if (!BusyPump_End(&busy->pump)) return;
  SetWindowTextA(app->hWnd, busy->szTitle);
  StatusBar_Refresh(app->hStatusBar, app->hEditor);
}

bool AppBusy_IsBusy(const AppInfo* app) { return app->pBusy && BusyPump_IsBusy(&app->pBusy->pump); }

bool AppBusy_HoldClose(AppInfo* app) { return app->pBusy && BusyPump_HoldClose(&app->pBusy->pump); }
