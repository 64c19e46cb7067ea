// The decisions behind the view and window commands: which flag a toggle
// flips, the full-screen style bits, how the two exclusive window modes change,
// where the clipboard history's popup opens and which selections name a folder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/appdata.h"
#include "app/editcmd.h"
#include "app/viewcmd.h"
#include "res/resource.h"

namespace {

TEST(ViewCommand, EachToggleFlipsItsOwnFlagAlone) {
  struct Case {
    int32_t id;
    ViewToggleKind kind;
  };
  const Case cases[] = {{IDM_WRAP, VIEWTOGGLE_SETTINGS},  {IDM_LINENUMBER, VIEWTOGGLE_SETTINGS},
                        {IDM_SHOWTAB, VIEWTOGGLE_STYLE},  {IDM_SHOWSPACE, VIEWTOGGLE_STYLE},
                        {IDM_SHOWZENSPACE, VIEWTOGGLE_STYLE}, {IDM_SHOWLINEEND, VIEWTOGGLE_STYLE},
                        {IDM_SHOWEOF, VIEWTOGGLE_STYLE}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.kind, ViewCommand_Kind(c.id)) << c.id;
    EditorSettings before;
    EditorSettings_SetDefaults(&before);
    EditorSettings after = before;
    ASSERT_TRUE(ViewCommand_Toggle(c.id, &after)) << c.id;
    // Exactly one byte of the record differs, and a second toggle restores it.
    int nDiffering = 0;
    const unsigned char* a = reinterpret_cast<const unsigned char*>(&before);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&after);
    for (size_t i = 0; i < sizeof(EditorSettings); ++i) nDiffering += a[i] != b[i];
    EXPECT_EQ(1, nDiffering) << c.id;
    ASSERT_TRUE(ViewCommand_Toggle(c.id, &after));
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof(EditorSettings))) << c.id;
  }
  EditorSettings settings;
  EditorSettings_SetDefaults(&settings);
  EditorSettings copy = settings;
  for (int32_t id : {IDM_STATUSBAR, IDM_FRAME3D, IDM_UPPER, 0}) {
    EXPECT_EQ(VIEWTOGGLE_NONE, ViewCommand_Kind(id)) << id;
    EXPECT_FALSE(ViewCommand_Toggle(id, &copy)) << id;
  }
  EXPECT_EQ(0, std::memcmp(&settings, &copy, sizeof(EditorSettings)));
}

TEST(ViewCommand, FullScreenTakesTheFrameAwayAndGivesItBack) {
  const uint32_t kOverlapped = 0x00CF0000u;  // caption, system menu, sizing frame, the two boxes
  const uint32_t kOthers = 0x02000000u | 0x10000000u;  // clip children, visible
  bool bEntering = false;
  uint32_t full = WindowMode_FullScreenStyle(kOverlapped | kOthers, &bEntering);
  EXPECT_TRUE(bEntering);
  EXPECT_EQ(0x80000000u | 0x00040000u | kOthers, full) << "popup on, caption, menu and boxes off, sizing frame kept";
  EXPECT_EQ(0u, full & 0x00C00000u) << "no caption";
  uint32_t back = WindowMode_FullScreenStyle(full, &bEntering);
  EXPECT_FALSE(bEntering);
  EXPECT_EQ(kOverlapped | kOthers, back);
}

TEST(WindowMode, OnTopAndAtBackExcludeEachOther) {
  WindowModes m = {false, false, false};
  EXPECT_EQ(static_cast<uint32_t>(WMACT_MAKE_TOPMOST | WMACT_REDRAW), WindowMode_ToggleOnTop(&m));
  EXPECT_TRUE(m.bAlwaysOnTop && m.bTopmost && !m.bAlwaysAtBack);
  EXPECT_FALSE(WindowMode_KeepsAtBack(&m));
  // At the back: on top goes, the window stops being topmost.
  EXPECT_EQ(static_cast<uint32_t>(WMACT_MAKE_NOT_TOPMOST), WindowMode_ToggleAtBack(&m));
  EXPECT_TRUE(m.bAlwaysAtBack && !m.bAlwaysOnTop && !m.bTopmost);
  EXPECT_TRUE(WindowMode_KeepsAtBack(&m));
  // On top again: at the back goes.
  WindowMode_ToggleOnTop(&m);
  EXPECT_TRUE(m.bAlwaysOnTop && !m.bAlwaysAtBack);
  // Off by the real state: a window made topmost by someone else is turned off.
  m = {false, false, true};
  EXPECT_EQ(static_cast<uint32_t>(WMACT_MAKE_NOT_TOPMOST), WindowMode_ToggleOnTop(&m));
  EXPECT_FALSE(m.bAlwaysOnTop || m.bTopmost);
  // At the back off: brought to the front.
  m = {false, true, false};
  EXPECT_EQ(static_cast<uint32_t>(WMACT_BRING_TO_FRONT), WindowMode_ToggleAtBack(&m));
  EXPECT_FALSE(m.bAlwaysAtBack);
  EXPECT_EQ(0u, WindowMode_ToggleAtBack(&m)) << "a window not topmost has nothing to undo";
  // A settings file holding both: on top wins over the back rule.
  m = {true, true, true};
  EXPECT_FALSE(WindowMode_KeepsAtBack(&m));
}

TEST(EditCommand, HistoryPopupStaysBesideTheCaretInsideTheEditor) {
  RECT client = {0, 0, 300, 200};
  struct Case {
    POINT caret, expected;
  };
  const Case cases[] = {{{10, 20}, {26, 20}},   {{-50, -5}, {16, 0}},    {{900, 250}, {316, 200}},
                        {{300, 200}, {316, 200}}, {{0, 0}, {16, 0}}};
  for (const Case& c : cases) {
    POINT pt = ClipboardHistory_PopupPoint(c.caret, client);
    EXPECT_EQ(c.expected.x, pt.x) << c.caret.x << "," << c.caret.y;
    EXPECT_EQ(c.expected.y, pt.y) << c.caret.x << "," << c.caret.y;
  }
}

TEST(EditCommand, OnlyAWholePathIsAFolderToOpen) {
  char out[kPathBufferSize];
  EXPECT_TRUE(EditCommand_FolderPath("C:\\Work", 7, out, sizeof(out)));
  EXPECT_STREQ("C:\\Work", out);
  // Counted: the bytes after the length are not the path's.
  EXPECT_TRUE(EditCommand_FolderPath("C:\\Workspace", 7, out, sizeof(out)));
  EXPECT_STREQ("C:\\Work", out);
  // A zero byte inside would name another folder than the one selected.
  EXPECT_FALSE(EditCommand_FolderPath("C:\\\0Work", 7, out, sizeof(out)));
  EXPECT_STREQ("", out);
  EXPECT_FALSE(EditCommand_FolderPath("", 0, out, sizeof(out)));
  std::string longest(kPathMax, 'a'), tooLong(kPathMax + 1, 'a');
  EXPECT_TRUE(EditCommand_FolderPath(longest.c_str(), kPathMax, out, sizeof(out)));
  EXPECT_EQ(longest, out);
  EXPECT_FALSE(EditCommand_FolderPath(tooLong.c_str(), kPathMax + 1, out, sizeof(out)));
  EXPECT_STREQ("", out);
  // A buffer too small for the text is never overrun.
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_FALSE(EditCommand_FolderPath("abcd", 4, small, sizeof(small)));
  EXPECT_EQ('\0', small[0]);
}

}  // namespace
