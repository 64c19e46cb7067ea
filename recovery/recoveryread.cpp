#include "recovery/recoveryread.h"

#include <cstring>

#include "recovery/recoverybase.h"
#include "editctrl/textfile.h"
#include "tools/charrule.h"
#include "tools/fileio.h"
#include "tools/memory.h"

namespace {

// Bytes read at a time; a record is never longer, so one always fits.
constexpr int32_t kReadChunk = 4 << 20;
static_assert(kReadChunk >= kRecordHead + kRecordMaxPayload + kRecordTail, "a whole record fits the buffer");
static_assert(kReadChunk >= kRecoveryMaxHeader, "the header fits the buffer");

// The file, read forward through a buffer.
struct Source {
  const FileMethods* pMethods;
  FileHandle* pFile;
  char* pData;
  int32_t nLength;  // bytes in pData
  int32_t nPos;     // invariant: 0 <= nPos <= nLength
  int64_t nOffset;  // the file offset of pData[0]
  bool bEnd;
  bool bError;
};

// Keeps the bytes from nPos on and fills the buffer behind them.
void Refill(Source* s) {
  std::memmove(s->pData, s->pData + s->nPos, static_cast<size_t>(s->nLength - s->nPos));
  s->nOffset += s->nPos;
  s->nLength -= s->nPos;
  s->nPos = 0;
  while (!s->bEnd && s->nLength < kReadChunk) {
    const int32_t n = s->pMethods->pfnRead(s->pMethods->pContext, s->pFile, s->pData + s->nLength,
                                           kReadChunk - s->nLength);
    if (n < 0) s->bError = true;
    if (n <= 0) s->bEnd = true;
    if (n > 0) s->nLength += n;
  }
}

// An edit whose text is still arriving in MORE records.
struct PendingEdit {
  bool bActive;
  TextRange range;
  char* pText;  // owned
  int32_t nHave;
  int32_t nWant;
};

enum Verdict : int32_t {
  VERDICT_GO_ON,
  VERDICT_BAD,       // a record that is no record here: the file is damaged from it on
  VERDICT_MISMATCH,  // a whole record the replay contradicts
  VERDICT_NO_MEMORY,
};

struct Replay {
  TextData* text;
  bool bSnapshot;
  bool bDone;        // the snapshot's DONE was met
  uint32_t nSeq;     // expected next
  PendingEdit edit;
  POINT ptCaret;
  int64_t nRecords;
};

bool RangeFits(TextData* text, TextRange r) {
  if (r.end.y >= text->count) return false;
  return r.start.x <= Line_GetLength(TextData_Lookup(text, r.start.y, nullptr)) &&
         r.end.x <= Line_GetLength(TextData_Lookup(text, r.end.y, nullptr));
}

Verdict Apply(Replay* r, TextRange range, const char* bytes, int32_t n) {
  if (!RangeFits(r->text, range)) return VERDICT_MISMATCH;
  POINT end;
  return TextData_Replace(r->text, range, bytes, n, &end) ? VERDICT_GO_ON : VERDICT_NO_MEMORY;
}

void EndEdit(PendingEdit* e) {
  Mem_Free(e->pText);
  *e = PendingEdit{};
}

Verdict OnEdit(Replay* r, const RecoveryRecord* record) {
  RecoveryEdit edit;
  if (r->edit.bActive || !RecoveryFormat_DecodeEdit(record, &edit)) return VERDICT_BAD;
  const char* bytes = record->pPayload + kEditFixed;
  const int32_t n = record->nPayload - kEditFixed;
  if (n == edit.nText) return Apply(r, edit.range, bytes, n);
  // The text goes on in MORE records; the buffer grows with what arrives,
  // whatever size the record claims.
  PendingEdit& e = r->edit;
  e.pText = static_cast<char*>(Mem_Alloc(static_cast<size_t>(n)));
  if (!e.pText) return VERDICT_NO_MEMORY;
  std::memcpy(e.pText, bytes, static_cast<size_t>(n));
  e.bActive = true;
  e.range = edit.range;
  e.nHave = n;
  e.nWant = edit.nText;
  return VERDICT_GO_ON;
}

Verdict OnMore(Replay* r, const RecoveryRecord* record) {
  PendingEdit& e = r->edit;
  if (!e.bActive || record->nPayload > e.nWant - e.nHave || record->nPayload == 0) return VERDICT_BAD;
  char* grown = static_cast<char*>(Mem_Realloc(e.pText, static_cast<size_t>(e.nHave + record->nPayload)));
  if (!grown) return VERDICT_NO_MEMORY;
  e.pText = grown;
  std::memcpy(e.pText + e.nHave, record->pPayload, static_cast<size_t>(record->nPayload));
  e.nHave += record->nPayload;
  if (e.nHave < e.nWant) return VERDICT_GO_ON;
  const Verdict v = Apply(r, e.range, e.pText, e.nHave);
  EndEdit(&e);
  return v;
}

Verdict OnState(Replay* r, const RecoveryRecord* record) {
  RecoveryState state;
  if (r->edit.bActive || !RecoveryFormat_DecodeState(record, &state)) return VERDICT_BAD;
  if (r->bSnapshot && !r->bDone) return VERDICT_BAD;
  if (state.nLength != r->text->length || state.nCount != r->text->count) return VERDICT_MISMATCH;
  r->ptCaret = state.ptCaret;
  return VERDICT_GO_ON;
}

Verdict OnDone(Replay* r, const RecoveryRecord* record) {
  int32_t length, count;
  if (r->edit.bActive || !r->bSnapshot || r->bDone || !RecoveryFormat_DecodeDone(record, &length, &count)) {
    return VERDICT_BAD;
  }
  if (length != r->text->length || count != r->text->count) return VERDICT_MISMATCH;
  r->bDone = true;
  return VERDICT_GO_ON;
}

Verdict OnRecord(Replay* r, const RecoveryRecord* record) {
  if (record->nSeq != r->nSeq) return VERDICT_BAD;
  ++r->nSeq;
  switch (record->type) {
    case RECOVERYREC_EDIT: return OnEdit(r, record);
    case RECOVERYREC_MORE: return OnMore(r, record);
    case RECOVERYREC_STATE: return OnState(r, record);
    case RECOVERYREC_DONE: return OnDone(r, record);
  }
  return VERDICT_BAD;
}

// A state of the document can be handed back: no edit half-arrived, and a
// snapshot's text complete.
bool IsUsable(const Replay* r) { return !r->edit.bActive && (!r->bSnapshot || r->bDone); }

char* CopyPath(const RecoveryHeader* h) {
  if (h->nPath == 0) return nullptr;
  char* path = static_cast<char*>(Mem_Alloc(static_cast<size_t>(h->nPath) + 1));
  if (!path) return nullptr;
  std::memcpy(path, h->pPath, static_cast<size_t>(h->nPath));
  path[h->nPath] = '\0';
  return path;
}

FileInfo QueryFile(const char* path) {
  FileInfo info = {};
  const FileMethods* m = FileIo_GetMethods();
  if (m->pfnQuery(m->pContext, path, &info) != FILEERR_NONE) info.kind = FILEKIND_OTHER;
  return info;
}

bool DiskChanged(const RecoveredDocument* out) {
  if (!out->pPath) return false;
  const FileInfo info = QueryFile(out->pPath);
  if (!out->disk.bPresent) return info.kind != FILEKIND_NONE;
  return info.kind != FILEKIND_FILE || info.nSize != out->disk.nSize || info.nWriteTime != out->disk.nWriteTime;
}

// The document the records are replayed over; null with *pStatus.
TextData* OpenBase(const RecoveryHeader* h, const char* path, const TextDataProperty* prop, RecoverStatus* pStatus) {
  *pStatus = RECOVER_NO_MEMORY;
  if (h->base.kind == RECOVERYBASE_EMPTY) return TextData_Create(prop);
  *pStatus = RECOVER_BASE_CHANGED;
  if (!path) return nullptr;
  const FileInfo info = QueryFile(path);
  if (!RecoveryBase_FileUnchanged(&h->base, &info)) return nullptr;
  TextFileStatus status;
  TextData* text = TextFile_Load(path, prop, &status);
  if (!text) {
    if (status == TEXTFILE_NO_MEMORY) *pStatus = RECOVER_NO_MEMORY;
    return nullptr;
  }
  if (!RecoveryBase_TextMatches(&h->base, text)) {
    TextData_Destroy(text);
    return nullptr;
  }
  return text;
}

POINT ClampCaret(TextData* text, POINT p) {
  if (p.y < 0) p.y = 0;
  if (p.y >= text->count) p.y = text->count - 1;
  const LineData* line = TextData_Lookup(text, p.y, nullptr);
  if (p.x < 0) p.x = 0;
  if (p.x > Line_GetLength(line)) p.x = Line_GetLength(line);
  if (Char_IsSecondByte(Line_GetString(line), 0, p.x)) --p.x;
  return p;
}

struct Reading {
  Source source;
  Replay replay;
  int64_t nUsedEnd;  // file offset behind the last record used
  bool bClean;       // the records ran to the file's end without a fault
};

// Replays every record; out->status is left for the caller unless a fault
// ends the reading (then it is set and false returned).
bool ReplayRecords(Reading* g, RecoveredDocument* out) {
  Source& s = g->source;
  for (;;) {
    RecoveryRecord record;
    int32_t size = 0;
    const RecoveryParse parse = RecoveryFormat_ParseRecord(s.pData + s.nPos, s.nLength - s.nPos, &record, &size);
    if (parse == RECOVERYPARSE_SHORT && !s.bEnd) {
      Refill(&s);
      continue;
    }
    if (parse == RECOVERYPARSE_SHORT) {
      g->bClean = s.nPos == s.nLength && !s.bError && !g->replay.edit.bActive;
      return true;
    }
    if (parse == RECOVERYPARSE_BAD) return true;
    const Verdict v = OnRecord(&g->replay, &record);
    if (v == VERDICT_BAD) return true;
    if (v != VERDICT_GO_ON) {
      out->status = v == VERDICT_NO_MEMORY ? RECOVER_NO_MEMORY : RECOVER_DAMAGED;
      return false;
    }
    s.nPos += size;
    ++g->replay.nRecords;
    if (IsUsable(&g->replay)) g->nUsedEnd = s.nOffset + s.nPos;
  }
}

// The header; false with out->status set when there is none to go on from.
bool ReadHeader(Reading* g, RecoveryAliveProc pfnAlive, void* pContext, RecoveryHeader* h, RecoveredDocument* out) {
  Source& s = g->source;
  Refill(&s);
  if (s.bError) {
    out->status = RECOVER_READ_FAILED;
    return false;
  }
  int32_t size = 0;
  if (RecoveryFormat_DecodeHeader(s.pData, s.nLength, h, &size) != RECOVERYPARSE_OK) {
    out->status = RECOVER_DAMAGED;
    return false;
  }
  s.nPos = size;
  g->nUsedEnd = size;
  out->nPid = h->nPid;
  out->nToken = h->nToken;
  out->disk = h->disk;
  out->pPath = CopyPath(h);
  if (h->nPath > 0 && !out->pPath) {
    out->status = RECOVER_NO_MEMORY;
    return false;
  }
  out->bDiskChanged = DiskChanged(out);
  if (pfnAlive && pfnAlive(pContext, h->nPid, h->nToken)) {
    out->status = RECOVER_NOT_OURS;
    return false;
  }
  return true;
}

void ReadOpen(Reading* g, const TextDataProperty* prop, RecoveryAliveProc pfnAlive, void* pContext,
              RecoveredDocument* out) {
  RecoveryHeader h;
  if (!ReadHeader(g, pfnAlive, pContext, &h, out)) return;
  RecoverStatus status;
  g->replay.text = OpenBase(&h, out->pPath, prop, &status);
  if (!g->replay.text) {
    out->status = status;
    return;
  }
  g->replay.bSnapshot = (h.nFlags & kRecoveryFlagSnapshot) != 0;
  // The header alone is a state when nothing has to be built first.
  if (IsUsable(&g->replay)) g->nUsedEnd = g->source.nPos;
  if (!ReplayRecords(g, out)) return;
  // An edit whose text did not all arrive is left out; a snapshot whose text
  // did not is no state of the document at all.
  if (g->replay.bSnapshot && !g->replay.bDone) {
    out->status = RECOVER_DAMAGED;
  } else if (g->source.bError) {
    out->status = RECOVER_READ_FAILED;
  } else {
    out->status = g->bClean ? RECOVER_WHOLE : RECOVER_PARTIAL;
  }
}

}  // namespace

