// A test window hosting one editor control (child 101), recording in order what
// the control tells its parent: WM_NOTIFY with its record, WM_COMMAND, and the
// key-downs it passes on. Header only, shared by the editor's Windows tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editctrl/editctrl.h"
#include "editctrl/editwind_win.h"
#include "win/testwin.h"

struct HostEvent {
  UINT uMsg;        // WM_NOTIFY, WM_COMMAND or WM_KEYDOWN
  int32_t nCode;    // notification code (WM_NOTIFY), notification code (WM_COMMAND), 0
  UINT_PTR nId;     // idFrom, or the control id of WM_COMMAND
  HWND hFrom;       // hwndFrom, or WM_COMMAND's lParam
  LPARAM lValue1;   // the record's values; WPARAM and LPARAM of a key-down
  LPARAM lValue2;
  WPARAM wParam;    // the message's own wParam
};

inline std::vector<HostEvent>& HostEvents() {
  static std::vector<HostEvent> events;
  return events;
}

inline std::string HostEventName(const HostEvent& e) {
  char text[128];
  if (e.uMsg == WM_COMMAND) {
    std::snprintf(text, sizeof(text), "WM_COMMAND(%#x, %u)", static_cast<unsigned>(e.nCode),
                  static_cast<unsigned>(e.nId));
    return text;
  }
  if (e.uMsg == WM_KEYDOWN) {
    std::snprintf(text, sizeof(text), "WM_KEYDOWN(%#llx, %#llx)", static_cast<unsigned long long>(e.lValue1),
                  static_cast<unsigned long long>(e.lValue2));
    return text;
  }
  const char* name = "TEN_?";
  switch (e.nCode) {
    case TEN_DROPFILES: name = "TEN_DROPFILES"; break;
    case TEN_CONTEXTMENU: name = "TEN_CONTEXTMENU"; break;
    case TEN_UPDATE: name = "TEN_UPDATE"; break;
    case TEN_KEYDOWN: name = "TEN_KEYDOWN"; break;
    case TEN_SIZE: name = "TEN_SIZE"; break;
  }
  std::snprintf(text, sizeof(text), "%s(%#llx, %#llx)", name, static_cast<unsigned long long>(e.lValue1),
                static_cast<unsigned long long>(e.lValue2));
  return text;
}

// The recorded events, one per line, for comparing whole sequences.
inline std::string HostEventList() {
  std::string out;
  for (const HostEvent& e : HostEvents()) out += HostEventName(e) + "\n";
  return out;
}

// A key whose TEN_KEYDOWN makes the host destroy the control, as a key
// assignment closing the document might; 0 for none.
inline WPARAM& HostDestroyKey() {
  static WPARAM key = 0;
  return key;
}

inline LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  HostEvent e = {};
  e.uMsg = uMsg;
  e.wParam = wParam;
  switch (uMsg) {
    case WM_NOTIFY: {
      const TextEditorNotify* nm = reinterpret_cast<const TextEditorNotify*>(lParam);
      e.nCode = static_cast<int32_t>(nm->hdr.code);
      e.nId = nm->hdr.idFrom;
      e.hFrom = nm->hdr.hwndFrom;
      e.lValue1 = nm->lValue1;
      e.lValue2 = nm->lValue2;
      HostEvents().push_back(e);
      if (e.nCode == TEN_KEYDOWN && HostDestroyKey() && static_cast<WPARAM>(e.lValue1) == HostDestroyKey()) {
        DestroyWindow(nm->hdr.hwndFrom);
      }
      return 0;
    }
    case WM_COMMAND:
      e.nCode = HIWORD(wParam);
      e.nId = LOWORD(wParam);
      e.hFrom = reinterpret_cast<HWND>(lParam);
      HostEvents().push_back(e);
      return 0;
    case WM_KEYDOWN:
      e.lValue1 = static_cast<LPARAM>(wParam);
      e.lValue2 = lParam;
      HostEvents().push_back(e);
      return 0;
    default:
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
  }
}

constexpr char kHostClass[] = "QwilEditorTestHost";
constexpr int kHostEditorId = 101;
constexpr int kHostClientWidth = 640;
constexpr int kHostClientHeight = 400;

// Settings with a font that every Wine prefix has, marks off, no margin.
inline EditorSettings HostSettings() {
  EditorSettings s;
  EditorSettings_SetDefaults(&s);
  return s;
}

class EditorTest : public ::testing::Test {
 public:
  void SetUp() override { ASSERT_TRUE(Open(HostSettings())); }

