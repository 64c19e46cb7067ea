// Printing on real device contexts: the cancel dialog, a job on a device that
// refuses it, and whole jobs on the PDF queue of the tree's own CUPS daemon
// (scripts/cups.sh, started by ctest around these tests), read back with poppler.
#include "editctrl/prnttext_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "editctrl/prntcancel_win.h"
#include "res/resource.h"
#include "win/testwin.h"

#include <winspool.h>

namespace {

struct Doc {
  TextData* text;
  explicit Doc(const std::string& s) {
    TextDataProperty p = {0, 80, 8};
    text = TextData_Create(&p);
    POINT end;
    EXPECT_TRUE(TextData_Append(text, s.data(), static_cast<int32_t>(s.size()), &end));
  }
  ~Doc() { TextData_Destroy(text); }
};

// The program's first display font: "FixedSys", Shift_JIS, fixed pitch, modern.
LOGFONTA DefaultFont() {
  LOGFONTA f = {};
  f.lfHeight = 16;
  f.lfWeight = FW_NORMAL;
  f.lfCharSet = SHIFTJIS_CHARSET;
  f.lfOutPrecision = 4;
  f.lfQuality = 1;
  f.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::snprintf(f.lfFaceName, sizeof(f.lfFaceName), "%s", "FixedSys");
  return f;
}
constexpr int32_t kPointSize = 140;

PAGESETUPDLGA PageSetup(DWORD flags, LONG margin) {
  PAGESETUPDLGA psd = {};
  psd.lStructSize = sizeof(psd);
  psd.Flags = flags;
  psd.rtMargin = {margin, margin, margin, margin};
  return psd;
}

// Windows created on this thread while a hook is set, with their classes.
struct WindowWatch {
  static std::vector<HWND> created;
  static std::vector<std::string> classes;
  HHOOK hHook;
  WindowWatch() {
    created.clear();
    classes.clear();
    hHook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~WindowWatch() { UnhookWindowsHookEx(hHook); }
  static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_CREATEWND) {
      char cls[32] = {};
      GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof(cls));
      created.push_back(reinterpret_cast<HWND>(wParam));
      classes.push_back(cls);
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
  }
  // The dialogs among them: the cancel dialog is the only one a job makes.
  static std::vector<HWND> Dialogs() {
    std::vector<HWND> out;
    for (size_t i = 0; i < created.size(); ++i) {
      if (classes[i] == "#32770") out.push_back(created[i]);
    }
    return out;
  }
};
std::vector<HWND> WindowWatch::created;
std::vector<std::string> WindowWatch::classes;

// Each dialog shown costs Wine two seconds under a bare X server (it waits for a
// window manager to take the window back), so one dialog serves several checks.
TEST(PrintCancel, OneCancelButtonAndEveryWayOfCancellingSetsTheFlag) {
  volatile BYTE bAbort = 0;
  HWND hDlg = PrintCancel_Create(GetModuleHandleA(nullptr), nullptr, &bAbort);
  ASSERT_NE(nullptr, hDlg) << "error " << GetLastError();
  char text[64] = {};
  GetWindowTextA(hDlg, text, sizeof(text));
  EXPECT_STREQ("印刷中", text);
  EXPECT_TRUE(IsWindowVisible(hDlg));
  EXPECT_EQ(&bAbort, static_cast<volatile BYTE*>(GetPropA(hDlg, "g_bAbort")));
  EXPECT_EQ(&bAbort, PrintCancel_GetAbortFlag(hDlg));
  HWND hButton = GetDlgItem(hDlg, IDCANCEL);
  ASSERT_NE(nullptr, hButton);
  GetWindowTextA(hButton, text, sizeof(text));
  EXPECT_STREQ("ｷｬﾝｾﾙ", text);
  int nChildren = 0;
  for (HWND h = GetWindow(hDlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) ++nChildren;
  EXPECT_EQ(1, nChildren);
  EXPECT_EQ(0, bAbort);

  struct Way {
    const char* name;
    void (*act)(HWND);
  } ways[] = {
      {"the button", [](HWND h) { SendMessageA(GetDlgItem(h, IDCANCEL), BM_CLICK, 0, 0); }},
      {"Esc", [](HWND h) { SendMessageA(h, WM_COMMAND, IDCANCEL, 0); }},
      {"Enter", [](HWND h) { SendMessageA(h, WM_COMMAND, IDOK, 0); }},
      {"the close box", [](HWND h) { SendMessageA(h, WM_CLOSE, 0, 0); }},
  };
  for (const Way& w : ways) {
    bAbort = 0;
    w.act(hDlg);
    TestWin_PumpMessages();
    EXPECT_EQ(1, bAbort) << w.name;
    EXPECT_TRUE(IsWindow(hDlg)) << w.name << ": the job takes the dialog down, not the dialog itself";
  }

  // Taken down by the job: not a cancel, and no property left behind.
  bAbort = 0;
  PrintCancel_Destroy(hDlg);
  EXPECT_FALSE(IsWindow(hDlg));
  EXPECT_EQ(0, bAbort);
}

TEST(PrintCancel, GoesWithItsOwnerAndThenStopsTheJob) {
  HWND hOwner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, hOwner);
  volatile BYTE bAbort = 0;
  HWND hDlg = PrintCancel_Create(GetModuleHandleA(nullptr), hOwner, &bAbort);
  ASSERT_NE(nullptr, hDlg);
  EXPECT_EQ(hOwner, GetWindow(hDlg, GW_OWNER));
  DestroyWindow(hOwner);
  EXPECT_FALSE(IsWindow(hDlg));
  EXPECT_EQ(1, bAbort);
}

