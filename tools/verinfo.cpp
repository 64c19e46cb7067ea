#include "tools/verinfo.h"

#include "tools/platform.h"

namespace {

constexpr int32_t kHeaderBytes = 6;  // wLength, wValueLength, wType

uint32_t Read16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8); }

// Offsets inside a node are counted from the node's start, which the block puts
// on a four-byte boundary.
int32_t Align4(int32_t offset) { return (offset + 3) & ~3; }

bool KeyIs(const VersionNode* node, const char* key) {
  const uint8_t* p = node->pNode + kHeaderBytes;
  for (int32_t i = 0; i < node->nKeyUnits; ++i) {
    uint32_t unit = Read16(p + 2 * i);
    uint32_t want = static_cast<unsigned char>(key[i]);
    if (want == 0) return false;
    if (unit >= 'A' && unit <= 'Z') unit += 'a' - 'A';
    if (want >= 'A' && want <= 'Z') want += 'a' - 'A';
    if (unit != want) return false;
  }
  return key[node->nKeyUnits] == '\0';
}

bool ReadRoot(const void* block, int32_t size, VersionNode* root) {
  return block && VersionNode_Read(static_cast<const uint8_t*>(block), size, root) && KeyIs(root, "VS_VERSION_INFO");
}

// "%04x%04x" of the translation's language and code page.
void TableName(uint32_t translation, char* name) {
  const char digits[] = "0123456789abcdef";
  uint32_t value = ((translation & 0xFFFF) << 16) | (translation >> 16);
  for (int i = 0; i < 8; ++i) name[i] = digits[(value >> (28 - 4 * i)) & 0xF];
  name[8] = '\0';
}

}  // namespace

bool IsValidVersionNode(const VersionNode* node) {
  if (!node || !node->pNode || node->nLength < kHeaderBytes || node->nKeyUnits < 0 || node->nValueBytes < 0) {
    return false;
  }
  const uint8_t* pEnd = node->pNode + node->nLength;
  return node->pValue >= node->pNode + kHeaderBytes && node->pValue + node->nValueBytes <= pEnd &&
         node->pChildren >= node->pValue + node->nValueBytes && node->pChildren <= pEnd + 3;
}

bool VersionNode_Read(const uint8_t* p, int32_t nAvailable, VersionNode* node) {
  QWIL_ASSERT(node);
  if (!p || nAvailable < kHeaderBytes) return false;
  int32_t nLength = static_cast<int32_t>(Read16(p));
  if (nLength < kHeaderBytes || nLength > nAvailable) return false;
  int32_t nKeyUnits = 0;
  for (;;) {
    int32_t at = kHeaderBytes + 2 * nKeyUnits;
    if (at + 2 > nLength) return false;  // the key runs past its node
    if (Read16(p + at) == 0) break;
    ++nKeyUnits;
  }
  bool bText = Read16(p + 4) == 1;
  int32_t nValueAt = Align4(kHeaderBytes + 2 * (nKeyUnits + 1));
  int32_t nValueBytes = static_cast<int32_t>(Read16(p + 2)) * (bText ? 2 : 1);
  int32_t nRoom = nLength > nValueAt ? nLength - nValueAt : 0;
  if (nValueBytes > nRoom) {
    // Some writers count a text's bytes rather than its units; a number too
    // large for a binary value is a broken node.
    if (!bText) return false;
    nValueBytes = nRoom;
  }
  node->pNode = p;
  node->nLength = nLength;
  node->nKeyUnits = nKeyUnits;
  node->pValue = p + (nValueBytes > 0 ? nValueAt : nLength);
  node->nValueBytes = nValueBytes;
  node->bText = bText;
  node->pChildren = nValueBytes > 0 ? p + Align4(nValueAt + nValueBytes) : p + Align4(nValueAt);
  if (node->pChildren > p + nLength) node->pChildren = p + nLength;
  if (nValueBytes == 0) node->pValue = node->pChildren;
  QWIL_ASSERT(IsValidVersionNode(node));
  return true;
}

bool VersionNode_FindChild(const VersionNode* parent, const char* key, VersionNode* child) {
  QWIL_ASSERT(IsValidVersionNode(parent) && key && child);
  const uint8_t* pEnd = parent->pNode + parent->nLength;
  for (const uint8_t* p = parent->pChildren; p < pEnd;) {
    VersionNode node;
    if (!VersionNode_Read(p, static_cast<int32_t>(pEnd - p), &node)) return false;
    if (KeyIs(&node, key)) {
      *child = node;
      return true;
    }
    int32_t step = Align4(node.nLength);
    if (step >= pEnd - p) break;
    p += step;
  }
  return false;
}

bool VersionInfo_GetTranslation(const void* block, int32_t size, uint32_t* pTranslation) {
  QWIL_ASSERT(pTranslation);
  VersionNode root, vars, translation;
  if (!ReadRoot(block, size, &root) || !VersionNode_FindChild(&root, "VarFileInfo", &vars) ||
      !VersionNode_FindChild(&vars, "Translation", &translation) || translation.nValueBytes < 4) {
    return false;
  }
  *pTranslation = Read16(translation.pValue) | (Read16(translation.pValue + 2) << 16);
  return true;
}

bool VersionInfo_FindString(const void* block, int32_t size, uint32_t translation, const char* key,
                            const uint8_t** ppText, int32_t* pUnits) {
  QWIL_ASSERT(key && ppText && pUnits);
  char table[9];
  TableName(translation, table);
  VersionNode root, strings, tableNode, value;
  if (!ReadRoot(block, size, &root) || !VersionNode_FindChild(&root, "StringFileInfo", &strings) ||
      !VersionNode_FindChild(&strings, table, &tableNode) || !VersionNode_FindChild(&tableNode, key, &value) ||
      !value.bText) {
    return false;
  }
  int32_t nUnits = 0;
  while (2 * nUnits + 2 <= value.nValueBytes && Read16(value.pValue + 2 * nUnits) != 0) ++nUnits;
  if (nUnits == 0) return false;
  *ppText = value.pValue;
  *pUnits = nUnits;
  return true;
}
