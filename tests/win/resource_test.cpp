// The menus, the string table and the accelerators inside Qwilpad.exe, read back
// from the file and compared with the program's own command table: every item
// with its text and key text, every help text, every built-in shortcut.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/command.h"
#include "dialogs/keyassign.h"
#include "res/resource.h"
#include "win/testwin.h"

namespace {

class ExeResources : public ::testing::Test {
 protected:
  void SetUp() override {
    hModule = LoadLibraryExA(TestWin_ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, hModule) << TestWin_ExePath() << ": error " << GetLastError();
  }
  void TearDown() override {
    if (hModule) FreeLibrary(hModule);
  }
  HMODULE hModule = nullptr;
};

struct Item {
  UINT id;
  std::string text;
  std::string path;  // the popups it stands in, for messages
};

void CollectItems(HMENU hMenu, const std::string& path, std::vector<Item>* items) {
  for (int i = 0; i < GetMenuItemCount(hMenu); ++i) {
    std::string text = TestWin_MenuString(hMenu, i);
    HMENU hSub = GetSubMenu(hMenu, i);
    if (hSub) {
      CollectItems(hSub, path + "/" + text, items);
    } else if (GetMenuItemID(hMenu, i) != 0) {
      items->push_back({GetMenuItemID(hMenu, i), text, path});
    }
  }
}

// The menu bar's items show the key text after a tab; context menus do not.
std::string Expected(const CommandInfo* info, bool withKeys) {
  std::string text = Command_MenuText(info);
  if (withKeys && info->keyText) text += std::string("\t") + info->keyText;
  return text;
}

TEST_F(ExeResources, MenuBarHoldsEveryCommandWithItsTableTexts) {
  HMENU hMenu = LoadMenuA(hModule, MAKEINTRESOURCEA(IDM_MAINMENU));
  ASSERT_NE(nullptr, hMenu);
  ASSERT_TRUE(TestWin_IsQwilMenuBar(hMenu));
  // The File popup's items are its own rows' texts.
  std::vector<Item> file;
  CollectItems(GetSubMenu(hMenu, 0), "ﾌｧｲﾙ", &file);
  std::vector<std::string> rows;
  const FileMenuRow* fileRows = Command_GetFileMenuRows();
  for (int32_t i = 0; i < kFileMenuRowCount; ++i) {
    if (fileRows[i].kind == FILEMENU_ITEM) rows.push_back(fileRows[i].text);
  }
  std::vector<std::string> shown;
  for (const Item& item : file) shown.push_back(item.text);
  EXPECT_EQ(rows, shown);

  std::vector<Item> items;
  for (int i = 1; i < GetMenuItemCount(hMenu); ++i) {
    CollectItems(GetSubMenu(hMenu, i), TestWin_MenuString(hMenu, i), &items);
  }
  std::set<UINT> present;
  for (const Item& item : file) present.insert(item.id);
  for (const Item& item : items) {
    present.insert(item.id);
    const CommandInfo* info = Command_Find(static_cast<int32_t>(item.id));
    ASSERT_NE(nullptr, info) << item.path << ": id " << item.id << " is not in the command table";
    EXPECT_EQ(Expected(info, true), item.text) << item.path << " " << item.id;
  }
  // Every command stands in the menu bar, but the two kept for other menus.
  int32_t n = 0;
  const CommandInfo* table = Command_GetTable(&n);
  for (int32_t i = 0; i < n; ++i) {
    if (table[i].id == IDM_SAVESETTINGS || table[i].id == IDM_HISTORYNONE) continue;
    EXPECT_EQ(1u, present.count(static_cast<UINT>(table[i].id))) << table[i].id << " is in no popup";
  }
  DestroyMenu(hMenu);
}

TEST_F(ExeResources, ContextAndSpareMenusUseTheTableTexts) {
  HMENU hMenu = LoadMenuA(hModule, MAKEINTRESOURCEA(IDM_CONTEXTMENU));
  ASSERT_NE(nullptr, hMenu);
  ASSERT_EQ(4, GetMenuItemCount(hMenu));
  const char* popups[] = {"右クリック", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ履歴", "キー割り当て", "右クリック２"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(popups[i], TestWin_MenuString(hMenu, i));
  std::vector<Item> items;
  CollectItems(hMenu, "141", &items);
  for (const Item& item : items) {
    const CommandInfo* info = Command_Find(static_cast<int32_t>(item.id));
    ASSERT_NE(nullptr, info) << item.id;
    EXPECT_EQ(Expected(info, false), item.text) << item.path;
  }
  HMENU hHistory = GetSubMenu(hMenu, 1);
  EXPECT_NE(0u, GetMenuState(hHistory, IDM_HISTORYNONE, MF_BYCOMMAND) & MF_GRAYED);
  DestroyMenu(hMenu);

  hMenu = LoadMenuA(hModule, MAKEINTRESOURCEA(IDM_SPAREMENU));
  ASSERT_NE(nullptr, hMenu);
  std::vector<Item> spare;
  CollectItems(hMenu, "146", &spare);
  std::vector<UINT> ids;
  for (const Item& item : spare) ids.push_back(item.id);
  EXPECT_EQ((std::vector<UINT>{40001, 40002, 40003, 40004, 40006, 40005, 40088}), ids);
  EXPECT_EQ("設定の保存", spare.back().text);
  DestroyMenu(hMenu);
}

TEST_F(ExeResources, StringTableHoldsEveryHelpTextAndNoOther) {
  int32_t n = 0;
  const CommandInfo* table = Command_GetTable(&n);
  for (int32_t i = 0; i < n; ++i) {
    char text[512] = {};
    int length = LoadStringA(hModule, static_cast<UINT>(table[i].id), text, sizeof(text));
    const char* help = Command_HelpText(&table[i]);
    if (help) {
      EXPECT_EQ(help, std::string(text, length > 0 ? length : 0)) << table[i].id;
    } else {
      EXPECT_EQ(0, length) << table[i].id << " has a text it should not have: " << text;
    }
  }
}

TEST_F(ExeResources, AcceleratorTableIsTheBuiltInShortcuts) {
  HACCEL hAccel = LoadAcceleratorsA(hModule, MAKEINTRESOURCEA(IDA_MAINACCEL));
  ASSERT_NE(nullptr, hAccel);
  ACCEL entries[64];
  int n = CopyAcceleratorTableA(hAccel, entries, 64);
  ASSERT_EQ(kBuiltinAccelCount, n);
  std::multiset<std::string> inFile, inProgram;
  auto key = [](int flags, int vk, int cmd) {
    return std::to_string(flags & ~0x80) + ":" + std::to_string(vk) + ":" + std::to_string(cmd);
  };
  for (int i = 0; i < n; ++i) inFile.insert(key(entries[i].fVirt, entries[i].key, entries[i].cmd));
  const KeyAccel* builtin = KeyAssign_GetBuiltinAccelerators();
  for (int i = 0; i < kBuiltinAccelCount; ++i) inProgram.insert(key(builtin[i].fVirt, builtin[i].key, builtin[i].cmd));
  EXPECT_EQ(inProgram, inFile);
  DestroyAcceleratorTable(hAccel);
}

}  // namespace
