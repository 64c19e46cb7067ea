// The rules of keeping a recovery file, as pure functions: when the next step
// is due, how much one step may write, when a new snapshot is to be made, what
// the files are called, and what the start-up scan does with each file it
// finds. The writer (recovery/recovery.h) and the window's start-up apply them.
#pragma once

#include <cstdint>

#include "recovery/recoveryformat.h"

// An edit is on disk at most this long after it was made, plus one tick of
// the window's timer (kRecoveryTickMs).
constexpr int64_t kRecoveryDelayMs = 4000;
constexpr int64_t kRecoveryTickMs = 500;
// After a step of c milliseconds the window has at least kRecoveryGapFactor * c
// to itself (and never less than kRecoveryMinGapMs): however slow the disk,
// keeping the file takes at most about a tenth of the window's time.
constexpr int64_t kRecoveryMinGapMs = 200;
constexpr int64_t kRecoveryGapFactor = 10;
// A failed step is tried again after 1 s, 2 s, 4 s ... at most a minute.
constexpr int64_t kRecoveryMaxBackoffMs = 60000;
// Bytes one step may write: aimed at kRecoveryStepTargetMs, a good part of the
// 50 ms the window may be held, learnt from the steps before.
constexpr int64_t kRecoveryStepTargetMs = 15;
constexpr int64_t kRecoveryFirstBudget = int64_t(4) << 20;
constexpr int64_t kRecoveryMinBudget = int64_t(64) << 10;
constexpr int64_t kRecoveryMaxBudget = int64_t(64) << 20;
// A journal is folded into a new snapshot once it has grown past the text it
// describes by this much: the bytes written for a document then stay within
// about twice the bytes its edits brought, plus one snapshot.
constexpr int64_t kRecoveryCompactSlack = int64_t(1) << 20;
// A journal over the document file is followed by a snapshot of the file's own
// after this long, so that a file changed after a crash cannot take the
// edits with it.
constexpr int64_t kRecoveryFileBaseMs = 60000;

struct RecoverySchedule {
  int64_t tOldestPending;  // the first edit not yet on disk; -1 for none
  bool bBacklog;           // work that waits for no delay: a snapshot under way, records beyond one step
  int64_t tLastStep;       // when the last step ended; -1 for never
  int64_t nLastStepMs;     // what it took
  int32_t nFailures;       // steps that failed in a row
};
// When the next step is due, on the writer's clock; -1 when nothing waits.
int64_t RecoveryPolicy_DueAt(const RecoverySchedule* schedule);

// The budget of the next step after one of `bytes` took `ms`: what
// kRecoveryStepTargetMs allows at that pace, at most twice or half the last
// budget, within kRecoveryMinBudget..kRecoveryMaxBudget. A step that wrote
// less than half its budget in time says nothing of the pace (the fixed cost
// of a flush weighs most there) and leaves the budget as it was.
int64_t RecoveryPolicy_NextBudget(int64_t budget, int64_t bytes, int64_t ms);

enum RecoveryFileState : int32_t {
  RECOVERYFILE_NONE,   // no recovery file
  RECOVERYFILE_OPEN,   // a whole file that takes appends
  RECOVERYFILE_TORN,   // a write failed: its tail may be cut, it takes no more records
};

struct RecoveryShape {
  RecoveryFileState state;
  bool bSnapshot;          // the file's records start with a snapshot
  RecoveryBaseKind base;   // what the file, or a journal about to be made, is replayed over
  bool bBaseHolds;         // every edit since the base is known, and a file base is unchanged on disk
  int64_t nJournalBytes;   // the file's bytes after its snapshot or base
  int64_t nTextSize;       // the document's, lines joined by CR LF
  int64_t nFileAgeMs;      // since the file was made
  int64_t nBudget;         // what one step may write
};
// Whether the next file is to be a snapshot of the text: always for a small
// document (it fits one step) and whenever the base cannot be trusted, a
// journal over the base first for a large one, and a snapshot again when a
// journal grew past its text or leaned on the document file long enough.
bool RecoveryPolicy_WantsSnapshot(const RecoveryShape* shape);

// File names: "qwilpad-PPPPPPPP-TTTTTTTTTTTTTTTT.qwr" (process id and start
// token in hexadecimal), and with ".new" behind it while a new one is made.
constexpr int32_t kRecoveryNameSize = 48;
void RecoveryName_Format(uint32_t pid, uint64_t token, bool bNew, char* buffer);
// Whether name is one of those; the parts into the pointers.
bool RecoveryName_Parse(const char* name, uint32_t* pPid, uint64_t* pToken, bool* pNew);

// Whether the process of that id which started at token still runs.
typedef bool (*RecoveryAliveProc)(void* pContext, uint32_t pid, uint64_t token);

enum RecoveryScanAction : int32_t {
  RECOVERYSCAN_IGNORE,  // no recovery file of this program
  RECOVERYSCAN_OWN,     // this process's own
  RECOVERYSCAN_LIVE,    // another running window's: never offered, never touched
  RECOVERYSCAN_OFFER,   // left by a process that ended: offer its text
  RECOVERYSCAN_REMOVE,  // an unfinished new file of a process that ended: of no use
};
// What the start-up scan does with a file of the recovery folder. A file
// bearing this process's id but another start token is an earlier process's
// whose id came round again.
RecoveryScanAction RecoveryScan_Classify(const char* name, uint32_t selfPid, uint64_t selfToken,
                                         RecoveryAliveProc pfnAlive, void* pContext);
