// The control interface over the window's record: every call finds the record
// through the control's property, works on the editor body and leaves the view
// and the parent's notifications to the window's own functions.
#include "editctrl/editctrl.h"

#include "editctrl/editindent.h"
#include "editctrl/editstyle_win.h"
#include "editctrl/editundo.h"
#include "editctrl/editwind_win.h"
#include "editctrl/replaceall.h"
#include "editctrl/search.h"
#include "tools/toolwind_win.h"

#include <cstring>

const char kTextEditorClass[] = "TextEditorControl";

namespace {

EditorWindow* Find(HWND hWnd) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  QWIL_ASSERT(!wnd || IsValidEditorWindow(wnd));
  return wnd;
}

bool SameFont(const LOGFONTA& a, const LOGFONTA& b) {
  return std::memcmp(&a, &b, offsetof(LOGFONTA, lfFaceName)) == 0 &&
         std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

// A font change: the body gets the new metrics, the caret its new height.
bool ApplyFont(EditorWindow* wnd) {
  TEXTMETRICA tm;
  if (!EditStyle_MeasureFont(EditStyle_Get()->hFont, &tm)) return false;
  if (!EditBody_SetFontMetrics(wnd->body, &tm)) return false;
  EditWindow_RecreateCaret(wnd);
  return true;
}

// Replaces the style and, when its font changed, gives the body the font's
// metrics; everything is put back when the new font cannot be used.
bool ChangeStyle(EditorWindow* wnd, const ViewStyle* style) {
  ViewStyle old = EditStyle_Get()->style;
  bool fontChanged = !SameFont(old.lfFont, style->lfFont);
  if (!EditStyle_Set(style)) return false;
  if (!fontChanged || !wnd || ApplyFont(wnd)) return true;
  EditStyle_Set(&old);
  return false;
}

// Undo and redo first collapse the selection, quietly: the step tells the parent.
bool StepHistory(HWND hWnd, bool (*pfnStep)(TextEditorBody*)) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd) return false;
  TextEditorBody* body = wnd->body;
  EditWindow_SelectQuiet(wnd, body->ptCaret, body->ptCaret);
  bool done = pfnStep(body);
  EditWindow_NotifyChange(wnd);
  return done;
}

bool IndentLines(HWND hWnd, bool bUnindent) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd) return false;
  EditInput_DropLead(&wnd->charInput);
  TextRange before = EditBody_GetSelection(wnd->body);
  EditIndentResult result = EditIndent_Apply(wnd->body, bUnindent);
  if (result != EDITINDENT_CHANGED) {
    EditWindow_InvalidateSelectionChange(wnd, before, EditBody_GetSelection(wnd->body));
    EditWindow_ScrollCaretIntoView(wnd);
  }
  EditWindow_NotifyChange(wnd);
  return result == EDITINDENT_CHANGED;
}

typedef bool (*FindProc)(TextEditorBody*, const char*, int32_t, uint32_t, TextRange*, int32_t*, const TextProgress*);

bool FindAndSelect(HWND hWnd, FindProc pfnFind, const char* pattern, int32_t length, uint32_t options,
                   int32_t* pStatus, const TextProgress* progress) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd) return false;
  TextRange found;
  int32_t status = 0;
  bool ok = pfnFind(wnd->body, pattern, length, options, &found, &status, progress);
  if (pStatus) *pStatus = status;
  if (!ok || TextRange_IsEmpty(found)) return false;
  EditWindow_Select(wnd, found.start, found.end);
  return true;
}

}  // namespace

ATOM TextEditor_RegisterClass(HINSTANCE hInstance) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  ATOM existing = static_cast<ATOM>(GetClassInfoExA(hInstance, kTextEditorClass, &wc));
  if (existing) return existing;
  return Window_RegisterClassExtra(hInstance, kTextEditorClass, EditWindow_Proc, CS_DBLCLKS, 0, NULL_BRUSH,
                                   kEditorWindowBytes);
}

void TextEditor_UnregisterClass(HINSTANCE hInstance) { UnregisterClassA(kTextEditorClass, hInstance); }

HWND TextEditor_Create(DWORD dwExStyle, DWORD dwStyle, HINSTANCE hInstance, HWND hParent, int nId, int nWidth,
                       int nHeight, const EditorSettings* settings) {
  if (!IsValidEditorSettings(settings)) return nullptr;
  return CreateWindowExA(dwExStyle | WS_EX_ACCEPTFILES, kTextEditorClass, nullptr, dwStyle | WS_HSCROLL | WS_VSCROLL,
                         0, 0, nWidth, nHeight, hParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                         hInstance, const_cast<EditorSettings*>(settings));
}

bool TextEditor_GetSettings(HWND hWnd, EditorSettings* settings) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd) return false;
  TextEditorBodyInfo ebi = EditBody_GetMetrics(wnd->body);
  EditorSettings_FromBodyInfo(settings, &ebi);
  settings->style = EditStyle_Get()->style;
  return true;
}

