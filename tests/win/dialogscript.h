// Answers the modal dialogs and message boxes a test makes the program show,
// from a script of answers given beforehand, and records what each one said.
// A CBT hook notes every top-level dialog created on the thread; a thread timer
// then answers it from inside its own modal loop. A dialog nobody planned for is
// recorded and cancelled, so a test never hangs on it.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "tools/platform.h"

#include <commdlg.h>
#include <dlgs.h>

struct SeenDialog {
  std::string title;
  std::string text;  // the static texts, joined by '|'
};

struct DialogScript {
  // An answer gets the dialog; it acts by posting or sending to it.
  typedef std::function<void(HWND)> Answer;

  static DialogScript*& Current() {
    static DialogScript* current = nullptr;
    return current;
  }

  std::deque<Answer> answers;
  std::vector<SeenDialog> seen;
  std::vector<HWND> pending;
  std::vector<std::string> leftAlone;  // titles of modeless windows that are no answer's business
  int nUnplanned = 0;
  HHOOK hHook = nullptr;

  DialogScript() {
    // Two scripts at once would both answer every dialog.
    if (Current()) ADD_FAILURE() << "a dialog script is already in force";
    Current() = this;
    hHook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~DialogScript() {
    UnhookWindowsHookEx(hHook);
    Current() = nullptr;
  }
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  DialogScript& Then(Answer answer) {
    answers.push_back(std::move(answer));
    return *this;
  }
  // A button of a message box (IDYES, IDNO, IDCANCEL, IDOK).
  DialogScript& Press(int id) {
    return Then([id](HWND h) { PostMessageA(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); });
  }
  // A file dialog given a name (a whole path, or a name in its folder), then OK.
  DialogScript& ChooseFile(const std::string& name) {
    return Then([name](HWND h) {
      // The name box is a combo box in one layout and an edit in another.
      HWND hName = GetDlgItem(h, cmb13);
      if (!hName) hName = GetDlgItem(h, edt1);
      if (hName) SetWindowTextA(hName, name.c_str());
      SendMessageA(h, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(name.c_str()));
      PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
  }
  DialogScript& Cancel() { return Press(IDCANCEL); }
  // A modeless dialog of this title (the print job's cancel dialog) is neither
  // answered nor recorded: whether it is still up when the answer is due depends
  // only on how fast the machine is.
  DialogScript& LeaveAlone(const std::string& title) {
    leftAlone.push_back(title);
    return *this;
  }

  bool AllAnswered() const { return answers.empty() && pending.empty(); }
  std::string Titles() const {
    std::string out;
    for (const SeenDialog& d : seen) out += "[" + d.title + "]";
    return out;
  }

 private:
  static BOOL CALLBACK CollectText(HWND hChild, LPARAM lParam) {
    char cls[32] = {};
    GetClassNameA(hChild, cls, sizeof(cls));
    char text[2048] = {};
    GetWindowTextA(hChild, text, sizeof(text));
    std::string* out = reinterpret_cast<std::string*>(lParam);
    if (lstrcmpiA(cls, "Static") == 0 && text[0] != '\0') {
      if (!out->empty()) *out += "|";
      *out += text;
    }
    return TRUE;
  }

  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR idTimer, DWORD) {
    KillTimer(nullptr, idTimer);
    DialogScript* self = Current();
    if (!self || self->pending.empty()) return;
    HWND hDlg = self->pending.front();
    self->pending.erase(self->pending.begin());
    if (!IsWindow(hDlg)) return;
    SeenDialog d;
    char title[512] = {};
    GetWindowTextA(hDlg, title, sizeof(title));
    d.title = title;
    for (const std::string& t : self->leftAlone) {
      if (t == d.title) return;
    }
    EnumChildWindows(hDlg, CollectText, reinterpret_cast<LPARAM>(&d.text));
    self->seen.push_back(d);
    if (self->answers.empty()) {
      ++self->nUnplanned;
      ADD_FAILURE() << "a dialog nobody planned for: [" << d.title << "] " << d.text;
      PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return;
    }
    Answer answer = self->answers.front();
    self->answers.pop_front();
    answer(hDlg);
  }

  static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam) {
    DialogScript* self = Current();
    if (nCode == HCBT_CREATEWND && self) {
      HWND hWnd = reinterpret_cast<HWND>(wParam);
      const CBT_CREATEWNDA* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
      char cls[32] = {};
      GetClassNameA(hWnd, cls, sizeof(cls));
      if (std::string(cls) == "#32770" && !(create->lpcs->style & WS_CHILD)) {
        self->pending.push_back(hWnd);
        // Long enough for the dialog to be up and running its own loop.
        SetTimer(nullptr, 0, 50, OnTimer);
      }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
  }
};
