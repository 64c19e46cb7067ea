#include "tools/version_win.h"

#include <cstring>

#include "tools/memory.h"
#include "tools/toolbase.h"
#include "tools/verinfo.h"
#include "tools/toolsys_win.h"

namespace {

const char kResourcesLibrary[] = "rsrc32.dll";
const char kResourcesEntry[] = "_MyGetFreeSystemResources32@4";
typedef int(WINAPI* FreeResourcesProc)(int nKind);

}  // namespace

// The resource is read straight from the loaded image: the system's version
// library is never loaded, so a file of its name beside the program never runs.
void* Version_Load(HINSTANCE hInstance, DWORD* pTranslation) {
  QWIL_ASSERT(pTranslation);
  HRSRC hRes = FindResourceA(hInstance, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16));  // RT_VERSION
  if (!hRes) return nullptr;
  DWORD nSize = SizeofResource(hInstance, hRes);
  HGLOBAL hData = LoadResource(hInstance, hRes);
  const void* pData = hData ? LockResource(hData) : nullptr;
  if (!pData || nSize < 6 || nSize > 0xFFFF) return nullptr;
  // The root node's own length bounds every later read; the copy holds just it.
  VersionNode root;
  if (!VersionNode_Read(static_cast<const uint8_t*>(pData), static_cast<int32_t>(nSize), &root)) return nullptr;
  uint32_t translation = 0;
  if (!VersionInfo_GetTranslation(pData, root.nLength, &translation)) return nullptr;
  void* block = Mem_Alloc(static_cast<size_t>(root.nLength));
  if (!block) return nullptr;
  std::memcpy(block, pData, static_cast<size_t>(root.nLength));
  *pTranslation = translation;
  return block;
}

bool Version_GetString(int32_t size, const void* block, DWORD translation, const char* key, char* output) {
  QWIL_ASSERT(size > 0 && block && key && output);
  output[0] = '\0';
  VersionNode root;
  const uint8_t* pText = nullptr;
  int32_t nUnits = 0;
  if (!VersionNode_Read(static_cast<const uint8_t*>(block), 0xFFFF, &root) ||
      !VersionInfo_FindString(block, root.nLength, translation, key, &pText, &nUnits)) {
    return false;
  }
  WCHAR* wide = static_cast<WCHAR*>(Mem_Alloc(sizeof(WCHAR) * static_cast<size_t>(nUnits)));
  char* text = static_cast<char*>(Mem_Alloc(2 * static_cast<size_t>(nUnits)));
  int n = 0;
  if (wide && text) {
    std::memcpy(wide, pText, sizeof(WCHAR) * static_cast<size_t>(nUnits));
    n = WideCharToMultiByte(CP_ACP, 0, wide, nUnits, text, 2 * nUnits, nullptr, nullptr);
  }
  TextBuf tb;
  TextBuf_Init(&tb, output, size);
  if (n > 0) TextBuf_AppendBytes(&tb, text, n);
  Mem_Free(wide);
  Mem_Free(text);
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
