// winbench FILE [--keys N] [--pages N] [--repaints N] [--marks]: the editor
// control in a real 1024 x 768 window (with --marks showing every mark), timed
// under Wine (or Windows) on a file. Prints one line of key=value pairs per
// measurement (times in ms or us, memory in KiB):
//   load       the file loaded and the first full paint finished
//   type       N characters typed at the end of the document, each painted
//   page       N Page Downs ending at the document's end, each painted
//   scrollbar  what one redraw of a scroll bar costs on its own
//   repaint    a full repaint of the client area, unwrapped and then wrapped
// winbench --core FILE loads the file with the core alone, without a window, to
// tell the platform's share of the load time from the window's.
// winbench FILE --recovery [--keys N] keeps the recovery file of the control's
// document while it is typed into, through the Win32 file API, and times each
// step the window would wait for (bench/recoveryrun.h).
// winbench --main FILE [--keys N]: the program's own main window, as Qwilpad.exe
// starts with FILE on its command line:
//   main       the core's load alone, then from the start: the window made,
//              its first paint (visible), and the file opened and everything
//              painted with the document's title (titled)
//   mainkeys   Ctrl+End, then the medians of N characters typed and of N Page
//              Downs from the top, each with the title and status bar painted
//   close      WM_CLOSE on the unmodified document until the window is gone
//              (the settings written, the document freed)
// winbench --replace FILE PATTERN REPLACEMENT: the program's main window on
// FILE, its replace dialog opened with Ctrl+R's command, the two texts set and
// すべて置換 pressed; the press is timed until the dialog has the window back
// and the editor has painted:
//   replaceall the document's lines afterwards, whether it changed, ms
// Built with the windows tree only; measure an optimized build
// (cmake -B build/win64-release -DCMAKE_BUILD_TYPE=Release ...).
#include "app/appdata_win.h"
#include "res/resource.h"
#include "app/qwilwind_win.h"
#include "app/statusbar_win.h"
#include "dialogs/keyassign_win.h"
#include "editctrl/editctrl.h"
#include "editctrl/textfile.h"
#include "tools/fileio_win.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/recoveryrun.h"
#include "editctrl/editundo.h"
#include "editctrl/editwind_win.h"

namespace {

constexpr char kHostClass[] = "QwilBenchHost";
constexpr int kClientWidth = 1024;
constexpr int kClientHeight = 768;

double NowMs() {
  static LARGE_INTEGER frequency = {};
  if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

long PeakKb() {
  PROCESS_MEMORY_COUNTERS pmc = {};
  pmc.cb = sizeof(pmc);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof(pmc))) return -1;
  return static_cast<long>(pmc.PeakWorkingSetSize / 1024);
}

long OptionLong(int argc, char** argv, const char* name, long fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return std::strtol(argv[i + 1], nullptr, 10);
  }
  return fallback;
}

bool HasFlag(int argc, char** argv, const char* name) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return true;
  }
  return false;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Every paint asked for has reached the window.
void Settle(HWND hEditor) {
  UpdateWindow(hEditor);
  GdiFlush();
}

HWND MakeHost(HINSTANCE hInstance) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = hInstance;
  wc.lpszClassName = kHostClass;
  if (!RegisterClassExA(&wc)) return nullptr;
  RECT rc = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&rc, WS_POPUP | WS_BORDER, FALSE, 0);
  return CreateWindowExA(0, kHostClass, "winbench", WS_POPUP | WS_BORDER | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                         rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, hInstance, nullptr);
}

// Loading plus the first full paint, against the load alone.
bool MeasureLoad(HWND hEditor, const char* path) {
  double start = NowMs();
  TextFileStatus status = TEXTFILE_OK;
  if (!TextEditor_LoadFile(hEditor, path, &status)) {
    std::fprintf(stderr, "winbench: cannot load %s (status %d)\n", path, static_cast<int>(status));
    return false;
  }
  double loaded = NowMs();
  Settle(hEditor);
  double painted = NowMs();
  std::printf("load lines=%d bytes=%d load_ms=%.1f paint_ms=%.2f first_paint_ms=%.1f peak_kb=%ld\n",
              TextEditor_GetLineCount(hEditor), TextEditor_GetTextLength(hEditor), loaded - start, painted - loaded,
              painted - start, PeakKb());
  return true;
}

