// The recovery benchmark's run, shared by qwilbench (native) and winbench
// (under Wine, through the Win32 file API): a loaded document is typed into
// in rounds, each followed by the writer's tick a few seconds later, which
// keeps a journal over the file; then, past the minute after which a journal
// over the file gives way to a snapshot, a key is typed before every tick
// until the snapshot, written in slices, has taken the journal's place. Each
// tick is timed from outside: the longest is what the window waits for at
// worst. Both files are read back as at start-up and compared.
//
// The writer's timer runs on a clock the run moves ahead between ticks; each
// tick itself takes the real time it takes.
#pragma once

#include <cstdint>
#include <cstdio>

#include "recovery/recovery.h"
#include "recovery/recoveryread.h"
#include "editctrl/editbody.h"
#include "editctrl/editundo.h"

struct RecoveryRunClock {
  double (*pfnNowMs)();
  double dStart;
  int64_t nAhead;  // virtual milliseconds added to the real ones
};

inline int64_t RecoveryRun_ReadClock(void* context) {
  const RecoveryRunClock* c = static_cast<const RecoveryRunClock*>(context);
  return static_cast<int64_t>(c->pfnNowMs() - c->dStart) + c->nAhead;
}

struct RecoveryRunSteps {
  int steps = 0;
  double dMax = 0;
  double dTotal = 0;
  int64_t nBytes = 0;
};

struct RecoveryFigures {
  double dNoteMs = 0;        // Recovery_NoteDocument: the sample of the loaded document
  double dUsPerKey = 0;      // typing with the observer queueing every key
  double dUsPerKeyBare = 0;  // the same typing before the observer was set
  bool bJournal = false;     // the first file was a journal over the document file
  RecoveryRunSteps journal;  // the ticks of the typing rounds
  RecoveryRunSteps snapshot; // the ticks that made the snapshot
  double dKeyMaxMs = 0;      // the slowest key typed between them, at another place each
  int64_t nBudgetKb = 0;     // what a step may write, as learnt
  double dReadJournalMs = 0;
  double dReadSnapshotMs = 0;
  bool bRecovered = false;   // both read back as the document
};

struct RecoveryRun {
  TextEditorBody* body;
  RecoveryWriter* w;
  RecoveryRunClock clock;
  uint32_t nRandom;
};

inline int32_t RecoveryRun_Line(RecoveryRun* r) {
  r->nRandom = r->nRandom * 1103515245u + 12345u;
  return static_cast<int32_t>((r->nRandom >> 8) % static_cast<uint32_t>(r->body->text->count));
}

inline void RecoveryRun_Tick(RecoveryRun* r, RecoveryRunSteps* times) {
  RecoveryStep step = {};
  const double start = r->clock.pfnNowMs();
  Recovery_Tick(r->w, r->body->text, r->body->ptCaret, EditBody_GetModified(r->body), &step);
  const double ms = r->clock.pfnNowMs() - start;
  if (!step.bStepped) return;
  ++times->steps;
  times->dTotal += ms;
  if (ms > times->dMax) times->dMax = ms;
  times->nBytes += step.nBytes;
}

inline bool RecoveryRun_TypeAt(TextEditorBody* body, int32_t y, char c) {
  const POINT at = TextData_EndOfLine(body->text, y);
  return EditBody_ReplaceRange(body, {at, at}, &c, 1, true, nullptr);
}

inline bool RecoveryRun_ReadBack(RecoveryRun* r, double* pMs) {
  const TextDataProperty prop = EditBody_LayoutProp(r->body);
  RecoveredDocument doc;
  const double start = r->clock.pfnNowMs();
  Recovery_Read(Recovery_FilePath(r->w), &prop, nullptr, nullptr, &doc);
  *pMs = r->clock.pfnNowMs() - start;
  const TextData* text = r->body->text;
  const bool same = doc.status == RECOVER_WHOLE && doc.text && doc.text->length == text->length &&
                    doc.text->count == text->count;
  if (!same) std::fprintf(stderr, "recovery: reading back gave status %d\n", static_cast<int>(doc.status));
  RecoveredDocument_Free(&doc);
  return same;
}

inline bool RecoveryRun_TypeRounds(RecoveryRun* r, long keys, RecoveryFigures* f) {
  constexpr int kRounds = 10;
  double typing = 0;
  for (int round = 0; round < kRounds; ++round) {
    const int32_t y = RecoveryRun_Line(r);
    const double start = r->clock.pfnNowMs();
    for (long i = 0; i < keys / kRounds; ++i) {
      if (!RecoveryRun_TypeAt(r->body, y, static_cast<char>('a' + i % 26))) return false;
    }
    typing += r->clock.pfnNowMs() - start;
    r->clock.nAhead += kRecoveryDelayMs;
    RecoveryRun_Tick(r, &f->journal);
  }
  f->dUsPerKey = typing * 1000.0 / double(keys / kRounds * kRounds);
  return true;
}

