// The system's app theme of the test prefix (HKCU ... Personalize,
// AppsUseLightTheme) set for one test and put back as it was, its absence
// included, when the test ends: the tests after it see the prefix's own theme.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tools/platform.h"
#include "win/mainhost.h"

struct ThemeKey {
  static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
  static constexpr const char* kValue = "AppsUseLightTheme";
  bool bHad = false;
  DWORD nOld = 0;

  ThemeKey() {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return;
    DWORD type = 0, size = sizeof(nOld);
    bHad = RegQueryValueExA(hKey, kValue, nullptr, &type, reinterpret_cast<BYTE*>(&nOld), &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
    RegCloseKey(hKey);
  }
  ~ThemeKey() {
    HKEY hKey = Open();
    if (!hKey) return;
    if (bHad) {
      RegSetValueExA(hKey, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nOld), sizeof(nOld));
    } else {
      RegDeleteValueA(hKey, kValue);
    }
    RegCloseKey(hKey);
  }
  ThemeKey(const ThemeKey&) = delete;
  ThemeKey& operator=(const ThemeKey&) = delete;

  ::testing::AssertionResult SetDark(bool bDark) {
    HKEY hKey = Open();
    if (!hKey) return ::testing::AssertionFailure() << "cannot make " << kKey;
    DWORD value = bDark ? 0 : 1;
    LONG rc = RegSetValueExA(hKey, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS) return ::testing::AssertionFailure() << "cannot set " << kValue << ": " << rc;
    return ::testing::AssertionSuccess();
  }

 private:
  static HKEY Open() {
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS) {
      return nullptr;
    }
    return hKey;
  }
};

// The real main window made on a dark desktop, on a settings file of the
// test's own folder holding ini ("" for none). The theme is put back last.
struct DarkDesktop {
  ThemeKey theme;
  WinTestDir dir;
  MainHost host{dir};

  ::testing::AssertionResult Start(const std::string& ini) {
    ::testing::AssertionResult dark = theme.SetDark(true);
    if (!dark) return dark;
    if (!ini.empty() && !WinTest_WriteFile(dir / "qwilpad.ini", ini)) {
      return ::testing::AssertionFailure() << "cannot write the settings file";
    }
    return host.Create();
  }
};