// A device context that cannot print: a memory device context refuses StartDoc.
TEST(PrintJob, DeviceRefusingTheJobFailsCleanly) {
  HDC hdc = CreateCompatibleDC(nullptr);
  ASSERT_NE(nullptr, hdc);
  Doc d("line 1\r\nline 2");
  LOGFONTA font = DefaultFont();
  PAGESETUPDLGA psd = PageSetup(PSD_INHUNDREDTHSOFMILLIMETERS, 1000);
  DOCINFOA di = {};
  di.lpszDocName = "no printer";
  {
    WindowWatch watch;
    EXPECT_EQ(kPrintStartDocFailed, PrintText_Print(d.text, &psd, hdc, &di, &font, kPointSize, nullptr));
    std::vector<HWND> dialogs = WindowWatch::Dialogs();
    ASSERT_EQ(1u, dialogs.size()) << "the cancel dialog was never shown";
    EXPECT_FALSE(IsWindow(dialogs[0])) << "the cancel dialog stayed";
  }
  EXPECT_EQ(nullptr, PrintText_GetCancelDialog());
  DeleteDC(hdc);

  WindowWatch none;  // no device at all: nothing is shown
  EXPECT_EQ(kPrintStartDocFailed, PrintText_Print(d.text, &psd, nullptr, &di, &font, kPointSize, nullptr));
  EXPECT_TRUE(WindowWatch::created.empty());
}

// ---- The PDF queue ----

// Z:-path of a Unix path.
std::string WindowsPath(const std::string& unix) {
  std::string path = "Z:" + unix;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  FILE* pFile = std::fopen(path.c_str(), "rb");
  if (!pFile) return bytes;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof(chunk), pFile)) > 0) bytes.append(chunk, n);
  std::fclose(pFile);
  return bytes;
}

std::string Utf8(const std::string& cp932) {
  int n = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), &wide[0], n);
  int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, &out[0], m, nullptr, nullptr);
  return out;
}

std::string WithoutSpaces(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\f') out += c;
  }
  return out;
}

// What scripts/cups.sh reports of the PDF of a job.
struct PdfReport {
  std::string error;  // empty when the PDF was found
  std::string file;
  int pages = -1;
  double firstX = -1, firstY = -1;  // top-left of the first word on page 1, in points
  std::string text;                 // pdftotext's, UTF-8
};

class PdfQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("QWIL_CUPS_DIR");
    if (!dir || !*dir) GTEST_SKIP() << "no PDF printer: QWIL_CUPS_DIR is not set (ctest's win.cups.start makes it)";
    cupsDir = dir;
    std::string status = ReadFile(WindowsPath(cupsDir + "/status"));
    if (status.compare(0, 5, "skip:") == 0) GTEST_SKIP() << "no PDF printer on this machine: " << status;
    ASSERT_EQ("ready\n", status) << "the PDF printer was not made (scripts/cups.sh start " << cupsDir
                                 << "; its daemon's log is in " << cupsDir << "/log)";
    hdc = CreateDCA("WINSPOOL", "QwilPDF", nullptr, nullptr);
    ASSERT_NE(nullptr, hdc) << "Wine does not reach the queue QwilPDF: error " << GetLastError()
                            << "; printers: " << Printers();
  }
  void TearDown() override {
    if (hdc) DeleteDC(hdc);
    for (const std::string& f : pdfs) DeleteFileA(WindowsPath(f).c_str());
  }

  static std::string Printers() {
    DWORD nNeeded = 0, nCount = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &nNeeded, &nCount);
    std::vector<BYTE> buffer(nNeeded + 1);
    std::string names;
    if (EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), nNeeded, &nNeeded, &nCount)) {
      const PRINTER_INFO_4A* p = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
      for (DWORD i = 0; i < nCount; ++i) names += std::string(p[i].pPrinterName) + " ";
    }
    return names.empty() ? "none" : names;
  }

  // A job name no other run shares; the PDF's file name starts with it.
  static std::string JobName(const char* what) {
    static int n = 0;
    return std::string("qwil") + what + std::to_string(GetCurrentProcessId()) + "x" +
           std::to_string(GetTickCount()) + "n" + std::to_string(++n) + "z";
  }

  // Waits for the queue to empty, then reads the report on the PDF named title.
  PdfReport Report(const std::string& title) {
    PdfReport r;
    std::string out = cupsDir + "/" + title + ".report";
    std::string command = std::string("/bin/bash ") + QWIL_SOURCE_DIR + "/scripts/cups.sh report " + cupsDir + " " +
                          title + " " + out;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    // Wine starts a Unix program as such but hands back no handle to wait on: the
    // script writes its report whole, by a rename, when it is done.
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      r.error = "cannot run " + command + ": error " + std::to_string(GetLastError());
      return r;
    }
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    std::string path = WindowsPath(out);
    for (int i = 0; i < 1200 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    std::string report = ReadFile(path);
    DeleteFileA(path.c_str());
    if (report.empty()) r.error = "no report from " + command;
    size_t at = report.find("text:\n");
    std::string head = report.substr(0, at);
    if (at != std::string::npos) r.text = report.substr(at + 6);
    size_t from = 0;
    while (from < head.size()) {
      size_t end = head.find('\n', from);
      if (end == std::string::npos) end = head.size();
      std::string line = head.substr(from, end - from);
      from = end + 1;
      if (line.compare(0, 6, "error=") == 0) r.error = line.substr(6) + " " + head.substr(from);
      if (line.compare(0, 5, "file=") == 0) r.file = line.substr(5);
      if (line.compare(0, 6, "pages=") == 0) r.pages = std::atoi(line.c_str() + 6);
      if (line.compare(0, 6, "first=") == 0) std::sscanf(line.c_str() + 6, "%lf %lf", &r.firstX, &r.firstY);
    }
    if (!r.file.empty()) pdfs.push_back(r.file);
    return r;
  }

  std::string cupsDir;
  HDC hdc = nullptr;
  std::vector<std::string> pdfs;
};

// Lines of the test document, code page 932.
std::string LineText(int k, int count) {
  if (k == 1) return "1行目: 印刷の始まり ABC";
  if (k == count) return std::to_string(k) + "行目: 最後の行 XYZ";
  return std::to_string(k) + "行目";
}

