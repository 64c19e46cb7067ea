// The parse tree of a regular expression: one heap node per construct, each
// owning its children. The parser builds it, the automaton builder reads it,
// and the compiler frees it once the automaton exists.
//
// Trees can be very deep (a long literal is a left-deep chain of
// concatenations, a counted repetition a right-deep one), so no operation here
// recurses: copying and checking walk with a stack on the heap, freeing
// rotates the tree as it goes.
#pragma once

#include <cstdint>

// Node types. The numbers are fixed: the automaton builder switches on them and
// copies them into its transitions.
enum NodeType : int32_t {
  NODE_MIN = 0,
  NODE_EMPTY = 0,                 // matches the empty string
  NODE_GROUP_BEGIN = 1,           // start of capturing group `ref`
  NODE_GROUP_END = 2,             // end of capturing group `ref`
  NODE_CHAR = 3,                  // one literal character `ch`
  NODE_LINE_BEGIN = 4,            // "^"
  NODE_LINE_END = 5,              // "$"
  NODE_CHARCLASS = 6,             // one character of the class `classtext`
  NODE_ALT = 7,                   // left or right; right is tried first
  NODE_CONCAT = 8,                // left then right
  NODE_STAR = 9,                  // left, as many times as possible first
  NODE_LAZY_STAR = 10,            // left, as few times as possible first
  NODE_LOOKAHEAD_BEGIN = 11,      // "(?="
  NODE_LOOKAHEAD_END = 12,        // its ")"
  NODE_NEG_LOOKAHEAD_BEGIN = 13,  // "(?!"
  NODE_NEG_LOOKAHEAD_END = 14,    // its ")"
  NODE_ANYCHAR = 15,              // "."
  NODE_MAX = 15,
};

struct tree {
  int32_t type;     // NODE_MIN..NODE_MAX
  uint8_t ch[2];    // NODE_CHAR: lead byte then trail byte; trail 0 for a one-byte character
  char* classtext;  // NODE_CHARCLASS: owned class text (between the brackets, or an escape's expansion)
  int32_t ref;      // NODE_GROUP_BEGIN / NODE_GROUP_END: the group number; 0 otherwise; never negative
  tree* left;       // owned; first operand
  tree* right;      // owned; second operand (the preferred alternative of NODE_ALT)
};

// A new node of the type with the given children and every other field zero.
// It takes the children over: when the node cannot be allocated it frees them
// and returns null.
tree* tree_new(int32_t type, tree* left, tree* right);

// A deep copy (class texts duplicated); null, with nothing left behind, when
// memory runs out.
tree* tree_copy(const tree* t);

// Frees the node, its children and their class texts. Null is allowed.
void tree_free(tree* t);

// Number of nodes in the tree (0 for null); -1 when memory runs out on the way.
int64_t tree_count(const tree* t);

// The invariants: `ref` not negative, `type` within NODE_MIN..NODE_MAX, the
// children valid. Side-effect free; for QWIL_ASSERT. False, too, when the
// check cannot get the memory its walk needs: an unchecked tree is not valid.
bool is_valid_tree(const tree* t);

// A growable stack of pointers on the heap, for the tree walks of the parser
// and the automaton builder. Push reports false when it cannot grow.
struct TreeStack {
  void** ppItems;
  int32_t nItems;
  int32_t nCapacity;
};

void TreeStack_Init(TreeStack* stack);
bool TreeStack_Push(TreeStack* stack, void* item);
void* TreeStack_Pop(TreeStack* stack);  // null when empty
void TreeStack_Release(TreeStack* stack);
