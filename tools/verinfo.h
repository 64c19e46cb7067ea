// The version resource's layout (VS_VERSIONINFO): a tree of nodes, each a length,
// a value length, a type, a UTF-16 key and a value, then its children, every
// part on a four-byte boundary of the block. Read here without the system's
// version library, so that the program never has to load it (a library of that
// name beside a downloaded program would run in its place).
//
// Every read stays inside the block and inside the node it belongs to; a length
// that points outside them makes the node unreadable, never an overrun.
#pragma once

#include <cstdint>

struct VersionNode {
  const uint8_t* pNode;      // the node's first byte, inside the block
  int32_t nLength;           // the node's whole length, children included; invariant: >= 6
  int32_t nKeyUnits;         // UTF-16 code units of the key, the terminator not counted
  const uint8_t* pValue;     // the value's first byte
  int32_t nValueBytes;       // bytes of the value, inside the node
  bool bText;                // the value is UTF-16 text
  const uint8_t* pChildren;  // the first child; children end where the node ends
};

bool IsValidVersionNode(const VersionNode* node);
// The node at p with at most nAvailable bytes for it. False when its lengths do
// not fit there.
bool VersionNode_Read(const uint8_t* p, int32_t nAvailable, VersionNode* node);
// The first child whose key is the ASCII text key, letters compared without case.
bool VersionNode_FindChild(const VersionNode* parent, const char* key, VersionNode* child);

// The first translation of a version block of size bytes (language in the low
// 16 bits, code page in the high), from \VarFileInfo\Translation.
bool VersionInfo_GetTranslation(const void* block, int32_t size, uint32_t* pTranslation);
// The text of \StringFileInfo\<language><code page>\<key> (the table named by
// eight hexadecimal digits of the translation): *ppText its first UTF-16 code
// unit (little-endian, two bytes each, inside the block), *pUnits the units
// before its terminator. False when absent or empty.
bool VersionInfo_FindString(const void* block, int32_t size, uint32_t translation, const char* key,
                            const uint8_t** ppText, int32_t* pUnits);
