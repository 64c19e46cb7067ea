// The records a recovery file has not received yet, in the order they are to
// be written: a byte buffer of whole records (recovery/recoveryformat.h) with their
// sequence numbers given, whose checksums are computed only when they are
// taken for writing, so that noting an edit costs a copy of its text and no
// more. A text longer than one record's share travels in an EDIT and MORE
// records.
//
// Running out of memory loses the record that did not fit: the queue is then
// marked failed and keeps refusing, since the records behind a lost one no
// longer describe the document; its owner starts over from the document.
#pragma once

#include <cstddef>
#include <cstdint>

#include "recovery/recoveryformat.h"

struct RecoveryQueue {
  char* pData;       // owned; null until the first record
  size_t nCapacity;
  size_t nHead;      // first byte not yet taken; a record boundary
  size_t nTail;      // end of the last record; invariant: nHead <= nTail <= nCapacity
  uint32_t nNextSeq; // sequence number of the next record added
  bool bFailed;      // a record was lost
};

bool IsValidRecoveryQueue(const RecoveryQueue* q);

// An empty queue whose first record gets sequence number seq.
void RecoveryQueue_Init(RecoveryQueue* q, uint32_t seq);
void RecoveryQueue_Free(RecoveryQueue* q);
// Drops every record; the numbering goes on from seq.
void RecoveryQueue_Reset(RecoveryQueue* q, uint32_t seq);

// Adds an EDIT (with MORE records for a long text): the ordered range replaced
// by n bytes. False, and the queue failed, when memory runs out.
bool RecoveryQueue_AddEdit(RecoveryQueue* q, TextRange range, const char* text, int32_t n);
// The same for a text of n <= kRecordTextChunk bytes that the caller copies
// into the space returned (null, queue failed, when memory runs out).
char* RecoveryQueue_AddEditSpace(RecoveryQueue* q, TextRange range, int32_t n);
bool RecoveryQueue_AddState(RecoveryQueue* q, POINT caret, int32_t length, int32_t count);
bool RecoveryQueue_AddDone(RecoveryQueue* q, int32_t length, int32_t count);

inline bool RecoveryQueue_IsEmpty(const RecoveryQueue* q) { return q->nHead == q->nTail; }
inline size_t RecoveryQueue_Bytes(const RecoveryQueue* q) { return q->nTail - q->nHead; }

// The next whole records, from the head, of at most budget bytes (at least
// the first record, however long), sealed with their checksums: *ppData
// points at them and the count is returned (0 when empty). They stay queued
// until RecoveryQueue_Drop.
size_t RecoveryQueue_Peek(RecoveryQueue* q, size_t budget, const char** ppData);
// Takes n bytes (what Peek gave) off the head.
void RecoveryQueue_Drop(RecoveryQueue* q, size_t n);