  void TearDown() override { Close(); }

  // The host window, made once for the whole test program: hiding or destroying
  // a shown window costs Wine seconds, so every test gets a new control in it.
  static HWND SharedHost(HINSTANCE hInstance) {
    static HWND hHost = nullptr;
    if (hHost && IsWindow(hHost)) return hHost;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExA(hInstance, kHostClass, &wc)) {
      wc.lpfnWndProc = HostWindowProc;
      wc.hInstance = hInstance;
      wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
      wc.lpszClassName = kHostClass;
      if (!RegisterClassExA(&wc)) return nullptr;
    }
    RECT rc = {0, 0, kHostClientWidth, kHostClientHeight};
    AdjustWindowRectEx(&rc, WS_POPUP | WS_BORDER, FALSE, 0);
    hHost = CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_BORDER | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                            rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, hInstance, nullptr);
    return hHost;
  }

  // A new control over the host's whole client area, with the focus.
  ::testing::AssertionResult Open(const EditorSettings& settings) {
    hInstance = GetModuleHandleA(nullptr);
    hHost = SharedHost(hInstance);
    if (!hHost) return ::testing::AssertionFailure() << "no host window";
    if (!TextEditor_RegisterClass(hInstance)) return ::testing::AssertionFailure() << "no editor class";
    hEditor = TextEditor_Create(0, WS_CHILD | WS_VISIBLE, hInstance, hHost, kHostEditorId, kHostClientWidth,
                                kHostClientHeight, &settings);
    if (!hEditor) return ::testing::AssertionFailure() << "no editor control";
    SetForegroundWindow(hHost);
    SetFocus(hEditor);
    TestWin_PumpMessages();
    HostEvents().clear();
    return ::testing::AssertionSuccess();
  }

  void Close() {
    if (hEditor && IsWindow(hEditor)) DestroyWindow(hEditor);
    hEditor = nullptr;
    TestWin_PumpMessages();
    HostEvents().clear();
  }

  EditorWindow* Wnd() { return EditWindow_FromHandle(hEditor); }
  TextEditorBody* Body() { return Wnd()->body; }

  // The whole document as its extracted text (lines joined by CR LF).
  std::string Text() {
    TextEditorBody* body = Body();
    TextRange all = EditBody_WholeDocument(body);
    int32_t n = TextData_GetText(body->text, nullptr, all, 0);
    std::string s(static_cast<size_t>(n), '\0');
    TextData_GetText(body->text, &s[0], all, n);
    return s;
  }

  // Loads a document holding the text: caret at (0, 0), no undo steps, nothing
  // modified.
  void SetText(const std::string& text) {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "qwil-edithost.txt";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_TRUE(TextEditor_LoadFile(hEditor, path.c_str()));
    DeleteFileA(path.c_str());
    TestWin_PumpMessages();
    HostEvents().clear();
  }

  std::string Selected() {
    int32_t n = TextEditor_GetSelectedLength(hEditor);
    std::string s(static_cast<size_t>(n), '\0');
    if (n > 0) TextEditor_GetSelectedText(hEditor, &s[0], n);
    return s;
  }

  POINT Caret() { return TextEditor_GetCaret(hEditor); }
  POINT Anchor() { return Body()->ptSelect; }

  // A key-down with Ctrl and Shift as given, as the thread's key state says.
  void Key(UINT vk, bool ctrl = false, bool shift = false) {
    SetModifiers(ctrl, shift);
    SendMessageA(hEditor, WM_KEYDOWN, vk, 1);
    SetModifiers(false, false);
  }

  void Chars(const std::vector<unsigned> bytes, bool shift = false) {
    SetModifiers(false, shift);
    for (unsigned b : bytes) SendMessageA(hEditor, WM_CHAR, b, 1);
    SetModifiers(false, false);
  }

  static void SetModifiers(bool ctrl, bool shift) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
  }

  int ScrollPos(int nBar) {
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    GetScrollInfo(hEditor, nBar, &si);
    return si.nPos;
  }

  SCROLLINFO ScrollInfo(int nBar) {
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(hEditor, nBar, &si);
    return si;
  }

  int32_t LineHeight() { return EditBody_LineHeight(Body()); }
  int32_t CellWidth() { return EditBody_CellWidth(Body()); }

  HINSTANCE hInstance = nullptr;
  HWND hHost = nullptr;
  HWND hEditor = nullptr;
};

inline bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
inline std::ostream& operator<<(std::ostream& os, POINT p) { return os << "(" << p.x << ", " << p.y << ")"; }
