// Edit records and the undo and redo stacks.
//
// Every change of the text is one record: replace this range by this text.
// Applying a record yields its inverse (the range's old text over the range the
// new text now occupies), so undo and redo are two stacks that feed each other.
// Records are recycled through a pool kept with the stacks. The editor body
// owns one allocator; editctrl/editundo.h applies its records to the body.
#pragma once

#include <cstdint>

#include "editctrl/textdata.h"

struct EditRecord {
  EditRecord* pNext;  // next record of the stack or pool it is in
  int32_t length;     // bytes of string; -1 while pooled
  char* string;       // copy of the text (owned); null when length <= 0 or pooled
  POINT ptStart;      // start of the range to replace
  POINT ptEnd;        // end of that range; once applied, the end of the inserted text
  int32_t id;         // the user action's number; an inverse keeps the id it undoes
};

struct EditAllocator {
  int32_t nLastId;     // last id handed out, 0 at the start; wraps modulo 0x7FFFFFFF
  EditRecord* pUndo;   // most recent first
  EditRecord* pRedo;   // most recent first
  EditRecord* pFree;   // released records kept for reuse
};

constexpr int32_t kEditIdModulus = 0x7FFFFFFF;

bool IsValidEditRecordHandle(const EditRecord* record);
// The id in range and the top of each stack: a record in use on undo and redo,
// a pooled one in the pool. Constant time, as every edit asserts it.
bool IsValidEditAllocatorHandle(const EditAllocator* allocator);
// Every record of every stack; O(records), for tests and debugging.
bool EditAllocator_CheckDeep(const EditAllocator* allocator);

EditAllocator* EditAllocator_Create();  // null when out of memory
// Frees both stacks and every pooled record.
void EditAllocator_Destroy(EditAllocator* allocator);
void EditAllocator_Push(EditRecord** pStack, EditRecord* record);
EditRecord* EditAllocator_Pop(EditRecord** pStack);  // null when empty
void EditAllocator_ClearUndo(EditAllocator* allocator);
void EditAllocator_ClearRedo(EditAllocator* allocator);
int32_t EditAllocator_Depth(const EditRecord* stack);  // records in a stack (walks it)

// A record replacing `range` (in either order) by n bytes of text, with the next
// id; null (nothing taken) when it or its copy cannot be allocated.
EditRecord* EditRecord_Make(EditAllocator* allocator, TextRange range, const char* text, int32_t n);
// Returns the record to the pool, freeing its text.
void EditRecord_Release(EditAllocator* allocator, EditRecord* record);
// Replaces the record's range in the document by its text and returns the inverse,
// or null with the document, the record and the pool as they were when the
// inverse, its copy of the replaced text or the replacement cannot be made.
EditRecord* EditRecord_Apply(EditAllocator* allocator, EditRecord* record, TextData* text);
