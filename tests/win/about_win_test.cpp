// The About box over the real main window, the link label on a window of the
// test's own, and the version resource and free-resources helpers beneath them.
// The pointer is put where a user's would be (SetCursorPos) and the mouse
// messages are sent to the label; colours are read from the label's own paint.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/aboutcmd_win.h"
#include "dialogs/about.h"
#include "dialogs/about_win.h"
#include "tools/linklabel_win.h"
#include "tools/memory.h"
#include "tools/version_win.h"
#include "win/dialogscript.h"
#include "win/mainhost.h"

namespace {

// ---- Reading the label back ----

struct Colours {
  int nBlue = 0;
  int nRed = 0;
};

// The label painted into a bitmap of its size; pixels mostly blue or mostly red
// counted (the text may be smoothed at its edges).
Colours PaintedColours(HWND hLabel) {
  RECT rc;
  GetClientRect(hLabel, &rc);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = rc.right;
  bi.bmiHeader.biHeight = -rc.bottom;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC hdc = CreateCompatibleDC(nullptr);
  HBITMAP hBitmap = CreateDIBSection(hdc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  Colours c;
  if (!hBitmap || !bits) {
    ADD_FAILURE() << "no bitmap";
    DeleteDC(hdc);
    return c;
  }
  HGDIOBJ hOld = SelectObject(hdc, hBitmap);
  SendMessageA(hLabel, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hdc), PRF_CLIENT);
  GdiFlush();
  const uint8_t* p = static_cast<const uint8_t*>(bits);
  for (int i = 0; i < rc.right * rc.bottom; ++i, p += 4) {
    int b = p[0], g = p[1], r = p[2];
    if (b > 160 && r < 96 && g < 96) ++c.nBlue;
    if (r > 160 && b < 96 && g < 96) ++c.nRed;
  }
  SelectObject(hdc, hOld);
  DeleteObject(hBitmap);
  DeleteDC(hdc);
  return c;
}

POINT CentreOnScreen(HWND hWnd) {
  RECT rc;
  GetWindowRect(hWnd, &rc);
  return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// The pointer over the window's middle, and the move the system would send.
void MoveOnto(HWND hWnd) {
  POINT pt = CentreOnScreen(hWnd);
  SetCursorPos(pt.x, pt.y);
  ScreenToClient(hWnd, &pt);
  SendMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
}

void MoveAway(HWND hWnd) {
  RECT rc;
  GetWindowRect(hWnd, &rc);
  SetCursorPos(rc.right + 40, rc.bottom + 40);
  SendMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(-1, -1));
}

void Press(HWND hWnd, UINT uMsg) { SendMessageA(hWnd, uMsg, uMsg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, 0); }

// Lets the label's watch timer run until it has seen the pointer go; bounded,
// so a label that never goes dark fails instead of hanging.
void PumpUntilDark(HWND hLabel) {
  for (int i = 0; i < 300 && LinkLabel_IsHot(hLabel); ++i) {
    TestWin_PumpMessages();
    Sleep(10);
  }
}

// ---- A parent of the test's own ----

struct ParentLog {
  bool bPassBack = true;
  std::vector<UINT> codes;
  LPARAM lLastPos = 0;
};
ParentLog* g_log = nullptr;

LRESULT CALLBACK ParentProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NOTIFY && g_log) {
    const LinkLabelNotify* n = reinterpret_cast<const LinkLabelNotify*>(lParam);
    g_log->codes.push_back(n->hdr.code);
    if (n->hdr.code == kLinkLabelHover) g_log->lLastPos = n->lPos;
    if (g_log->bPassBack && n->hdr.code != kLinkLabelClick) SendMessageA(n->hdr.hwndFrom, uMsg, wParam, lParam);
    return 0;
  }
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

int Count(const std::vector<UINT>& codes, UINT code) {
  int n = 0;
  for (UINT c : codes) n += c == code;
  return n;
}

