// A document read from a file that is not in Shift_JIS (UTF-8, UTF-16): it is
// shown read-only, its bytes kept exactly as they were read and never saved,
// until the user chooses either to edit those bytes as Shift_JIS anyway or to
// reopen the file converted to Shift_JIS. Typing Shift_JIS into a UTF-8 file
// would leave a file that no program reads correctly any more.
//
// What is decided and said without a window: the guard's state, the texts of
// the status bar and of the questions, and the list of the characters a
// conversion cannot keep.
#pragma once

#include <cstdint>

#include "tools/sjisconv.h"
#include "tools/textenc.h"

struct EncodingGuard {
  TextEncoding encoding;  // what the document's file was read as (Shift_JIS for a new or converted document)
  bool bGuarding;         // the editor is read-only for the encoding's sake, and saving is refused;
                          // invariant: only while encoding is not Shift_JIS
};

inline bool IsValidEncodingGuard(const EncodingGuard* g) {
  return g && g->encoding >= 0 && g->encoding < TEXTENC_COUNT && (!g->bGuarding || g->encoding != TEXTENC_SHIFT_JIS);
}

// The state of a document just read from a file detected as `detected`.
EncodingGuard EncGuard_AtLoad(TextEncoding detected);
// The state of a document whose bytes are Shift_JIS whatever it came from: a
// new document, a converted one.
inline EncodingGuard EncGuard_ShiftJis() { return EncGuard_AtLoad(TEXTENC_SHIFT_JIS); }
// The file the document was read from can be reopened converted.
inline bool EncGuard_CanConvert(const EncodingGuard* g) { return g->encoding != TEXTENC_SHIFT_JIS; }

// The status bar's part: the encoding of the document's file ("Shift_JIS",
// "UTF-8", "UTF-16 LE (BOM)" ...).
inline const char* EncGuard_StatusText(const EncodingGuard* g) { return TextEnc_Name(g->encoding); }

// The texts, cut between characters to size bytes; each returns its length.
// Why a save is refused while guarding.
int32_t EncGuard_FormatSaveRefusal(char* buffer, int32_t size, const EncodingGuard* g);
// The question before read-only is turned off while guarding (Yes: edit the
// bytes as Shift_JIS, No: stay read-only).
int32_t EncGuard_FormatEditQuestion(char* buffer, int32_t size, const EncodingGuard* g);
// What the conversion cannot keep: how many characters and broken byte
// sequences, the first ones listed with their lines, and the choice between
// "?" in their place (Yes) and stopping (No).
int32_t EncGuard_FormatReport(char* buffer, int32_t size, const SjisReport* report);
// Whether the converted text keeps the file's name (Yes), becomes untitled
// (No) or is not opened at all (Cancel).
int32_t EncGuard_FormatNameQuestion(char* buffer, int32_t size, const char* path);

// The captions.
constexpr char kEncGuardCaption[] = "Shift_JIS 以外のファイル";
constexpr char kEncConvertCaption[] = "Shift_JIS に変換して開き直す";