TEST_F(PdfQueueTest, DocumentPrintsWithItsMarginsAndPages) {
  constexpr int kLines = 120;
  std::string text;
  for (int k = 1; k <= kLines; ++k) text += (k > 1 ? "\r\n" : "") + LineText(k, kLines);
  Doc d(text);

  // The pages to expect, from what the device says of itself: the printable height
  // less two margins of an inch, in lines of the print font's height.
  int dpiX = GetDeviceCaps(hdc, LOGPIXELSX), dpiY = GetDeviceCaps(hdc, LOGPIXELSY);
  int width = GetDeviceCaps(hdc, HORZRES), height = GetDeviceCaps(hdc, VERTRES);
  LOGFONTA font = DefaultFont();
  LOGFONTA sized = font;
  sized.lfHeight = -MulDiv(kPointSize, dpiY, 720);
  sized.lfWidth = 0;
  HFONT hFont = CreateFontIndirectA(&sized);
  ASSERT_NE(nullptr, hFont);
  HGDIOBJ hOld = SelectObject(hdc, hFont);
  SIZE line = {}, longest = {};
  GetTextExtentPoint32A(hdc, "0", 1, &line);
  std::string last = LineText(kLines, kLines);
  GetTextExtentPoint32A(hdc, last.data(), static_cast<int>(last.size()), &longest);
  SelectObject(hdc, hOld);
  DeleteObject(hFont);
  ASSERT_GT(line.cy, 0);
  ASSERT_LT(longest.cx, width - 2 * dpiX) << "a line would break: the expectation below would not hold";
  int perPage = (height - 2 * dpiY) / line.cy;
  ASSERT_GT(perPage, 1);
  int expectedPages = (kLines + perPage - 1) / perPage;

  PAGESETUPDLGA psd = PageSetup(PSD_INHUNDREDTHSOFMILLIMETERS | PSD_MARGINS, 2540);
  std::string title = JobName("pdf");
  DOCINFOA di = {};
  di.lpszDocName = title.c_str();
  HWND hOwner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  {
    WindowWatch watch;
    // The cancel dialog is modeless: nobody answers it, the job still runs through.
    EXPECT_EQ(kPrintDone, PrintText_Print(d.text, &psd, hdc, &di, &font, kPointSize, hOwner));
    std::vector<HWND> dialogs = WindowWatch::Dialogs();
    ASSERT_EQ(1u, dialogs.size());
    EXPECT_FALSE(IsWindow(dialogs[0]));
  }
  EXPECT_TRUE(IsWindow(hOwner));
  DestroyWindow(hOwner);

  PdfReport r = Report(title);
  ASSERT_EQ("", r.error);
  std::printf("[ PDF      ] %s: %d pages of %d lines (%d dpi, %d x %d, line %ld), first word at %.1f, %.1f pt\n",
              r.file.c_str(), r.pages, perPage, dpiY, width, height, line.cy, r.firstX, r.firstY);
  EXPECT_EQ(expectedPages, r.pages);
  // One inch is 72 points from the left and top of the printable area.
  EXPECT_NEAR(72.0, r.firstX, 1.0);
  EXPECT_NEAR(72.0, r.firstY, 3.0);
  std::string pdfText = WithoutSpaces(r.text);
  size_t at = 0;
  for (int k = 1; k <= kLines; ++k) {
    std::string expected = WithoutSpaces(Utf8(LineText(k, kLines)));
    size_t found = pdfText.find(expected, at);
    ASSERT_NE(std::string::npos, found) << "line " << k << " (" << expected << ") is not in the PDF's text: "
                                        << r.text.substr(0, 400);
    at = found + expected.size();
  }
}

// Set by the timer below while a job runs.
PrintResult g_secondJob = kPrintDone;
TextData* g_pDocument = nullptr;
bool g_bClicked = false;

void CALLBACK ClickCancel(HWND, UINT, UINT_PTR idTimer, DWORD) {
  HWND hDlg = PrintText_GetCancelDialog();
  if (!hDlg || !PrintText_IsPrinting()) return;
  KillTimer(nullptr, idTimer);
  // A second job while one runs is refused, and leaves the first alone.
  LOGFONTA font = DefaultFont();
  g_secondJob = PrintText_Print(g_pDocument, nullptr, GetDC(nullptr), nullptr, &font, kPointSize, nullptr);
  SendMessageA(GetDlgItem(hDlg, IDCANCEL), BM_CLICK, 0, 0);
  g_bClicked = true;
}