struct LabelHost {
  ParentLog log;
  HWND hParent = nullptr;
  HWND hLabel = nullptr;
  explicit LabelHost(bool bFont = true) {
    g_log = &log;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QwilLinkLabelTestParent";
    RegisterClassA(&wc);
    hParent = CreateWindowExA(0, wc.lpszClassName, "label host", WS_POPUP | WS_VISIBLE, 120, 120, 320, 80, nullptr,
                              nullptr, wc.hInstance, nullptr);
    hLabel = CreateWindowExA(0, "Static", "https://link.example.com/", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 220,
                             24, hParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(102)), wc.hInstance, nullptr);
    if (bFont) SendMessageA(hLabel, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
  ~LabelHost() {
    DestroyWindow(hParent);
    g_log = nullptr;
    TestWin_PumpMessages();
  }
};

// ---- The link label ----

TEST(LinkLabel, BlueLightsRedUnderThePointerAndDarkensWhenItLeaves) {
  LabelHost h;
  ASSERT_TRUE(LinkLabel_Attach(h.hLabel));
  EXPECT_FALSE(LinkLabel_Attach(h.hLabel)) << "a label is made once";
  Colours c = PaintedColours(h.hLabel);
  EXPECT_GT(c.nBlue, 0);
  EXPECT_EQ(0, c.nRed);
  EXPECT_FALSE(LinkLabel_IsHot(h.hLabel));

  MoveOnto(h.hLabel);
  ASSERT_TRUE(LinkLabel_IsHot(h.hLabel));
  c = PaintedColours(h.hLabel);
  EXPECT_GT(c.nRed, 0);
  EXPECT_EQ(0, c.nBlue);
  EXPECT_EQ(1, Count(h.log.codes, kLinkLabelHover));
  POINT pt = CentreOnScreen(h.hLabel);
  ScreenToClient(h.hLabel, &pt);
  EXPECT_EQ(MAKELPARAM(pt.x, pt.y), h.log.lLastPos) << "the move's position reaches the parent";
  // The static now takes the mouse rather than letting it through.
  EXPECT_EQ(HTCLIENT, SendMessageA(h.hLabel, WM_NCHITTEST, 0, 0));

  MoveAway(h.hLabel);
  PumpUntilDark(h.hLabel);
  EXPECT_FALSE(LinkLabel_IsHot(h.hLabel));
  EXPECT_EQ(1, Count(h.log.codes, kLinkLabelLeave));
  c = PaintedColours(h.hLabel);
  EXPECT_GT(c.nBlue, 0);
  EXPECT_EQ(0, c.nRed);
}

TEST(LinkLabel, ClickOnlyWhenReleasedOverTheLabel) {
  LabelHost h;
  ASSERT_TRUE(LinkLabel_Attach(h.hLabel));
  MoveOnto(h.hLabel);
  Press(h.hLabel, WM_LBUTTONDOWN);
  EXPECT_EQ(h.hLabel, GetCapture());
  MoveAway(h.hLabel);
  Press(h.hLabel, WM_LBUTTONUP);
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_EQ(0, Count(h.log.codes, kLinkLabelClick)) << "pressed, moved out, released";

  MoveOnto(h.hLabel);
  Press(h.hLabel, WM_LBUTTONDOWN);
  Press(h.hLabel, WM_LBUTTONUP);
  EXPECT_EQ(1, Count(h.log.codes, kLinkLabelClick));
  EXPECT_EQ(nullptr, GetCapture());
}

TEST(LinkLabel, AParentThatKeepsTheNotificationsKeepsItBlueButHearsClicks) {
  LabelHost h;
  h.log.bPassBack = false;
  ASSERT_TRUE(LinkLabel_Attach(h.hLabel));
  MoveOnto(h.hLabel);
  EXPECT_FALSE(LinkLabel_IsHot(h.hLabel));
  Colours c = PaintedColours(h.hLabel);
  EXPECT_GT(c.nBlue, 0);
  EXPECT_EQ(0, c.nRed);
  Press(h.hLabel, WM_LBUTTONDOWN);
  Press(h.hLabel, WM_LBUTTONUP);
  EXPECT_EQ(1, Count(h.log.codes, kLinkLabelClick));
}

TEST(LinkLabel, HandCursorAndNoLabelWithoutAFont) {
  {
    LabelHost h;
    ASSERT_TRUE(LinkLabel_Attach(h.hLabel));
    MoveOnto(h.hLabel);
    SendMessageA(h.hLabel, WM_SETCURSOR, reinterpret_cast<WPARAM>(h.hLabel), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(GetCursor(), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(7u, info.xHotspot) << "the tip of the index finger";
    EXPECT_EQ(0u, info.yHotspot);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
  }
  LabelHost bare(false);
  EXPECT_FALSE(LinkLabel_Attach(bare.hLabel));
  MoveOnto(bare.hLabel);
  EXPECT_TRUE(bare.log.codes.empty()) << "an ordinary static says nothing";
}

// ---- The version resource and the free resources ----

TEST(VersionResource, ValuesOfTheProgramsOwnResource) {
  DWORD translation = 0;
  void* block = Version_Load(GetModuleHandleA(nullptr), &translation);
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(0x03A40411u, translation) << "Japanese, code page 932";
  char value[64];
  EXPECT_TRUE(Version_GetString(sizeof(value), block, translation, "ProductName", value));
  EXPECT_STREQ("Qwilpad", value);
  EXPECT_TRUE(Version_GetString(sizeof(value), block, translation, "ProductVersion", value));
  EXPECT_STREQ(QWIL_PRODUCT_VERSION, value);
  EXPECT_TRUE(Version_GetString(sizeof(value), block, translation, "InternalName", value));
  EXPECT_STREQ("Qwil", value);
  EXPECT_FALSE(Version_GetString(sizeof(value), block, translation, "NoSuchValue", value));
  EXPECT_STREQ("", value);
  EXPECT_FALSE(Version_GetString(sizeof(value), block, 0x04E40409, "ProductName", value)) << "another table";
  char small[4];
  Version_GetString(sizeof(small), block, translation, "ProductName", small);
  EXPECT_STREQ("Qwi", small);
  Mem_Free(block);
}

TEST(FreeResources, LookedForInTheSystemFolderOnlyAndAbsentHere) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof(system));
  char path[MAX_PATH + 32] = {};
  ASSERT_TRUE(System_GetResourcesLibraryPath(path, sizeof(path)));
  EXPECT_EQ(std::string(system) + "\\rsrc32.dll", path) << "a whole path, never the bare name";
  char tiny[8];
  EXPECT_FALSE(System_GetResourcesLibraryPath(tiny, sizeof(tiny)));
  EXPECT_STREQ("", tiny);
  int32_t nSystem = -7, nGdi = -7, nUser = -7;
  EXPECT_FALSE(System_GetFreeResources(&nSystem, &nGdi, &nUser));
  EXPECT_EQ(-7, nSystem) << "outputs untouched";
  EXPECT_EQ(-7, nGdi);
  EXPECT_EQ(-7, nUser);
}

// ---- The About box over the main window ----

int CountAboutWindows() {
  struct Counter {
    static BOOL CALLBACK Each(HWND hWnd, LPARAM lParam) {
      char title[64] = {};
      GetWindowTextA(hWnd, title, sizeof(title));
      DWORD pid = 0;
      GetWindowThreadProcessId(hWnd, &pid);
      if (pid == GetCurrentProcessId() && std::string(title) == "Qwilpad について") ++*reinterpret_cast<int*>(lParam);
      return TRUE;
    }
  };
  int n = 0;
  EnumWindows(Counter::Each, reinterpret_cast<LPARAM>(&n));
  return n;
}

std::string ItemText(HWND hDlg, int id) {
  char text[300] = {};
  GetDlgItemTextA(hDlg, id, text, sizeof(text));
  return text;
}

struct AboutFixture {
  WinTestDir dir;
  MainHost host{dir};
  AboutFixture() { EXPECT_TRUE(host.Create()); }
};

TEST(AboutDialog, NameAndVersionFromTheResourceOneBoxAtATime) {
  AboutFixture f;
  DialogScript script;
  std::string title, version, link, resources;
  bool bIcon = false, bFits = false, bCentred = false;
  int nBoxesAfterSecond = 0;
  HWND hSeen = nullptr, hOpenAfterSecond = nullptr;
  script.Then([&](HWND hDlg) {
    ShowWindow(hDlg, SW_SHOWNA);
    hSeen = hDlg;
    char text[300] = {};
    GetWindowTextA(hDlg, text, sizeof(text));
    title = text;
    version = ItemText(hDlg, kAboutVersion);
    link = ItemText(hDlg, kAboutLink);
    resources = ItemText(hDlg, kAboutResources);
    bIcon = SendDlgItemMessageA(hDlg, kAboutIcon, STM_GETICON, 0, 0) != 0;
    // Every line shows whole inside the box, and OK sits in its middle.
    RECT rcDlg, rcClient, rcOk;
    GetWindowRect(hDlg, &rcDlg);
    GetClientRect(hDlg, &rcClient);
    GetWindowRect(GetDlgItem(hDlg, IDOK), &rcOk);
    bFits = true;
    for (int id : {kAboutVersion, kAboutLink}) {
      HWND hStatic = GetDlgItem(hDlg, id);
      HDC hdc = GetDC(hStatic);
      HGDIOBJ hOld = SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageA(hStatic, WM_GETFONT, 0, 0)));
      std::string s = ItemText(hDlg, id);
      SIZE size = {};
      GetTextExtentPoint32A(hdc, s.c_str(), static_cast<int>(s.size()), &size);
      SelectObject(hdc, hOld);
      ReleaseDC(hStatic, hdc);
      RECT rc;
      GetWindowRect(hStatic, &rc);
      MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
      if (rc.right - rc.left < size.cx || rc.right > rcClient.right) bFits = false;
    }
    int nWidth = rcDlg.right - rcDlg.left, nOk = rcOk.right - rcOk.left;
    bCentred = rcOk.left - rcDlg.left == (nWidth - nOk) / 2;
    // The command once more while the box is open.
    f.host.Command(IDM_ABOUT);
    nBoxesAfterSecond = CountAboutWindows();
    hOpenAfterSecond = AboutDialog_GetOpen();
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(0, f.host.Command(IDM_ABOUT));
  EXPECT_TRUE(script.AllAnswered());
  EXPECT_EQ("[Qwilpad について]", script.Titles()) << "one box made, not two";
  EXPECT_EQ("Qwilpad について", title);
  EXPECT_EQ(std::string("Qwilpad ver. ") + QWIL_PRODUCT_VERSION, version);
  EXPECT_EQ(kAboutSupportAddress, link);
  EXPECT_EQ("", resources) << "no free-resources library on this system";
  EXPECT_TRUE(bIcon);
  EXPECT_TRUE(bFits);
  EXPECT_TRUE(bCentred);
  EXPECT_EQ(1, nBoxesAfterSecond);
  EXPECT_EQ(hSeen, hOpenAfterSecond) << "the open box stays the one";
  EXPECT_EQ(nullptr, AboutDialog_GetOpen());
  EXPECT_EQ(0, CountAboutWindows());
}

struct OpenLog {
  int nCalls = 0;
  std::string address;
  HWND hOwner = nullptr;
};
OpenLog* g_open = nullptr;

bool RecordOpen(HWND hOwner, const char* pszAddress) {
  ++g_open->nCalls;
  g_open->address = pszAddress;
  g_open->hOwner = hOwner;
  return true;
}

TEST(AboutDialog, TheLinkLightsUpAndAClickOpensTheAddressAndCloses) {
  AboutFixture f;
  OpenLog opened;
  g_open = &opened;
  AboutDialog_SetOpenAddress(RecordOpen);
  DialogScript script;
  HWND hSeen = nullptr;
  bool bHot = false, bDark = false, bRed = false, bClosed = false;
  script.Then([&](HWND hDlg) {
    ShowWindow(hDlg, SW_SHOWNA);
    hSeen = hDlg;
    HWND hLink = GetDlgItem(hDlg, kAboutLink);
    MoveOnto(hLink);
    bHot = LinkLabel_IsHot(hLink);
    bRed = PaintedColours(hLink).nRed > 0;
    MoveAway(hLink);
    PumpUntilDark(hLink);
    bDark = !LinkLabel_IsHot(hLink);
    MoveOnto(hLink);
    Press(hLink, WM_LBUTTONDOWN);
    Press(hLink, WM_LBUTTONUP);
    bClosed = !IsWindowVisible(hDlg);
    if (!bClosed) PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  f.host.Command(IDM_ABOUT);
  AboutDialog_SetOpenAddress(nullptr);
  g_open = nullptr;
  EXPECT_TRUE(script.AllAnswered());
  EXPECT_TRUE(bHot) << "the box passes the label's notifications back";
  EXPECT_TRUE(bRed);
  EXPECT_TRUE(bDark);
  EXPECT_TRUE(bClosed) << "a click closes the box";
  EXPECT_EQ(1, opened.nCalls);
  EXPECT_EQ(kAboutSupportAddress, opened.address);
  EXPECT_EQ(hSeen, opened.hOwner);
}

}  // namespace