// Each key timed on its own: keys that leave the view where it is, and keys that
// scroll it sideways (the caret reaching the right edge), which also redraw the
// horizontal scroll bar.
void MeasureTyping(HWND hEditor, long keys) {
  TextEditor_SetCaret(hEditor, EditBody_DocumentEnd(EditWindow_FromHandle(hEditor)->body), true);
  Settle(hEditor);
  double total = 0, still = 0, moved = 0;
  long nStill = 0, nMoved = 0;
  for (long i = 0; i < keys; ++i) {
    int before = GetScrollPos(hEditor, SB_HORZ);
    double start = NowMs();
    SendMessageA(hEditor, WM_CHAR, static_cast<WPARAM>('a' + i % 26), 1);
    GdiFlush();
    double ms = NowMs() - start;
    total += ms;
    if (GetScrollPos(hEditor, SB_HORZ) == before) {
      still += ms;
      ++nStill;
    } else {
      moved += ms;
      ++nMoved;
    }
  }
  std::printf("type keys=%ld us_per_key=%.1f keys_in_view=%ld us_in_view=%.1f keys_scrolling=%ld us_scrolling=%.1f\n",
              keys, total * 1000.0 / keys, nStill, nStill ? still * 1000.0 / nStill : 0.0, nMoved,
              nMoved ? moved * 1000.0 / nMoved : 0.0);
  TextEditor_UndoAll(hEditor);
  Settle(hEditor);
}

// What redrawing a scroll bar costs on this system by itself.
void MeasureScrollBar(HWND hHost) {
  HWND hBar = CreateWindowExA(0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 17, 300, hHost,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!hBar) return;
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMax = 100000;
  si.nPage = 700;
  SetScrollInfo(hBar, SB_CTL, &si, TRUE);
  const int n = 50;
  double start = NowMs();
  for (int i = 0; i < n; ++i) {
    si.fMask = SIF_POS;
    si.nPos = i * 100;
    SetScrollInfo(hBar, SB_CTL, &si, TRUE);
  }
  std::printf("scrollbar us_per_redraw=%.1f\n", (NowMs() - start) * 1000.0 / n);
  DestroyWindow(hBar);
}

// The middle of the times (they are sorted in place).
double Median(double* ms, long n) {
  if (n <= 0) return 0;
  std::sort(ms, ms + n);
  return n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
}

// Each Page Down timed on its own, painted: the median says what a page
// costs, free of the odd slow one.
void MeasurePaging(HWND hEditor, long pages) {
  TextEditorBody* body = EditWindow_FromHandle(hEditor)->body;
  int64_t rows = EditInput_PageRows(body);
  int64_t first = int64_t(TextData_GetHeight(body->text)) - 1 - rows * pages;
  if (first < 0) first = 0;
  TextEditor_SetCaret(hEditor, EditBody_DisplayToPos(body, {0, static_cast<int32_t>(first)}), true);
  Settle(hEditor);
  std::vector<double> each(static_cast<size_t>(pages > 0 ? pages : 1));
  double start = NowMs();
  for (long i = 0; i < pages; ++i) {
    double t = NowMs();
    SendMessageA(hEditor, WM_KEYDOWN, VK_NEXT, 1);
    GdiFlush();
    each[static_cast<size_t>(i)] = NowMs() - t;
  }
  double ms = NowMs() - start;
  std::printf("page pages=%ld rows_per_page=%lld us_per_page=%.1f median_us=%.1f ms=%.1f caret_line=%d\n", pages,
              static_cast<long long>(rows), ms * 1000.0 / pages, Median(each.data(), pages) * 1000.0, ms,
              static_cast<int>(TextEditor_GetCaret(hEditor).y));
}

void MeasureRepaint(HWND hEditor, long repaints, const char* what) {
  TextEditorBody* body = EditWindow_FromHandle(hEditor)->body;
  TextEditor_SetCaret(hEditor, {0, TextData_GetCount(body->text) / 2}, true);
  Settle(hEditor);
  double start = NowMs();
  for (long i = 0; i < repaints; ++i) {
    InvalidateRect(hEditor, nullptr, FALSE);
    Settle(hEditor);
  }
  double ms = NowMs() - start;
  std::printf("repaint %s repaints=%ld ms_per_repaint=%.2f\n", what, repaints, ms / repaints);
}

