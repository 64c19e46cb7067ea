// The editor control's view: mouse selection through the body's mapping, the
// drag timers, the wheel, the scroll bars and their ranges, and what reaches the
// screen: pixels read back from the window after its paints.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "win/edithost.h"

namespace {

std::string Lines(int n, const char* prefix = "line ") {
  std::string s;
  for (int i = 0; i < n; ++i) s += prefix + std::to_string(i) + "\r\n";
  return s;
}

LPARAM PointParam(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// The window's client pixels as 0x00RRGGBB, row by row.
struct Pixels {
  int w = 0, h = 0;
  std::vector<uint32_t> p;
  uint32_t At(int x, int y) const { return p[static_cast<size_t>(y) * w + x]; }
};

// The pixels of a bitmap of the window's client size, compatible with the
// screen, after draw(memory DC holding it, client rectangle).
template <typename Draw>
Pixels DrawnPixels(HWND hWnd, Draw draw) {
  Pixels px;
  RECT rc;
  GetClientRect(hWnd, &rc);
  px.w = rc.right;
  px.h = rc.bottom;
  px.p.assign(static_cast<size_t>(px.w) * px.h, 0);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, px.w, px.h);
  HGDIOBJ old = SelectObject(mem, bmp);
  draw(mem, rc);
  SelectObject(mem, old);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = px.w;
  bi.bmiHeader.biHeight = -px.h;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  GetDIBits(mem, bmp, 0, static_cast<UINT>(px.h), px.p.data(), &bi, DIB_RGB_COLORS);
  for (uint32_t& v : px.p) v &= 0xFFFFFF;
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return px;
}

// What the window shows.
Pixels Capture(HWND hWnd) {
  return DrawnPixels(hWnd, [hWnd](HDC mem, const RECT& rc) {
    HDC hdc = GetDC(hWnd);
    BitBlt(mem, 0, 0, rc.right, rc.bottom, hdc, 0, 0, SRCCOPY);
    ReleaseDC(hWnd, hdc);
  });
}

// What the control paints into a memory DC: the real painting, the GDI
// drawing seam included, without the screen.
Pixels Render(HWND hWnd) {
  return DrawnPixels(hWnd, [hWnd](HDC mem, RECT rc) {
    EditWindow_PaintOffscreen(EditWindow_FromHandle(hWnd), mem, &rc);
  });
}

// Keeps a capture as a picture for people to look at, beside the end-to-end
// screenshots.
void SaveBitmap(const Pixels& px, const char* name) {
  std::string path = std::string(QWIL_SHOT_DIR) + "/" + name;
  if (path[0] == '/') path = "Z:" + path;
  CreateDirectoryA(QWIL_SHOT_DIR[0] == '/' ? ("Z:" + std::string(QWIL_SHOT_DIR)).c_str() : QWIL_SHOT_DIR, nullptr);
  BITMAPFILEHEADER fh = {};
  BITMAPINFOHEADER ih = {};
  ih.biSize = sizeof(ih);
  ih.biWidth = px.w;
  ih.biHeight = -px.h;
  ih.biPlanes = 1;
  ih.biBitCount = 32;
  ih.biCompression = BI_RGB;
  DWORD bytes = static_cast<DWORD>(px.p.size() * sizeof(uint32_t));
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(ih);
  fh.bfSize = fh.bfOffBits + bytes;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, &fh, sizeof(fh), &written, nullptr);
  WriteFile(h, &ih, sizeof(ih), &written, nullptr);
  WriteFile(h, px.p.data(), bytes, &written, nullptr);
  CloseHandle(h);
}

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// Pixels of the colour within the rectangle.
int CountColour(const Pixels& px, RECT r, COLORREF colour) {
  int n = 0;
  for (int y = r.top; y < r.bottom && y < px.h; ++y) {
    for (int x = r.left; x < r.right && x < px.w; ++x) n += px.At(x, y) == Rgb(colour);
  }
  return n;
}

// Where the first difference of two captures is, or "" when they are the same.
std::string FirstDifference(const Pixels& a, const Pixels& b) {
  if (a.w != b.w || a.h != b.h) return "sizes differ";
  for (int y = 0; y < a.h; ++y) {
    for (int x = 0; x < a.w; ++x) {
      if (a.At(x, y) != b.At(x, y)) {
        char text[96];
        std::snprintf(text, sizeof(text), "pixel (%d, %d): %06x, repainted %06x", x, y, a.At(x, y), b.At(x, y));
        return text;
      }
    }
  }
  return "";
}

