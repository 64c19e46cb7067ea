// The page setup and print commands in the real main window: the two common
// dialogs (stand-ins that record what they are given, or the system's own on the
// PDF queue of scripts/cups.sh), the printer they share, the messages with no
// printer and for jobs that fail, and what the window refuses while a job prints.
#include <gtest/gtest.h>

#include <cderr.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/printcmd.h"
#include "app/printcmd_win.h"
#include "editctrl/prnttext_win.h"
#include "win/dialogscript.h"
#include "win/mainhost.h"

namespace {

// What a stand-in dialog was given, at the moment it was called.
struct DialogCall {
  bool bPrint;  // the print dialog, else the page setup dialog
  DWORD dwFlags;
  HGLOBAL hDevMode, hDevNames;
  RECT rtMargin;
  HWND hOwner;
};

// Stand-ins for the two dialogs. With no printer both fail as the system's do
// then; with one, the default queries hand out a printer of their own and the
// shown dialogs keep what they were given, answering as told.
struct FakeDialogs {
  static FakeDialogs* current;
  std::vector<DialogCall> calls;
  bool bPrinter = true;
  bool bConfirm = true;           // the shown dialogs' answer: OK, else Cancel
  HDC (*pfnMakeDC)() = nullptr;   // the print dialog's device context
  RECT rtDefaultMargin = {2500, 2500, 2500, 2500};
  RECT rtChosenMargin = {1000, 2000, 3000, 4000};
  DWORD dwError = 0;
  PrintDialogMethods old;

  FakeDialogs() {
    current = this;
    PrintCommand_ResetSettings();
    PrintDialogMethods m = {PageSetup, Print, Error};
    old = PrintCommand_SetDialogMethods(&m);
  }
  ~FakeDialogs() {
    PrintCommand_SetDialogMethods(&old);
    PrintCommand_ResetSettings();
    current = nullptr;
  }
  static HGLOBAL NewHandle() { return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64); }
  static BOOL Fail(DWORD dwError) {
    current->dwError = dwError;
    return FALSE;
  }
  static BOOL PageSetup(PAGESETUPDLGA* psd) {
    EXPECT_EQ(sizeof(PAGESETUPDLGA), psd->lStructSize);
    current->calls.push_back({false, psd->Flags, psd->hDevMode, psd->hDevNames, psd->rtMargin, psd->hwndOwner});
    if (!current->bPrinter) return Fail(PDERR_NODEFAULTPRN);
    if (psd->Flags & PSD_RETURNDEFAULT) {
      psd->hDevMode = NewHandle();
      psd->hDevNames = NewHandle();
      psd->rtMargin = current->rtDefaultMargin;
      return TRUE;
    }
    if (!current->bConfirm) return Fail(0);
    psd->rtMargin = current->rtChosenMargin;
    return TRUE;
  }
  static BOOL Print(PRINTDLGA* pd) {
    EXPECT_EQ(sizeof(PRINTDLGA), pd->lStructSize);
    RECT none = {};
    current->calls.push_back({true, pd->Flags, pd->hDevMode, pd->hDevNames, none, pd->hwndOwner});
    if (!current->bPrinter) return Fail(PDERR_NODEFAULTPRN);
    if (pd->Flags & PD_RETURNDEFAULT) {
      if (!pd->hDevMode) pd->hDevMode = NewHandle();
      if (!pd->hDevNames) pd->hDevNames = NewHandle();
      return TRUE;
    }
    if (!current->bConfirm) return Fail(0);
    if ((pd->Flags & PD_RETURNDC) && current->pfnMakeDC) pd->hDC = current->pfnMakeDC();
    return TRUE;
  }
  static DWORD Error() { return current->dwError; }
};
FakeDialogs* FakeDialogs::current = nullptr;

// A device context that takes no job: a memory device context of the screen.
HDC MemoryDC() { return CreateCompatibleDC(nullptr); }

std::string Text(HWND hEditor) {
  TextEditor_SelectAll(hEditor);
  std::string s(static_cast<size_t>(TextEditor_GetSelectedLength(hEditor)), '\0');
  TextEditor_GetSelectedText(hEditor, &s[0], static_cast<int32_t>(s.size()));
  TextEditor_SetCaret(hEditor, POINT{0, 0}, true);
  return s;
}

