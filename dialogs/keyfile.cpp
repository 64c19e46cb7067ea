#include "dialogs/keyfile.h"

#include "tools/memory.h"
#include "tools/platform.h"
#include "tools/safesave.h"
#include "tools/toolbase.h"

namespace {

constexpr char kKeyFileHeader[] = "[キー割り当て]";
constexpr char kLineEnd[] = "\r\n";

// The growing array of bindings being read.
struct ItemArray {
  KeyAssignItem* pItems;
  int32_t nCount;
  int32_t nSize;
};

bool ItemArray_Push(ItemArray* array, KeyAssignItem item) {
  if (array->nCount == array->nSize) {
    if (array->nSize > 0x3FFFFFFF / static_cast<int32_t>(sizeof(KeyAssignItem))) return false;
    int32_t size = array->nSize < 16 ? 16 : array->nSize * 2;
    void* grown = Mem_Realloc(array->pItems, sizeof(KeyAssignItem) * static_cast<size_t>(size));
    if (!grown) return false;
    array->pItems = static_cast<KeyAssignItem*>(grown);
    array->nSize = size;
  }
  array->pItems[array->nCount++] = item;
  return true;
}

void CutLineEnd(char* line, int32_t length) {
  if (length > 0 && (line[length - 1] == '\r' || line[length - 1] == '\n')) line[length - 1] = '\0';
}

// A binding is a hexadecimal key code directly followed by "=" and the command.
// A line without any digits is no binding either, whatever follows.
bool ParseBinding(const char* line, KeyAssignItem* item) {
  const char* end = nullptr;
  KeyCode code = String_ToUnsigned(line, 16, &end);
  if (end == line || *end != '=') return false;
  item->dwKeyCode = code;
  item->nCommandId = CommandName_ToId(end + 1);
  return true;
}

bool WriteBinding(const ByteWriter* writer, const KeyAssignItem& item) {
  static const char kHex[] = "0123456789abcdef";
  char code[9];
  for (int32_t i = 0; i < 8; ++i) code[i] = kHex[(item.dwKeyCode >> (28 - 4 * i)) & 0xF];
  code[8] = '\0';
  char name[64];
  CommandName_FromId(item.nCommandId, name, sizeof(name));
  return Stream_WriteString(writer, code) && Stream_WriteString(writer, "=") && Stream_WriteString(writer, name) &&
         Stream_WriteString(writer, kLineEnd);
}

}  // namespace

KeyAssignItem* KeyFile_Read(const ByteReader* reader, int32_t* pnCount) {
  *pnCount = 0;
  LineReader* lines = static_cast<LineReader*>(Mem_Alloc(sizeof(LineReader)));
  if (!lines) return nullptr;
  LineReader_Init(lines, *reader);
  ItemArray array = {nullptr, 0, 0};
  bool ok = true;
  char line[kKeyFileLineSize];
  int32_t length = 0;
  while (ok && LineReader_Read(lines, line, kKeyFileLineSize, &length)) {
    CutLineEnd(line, length);
    KeyAssignItem item;
    if (ParseBinding(line, &item)) ok = ItemArray_Push(&array, item);
  }
  Mem_Free(lines);
  if (ok) ok = KeyAssignItem_Sort(array.pItems, array.nCount);
  if (!ok || array.nCount == 0) {
    Mem_Free(array.pItems);
    return nullptr;
  }
  *pnCount = array.nCount;
  return array.pItems;
}

bool KeyFile_Write(const ByteWriter* writer, const KeyAssignItem* items, int32_t count) {
  if (count <= 0) return true;
  if (!Stream_WriteString(writer, kKeyFileHeader) || !Stream_WriteString(writer, kLineEnd)) return false;
  for (int32_t i = 0; i < count; ++i) {
    QWIL_ASSERT(i == 0 || !KeyAssignItem_Less(items[i], items[i - 1]));
    if (!WriteBinding(writer, items[i])) return false;
  }
  return true;
}

KeyAssignItem* KeyFile_Load(const char* path, int32_t* pnCount) {
  *pnCount = 0;
  const FileMethods* m = FileIo_GetMethods();
  FileHandle* file = nullptr;
  if (m->pfnOpen(m->pContext, path, FILEOPEN_READ, &file) != FILEERR_NONE) return nullptr;
  FileReaderContext context;
  const ByteReader reader = FileIo_Reader(&context, m, file);
  KeyAssignItem* items = KeyFile_Read(&reader, pnCount);
  m->pfnClose(m->pContext, file);
  return items;
}

namespace {

struct KeyFileContent {
  const KeyAssignItem* pItems;
  int32_t nCount;
};

bool WriteKeyFile(void* context, const ByteWriter* writer) {
  const KeyFileContent* content = static_cast<const KeyFileContent*>(context);
  return KeyFile_Write(writer, content->pItems, content->nCount);
}

}  // namespace

bool KeyFile_Save(const char* path, const KeyAssignItem* items, int32_t count) {
  KeyFileContent content = {items, count};
  return SafeSave_Write(path, WriteKeyFile, &content) == TEXTFILE_OK;
}
