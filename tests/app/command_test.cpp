#include "app/command.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "app/convert.h"
#include "dialogs/keyassign.h"

namespace {

CommandState Idle() {
  CommandState s = {};
  return s;
}

bool Enabled(int32_t id, const CommandState& s) { return Command_MenuState(id, &s).bEnabled; }

TEST(CommandTable, EveryNamedCommandHasARowWithItsTexts) {
  // Every command the key assignment can name has a row, and every row a menu text.
  const CommandName* names = CommandName_GetTable();
  for (int32_t i = 0; i < kCommandNameCount; ++i) {
    const CommandInfo* info = Command_Find(names[i].id);
    ASSERT_NE(nullptr, info) << names[i].name << " (" << names[i].id << ") has no row";
    EXPECT_STRNE("", Command_MenuText(info)) << names[i].id;
  }
  int32_t n = 0;
  const CommandInfo* table = Command_GetTable(&n);
  for (int32_t i = 0; i < n; ++i) {
    EXPECT_EQ(&table[i], Command_Find(table[i].id));
    EXPECT_STRNE("", Command_MenuText(&table[i])) << table[i].id;
  }
  EXPECT_EQ(nullptr, Command_Find(40000));
  EXPECT_EQ(nullptr, Command_Find(40153));
  EXPECT_EQ(nullptr, Command_Find(101));  // the editor's change notification
}

TEST(CommandTable, ConversionRowsTakeTheirTextsFromTheConversionTable) {
  const ConvertCommand* conversions = Convert_GetCommands();
  for (int32_t i = 0; i < kConvertCommandCount; ++i) {
    const CommandInfo* info = Command_Find(conversions[i].id);
    ASSERT_NE(nullptr, info);
    EXPECT_STREQ(conversions[i].menuText, Command_MenuText(info));
    EXPECT_STREQ(conversions[i].helpText, Command_HelpText(info));
  }
  EXPECT_STREQ("Ctrl+L", Command_Find(40091)->keyText);
  EXPECT_STREQ("Ctrl+Shift+U", Command_Find(40093)->keyText);
  EXPECT_STREQ("何もしません。", Command_HelpText(Command_Find(40111)));
  EXPECT_EQ(nullptr, Command_HelpText(Command_Find(40151)));
}

TEST(CommandTable, ItemsAreGrayedByTheEditorsState) {
  CommandState s = Idle();
  // Nothing to undo, nothing selected, an empty clipboard, no search yet.
  for (int32_t id : {40011, 40012, 40013, 40014, 40015, 40016, 40032, 40033, 40091, 40094, 40103}) {
    EXPECT_FALSE(Enabled(id, s)) << id;
  }
  for (int32_t id : {40001, 40002, 40003, 40004, 40017, 40031, 40036, 40121, 40071}) EXPECT_TRUE(Enabled(id, s)) << id;
  s.bCanUndo = s.bCanRedo = s.bSelection = s.bClipboardText = s.bLastSearch = true;
  for (int32_t id : {40011, 40012, 40013, 40014, 40015, 40016, 40032, 40033, 40091, 40094, 40103}) {
    EXPECT_TRUE(Enabled(id, s)) << id;
  }
  // Read-only: everything that would edit is grayed, also with what it needs.
  s.bReadOnly = true;
  for (int32_t id : {40001, 40002, 40011, 40012, 40131, 40013, 40015, 40016, 40036, 40091, 40092, 40093, 40095,
                     40103, 40114, 40121}) {
    EXPECT_FALSE(Enabled(id, s)) << id;
  }
  for (int32_t id : {40003, 40004, 40014, 40017, 40032, 40005}) EXPECT_TRUE(Enabled(id, s)) << id;
  // So are the history entries.
  EXPECT_FALSE(Enabled(32769, s));
  EXPECT_FALSE(Enabled(36865, s));
  EXPECT_FALSE(Enabled(36865 + 15, s));
  // Read-only only for the file's encoding: another document may replace it
  // (new, open, reload, the load history, the conversion), nothing edits it.
  EXPECT_FALSE(Enabled(40152, s));
  s.bReadOnlyForEncoding = s.bConvertible = true;
  for (int32_t id : {40001, 40002, 40146, 40152, 36865}) EXPECT_TRUE(Enabled(id, s)) << id;
  for (int32_t id : {40011, 40015, 40121, 40136, 32769}) EXPECT_FALSE(Enabled(id, s)) << id;
  s.bReadOnly = s.bReadOnlyForEncoding = false;
  EXPECT_TRUE(Enabled(40152, s));
  s.bConvertible = false;
  EXPECT_FALSE(Enabled(40152, s));
  EXPECT_TRUE(Enabled(36865, s));
  // The placeholder of the history menus never is enabled.
  EXPECT_FALSE(Enabled(40147, s));
}

TEST(CommandTable, WindowSizeItemsFollowTheWindowsState) {
  CommandState s = Idle();
  EXPECT_TRUE(Enabled(40052, s));   // minimize
  EXPECT_TRUE(Enabled(40053, s));   // maximize
  EXPECT_FALSE(Enabled(40054, s));  // restore
  s.bMaximized = true;
  EXPECT_TRUE(Enabled(40052, s));
  EXPECT_FALSE(Enabled(40053, s));
  EXPECT_TRUE(Enabled(40054, s));
  s.bMaximized = false;
  s.bMinimized = true;
  EXPECT_FALSE(Enabled(40052, s));
  EXPECT_TRUE(Enabled(40054, s));
}

TEST(CommandTable, CheckMarksFollowTheirState) {
  struct Case {
    int32_t id;
    CommandCheck check;
  };
  const Case cases[] = {
      {40089, CMDCHECK_FRAME3D}, {40130, CMDCHECK_LINE_NUMBER}, {40124, CMDCHECK_WRAP},
      {40061, CMDCHECK_TAB},     {40062, CMDCHECK_SPACE},       {40063, CMDCHECK_ZEN_SPACE},
      {40064, CMDCHECK_LINE_END}, {40065, CMDCHECK_EOF},        {40055, CMDCHECK_TOPMOST},
      {40135, CMDCHECK_AT_BACK}, {40151, CMDCHECK_FULL_SCREEN}, {40051, CMDCHECK_STATUS_BAR},
      {40133, CMDCHECK_READ_ONLY},
  };
  for (const Case& c : cases) {
    CommandState s = Idle();
    EXPECT_FALSE(Command_MenuState(c.id, &s).bChecked) << c.id;
    s.bChecked[c.check] = true;
    EXPECT_TRUE(Command_MenuState(c.id, &s).bChecked) << c.id;
    // Each mark follows its own state only.
    for (const Case& other : cases) {
      if (other.id == c.id) continue;
      EXPECT_FALSE(Command_MenuState(other.id, &s).bChecked) << other.id << " by " << c.id;
    }
  }
}

TEST(CommandTable, IdsWithoutARowAreTheHistoriesOrNothing) {
  EXPECT_EQ(CMDKIND_FIXED, Command_Classify(40001));
  EXPECT_EQ(CMDKIND_FIXED, Command_Classify(40103));
  EXPECT_EQ(CMDKIND_CLIPBOARD_HISTORY, Command_Classify(32769));
  EXPECT_EQ(CMDKIND_CLIPBOARD_HISTORY, Command_Classify(36864));
  EXPECT_EQ(CMDKIND_LOAD_HISTORY, Command_Classify(36865));
  EXPECT_EQ(CMDKIND_LOAD_HISTORY, Command_Classify(36865 + 15));
  EXPECT_EQ(CMDKIND_OTHER, Command_Classify(36865 + 16));
  EXPECT_EQ(CMDKIND_OTHER, Command_Classify(101));
  EXPECT_EQ(CMDKIND_OTHER, Command_Classify(32768));
  EXPECT_EQ(CMDKIND_OTHER, Command_Classify(40000));
  // Any other id is left as the menu has it.
  CommandState s = Idle();
  s.bReadOnly = true;
  EXPECT_TRUE(Command_MenuState(0xF060, &s).bEnabled);  // the system menu's close
}

TEST(CommandTable, FileMenuRowsFrameTheHistorySlot) {
  const FileMenuRow* rows = Command_GetFileMenuRows();
  std::string shape;
  for (int32_t i = 0; i < kFileMenuRowCount; ++i) {
    shape += rows[i].kind == FILEMENU_ITEM ? 'i' : rows[i].kind == FILEMENU_SEPARATOR ? '-' : 'h';
    if (rows[i].kind == FILEMENU_ITEM) {
      // Each item's text begins with its row's menu text.
      const char* menu = Command_MenuText(Command_Find(rows[i].id));
      EXPECT_EQ(0, std::strncmp(rows[i].text, menu, std::strlen(menu))) << rows[i].text;
    }
  }
  EXPECT_EQ("iiiii-iih-ii", shape);
  EXPECT_STREQ("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)\tAlt+F4", rows[11].text);
  EXPECT_EQ(40005, rows[11].id);
}

}  // namespace
