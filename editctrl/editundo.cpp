#include "editctrl/editundo.h"

#include <cstring>

#include "tools/charrule.h"
#include "tools/memory.h"

namespace {

void FreeChain(EditRecord* record) {
  while (record) {
    EditRecord* next = record->pNext;
    Mem_Free(record->string);
    Mem_Free(record);
    record = next;
  }
}

void ClearStack(EditAllocator* allocator, EditRecord** pStack) {
  while (EditRecord* record = EditAllocator_Pop(pStack)) EditRecord_Release(allocator, record);
}

// A record from the pool, or a new one; its text is empty.
EditRecord* Take(EditAllocator* allocator) {
  EditRecord* record = EditAllocator_Pop(&allocator->pFree);
  if (!record) record = static_cast<EditRecord*>(Mem_Alloc(sizeof(EditRecord)));
  if (!record) return nullptr;
  record->pNext = nullptr;
  record->length = 0;
  record->string = nullptr;
  record->ptStart = {0, 0};
  record->ptEnd = {0, 0};
  record->id = 0;
  return record;
}

// A heap copy of the range's text (lines joined by CR LF); *pCopy null when it is
// empty. False when the copy cannot be allocated.
bool CopyRange(TextData* text, TextRange range, char** pCopy, int32_t* pLength) {
  *pCopy = nullptr;
  *pLength = TextData_GetText(text, nullptr, range, 0);
  if (*pLength <= 0) return true;
  *pCopy = static_cast<char*>(Mem_Alloc(static_cast<size_t>(*pLength)));
  if (!*pCopy) return false;
  TextData_GetText(text, *pCopy, range, *pLength);
  return true;
}

// The caret goes behind new text that ended at `end`, never between the two
// bytes of a character its last lead byte formed with the byte behind it.
// The anchor stays at the start of the change unless the change collapses;
// when a lone lead byte before it formed a character with the new text's
// first byte, at that character's start, so all the new text stays selected.
void PlaceCaret(TextEditorBody* body, POINT start, POINT end, bool collapse) {
  const LineData* line = TextData_Lookup(body->text, end.y, nullptr);
  if (end.x < Line_GetLength(line)) end.x = Char_EndHolding(Line_GetString(line), 0, end.x);
  if (!collapse) {
    const LineData* first = TextData_Lookup(body->text, start.y, nullptr);
    start.x = Char_StartHolding(Line_GetString(first), 0, start.x);
  }
  body->ptCaret = end;
  body->ptSelect = collapse ? end : start;
}

// Tells the window which rows a change from `start` to the end of line endLine
// touched, now and (`before`) as they were.
void TellChange(TextEditorBody* body, POINT start, int32_t endLine, const DisplayRange* before) {
  const DisplayRange after = EditBody_ChangeRows(body, start, endLine);
  body->callback(body->param, &after, before);
}

// The observer hears of a change of the range (as it was) to the text, which
// now ends at end.
void TellReplace(TextEditorBody* body, TextRange range, const char* text, int32_t n, POINT end) {
  if (!body->pfnObserver) return;
  EditChange change = {};
  change.kind = EDITCHANGE_REPLACE;
  change.range = range;
  change.pText = n > 0 ? text : nullptr;
  change.nText = n > 0 ? n : 0;
  change.ptEnd = end;
  change.text = body->text;
  EditBody_TellObserver(body, &change);
}

// The inverse of the edit that first modified the clean document carries that
// edit's id, so undoing back to the clean state clears the flag and redoing it
// sets it again.
void TrackModified(TextEditorBody* body, int32_t id) {
  if (!body->bModified) {
    body->nModifyId = id;
    body->bModified = 1;
  } else if (id == body->nModifyId) {
    body->bModified = 0;
  }
}

// Applies the top record of *pFrom and moves its inverse onto *pTo; the record
// stays where it was when it cannot be applied.
bool Step(TextEditorBody* body, EditRecord** pFrom, EditRecord** pTo) {
  if (EditBody_GetReadOnly(body)) return false;
  EditRecord* record = EditAllocator_Pop(pFrom);
  if (!record) return false;
  EditRecord* inverse = EditBody_ApplyRecord(body, record, true, true);
  if (!inverse) {
    EditAllocator_Push(pFrom, record);
    return false;
  }
  EditAllocator_Push(pTo, inverse);
  EditRecord_Release(body->allocator, record);
  return true;
}

}  // namespace

bool IsValidEditRecordHandle(const EditRecord* record) {
  if (!record) return false;
  if (record->length == -1) return record->string == nullptr;  // pooled
  if (record->length < 0 || (record->length > 0) != (record->string != nullptr)) return false;
  return 0 <= record->id && record->id < kEditIdModulus && TextRange_IsOrdered({record->ptStart, record->ptEnd});
}

namespace {

// A record of a stack holds text (or none); one of the pool holds nothing.
bool IsStackRecord(const EditRecord* record, bool pooled) {
  return IsValidEditRecordHandle(record) && (record->length == -1) == pooled;
}

bool IsValidStack(const EditRecord* stack, bool pooled) {
  for (; stack; stack = stack->pNext) {
    if (!IsStackRecord(stack, pooled)) return false;
  }
  return true;
}

}  // namespace

