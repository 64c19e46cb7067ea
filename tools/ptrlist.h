// PtrList: a doubly linked list of untyped pointers, behind every history list.
//
// The list owns its items (the links), never the data they point at: callers free
// the data themselves, typically inside the keep callback of PtrList_Filter.
#pragma once

#include <cstdint>

struct PtrListItem {
  void* data;
  PtrListItem* prev;  // invariant: prev->next == this where prev exists
  PtrListItem* next;  // invariant: next->prev == this where next exists
};

struct PtrList {
  int32_t num;        // invariant: 0 <= num, the number of items
  PtrListItem* head;  // invariant: null exactly when num == 0, as is tail
  PtrListItem* tail;
};

// Called with an item's data and its position counted from the head.
typedef bool (*PtrListCallback)(void* data, int32_t index, void* user);

// A new empty list, or null when memory runs out.
PtrList* PtrList_Create();
// Frees the list record and whatever links are still in it (never the data).
void PtrList_Free(PtrList* list);
bool IsValidPtrList(const PtrList* list);

// Insert a new item; the new num, or -1 (list unchanged) when memory runs out.
int32_t PtrList_AddHead(PtrList* list, void* data);
int32_t PtrList_AddTail(PtrList* list, void* data);
inline int32_t PtrList_GetCount(const PtrList* list) { return list->num; }
// The data at index counted from the head; null when the list ends first.
void* PtrList_GetAt(const PtrList* list, int32_t index);
// Walks from the head (forward) or the tail and returns the data of the first item
// match accepts, or null. Indexes are positions from the head either way.
void* PtrList_Find(const PtrList* list, bool forward, PtrListCallback match, void* user);
// Walks in the given direction and unlinks every item keep refuses (its data is
// the callback's business); the item may be freed by then, so the walk fetches the
// next one first. Forward, index is the item's position in the shrinking list;
// backward it counts down from num - 1. Returns the new num.
int32_t PtrList_Filter(PtrList* list, bool forward, PtrListCallback keep, void* user);
