// What Qwilpad.exe carries inside the file: its manifest, version resource and
// icons, and that it runs on a bare Windows (a GUI program importing nothing but
// known system libraries). Wine ignores manifests at run time, so they are read back here.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tools/platform.h"
#include "win/testwin.h"

namespace {

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
  std::vector<unsigned char> bytes;
  FILE* pFile = std::fopen(path.c_str(), "rb");
  if (!pFile) return bytes;
  unsigned char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof(chunk), pFile)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(pFile);
  return bytes;
}

class ExeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hModule = LoadLibraryExA(TestWin_ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, hModule) << TestWin_ExePath() << ": error " << GetLastError();
  }
  void TearDown() override {
    if (hModule) FreeLibrary(hModule);
  }

  std::string Resource(LPCSTR pName, LPCSTR pType) {
    HRSRC hRes = FindResourceA(hModule, pName, pType);
    if (!hRes) return std::string();
    HGLOBAL hData = LoadResource(hModule, hRes);
    const char* p = static_cast<const char*>(LockResource(hData));
    return p ? std::string(p, SizeofResource(hModule, hRes)) : std::string();
  }

  HMODULE hModule = nullptr;
};

TEST_F(ExeFileTest, ManifestAsksForCommonControlsSix) {
  std::string manifest = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_FALSE(manifest.empty()) << "no manifest of id 1";
  size_t nAt = manifest.find("name=\"Microsoft.Windows.Common-Controls\"");
  ASSERT_NE(std::string::npos, nAt);
  size_t nEnd = manifest.find("/>", nAt);
  std::string identity = manifest.substr(nAt, nEnd - nAt);
  EXPECT_NE(std::string::npos, identity.find("version=\"6.0.0.0\"")) << identity;
  EXPECT_NE(std::string::npos, identity.find("publicKeyToken=\"6595b64144ccf1df\"")) << identity;
  EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\""));
}

TEST_F(ExeFileTest, MenuBarResourceHoldsTheEightPopupTexts) {
  HMENU hMenu = LoadMenuA(hModule, MAKEINTRESOURCEA(IDM_MAINMENU));
  ASSERT_NE(nullptr, hMenu) << "no menu " << IDM_MAINMENU;
  ASSERT_EQ(kMenuBarCount, GetMenuItemCount(hMenu));
  for (int i = 0; i < kMenuBarCount; ++i) {
    EXPECT_EQ(TestWin_MenuBarTexts()[i], TestWin_MenuString(hMenu, i)) << "popup " << i;
  }
  char text[128] = {};
  EXPECT_GT(GetMenuStringA(hMenu, IDM_EXIT, text, sizeof(text), MF_BYCOMMAND), 0);
  DestroyMenu(hMenu);
}

TEST_F(ExeFileTest, PrintCancelDialogIsThere) {
  std::string dialog = Resource(MAKEINTRESOURCEA(IDD_PRINTCANCEL), MAKEINTRESOURCEA(5));  // RT_DIALOG
  ASSERT_GE(dialog.size(), 16u) << "no dialog " << IDD_PRINTCANCEL;
  // An extended template: version 1, signature 0xFFFF, then help id, extended style, style.
  ASSERT_EQ(std::string("\x01\x00\xFF\xFF", 4), dialog.substr(0, 4));
  DWORD nStyle;
  std::memcpy(&nStyle, dialog.data() + 12, sizeof(nStyle));
  EXPECT_NE(0u, nStyle & WS_VISIBLE) << "the print loop never shows it itself";
  for (const char* text : {"印刷中", "ｷｬﾝｾﾙ"}) {
    wchar_t wide[16] = {};
    int n = MultiByteToWideChar(932, 0, text, -1, wide, 16) - 1;
    std::string utf16(reinterpret_cast<const char*>(wide), static_cast<size_t>(n) * 2);
    EXPECT_NE(std::string::npos, dialog.find(utf16)) << text;
  }
}

