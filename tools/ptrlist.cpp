#include "tools/ptrlist.h"

#include "tools/memory.h"
#include "tools/platform.h"

namespace {

PtrListItem* NewItem(void* data) {
  PtrListItem* item = static_cast<PtrListItem*>(Mem_Alloc(sizeof(PtrListItem)));
  if (!item) return nullptr;
  item->data = data;
  item->prev = nullptr;
  item->next = nullptr;
  return item;
}

void Unlink(PtrList* list, PtrListItem* item) {
  if (item->prev) item->prev->next = item->next;
  if (item->next) item->next->prev = item->prev;
  if (list->head == item) list->head = item->next;
  if (list->tail == item) list->tail = item->prev;
  item->prev = nullptr;
  item->next = nullptr;
  --list->num;
}

}  // namespace

bool IsValidPtrList(const PtrList* list) {
  if (list == nullptr || list->num < 0) return false;
  if (list->num == 0) return list->head == nullptr && list->tail == nullptr;
  if (list->head == nullptr || list->tail == nullptr) return false;
  if (list->head->prev != nullptr || list->tail->next != nullptr) return false;
  int32_t count = 0;
  const PtrListItem* last = nullptr;
  for (const PtrListItem* item = list->head; item != nullptr; item = item->next) {
    if (item->prev != last) return false;
    if (++count > list->num) return false;
    last = item;
  }
  return count == list->num && last == list->tail;
}

PtrList* PtrList_Create() {
  PtrList* list = static_cast<PtrList*>(Mem_Alloc(sizeof(PtrList)));
  if (!list) return nullptr;
  list->num = 0;
  list->head = nullptr;
  list->tail = nullptr;
  return list;
}

void PtrList_Free(PtrList* list) {
  if (!list) return;
  QWIL_ASSERT(IsValidPtrList(list));
  // Owners are meant to empty the list first; links left over are still ours.
  PtrListItem* item = list->head;
  while (item) {
    PtrListItem* next = item->next;
    Mem_Free(item);
    item = next;
  }
  Mem_Free(list);
}

int32_t PtrList_AddHead(PtrList* list, void* data) {
  QWIL_ASSERT(IsValidPtrList(list));
  PtrListItem* item = NewItem(data);
  if (!item) return -1;
  item->next = list->head;
  if (list->head) list->head->prev = item;
  else list->tail = item;
  list->head = item;
  return ++list->num;
}

int32_t PtrList_AddTail(PtrList* list, void* data) {
  QWIL_ASSERT(IsValidPtrList(list));
  PtrListItem* item = NewItem(data);
  if (!item) return -1;
  item->prev = list->tail;
  if (list->tail) list->tail->next = item;
  else list->head = item;
  list->tail = item;
  return ++list->num;
}

void* PtrList_GetAt(const PtrList* list, int32_t index) {
  QWIL_ASSERT(IsValidPtrList(list));
  if (index < 0) return nullptr;
  const PtrListItem* item = list->head;
  for (int32_t i = 0; item != nullptr && i < index; ++i) item = item->next;
  return item ? item->data : nullptr;
}

void* PtrList_Find(const PtrList* list, bool forward, PtrListCallback match, void* user) {
  QWIL_ASSERT(IsValidPtrList(list));
  int32_t index = forward ? 0 : list->num - 1;
  for (const PtrListItem* item = forward ? list->head : list->tail; item != nullptr;
       item = forward ? item->next : item->prev) {
    if (match(item->data, index, user)) return item->data;
    index += forward ? 1 : -1;
  }
  return nullptr;
}

int32_t PtrList_Filter(PtrList* list, bool forward, PtrListCallback keep, void* user) {
  QWIL_ASSERT(IsValidPtrList(list));
  int32_t index = forward ? 0 : list->num - 1;
  PtrListItem* item = forward ? list->head : list->tail;
  while (item != nullptr) {
    PtrListItem* following = forward ? item->next : item->prev;
    if (keep(item->data, index, user)) {
      if (forward) ++index;
    } else {
      Unlink(list, item);
      Mem_Free(item);
    }
    if (!forward) --index;
    item = following;
  }
  QWIL_ASSERT(IsValidPtrList(list));
  return list->num;
}