// Typing without the observer, for comparison, taken back afterwards.
inline bool RecoveryRun_TypeBare(RecoveryRun* r, long keys, RecoveryFigures* f) {
  const int32_t y = RecoveryRun_Line(r);
  const double start = r->clock.pfnNowMs();
  for (long i = 0; i < keys; ++i) {
    if (!RecoveryRun_TypeAt(r->body, y, static_cast<char>('a' + i % 26))) return false;
  }
  f->dUsPerKeyBare = (r->clock.pfnNowMs() - start) * 1000.0 / double(keys);
  while (EditBody_Undo(r->body)) {
  }
  return !EditBody_GetModified(r->body);
}

inline bool RecoveryRun_Snapshot(RecoveryRun* r, RecoveryFigures* f) {
  r->clock.nAhead += kRecoveryFileBaseMs;
  for (int i = 0; i < 100000 && !r->w->current.bSnapshot; ++i) {
    const int32_t y = RecoveryRun_Line(r);
    const double start = r->clock.pfnNowMs();
    if (!RecoveryRun_TypeAt(r->body, y, 'x')) return false;
    const double ms = r->clock.pfnNowMs() - start;
    if (ms > f->dKeyMaxMs) f->dKeyMaxMs = ms;
    r->clock.nAhead += kRecoveryTickMs;
    RecoveryRun_Tick(r, &f->snapshot);
  }
  return r->w->current.bSnapshot;
}

// The run over the body's document, loaded from path, with its recovery
// files in folder (ending with a separator), removed at the end. False when
// anything failed (said on stderr).
inline bool RecoveryRun_Measure(TextEditorBody* body, const char* path, const char* folder, uint32_t pid, long keys,
                                double (*pfnNowMs)(), RecoveryFigures* f) {
  RecoveryRun r = {body, Recovery_Create(folder, pid, 1), {pfnNowMs, pfnNowMs(), 0}, 1};
  if (!r.w || !RecoveryRun_TypeBare(&r, keys / 10, f)) return false;
  Recovery_SetClock(r.w, RecoveryRun_ReadClock, &r.clock);
  const EditWatcher watcher = {Recovery_Observe, r.w};
  EditBody_AddWatcher(body, &watcher);
  const double start = pfnNowMs();
  Recovery_NoteDocument(r.w, body->text, path);
  f->dNoteMs = pfnNowMs() - start;
  bool ok = RecoveryRun_TypeRounds(&r, keys, f);
  f->bJournal = ok && Recovery_HasFile(r.w) && !r.w->current.bSnapshot;
  ok = ok && RecoveryRun_ReadBack(&r, &f->dReadJournalMs);
  ok = ok && RecoveryRun_Snapshot(&r, f) && RecoveryRun_ReadBack(&r, &f->dReadSnapshotMs);
  f->nBudgetKb = r.w->nBudget >> 10;
  f->bRecovered = ok;
  EditBody_RemoveWatcher(body, &watcher);
  Recovery_Discard(r.w);
  Recovery_Destroy(r.w);
  return ok;
}

// The figures as one line of key=value pairs (after the prefix).
inline void RecoveryRun_Print(const char* prefix, const TextData* text, const RecoveryFigures* f) {
  std::printf(
      "%sbytes=%d lines=%d note_ms=%.1f us_per_key_bare=%.2f us_per_key=%.2f journal=%s journal_steps=%d "
      "journal_max_ms=%.2f snapshot_steps=%d snapshot_max_ms=%.2f snapshot_total_ms=%.1f snapshot_bytes=%lld "
      "key_max_ms=%.2f budget_kb=%lld "
      "read_journal_ms=%.1f read_snapshot_ms=%.1f recovered=%s\n",
      prefix, TextData_GetTextSize(text), text->count, f->dNoteMs, f->dUsPerKeyBare, f->dUsPerKey,
      f->bJournal ? "yes" : "no",
      f->journal.steps, f->journal.dMax, f->snapshot.steps, f->snapshot.dMax, f->snapshot.dTotal,
      static_cast<long long>(f->snapshot.nBytes), f->dKeyMaxMs, static_cast<long long>(f->nBudgetKb),
      f->dReadJournalMs, f->dReadSnapshotMs, f->bRecovered ? "ok" : "failed");
}
