#include "tools/regexp/rgtrans.h"

#include <cstring>

#include "tools/charfold.h"
#include "tools/memory.h"

namespace {

bool InitClass(trans* t, const char* text) {
  const size_t n = std::strlen(text) + 1;
  t->list = static_cast<char*>(Mem_Alloc(n));
  t->pClass = static_cast<RgClass*>(Mem_Alloc(sizeof(RgClass)));
  if (t->list && t->pClass) {
    std::memcpy(t->list, text, n);
    if (RgClass_Compile(t->pClass, t->list)) return true;
  }
  Mem_Free(t->list);
  Mem_Free(t->pClass);
  t->list = nullptr;
  t->pClass = nullptr;
  return false;
}

bool TransFieldsValid(const trans* t) {
  return t->to != nullptr && t->group >= 0 && NODE_MIN <= t->type && t->type <= NODE_MAX &&
         (t->list != nullptr) == (t->type == NODE_CHARCLASS);
}

}  // namespace

bool trans_init(trans* t, const tree* node, uint8_t epsilon, uint32_t flags) {
  std::memset(t, 0, sizeof(trans));
  t->epsilon = epsilon;
  t->type = node->type;
  t->ch[0] = node->ch[0];
  t->ch[1] = node->ch[1];
  t->flags = flags;
  t->group = node->ref;
  t->nTo = -1;
  if (node->type == NODE_CHAR) t->nKey = CharFold_Key(RgEscape_Code(node->ch), flags);
  // A class node always has its text; one made without (by hand) is the empty class.
  if (node->type == NODE_CHARCLASS) return InitClass(t, node->classtext ? node->classtext : "");
  return true;
}

void trans_release(trans* t) {
  if (t->pClass) RgClass_Release(t->pClass);
  Mem_Free(t->pClass);
  Mem_Free(t->list);
  t->pClass = nullptr;
  t->list = nullptr;
}

bool is_valid_trans(const trans* t) {
  for (; t; t = t->next) {
    if (!TransFieldsValid(t)) return false;
  }
  return true;
}
