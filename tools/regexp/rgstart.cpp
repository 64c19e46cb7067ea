#include "tools/regexp/rgstart.h"

#include <cstring>

#include "tools/charfold.h"
#include "tools/charrule.h"
#include "tools/memory.h"
#include "tools/regexp/rgstate.h"

namespace {

// Looking for required bytes costs a pass over the automaton per candidate;
// big automata go without.
constexpr int32_t kMaxTransForRequired = 4096;
constexpr int32_t kMaxRequiredCandidates = 16;

// Breadth-first visits over the states, without recursion.
struct Visit {
  uint8_t* pSeen;
  int32_t* pQueue;
  int32_t nHead;
  int32_t nTail;
  int32_t nStates;
};

bool Visit_Init(Visit* v, int32_t nStates) {
  v->pSeen = static_cast<uint8_t*>(Mem_Alloc(static_cast<size_t>(nStates)));
  v->pQueue = static_cast<int32_t*>(Mem_Alloc(sizeof(int32_t) * static_cast<size_t>(nStates)));
  v->nStates = nStates;
  return v->pSeen && v->pQueue;
}

void Visit_Release(Visit* v) {
  Mem_Free(v->pSeen);
  Mem_Free(v->pQueue);
}

void Visit_Start(Visit* v) {
  std::memset(v->pSeen, 0, static_cast<size_t>(v->nStates));
  v->nHead = 0;
  v->nTail = 0;
  v->pSeen[0] = 1;
  v->pQueue[v->nTail++] = 0;
}

void Visit_Add(Visit* v, int32_t s) {
  if (v->pSeen[s]) return;
  v->pSeen[s] = 1;
  v->pQueue[v->nTail++] = s;
}

bool Visit_Next(Visit* v, int32_t* s) {
  if (v->nHead == v->nTail) return false;
  *s = v->pQueue[v->nHead++];
  return true;
}

bool FoldsCase(const trans* t) { return (t->flags & (SF_IGNORECASE | SF_IGNOREWIDTH)) != 0; }

void CharFirstBytes(const trans* t, uint8_t set[256]) {
  for (uint32_t b = 0; b < 256; ++b) {
    if (CharFold_Key(b, t->flags) == t->nKey) set[b] = 1;
  }
  if (t->ch[1]) set[t->ch[0]] = 1;
  if (!FoldsCase(t)) return;
  // Double-byte characters that fold to something else are all in the table.
  for (int32_t i = 0; i < kWidthFoldPairs; ++i) {
    uint32_t full = 0;
    uint32_t half = 0;
    CharFold_GetPair(i, &full, &half);
    if (CharFold_Key(full, t->flags) == t->nKey) set[full >> 8] = 1;
  }
}

// Every match consumes a first character, and these bytes can begin it; off
// when some path accepts, or passes a negative look-ahead, before consuming.
void FindFirstBytes(const table* tab, RgStartInfo* start, Visit* v) {
  uint8_t set[256] = {0};
  Visit_Start(v);
  int32_t s = 0;
  while (Visit_Next(v, &s)) {
    if (tab->states[s].final) return;
    for (const trans* t = tab->states[s].head; t; t = t->next) {
      if (t->type == NODE_NEG_LOOKAHEAD_BEGIN) return;
      if (t->epsilon) {
        Visit_Add(v, t->nTo);
      } else {
        RgStart_FirstBytesOf(t, set);
      }
    }
  }
  int32_t marked = 0;
  for (int b = 0; b < 256; ++b) marked += set[b];
  if (marked == 256) return;
  std::memcpy(start->firstBytes, set, sizeof(set));
  start->bFirstBytes = true;
}

// Anchored: what the start state reaches without passing "^" neither accepts
// nor consumes nor holds a negative look-ahead, so every match passes "^"
// at its start position, which only the line start satisfies.
void FindAnchor(const table* tab, RgStartInfo* start, Visit* v) {
  Visit_Start(v);
  int32_t s = 0;
  while (Visit_Next(v, &s)) {
    if (tab->states[s].final) return;
    for (const trans* t = tab->states[s].head; t; t = t->next) {
      if (!t->epsilon || t->type == NODE_NEG_LOOKAHEAD_BEGIN) return;
      if (t->type != NODE_LINE_BEGIN) Visit_Add(v, t->nTo);
    }
  }
  start->bAnchored = true;
}

// The literal characters every path begins with: while a state has a single
// transition and it is a literal character, it has to be taken.
void FindPrefix(const table* tab, RgStartInfo* start) {
  int32_t s = 0;
  int32_t n = 0;
  for (int32_t steps = 0; steps < tab->num; ++steps) {
    const state* st = &tab->states[s];
    if (st->final || st->nTrans != 1 || st->head->type != NODE_CHAR || FoldsCase(st->head)) break;
    const int32_t len = st->head->ch[1] ? 2 : 1;
    if (n + len > kRegexpMaxPrefix) break;
    for (int32_t i = 0; i < len; ++i) start->prefix[n++] = st->head->ch[i];
    s = st->head->nTo;
  }
  start->nPrefix = n;
}

// The one byte every character the transition accepts begins with; -1 when
// there are several, -2 when it accepts nothing at all.
int32_t SoleFirstByte(const trans* t) {
  if (t->epsilon) return -1;
  uint8_t set[256] = {0};
  RgStart_FirstBytesOf(t, set);
  int32_t sole = -2;
  for (int32_t b = 0; b < 256; ++b) {
    if (!set[b]) continue;
    if (sole != -2) return -1;
    sole = b;
  }
  return sole;
}

// Whether some path can succeed without a transition whose characters all
// begin with `byte`. A negative look-ahead can succeed where it stands.
bool CanSucceedWithout(const table* tab, Visit* v, const int32_t* sole, int32_t byte) {
  Visit_Start(v);
  int32_t s = 0;
  while (Visit_Next(v, &s)) {
    if (tab->states[s].final) return true;
    for (const trans* t = tab->states[s].head; t; t = t->next) {
      if (t->type == NODE_NEG_LOOKAHEAD_BEGIN) return true;
      const int32_t index = static_cast<int32_t>(t - tab->pTrans);
      if (sole[index] == byte || sole[index] == -2) continue;
      Visit_Add(v, t->nTo);
    }
  }
  return false;
}

// Candidates are taken from the last transition back: later parts of a
// pattern tend to be the rarer text.
void FindRequired(const table* tab, RgStartInfo* start, Visit* v) {
  if (tab->nTrans > kMaxTransForRequired) return;
  int32_t* sole = static_cast<int32_t*>(Mem_Alloc(sizeof(int32_t) * static_cast<size_t>(tab->nTrans + 1)));
  if (!sole) return;
  for (int32_t i = 0; i < tab->nTrans; ++i) sole[i] = SoleFirstByte(&tab->pTrans[i]);
  uint8_t tried[256] = {0};
  int32_t nTried = 0;
  for (int32_t i = tab->nTrans - 1; i >= 0 && nTried < kMaxRequiredCandidates; --i) {
    if (sole[i] < 0 || tried[sole[i]]) continue;
    tried[sole[i]] = 1;
    ++nTried;
    if (!CanSucceedWithout(tab, v, sole, sole[i])) {
      start->required[start->nRequired++] = static_cast<uint8_t>(sole[i]);
      if (start->nRequired == kRegexpMaxRequired) break;
    }
  }
  Mem_Free(sole);
}

}  // namespace

void RgStart_FirstBytesOf(const trans* t, uint8_t set[256]) {
  if (t->type == NODE_ANYCHAR) {
    std::memset(set, 1, 256);
  } else if (t->type == NODE_CHARCLASS) {
    for (uint32_t b = 0; b < 256; ++b) {
      if (RgClass_MayStartWith(t->pClass, static_cast<uint8_t>(b))) set[b] = 1;
    }
  } else if (t->type == NODE_CHAR) {
    CharFirstBytes(t, set);
  }
}

void RgStart_Analyse(const table* tab, RgStartInfo* start) {
  Visit v;
  if (Visit_Init(&v, tab->num)) {
    FindFirstBytes(tab, start, &v);
    FindAnchor(tab, start, &v);
    FindRequired(tab, start, &v);
  }
  Visit_Release(&v);
  FindPrefix(tab, start);
}