void MeasureWrapped(HWND hEditor, long repaints) {
  EditorSettings settings;
  TextEditor_GetSettings(hEditor, &settings);
  settings.bWrap = 1;
  double start = NowMs();
  TextEditor_SetSettings(hEditor, &settings);
  Settle(hEditor);
  std::printf("wrap relayout_ms=%.1f height=%d\n", NowMs() - start,
              TextData_GetHeight(EditWindow_FromHandle(hEditor)->body->text));
  MeasureRepaint(hEditor, repaints, "wrapped");
}

int CoreLoad(const char* path) {
  TextDataProperty prop = {0, 80, 8};
  TextFileStatus status = TEXTFILE_OK;
  double start = NowMs();
  TextData* text = TextFile_Load(path, &prop, &status);
  double ms = NowMs() - start;
  if (!text) {
    std::fprintf(stderr, "winbench: cannot load %s (status %d)\n", path, static_cast<int>(status));
    return 1;
  }
  std::printf("core lines=%d bytes=%d load_ms=%.1f peak_kb=%ld\n", TextData_GetCount(text), TextData_GetTextSize(text),
              ms, PeakKb());
  std::fflush(stdout);
  ExitProcess(0);
}

// The recovery files go to a folder of the run's own under %TEMP%.
int MeasureRecovery(HWND hEditor, const char* path, long keys) {
  char folder[MAX_PATH + 64];
  const DWORD n = GetTempPathA(MAX_PATH, folder);
  if (n == 0 || n > MAX_PATH) return 1;
  std::snprintf(folder + n, sizeof(folder) - n, "qwilbench-recovery-%lu\\", GetCurrentProcessId());
  CreateDirectoryA(folder, nullptr);
  TextEditorBody* body = EditWindow_FromHandle(hEditor)->body;
  RecoveryFigures figures;
  const bool ok = RecoveryRun_Measure(body, path, folder, GetCurrentProcessId(), keys, NowMs, &figures);
  RecoveryRun_Print("recovery ", body->text, &figures);
  RemoveDirectoryA(folder);
  std::fflush(stdout);
  ExitProcess(ok ? 0 : 1);
}

double CoreLoadMs(const char* path) {
  TextDataProperty prop = {0, 80, 8};
  TextFileStatus status = TEXTFILE_OK;
  double start = NowMs();
  TextData* text = TextFile_Load(path, &prop, &status);
  double ms = NowMs() - start;
  if (text) TextData_Destroy(text);
  return text ? ms : -1;
}

// Everything painted that the first show asked for: the frame, the editor and
// the status bar.
void SettleMain(const AppInfo* app) {
  UpdateWindow(app->hWnd);
  UpdateWindow(app->hEditor);
  UpdateWindow(app->hStatusBar);
  GdiFlush();
}

// The moment the main window first showed something: the end of the editor's
// first paint.
struct FirstPaint {
  HWND hEditor;
  double ms;
};
FirstPaint g_firstPaint = {};

LRESULT CALLBACK FirstPaintHook(int nCode, WPARAM wParam, LPARAM lParam) {
  const CWPRETSTRUCT* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (nCode == HC_ACTION && m->message == WM_PAINT && g_firstPaint.ms == 0 && g_firstPaint.hEditor &&
      m->hwnd == g_firstPaint.hEditor && IsWindowVisible(m->hwnd)) {
    g_firstPaint.ms = NowMs();
  }
  return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void SetControl(bool bDown) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = keys[VK_LCONTROL] = bDown ? 0x80 : 0;
  SetKeyboardState(keys);
}

// One key to the editor of the main window until everything it asked to be
// painted (the editor, the title, the status bar) is painted; ms.
double TimeKey(const AppInfo* app, UINT uMsg, WPARAM key, bool bControl) {
  SetControl(bControl);
  double start = NowMs();
  SendMessageA(app->hEditor, uMsg, key, 1);
  SettleMain(app);
  double ms = NowMs() - start;
  SetControl(false);
  return ms;
}

double MedianOfKeys(const AppInfo* app, UINT uMsg, WPARAM key, long n) {
  std::vector<double> each(static_cast<size_t>(n > 0 ? n : 1));
  for (long i = 0; i < n; ++i) {
    each[static_cast<size_t>(i)] = TimeKey(app, uMsg, uMsg == WM_CHAR ? 'a' + i % 26 : key, false);
  }
  return Median(each.data(), n);
}

