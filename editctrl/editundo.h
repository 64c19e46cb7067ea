// Edit records, undo and redo.
//
// Every change of the text is one record: replace this range by this text.
// Applying a record yields its inverse (the range's old text over the range the
// new text now occupies), so undo and redo are two stacks that feed each other.
// Records are recycled through a pool kept with the stacks.
//
// An edit whose inverse cannot hold the replaced text is refused as a whole: undo
// never holds a record that cannot restore what it replaced.
//
// One undoable step, as typing and each replacement of a replace-all make it:
//   EditRecord* rec = EditRecord_Make(body->allocator, range, bytes, n);
//   EditRecord* inv = rec ? EditBody_ApplyRecord(body, rec, true, true) : nullptr;
//   if (inv) { EditAllocator_Push(&body->allocator->pUndo, inv); EditAllocator_ClearRedo(body->allocator); }
//   if (rec) EditRecord_Release(body->allocator, rec);
// which is what EditBody_ReplaceRange does.
#pragma once

#include <cstdint>

#include "editctrl/editbody.h"
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
bool IsValidEditAllocatorHandle(const EditAllocator* allocator);

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

// Applies a record to the body's document and keeps the body in step: the
// modified flag, the caret (at the end of the new text; the anchor too when
// collapse), and, when notify, the change callback with the display rows before
// and after. Returns the inverse, or null with nothing changed.
EditRecord* EditBody_ApplyRecord(TextEditorBody* body, EditRecord* record, bool collapse, bool notify);

// One undoable edit: the range (either order) replaced by n bytes, the inverse
// pushed on undo, redo emptied. *pEnd (optional) gets the end of the new text.
// False, with nothing changed, while read-only or when memory runs out.
bool EditBody_ReplaceRange(TextEditorBody* body, TextRange range, const char* text, int32_t n, bool collapse,
                           POINT* pEnd);
// The same over the selection: the edit behind typing, pasting and deleting.
// Without collapse the anchor stays, so text that replaced a selection made from
// its start stays selected.
bool EditBody_ReplaceSelection(TextEditorBody* body, const char* text, int32_t n, bool collapse);
// One step back or forward; false when there is none, while read-only, or when
// memory runs out (the step then stays where it was).
bool EditBody_Undo(TextEditorBody* body);
bool EditBody_Redo(TextEditorBody* body);
// Undoes every step; false when one of them could not be undone.
bool EditBody_RevertAll(TextEditorBody* body);
bool EditBody_CanUndo(const TextEditorBody* body);
bool EditBody_CanRedo(const TextEditorBody* body);
// For a new or loaded document: clean, caret and anchor at (0, 0), no steps.
void EditBody_Reset(TextEditorBody* body);

// The modified flag's rule for an applied edit of this id, for callers that
// apply several undo steps' edits to the document at once (replace all).
void EditBody_TrackModified(TextEditorBody* body, int32_t id);

bool EditBody_GetModified(const TextEditorBody* body);
void EditBody_SetModified(TextEditorBody* body, bool bModified);
