#include "editctrl/editprint_win.h"

#include "editctrl/editstyle_win.h"
#include "editctrl/editwind_win.h"
#include "editctrl/prnttext_win.h"
#include "tools/debuglog.h"

PrintResult TextEditor_Print(HWND hWnd, const PAGESETUPDLGA* pPageSetup, const DOCINFOA* pDocInfo,
                             const PRINTDLGA* pPrintDlg, int32_t pointSize) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (!wnd || !pPrintDlg || !pPrintDlg->hDC) {
    QWIL_LOG("印刷ジョブが開始できませんでした。");
    return kPrintStartDocFailed;
  }
  QWIL_ASSERT(IsValidEditorWindow(wnd));
  if (PrintText_IsPrinting()) return kPrintBusy;
  // The engine reads the document between the messages it lets through.
  bool bWasReadOnly = EditBody_SetReadOnly(wnd->body, true);
  LOGFONTA font = EditStyle_Get()->style.lfFont;
  PrintResult result =
      PrintText_Print(wnd->body->text, pPageSetup, pPrintDlg->hDC, pDocInfo, &font, pointSize, GetParent(hWnd));
  // The control may have gone with its parent while the job ran: then the job
  // stopped there, and nothing of it is left to give back.
  if (IsWindow(hWnd) && EditWindow_FromHandle(hWnd) == wnd) EditBody_SetReadOnly(wnd->body, bWasReadOnly);
  return result;
}