bool TextEditor_SetSettings(HWND hWnd, const EditorSettings* settings) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd || !IsValidEditorSettings(settings)) return false;
  if (!ChangeStyle(wnd, &settings->style)) return false;
  TextEditorBodyInfo ebi = EditBody_GetMetrics(wnd->body);
  EditorSettings_ToBodyInfo(settings, &ebi);
  EditBody_SetMetrics(wnd->body, &ebi);
  EditWindow_Relayout(wnd);
  EditWindow_Notify(hWnd, TEN_UPDATE, 0, 0);
  return true;
}

void TextEditor_GetViewStyle(ViewStyle* style) { *style = EditStyle_Get()->style; }

bool TextEditor_SetViewStyle(const ViewStyle* style, HWND hWnd, bool bRedraw) {
  EditorWindow* wnd = Find(hWnd);
  bool fontChanged = !SameFont(EditStyle_Get()->style.lfFont, style->lfFont);
  if (!ChangeStyle(wnd, style)) return false;
  if (wnd && fontChanged) EditWindow_Relayout(wnd);
  if (wnd && bRedraw) EditWindow_InvalidateAll(wnd);
  return true;
}

bool TextEditor_SetFont(HWND hWnd, const LOGFONTA* logfont) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd) return false;
  ViewStyle style = EditStyle_Get()->style;
  style.lfFont = *logfont;
  if (!ChangeStyle(wnd, &style)) return false;
  EditWindow_Relayout(wnd);
  return true;
}

bool TextEditor_SetDpi(HWND hWnd, int32_t nDpi) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd) return false;
  int32_t old = EditStyle_Get()->nDpi;
  if (!EditStyle_SetDpi(nDpi)) return false;
  if (EditStyle_Get()->nDpi == old) return true;
  if (!ApplyFont(wnd)) {
    EditStyle_SetDpi(old);
    ApplyFont(wnd);
    return false;
  }
  EditWindow_Relayout(wnd);
  return true;
}

bool TextEditor_SetReadOnly(HWND hWnd, bool bReadOnly) {
  EditorWindow* wnd = Find(hWnd);
  return wnd ? EditBody_SetReadOnly(wnd->body, bReadOnly) : false;
}

bool TextEditor_GetReadOnly(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  return wnd ? EditBody_GetReadOnly(wnd->body) : false;
}

int32_t TextEditor_GetLineCount(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  return wnd ? TextData_GetCount(wnd->body->text) : 0;
}

int32_t TextEditor_GetTextLength(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  return wnd ? EditBody_GetTextSize(wnd->body) : 0;
}

int32_t TextEditor_GetSelectedLength(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  return wnd ? EditBody_GetSelectedSize(wnd->body) : 0;
}

int32_t TextEditor_GetSelectedText(HWND hWnd, char* buffer, int32_t size) {
  EditorWindow* wnd = Find(hWnd);
  return wnd ? EditBody_GetSelectedText(wnd->body, buffer, size) : 0;
}

void TextEditor_GetSelection(HWND hWnd, POINT* pStart, POINT* pEnd) {
  EditorWindow* wnd = Find(hWnd);
  TextRange r = wnd ? EditBody_GetSelection(wnd->body) : TextRange{{0, 0}, {0, 0}};
  if (pStart) *pStart = r.start;
  if (pEnd) *pEnd = r.end;
}

bool TextEditor_HasSelection(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  return wnd && !EditBody_IsSelectionEmpty(wnd->body);
}

POINT TextEditor_GetCaret(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  return wnd ? wnd->body->ptCaret : POINT{0, 0};
}

bool TextEditor_GetCaretInfo(HWND hWnd, EditCaretInfo* info) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd) return false;
  *info = EditBody_GetCaretInfo(wnd->body);
  return true;
}

bool TextEditor_CanUndo(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  return wnd && EditBody_CanUndo(wnd->body);
}

bool TextEditor_CanRedo(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  return wnd && EditBody_CanRedo(wnd->body);
}

bool TextEditor_GetModified(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  return wnd && EditBody_GetModified(wnd->body);
}

void TextEditor_SetModified(HWND hWnd, bool bModified) {
  EditorWindow* wnd = Find(hWnd);
  if (wnd) EditBody_SetModified(wnd->body, bModified);
}

TextData* TextEditor_GetDocument(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  return wnd ? wnd->body->text : nullptr;
}

bool TextEditor_AddWatcher(HWND hWnd, const EditWatcher* watcher) {
  EditorWindow* wnd = Find(hWnd);
  return wnd && EditBody_AddWatcher(wnd->body, watcher);
}

bool TextEditor_RemoveWatcher(HWND hWnd, const EditWatcher* watcher) {
  EditorWindow* wnd = Find(hWnd);
  return wnd && EditBody_RemoveWatcher(wnd->body, watcher);
}