int MainWindowBench(int argc, char** argv) {
  const char* path = argv[2];
  // The best of three, the file in the system's cache as it is for the window.
  double core = -1;
  for (int i = 0; i < 3; ++i) {
    double ms = CoreLoadMs(path);
    if (ms >= 0 && (core < 0 || ms < core)) core = ms;
  }
  if (core < 0) {
    std::fprintf(stderr, "winbench: cannot load %s\n", path);
    return 1;
  }
  HINSTANCE hInstance = GetModuleHandleA(nullptr);
  static AppInfo app;
  AppInfo_SetDefaults(&app);
  app.hInstance = hInstance;
  // The settings go to a file of their own, so that closing writes them as the
  // program does.
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  std::snprintf(app.szSettingsPath, sizeof(app.szSettingsPath), "%swinbench-qwilpad.ini", temp);
  DeleteFileA(app.szSettingsPath);
  AppData_Load(&app);
  double start = NowMs();
  if (!MainWindow_RegisterClass(hInstance)) return 1;
  HWND hWnd = MainWindow_Create(&app);
  if (!hWnd) return 1;
  double created = NowMs();
  g_firstPaint.hEditor = app.hEditor;
  HHOOK hHook = SetWindowsHookExA(WH_CALLWNDPROCRET, FirstPaintHook, nullptr, GetCurrentThreadId());
  char* args[] = {argv[0], const_cast<char*>(path), nullptr};
  MainWindow_Start(&app, 2, args);
  SettleMain(&app);
  double titled = NowMs();
  if (hHook) UnhookWindowsHookEx(hHook);
  char title[256] = {};
  GetWindowTextA(hWnd, title, sizeof(title));
  std::printf("main core_load_ms=%.1f create_ms=%.1f visible_ms=%.1f titled_ms=%.1f ratio=%.2f lines=%d title_ok=%d\n",
              core, created - start, g_firstPaint.ms > 0 ? g_firstPaint.ms - start : -1.0, titled - start,
              (titled - start) / core, TextEditor_GetLineCount(app.hEditor), title[0] == '[');
  Pump();
  long keys = OptionLong(argc, argv, "--keys", 40);
  double end = TimeKey(&app, WM_KEYDOWN, VK_END, true);
  double typed = MedianOfKeys(&app, WM_CHAR, 0, keys);
  TimeKey(&app, WM_KEYDOWN, VK_HOME, true);
  double page = MedianOfKeys(&app, WM_KEYDOWN, VK_NEXT, keys);
  std::printf("mainkeys ctrl_end_ms=%.2f key_median_us=%.1f page_median_us=%.1f keys=%ld\n", end, typed * 1000.0,
              page * 1000.0, keys);
  // The two refreshes every key brings, each on its own.
  const int kRefreshes = 200;
  double refreshStart = NowMs();
  for (int i = 0; i < kRefreshes; ++i) StatusBar_Refresh(app.hStatusBar, app.hEditor);
  UpdateWindow(app.hStatusBar);
  GdiFlush();
  double refreshed = NowMs();
  for (int i = 0; i < kRefreshes; ++i) Title_Refresh(app.hWnd, app.hEditor, app.szPath, app.szDefaultDocumentName);
  double retitled = NowMs();
  std::printf("refresh status_us=%.1f title_us=%.1f\n", (refreshed - refreshStart) * 1000.0 / kRefreshes,
              (retitled - refreshed) * 1000.0 / kRefreshes);
  TextEditor_UndoAll(app.hEditor);
  TextEditor_SetModified(app.hEditor, false);
  SettleMain(&app);
  Pump();
  double closing = NowMs();
  SendMessageA(hWnd, WM_CLOSE, 0, 0);
  double closed = NowMs();
  std::printf("close ms=%.1f gone=%d peak_kb=%ld\n", closed - closing, !IsWindow(hWnd), PeakKb());
  DeleteFileA(app.szSettingsPath);
  std::fflush(stdout);
  ExitProcess(0);
}

struct ReplaceRun {
  const char* pattern;
  const char* replacement;
  HWND hDialog;
  double ms;
};
ReplaceRun g_replace = {};

LRESULT CALLBACK ReplaceHook(int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode == HCBT_CREATEWND && !g_replace.hDialog) {
    char cls[32] = {};
    GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof(cls));
    if (std::strcmp(cls, "#32770") == 0) g_replace.hDialog = reinterpret_cast<HWND>(wParam);
  }
  return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void CALLBACK PressReplaceAll(HWND, UINT, UINT_PTR idTimer, DWORD) {
  KillTimer(nullptr, idTimer);
  HWND hDlg = g_replace.hDialog;
  if (!hDlg) return;
  SetDlgItemTextA(hDlg, 1004, g_replace.pattern);
  SetDlgItemTextA(hDlg, 1005, g_replace.replacement);
  SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(1004, CBN_EDITCHANGE), 0);
  double start = NowMs();
  SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(1084, BN_CLICKED), 0);
  UpdateWindow(GetParent(hDlg));
  UpdateWindow(GetDlgItem(GetWindow(hDlg, GW_OWNER), 101));
  GdiFlush();
  g_replace.ms = NowMs() - start;
  PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

