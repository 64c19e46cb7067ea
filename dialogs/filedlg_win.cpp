#include "dialogs/filedlg_win.h"

#include <cderr.h>
#include <commdlg.h>

#include <cstring>

#include "editctrl/dpiscale.h"
#include "tools/toolbase.h"
#include "tools/toolwind_win.h"

// The pattern for all files is "*": "*.*" would hide files without a dot.
const char kOpenFilter[] =
    "ﾃｷｽﾄ ﾌｧｲﾙ (*.txt; *.doc)\0*.txt;*.doc\0"
    "設定 ﾌｧｲﾙ (*.ini)\0*.ini\0"
    "すべてのファイル (*.*)\0*\0";
const char kSaveFilter[] =
    "ﾃｷｽﾄ ﾌｧｲﾙ (*.txt)\0*.txt\0"
    "設定 ﾌｧｲﾙ (*.ini)\0*.ini\0"
    "すべてのファイル\0*\0";

namespace {

constexpr int32_t kSettingsFilterIndex = 2;

// Only a change of the file type matters: the settings type gets ".ini", every
// other type none, so that after a change only the settings type completes.
// "None" is no extension at all rather than an empty one: the dialog takes an
// empty default extension as leave to add the chosen type's.
INT_PTR OnNotify(HWND hDlg, WPARAM, LPARAM lParam) {
  const OFNOTIFYA* notify = reinterpret_cast<const OFNOTIFYA*>(lParam);
  if (notify->hdr.code != CDN_TYPECHANGE) return FALSE;
  const char* ext = notify->lpOFN->nFilterIndex == kSettingsFilterIndex ? "ini" : nullptr;
  SendMessageA(GetParent(hDlg), CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(ext));
  return TRUE;
}

constexpr MessageRow kHookMessages[] = {
    {WM_NOTIFY, OnNotify},
};

UINT_PTR CALLBACK CompleteExtensionHook(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return static_cast<UINT_PTR>(
      Dialog_Dispatch(kHookMessages, sizeof(kHookMessages) / sizeof(kHookMessages[0]), hDlg, uMsg, wParam, lParam));
}

void Prepare(OPENFILENAMEA* ofn, char* buffer, int32_t size, const char* proposed, HWND hOwner, const char* folder) {
  std::memset(ofn, 0, sizeof(*ofn));
  ofn->lStructSize = sizeof(*ofn);
  ofn->hwndOwner = hOwner;
  ofn->lpstrFile = buffer;
  ofn->nMaxFile = static_cast<DWORD>(size < MAX_PATH ? size : MAX_PATH);
  ofn->lpstrInitialDir = (folder && folder[0] != '\0') ? folder : nullptr;
  ofn->nFilterIndex = 1;
  String_CopyCut(buffer, static_cast<int32_t>(ofn->nMaxFile), proposed);
}

// A cancelled or failed dialog leaves the proposed name in the buffer.
FileDialogResult Finish(BOOL bChosen, char* buffer, int32_t size, const char* proposed) {
  if (bChosen) return FILEDLG_CHOSEN;
  bool tooLong = CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
  String_CopyCut(buffer, size, proposed);
  return tooLong ? FILEDLG_TOO_LONG : FILEDLG_CANCELLED;
}

}  // namespace

FileDialogResult ChooseOpenFile(char* buffer, int32_t size, const char* proposed, HWND hOwner, const char* folder) {
  OPENFILENAMEA ofn;
  Prepare(&ofn, buffer, size, proposed, hOwner, folder);
  ofn.lpstrFilter = kOpenFilter;
  ofn.lpstrTitle = "ファイルを開く";
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
  return Finish(GetOpenFileNameA(&ofn), buffer, size, proposed);
}

FileDialogResult ChooseSaveFile(char* buffer, int32_t size, const char* proposed, HWND hOwner, const char* folder,
                                bool bCompleteExtension, bool bConfirmOverwrite) {
  OPENFILENAMEA ofn;
  Prepare(&ofn, buffer, size, proposed, hOwner, folder);
  ofn.lpstrFilter = kSaveFilter;
  ofn.lpstrTitle = "名前を付けて保存";
  ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
  if (bConfirmOverwrite) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (bCompleteExtension) {
    ofn.lpstrDefExt = "txt";
    ofn.Flags |= OFN_ENABLEHOOK;
    ofn.lpfnHook = CompleteExtensionHook;
  }
  return Finish(GetSaveFileNameA(&ofn), buffer, size, proposed);
}

// The density the font dialog measures heights at: the screen's.
static int32_t ScreenDpi() {
  HDC hdc = GetDC(nullptr);
  int dpi = hdc ? GetDeviceCaps(hdc, LOGPIXELSY) : kBaseDpi;
  if (hdc) ReleaseDC(nullptr, hdc);
  return Dpi_Sanitize(dpi);
}

bool ChooseDisplayFont(HWND hOwner, LOGFONTA* lf, int32_t* pPointSize) {
  // The settings' heights are meant at 96 DPI; the dialog reads and answers
  // them at the screen's, so they go over scaled and come back unscaled (else
  // a 150 % display shows the size too small and stores the choice too large).
  int32_t dpi = ScreenDpi();
  LOGFONTA chosen = Dpi_ScaleFont(lf, dpi);
  CHOOSEFONTA cf = {};
  cf.lStructSize = sizeof(cf);
  cf.hwndOwner = hOwner;
  cf.lpLogFont = &chosen;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FIXEDPITCHONLY | CF_SCRIPTSONLY | CF_NOVERTFONTS;
  if (!ChooseFontA(&cf)) return false;
  chosen.lfHeight = MulDiv(chosen.lfHeight, kBaseDpi, dpi);
  chosen.lfWidth = MulDiv(chosen.lfWidth, kBaseDpi, dpi);
  *lf = chosen;
  *pPointSize = cf.iPointSize;
  return true;
}