bool TextEditor_LoadFile(HWND hWnd, const char* path, TextFileStatus* pStatus, const TextProgress* progress) {
  EditorWindow* wnd = Find(hWnd);
  if (pStatus) *pStatus = TEXTFILE_OK;
  if (!wnd) return false;
  EditInput_DropLead(&wnd->charInput);
  if (!EditBody_Load(wnd->body, path, pStatus, progress)) return false;
  EditWindow_ResetScroll(wnd);
  EditWindow_Relayout(wnd);
  EditWindow_NotifyChange(wnd);
  return true;
}

bool TextEditor_AdoptText(HWND hWnd, TextData* text) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd || !text) return false;
  EditInput_DropLead(&wnd->charInput);
  if (!EditBody_AdoptText(wnd->body, text)) return false;
  EditWindow_ResetScroll(wnd);
  EditWindow_Relayout(wnd);
  EditWindow_NotifyChange(wnd);
  return true;
}

bool TextEditor_SaveFile(HWND hWnd, const char* path, TextFileStatus* pStatus, const TextProgress* progress) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd || !path) {
    if (pStatus) *pStatus = TEXTFILE_OPEN_FAILED;
    return false;
  }
  TextFileStatus status = EditBody_Save(wnd->body, path, progress);
  if (pStatus) *pStatus = status;
  return status == TEXTFILE_OK;
}

bool TextEditor_ReplaceSelection(HWND hWnd, const char* text, int32_t length, bool bCollapse) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd || length < 0 || (length > 0 && !text)) return false;
  return EditWindow_ReplaceSelection(wnd, text, length, bCollapse);
}

bool TextEditor_Undo(HWND hWnd) { return StepHistory(hWnd, EditBody_Undo); }

bool TextEditor_Redo(HWND hWnd) { return StepHistory(hWnd, EditBody_Redo); }

bool TextEditor_UndoAll(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd) return false;
  TextEditorBody* body = wnd->body;
  // Many steps: one repaint at the end instead of one per step.
  EditWindow_BeginBatch(wnd);
  EditWindow_SelectQuiet(wnd, body->ptCaret, body->ptCaret);
  bool done = EditBody_CanUndo(body) && EditBody_RevertAll(body);
  EditWindow_NotifyChange(wnd);  // inside the batch: told once, at its end
  EditWindow_EndBatch(wnd);
  return done;
}

void TextEditor_SelectAll(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd) return;
  TextRange all = EditBody_WholeDocument(wnd->body);
  EditWindow_Select(wnd, all.start, all.end);
}

void TextEditor_SelectLines(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd) return;
  TextRange lines = EditBody_LinesOf(wnd->body, EditBody_GetSelection(wnd->body));
  EditWindow_Select(wnd, lines.start, lines.end);
}

void TextEditor_SelectWord(HWND hWnd) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd || !EditBody_IsSelectionEmpty(wnd->body)) return;
  POINT caret = wnd->body->ptCaret;
  TextRange word = EditBody_WordAt(wnd->body, {caret, caret});
  EditWindow_Select(wnd, word.start, word.end);
}

void TextEditor_SetCaret(HWND hWnd, POINT pos, bool bCollapse) {
  EditorWindow* wnd = Find(hWnd);
  if (wnd) EditWindow_MoveCaret(wnd, pos, bCollapse);
}

void TextEditor_SetSelection(HWND hWnd, POINT anchor, POINT caret) {
  EditorWindow* wnd = Find(hWnd);
  if (wnd) EditWindow_Select(wnd, anchor, caret);
}

bool TextEditor_Indent(HWND hWnd) { return IndentLines(hWnd, false); }

bool TextEditor_Unindent(HWND hWnd) { return IndentLines(hWnd, true); }

bool TextEditor_FindNext(HWND hWnd, const char* pattern, int32_t length, uint32_t options, int32_t* pStatus,
                         const TextProgress* progress) {
  return FindAndSelect(hWnd, Search_FindNext, pattern, length, options, pStatus, progress);
}

bool TextEditor_FindPrev(HWND hWnd, const char* pattern, int32_t length, uint32_t options, int32_t* pStatus,
                         const TextProgress* progress) {
  return FindAndSelect(hWnd, Search_FindPrev, pattern, length, options, pStatus, progress);
}

bool TextEditor_ReplaceAll(HWND hWnd, const char* replacement, int32_t length, const char* pattern,
                           int32_t patternLength, uint32_t options, int32_t* pCount, int32_t* pStatus,
                           const TextProgress* progress) {
  EditorWindow* wnd = Find(hWnd);
  if (!wnd) return false;
  EditInput_DropLead(&wnd->charInput);
  EditWindow_BeginBatch(wnd);
  bool done =
      Search_ReplaceAll(wnd->body, replacement, length, pattern, patternLength, options, pCount, pStatus, progress);
  EditWindow_NotifyChange(wnd);  // inside the batch: told once, at its end
  EditWindow_EndBatch(wnd);
  return done;
}
