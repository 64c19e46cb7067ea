#include "editctrl/editbody.h"

#include "editctrl/editrecord.h"
#include "tools/memory.h"

namespace {

bool IsValidRect(const RECT* rc) { return rc->left <= rc->right && rc->top <= rc->bottom; }

int32_t Saturate(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Characters "%4d" gives for n > 0: four, or more for larger numbers.
int32_t NumberCells(int32_t n) {
  int32_t digits = 1;
  for (int64_t limit = 10; limit <= n; limit *= 10) ++digits;
  return digits < 4 ? 4 : digits;
}

int32_t FindWatcher(const TextEditorBody* body, const EditWatcher* watcher) {
  for (int32_t i = 0; i < body->nWatchers; ++i) {
    const EditWatcher& w = body->watchers[i];
    if (w.pfnChange == watcher->pfnChange && w.pContext == watcher->pContext) return i;
  }
  return -1;
}

// A document that found no memory for its wrapped layout is laid out unwrapped:
// the body then says so too.
void Relayout(TextEditorBody* body) {
  TextDataProperty prop = EditBody_LayoutProp(body);
  if (!TextData_SetProp(body->text, &prop)) body->ebi.bWrap = 0;
}

// The new document replaces the old one; caret, anchor, view, steps and the
// modified flag start afresh.
void TakeText(TextEditorBody* body, TextData* text) {
  TextData_Destroy(body->text);
  body->text = text;
  EditBody_Reset(body);
  body->ptView = {0, 0};
  EditChange change = {};
  change.kind = EDITCHANGE_NEW_DOCUMENT;
  change.text = text;
  EditBody_TellWatchers(body, &change);
}

}  // namespace

bool IsValidTextEditorBodyInfoStruct(const TextEditorBodyInfo* ebi) {
  if (!ebi) return false;
  const TEXTMETRICA& tm = ebi->tm;
  return 0 < ebi->nTab && 0 <= ebi->nLeftMargin && IsValidRect(&ebi->rcEditor) && 0 < tm.tmHeight &&
         0 <= tm.tmAscent && 0 <= tm.tmDescent && tm.tmAscent + tm.tmDescent <= tm.tmHeight &&
         0 <= tm.tmInternalLeading && 0 <= tm.tmExternalLeading && 0 < tm.tmHeight + tm.tmExternalLeading &&
         0 < tm.tmAveCharWidth && 0 < tm.tmMaxCharWidth && tm.tmAveCharWidth <= tm.tmMaxCharWidth &&
         0 <= tm.tmOverhang && 0 < tm.tmAveCharWidth + tm.tmOverhang && 0 < tm.tmMaxCharWidth + tm.tmOverhang;
}

bool IsValidTextEditorBodyHandle(const TextEditorBody* body) {
  if (!body || !body->callback || !IsValidEditAllocatorHandle(body->allocator)) return false;
  if (!IsValidTextDataHandle(body->text) || !IsValidTextEditorBodyInfoStruct(&body->ebi)) return false;
  if (body->nWatchers < 0 || body->nWatchers > kEditWatcherMax) return false;
  if (body->ptView.x < 0 || body->ptView.y < 0 || (body->ebi.bWrap && body->ptView.x != 0)) return false;
  return TextData_IsPosition(body->text, body->ptCaret) && TextData_IsPosition(body->text, body->ptSelect);
}

TextEditorBody* EditBody_Create(const TextEditorBodyInfo* ebi, EditBodyChangeProc callback, void* param) {
  if (!IsValidTextEditorBodyInfoStruct(ebi) || !callback) return nullptr;
  TextEditorBody* body = static_cast<TextEditorBody*>(Mem_Alloc(sizeof(TextEditorBody)));
  if (!body) return nullptr;
  body->text = nullptr;
  body->allocator = nullptr;
  body->nModifyId = 0;
  body->bModified = 0;
  body->ptCaret = {0, 0};
  body->ptSelect = {0, 0};
  body->ptView = {0, 0};
  body->ebi = *ebi;
  body->param = param;
  body->callback = callback;
  body->nWatchers = 0;
  // The layout already counts the line-number column of a one-line document.
  TextDataProperty prop = EditBody_LayoutProp(body);
  body->text = TextData_Create(&prop);
  body->allocator = EditAllocator_Create();
  if (!body->text || !body->allocator) {
    EditBody_Destroy(body);
    return nullptr;
  }
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return body;
}

void EditBody_Destroy(TextEditorBody* body) {
  if (!body) return;
  EditAllocator_Destroy(body->allocator);
  TextData_Destroy(body->text);
  Mem_Free(body);
}

void EditBody_Reset(TextEditorBody* body) {
  body->bModified = 0;
  body->ptCaret = {0, 0};
  body->ptSelect = {0, 0};
  EditAllocator_ClearRedo(body->allocator);
  EditAllocator_ClearUndo(body->allocator);
}

bool EditBody_SetMetrics(TextEditorBody* body, const TextEditorBodyInfo* ebi) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  if (!IsValidTextEditorBodyInfoStruct(ebi)) return false;
  body->ebi = *ebi;
  if (body->ebi.bWrap) body->ptView.x = 0;  // wrapped lines never scroll sideways
  Relayout(body);
  return true;
}

bool EditBody_SetFontMetrics(TextEditorBody* body, const TEXTMETRICA* tm) {
  TextEditorBodyInfo ebi = body->ebi;
  ebi.tm = *tm;
  return EditBody_SetMetrics(body, &ebi);
}

