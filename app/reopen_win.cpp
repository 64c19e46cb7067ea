#include "app/reopen_win.h"

#include <cstring>

#include "app/docfile_win.h"
#include "app/encguard_win.h"
#include "app/filewatch.h"
#include "editctrl/editctrl.h"
#include "editctrl/textdata.h"
#include "editctrl/textfile.h"
#include "recovery/recovery_win.h"
#include "tools/codepage_win.h"
#include "tools/memory.h"
#include "tools/sjisconv.h"
#include "tools/textenc.h"
#include "tools/toolwind_win.h"

namespace {

constexpr int32_t kQuestionSize = 2048;
constexpr char kAlreadyShiftJis[] = "このファイルは Shift_JIS で書かれています。変換するものはありません。";

// Yes: what the code page lacks becomes "?".
bool AskToReplace(const AppInfo* app, const SjisReport* report) {
  char text[kQuestionSize];
  EncGuard_FormatReport(text, sizeof(text), report);
  return MessageBox_Beep(app->hWnd, text, kEncConvertCaption, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

// The converted bytes as a document laid out as the editor's own; null when
// out of memory.
TextData* MakeDocument(const AppInfo* app, const SjisResult* result) {
  TextData* text = TextData_Create(TextData_GetProp(TextEditor_GetDocument(app->hEditor)));
  TextStream* stream = text ? TextStream_Begin(text) : nullptr;
  TextFileStatus status = TEXTFILE_OK;
  bool bFed = stream && TextStream_Feed(stream, result->pBytes, static_cast<int32_t>(result->nLength), &status);
  if (stream && !bFed) TextStream_Abort(stream);
  if (bFed && TextStream_End(stream, &status)) return text;
  if (text) TextData_Destroy(text);
  return nullptr;
}

// The converted text replaces the document, modified, under keptPath (empty:
// untitled).
bool Adopt(AppInfo* app, const SjisResult* result, const char* keptPath) {
  TextData* text = MakeDocument(app, result);
  if (!text) {
    Document_ShowLoadError(app, keptPath[0] ? keptPath : app->szPath, LOADERR_NO_MEMORY);
    return false;
  }
  const bool bLifted = EncGuardWin_BeginLoad(app);
  if (!TextEditor_AdoptText(app->hEditor, text)) {
    TextData_Destroy(text);
    EncGuardWin_EndLoad(app, nullptr, bLifted, false);
    return false;
  }
  EncGuardWin_EndLoad(app, nullptr, bLifted, true);
  TextEditor_SetModified(app->hEditor, true);
  std::memmove(app->szPath, keptPath, std::strlen(keptPath) + 1);
  FileWatch_Start(&app->fileWatch, app->szPath);
  RecoveryWin_NoteDocument(app->pRecovery, app->szPath);
  Document_RefreshTitle(app);
  return true;
}

// The file's bytes converted, the user asked about what cannot be kept; false
// when there is nothing to open (the user stopped, or it was said why).
bool ConvertFile(AppInfo* app, const char* path, SjisResult* result) {
  char* bytes = nullptr;
  int32_t n = 0;
  LoadError error = DocFile_ReadAll(path, &bytes, &n);
  if (error != LOADERR_NONE) {
    Document_ShowLoadError(app, path, error);
    return false;
  }
  const TextEncoding encoding = TextEnc_Detect(bytes, n).encoding;
  SjisConvStatus status = SJISCONV_REFUSED;
  SjisReport report;
  if (encoding == TEXTENC_SHIFT_JIS) {
    MessageBox_Beep(app->hWnd, kAlreadyShiftJis, kEncConvertCaption, MB_OK | MB_ICONINFORMATION);
  } else {
    status = SjisConv_Run(CodePageWin_Methods(), encoding, bytes, n, false, &report, result);
    if (status == SJISCONV_REFUSED && AskToReplace(app, &report)) {
      status = SjisConv_Run(CodePageWin_Methods(), encoding, bytes, n, true, &report, result);
    }
  }
  Mem_Free(bytes);
  if (status == SJISCONV_NO_MEMORY) Document_ShowLoadError(app, path, LOADERR_NO_MEMORY);
  return status == SJISCONV_OK;
}

}  // namespace

LRESULT FileCommand_ReopenAsShiftJis(AppInfo* app, WPARAM, LPARAM) {
  if (app->szPath[0] == '\0' || !EncGuard_CanConvert(&app->encodingGuard)) return 0;
  // The user's own read-only refuses every load, without a word.
  if (TextEditor_GetReadOnly(app->hEditor) && !app->encodingGuard.bGuarding) return 0;
  if (!Document_AskToSave(app)) return 0;
  char path[kPathBufferSize];
  std::strcpy(path, app->szPath);
  SjisResult result = {nullptr, 0};
  if (!ConvertFile(app, path, &result)) return 0;
  char text[kQuestionSize];
  EncGuard_FormatNameQuestion(text, sizeof(text), path);
  const int answer = MessageBox_Beep(app->hWnd, text, kEncConvertCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
  const bool bAdopted = answer != IDCANCEL && Adopt(app, &result, answer == IDYES ? path : "");
  SjisConv_FreeResult(&result);
  return bAdopted ? 1 : 0;
}
