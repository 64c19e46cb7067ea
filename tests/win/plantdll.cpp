// A library planted beside a program under the name of a system library, as a
// downloads folder may hold one: loading it leaves a file "planted-NAME.txt"
// beside it, so the tests see whether any process ever ran its code.
#include <windows.h>

#include <cstring>

namespace {

void LeaveMark(HINSTANCE hInstance) {
  char path[MAX_PATH + 32] = {};
  DWORD n = GetModuleFileNameA(hInstance, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  char* name = std::strrchr(path, '\\');
  if (!name) return;
  char own[MAX_PATH] = {};
  std::strcpy(own, name + 1);
  std::strcpy(name + 1, "planted-");
  std::strcat(name + 1, own);
  std::strcat(name + 1, ".txt");
  HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
  if (dwReason == DLL_PROCESS_ATTACH) LeaveMark(hInstance);
  return TRUE;
}

}  // extern "C"