const char kNoPrinter[] =
    "プリンターがインストールされていません。\r\nプリンターをインストールしてから、もう一度実行してください。";

TEST(PrintCommand, WithNoPrinterNeitherDialogShowsAndTheUserIsTold) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("kept");
  FakeDialogs fake;
  fake.bPrinter = false;
  DialogScript script;
  script.Press(IDOK).Press(IDOK);

  EXPECT_EQ(0, host.Command(IDM_PAGESETUP));
  ASSERT_EQ(1u, fake.calls.size()) << "page setup went past its default query";
  EXPECT_FALSE(fake.calls[0].bPrint);
  EXPECT_EQ(static_cast<DWORD>(PSD_RETURNDEFAULT | PSD_INHUNDREDTHSOFMILLIMETERS), fake.calls[0].dwFlags);
  EXPECT_EQ(nullptr, fake.calls[0].hDevMode);

  EXPECT_EQ(0, host.Command(IDM_PRINT));
  ASSERT_EQ(2u, fake.calls.size()) << "print showed its dialog with no printer";
  EXPECT_TRUE(fake.calls[1].bPrint);
  EXPECT_EQ(static_cast<DWORD>(PD_RETURNDEFAULT), fake.calls[1].dwFlags);

  ASSERT_EQ(2u, script.seen.size()) << script.Titles();
  for (const SeenDialog& d : script.seen) {
    EXPECT_EQ("印刷", d.title);
    EXPECT_EQ(std::string(kNoPrinter), d.text.substr(0, d.text.find('|') == std::string::npos ? d.text.size()
                                                                                                 : d.text.find('|')))
        << d.text;
  }
  EXPECT_TRUE(host.Open());
  EXPECT_EQ("kept", Text(host.Editor()));
  EXPECT_FALSE(TextEditor_GetReadOnly(host.Editor()));
  EXPECT_EQ(nullptr, PrintCommand_GetDevMode());
}

