#include "dialogs/keyassign.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tools/memory.h"

namespace {

std::vector<KeyAccel> Merge(const std::vector<KeyAssignItem>& items) {
  KeyAccel* entries = nullptr;
  int32_t n = -1;
  EXPECT_TRUE(KeyAssign_BuildAcceleratorEntries(items.data(), static_cast<int32_t>(items.size()), &entries, &n));
  std::vector<KeyAccel> out(entries, entries + n);
  Mem_Free(entries);
  return out;
}

const KeyAccel* Find(const std::vector<KeyAccel>& entries, uint8_t fVirt, uint16_t key) {
  for (const KeyAccel& a : entries) {
    if (a.fVirt == fVirt && a.key == key) return &a;
  }
  return nullptr;
}

void ExpectSortedByKeyThenFlags(const std::vector<KeyAccel>& entries) {
  for (size_t i = 1; i < entries.size(); ++i) {
    bool ordered = entries[i - 1].key < entries[i].key ||
                   (entries[i - 1].key == entries[i].key && entries[i - 1].fVirt <= entries[i].fVirt);
    EXPECT_TRUE(ordered) << "entry " << i;
  }
}

constexpr uint8_t kVirt = KEYACCEL_VIRTKEY | KEYACCEL_NOINVERT;
constexpr uint8_t kCtrl = kVirt | KEYACCEL_CONTROL;

TEST(CommandName, TableHas65UniqueRowsInByteOrderAndNoPrefixes) {
  const CommandName* table = CommandName_GetTable();
  std::set<int32_t> ids;
  for (int i = 0; i < kCommandNameCount; ++i) {
    ids.insert(table[i].id);
    if (i > 0) {
      EXPECT_LT(std::strcmp(table[i - 1].name, table[i].name), 0) << table[i].id;
    }
    for (int j = 0; j < kCommandNameCount; ++j) {
      bool prefix = i != j && std::strncmp(table[j].name, table[i].name, std::strlen(table[i].name)) == 0;
      EXPECT_FALSE(prefix) << i << " " << j;
    }
  }
  EXPECT_EQ(65u, ids.size());
  EXPECT_EQ(40071, table[0].id);
  EXPECT_STREQ("About", table[0].name);
  EXPECT_EQ(40004, table[64].id);
  EXPECT_STREQ("名前を付けて保存", table[64].name);
}

TEST(CommandName, FromIdAndToId) {
  char name[64];
  EXPECT_TRUE(CommandName_FromId(40014, name, sizeof(name)));
  EXPECT_STREQ("コピー", name);
  EXPECT_FALSE(CommandName_FromId(40148, name, sizeof(name)));
  EXPECT_STREQ("UNKNOWN", name);
  EXPECT_FALSE(CommandName_FromId(0, name, sizeof(name)));
  EXPECT_STREQ("UNKNOWN", name);
  EXPECT_TRUE(CommandName_FromId(40114, name, 10));  // cut between characters
  EXPECT_STREQ("クリップ", name);
  for (int i = 0; i < kCommandNameCount; ++i) {
    const CommandName& row = CommandName_GetTable()[i];
    ASSERT_TRUE(CommandName_FromId(row.id, name, sizeof(name)));
    EXPECT_EQ(row.id, CommandName_ToId(name));
  }
  EXPECT_EQ(40014, CommandName_ToId("コピー and whatever follows"));
  EXPECT_EQ(0x9CD4, CommandName_ToId("9cd4"));
  EXPECT_EQ(0x10, CommandName_ToId("0x10"));
  EXPECT_EQ(0, CommandName_ToId("UNKNOWN"));
  EXPECT_EQ(0, CommandName_ToId(""));
  EXPECT_EQ(0, CommandName_ToId("コピ"));  // a name's beginning is not the name
}

TEST(KeyAssign, BuiltInShortcuts) {
  std::vector<KeyAccel> base(KeyAssign_GetBuiltinAccelerators(),
                             KeyAssign_GetBuiltinAccelerators() + kBuiltinAccelCount);
  std::set<std::pair<int, int>> combos;
  for (const KeyAccel& a : base) {
    EXPECT_EQ(kVirt, a.fVirt & kVirt);
    combos.insert({a.fVirt, a.key});
  }
  EXPECT_EQ(31u, combos.size());  // no combination twice
  std::vector<KeyAccel> merged = Merge({});
  ASSERT_EQ(31u, merged.size());
  ExpectSortedByKeyThenFlags(merged);
  ASSERT_NE(nullptr, Find(merged, kCtrl | KEYACCEL_SHIFT | KEYACCEL_ALT, 'G'));
  EXPECT_EQ(40089, Find(merged, kCtrl | KEYACCEL_SHIFT | KEYACCEL_ALT, 'G')->cmd);
  EXPECT_EQ(40011, Find(merged, kVirt | KEYACCEL_ALT, 0x08)->cmd);        // Alt+Backspace
  EXPECT_EQ(40114, Find(merged, kCtrl | KEYACCEL_ALT, 0x2D)->cmd);        // Ctrl+Alt+Insert
  EXPECT_EQ(40035, Find(merged, kCtrl | KEYACCEL_SHIFT, 0x72)->cmd);      // Ctrl+Shift+F3
  EXPECT_EQ(40006, Find(merged, kVirt, 0x7B)->cmd);                       // F12
  EXPECT_EQ(40132, Find(merged, kCtrl, 'P')->cmd);
}

TEST(KeyAssign, UserEntryFlagsFollowTheModifierBits) {
  for (uint32_t mods = 0; mods < 8; ++mods) {
    KeyAssignItem item = {(mods << 8) | 0x41, 40017};
    EXPECT_EQ(3 + 4 * mods, KeyAssign_ToAccel(item).fVirt);
  }
  KeyAssignItem extended = {KEYCODE_EXTENDED | KEYCODE_CONTROL | 0x2E, 0x19CD4};
  KeyAccel a = KeyAssign_ToAccel(extended);
  EXPECT_EQ(kCtrl, a.fVirt);  // the extended bit is dropped
  EXPECT_EQ(0x2E, a.key);
  EXPECT_EQ(0x9CD4, a.cmd);   // the low 16 bits of the id
}

TEST(KeyAssign, UserBindingReplacesTheSameCombinationOnly) {
  // Ctrl+A bound to なし: select-all's shortcut is gone, everything else stays.
  std::vector<KeyAccel> merged = Merge({{0x241, 40111}});
  ASSERT_EQ(31u, merged.size());
  EXPECT_EQ(40111, Find(merged, kCtrl, 'A')->cmd);
  EXPECT_EQ(40014, Find(merged, kCtrl, 'C')->cmd);
  ExpectSortedByKeyThenFlags(merged);

  // A new combination is added in its place in the order.
  merged = Merge({{0x346, 0x9CD4}, {0x0841, 40001}});  // Ctrl+Shift+F, and A with the extended bit only
  ASSERT_EQ(33u, merged.size());
  EXPECT_EQ(0x9CD4, Find(merged, kCtrl | KEYACCEL_SHIFT, 'F')->cmd);
  EXPECT_EQ(40031, Find(merged, kCtrl, 'F')->cmd);
  EXPECT_EQ(40001, Find(merged, kVirt, 'A')->cmd);
  ExpectSortedByKeyThenFlags(merged);

  // Duplicates of the user are all kept, and both replace the built-in entry.
  merged = Merge({{0x241, 40111}, {0x241, 40014}});
  ASSERT_EQ(32u, merged.size());
  int count = 0;
  for (const KeyAccel& e : merged) {
    if (e.fVirt == kCtrl && e.key == 'A') {
      EXPECT_NE(40017, e.cmd);
      ++count;
    }
  }
  EXPECT_EQ(2, count);
}

TEST(KeyAssign, MergeFailsWithoutABaseOrMemory) {
  KeyAccel* entries = reinterpret_cast<KeyAccel*>(1);
  int32_t n = -1;
  KeyAssignItem item = {0x241, 40111};
  EXPECT_FALSE(KeyAssign_MergeAccelerators(nullptr, 0, &item, 1, &entries, &n));
  EXPECT_EQ(nullptr, entries);
  EXPECT_EQ(0, n);
  for (long successes = 0; successes < 4; ++successes) {
    Mem_FailAfter(successes);
    bool ok = KeyAssign_BuildAcceleratorEntries(&item, 1, &entries, &n);
    Mem_ClearFault();
    if (ok) {
      EXPECT_EQ(31, n);
      Mem_Free(entries);
    } else {
      EXPECT_EQ(nullptr, entries);
      EXPECT_EQ(0, n);
    }
  }
}

TEST(KeyAssign, ItemOrderIsTheVirtualKeyThenTheWholeCode) {
  KeyAssignItem items[] = {{0x441, 1}, {0x243, 2}, {0x141, 3}, {0x041, 4}, {0x141, 5}, {0x0030, 6}};
  ASSERT_TRUE(KeyAssignItem_Sort(items, 6));
  const uint32_t codes[] = {0x030, 0x041, 0x141, 0x141, 0x441, 0x243};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(codes[i], items[i].dwKeyCode);
  EXPECT_EQ(3, items[2].nCommandId);  // equal codes keep their order
  EXPECT_EQ(5, items[3].nCommandId);
}

TEST(KeyAssign, DataOwnsItsBindings) {
  KeyAssignData data;
  KeyAssignData_Init(&data);
  EXPECT_TRUE(IsValidKeyAssignData(&data));
  KeyAssignItem* items = static_cast<KeyAssignItem*>(Mem_Alloc(2 * sizeof(KeyAssignItem)));
  items[0] = {0x41, 1};
  items[1] = {0x42, 2};
  KeyAssignData_SetBindings(&data, items, 2);
  EXPECT_EQ(2, data.keyBindingCount);
  EXPECT_TRUE(IsValidKeyAssignData(&data));
  data.keyBindings[0].dwKeyCode = 0x43;  // out of order
  EXPECT_FALSE(IsValidKeyAssignData(&data));
  data.keyBindings[0].dwKeyCode = 0x41;
  KeyAssignData_SetBindings(&data, nullptr, 0);  // frees the old array
  EXPECT_EQ(nullptr, data.keyBindings);
  EXPECT_EQ(0, data.keyBindingCount);
  EXPECT_TRUE(IsValidKeyAssignData(&data));
}

KeyCode g_askedFor = 0;

bool RecordingName(KeyCode code, char* name, int32_t size) {
  g_askedFor = code;
  std::string text(40, 'k');  // longer than a key name may be
  std::strncpy(name, text.c_str(), static_cast<size_t>(size));
  return true;
}

bool NoName(KeyCode, char* name, int32_t) {
  name[0] = '\0';
  return false;
}

std::string Format(KeyCode code, KeyNameFunc f = nullptr) {
  char buffer[kKeyCodeTextSize];
  KeyCode_Format(code, f, buffer, sizeof(buffer));
  return buffer;
}

TEST(KeyCode, FormatNamesModifiersInOrderThenTheKey) {
  EXPECT_EQ("Ctrl + Shift + Alt + F5", Format(0x774));
  EXPECT_EQ("Ctrl + Shift + Alt + Scroll Lock", Format(0x791));
  EXPECT_EQ("Ctrl + C", Format(0x243));
  EXPECT_EQ("Shift + Delete", Format(0x12E));
  EXPECT_EQ("Alt + Backspace", Format(0x408));
  EXPECT_EQ("A", Format(0x41));
  EXPECT_EQ("F24", Format(0x87));
  EXPECT_EQ("Num 7", Format(0x67));
  EXPECT_EQ("Ctrl + ", Format(0x2FF));  // a virtual key without a key: empty name
  EXPECT_EQ("Ctrl + ", Format(0x207, NoName));
  // The seam gets the whole code (the extended bit matters to the platform) and
  // its name is held to 33 characters.
  EXPECT_EQ("Alt + " + std::string(33, 'k'), Format(0xC2E, RecordingName));
  EXPECT_EQ(0xC2Eu, g_askedFor);
  char small[8];
  EXPECT_EQ(7, KeyCode_Format(0x774, nullptr, small, sizeof(small)));
  EXPECT_STREQ("Ctrl + ", small);
}

}  // namespace
