// Reading a recovery file back at start-up: the header checked, the records
// replayed over the base (an empty document, or the document file, which must
// be the one the journal was written over), every checksum and every check
// the writer left verified. The result says plainly what came of it; a file
// that is damaged or cut off is never handed back as if it were whole.
#pragma once

#include <cstdint>

#include "recovery/recoveryformat.h"
#include "recovery/recoverypolicy.h"
#include "editctrl/textdata.h"

enum RecoverStatus : int32_t {
  RECOVER_WHOLE,         // the text as the file last held it
  RECOVER_PARTIAL,       // the file is cut off or damaged behind a point: the text as it was there,
                         // an earlier state of the document (what was typed after it is lost)
  RECOVER_DAMAGED,       // no text can be trusted: a bad header, a snapshot never finished,
                         // a replay that does not come out as the writer recorded
  RECOVER_BASE_CHANGED,  // the journal's base, the document file, changed or is gone: its edits
                         // cannot be placed
  RECOVER_NOT_OURS,      // the owning process still runs: its file is not to be touched
  RECOVER_OPEN_FAILED,   // the recovery file cannot be opened
  RECOVER_READ_FAILED,   // reading it failed
  RECOVER_NO_MEMORY,
};

struct RecoveredDocument {
  RecoverStatus status;
  TextData* text;        // WHOLE and PARTIAL: the recovered document, the caller's (null otherwise)
  char* pPath;           // the document's path (Mem_Alloc), null for an untitled one; set whenever the header was read
  RecoveryDisk disk;     // the document file as it was loaded or last saved
  bool bDiskChanged;     // the file at pPath is not that any more: changed, gone, or there now
  POINT ptCaret;         // a position of text
  uint32_t nPid;         // the owner
  uint64_t nToken;
  int64_t nRecords;      // records used
  int64_t nDroppedBytes; // PARTIAL: the bytes behind the last record used
};

// Reads the recovery file at path into a document of layout prop. pfnAlive
// (optional) tells whether the owner in the header still runs, which gives
// RECOVER_NOT_OURS before any replay. Every field of *out is set.
void Recovery_Read(const char* path, const TextDataProperty* prop, RecoveryAliveProc pfnAlive, void* pContext,
                   RecoveredDocument* out);
// Frees what a result holds (the text unless the caller took it and set it null).
void RecoveredDocument_Free(RecoveredDocument* doc);
