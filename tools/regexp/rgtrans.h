// Transitions of the automaton: one per leaf or structural step of the parse
// tree, kept in their source state's list in preference order.
#pragma once

#include <cstdint>

#include "tools/regexp/rgclass.h"
#include "tools/regexp/rgtree.h"

struct state;

struct trans {
  uint8_t epsilon;  // 1: taken without consuming a character
  int32_t type;     // the node type it was made from
  uint8_t ch[2];    // NODE_CHAR: the character, copied from the node
  uint32_t flags;   // the search options the pattern was compiled with
  char* list;       // NODE_CHARCLASS: owned copy of the class text; null otherwise
  state* to;        // target state, never null
  int32_t group;    // the node's group number; never negative
  trans* next;      // next transition of the same state, or null

  // Read from the fields above once, when the automaton is built, so that the
  // walk neither folds the pattern's character nor reads class text again.
  uint32_t nKey;    // NODE_CHAR: the fold key of ch under flags
  RgClass* pClass;  // NODE_CHARCLASS: list read into sets; owned
  int32_t nTo;      // index of `to` in its table
  uint8_t bLast;    // 1 for the last transition of its state's list
};

// Fills a transition for the node, with no target and no neighbour yet. False
// when memory runs out; the transition then holds nothing to release.
bool trans_init(trans* t, const tree* node, uint8_t epsilon, uint32_t flags);

// Frees what the transition owns (its class text and sets).
void trans_release(trans* t);

// The invariants: `to` set, `group` not negative, `type` within range, `list`
// present exactly for NODE_CHARCLASS, and the same for the rest of the list.
bool is_valid_trans(const trans* t);