bool IsValidEditAllocatorHandle(const EditAllocator* a) {
  if (!a || a->nLastId < 0 || a->nLastId >= kEditIdModulus) return false;
  if (a->pUndo && !IsStackRecord(a->pUndo, false)) return false;
  if (a->pRedo && !IsStackRecord(a->pRedo, false)) return false;
  return !a->pFree || IsStackRecord(a->pFree, true);
}

bool EditAllocator_CheckDeep(const EditAllocator* a) {
  return IsValidEditAllocatorHandle(a) && IsValidStack(a->pUndo, false) && IsValidStack(a->pRedo, false) &&
         IsValidStack(a->pFree, true);
}

EditAllocator* EditAllocator_Create() {
  EditAllocator* allocator = static_cast<EditAllocator*>(Mem_Alloc(sizeof(EditAllocator)));
  if (!allocator) return nullptr;
  allocator->nLastId = 0;
  allocator->pUndo = nullptr;
  allocator->pRedo = nullptr;
  allocator->pFree = nullptr;
  return allocator;
}

void EditAllocator_Destroy(EditAllocator* allocator) {
  if (!allocator) return;
  FreeChain(allocator->pUndo);
  FreeChain(allocator->pRedo);
  FreeChain(allocator->pFree);
  Mem_Free(allocator);
}

void EditAllocator_Push(EditRecord** pStack, EditRecord* record) {
  record->pNext = *pStack;
  *pStack = record;
}

EditRecord* EditAllocator_Pop(EditRecord** pStack) {
  EditRecord* record = *pStack;
  if (record) {
    *pStack = record->pNext;
    record->pNext = nullptr;
  }
  return record;
}

void EditAllocator_ClearUndo(EditAllocator* allocator) { ClearStack(allocator, &allocator->pUndo); }

void EditAllocator_ClearRedo(EditAllocator* allocator) { ClearStack(allocator, &allocator->pRedo); }

int32_t EditAllocator_Depth(const EditRecord* stack) {
  int32_t n = 0;
  for (; stack; stack = stack->pNext) ++n;
  return n;
}

EditRecord* EditRecord_Make(EditAllocator* allocator, TextRange range, const char* text, int32_t n) {
  QWIL_ASSERT(IsValidEditAllocatorHandle(allocator) && (n <= 0 || text));
  EditRecord* record = Take(allocator);
  if (!record) return nullptr;
  if (n > 0) {
    record->string = static_cast<char*>(Mem_Alloc(static_cast<size_t>(n)));
    if (!record->string) {
      EditRecord_Release(allocator, record);
      return nullptr;
    }
    std::memcpy(record->string, text, static_cast<size_t>(n));
    record->length = n;
  }
  allocator->nLastId = (allocator->nLastId + 1) % kEditIdModulus;
  record->id = allocator->nLastId;
  TextRange ordered = TextRange_Order(range.start, range.end);
  record->ptStart = ordered.start;
  record->ptEnd = ordered.end;
  return record;
}

void EditRecord_Release(EditAllocator* allocator, EditRecord* record) {
  Mem_Free(record->string);
  record->string = nullptr;
  record->length = -1;
  EditAllocator_Push(&allocator->pFree, record);
}

EditRecord* EditRecord_Apply(EditAllocator* allocator, EditRecord* record, TextData* text) {
  QWIL_ASSERT(IsValidEditRecordHandle(record) && record->length != -1);
  TextRange range = {record->ptStart, record->ptEnd};
  EditRecord* inverse = Take(allocator);
  if (!inverse) return nullptr;
  if (!CopyRange(text, range, &inverse->string, &inverse->length)) {
    EditRecord_Release(allocator, inverse);
    return nullptr;
  }
  POINT end;
  int32_t n = record->length > 0 ? record->length : 0;
  if (!TextData_Replace(text, range, record->string, n, &end)) {
    EditRecord_Release(allocator, inverse);
    return nullptr;
  }
  inverse->id = record->id;
  inverse->ptStart = record->ptStart;
  inverse->ptEnd = end;
  record->ptEnd = end;
  return inverse;
}

EditRecord* EditBody_ApplyRecord(TextEditorBody* body, EditRecord* record, bool collapse, bool notify) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  DisplayRange before = {};
  if (notify) before = EditBody_ChangeRows(body, record->ptStart, record->ptEnd.y);
  const TextRange replaced = {record->ptStart, record->ptEnd};
  EditRecord* inverse = EditRecord_Apply(body->allocator, record, body->text);
  if (!inverse) return nullptr;
  TellReplace(body, replaced, record->string, record->length, record->ptEnd);
  TrackModified(body, record->id);
  // Without collapse the new text stays selected. An anchor that stood at the
  // range's end would now point into or past text that changed.
  PlaceCaret(body, record->ptStart, record->ptEnd, collapse);
  if (notify) TellChange(body, record->ptStart, record->ptEnd.y, &before);
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return inverse;
}

