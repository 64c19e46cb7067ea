#include "tools/toolsys_win.h"

#include "tools/memory.h"
#include "tools/toolbase.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

namespace {

// Bytes of the longest path these helpers take, the terminator included.
constexpr int32_t kModulePathSize = MAX_PATH + 1;

}  // namespace

bool System_GetLibraryPath(const char* name, char* output, int32_t size) {
  QWIL_ASSERT(name && output && size > 0);
  output[0] = '\0';
  char folder[kModulePathSize] = {};
  UINT n = GetSystemDirectoryA(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  TextBuf tb;
  TextBuf_Init(&tb, output, size);
  bool ok = TextBuf_AppendString(&tb, folder);
  if (ok && folder[n - 1] != '\\') ok = TextBuf_AppendString(&tb, "\\");
  if (ok) ok = TextBuf_AppendString(&tb, name);
  if (!ok) output[0] = '\0';
  return ok;
}

HMODULE System_LoadLibrary(const char* name) {
  char path[kModulePathSize + 32];
  if (!System_GetLibraryPath(name, path, sizeof(path))) return nullptr;
  // Its own folder, not the current one, for whatever it needs in turn.
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool Ime_SetCompositionPos(HIMC hImc, POINT pt) {
  COMPOSITIONFORM form = {};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = pt;
  return ImmSetCompositionWindow(hImc, &form) != FALSE;
}

bool Ime_GetResultString(HIMC hImc, char** ppText, int32_t* pN) {
  *ppText = nullptr;
  *pN = 0;
  LONG size = ImmGetCompositionStringA(hImc, GCS_RESULTSTR, nullptr, 0);
  if (size < 0) return false;
  if (size == 0) return true;
  char* text = static_cast<char*>(Mem_Alloc(static_cast<size_t>(size)));
  if (!text) return false;
  LONG got = ImmGetCompositionStringA(hImc, GCS_RESULTSTR, text, static_cast<DWORD>(size));
  // The string cannot grow between the two calls, but a shorter answer or an
  // error is taken as it is.
  if (got < 0) {
    Mem_Free(text);
    return false;
  }
  if (got == 0) {
    Mem_Free(text);
    return true;
  }
  *ppText = text;
  *pN = got < size ? got : size;
  return true;
}

bool Window_GetCursorClientPos(HWND hWnd, POINT* pPt) {
  return GetCursorPos(pPt) && ScreenToClient(hWnd, pPt);
}

bool Module_LoadLibrariesFromSystemOnly() {
  typedef BOOL(WINAPI * SetDirectoriesProc)(DWORD dwFlags);
  HMODULE hKernel = GetModuleHandleA("kernel32.dll");
  SetDirectoriesProc pfn = hKernel ? reinterpret_cast<SetDirectoriesProc>(reinterpret_cast<void*>(
                                         GetProcAddress(hKernel, "SetDefaultDllDirectories")))
                                   : nullptr;
  return pfn && pfn(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

bool Module_GetSiblingPath(char* buffer, int32_t size, const char* ext) {
  buffer[0] = '\0';
  char path[kModulePathSize];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
  // A path that filled the buffer may have been cut.
  if (n == 0 || n >= sizeof(path) - 1) return false;
  return Path_MakeSibling(path, ext, buffer, size);
}

bool File_Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool File_IsDirectory(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool File_IsFile(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Folder_IsWritable(const char* folder) {
  char path[kModulePathSize];
  for (int n = 0; n < 16; ++n) {
    int length = std::snprintf(path, sizeof(path), "%s\\~qwilprobe%04x.tmp", folder,
                               static_cast<unsigned>((GetCurrentProcessId() + n) & 0xFFFF));
    if (length <= 0 || length >= static_cast<int>(sizeof(path))) return false;
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

bool File_MoveToRecycleBin(HWND hOwner, const char* pathList, UINT nExtraFlags) {
  SHFILEOPSTRUCTA op = {};
  op.hwnd = hOwner;
  op.wFunc = FO_DELETE;
  op.pFrom = pathList;
  op.fFlags = static_cast<FILEOP_FLAGS>(FOF_ALLOWUNDO | nExtraFlags);
  return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

bool File_MoveOneToRecycleBin(HWND hOwner, const char* path) {
  char list[kModulePathSize + 1];
  size_t n = std::strlen(path);
  if (n + 2 > sizeof(list)) return false;
  std::memcpy(list, path, n);
  list[n] = '\0';
  list[n + 1] = '\0';
  return File_MoveToRecycleBin(hOwner, list, FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI);
}

bool Path_GetShellForm(char* output, int32_t size, const char* path) {
  output[0] = '\0';
  WCHAR wide[MAX_PATH + 1];
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide, MAX_PATH + 1) == 0) return false;
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return false;
  LPITEMIDLIST pidl = nullptr;
  HRESULT hr = desktop->ParseDisplayName(nullptr, nullptr, wide, nullptr, &pidl, nullptr);
  desktop->Release();
  if (FAILED(hr) || !pidl) return false;
  char shell[MAX_PATH + 1] = {};
  BOOL ok = SHGetPathFromIDListA(pidl, shell);
  CoTaskMemFree(pidl);
  if (!ok || shell[0] == '\0') return false;
  if (std::strlen(shell) + 1 > static_cast<size_t>(size)) return false;
  std::strcpy(output, shell);
  return true;
}

bool Path_GetFullForm(char* output, int32_t size, const char* path) {
  output[0] = '\0';
  DWORD n = GetFullPathNameA(path, static_cast<DWORD>(size), output, nullptr);
  if (n == 0 || n >= static_cast<DWORD>(size)) {
    output[0] = '\0';
    return false;
  }
  return true;
}

bool Path_GetDocumentForm(char* output, int32_t size, const char* path) {
  char full[kModulePathSize];
  if (!Path_GetFullForm(full, sizeof(full), path)) {
    output[0] = '\0';
    return false;
  }
  if (Path_GetShellForm(output, size, full)) return true;
  if (std::strlen(full) + 1 > static_cast<size_t>(size)) return false;
  std::strcpy(output, full);
  return true;
}

bool Ime_SetOpen(HWND hWnd, bool bOpen) {
  HIMC hImc = ImmGetContext(hWnd);
  if (!hImc) return false;
  BOOL ok = ImmSetOpenStatus(hImc, bOpen ? TRUE : FALSE);
  ImmReleaseContext(hWnd, hImc);
  return ok != FALSE;
}

bool Ime_IsOpen(HWND hWnd) {
  HIMC hImc = ImmGetContext(hWnd);
  if (!hImc) return false;
  BOOL open = ImmGetOpenStatus(hImc);
  ImmReleaseContext(hWnd, hImc);
  return open != FALSE;
}
