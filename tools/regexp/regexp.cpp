#include "tools/regexp/regexp.h"

#include "tools/regexp/rgparse.h"

nfa* regexp_compile(const char* pattern, uint32_t flags) {
  if (!pattern) return nullptr;
  int32_t groups = 0;
  tree* root = regexp_parse(pattern, &groups);
  if (!root) return nullptr;
  nfa* compiled = nfa_build(root, groups, flags);
  tree_free(root);
  return compiled;
}
