#include "app/command.h"

#include "app/convert.h"
#include "app/histmenu.h"
#include "res/resource.h"
#include "tools/platform.h"

namespace {

constexpr uint32_t W = CMDRULE_WRITABLE;
constexpr uint32_t SEL = CMDRULE_SELECTION;
constexpr uint32_t LOADS = CMDRULE_LOADS;
// Full-width blank: the help text of a few commands that explain themselves.
constexpr char kBlankHelp[] = "　";

// Sorted by id: Command_Find looks rows up by halves.
constexpr CommandInfo kCommands[] = {
    {IDM_NEW, "新規作成(&N)", nullptr, "空の無題文書を作成します。", LOADS, CMDCHECK_NONE},
    {IDM_OPEN, "ﾌｧｲﾙを開く(&O)...", nullptr, "既存のﾌｧｲﾙから文書を読み込み、編集可能な状態にします。", LOADS,
     CMDCHECK_NONE},
    {IDM_SAVE, "上書き保存(&S)", nullptr, "編集中の文書を現在の名前で保存します。", 0, CMDCHECK_NONE},
    {IDM_SAVEAS, "名前を付けて保存(&A)...", nullptr, "編集中の文書に新しい名前を付けて保存します。", 0,
     CMDCHECK_NONE},
    {IDM_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", nullptr, "Qwilpad を終了します。", 0, CMDCHECK_NONE},
    {IDM_SAVEEXIT, "保存して終了(&E)", nullptr,
     "編集中の文書が変更されていれば上書き保存してから Qwilpad を終了します。", 0, CMDCHECK_NONE},
    {IDM_UNDO, "元に戻す(&U)", "Ctrl+Z", "直前に行った文書への変更を取り消します。", CMDRULE_UNDO | W,
     CMDCHECK_NONE},
    {IDM_REDO, "やり直し(&R)", "Ctrl+Y", "直前に行った [元に戻す] 操作を取り消します。", CMDRULE_REDO | W,
     CMDCHECK_NONE},
    {IDM_CUT, "切り取り(&T)", "Ctrl+X", "選択範囲のﾃｷｽﾄを文書から削除し、ｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰします。", SEL | W,
     CMDCHECK_NONE},
    {IDM_COPY, "ｺﾋﾟｰ(&C)", "Ctrl+C", "選択範囲のﾃｷｽﾄをｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰします。", SEL, CMDCHECK_NONE},
    {IDM_PASTE, "貼り付け(&P)", "Ctrl+V", "挿入位置にｸﾘｯﾌﾟﾎﾞｰﾄﾞのﾃｷｽﾄを挿入します。", CMDRULE_CLIPBOARD | W,
     CMDCHECK_NONE},
    {IDM_DELETE, "削除(&D)", "Delete", "選択範囲のﾃｷｽﾄを削除します。", SEL | W, CMDCHECK_NONE},
    {IDM_SELECTALL, "すべて選択(&A)", "Ctrl+A", "ﾃｷｽﾄ全体を選択します。", 0, CMDCHECK_NONE},
    {IDM_SELECTLINES, "行選択(&N)", nullptr, "現在の選択範囲を含む最小の行単位範囲を選択します", 0, CMDCHECK_NONE},
    {IDM_SELECTWORD, "単語選択(&W)", "Ctrl+W", "現在のカーソル位置にある単語を選択します", 0, CMDCHECK_NONE},
    {IDM_FIND, "検索(&F)...", "Ctrl+F", "指定した文字列を文書から検索します。", 0, CMDCHECK_NONE},
    {IDM_FINDNEXT, "次を検索(&N)", "F3", "文書の末尾方向へ向けて検索を続行します。", CMDRULE_LAST_SEARCH,
     CMDCHECK_NONE},
    {IDM_FINDPREV, "前を検索(&P)", "Shift+F3", "文書の先頭方向へ向けて検索を続行します。", CMDRULE_LAST_SEARCH,
     CMDCHECK_NONE},
    {IDM_FINDSELNEXT, "選択文字列の下方検索", nullptr, "選択中のﾃｷｽﾄを文書の末尾方向へ向けて検索します。", 0,
     CMDCHECK_NONE},
    {IDM_FINDSELPREV, "選択文字列の上方検索", nullptr, "選択中のﾃｷｽﾄを文書の先頭方向へ向けて検索します。", 0,
     CMDCHECK_NONE},
    {IDM_REPLACE, "置換(&R)", "Ctrl+R", "指定した文字列を別の文字列で置換します。", W, CMDCHECK_NONE},
    {IDM_GOTOLINE, "指定行へｼﾞｬﾝﾌﾟ(&J)...", "Ctrl+J", "指定した行の先頭へｷｬﾚｯﾄを移動します。", 0, CMDCHECK_NONE},
    {IDM_STATUSBAR, "ｽﾃｰﾀｽ ﾊﾞｰ(&S)", nullptr, "ｽﾃｰﾀｽ ﾊﾞｰの表示/非表示を切り替えます。", 0, CMDCHECK_STATUS_BAR},
    {IDM_MINIMIZE, "最小化(&N)", nullptr, "このｳｨﾝﾄﾞｳを最小化します。", CMDRULE_NOT_MINIMIZED, CMDCHECK_NONE},
    {IDM_MAXIMIZE, "最大化(&X)", nullptr, "このｳｨﾝﾄﾞｳを最大化します。", CMDRULE_NOT_MAXIMIZED, CMDCHECK_NONE},
    {IDM_RESTORE, "元のｻｲｽﾞに戻す(&R)", nullptr, "このｳｨﾝﾄﾞｳを通常の大きさに戻します。", CMDRULE_MIN_OR_MAX,
     CMDCHECK_NONE},
    {IDM_TOPMOST, "常に手前に表示(&T)", nullptr, "このｳｨﾝﾄﾞｳが他のｳｨﾝﾄﾞｳの下に隠れないようにします。", 0,
     CMDCHECK_TOPMOST},
    {IDM_SHOWTAB, "タブ文字(&T)", nullptr, "タブ文字の表示/非表示を切り替えます。", 0, CMDCHECK_TAB},
    {IDM_SHOWSPACE, "半角空白(&B)", nullptr, "半角空白の表示/非表示を切り替えます。", 0, CMDCHECK_SPACE},
    {IDM_SHOWZENSPACE, "全角空白(&D)", nullptr, "全角空白の表示/非表示を切り替えます。", 0, CMDCHECK_ZEN_SPACE},
    {IDM_SHOWLINEEND, "改行文字(&R)", nullptr, "改行文字の表示/非表示を切り替えます。", 0, CMDCHECK_LINE_END},
    {IDM_SHOWEOF, "ファイル終端記号(&E)", nullptr, "ファイル終端記号 [EOF] の表示/非表示を切り替えます。", 0,
     CMDCHECK_EOF},
    {IDM_ABOUT, "About(&A)", nullptr, "Qwilpad のバージョン情報を表示します。", 0, CMDCHECK_NONE},
    {IDM_SETTINGS, "設定(&S)...", nullptr, " ", 0, CMDCHECK_NONE},
    {IDM_DISPLAYSETTINGS, "表示の設定(&V)...", nullptr, "余白、タブ幅、配色といった文書表示の設定をします。", 0,
     CMDCHECK_NONE},
    {IDM_FONT, "ﾌｫﾝﾄの指定(&F)...", nullptr, "文書を表示するために使われるﾌｫﾝﾄの種類を指定します。", 0,
     CMDCHECK_NONE},
    {IDM_KEYASSIGN, "キーの割り当て(&K)...", nullptr, " ", 0, CMDCHECK_NONE},
    {IDM_SAVESETTINGS, "設定の保存", nullptr, nullptr, 0, CMDCHECK_NONE},
    {IDM_FRAME3D, "ｳｨﾝﾄﾞｳ枠(&G)", nullptr, "ｳｨﾝﾄﾞｳ枠の立体表示/非立体表示を切り替えます。", 0, CMDCHECK_FRAME3D},
    {IDM_LOWER, nullptr, "Ctrl+L", nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_UPPER, nullptr, "Ctrl+U", nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_SWAPCASE, nullptr, "Ctrl+Shift+U", nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_TOFULL, nullptr, nullptr, nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_TOHALF, nullptr, nullptr, nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_TOFULLALPHA, nullptr, nullptr, nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_TOHALFALPHA, nullptr, nullptr, nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_TOFULLDIGIT, nullptr, nullptr, nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_TOHALFDIGIT, nullptr, nullptr, nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_TOFULLSYMBOL, nullptr, nullptr, nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_TOHALFSYMBOL, nullptr, nullptr, nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_TOFULLKANA, nullptr, nullptr, nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_TOHALFKANA, nullptr, nullptr, nullptr, SEL | W, CMDCHECK_NONE},
    {IDM_NOTHING, "なし", nullptr, "何もしません。", 0, CMDCHECK_NONE},
    {IDM_PASTEHISTORY, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ履歴から貼り付け", nullptr, nullptr, W, CMDCHECK_NONE},
    {IDM_IME, "日本語入力(&I)", nullptr, "日本語入力の ON/OFF を切り替えます。", 0, CMDCHECK_NONE},
    {IDM_INSERTDATE, "現在日時の挿入", nullptr, "挿入位置に現在の日時を挿入します。", W, CMDCHECK_NONE},
    {IDM_WRAP, "右端で折り返す(&W)", nullptr, "文書表示領域の右端で行を折り返して表示するようにします。", 0,
     CMDCHECK_WRAP},
    {IDM_LINENUMBER, "行番号(&L)", nullptr, "行番号の表示/非表示を切り替えます。", 0, CMDCHECK_LINE_NUMBER},
    {IDM_REVERT, "すべて元に戻す", nullptr, kBlankHelp, W, CMDCHECK_NONE},
    {IDM_PRINT, "印刷できるかも(&P)...", nullptr, "編集中の文書の全部または一部を印刷します。", 0, CMDCHECK_NONE},
    {IDM_READONLY, "書込禁止(&R)", nullptr, kBlankHelp, 0, CMDCHECK_READ_ONLY},
    {IDM_PAGESETUP, "ページ設定できるかも(&U)...", nullptr, kBlankHelp, 0, CMDCHECK_NONE},
    {IDM_ATBACK, "常に後ろに表示(&B)", nullptr, nullptr, 0, CMDCHECK_AT_BACK},
    {IDM_INSERTFILE, "ファイルの挿入", nullptr, nullptr, W, CMDCHECK_NONE},
    {IDM_COPYNAME, "ファイル名のコピー", nullptr, "現在編集中の文書名をｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰします。", 0, CMDCHECK_NONE},
    {IDM_INSERTNAME, "ファイル名の挿入", nullptr, "挿入位置に現在編集中の文書名を挿入します。", 0, CMDCHECK_NONE},
    {IDM_INDENT, "インデント", nullptr, "選択されたﾃｷｽﾄ行を右方向へインデントします。", 0, CMDCHECK_NONE},
    {IDM_UNINDENT, "逆インデント", nullptr, "選択されたﾃｷｽﾄ行を左方向へインデントします。", 0, CMDCHECK_NONE},
    {IDM_DOCSTART, "文頭へ移動", nullptr, "カーソルを文頭へ移動します。", 0, CMDCHECK_NONE},
    {IDM_DOCEND, "文末へ移動", nullptr, "カーソルを文末へ移動します。", 0, CMDCHECK_NONE},
    {IDM_LINESTART, "行頭へ移動", nullptr, "カーソルを行頭へ移動します。", 0, CMDCHECK_NONE},
    {IDM_LINEEND, "行末へ移動", nullptr, "カーソルを行末へ移動します。", 0, CMDCHECK_NONE},
    {IDM_RELOAD, "ファイルの再読込", nullptr, "編集中の文書をﾌｧｲﾙから読み直します。", LOADS, CMDCHECK_NONE},
    {IDM_HISTORYNONE, "(なし)", nullptr, nullptr, CMDRULE_NEVER, CMDCHECK_NONE},
    {IDM_OPENFOLDER, "フォルダを開く", nullptr, nullptr, 0, CMDCHECK_NONE},
    {IDM_FULLSCREEN, "全画面表示(&U)", nullptr, nullptr, 0, CMDCHECK_FULL_SCREEN},
    {IDM_REOPENSJIS, "Shift_JIS に変換して開き直す(&J)", nullptr,
     "Shift_JIS 以外のﾌｧｲﾙを Shift_JIS に変換して、新しい文書として開き直します。", LOADS | CMDRULE_CONVERTIBLE,
     CMDCHECK_NONE},
};
constexpr int32_t kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);

constexpr bool IsSortedById() {
  for (int32_t i = 1; i < kCommandCount; ++i) {
    if (kCommands[i - 1].id >= kCommands[i].id) return false;
  }
  return true;
}
static_assert(IsSortedById(), "the command table is sorted by id");

constexpr FileMenuRow kFileMenuRows[kFileMenuRowCount] = {
    {FILEMENU_ITEM, IDM_NEW, "新規作成(&N)\tCtrl+N"},
    {FILEMENU_ITEM, IDM_OPEN, "ﾌｧｲﾙを開く(&O)...\tCtrl+O"},
    {FILEMENU_ITEM, IDM_SAVE, "上書き保存(&S)\tCtrl+S"},
    {FILEMENU_ITEM, IDM_SAVEAS, "名前を付けて保存(&A)..."},
    {FILEMENU_ITEM, IDM_REOPENSJIS, "Shift_JIS に変換して開き直す(&J)"},
    {FILEMENU_SEPARATOR, 0, nullptr},
    {FILEMENU_ITEM, IDM_PRINT, "印刷できるかも(&P)...\tCtrl+P"},
    {FILEMENU_ITEM, IDM_PAGESETUP, "ページ設定できるかも(&U)..."},
    {FILEMENU_HISTORY, 0, nullptr},
    {FILEMENU_SEPARATOR, 0, nullptr},
    {FILEMENU_ITEM, IDM_SAVEEXIT, "保存して終了(&E)\tF12"},
    {FILEMENU_ITEM, IDM_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)\tAlt+F4"},
};

// Each rule grays the item unless its condition holds.
bool RulesAllow(uint32_t rules, const CommandState* s) {
  if ((rules & CMDRULE_UNDO) && !s->bCanUndo) return false;
  if ((rules & CMDRULE_REDO) && !s->bCanRedo) return false;
  if ((rules & CMDRULE_CLIPBOARD) && !s->bClipboardText) return false;
  if ((rules & CMDRULE_LAST_SEARCH) && !s->bLastSearch) return false;
  if ((rules & CMDRULE_SELECTION) && !s->bSelection) return false;
  if ((rules & CMDRULE_WRITABLE) && s->bReadOnly) return false;
  if ((rules & CMDRULE_LOADS) && s->bReadOnly && !s->bReadOnlyForEncoding) return false;
  if ((rules & CMDRULE_CONVERTIBLE) && !s->bConvertible) return false;
  if ((rules & CMDRULE_NOT_MAXIMIZED) && s->bMaximized) return false;
  if ((rules & CMDRULE_NOT_MINIMIZED) && s->bMinimized) return false;
  if ((rules & CMDRULE_MIN_OR_MAX) && !s->bMinimized && !s->bMaximized) return false;
  return (rules & CMDRULE_NEVER) == 0;
}

}  // namespace

const CommandInfo* Command_GetTable(int32_t* pnCount) {
  *pnCount = kCommandCount;
  return kCommands;
}

const CommandInfo* Command_Find(int32_t id) {
  int32_t lo = 0, hi = kCommandCount;
  while (lo < hi) {
    int32_t mid = lo + (hi - lo) / 2;
    if (kCommands[mid].id < id) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return (lo < kCommandCount && kCommands[lo].id == id) ? &kCommands[lo] : nullptr;
}

const char* Command_MenuText(const CommandInfo* info) {
  if (info->menuText) return info->menuText;
  const ConvertCommand* conversion = Convert_FindCommand(info->id);
  return conversion ? conversion->menuText : "";
}

const char* Command_HelpText(const CommandInfo* info) {
  if (info->helpText || info->menuText) return info->helpText;
  const ConvertCommand* conversion = Convert_FindCommand(info->id);
  return conversion ? conversion->helpText : nullptr;
}

CommandMenuState Command_MenuState(int32_t id, const CommandState* state) {
  CommandMenuState result = {true, false};
  const CommandInfo* info = Command_Find(id);
  if (info) {
    result.bEnabled = RulesAllow(info->nRules, state);
    result.bChecked = info->check != CMDCHECK_NONE && state->bChecked[info->check];
  } else if (Command_Classify(id) == CMDKIND_LOAD_HISTORY) {
    result.bEnabled = !state->bReadOnly || state->bReadOnlyForEncoding;
  } else if (Command_Classify(id) != CMDKIND_OTHER) {
    result.bEnabled = !state->bReadOnly;
  }
  return result;
}

CommandKind Command_Classify(int32_t id) {
  if (Command_Find(id)) return CMDKIND_FIXED;
  if (ClipboardHistory_IndexFromId(id) >= 0) return CMDKIND_CLIPBOARD_HISTORY;
  // The fixed ids lie above the load history's first one: only its sixteen
  // possible entries count.
  int32_t entry = LoadHistory_IndexFromId(id);
  if (0 <= entry && entry < kLoadHistoryMaxLimit) return CMDKIND_LOAD_HISTORY;
  return CMDKIND_OTHER;
}

const FileMenuRow* Command_GetFileMenuRows() { return kFileMenuRows; }
