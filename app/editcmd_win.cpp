#include "app/editcmd_win.h"

#include "editctrl/editctrl.h"

namespace {

// The editor clamps a position into the document: the largest column is the
// line's end, the largest line the last one.
constexpr LONG kFar = INT32_MAX;

LRESULT MoveTo(const AppInfo* app, POINT pos) {
  TextEditor_SetCaret(app->hEditor, pos, true);
  return 0;
}

}  // namespace

LRESULT EditCommand_DocumentStart(AppInfo* app, WPARAM, LPARAM) { return MoveTo(app, POINT{0, 0}); }

LRESULT EditCommand_DocumentEnd(AppInfo* app, WPARAM, LPARAM) { return MoveTo(app, POINT{kFar, kFar}); }

LRESULT EditCommand_LineStart(AppInfo* app, WPARAM, LPARAM) {
  return MoveTo(app, POINT{0, TextEditor_GetCaret(app->hEditor).y});
}

LRESULT EditCommand_LineEnd(AppInfo* app, WPARAM, LPARAM) {
  return MoveTo(app, POINT{kFar, TextEditor_GetCaret(app->hEditor).y});
}
