// The key file's bindings merged over the built-in shortcuts into the platform
// accelerator table that the main window's record holds.
#include "dialogs/keyassign_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/keyfile.h"

namespace {

std::vector<ACCEL> Entries(HACCEL hAccel) {
  std::vector<ACCEL> entries(static_cast<size_t>(CopyAcceleratorTableA(hAccel, nullptr, 0)));
  CopyAcceleratorTableA(hAccel, entries.data(), static_cast<int>(entries.size()));
  return entries;
}

WORD CommandOf(const std::vector<ACCEL>& entries, WORD key, BYTE fVirt) {
  for (const ACCEL& a : entries) {
    if (a.key == key && (a.fVirt & ~FNOINVERT) == fVirt) return a.cmd;
  }
  return 0;
}

TEST(KeyAssignWin, TheKeyFilesBindingsGoIntoTheWindowsTable) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  const std::string path = std::string(temp) + "qwil_keyassign_win.key";
  // Ctrl+A switched off, Ctrl+Shift+F bound to inserting the date.
  const KeyAssignItem items[] = {{0x241, 40111}, {0x346, 40121}};
  ASSERT_TRUE(KeyFile_Save(path.c_str(), items, 2));

  KeyAssignData data;
  HACCEL hAccel = KeyAssign_Load(&data, path.c_str());
  ASSERT_NE(nullptr, hAccel);
  EXPECT_EQ(2, data.keyBindingCount);
  std::vector<ACCEL> entries = Entries(hAccel);
  EXPECT_EQ(static_cast<size_t>(kBuiltinAccelCount + 1), entries.size());  // one replaced, one added
  EXPECT_EQ(40111, CommandOf(entries, 'A', FVIRTKEY | FCONTROL));
  EXPECT_EQ(40121, CommandOf(entries, 'F', FVIRTKEY | FCONTROL | FSHIFT));
  EXPECT_EQ(40031, CommandOf(entries, 'F', FVIRTKEY | FCONTROL));  // the built-in find stays

  // A table made anew replaces the one in force.
  HACCEL hBuiltin = KeyAssign_BuildAccelerators(nullptr, 0);
  ASSERT_NE(nullptr, hBuiltin);
  KeyAssign_ReplaceAccelerators(&hAccel, hBuiltin);
  EXPECT_EQ(hBuiltin, hAccel);
  EXPECT_EQ(40017, CommandOf(Entries(hAccel), 'A', FVIRTKEY | FCONTROL));

  KeyAssign_Free(&data, &hAccel);
  EXPECT_EQ(nullptr, hAccel);
  EXPECT_EQ(0, data.keyBindingCount);
  EXPECT_EQ(nullptr, data.keyBindings);
  DeleteFileA(path.c_str());

  // No key file: the built-in shortcuts alone.
  hAccel = KeyAssign_Load(&data, path.c_str());
  EXPECT_EQ(static_cast<size_t>(kBuiltinAccelCount), Entries(hAccel).size());
  KeyAssign_Free(&data, &hAccel);
}

}  // namespace