class EditorViewTest : public EditorTest {
 public:
  RECT ClientRect() {
    RECT rc;
    GetClientRect(hEditor, &rc);
    return rc;
  }
  // The cell of column x on display row y (whole cells, no wrapping), in client pixels.
  RECT Cell(int32_t column, int32_t row, int32_t cells = 1) {
    POINT view = EditBody_GetView(Body());
    RECT text = EditBody_TextRect(Body());
    LONG left = text.left + column * CellWidth() - view.x;
    LONG top = row * LineHeight() - view.y;
    return {left, top, left + cells * CellWidth(), top + LineHeight()};
  }
  // Without the focus there is no caret, whose blinking would make captures differ.
  void DropFocus() {
    SetFocus(hHost);
    TestWin_PumpMessages();
  }
  // What the screen shows after the control's own partial repaints must be what a
  // full repaint gives.
  ::testing::AssertionResult SameAsFullRepaint() {
    UpdateWindow(hEditor);
    Pixels partial = Capture(hEditor);
    InvalidateRect(hEditor, nullptr, FALSE);
    UpdateWindow(hEditor);
    Pixels full = Capture(hEditor);
    std::string diff = FirstDifference(partial, full);
    if (diff.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << diff;
  }
};

TEST_F(EditorViewTest, ClicksMapThroughLineNumbersAndTheMargin) {
  EditorSettings s = HostSettings();
  s.bLineNumber = 1;
  s.nLeftMargin = 10;
  Close();
  ASSERT_TRUE(Open(s));
  SetText("abc\r\ndefgh ij\r\nk");
  const int cw = CellWidth(), lh = LineHeight();
  const int left = 4 * cw + 1 + 10;  // four cells of "%4d", the separator pixel, the margin
  ASSERT_EQ(left, EditBody_TextRect(Body()).left);
  // A click anywhere in a one-byte character's cell lands before it.
  SendMessageA(hEditor, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(left + 2 * cw + cw - 1, lh + 1));
  SendMessageA(hEditor, WM_LBUTTONUP, 0, PointParam(left + 2 * cw + cw - 1, lh + 1));
  EXPECT_EQ(POINT({2, 1}), Caret());
  EXPECT_FALSE(TextEditor_HasSelection(hEditor));
  // Shift+click extends from the anchor.
  SendMessageA(hEditor, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, PointParam(left + cw + 1, 1));
  SendMessageA(hEditor, WM_LBUTTONUP, MK_SHIFT, PointParam(left + cw + 1, 1));
  EXPECT_EQ(POINT({1, 0}), Caret());
  EXPECT_EQ(POINT({2, 1}), Anchor());
  EXPECT_EQ("bc\r\nde", Selected());
  // A plain click collapses it; in the line-number column it lands at the
  // line's start, behind the last line's end at that line's end.
  SendMessageA(hEditor, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(3, lh + 1));
  SendMessageA(hEditor, WM_LBUTTONUP, 0, PointParam(3, lh + 1));
  EXPECT_EQ(POINT({0, 1}), Caret());
  EXPECT_FALSE(TextEditor_HasSelection(hEditor));
  SendMessageA(hEditor, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(left + 30 * cw, 2 * lh + 3));
  SendMessageA(hEditor, WM_LBUTTONUP, 0, PointParam(left + 30 * cw, 2 * lh + 3));
  EXPECT_EQ(POINT({1, 2}), Caret());
  // A double-click selects the word under the point: anchor at its start.
  SendMessageA(hEditor, WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(left + 3 * cw + 1, lh + 1));
  SendMessageA(hEditor, WM_LBUTTONUP, 0, PointParam(left + 3 * cw + 1, lh + 1));
  EXPECT_EQ("defgh", Selected());
  EXPECT_EQ(POINT({0, 1}), Anchor());
  EXPECT_EQ(POINT({5, 1}), Caret());
}

TEST_F(EditorViewTest, ClicksUseTheMessagesSignedPointNotThePointer) {
  SetText("abcdef\r\nghijkl");
  const int cw = CellWidth(), lh = LineHeight();
  POINT origin = {0, 0};
  ClientToScreen(hEditor, &origin);
  SetCursorPos(origin.x + 5 * cw + 1, origin.y + 1);  // the pointer rests over (5, 0)
  SendMessageA(hEditor, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(2 * cw + 1, lh + 1));
  SendMessageA(hEditor, WM_LBUTTONUP, 0, PointParam(2 * cw + 1, lh + 1));
  EXPECT_EQ(POINT({2, 1}), Caret()) << "the click's own point decides";
  // Left of the window, as a captured drag reports it: a negative x is column 0,
  // not a column 65535 pixels out.
  SendMessageA(hEditor, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(-7, lh + 1));
  SendMessageA(hEditor, WM_LBUTTONUP, 0, PointParam(-7, lh + 1));
  EXPECT_EQ(POINT({0, 1}), Caret());
  SendMessageA(hEditor, WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(-7, -3));
  EXPECT_EQ("abcdef", Selected()) << "above the document: its first row";
}

TEST_F(EditorViewTest, DragPastTheBottomEdgeExtendsTheSelectionAndScrolls) {
  SetText(Lines(200));
  const int lh = LineHeight();
  SendMessageA(hEditor, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(2, lh + 1));
  EXPECT_EQ(hEditor, GetCapture());
  EXPECT_EQ(1, Wnd()->bDragDelay) << "timer 101 waits before the mouse is followed";
  // The pointer leaves the window below its bottom edge.
  RECT rc = ClientRect();
  POINT below = {20, rc.bottom + 40};
  ClientToScreen(hEditor, &below);
  SetCursorPos(below.x, below.y);
  SendMessageA(hEditor, WM_MOUSEMOVE, MK_LBUTTON, PointParam(20, rc.bottom + 40));
  EXPECT_EQ(0, Wnd()->bDragDelay);
  EXPECT_EQ(1, Wnd()->bDragFollow) << "the first move starts timer 100 at once";
  for (int tick = 0; tick < 5; ++tick) SendMessageA(hEditor, WM_TIMER, kDragFollowTimer, 0);
  const int32_t rows = rc.bottom / lh;
  EXPECT_GT(Caret().y, rows) << "the caret followed the pointer past the last visible row";
  EXPECT_EQ(POINT({0, 1}), Anchor());
  EXPECT_GT(ScrollPos(SB_VERT), 0) << "the view scrolled with it";
  int32_t caretRow = EditBody_PosToDisplay(Body(), Caret()).y;
  int32_t firstRow = ScrollPos(SB_VERT) / lh;
  EXPECT_GE(caretRow, firstRow);
  EXPECT_LE(caretRow, firstRow + rows) << "the caret stays in view while it scrolls";
  // Releasing the button releases the capture, which stops both timers.
  SendMessageA(hEditor, WM_LBUTTONUP, 0, PointParam(20, rc.bottom + 40));
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_EQ(0, Wnd()->bDragFollow);
  POINT stopped = Caret();
  SendMessageA(hEditor, WM_TIMER, kDragFollowTimer, 0);
  TestWin_PumpMessages();
  EXPECT_EQ(stopped, Caret()) << "a late tick follows nothing";
}

TEST_F(EditorViewTest, DelayTimerStartsFollowingWithoutAMove) {
  SetText(Lines(5));
  SendMessageA(hEditor, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(2, 1));
  POINT at = {2 + 3 * CellWidth(), 2 * LineHeight() + 1};
  ClientToScreen(hEditor, &at);
  SetCursorPos(at.x, at.y);
  SendMessageA(hEditor, WM_TIMER, kDragDelayTimer, 0);
  EXPECT_EQ(0, Wnd()->bDragDelay);
  EXPECT_EQ(1, Wnd()->bDragFollow) << "the delay's end starts following";
  SendMessageA(hEditor, WM_TIMER, kDragFollowTimer, 0);
  EXPECT_EQ(POINT({3, 2}), Caret()) << "the pointer is followed";
  EXPECT_EQ(POINT({0, 0}), Anchor());
  // Another window taking the capture stops the drag too.
  SetCapture(hHost);
  EXPECT_EQ(0, Wnd()->bDragFollow);
  EXPECT_EQ(0, Wnd()->bDragDelay);
  ReleaseCapture();
}

TEST_F(EditorViewTest, WheelScrollsWholeNotchesOfTheUsersSetting) {
  SetText(Lines(300));
  UINT lines = 0;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
  EXPECT_EQ(3u, lines) << "the default setting";
  const int lh = LineHeight();
  SendMessageA(hEditor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 0);
  EXPECT_EQ(6 * lh, ScrollPos(SB_VERT)) << "two notches down: six lines";
  EXPECT_EQ(6 * lh, EditBody_GetView(Body()).y);
  SendMessageA(hEditor, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0);
  EXPECT_EQ(6 * lh, ScrollPos(SB_VERT)) << "half a notch scrolls nothing";
  SendMessageA(hEditor, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(3 * lh, ScrollPos(SB_VERT));
  SendMessageA(hEditor, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
  EXPECT_EQ(0, ScrollPos(SB_VERT)) << "stops at the top";
  EXPECT_EQ(POINT({0, 0}), Caret()) << "the wheel never moves the caret";
  // A setting of page scrolling scrolls pages.
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0));
  SendMessageA(hEditor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0);
  EXPECT_EQ(static_cast<int>(ScrollInfo(SB_VERT).nPage), ScrollPos(SB_VERT));
}

TEST_F(EditorViewTest, CtrlArrowsScrollWithoutMovingTheCaret) {
  SetText(Lines(100));
  const int lh = LineHeight();
  Key(VK_DOWN, true);
  Key(VK_DOWN, true);
  EXPECT_EQ(2 * lh, ScrollPos(SB_VERT));
  EXPECT_EQ(POINT({0, 0}), Caret()) << "the caret may leave the view";
  Key(VK_UP, true);
  EXPECT_EQ(lh, ScrollPos(SB_VERT));
  // Moving the caret brings it back into view.
  Key(VK_RIGHT);
  EXPECT_EQ(0, ScrollPos(SB_VERT));
}

TEST_F(EditorViewTest, PageKeysMoveAPageOfRowsAndKeepTheCaretInView) {
  SetText(Lines(100));
  const int lh = LineHeight();
  const int32_t n = ClientRect().bottom / lh;
  Key(VK_DOWN);
  Key(VK_NEXT);
  EXPECT_EQ(POINT({0, 1 + n}), Caret());
  const int pos = ScrollPos(SB_VERT);
  EXPECT_EQ(n * lh, pos) << "the view moved as many rows as the caret: it keeps its place on the screen";
  EXPECT_GE(pos + ClientRect().bottom, (2 + n) * lh);
  POINT shown = {-1, -1};
  ASSERT_TRUE(GetCaretPos(&shown));
  EXPECT_EQ(POINT({0, lh}), shown) << "the system caret where the caret ended, not where the scroll left it";
  // A caret moving alone changes no pixel: nothing is left to repaint.
  TextEditor_SetCaret(hEditor, {0, 3 + n}, true);
  EXPECT_FALSE(GetUpdateRect(hEditor, nullptr, FALSE));
  TextEditor_SetCaret(hEditor, {0, 1 + n}, true);
  Key(VK_NEXT, false, true);
  EXPECT_EQ(POINT({0, 1 + 2 * n}), Caret());
  EXPECT_EQ(POINT({0, 1 + n}), Anchor()) << "Shift extends";
  Key(VK_PRIOR);
  EXPECT_EQ(POINT({0, 1 + n}), Caret());
  Key(VK_PRIOR, true);
  EXPECT_EQ(POINT({0, 1}), Caret());
  Key(VK_PRIOR);
  EXPECT_EQ(POINT({0, 0}), Caret()) << "clamped at the first row";
  EXPECT_EQ(0, ScrollPos(SB_VERT));
}

TEST_F(EditorViewTest, ScrollBarsFollowTheDocumentAndTheSettings) {
  SetText(Lines(100));
  const int lh = LineHeight();
  RECT rc = ClientRect();
  SCROLLINFO v = ScrollInfo(SB_VERT);
  EXPECT_EQ(0, v.nMin);
  EXPECT_EQ(101 * lh, v.nMax) << "line height times the rows (100 lines and the empty last one)";
  EXPECT_EQ(static_cast<UINT>(rc.bottom), v.nPage);
  SCROLLINFO h = ScrollInfo(SB_HORZ);
  EXPECT_EQ(0, h.nMin);
  EXPECT_EQ(0x7FFF, h.nMax);
  EXPECT_EQ(static_cast<UINT>(rc.right), h.nPage);
  // The scroll bar's own requests.
  SendMessageA(hEditor, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(lh, ScrollPos(SB_VERT));
  SendMessageA(hEditor, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(lh + rc.bottom, ScrollPos(SB_VERT));
  SendMessageA(hEditor, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(101 * lh - rc.bottom + 1, ScrollPos(SB_VERT));
  SendMessageA(hEditor, WM_VSCROLL, SB_ENDSCROLL, 0);
  EXPECT_EQ(101 * lh - rc.bottom + 1, ScrollPos(SB_VERT));
  SendMessageA(hEditor, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(0, ScrollPos(SB_VERT));
  SendMessageA(hEditor, WM_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(2 * CellWidth(), ScrollPos(SB_HORZ)) << "two cells a step";
  EXPECT_EQ(2 * CellWidth(), EditBody_GetView(Body()).x);
  SendMessageA(hEditor, WM_HSCROLL, SB_LINEUP, 0);
  SendMessageA(hEditor, WM_HSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(0, ScrollPos(SB_HORZ));
  // Wrapping leaves the horizontal bar an empty range.
  EditorSettings s;
  ASSERT_TRUE(TextEditor_GetSettings(hEditor, &s));
  s.bWrap = 1;
  HostEvents().clear();
  ASSERT_TRUE(TextEditor_SetSettings(hEditor, &s));
  EXPECT_EQ("TEN_UPDATE(0, 0)\n", HostEventList());
  h = ScrollInfo(SB_HORZ);
  EXPECT_EQ(1, h.nMax);
  EXPECT_EQ(1u, h.nPage);
  SendMessageA(hEditor, WM_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(0, EditBody_GetView(Body()).x);
  // Deleting lines shrinks the range, and a view below it comes back.
  SendMessageA(hEditor, WM_VSCROLL, SB_BOTTOM, 0);
  TextEditor_SelectAll(hEditor);
  Chars({'x'});
  EXPECT_EQ(lh, ScrollInfo(SB_VERT).nMax);
  EXPECT_EQ(0, ScrollPos(SB_VERT));
  EXPECT_EQ(0, EditBody_GetView(Body()).y);
}

TEST_F(EditorViewTest, ACaretFarOutOnALongLineIsScrolledIntoView) {
  std::string line(10000, 'x');
  SetText(line + "\r\nshort");
  Key(VK_END);
  EXPECT_EQ(POINT({10000, 0}), Caret());
  const int cw = CellWidth();
  SCROLLINFO h = ScrollInfo(SB_HORZ);
  EXPECT_GT(h.nMax, 0x7FFF) << "the range grew past 32767 pixels";
  EXPECT_GT(h.nPos, 10000 * cw - static_cast<int>(h.nPage));
  EXPECT_LE(h.nPos, 10000 * cw);
  POINT caret;
  ASSERT_TRUE(GetCaretPos(&caret));
  EXPECT_GE(caret.x, 0);
  EXPECT_LT(caret.x, ClientRect().right) << "the caret is on the screen";
  // Back on a short line the view keeps two cells before the caret.
  Key(VK_DOWN);
  EXPECT_EQ(POINT({5, 1}), Caret());
  EXPECT_EQ(3 * cw, ScrollPos(SB_HORZ));
  Key(VK_HOME);
  EXPECT_EQ(0, ScrollPos(SB_HORZ));
}

TEST_F(EditorViewTest, NotificationsCarryTheirValuesWhole) {
  static_assert(sizeof(TextEditorNotify) == sizeof(NMHDR) + 2 * sizeof(LPARAM), "NMHDR and two LPARAMs");
  static_assert(sizeof(LPARAM) == sizeof(void*), "pointer-sized values");
  // A context-menu request passes both parameters through, the whole 64 bits.
  WPARAM wParam = reinterpret_cast<WPARAM>(hEditor);
  SendMessageA(hEditor, WM_CONTEXTMENU, wParam, MAKELPARAM(300, 200));
  ASSERT_EQ(1u, HostEvents().size());
  const HostEvent& e = HostEvents()[0];
  EXPECT_EQ(static_cast<UINT>(WM_NOTIFY), e.uMsg);
  EXPECT_EQ(TEN_CONTEXTMENU, e.nCode);
  EXPECT_EQ(101u, e.wParam) << "WM_NOTIFY's wParam is the control identifier";
  EXPECT_EQ(101u, e.nId);
  EXPECT_EQ(hEditor, e.hFrom);
  EXPECT_EQ(static_cast<LPARAM>(wParam), e.lValue1);
  EXPECT_EQ(MAKELPARAM(300, 200), e.lValue2);
  // Files dropped: the drop handle travels whole and is freed after the parent was told.
  HGLOBAL hDrop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + 16);
  ASSERT_NE(nullptr, hDrop);
  DROPFILES* df = static_cast<DROPFILES*>(GlobalLock(hDrop));
  df->pFiles = sizeof(DROPFILES);
  std::memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), "a.txt\0", 7);
  GlobalUnlock(hDrop);
  HostEvents().clear();
  SendMessageA(hEditor, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
  ASSERT_EQ(1u, HostEvents().size());
  EXPECT_EQ(TEN_DROPFILES, HostEvents()[0].nCode);
  EXPECT_EQ(reinterpret_cast<LPARAM>(hDrop), HostEvents()[0].lValue1);
  EXPECT_EQ(0, HostEvents()[0].lValue2);
  // A resize tells its WM_SIZE parameters.
  HostEvents().clear();
  MoveWindow(hEditor, 0, 0, 500, 300, TRUE);
  RECT rc = ClientRect();
  ASSERT_FALSE(HostEvents().empty());
  const HostEvent& size = HostEvents().back();
  EXPECT_EQ(TEN_SIZE, size.nCode);
  EXPECT_EQ(SIZE_RESTORED, size.lValue1);
  EXPECT_EQ(MAKELPARAM(rc.right, rc.bottom), size.lValue2);
  EXPECT_EQ(rc.bottom, EditBody_GetMetrics(Body()).rcEditor.bottom) << "the body got the new client area";
}

TEST_F(EditorViewTest, SelectionIsPaintedInTheSelectionColour) {
  EditorSettings s = HostSettings();
  s.style.crBack = RGB(255, 255, 255);
  s.style.crSelBack = RGB(0, 0, 160);
  s.style.crText = RGB(0, 0, 0);
  s.style.crSelText = RGB(255, 255, 0);
  Close();
  ASSERT_TRUE(Open(s));
  SetText("abcdef\r\nghijkl\r\nmnopqr");
  TextEditor_SetSelection(hEditor, {2, 0}, {3, 1});
  DropFocus();
  UpdateWindow(hEditor);
  Pixels px = Capture(hEditor);
  const int cells = CellWidth() * LineHeight();
  struct Case {
    int32_t column, row;
    bool selected;
  } cases[] = {{0, 0, false}, {1, 0, false}, {2, 0, true},  {5, 0, true},  {6, 0, true} /* the line end */,
               {0, 1, true},  {2, 1, true},  {3, 1, false}, {5, 1, false}, {0, 2, false}, {7, 0, false}};
  for (const Case& c : cases) {
    RECT cell = Cell(c.column, c.row);
    int sel = CountColour(px, cell, s.style.crSelBack);
    int back = CountColour(px, cell, s.style.crBack);
    if (c.selected) {
      EXPECT_GT(sel, cells / 2) << "cell (" << c.column << ", " << c.row << ")";
      EXPECT_EQ(0, back) << "cell (" << c.column << ", " << c.row << ")";
    } else {
      EXPECT_EQ(0, sel) << "cell (" << c.column << ", " << c.row << ")";
      EXPECT_GT(back, cells / 2) << "cell (" << c.column << ", " << c.row << ")";
    }
  }
  // Selected characters are drawn in the selected text colour, the others not.
  EXPECT_GT(CountColour(px, Cell(2, 0, 4), s.style.crSelText), 0);
  EXPECT_EQ(0, CountColour(px, Cell(0, 2, 6), s.style.crSelText));
  EXPECT_GT(CountColour(px, Cell(0, 2, 6), s.style.crText), 0);
  // The background below the document.
  RECT below = {0, 4 * LineHeight(), ClientRect().right, ClientRect().bottom};
  EXPECT_EQ((below.right - below.left) * (below.bottom - below.top), CountColour(px, below, s.style.crBack));
}

TEST_F(EditorViewTest, MarksAndJapaneseTextAreDrawnInTheirCells) {
  EditorSettings s = HostSettings();
  s.style.bShowEof = s.style.bShowLineEnd = s.style.bShowTab = s.style.bShowSpace = s.style.bShowZenSpace = 1;
  s.style.crEof = RGB(200, 0, 200);
  s.style.crLineEnd = RGB(0, 160, 0);
  s.style.crTab = RGB(220, 0, 0);
  s.style.crSpace = RGB(0, 0, 220);
  s.style.crZenSpace = RGB(0, 150, 150);
  s.bLineNumber = 1;
  Close();
  ASSERT_TRUE(Open(s));
  SetText("a\tb c\x81\x40\x82\xa0\x8a\xbf\r\nx");  // a, tab, b, space, c, full-width space, あ, 漢
  DropFocus();
  UpdateWindow(hEditor);
  Pixels px = Capture(hEditor);
  EXPECT_GT(CountColour(px, Cell(1, 0), s.style.crTab), 0) << "the tab's arrow in its first cell";
  EXPECT_EQ(0, CountColour(px, Cell(2, 0, 6), s.style.crTab)) << "and nowhere else";
  EXPECT_GT(CountColour(px, Cell(9, 0), s.style.crSpace), 0);
  EXPECT_GT(CountColour(px, Cell(11, 0, 2), s.style.crZenSpace), 0);
  EXPECT_GT(CountColour(px, Cell(17, 0), s.style.crLineEnd), 0) << "behind the first line";
  EXPECT_EQ(0, CountColour(px, Cell(1, 1, 6), s.style.crLineEnd)) << "the last line has none";
  EXPECT_GT(CountColour(px, Cell(1, 1, 5), s.style.crEof), 0) << "[EOF] behind the last line";
  // The Japanese characters and the line numbers have ink.
  EXPECT_GT(CountColour(px, Cell(13, 0, 4), s.style.crText), 0);
  RECT numbers = {0, 0, 4 * CellWidth(), LineHeight()};
  EXPECT_GT(CountColour(px, numbers, s.style.crEof), 0);
  SaveBitmap(px, "editor-marks.bmp");
}

// Pixels other than the background that lie outside the rectangle, or "" when
// there are none.
std::string InkOutside(const Pixels& px, RECT r, uint32_t back) {
  for (int y = 0; y < px.h; ++y) {
    for (int x = 0; x < px.w; ++x) {
      const bool inside = r.left <= x && x < r.right && r.top <= y && y < r.bottom;
      if (!inside && px.At(x, y) != back) return "ink at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    }
  }
  return "";
}

// A byte with no character of its own (NUL, 0x1A, 0x80, 0xA0, 0xFD to 0xFF, the
// other C0 controls, DEL, a lone lead byte) is the control mark of one cell,
// and every glyph stays inside its own cells: the "b" behind the NUL of
// "nul\0byte" is drawn exactly as behind a space, also in a proportional font
// whose wide letters reach past their cells.
TEST_F(EditorViewTest, EveryGlyphAndEveryControlMarkStaysInItsCell) {
  EditorSettings s = HostSettings();
  s.style.crBack = RGB(255, 255, 255);
  s.style.crText = RGB(0, 0, 0);
  s.style.crEof = RGB(200, 0, 200);
  for (const char* face : {"FixedSys", "IPAPGothic"}) {
    SCOPED_TRACE(face);
    std::strcpy(s.style.lfFont.lfFaceName, face);
    s.style.lfFont.lfPitchAndFamily = std::strcmp(face, "FixedSys") == 0 ? 0x31 : 0x22;
    Close();
    ASSERT_TRUE(Open(s));
    DropFocus();
    const uint32_t back = Rgb(s.style.crBack);
    const std::string controls[] = {std::string("\0", 1), "\x1A", "\x01", "\x7F", "\x80", "\xA0", "\xFD", "\xFF"};
    for (const std::string& c : controls) {
      SetText("nul" + c + "byte");
      Pixels marked = Render(hEditor);
      SetText("nul byte");
      Pixels spaced = Render(hEditor);
      const RECT cell = Cell(3, 0);
      std::string diff = FirstDifference(marked, spaced);
      for (int y = cell.top; y < cell.bottom; ++y) {  // the mark's cell may differ, nothing else
        for (int x = cell.left; x < cell.right; ++x) marked.p[static_cast<size_t>(y) * marked.w + x] = back;
      }
      EXPECT_EQ("", FirstDifference(marked, spaced)) << "byte " << std::hex << (c[0] & 0xFF);
      SetText("nul" + c + "byte");
      Pixels again = Render(hEditor);
      EXPECT_GT(CountColour(again, cell, s.style.crEof), 0) << "the mark is drawn, in its colour";
      EXPECT_EQ(0, CountColour(again, cell, s.style.crText)) << "and no glyph is";
      EXPECT_NE("", diff);
    }
    if (std::strcmp(face, "FixedSys") == 0) SaveBitmap(Render(hEditor), "editor-control-mark.bmp");
    // Each glyph alone on its line has no ink outside its cell, wide letters
    // included, and among its neighbours its cell shows just that.
    const std::string letters = "nulbyteWM@mWi";
    SetText(letters);
    const Pixels together = Render(hEditor);
    for (size_t i = 0; i < letters.size(); ++i) {
      std::string line(letters.size(), ' ');
      line[i] = letters[i];
      SetText(line);
      const Pixels alone = Render(hEditor);
      const RECT cell = Cell(static_cast<int32_t>(i), 0);
      EXPECT_EQ("", InkOutside(alone, cell, back)) << letters[i];
      int differ = 0;
      for (int y = cell.top; y < cell.bottom; ++y) {
        for (int x = cell.left; x < cell.right; ++x) differ += alone.At(x, y) != together.At(x, y);
      }
      EXPECT_EQ(0, differ) << "pixels of a neighbour in the cell of " << letters[i];
    }
    SetText("\x8a\xbf");  // 漢 in its two cells
    EXPECT_EQ("", InkOutside(Render(hEditor), Cell(0, 0, 2), back));
  }
}

class PartialRepaintTest : public EditorViewTest, public ::testing::WithParamInterface<int> {};

// Plain; with line numbers and a margin; wrapped with line numbers, where an
// edit can change a line's rows and move the numbers below.
TEST_P(PartialRepaintTest, PartialRepaintsShowWhatAFullRepaintShows) {
  EditorSettings s = HostSettings();
  s.style.bShowLineEnd = s.style.bShowEof = 1;
  s.bLineNumber = GetParam() >= 1;
  s.nLeftMargin = GetParam() == 1 ? 6 : 0;
  s.bWrap = GetParam() == 2;
  Close();
  ASSERT_TRUE(Open(s));
  std::string text = Lines(60, "text of line ");
  if (GetParam() == 2) text.insert(30, std::string(150, 'w'));  // a line of several rows
  SetText(text);
  DropFocus();
  struct Case {
    const char* pWhat;
    void (*pfnDo)(EditorViewTest* t);
  } cases[] = {
      {"a typed character", [](EditorViewTest* t) { t->Chars({'Z'}); }},
      {"a new line", [](EditorViewTest* t) { t->Chars({13}); }},
      {"a joined line", [](EditorViewTest* t) { t->Chars({8}); }},
      {"three lines deleted", [](EditorViewTest* t) {
         TextEditor_SetSelection(t->hEditor, {2, 3}, {4, 6});
         t->Key(VK_DELETE);
       }},
      {"lines pasted", [](EditorViewTest* t) { TextEditor_ReplaceSelection(t->hEditor, "1\r\n2\r\n3\r\n4", 10, true); }},
      {"a selection grown by rows", [](EditorViewTest* t) {
         t->Key(VK_DOWN, false, true);
         t->Key(VK_DOWN, false, true);
         t->Key(VK_RIGHT, false, true);
       }},
      {"a selection shrunk", [](EditorViewTest* t) { t->Key(VK_UP, false, true); }},
      {"scrolled a line", [](EditorViewTest* t) { SendMessageA(t->hEditor, WM_VSCROLL, SB_LINEDOWN, 0); }},
      {"scrolled a page", [](EditorViewTest* t) { SendMessageA(t->hEditor, WM_VSCROLL, SB_PAGEDOWN, 0); }},
      {"scrolled sideways", [](EditorViewTest* t) { SendMessageA(t->hEditor, WM_HSCROLL, SB_LINEDOWN, 0); }},
      {"typed while scrolled", [](EditorViewTest* t) { t->Chars({'q', 13, 'r'}); }},
      {"undone", [](EditorViewTest* t) { TextEditor_Undo(t->hEditor); }},
      {"undone all", [](EditorViewTest* t) { TextEditor_UndoAll(t->hEditor); }},
      {"a wrapped line grown by a row", [](EditorViewTest* t) {
         TextEditor_SetCaret(t->hEditor, {40, 2}, true);
         TextEditor_ReplaceSelection(t->hEditor, std::string(90, 'g').c_str(), 90, true);
       }},
      {"and shrunk again", [](EditorViewTest* t) { TextEditor_Undo(t->hEditor); }},
  };
  TextEditor_SetCaret(hEditor, {4, 2}, true);
  for (const Case& c : cases) {
    c.pfnDo(this);
    EXPECT_TRUE(SameAsFullRepaint()) << "after " << c.pWhat;
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PartialRepaintTest, ::testing::Values(0, 1, 2));

TEST_F(EditorViewTest, LineNumbersWideningOnANewLineRepaintEverything) {
  EditorSettings s = HostSettings();
  s.bLineNumber = 1;
  Close();
  ASSERT_TRUE(Open(s));
  SetText(Lines(9997));  // 9 998 lines with the empty last one: four digits still fit
  const int32_t narrow = EditBody_TextRect(Body()).left;
  TextEditor_SetCaret(hEditor, {0, 9997}, true);
  DropFocus();
  Chars({13});
  EXPECT_EQ(narrow + CellWidth(), EditBody_TextRect(Body()).left) << "a fifth digit";
  EXPECT_TRUE(SameAsFullRepaint());
  Chars({8});
  EXPECT_EQ(narrow, EditBody_TextRect(Body()).left);
  EXPECT_TRUE(SameAsFullRepaint());
}

}  // namespace
