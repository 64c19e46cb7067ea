// A snapshot of the document written while the user goes on editing: its text
// goes out in slices across several timer ticks, each slice taken from the
// document as it is then, and the edits made in between go out too, as far
// as they touch what was already written.
//
// The snapshot's records, replayed from an empty document, build a text D.
// The boundary B is a position of the document F; the invariant is
//
//   D is exactly F's text before B (the lines, bytes and count of lines of
//   F from (0, 0) to B; line ends all count as one, whatever their bytes).
//
// It holds at the start (B = (0, 0), D empty), and each step keeps it:
//   - a slice appends F's text from B to a later S at D's end, which is B,
//     and moves B to S;
//   - an edit that starts at or behind B changes only F's text after B: it
//     needs no record, and B stays;
//   - an edit that ends at or before B changes D's text as it changes F's: it
//     is recorded as it is, and B moves with the text behind the edit;
//   - an edit that starts before B and ends behind it is recorded as the
//     deletion of D's text from its start to B, and B moves to its start.
// When B reaches F's end, D is F: DONE is queued with F's length and line
// count, and from then on every edit is recorded as it is.
#pragma once

#include <cstdint>

#include "recovery/recoveryqueue.h"
#include "editctrl/textdata.h"

struct RecoveryBuild {
  POINT ptDone;    // B
  bool bComplete;  // DONE is queued; every edit is recorded as it is
};

void RecoveryBuild_Start(RecoveryBuild* b);

// An edit of the document: range as it was (ordered), replaced by n bytes of
// text ending at ptEnd in the changed document. Queues what the snapshot
// needs of it; false when the queue failed.
bool RecoveryBuild_NoteEdit(RecoveryBuild* b, RecoveryQueue* q, TextRange range, const char* text, int32_t n,
                            POINT ptEnd);

// Queues the document's next slice of about budget bytes (at least a line
// end's two, so every call gets on), as EDIT records of at most
// kRecordTextChunk bytes, and DONE when it reaches the end. Returns the text
// bytes queued; -1 when the queue failed.
int64_t RecoveryBuild_AddSlice(RecoveryBuild* b, RecoveryQueue* q, TextData* text, int64_t budget);
