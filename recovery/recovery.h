// The recovery writer: keeps one window's unsaved text in a recovery file of
// its own, a few seconds behind the user, without holding the window up.
//
// What is on disk is always one whole recovery file (recovery/recoveryformat.h):
//   - for a document that fits one step (a few megabytes), a snapshot of its
//     text, written as a new file that then takes the old one's place, and
//     the edits since appended behind it;
//   - for a larger one, first a journal of the edits over the document file
//     it was loaded from (or over nothing, untitled), which costs only what
//     the edits cost; then, when that file changes on disk, when the journal
//     outgrows the text, or after a minute, a new snapshot made in slices
//     across several ticks (recovery/recoverybuild.h), while the old file goes on
//     receiving the edits until the new one is whole and replaces it.
// Every byte goes through the file seam: new files by the safe save's
// protocol (written, flushed, closed, then put in place in one step), appends
// as records each with its checksum, so that a crash in the middle of a write
// leaves the file as it was before it, or with a torn record the reader cuts
// off. A write that fails marks the file torn: it takes no more records, the
// next step makes a new snapshot, and until that replaces it the torn file is
// still the best there is.
//
// The window calls, on its one thread:
//   Recovery_Create            once, with the folder and its process's identity
//   TextEditor_AddWatcher      {Recovery_Observe, writer}: every change reaches the writer
//   Recovery_NoteDocument      after a file was loaded or saved, or a new document made
//   Recovery_NoteRestored      after a recovered text was put into the editor
//   Recovery_Tick              from a timer, every kRecoveryTickMs (or at Recovery_DueIn)
//   Recovery_Discard           when the text is thrown away ("No" at the save question) and at a normal close
//   Recovery_Destroy           at the end; it leaves the files alone
// The watcher does no I/O: it queues; only the tick and the note calls write.
#pragma once

#include <cstdint>

#include "recovery/recoverybuild.h"
#include "recovery/recoverypolicy.h"
#include "recovery/recoveryqueue.h"
#include "editctrl/editbody.h"

// Milliseconds on a steady clock; a test gives its own.
typedef int64_t (*RecoveryClockProc)(void* pContext);

// One file on disk and the records on their way to it.
struct RecoveryLane {
  char* pPath;              // owned
  RecoveryFileState state;
  bool bSnapshot;           // its records start with a snapshot
  RecoveryBaseKind base;    // what they are replayed over
  int64_t nBytes;           // written (and flushed) so far
  int64_t nJournalBytes;    // of them, after the snapshot or the header
  int64_t tMade;            // when it was made
  RecoveryQueue queue;
};

// What a tick did, for the benchmark and the tests.
struct RecoveryStep {
  bool bStepped;         // it wrote or removed something
  int64_t nBytes;        // bytes written
  int64_t nMs;           // how long it held the caller
  bool bSnapshotDone;    // a new snapshot took the file's place
  bool bFailed;          // a write failed (the next step goes on from the document)
};

struct RecoveryWriter {
  uint32_t nPid;
  uint64_t nToken;
  RecoveryClockProc pfnClock;
  void* pClockContext;
  // The document.
  char* pDocPath;           // owned; null while untitled
  RecoveryDisk disk;        // its file when loaded or last saved
  RecoveryBase base;
  bool bBaseStale;          // no base to build on: none, changed on disk, or an edit since it was lost
  // The file in use, and the snapshot being made to replace it.
  RecoveryLane current;
  RecoveryLane next;
  bool bBuilding;
  RecoveryBuild build;
  bool bRemovePending;      // the files of a document that is gone are to be removed
  char* pOrphan;            // a file recovered from, removed once a file of this writer holds its text
  // Timing.
  int64_t tOldestPending;   // the first edit the disk does not have yet; -1 for none
  int64_t tLastStep;
  int64_t nLastStepMs;
  int32_t nFailures;
  int64_t nBudget;
  int64_t nTextSize;        // the document's, as last seen
};

bool IsValidRecoveryWriter(const RecoveryWriter* w);

// A writer keeping its files in folder (ending with a separator, existing),
// named after the process id and start token; null when out of memory. It
// starts with an untitled empty document.
RecoveryWriter* Recovery_Create(const char* folder, uint32_t pid, uint64_t token);
// Frees the writer; its files stay (a normal close calls Recovery_Discard first).
void Recovery_Destroy(RecoveryWriter* w);
void Recovery_SetClock(RecoveryWriter* w, RecoveryClockProc pfnClock, void* pContext);

// The document's watcher (the context is the writer).
void Recovery_Observe(void* pWriter, const EditChange* change);

// The document is now the file at path, as loaded or just saved (path null: a
// new untitled document, or one whose file does not exist yet, either empty):
// the recovery files go, and the file (or nothing) is the base of what comes.
void Recovery_NoteDocument(RecoveryWriter* w, const TextData* text, const char* path);
// The document is a recovered text, for path (null: untitled) whose file was
// as disk describes when the text was last loaded or saved. The first tick
// writes a snapshot of it; orphan (optional), the file it came from, is
// removed once that is in place.
void Recovery_NoteRestored(RecoveryWriter* w, const char* path, const RecoveryDisk* disk, const char* orphan);

// Does what is due: removes the files when the document is not modified, else
// writes at most one step's budget. report (optional) says what it did.
void Recovery_Tick(RecoveryWriter* w, TextData* text, POINT caret, bool bModified, RecoveryStep* report);
// Milliseconds until a tick has something to do (0: now), or -1 for nothing.
int64_t Recovery_DueIn(const RecoveryWriter* w);
// Removes the recovery files; what is typed next starts a new one.
void Recovery_Discard(RecoveryWriter* w);

// The recovery file's path (whether or not it exists now).
inline const char* Recovery_FilePath(const RecoveryWriter* w) { return w->current.pPath; }
inline bool Recovery_HasFile(const RecoveryWriter* w) { return w->current.state != RECOVERYFILE_NONE; }
