#include "app/aboutcmd_win.h"

#include "dialogs/about.h"
#include "dialogs/about_win.h"

LRESULT HelpCommand_About(AppInfo* app, WPARAM, LPARAM) {
  ShowAboutDialog(app->hWnd, kAboutSupportAddress);
  return 0;
}