TEST(PrintCommand, ThePrinterAndTheMarginsChosenOnceAreKeptForTheRun) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("text");
  FakeDialogs fake;
  fake.pfnMakeDC = MemoryDC;
  DialogScript script;
  // The memory device context refuses the job: the user hears of it. The cancel
  // dialog is up while the job starts; on a busy machine the answer falls due then.
  script.LeaveAlone("印刷中").Press(IDOK);

  EXPECT_EQ(0, host.Command(IDM_PRINT));
  // The default query, the dialog, then the page setup's default query.
  ASSERT_EQ(3u, fake.calls.size());
  EXPECT_TRUE(fake.calls[0].bPrint);
  EXPECT_EQ(static_cast<DWORD>(PD_RETURNDEFAULT), fake.calls[0].dwFlags);
  HGLOBAL hDevMode = PrintCommand_GetDevMode(), hDevNames = PrintCommand_GetDevNames();
  ASSERT_NE(nullptr, hDevMode);
  ASSERT_NE(nullptr, hDevNames);
  const DialogCall& shown = fake.calls[1];
  EXPECT_TRUE(shown.bPrint);
  EXPECT_EQ(host.hWnd, shown.hOwner);
  EXPECT_EQ(hDevMode, shown.hDevMode);
  DWORD want = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE;
  EXPECT_EQ(want, shown.dwFlags & want);
  EXPECT_EQ(0u, shown.dwFlags & (PD_RETURNDEFAULT | PD_SELECTION | PD_PAGENUMS | PD_PRINTTOFILE));
  EXPECT_FALSE(fake.calls[2].bPrint);
  EXPECT_EQ(static_cast<DWORD>(PSD_RETURNDEFAULT | PSD_INHUNDREDTHSOFMILLIMETERS), fake.calls[2].dwFlags);
  EXPECT_EQ(nullptr, fake.calls[2].hDevMode) << "the default query takes no printer";
  // The printer chosen in the print dialog stays the shared one.
  EXPECT_EQ(hDevMode, PrintCommand_GetDevMode());
  EXPECT_EQ(hDevNames, PrintCommand_GetDevNames());
  ASSERT_EQ(1u, script.seen.size());
  EXPECT_EQ("印刷", script.seen[0].title);
  EXPECT_EQ(0u, script.seen[0].text.find("プリンターが印刷ジョブを受け付けませんでした。")) << script.seen[0].text;
  EXPECT_FALSE(TextEditor_GetReadOnly(host.Editor()));

  // Page setup: no query now; the margins of the default query, in millimetres,
  // with the shared printer; the margins chosen are kept.
  fake.calls.clear();
  EXPECT_EQ(1, host.Command(IDM_PAGESETUP));
  ASSERT_EQ(1u, fake.calls.size());
  const DialogCall& setup = fake.calls[0];
  EXPECT_EQ(static_cast<DWORD>(PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS),
            setup.dwFlags & (PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS | PSD_RETURNDEFAULT | PSD_INTHOUSANDTHSOFINCHES));
  EXPECT_EQ(fake.rtDefaultMargin.left, setup.rtMargin.left);
  EXPECT_EQ(fake.rtDefaultMargin.bottom, setup.rtMargin.bottom);
  EXPECT_EQ(hDevMode, setup.hDevMode);
  EXPECT_EQ(hDevNames, setup.hDevNames);
  fake.calls.clear();
  fake.bConfirm = false;  // a cancelled page setup keeps what was there
  EXPECT_EQ(0, host.Command(IDM_PAGESETUP));
  fake.bConfirm = true;  // OK: the chosen margins are kept...
  RECT first = fake.rtChosenMargin;
  fake.rtChosenMargin = {1500, 1600, 1700, 1800};
  EXPECT_EQ(1, host.Command(IDM_PAGESETUP));
  fake.bConfirm = false;  // ...and offered next time
  EXPECT_EQ(0, host.Command(IDM_PAGESETUP));
  ASSERT_EQ(3u, fake.calls.size());
  EXPECT_EQ(first.left, fake.calls[1].rtMargin.left) << "a cancelled page setup changed the margins";
  EXPECT_EQ(fake.rtChosenMargin.left, fake.calls[2].rtMargin.left);
  EXPECT_EQ(fake.rtChosenMargin.bottom, fake.calls[2].rtMargin.bottom);
  EXPECT_EQ(hDevMode, fake.calls[2].hDevMode);

  // A second print: straight to the dialog with the same printer; cancelling it
  // prints nothing and says nothing.
  fake.calls.clear();
  fake.bConfirm = false;
  EXPECT_EQ(0, host.Command(IDM_PRINT));
  ASSERT_EQ(1u, fake.calls.size());
  EXPECT_TRUE(fake.calls[0].bPrint);
  EXPECT_EQ(hDevMode, fake.calls[0].hDevMode);
  EXPECT_EQ(0u, fake.calls[0].dwFlags & PD_RETURNDEFAULT);
  EXPECT_EQ(1u, script.seen.size()) << script.Titles();
  EXPECT_TRUE(script.AllAnswered());
}

// Margins chosen wider than the paper: a message, no job, and the document is
// writable again afterwards (also when it was read-only before, it stays so).
TEST(PrintCommand, MarginsWiderThanThePageAreToldAndTheReadOnlyFlagComesBack) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("x");
  FakeDialogs fake;
  fake.pfnMakeDC = MemoryDC;
  fake.rtDefaultMargin = {30000, 30000, 30000, 30000};  // 30 cm each side
  DialogScript script;
  script.Press(IDOK).Press(IDOK);
  EXPECT_EQ(0, host.Command(IDM_PRINT));
  EXPECT_FALSE(TextEditor_GetReadOnly(host.Editor()));
  TextEditor_SetReadOnly(host.Editor(), true);
  EXPECT_EQ(0, host.Command(IDM_PRINT));
  EXPECT_TRUE(TextEditor_GetReadOnly(host.Editor()));
  ASSERT_EQ(2u, script.seen.size()) << script.Titles();
  for (const SeenDialog& d : script.seen) EXPECT_EQ(0u, d.text.find("余白が用紙より大きいため")) << d.text;
  EXPECT_FALSE(PrintText_IsPrinting());
}

// ---- The system's dialogs on the PDF queue ----

