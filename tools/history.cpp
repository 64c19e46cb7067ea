#include "tools/history.h"

#include <cstring>

#include "tools/memory.h"
#include "tools/platform.h"

namespace {

char* CopyText(const char* text) {
  size_t n = std::strlen(text) + 1;
  char* copy = static_cast<char*>(Mem_Alloc(n));
  if (copy) std::memcpy(copy, text, n);
  return copy;
}

bool IsEqualText(void* data, int32_t, void* user) {
  return std::strcmp(static_cast<const char*>(data), static_cast<const char*>(user)) == 0;
}

// Keeps everything but the second link to the entry that was just put in front.
bool KeepAllButOldLink(void* data, int32_t index, void* user) { return index == 0 || data != user; }

bool KeepWithinMax(void* data, int32_t index, void* user) {
  if (index < *static_cast<const int32_t*>(user)) return true;
  Mem_Free(data);
  return false;
}

bool FreeEntry(void* data, int32_t, void*) {
  Mem_Free(data);
  return false;
}

void CutToMax(History* history) { PtrList_Filter(history->list, false, KeepWithinMax, &history->nMax); }

}  // namespace

bool IsValidHistory(const History* history) {
  return history != nullptr && history->nMax >= 0 && IsValidPtrList(history->list) &&
         history->list->num <= history->nMax;
}

History* History_Create(int32_t nMax) {
  History* history = static_cast<History*>(Mem_Alloc(sizeof(History)));
  if (!history) return nullptr;
  history->nMax = nMax < 0 ? 0 : nMax;
  history->list = PtrList_Create();
  if (!history->list) {
    Mem_Free(history);
    return nullptr;
  }
  return history;
}

void History_Destroy(History* history) {
  if (!history) return;
  QWIL_ASSERT(IsValidHistory(history));
  PtrList_Filter(history->list, true, FreeEntry, nullptr);
  PtrList_Free(history->list);
  Mem_Free(history);
}

bool History_Add(History* history, const char* text) {
  QWIL_ASSERT(IsValidHistory(history));
  void* existing = PtrList_Find(history->list, true, IsEqualText, const_cast<char*>(text));
  if (existing && existing == PtrList_GetAt(history->list, 0)) return true;  // already in front
  if (existing) {
    // The new front link comes first: if it cannot be had, the entry stays put
    // instead of being lost.
    if (PtrList_AddHead(history->list, existing) < 0) return false;
    PtrList_Filter(history->list, true, KeepAllButOldLink, existing);
  } else {
    char* copy = CopyText(text);
    if (!copy) return false;
    if (PtrList_AddHead(history->list, copy) < 0) {
      Mem_Free(copy);
      return false;
    }
  }
  CutToMax(history);
  QWIL_ASSERT(IsValidHistory(history));
  return true;
}

bool History_Append(History* history, const char* text) {
  QWIL_ASSERT(IsValidHistory(history));
  if (PtrList_Find(history->list, true, IsEqualText, const_cast<char*>(text))) return true;
  char* copy = CopyText(text);
  if (!copy) return false;
  if (PtrList_AddTail(history->list, copy) < 0) {
    Mem_Free(copy);
    return false;
  }
  CutToMax(history);
  QWIL_ASSERT(IsValidHistory(history));
  return true;
}

const char* History_GetEntry(const History* history, int32_t index) {
  QWIL_ASSERT(IsValidHistory(history));
  return static_cast<const char*>(PtrList_GetAt(history->list, index));
}

int32_t History_GetCount(const History* history) {
  QWIL_ASSERT(IsValidHistory(history));
  return PtrList_GetCount(history->list);
}