bool EditBody_SetRect(TextEditorBody* body, const RECT* rcEditor) {
  TextEditorBodyInfo ebi = body->ebi;
  ebi.rcEditor = *rcEditor;
  return EditBody_SetMetrics(body, &ebi);
}

TextEditorBodyInfo EditBody_GetMetrics(const TextEditorBody* body) { return body->ebi; }

bool EditBody_SetReadOnly(TextEditorBody* body, bool bReadOnly) {
  bool old = body->ebi.bReadOnly != 0;
  body->ebi.bReadOnly = bReadOnly ? 1 : 0;
  return old;
}

bool EditBody_GetReadOnly(const TextEditorBody* body) { return body->ebi.bReadOnly != 0; }

POINT EditBody_GetView(const TextEditorBody* body) {
  POINT view = body->ptView;
  if (body->ebi.bWrap) view.x = 0;
  return view;
}

void EditBody_SetView(TextEditorBody* body, POINT ptView) {
  body->ptView.x = (body->ebi.bWrap || ptView.x < 0) ? 0 : ptView.x;
  body->ptView.y = ptView.y < 0 ? 0 : ptView.y;
}

int32_t EditBody_CellWidth(const TextEditorBody* body) {
  const TEXTMETRICA& tm = body->ebi.tm;
  // Italic glyphs lean into the next cell: give them a quarter more room.
  if (tm.tmItalic) return tm.tmAveCharWidth * 5 / 4 + tm.tmOverhang;
  return tm.tmAveCharWidth + tm.tmOverhang;
}

int32_t EditBody_LineHeight(const TextEditorBody* body) {
  return body->ebi.tm.tmHeight + body->ebi.tm.tmExternalLeading;
}

int32_t EditBody_LineNumberWidth(const TextEditorBody* body) {
  if ((body->ebi.bLineNumber & 0xFF) == 0) return 0;
  int32_t count = body->text ? TextData_GetCount(body->text) : 1;
  // Room for the number after the last line, so the column is ready before it is needed.
  int64_t width = int64_t(EditBody_CellWidth(body)) * NumberCells(count + 1) + 1;
  return Saturate(width);
}

RECT EditBody_TextRect(const TextEditorBody* body) {
  const RECT& rc = body->ebi.rcEditor;
  int32_t left = Saturate(int64_t(EditBody_LineNumberWidth(body)) + body->ebi.nLeftMargin);
  RECT r;
  r.left = left;
  r.top = rc.top;
  r.right = rc.right > left ? rc.right : left;
  r.bottom = rc.bottom;
  return r;
}

int32_t EditBody_WrapWidth(const TextEditorBody* body) {
  const RECT& rc = body->ebi.rcEditor;
  int64_t pixels = int64_t(rc.right) - rc.left - EditBody_LineNumberWidth(body) - body->ebi.nLeftMargin;
  int64_t columns = pixels / EditBody_CellWidth(body);
  return columns < 1 ? 1 : Saturate(columns);
}

TextDataProperty EditBody_LayoutProp(const TextEditorBody* body) {
  TextDataProperty prop;
  prop.wrap = body->ebi.bWrap ? 1 : 0;
  prop.width = EditBody_WrapWidth(body);
  prop.tabsize = body->ebi.nTab;
  return prop;
}

int64_t EditBody_DocumentPixelHeight(const TextEditorBody* body) {
  return int64_t(EditBody_LineHeight(body)) * TextData_GetHeight(body->text);
}

bool EditBody_Load(TextEditorBody* body, const char* path, TextFileStatus* pStatus, const TextProgress* progress) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  if (pStatus) *pStatus = TEXTFILE_OK;
  if (EditBody_GetReadOnly(body)) return false;
  TextDataProperty prop = EditBody_LayoutProp(body);
  TextData* text;
  if (path) {
    text = TextFile_Load(path, &prop, pStatus, progress);
  } else {
    text = TextData_Create(&prop);
    if (!text && pStatus) *pStatus = TEXTFILE_NO_MEMORY;
  }
  if (!text) return false;
  TakeText(body, text);
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return true;
}

bool EditBody_AdoptText(TextEditorBody* body, TextData* text) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body) && IsValidTextDataHandle(text));
  if (EditBody_GetReadOnly(body)) return false;
  const TextDataProperty prop = EditBody_LayoutProp(body);
  if (!TextData_SetProp(text, &prop)) body->ebi.bWrap = 0;
  TakeText(body, text);
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return true;
}

bool EditBody_AddWatcher(TextEditorBody* body, const EditWatcher* watcher) {
  QWIL_ASSERT(watcher && watcher->pfnChange);
  if (body->nWatchers == kEditWatcherMax || FindWatcher(body, watcher) >= 0) return false;
  body->watchers[body->nWatchers++] = *watcher;
  return true;
}

bool EditBody_RemoveWatcher(TextEditorBody* body, const EditWatcher* watcher) {
  int32_t at = FindWatcher(body, watcher);
  if (at < 0) return false;
  // The others keep their order.
  for (int32_t i = at + 1; i < body->nWatchers; ++i) body->watchers[i - 1] = body->watchers[i];
  --body->nWatchers;
  return true;
}

void EditBody_TellWatchers(const TextEditorBody* body, const EditChange* change) {
  for (int32_t i = 0; i < body->nWatchers; ++i) body->watchers[i].pfnChange(body->watchers[i].pContext, change);
}

TextFileStatus EditBody_Save(TextEditorBody* body, const char* path, const TextProgress* progress) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return TextFile_Save(body->text, path, progress);
}