TEST_F(ExeFileTest, IconsComeInBothSizes) {
  // The group lists its images: byte 0 of each 14-byte entry after the 6-byte header is the width.
  std::string group = Resource(MAKEINTRESOURCEA(IDI_QWILPAD), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_GE(group.size(), 6u);
  int nCount = static_cast<unsigned char>(group[4]) | (static_cast<unsigned char>(group[5]) << 8);
  ASSERT_EQ(group.size(), 6u + 14u * nCount);
  bool bHas16 = false, bHas32 = false;
  for (int i = 0; i < nCount; ++i) {
    int nWidth = static_cast<unsigned char>(group[6 + 14 * i]);
    bHas16 = bHas16 || nWidth == 16;
    bHas32 = bHas32 || nWidth == 32;
  }
  EXPECT_TRUE(bHas16);
  EXPECT_TRUE(bHas32);
}

TEST(ExeFile, VersionResourceNamesQwilpad033) {
  std::string path = TestWin_ExePath();
  DWORD nHandle = 0;
  DWORD nSize = GetFileVersionInfoSizeA(path.c_str(), &nHandle);
  ASSERT_GT(nSize, 0u) << "no version resource";
  std::vector<char> block(nSize);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, nSize, block.data()));

  VS_FIXEDFILEINFO* pFixed = nullptr;
  UINT nLen = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&pFixed), &nLen));
  EXPECT_EQ(0x00000000u, pFixed->dwFileVersionMS);  // 0.0
  EXPECT_EQ(0x00030003u, pFixed->dwFileVersionLS);  // 3.3
  EXPECT_EQ(0x00000000u, pFixed->dwProductVersionMS);
  EXPECT_EQ(0x00030003u, pFixed->dwProductVersionLS);
  EXPECT_EQ(static_cast<DWORD>(VFT_APP), pFixed->dwFileType);

  WORD* pTranslation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&pTranslation), &nLen));
  ASSERT_GE(nLen, 4u);
  EXPECT_EQ(0x0411, pTranslation[0]);  // Japanese
  EXPECT_EQ(932, pTranslation[1]);

  struct Value {
    const char* pKey;
    const char* pExpected;
  };
  const Value values[] = {{"ProductName", "Qwilpad"}, {"FileDescription", "Qwilpad"},
                          {"ProductVersion", QWIL_PRODUCT_VERSION}, {"FileVersion", QWIL_FILE_VERSION},
                          {"InternalName", "Qwil"}};
  for (const Value& v : values) {
    char query[128];
    std::snprintf(query, sizeof(query), "\\StringFileInfo\\%04x%04x\\%s", pTranslation[0],
                  pTranslation[1], v.pKey);
    char* pValue = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&pValue), &nLen))
        << query;
    EXPECT_STREQ(v.pExpected, pValue) << v.pKey;
  }
}

// The PE headers read straight from the file, so nothing depends on the loader.
struct PeImage {
  std::vector<unsigned char> bytes;
  const IMAGE_NT_HEADERS64* pNt = nullptr;

  bool Parse() {
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return false;
    const IMAGE_DOS_HEADER* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    if (pDos->e_magic != IMAGE_DOS_SIGNATURE) return false;
    if (pDos->e_lfanew < 0 || bytes.size() < pDos->e_lfanew + sizeof(IMAGE_NT_HEADERS64)) return false;
    pNt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes.data() + pDos->e_lfanew);
    return pNt->Signature == IMAGE_NT_SIGNATURE;
  }

  // The file offset of a relative virtual address, or 0 when no section holds it.
  size_t Offset(DWORD nRva) const {
    const IMAGE_SECTION_HEADER* pSection = IMAGE_FIRST_SECTION(pNt);
    for (WORD i = 0; i < pNt->FileHeader.NumberOfSections; ++i, ++pSection) {
      DWORD nStart = pSection->VirtualAddress;
      if (nStart <= nRva && nRva < nStart + pSection->SizeOfRawData) {
        size_t nOffset = pSection->PointerToRawData + (nRva - nStart);
        return nOffset < bytes.size() ? nOffset : 0;
      }
    }
    return 0;
  }

  std::vector<std::string> ImportedDlls() const {
    std::vector<std::string> names;
    const IMAGE_DATA_DIRECTORY& dir = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    size_t nAt = Offset(dir.VirtualAddress);
    while (nAt && nAt + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= bytes.size()) {
      const IMAGE_IMPORT_DESCRIPTOR* pDesc =
          reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(bytes.data() + nAt);
      if (pDesc->Name == 0) break;
      size_t nName = Offset(pDesc->Name);
      if (!nName) break;
      names.push_back(reinterpret_cast<const char*>(bytes.data() + nName));
      nAt += sizeof(IMAGE_IMPORT_DESCRIPTOR);
    }
    return names;
  }
};

// Windows looks for an imported library in the program's own folder first, unless
// it is one of the system's known libraries (the KnownDLLs list under the
// Session Manager's key), which come from the system folder always.
// A portable program started from a downloads folder would run any other
// library of an imported name lying there. Common controls 6 comes through the
// manifest's assembly, not a search.
TEST(ExeFile, ImportsOnlyKnownSystemLibraries) {
  PeImage image;
  image.bytes = ReadFileBytes(TestWin_ExePath());
  ASSERT_TRUE(image.Parse()) << "not a PE file: " << TestWin_ExePath();
  EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, image.pNt->FileHeader.Machine);
  EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, image.pNt->OptionalHeader.Subsystem);

  // Not dwmapi.dll: the dark title bar's entry is looked up at run time, so
  // that a system without it still starts the program.
  static const char* const kKnown[] = {"kernel32.dll", "user32.dll", "gdi32.dll",  "comdlg32.dll",
                                       "shell32.dll",  "ole32.dll",  "imm32.dll",  "advapi32.dll",
                                       "msvcrt.dll",   "comctl32.dll"};
  std::vector<std::string> dlls = image.ImportedDlls();
  EXPECT_FALSE(dlls.empty());
  for (const std::string& dll : dlls) {
    bool bKnown = false;
    for (const char* pName : kKnown) bKnown = bKnown || lstrcmpiA(dll.c_str(), pName) == 0;
    EXPECT_TRUE(bKnown) << dll << " would be looked for beside Qwilpad.exe first";
  }
}

}  // namespace
