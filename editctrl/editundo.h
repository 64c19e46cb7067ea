// Undo and redo on the editor body: the edit records (editctrl/editrecord.h)
// applied to the body's document with the caret, the modified flag and the
// change callback kept in step.
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
#include "editctrl/editrecord.h"
#include "editctrl/textdata.h"

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
