#include "tools/version_win.h"

#include "tools/memory.h"
#include "tools/toolbase.h"
#include "tools/toolsys_win.h"

namespace {

const char kResourcesLibrary[] = "rsrc32.dll";
const char kResourcesEntry[] = "_MyGetFreeSystemResources32@4";
typedef int(WINAPI* FreeResourcesProc)(int nKind);

// "%04x": the string tables are named in lower case.
void AppendLowerHex4(TextBuf* tb, uint32_t value) {
  const char digits[] = "0123456789abcdef";
  for (int shift = 12; shift >= 0; shift -= 4) {
    char c = digits[(value >> shift) & 0xF];
    TextBuf_AppendChar(tb, &c, 1);
  }
}

}  // namespace

void* Version_Load(HINSTANCE hInstance, DWORD* pTranslation) {
  QWIL_ASSERT(pTranslation);
  char path[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(hInstance, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  DWORD dwHandle = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &dwHandle);
  if (size == 0) return nullptr;
  void* block = Mem_Alloc(size);
  if (!block) return nullptr;
  void* pValue = nullptr;
  UINT nValue = 0;
  if (!GetFileVersionInfoA(path, 0, size, block) ||
      !VerQueryValueA(block, "\\VarFileInfo\\Translation", &pValue, &nValue) || nValue < sizeof(DWORD)) {
    Mem_Free(block);
    return nullptr;
  }
  const WORD* pair = static_cast<const WORD*>(pValue);
  *pTranslation = MAKELONG(pair[0], pair[1]);
  return block;
}

bool Version_GetString(int32_t size, const void* block, DWORD translation, const char* key, char* output) {
  QWIL_ASSERT(size > 0 && block && key && output);
  output[0] = '\0';
  char query[128];
  TextBuf tb;
  TextBuf_Init(&tb, query, sizeof(query));
  TextBuf_AppendString(&tb, "\\StringFileInfo\\");
  AppendLowerHex4(&tb, LOWORD(translation));
  AppendLowerHex4(&tb, HIWORD(translation));
  TextBuf_AppendString(&tb, "\\");
  if (!TextBuf_AppendString(&tb, key)) return false;
  void* pValue = nullptr;
  UINT nValue = 0;
  if (!VerQueryValueA(block, query, &pValue, &nValue) || !pValue || nValue == 0) return false;
  // The length counts the terminator on some systems and not on others.
  const char* value = static_cast<const char*>(pValue);
  int32_t n = 0;
  while (n < static_cast<int32_t>(nValue) && value[n] != '\0') ++n;
  TextBuf_Init(&tb, output, size);
  TextBuf_AppendBytes(&tb, value, n);
  return n > 0;
}

bool System_GetResourcesLibraryPath(char* output, int32_t size) {
  return System_GetLibraryPath(kResourcesLibrary, output, size);
}

bool System_GetFreeResources(int32_t* pSystem, int32_t* pGdi, int32_t* pUser) {
  HMODULE hLib = System_LoadLibrary(kResourcesLibrary);
  if (!hLib) return false;
  FreeResourcesProc pfn = reinterpret_cast<FreeResourcesProc>(
      reinterpret_cast<void*>(GetProcAddress(hLib, kResourcesEntry)));
  if (pfn) {
    if (pSystem) *pSystem = pfn(0);
    if (pGdi) *pGdi = pfn(1);
    if (pUser) *pUser = pfn(2);
  }
  FreeLibrary(hLib);
  return pfn != nullptr;
}
