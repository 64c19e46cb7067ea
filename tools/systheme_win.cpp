#include "tools/systheme_win.h"

#include <cstring>

#include "tools/toolsys_win.h"

namespace {

const char kPersonalizeKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
const char kLightThemeValue[] = "AppsUseLightTheme";
const char kThemeChangeArea[] = "ImmersiveColorSet";

// The window manager's "use the immersive dark mode" attribute: 20 since
// Windows 10 20H1, 19 on the builds of 2018 and 2019 before it.
constexpr DWORD kDarkModeAttribute = 20;
constexpr DWORD kDarkModeAttributeBefore20H1 = 19;

typedef HRESULT(WINAPI* SetWindowAttributeProc)(HWND hWnd, DWORD dwAttribute, LPCVOID pvAttribute, DWORD cbAttribute);

}  // namespace

bool SystemTheme_IsDark() {
  HKEY hKey = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPersonalizeKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return false;
  DWORD type = 0, value = 1, size = sizeof(value);
  LONG rc = RegQueryValueExA(hKey, kLightThemeValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(hKey);
  return rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value) && value == 0;
}

bool SystemTheme_IsChange(LPARAM lParam) {
  const char* area = reinterpret_cast<const char*>(lParam);
  return area != nullptr && std::strcmp(area, kThemeChangeArea) == 0;
}

bool SystemTheme_SetDarkTitleBar(HWND hWnd, bool bDark) {
  // Never imported: the program must start on systems without it.
  HMODULE hLib = System_LoadLibrary("dwmapi.dll");
  if (!hLib) return false;
  SetWindowAttributeProc pfn = reinterpret_cast<SetWindowAttributeProc>(
      reinterpret_cast<void*>(GetProcAddress(hLib, "DwmSetWindowAttribute")));
  BOOL value = bDark ? TRUE : FALSE;
  bool ok = pfn && (SUCCEEDED(pfn(hWnd, kDarkModeAttribute, &value, sizeof(value))) ||
                    SUCCEEDED(pfn(hWnd, kDarkModeAttributeBefore20H1, &value, sizeof(value))));
  FreeLibrary(hLib);
  return ok;
}
