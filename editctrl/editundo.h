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
// One undoable step, as typing makes it:
//   EditRecord* rec = EditRecord_Make(body->allocator, range, bytes, n);
//   EditRecord* inv = rec ? EditBody_ApplyRecord(body, rec, true, true) : nullptr;
//   if (inv) { EditAllocator_Push(&body->allocator->pUndo, inv); EditAllocator_ClearRedo(body->allocator); }
//   if (rec) EditRecord_Release(body->allocator, rec);
// which is what EditBody_ReplaceRange does.
//
// A command of many steps (replace all, an indent of many lines, a conversion
// of a large selection) is all or nothing through a mark: EditBody_Mark before
// the first step, then EditBody_Commit when every step was made, or
// EditBody_RollBack to take them all back when one could not be.
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

// What a rollback puts back. While a mark is held the redo steps are set
// aside, so that the first step made does not free them.
struct EditMark {
  EditRecord* pUndo;  // the undo stack's top at the mark
  EditRecord* pRedo;  // the redo steps, set aside
  POINT ptCaret;
  POINT ptSelect;
  BYTE bModified;
  int32_t nModifyId;
  int32_t nLastId;
};

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

// Applies a record to the body's document and keeps the body in step: the
// modified flag, the caret (at the end of the new text; the anchor too when
// collapse), and, when notify, the change callback with the display rows before
// and after. Returns the inverse, or null with nothing changed.
EditRecord* EditBody_ApplyRecord(TextEditorBody* body, EditRecord* record, bool collapse, bool notify);

// One undoable edit: the range (either order) replaced by n bytes, the inverse
// pushed on undo, redo emptied. *pEnd (optional) gets where the caret went:
// the end of the new text, or, when the new text ends in a lead byte that the
// byte behind it completes, the end of that character. False, with nothing
// changed, while read-only, when a position is not a character start of the
// document, or when memory runs out.
bool EditBody_ReplaceRange(TextEditorBody* body, TextRange range, const char* text, int32_t n, bool collapse,
                           POINT* pEnd);
// The same over the selection: the edit behind typing, pasting and deleting.
// Without collapse the anchor stays, so text that replaced a selection made from
// its start stays selected.
bool EditBody_ReplaceSelection(TextEditorBody* body, const char* text, int32_t n, bool collapse);
// One change of the document standing for several undo steps, as replace all
// makes one per match of a line: the range replaced by n bytes, then `steps`
// (a chain through pNext, oldest first, from EditRecord_Make, each holding
// what it takes back) pushed on undo in order, each counted by the modified
// flag, and redo emptied. Caret and anchor go behind the new text. False with
// nothing changed, and the steps still the caller's, as EditBody_ReplaceRange.
bool EditBody_ReplaceRangeAsSteps(TextEditorBody* body, TextRange range, const char* text, int32_t n,
                                  EditRecord* steps);
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

// Sets a mark on the body. Each mark ends with one EditBody_Commit or
// EditBody_RollBack, and only new steps (EditBody_ReplaceRange and the like,
// no undo or redo) are made while it is held.
void EditBody_Mark(TextEditorBody* body, EditMark* mark);
// Keeps the steps made since the mark. The redo steps set aside come back
// when no step was made, and are freed otherwise.
void EditBody_Commit(TextEditorBody* body, const EditMark* mark);
// Takes back every step made since the mark, discarding them: the document,
// both stacks, the modified flag, caret, anchor and ids are as they were at
// the mark. False when memory runs out for taking one back: the steps not
// taken back then stay as undo steps, and the redo steps are freed.
bool EditBody_RollBack(TextEditorBody* body, const EditMark* mark);
// The steps made since the mark (walks them).
int32_t EditBody_StepsSince(const TextEditorBody* body, const EditMark* mark);

bool EditBody_GetModified(const TextEditorBody* body);
void EditBody_SetModified(TextEditorBody* body, bool bModified);
