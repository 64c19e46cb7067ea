#include "tools/regexp/rgtree.h"

#include <cstdlib>
#include <cstring>

#include "tools/memory.h"
#include "tools/platform.h"

namespace {

char* DuplicateText(const char* text) {
  size_t n = std::strlen(text) + 1;
  char* copy = static_cast<char*>(Mem_Alloc(n));
  if (copy) std::memcpy(copy, text, n);
  return copy;
}

// The node alone, without its children.
tree* CopyNode(const tree* src) {
  tree* t = static_cast<tree*>(Mem_Alloc(sizeof(tree)));
  if (!t) return nullptr;
  *t = *src;
  t->left = nullptr;
  t->right = nullptr;
  if (src->classtext) {
    t->classtext = DuplicateText(src->classtext);
    if (!t->classtext) {
      Mem_Free(t);
      return nullptr;
    }
  }
  return t;
}

bool NodeFieldsValid(const tree* t) { return t->ref >= 0 && NODE_MIN <= t->type && t->type <= NODE_MAX; }

}  // namespace

void TreeStack_Init(TreeStack* stack) {
  stack->ppItems = nullptr;
  stack->nItems = 0;
  stack->nCapacity = 0;
}

bool TreeStack_Push(TreeStack* stack, void* item) {
  if (stack->nItems == stack->nCapacity) {
    int32_t grown = stack->nCapacity ? stack->nCapacity * 2 : 64;
    void** items = static_cast<void**>(Mem_Realloc(stack->ppItems, sizeof(void*) * static_cast<size_t>(grown)));
    if (!items) return false;
    stack->ppItems = items;
    stack->nCapacity = grown;
  }
  stack->ppItems[stack->nItems++] = item;
  return true;
}

void* TreeStack_Pop(TreeStack* stack) { return stack->nItems ? stack->ppItems[--stack->nItems] : nullptr; }

void TreeStack_Release(TreeStack* stack) {
  Mem_Free(stack->ppItems);
  TreeStack_Init(stack);
}

tree* tree_new(int32_t type, tree* left, tree* right) {
  tree* t = static_cast<tree*>(Mem_Alloc(sizeof(tree)));
  if (!t) {
    tree_free(left);
    tree_free(right);
    return nullptr;
  }
  std::memset(t, 0, sizeof(tree));
  t->type = type;
  t->left = left;
  t->right = right;
  return t;
}

// Copies node by node; each copied node is pushed together with its source so
// that its children are copied when it comes off the stack.
tree* tree_copy(const tree* t) {
  if (!t) return nullptr;
  tree* root = CopyNode(t);
  if (!root) return nullptr;
  TreeStack stack;
  TreeStack_Init(&stack);
  bool ok = TreeStack_Push(&stack, const_cast<tree*>(t)) && TreeStack_Push(&stack, root);
  while (ok && stack.nItems > 0) {
    tree* dst = static_cast<tree*>(TreeStack_Pop(&stack));
    const tree* src = static_cast<const tree*>(TreeStack_Pop(&stack));
    const tree* srcKids[2] = {src->left, src->right};
    tree** dstKids[2] = {&dst->left, &dst->right};
    for (int i = 0; ok && i < 2; ++i) {
      if (!srcKids[i]) continue;
      *dstKids[i] = CopyNode(srcKids[i]);
      ok = *dstKids[i] && TreeStack_Push(&stack, const_cast<tree*>(srcKids[i])) && TreeStack_Push(&stack, *dstKids[i]);
    }
  }
  TreeStack_Release(&stack);
  if (!ok) {
    tree_free(root);
    return nullptr;
  }
  return root;
}

// Rotates each left child up until the node at hand has none, then frees that
// node and goes on with its right child: every node is freed once, without a
// stack, however deep the tree.
void tree_free(tree* t) {
  while (t) {
    if (t->left) {
      tree* l = t->left;
      t->left = l->right;
      l->right = t;
      t = l;
      continue;
    }
    tree* r = t->right;
    Mem_Free(t->classtext);
    Mem_Free(t);
    t = r;
  }
}

int64_t tree_count(const tree* t) {
  TreeStack stack;
  TreeStack_Init(&stack);
  int64_t n = 0;
  // Follows right children in the loop and stacks only the left ones.
  const tree* node = t;
  while (node) {
    ++n;
    if (node->left && !TreeStack_Push(&stack, const_cast<tree*>(node->left))) {
      n = -1;
      break;
    }
    node = node->right ? node->right : static_cast<const tree*>(TreeStack_Pop(&stack));
  }
  TreeStack_Release(&stack);
  return n;
}

// The check may not touch the allocator the tests make fail, so it keeps its
// own stack with malloc. When even that cannot be had the tree has not been
// checked, which is no proof that it is valid.
bool is_valid_tree(const tree* t) {
  if (!t) return true;
  size_t capacity = 64;
  size_t count = 0;
  const tree** stack = static_cast<const tree**>(std::malloc(sizeof(tree*) * capacity));
  bool valid = stack != nullptr;
  const tree* node = t;
  while (node && valid) {
    valid = NodeFieldsValid(node);
    if (valid && node->left && count == capacity) {
      const tree** grown = static_cast<const tree**>(std::realloc(stack, sizeof(tree*) * capacity * 2));
      valid = grown != nullptr;
      if (grown) {
        stack = grown;
        capacity *= 2;
      }
    }
    if (valid && node->left) stack[count++] = node->left;
    if (node->right) {
      node = node->right;
    } else {
      node = count > 0 ? stack[--count] : nullptr;
    }
  }
  std::free(stack);
  return valid;
}
