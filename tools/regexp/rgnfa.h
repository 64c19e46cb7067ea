// The compiled pattern: the automaton built from a parse tree, what the search
// knows about where a match can start, the walk's limits and its working
// memory.
//
// A compiled pattern is used by one thread at a time: the walk keeps its marks
// and its stack in it, so that searching line after line allocates nothing.
#pragma once

#include <cstdint>

#include "tools/regexp/rgstart.h"
#include "tools/regexp/rgstate.h"
#include "tools/regexp/rgtree.h"

// Bounds on the automaton (the parse tree's own bound keeps far below them).
constexpr int32_t kRegexpMaxStates = 1 << 20;
constexpr int32_t kRegexpMaxTrans = 1 << 20;

// Every search is bounded. A search over a subject of n bytes may take
// kRegexpBaseSteps + kRegexpStepsPerByte * n steps, at most kRegexpMaxSteps (a
// step is one transition entered, some 5 to 10 ns), and hold kRegexpMaxFrames
// transitions on its path at once; past either, it gives up with "too
// complex" instead of an answer. Ordinary searches stay far below: they skip
// most start positions without a step and take a few steps at the others.
constexpr int64_t kRegexpBaseSteps = 16000000;
constexpr int64_t kRegexpStepsPerByte = 16;
constexpr int64_t kRegexpMaxSteps = 160000000;
constexpr int32_t kRegexpMaxFrames = 1 << 22;

// One transition on the walk's current path: entered at nPos, with the mark
// it had before (kRegexpNoMark when it had none in this attempt).
struct RgFrame {
  int32_t nTrans;
  int32_t nPos;
  uint32_t nSaved;
};
constexpr uint32_t kRegexpNoMark = 0xFFFFFFFFu;

struct nfa {
  int32_t count;         // capture slots: capturing groups plus one; invariant: count > 0
  struct table* table;   // owned

  RgStartInfo start;     // where matches can start

  // Limits of one search; zero means the defaults above.
  int64_t nStepLimit;
  int32_t nFrameLimit;
  int64_t nStepsUsed;    // steps taken by the last search, for measurements
  bool bSharedBudget;    // searches draw their steps from nSharedSteps
  int64_t nSharedSteps;

  // The walk's working memory. `visited` holds one mark per transition: the
  // attempt's generation in the high half and the position at which the
  // transition was entered on the current path in the low half, so that a new
  // attempt resets every mark by starting a new generation.
  uint64_t* visited;
  uint32_t nGeneration;
  RgFrame* pFrames;
  int32_t nFrameCapacity;
};

// Builds the compiled pattern from the tree (which stays the caller's) with
// count = group_count + 1 capture slots and the search option flags. Null when
// memory runs out or the automaton would pass its bounds.
nfa* nfa_build(const tree* root, int32_t group_count, uint32_t flags);

// Frees every transition (with its class), the states, the table, the working
// memory and the record. Null is allowed.
void nfa_free(nfa* pattern);

bool is_valid_nfa(const nfa* pattern);

// Limits for each of the searches that follow (tests use small ones); 0
// restores the default.
void nfa_set_limits(nfa* pattern, int64_t steps, int32_t frames);

// The default step budget of a search over `bytes` bytes.
int64_t nfa_default_budget(int32_t bytes);

// Makes the searches that follow draw their steps from one budget of `steps`
// until it is spent (each search after that is too complex); steps <= 0 ends
// the sharing. For callers that search one line many times, such as a
// backward search trying an anchored match at every character start, so that
// the line as a whole stays bounded.
void nfa_share_budget(nfa* pattern, int64_t steps);