bool HavePdfQueue(std::string* why) {
  const char* dir = std::getenv("QWIL_CUPS_DIR");
  if (!dir || !*dir) {
    *why = "QWIL_CUPS_DIR is not set (ctest's win.cups.start makes it)";
    return false;
  }
  std::string path = std::string("Z:") + dir + "/status";
  for (char& c : path) c = c == '/' ? '\\' : c;
  std::string status = WinTest_ReadFile(path);
  *why = status;
  return status == "ready\n";
}

// What the window did with the messages sent to it while the job ran.
struct DuringJob {
  bool bPrinting = false, bReadOnly = false, bOpenAfterClose = false, bMenuGrayed = false;
  LRESULT nPrint = -1, nPageSetup = -1, nOpen = -1, nEndSession = -1;
  std::string text;
};

TEST(PrintCommand, MessagesWhileAJobPrintsChangeNothing) {
  std::string why;
  if (!HavePdfQueue(&why)) GTEST_SKIP() << "no PDF printer: " << why;
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  std::string text;
  for (int k = 1; k <= 3000; ++k) text += "line " + std::to_string(k) + "\r\n";
  TextEditor_ReplaceSelection(host.Editor(), text.data(), static_cast<int32_t>(text.size()), true);
  TextEditor_SetModified(host.Editor(), true);
  std::string before = Text(host.Editor());
  PrintCommand_ResetSettings();

  static DuringJob during;
  during = DuringJob();
  static MainHost* s_host;
  s_host = &host;
  auto script = std::make_unique<DialogScript>();
  script->Press(IDOK);  // the print dialog, as the system shows it
  script->Then([](HWND hCancel) {
    // The cancel dialog: everything a user might do meanwhile, then the button.
    MainHost& h = *s_host;
    during.bPrinting = PrintText_IsPrinting() && PrintText_GetCancelDialog() == hCancel;
    during.bReadOnly = TextEditor_GetReadOnly(h.Editor());
    SendMessageA(h.hWnd, WM_CLOSE, 0, 0);
    during.bOpenAfterClose = IsWindow(h.hWnd) != FALSE;
    during.nEndSession = SendMessageA(h.hWnd, WM_QUERYENDSESSION, 0, 0);
    SendMessageA(h.Editor(), WM_CHAR, 'Z', 1);
    SendMessageA(h.Editor(), WM_KEYDOWN, VK_DELETE, 1);
    during.nPrint = h.Command(IDM_PRINT);
    during.nPageSetup = h.Command(IDM_PAGESETUP);
    during.nOpen = h.Command(IDM_OPEN);
    HMENU hFile = GetSubMenu(GetMenu(h.hWnd), 0);
    SendMessageA(h.hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hFile), 0);
    during.bMenuGrayed = (GetMenuState(hFile, IDM_OPEN, MF_BYCOMMAND) & MF_GRAYED) != 0;
    during.text = Text(h.Editor());
    SendMessageA(GetDlgItem(hCancel, IDCANCEL), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(0, host.Command(IDM_PRINT));  // cancelled: not printed, nothing said
  EXPECT_TRUE(script->AllAnswered()) << script->Titles();
  ASSERT_EQ(2u, script->seen.size()) << script->Titles();
  EXPECT_EQ("印刷中", script->seen[1].title);
  script.reset();
  EXPECT_TRUE(during.bPrinting);
  EXPECT_TRUE(during.bReadOnly);
  EXPECT_TRUE(during.bOpenAfterClose) << "the window closed under the job";
  EXPECT_EQ(FALSE, during.nEndSession);
  EXPECT_EQ(0, during.nPrint);
  EXPECT_EQ(0, during.nPageSetup);
  EXPECT_EQ(0, during.nOpen);
  EXPECT_TRUE(during.bMenuGrayed);
  EXPECT_EQ(before, during.text);

  EXPECT_FALSE(PrintText_IsPrinting());
  EXPECT_TRUE(host.Open());
  EXPECT_EQ(before, Text(host.Editor()));
  EXPECT_FALSE(TextEditor_GetReadOnly(host.Editor()));
  EXPECT_TRUE(TextEditor_GetModified(host.Editor()));
  EXPECT_NE(nullptr, PrintCommand_GetDevMode()) << "the printer chosen is not kept";
  // After the job the window closes again (the save question answered No).
  DialogScript after;
  after.Press(IDNO);
  EXPECT_TRUE(host.Close());
  PrintCommand_ResetSettings();
}

}  // namespace