TEST_F(PdfQueueTest, CancelledJobLeavesNoPdf) {
  std::string text;
  for (int k = 1; k <= 3000; ++k) text += "cancel me " + std::to_string(k) + "\r\n";
  Doc d(text);
  g_pDocument = d.text;
  g_bClicked = false;
  g_secondJob = kPrintDone;
  LOGFONTA font = DefaultFont();
  PAGESETUPDLGA psd = PageSetup(PSD_INTHOUSANDTHSOFINCHES, 500);
  std::string cancelled = JobName("cancel");
  DOCINFOA di = {};
  di.lpszDocName = cancelled.c_str();
  UINT_PTR idTimer = SetTimer(nullptr, 0, 10, ClickCancel);
  ASSERT_NE(0u, idTimer);
  EXPECT_EQ(kPrintCancelled, PrintText_Print(d.text, &psd, hdc, &di, &font, kPointSize, nullptr));
  KillTimer(nullptr, idTimer);
  EXPECT_TRUE(g_bClicked);
  EXPECT_EQ(kPrintBusy, g_secondJob);
  EXPECT_EQ(nullptr, PrintText_GetCancelDialog());
  EXPECT_FALSE(PrintText_IsPrinting());

  // A quit message that arrives while the pages go out stops the job and is put
  // back for the program's own loop.
  DeleteDC(hdc);
  hdc = CreateDCA("WINSPOOL", "QwilPDF", nullptr, nullptr);
  ASSERT_NE(nullptr, hdc);
  std::string quit = JobName("quit");
  di.lpszDocName = quit.c_str();
  idTimer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostQuitMessage(7);
  });
  EXPECT_EQ(kPrintCancelled, PrintText_Print(d.text, &psd, hdc, &di, &font, kPointSize, nullptr));
  KillTimer(nullptr, idTimer);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit message was lost";
  EXPECT_EQ(7u, msg.wParam);

  // The window that owns the job going away (the main window closed from inside
  // the page loop) stops the job at once.
  DeleteDC(hdc);
  hdc = CreateDCA("WINSPOOL", "QwilPDF", nullptr, nullptr);
  ASSERT_NE(nullptr, hdc);
  static HWND s_hOwner;
  s_hOwner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, s_hOwner);
  std::string closed = JobName("closed");
  di.lpszDocName = closed.c_str();
  idTimer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    DestroyWindow(s_hOwner);
  });
  EXPECT_EQ(kPrintCancelled, PrintText_Print(d.text, &psd, hdc, &di, &font, kPointSize, s_hOwner));
  KillTimer(nullptr, idTimer);
  EXPECT_FALSE(IsWindow(s_hOwner));

  // Margins wider than the paper: no job, no dialog.
  PAGESETUPDLGA wide = PageSetup(PSD_INHUNDREDTHSOFMILLIMETERS, 20000);
  std::string refused = JobName("wide");
  di.lpszDocName = refused.c_str();
  {
    WindowWatch watch;
    EXPECT_EQ(kPrintMarginsTooLarge, PrintText_Print(d.text, &wide, hdc, &di, &font, kPointSize, nullptr));
    EXPECT_TRUE(WindowWatch::created.empty());
  }

  // A job after them goes through; by the time its PDF is there, the queue has done
  // everything it was given before. (Wine's printer driver takes no second job on a
  // device context whose job was aborted; the print command gets a new one anyway.)
  DeleteDC(hdc);
  hdc = CreateDCA("WINSPOOL", "QwilPDF", nullptr, nullptr);
  ASSERT_NE(nullptr, hdc);
  Doc one("after the cancel");
  std::string after = JobName("after");
  di.lpszDocName = after.c_str();
  EXPECT_EQ(kPrintDone, PrintText_Print(one.text, &psd, hdc, &di, &font, kPointSize, nullptr));
  PdfReport r = Report(after);
  ASSERT_EQ("", r.error);
  EXPECT_EQ(1, r.pages);
  EXPECT_NE(std::string::npos, WithoutSpaces(r.text).find("afterthecancel")) << r.text;
  for (const std::string& gone : {cancelled, quit, closed, refused}) {
    std::string pattern = WindowsPath(cupsDir + "/pdf/" + gone + "*.pdf");
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA(pattern.c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, hFind) << gone << " was printed: " << found.cFileName;
    if (hFind != INVALID_HANDLE_VALUE) FindClose(hFind);
  }
}

}  // namespace
