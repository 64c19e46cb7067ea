#include "editctrl/editrecord.h"

#include <cstring>

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