int ReplaceAllBench(char** argv) {
  HINSTANCE hInstance = GetModuleHandleA(nullptr);
  static AppInfo app;
  AppInfo_SetDefaults(&app);
  app.hInstance = hInstance;
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  std::snprintf(app.szSettingsPath, sizeof(app.szSettingsPath), "%swinbench-replace.ini", temp);
  DeleteFileA(app.szSettingsPath);
  AppData_Load(&app);
  if (!MainWindow_RegisterClass(hInstance)) return 1;
  HWND hWnd = MainWindow_Create(&app);
  if (!hWnd) return 1;
  char* args[] = {argv[0], argv[2], nullptr};
  MainWindow_Start(&app, 2, args);
  SettleMain(&app);
  g_replace.pattern = argv[3];
  g_replace.replacement = argv[4];
  HHOOK hHook = SetWindowsHookExA(WH_CBT, ReplaceHook, nullptr, GetCurrentThreadId());
  SetTimer(nullptr, 0, 200, PressReplaceAll);
  SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_REPLACE, 0), 0);
  UnhookWindowsHookEx(hHook);
  std::printf("replaceall lines=%d modified=%d ms=%.1f peak_kb=%ld\n", TextEditor_GetLineCount(app.hEditor),
              TextEditor_GetModified(app.hEditor), g_replace.ms, PeakKb());
  std::fflush(stdout);
  DeleteFileA(app.szSettingsPath);
  ExitProcess(0);
}

}  // namespace

int main(int argc, char** argv) {
  // Files go through the Win32 file API, as in Qwilpad.exe.
  FileIo_SetMethods(FileWin_GetMethods());
  if (argc == 3 && std::strcmp(argv[1], "--core") == 0) return CoreLoad(argv[2]);
  if (argc >= 3 && std::strcmp(argv[1], "--main") == 0) return MainWindowBench(argc, argv);
  if (argc == 5 && std::strcmp(argv[1], "--replace") == 0) return ReplaceAllBench(argv);
  if (argc < 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: winbench FILE [--keys N] [--pages N] [--repaints N] [--marks]\n"
                         "       winbench FILE --recovery [--keys N]\n"
                         "       winbench --core FILE | --main FILE [--keys N]\n");
    return 2;
  }
  HINSTANCE hInstance = GetModuleHandleA(nullptr);
  HWND hHost = MakeHost(hInstance);
  if (!hHost || !TextEditor_RegisterClass(hInstance)) return 1;
  EditorSettings settings;
  EditorSettings_SetDefaults(&settings);
  if (HasFlag(argc, argv, "--marks")) {
    ViewStyle* style = &settings.style;
    style->bShowEof = style->bShowLineEnd = style->bShowTab = style->bShowSpace = style->bShowZenSpace = 1;
  }
  HWND hEditor =
      TextEditor_Create(0, WS_CHILD | WS_VISIBLE, hInstance, hHost, 101, kClientWidth, kClientHeight, &settings);
  if (!hEditor) return 1;
  SetFocus(hEditor);
  Pump();
  Settle(hEditor);
  if (!MeasureLoad(hEditor, argv[1])) return 1;
  if (argc >= 3 && std::strcmp(argv[2], "--recovery") == 0) {
    return MeasureRecovery(hEditor, argv[1], OptionLong(argc, argv, "--keys", 2000));
  }
  MeasureRepaint(hEditor, OptionLong(argc, argv, "--repaints", 100), "unwrapped");
  MeasureTyping(hEditor, OptionLong(argc, argv, "--keys", 1000));
  MeasurePaging(hEditor, OptionLong(argc, argv, "--pages", 1000));
  MeasureWrapped(hEditor, OptionLong(argc, argv, "--repaints", 100));
  MeasureScrollBar(hHost);
  std::printf("memory peak_kb=%ld\n", PeakKb());
  std::fflush(stdout);
  // Leaving without tearing down keeps the run short; the process frees it all.
  ExitProcess(0);
}