bool EditBody_ReplaceRange(TextEditorBody* body, TextRange range, const char* text, int32_t n, bool collapse,
                           POINT* pEnd) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  if (EditBody_GetReadOnly(body) || n < 0 || (n > 0 && !text)) return false;
  if (!TextData_IsPosition(body->text, range.start) || !TextData_IsPosition(body->text, range.end)) return false;
  EditRecord* record = EditRecord_Make(body->allocator, range, text, n);
  if (!record) return false;
  EditRecord* inverse = EditBody_ApplyRecord(body, record, collapse, true);
  EditRecord_Release(body->allocator, record);
  if (!inverse) return false;
  EditAllocator_Push(&body->allocator->pUndo, inverse);
  EditAllocator_ClearRedo(body->allocator);
  if (pEnd) *pEnd = body->ptCaret;
  return true;
}

bool EditBody_ReplaceRangeAsSteps(TextEditorBody* body, TextRange range, const char* text, int32_t n,
                                  EditRecord* steps) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body) && steps);
  if (EditBody_GetReadOnly(body) || n < 0 || (n > 0 && !text)) return false;
  if (!TextData_IsPosition(body->text, range.start) || !TextData_IsPosition(body->text, range.end)) return false;
  const TextRange r = TextRange_Order(range.start, range.end);
  const DisplayRange before = EditBody_ChangeRows(body, r.start, r.end.y);
  POINT end;
  if (!TextData_Replace(body->text, r, text, n, &end)) return false;
  TellReplace(body, r, text, n, end);
  while (steps) {
    EditRecord* next = steps->pNext;
    TrackModified(body, steps->id);
    EditAllocator_Push(&body->allocator->pUndo, steps);
    steps = next;
  }
  EditAllocator_ClearRedo(body->allocator);
  PlaceCaret(body, r.start, end, true);
  TellChange(body, r.start, end.y, &before);
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return true;
}

bool EditBody_ReplaceSelection(TextEditorBody* body, const char* text, int32_t n, bool collapse) {
  return EditBody_ReplaceRange(body, TextRange_Order(body->ptSelect, body->ptCaret), text, n, collapse, nullptr);
}

bool EditBody_Undo(TextEditorBody* body) { return Step(body, &body->allocator->pUndo, &body->allocator->pRedo); }

bool EditBody_Redo(TextEditorBody* body) { return Step(body, &body->allocator->pRedo, &body->allocator->pUndo); }

bool EditBody_RevertAll(TextEditorBody* body) {
  if (EditBody_GetReadOnly(body)) return false;
  while (EditBody_CanUndo(body)) {
    if (!EditBody_Undo(body)) return false;
  }
  return true;
}

bool EditBody_CanUndo(const TextEditorBody* body) { return body->allocator->pUndo != nullptr; }

bool EditBody_CanRedo(const TextEditorBody* body) { return body->allocator->pRedo != nullptr; }

void EditBody_Reset(TextEditorBody* body) {
  body->bModified = 0;
  body->ptCaret = {0, 0};
  body->ptSelect = {0, 0};
  EditAllocator_ClearRedo(body->allocator);
  EditAllocator_ClearUndo(body->allocator);
}

void EditBody_Mark(TextEditorBody* body, EditMark* mark) {
  EditAllocator* a = body->allocator;
  *mark = {a->pUndo, a->pRedo, body->ptCaret, body->ptSelect, body->bModified, body->nModifyId, a->nLastId};
  a->pRedo = nullptr;
}

void EditBody_Commit(TextEditorBody* body, const EditMark* mark) {
  EditAllocator* a = body->allocator;
  QWIL_ASSERT(a->pRedo == nullptr);
  a->pRedo = mark->pRedo;
  // After a change of the text the redo steps no longer apply.
  if (a->pUndo != mark->pUndo) EditAllocator_ClearRedo(a);
}

bool EditBody_RollBack(TextEditorBody* body, const EditMark* mark) {
  EditAllocator* a = body->allocator;
  while (a->pUndo != mark->pUndo) {
    EditRecord* step = EditAllocator_Pop(&a->pUndo);
    EditRecord* redo = EditBody_ApplyRecord(body, step, true, true);
    if (!redo) {
      EditAllocator_Push(&a->pUndo, step);
      EditBody_Commit(body, mark);
      return false;
    }
    EditRecord_Release(a, redo);
    EditRecord_Release(a, step);
  }
  EditBody_Commit(body, mark);
  body->ptCaret = mark->ptCaret;
  body->ptSelect = mark->ptSelect;
  body->bModified = mark->bModified;
  body->nModifyId = mark->nModifyId;
  a->nLastId = mark->nLastId;
  return true;
}

int32_t EditBody_StepsSince(const TextEditorBody* body, const EditMark* mark) {
  int32_t n = 0;
  for (const EditRecord* r = body->allocator->pUndo; r && r != mark->pUndo; r = r->pNext) ++n;
  return n;
}

bool EditBody_GetModified(const TextEditorBody* body) { return body->bModified != 0; }

void EditBody_SetModified(TextEditorBody* body, bool bModified) { body->bModified = bModified ? 1 : 0; }