void Recovery_Read(const char* path, const TextDataProperty* prop, RecoveryAliveProc pfnAlive, void* pContext,
                   RecoveredDocument* out) {
  std::memset(out, 0, sizeof(*out));
  out->status = RECOVER_OPEN_FAILED;
  Reading g = {};
  g.source.pMethods = FileIo_GetMethods();
  const FileMethods* m = g.source.pMethods;
  if (m->pfnOpen(m->pContext, path, FILEOPEN_READ, &g.source.pFile) != FILEERR_NONE) return;
  g.source.pData = static_cast<char*>(Mem_Alloc(kReadChunk));
  if (g.source.pData) {
    ReadOpen(&g, prop, pfnAlive, pContext, out);
  } else {
    out->status = RECOVER_NO_MEMORY;
  }
  // What was cut off counts from the last record used to the file's end.
  int64_t size = 0;
  if (out->status == RECOVER_PARTIAL && !m->pfnSize(m->pContext, g.source.pFile, &size)) size = g.nUsedEnd;
  m->pfnClose(m->pContext, g.source.pFile);
  EndEdit(&g.replay.edit);
  Mem_Free(g.source.pData);
  if (out->status == RECOVER_WHOLE || out->status == RECOVER_PARTIAL) {
    out->text = g.replay.text;
    out->ptCaret = ClampCaret(out->text, g.replay.ptCaret);
    out->nRecords = g.replay.nRecords;
    out->nDroppedBytes = out->status == RECOVER_PARTIAL && size > g.nUsedEnd ? size - g.nUsedEnd : 0;
  } else {
    TextData_Destroy(g.replay.text);
  }
}

void RecoveredDocument_Free(RecoveredDocument* doc) {
  TextData_Destroy(doc->text);
  doc->text = nullptr;
  Mem_Free(doc->pPath);
  doc->pPath = nullptr;
}
