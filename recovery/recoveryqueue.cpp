#include "recovery/recoveryqueue.h"

#include <cstring>

#include "tools/memory.h"

namespace {

// A buffer this large that has been emptied is given back rather than kept.
constexpr size_t kKeepCapacity = size_t(1) << 20;

size_t RecordSize(const char* p) { return kRecordHead + size_t(RecoveryFormat_Get32(p)) + kRecordTail; }

// Room for n more bytes behind the tail: the taken bytes before the head are
// reused first, then the buffer grows by doubling.
bool Reserve(RecoveryQueue* q, size_t n) {
  if (q->nCapacity - q->nTail >= n) return true;
  if (q->nHead > 0) {
    std::memmove(q->pData, q->pData + q->nHead, q->nTail - q->nHead);
    q->nTail -= q->nHead;
    q->nHead = 0;
    if (q->nCapacity - q->nTail >= n) return true;
  }
  size_t capacity = q->nCapacity < 4096 ? 4096 : q->nCapacity;
  while (capacity - q->nTail < n) {
    if (capacity > SIZE_MAX / 2) return false;
    capacity *= 2;
  }
  char* data = static_cast<char*>(Mem_Realloc(q->pData, capacity));
  if (!data) return false;
  q->pData = data;
  q->nCapacity = capacity;
  return true;
}

// Room for a record of nPayload bytes, its head written; null (failed) when
// memory runs out.
char* Begin(RecoveryQueue* q, RecoveryRecordType type, int32_t nPayload) {
  if (q->bFailed) return nullptr;
  const size_t size = kRecordHead + size_t(nPayload) + kRecordTail;
  if (!Reserve(q, size)) {
    q->bFailed = true;
    return nullptr;
  }
  char* p = q->pData + q->nTail;
  RecoveryFormat_PutRecordHead(p, type, q->nNextSeq++, nPayload);
  RecoveryFormat_Put32(p + kRecordHead + nPayload, 0);  // sealed when taken
  q->nTail += size;
  return p + kRecordHead;
}

void PutInts(char* p, const int32_t* values, int n) {
  for (int i = 0; i < n; ++i) RecoveryFormat_Put32(p + 4 * i, static_cast<uint32_t>(values[i]));
}

// Space for all records of an edit of n text bytes, so that it is added
// whole or not at all.
size_t EditBytes(int32_t n) {
  const size_t chunks = n <= kRecordTextChunk ? 1 : (size_t(n) + kRecordTextChunk - 1) / kRecordTextChunk;
  return chunks * (kRecordHead + kRecordTail) + kEditFixed + size_t(n);
}

}  // namespace

bool IsValidRecoveryQueue(const RecoveryQueue* q) {
  if (!q || q->nHead > q->nTail || q->nTail > q->nCapacity) return false;
  return (q->pData != nullptr) == (q->nCapacity > 0);
}

void RecoveryQueue_Init(RecoveryQueue* q, uint32_t seq) {
  q->pData = nullptr;
  q->nCapacity = 0;
  q->nHead = 0;
  q->nTail = 0;
  q->nNextSeq = seq;
  q->bFailed = false;
}

void RecoveryQueue_Free(RecoveryQueue* q) {
  Mem_Free(q->pData);
  RecoveryQueue_Init(q, 0);
}

void RecoveryQueue_Reset(RecoveryQueue* q, uint32_t seq) {
  if (q->nCapacity > kKeepCapacity) {
    RecoveryQueue_Free(q);
  } else {
    q->nHead = 0;
    q->nTail = 0;
    q->bFailed = false;
  }
  q->nNextSeq = seq;
}

bool RecoveryQueue_AddEdit(RecoveryQueue* q, TextRange range, const char* text, int32_t n) {
  QWIL_ASSERT(IsValidRecoveryQueue(q) && TextRange_IsOrdered(range) && n >= 0 && (n == 0 || text));
  if (q->bFailed) return false;
  if (!Reserve(q, EditBytes(n))) {
    q->bFailed = true;
    return false;
  }
  const int32_t first = n < kRecordTextChunk ? n : kRecordTextChunk;
  char* p = Begin(q, RECOVERYREC_EDIT, kEditFixed + first);
  const int32_t fields[] = {range.start.x, range.start.y, range.end.x, range.end.y, n};
  PutInts(p, fields, 5);
  if (first > 0) std::memcpy(p + kEditFixed, text, size_t(first));
  for (int32_t done = first; done < n;) {
    const int32_t piece = n - done < kRecordTextChunk ? n - done : kRecordTextChunk;
    std::memcpy(Begin(q, RECOVERYREC_MORE, piece), text + done, size_t(piece));
    done += piece;
  }
  return true;
}

char* RecoveryQueue_AddEditSpace(RecoveryQueue* q, TextRange range, int32_t n) {
  QWIL_ASSERT(IsValidRecoveryQueue(q) && TextRange_IsOrdered(range) && 0 <= n && n <= kRecordTextChunk);
  char* p = Begin(q, RECOVERYREC_EDIT, kEditFixed + n);
  if (!p) return nullptr;
  const int32_t fields[] = {range.start.x, range.start.y, range.end.x, range.end.y, n};
  PutInts(p, fields, 5);
  return p + kEditFixed;
}

bool RecoveryQueue_AddState(RecoveryQueue* q, POINT caret, int32_t length, int32_t count) {
  char* p = Begin(q, RECOVERYREC_STATE, kStateSize);
  if (!p) return false;
  const int32_t fields[] = {caret.x, caret.y, length, count};
  PutInts(p, fields, 4);
  return true;
}

bool RecoveryQueue_AddDone(RecoveryQueue* q, int32_t length, int32_t count) {
  char* p = Begin(q, RECOVERYREC_DONE, kDoneSize);
  if (!p) return false;
  const int32_t fields[] = {length, count};
  PutInts(p, fields, 2);
  return true;
}

size_t RecoveryQueue_Peek(RecoveryQueue* q, size_t budget, const char** ppData) {
  QWIL_ASSERT(IsValidRecoveryQueue(q));
  *ppData = q->pData ? q->pData + q->nHead : nullptr;
  size_t n = 0;
  while (q->nHead + n < q->nTail) {
    char* record = q->pData + q->nHead + n;
    const size_t size = RecordSize(record);
    if (n > 0 && n + size > budget) break;
    RecoveryFormat_SealRecord(record);
    n += size;
  }
  return n;
}

void RecoveryQueue_Drop(RecoveryQueue* q, size_t n) {
  QWIL_ASSERT(IsValidRecoveryQueue(q) && n <= RecoveryQueue_Bytes(q));
  q->nHead += n;
  if (q->nHead == q->nTail) {
    const uint32_t seq = q->nNextSeq;
    const bool failed = q->bFailed;
    RecoveryQueue_Reset(q, seq);
    q->bFailed = failed;
  }
}
