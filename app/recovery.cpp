#include "app/recovery.h"

#include <chrono>
#include <cstring>

#include "app/recoverybase.h"
#include "tools/fileio.h"
#include "tools/memory.h"

namespace {

int64_t SteadyMs(void*) {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t Now(const RecoveryWriter* w) { return w->pfnClock(w->pClockContext); }

char* CopyString(const char* s) {
  if (!s) return nullptr;
  const size_t n = std::strlen(s) + 1;
  char* copy = static_cast<char*>(Mem_Alloc(n));
  if (copy) std::memcpy(copy, s, n);
  return copy;
}

char* JoinPath(const char* folder, const char* name) {
  const size_t a = std::strlen(folder);
  const size_t b = std::strlen(name);
  char* path = static_cast<char*>(Mem_Alloc(a + b + 1));
  if (!path) return nullptr;
  std::memcpy(path, folder, a);
  std::memcpy(path + a, name, b + 1);
  return path;
}

void InitLane(RecoveryLane* lane) {
  lane->pPath = nullptr;
  lane->state = RECOVERYFILE_NONE;
  lane->bSnapshot = false;
  lane->base = RECOVERYBASE_EMPTY;
  lane->nBytes = 0;
  lane->nJournalBytes = 0;
  lane->tMade = 0;
  RecoveryQueue_Init(&lane->queue, 0);
}

// The lane has no file any more (whatever is on disk is someone else's to remove).
void ClearLane(RecoveryLane* lane) {
  lane->state = RECOVERYFILE_NONE;
  lane->nBytes = 0;
  lane->nJournalBytes = 0;
  RecoveryQueue_Reset(&lane->queue, 0);
}

// ---- Files, all through the seam ----

// Removes path; true when it is gone (or was never there).
bool RemoveFile(const char* path) {
  const FileMethods* m = FileIo_GetMethods();
  if (m->pfnRemove(m->pContext, path)) return true;
  FileInfo info;
  return m->pfnQuery(m->pContext, path, &info) == FILEERR_NONE && info.kind == FILEKIND_NONE;
}

// Writes the pieces, flushes and closes; false when any of it failed.
bool WriteAll(const FileMethods* m, FileHandle* file, const char* a, int64_t na, const char* b, int64_t nb) {
  bool ok = na == 0 || m->pfnWrite(m->pContext, file, a, static_cast<int32_t>(na));
  ok = ok && (nb == 0 || m->pfnWrite(m->pContext, file, b, static_cast<int32_t>(nb)));
  ok = ok && m->pfnFlush(m->pContext, file);
  const bool closed = m->pfnClose(m->pContext, file);
  return ok && closed;
}

// A new file of the header and records; an earlier one of the same name (left
// by a step that could not remove it) goes first.
bool CreateFile(const char* path, const char* header, int64_t nHeader, const char* data, int64_t n) {
  const FileMethods* m = FileIo_GetMethods();
  FileHandle* file = nullptr;
  FileError error = m->pfnOpen(m->pContext, path, FILEOPEN_CREATE_NEW, &file);
  if (error == FILEERR_EXISTS && RemoveFile(path)) error = m->pfnOpen(m->pContext, path, FILEOPEN_CREATE_NEW, &file);
  if (error != FILEERR_NONE) return false;
  return WriteAll(m, file, header, nHeader, data, n);
}

bool AppendFile(const char* path, const char* data, int64_t n) {
  const FileMethods* m = FileIo_GetMethods();
  FileHandle* file = nullptr;
  if (m->pfnOpen(m->pContext, path, FILEOPEN_APPEND, &file) != FILEERR_NONE) return false;
  return WriteAll(m, file, data, n, nullptr, 0);
}

bool ReplaceFile(const char* from, const char* to) {
  const FileMethods* m = FileIo_GetMethods();
  return m->pfnReplace(m->pContext, from, to) == FILEERR_NONE;
}

// The header of a new file of this writer's document, into buffer.
int32_t Header(const RecoveryWriter* w, bool bSnapshot, char* buffer) {
  RecoveryHeader h = {};
  h.nPid = w->nPid;
  h.nToken = w->nToken;
  h.nFlags = bSnapshot ? kRecoveryFlagSnapshot : 0;
  h.base = bSnapshot ? RecoveryBase_Empty() : w->base;
  h.disk = w->disk;
  const size_t n = w->pDocPath ? std::strlen(w->pDocPath) : 0;
  h.pPath = w->pDocPath;
  h.nPath = n <= size_t(kRecoveryMaxPath) ? static_cast<int32_t>(n) : 0;
  return RecoveryFormat_EncodeHeader(&h, buffer);
}

// Makes lane's new file at path: the header and the first records, which stay
// queued (*pTaken gets their bytes) until the caller drops them.
bool MakeFile(RecoveryWriter* w, RecoveryLane* lane, const char* path, bool bSnapshot, int64_t budget,
              RecoveryStep* step, size_t* pTaken) {
  char* header = static_cast<char*>(Mem_Alloc(kRecoveryMaxHeader));
  if (!header) return false;
  const int32_t nHeader = Header(w, bSnapshot, header);
  const char* data = nullptr;
  const size_t n = RecoveryQueue_Peek(&lane->queue, static_cast<size_t>(budget), &data);
  const bool ok = CreateFile(path, header, nHeader, data, static_cast<int64_t>(n));
  Mem_Free(header);
  if (!ok) {
    RemoveFile(path);
    return false;
  }
  *pTaken = n;
  lane->state = RECOVERYFILE_OPEN;
  lane->bSnapshot = bSnapshot;
  lane->base = bSnapshot ? RECOVERYBASE_EMPTY : w->base.kind;
  lane->nBytes = nHeader + static_cast<int64_t>(n);
  lane->nJournalBytes = bSnapshot ? 0 : static_cast<int64_t>(n);
  lane->tMade = Now(w);
  step->nBytes += lane->nBytes;
  return true;
}

// Appends the lane's next records within budget; false (nothing dropped) when
// the write failed.
bool AppendQueued(RecoveryLane* lane, int64_t budget, int64_t* pWritten) {
  const char* data = nullptr;
  const size_t n = RecoveryQueue_Peek(&lane->queue, static_cast<size_t>(budget), &data);
  if (n == 0) return true;
  if (!AppendFile(lane->pPath, data, static_cast<int64_t>(n))) return false;
  RecoveryQueue_Drop(&lane->queue, n);
  lane->nBytes += static_cast<int64_t>(n);
  lane->nJournalBytes += static_cast<int64_t>(n);
  *pWritten += static_cast<int64_t>(n);
  return true;
}

// A STATE record closes what the queue holds when all of it goes out now, so
// that the reader can check its replay against the document and knows the caret.
void CloseWithState(RecoveryQueue* q, const TextData* text, POINT caret, int64_t budget) {
  if (RecoveryQueue_IsEmpty(q) || int64_t(RecoveryQueue_Bytes(q)) + kRecordHead + kStateSize + kRecordTail > budget) {
    return;
  }
  RecoveryQueue_AddState(q, caret, text->length, text->count);
}

// ---- The document's state ----

bool HasFiles(const RecoveryWriter* w) {
  return w->current.state != RECOVERYFILE_NONE || w->next.state != RECOVERYFILE_NONE;
}

void StopBuilding(RecoveryWriter* w) {
  w->bBuilding = false;
  ClearLane(&w->next);
}

// Removes what is left on disk at the paths of lanes that hold no file of
// theirs (any more); true when nothing is left. A lane that made a file since
// the removal was due keeps it, and no lane loses its queued records: they
// belong to the document as it is now.
bool RemoveStaleFiles(const RecoveryWriter* w) {
  const bool current = w->current.state != RECOVERYFILE_NONE || RemoveFile(w->current.pPath);
  const bool next = w->next.state != RECOVERYFILE_NONE || RemoveFile(w->next.pPath);
  return current && next;
}

// The files describe a text that is gone: the lanes drop them and what they
// queued; a removal that fails is tried again at the next tick.
void RemoveFiles(RecoveryWriter* w) {
  ClearLane(&w->current);
  StopBuilding(w);
  w->bRemovePending = !RemoveStaleFiles(w);
}

bool IsEmptyText(const TextData* text) { return text->count == 1 && text->length == 0; }

// Whether a clean document is its base again (as it is by the modified
// flag's rules; the sizes are checked all the same).
bool TextIsBase(const RecoveryWriter* w, const TextData* text) {
  if (w->base.kind == RECOVERYBASE_EMPTY) return IsEmptyText(text);
  return text->count == w->base.nCount && text->length == w->base.nLength;
}

void SetDocPath(RecoveryWriter* w, const char* path) {
  Mem_Free(w->pDocPath);
  w->pDocPath = CopyString(path);
}

// A file base is checked on disk before anything is built on it.
void WatchBase(RecoveryWriter* w) {
  if (w->bBaseStale || w->base.kind != RECOVERYBASE_FILE || !w->pDocPath) return;
  const bool leansOnIt = w->current.state == RECOVERYFILE_NONE ||
                         (w->current.state == RECOVERYFILE_OPEN && !w->current.bSnapshot);
  if (!leansOnIt) return;
  const FileMethods* m = FileIo_GetMethods();
  FileInfo info;
  if (m->pfnQuery(m->pContext, w->pDocPath, &info) != FILEERR_NONE || !RecoveryBase_FileUnchanged(&w->base, &info)) {
    w->bBaseStale = true;
  }
}

// A queue that lost a record can feed its file no more.
void NoteLostRecords(RecoveryWriter* w) {
  if (w->current.queue.bFailed) {
    if (w->current.state == RECOVERYFILE_NONE) w->bBaseStale = true;
    if (w->current.state == RECOVERYFILE_OPEN) w->current.state = RECOVERYFILE_TORN;
    RecoveryQueue_Reset(&w->current.queue, w->current.queue.nNextSeq);
  }
  if (w->bBuilding && w->next.queue.bFailed) {
    RemoveFile(w->next.pPath);
    StopBuilding(w);
  }
}

RecoveryShape ShapeOf(const RecoveryWriter* w, int64_t now) {
  const RecoveryLane& c = w->current;
  RecoveryShape s;
  s.state = c.state;
  s.bSnapshot = c.bSnapshot;
  s.base = c.state == RECOVERYFILE_NONE ? w->base.kind : c.base;
  s.bBaseHolds = (c.state == RECOVERYFILE_OPEN && c.base == RECOVERYBASE_EMPTY) || !w->bBaseStale;
  s.nJournalBytes = c.nJournalBytes + static_cast<int64_t>(RecoveryQueue_Bytes(&c.queue));
  s.nTextSize = w->nTextSize;
  s.nFileAgeMs = now - c.tMade;
  s.nBudget = w->nBudget;
  return s;
}

RecoverySchedule ScheduleOf(const RecoveryWriter* w, int64_t now) {
  RecoverySchedule s;
  s.tOldestPending = w->tOldestPending;
  const RecoveryLane& c = w->current;
  const RecoveryShape shape = ShapeOf(w, now);
  s.bBacklog = w->bBuilding || c.state == RECOVERYFILE_TORN ||
               int64_t(RecoveryQueue_Bytes(&c.queue)) > w->nBudget ||
               (c.state == RECOVERYFILE_OPEN && RecoveryPolicy_WantsSnapshot(&shape));
  s.tLastStep = w->tLastStep;
  s.nLastStepMs = w->nLastStepMs;
  s.nFailures = w->nFailures;
  return s;
}

// ---- A step ----

void StartBuilding(RecoveryWriter* w) {
  ClearLane(&w->next);
  RecoveryBuild_Start(&w->build);
  w->bBuilding = true;
}

// The snapshot took the old file's place: the new lane is the current one.
void TakeSnapshot(RecoveryWriter* w) {
  RecoveryLane& c = w->current;
  RecoveryLane& n = w->next;
  c.state = RECOVERYFILE_OPEN;
  c.bSnapshot = true;
  c.base = RECOVERYBASE_EMPTY;
  c.nBytes = n.nBytes;
  c.nJournalBytes = 0;
  c.tMade = n.tMade;
  RecoveryQueue spare = c.queue;
  c.queue = n.queue;
  n.queue = spare;
  StopBuilding(w);
  w->tOldestPending = -1;
  if (w->pOrphan && RemoveFile(w->pOrphan)) {
    Mem_Free(w->pOrphan);
    w->pOrphan = nullptr;
  }
}

// The snapshot's next slice and the records queued for it; when the text is
// all out, the new file takes the old one's place.
bool BuildStep(RecoveryWriter* w, TextData* text, POINT caret, int64_t budget, RecoveryStep* step) {
  RecoveryLane& n = w->next;
  const int64_t queued = static_cast<int64_t>(RecoveryQueue_Bytes(&n.queue));
  if (!w->build.bComplete && queued < budget) {
    if (RecoveryBuild_AddSlice(&w->build, &n.queue, text, budget - queued) < 0) return false;
    if (w->build.bComplete) RecoveryQueue_AddState(&n.queue, caret, text->length, text->count);
  }
  // The whole of a finished snapshot goes out now, so that it can take the
  // old file's place in this step.
  const int64_t room = w->build.bComplete ? INT64_MAX : budget;
  if (n.state == RECOVERYFILE_NONE) {
    size_t taken = 0;
    if (!MakeFile(w, &n, n.pPath, true, room, step, &taken)) return false;
    RecoveryQueue_Drop(&n.queue, taken);
  } else if (!AppendQueued(&n, room, &step->nBytes)) {
    return false;
  }
  if (!w->build.bComplete || !RecoveryQueue_IsEmpty(&n.queue)) return true;
  if (!ReplaceFile(n.pPath, w->current.pPath)) return false;
  TakeSnapshot(w);
  step->bSnapshotDone = true;
  return true;
}

// The current file's step: made as a journal over the base, or its queue
// appended. False when a write failed.
bool CurrentStep(RecoveryWriter* w, TextData* text, POINT caret, int64_t budget, RecoveryStep* step) {
  RecoveryLane& c = w->current;
  if (c.state == RECOVERYFILE_NONE) {
    CloseWithState(&c.queue, text, caret, budget);
    size_t taken = 0;
    if (!MakeFile(w, &c, w->next.pPath, false, budget, step, &taken)) return false;
    if (!ReplaceFile(w->next.pPath, c.pPath)) {
      // The records stay queued for the next try.
      RemoveFile(w->next.pPath);
      c.state = RECOVERYFILE_NONE;
      c.nBytes = 0;
      c.nJournalBytes = 0;
      return false;
    }
    RecoveryQueue_Drop(&c.queue, taken);
  } else if (c.state == RECOVERYFILE_OPEN) {
    CloseWithState(&c.queue, text, caret, budget);
    if (!AppendQueued(&c, budget, &step->nBytes)) {
      c.state = RECOVERYFILE_TORN;
      RecoveryQueue_Reset(&c.queue, c.queue.nNextSeq);
      return false;
    }
  }
  if (c.state == RECOVERYFILE_OPEN && RecoveryQueue_IsEmpty(&c.queue)) w->tOldestPending = -1;
  return true;
}

void Step(RecoveryWriter* w, TextData* text, POINT caret, int64_t now, RecoveryStep* step) {
  NoteLostRecords(w);
  WatchBase(w);
  const RecoveryShape shape = ShapeOf(w, now);
  if (!w->bBuilding && RecoveryPolicy_WantsSnapshot(&shape)) StartBuilding(w);
  bool ok = true;
  // A journal over the base is made only when no snapshot is coming instead.
  if (w->current.state == RECOVERYFILE_OPEN || (w->current.state == RECOVERYFILE_NONE && !w->bBuilding)) {
    ok = CurrentStep(w, text, caret, w->nBudget, step);
  }
  if (w->bBuilding) {
    const int64_t left = w->nBudget - step->nBytes;
    if (left > 0 && !BuildStep(w, text, caret, left, step)) {
      RemoveFile(w->next.pPath);
      StopBuilding(w);
      ok = false;
    }
  }
  step->bFailed = !ok;
  w->nFailures = ok ? 0 : w->nFailures + 1;
}

// Nothing is modified: the files go, and the document is its base again.
void Settle(RecoveryWriter* w, const TextData* text, RecoveryStep* step) {
  if (HasFiles(w) || w->bRemovePending) {
    RemoveFiles(w);
    step->bStepped = true;
  }
  StopBuilding(w);
  RecoveryQueue_Reset(&w->current.queue, 0);
  if (!TextIsBase(w, text)) w->bBaseStale = true;
  w->tOldestPending = -1;
  w->nFailures = 0;
}

}  // namespace

bool IsValidRecoveryWriter(const RecoveryWriter* w) {
  if (!w || !w->pfnClock || !w->current.pPath || !w->next.pPath) return false;
  if (!IsValidRecoveryQueue(&w->current.queue) || !IsValidRecoveryQueue(&w->next.queue)) return false;
  // The snapshot lane has a file only while a snapshot is being made.
  if (!w->bBuilding && w->next.state != RECOVERYFILE_NONE) return false;
  return w->nBudget >= kRecoveryMinBudget && w->nBudget <= kRecoveryMaxBudget;
}

RecoveryWriter* Recovery_Create(const char* folder, uint32_t pid, uint64_t token) {
  RecoveryWriter* w = static_cast<RecoveryWriter*>(Mem_Alloc(sizeof(RecoveryWriter)));
  if (!w) return nullptr;
  std::memset(w, 0, sizeof(*w));
  w->nPid = pid;
  w->nToken = token;
  w->pfnClock = SteadyMs;
  InitLane(&w->current);
  InitLane(&w->next);
  char name[kRecoveryNameSize];
  RecoveryName_Format(pid, token, false, name);
  w->current.pPath = JoinPath(folder, name);
  RecoveryName_Format(pid, token, true, name);
  w->next.pPath = JoinPath(folder, name);
  w->base = RecoveryBase_Empty();
  w->tOldestPending = -1;
  w->tLastStep = -1;
  w->nBudget = kRecoveryFirstBudget;
  if (!w->current.pPath || !w->next.pPath) {
    Recovery_Destroy(w);
    return nullptr;
  }
  QWIL_ASSERT(IsValidRecoveryWriter(w));
  return w;
}

void Recovery_Destroy(RecoveryWriter* w) {
  if (!w) return;
  RecoveryQueue_Free(&w->current.queue);
  RecoveryQueue_Free(&w->next.queue);
  Mem_Free(w->current.pPath);
  Mem_Free(w->next.pPath);
  Mem_Free(w->pDocPath);
  Mem_Free(w->pOrphan);
  Mem_Free(w);
}

void Recovery_SetClock(RecoveryWriter* w, RecoveryClockProc pfnClock, void* pContext) {
  w->pfnClock = pfnClock ? pfnClock : SteadyMs;
  w->pClockContext = pContext;
}

void Recovery_Observe(void* pWriter, const EditChange* change) {
  RecoveryWriter* w = static_cast<RecoveryWriter*>(pWriter);
  QWIL_ASSERT(IsValidRecoveryWriter(w));
  w->nTextSize = TextData_GetTextSize(change->text);
  if (change->kind == EDITCHANGE_NEW_DOCUMENT) {
    // The files describe a document that is gone; the new one has no base
    // until it is noted.
    w->bRemovePending = w->bRemovePending || HasFiles(w);
    ClearLane(&w->current);
    StopBuilding(w);
    w->base = RecoveryBase_Empty();
    w->bBaseStale = true;
    SetDocPath(w, nullptr);
    w->tOldestPending = -1;
    return;
  }
  RecoveryLane& c = w->current;
  if (c.state == RECOVERYFILE_OPEN || (c.state == RECOVERYFILE_NONE && !w->bBaseStale)) {
    RecoveryQueue_AddEdit(&c.queue, change->range, change->pText, change->nText);
  }
  if (w->bBuilding) {
    RecoveryBuild_NoteEdit(&w->build, &w->next.queue, change->range, change->pText, change->nText, change->ptEnd);
  }
  if (w->tOldestPending < 0) w->tOldestPending = Now(w);
}

void Recovery_NoteDocument(RecoveryWriter* w, const TextData* text, const char* path) {
  QWIL_ASSERT(IsValidRecoveryWriter(w) && IsValidTextDataHandle(text));
  RemoveFiles(w);
  SetDocPath(w, path);
  w->nTextSize = TextData_GetTextSize(text);
  w->disk = RecoveryDisk{false, 0, 0};
  w->base = RecoveryBase_Empty();
  w->bBaseStale = !IsEmptyText(text) || (path && !w->pDocPath);
  FileInfo info;
  const FileMethods* m = FileIo_GetMethods();
  if (w->pDocPath && m->pfnQuery(m->pContext, w->pDocPath, &info) == FILEERR_NONE && info.kind == FILEKIND_FILE) {
    w->disk = RecoveryDisk{true, info.nSize, info.nWriteTime};
    w->base = RecoveryBase_OfFile(text, &info);
    w->bBaseStale = false;
  }
  w->tOldestPending = -1;
  w->nFailures = 0;
}

void Recovery_NoteRestored(RecoveryWriter* w, const char* path, const RecoveryDisk* disk, const char* orphan) {
  QWIL_ASSERT(IsValidRecoveryWriter(w));
  // Whatever files there were describe what the editor held before.
  w->bRemovePending = w->bRemovePending || HasFiles(w);
  ClearLane(&w->current);
  StopBuilding(w);
  SetDocPath(w, path);
  w->disk = disk ? *disk : RecoveryDisk{false, 0, 0};
  w->base = RecoveryBase_Empty();
  w->bBaseStale = true;
  Mem_Free(w->pOrphan);
  w->pOrphan = CopyString(orphan);
  // Due at once: the recovered text is on disk only in the orphan.
  w->tOldestPending = Now(w) - kRecoveryDelayMs;
}

void Recovery_Tick(RecoveryWriter* w, TextData* text, POINT caret, bool bModified, RecoveryStep* report) {
  QWIL_ASSERT(IsValidRecoveryWriter(w) && IsValidTextDataHandle(text));
  RecoveryStep step = {};
  const int64_t start = Now(w);
  w->nTextSize = TextData_GetTextSize(text);
  if (w->bRemovePending) {
    w->bRemovePending = !RemoveStaleFiles(w);
    step.bStepped = true;
  }
  if (!bModified) {
    Settle(w, text, &step);
  } else {
    // A modified document that nothing was queued for (the observer came
    // late) is written after the usual delay all the same.
    if (!HasFiles(w) && !w->bBuilding && w->tOldestPending < 0) w->tOldestPending = start;
    const RecoverySchedule schedule = ScheduleOf(w, start);
    const int64_t due = RecoveryPolicy_DueAt(&schedule);
    if (due >= 0 && due <= start) {
      Step(w, text, caret, start, &step);
      const int64_t end = Now(w);
      step.bStepped = true;
      step.nMs = end - start;
      w->tLastStep = end;
      w->nLastStepMs = step.nMs;
      if (!step.bFailed) w->nBudget = RecoveryPolicy_NextBudget(w->nBudget, step.nBytes, step.nMs);
    }
  }
  if (report) *report = step;
  QWIL_ASSERT(IsValidRecoveryWriter(w));
}

int64_t Recovery_DueIn(const RecoveryWriter* w) {
  if (w->bRemovePending) return 0;
  const int64_t now = Now(w);
  const RecoverySchedule schedule = ScheduleOf(w, now);
  const int64_t due = RecoveryPolicy_DueAt(&schedule);
  if (due < 0) return -1;
  return due <= now ? 0 : due - now;
}

void Recovery_Discard(RecoveryWriter* w) {
  QWIL_ASSERT(IsValidRecoveryWriter(w));
  RemoveFiles(w);
  w->tOldestPending = -1;
}
