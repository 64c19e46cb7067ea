// What the page setup and print commands decide without a window: the flags the
// two common dialogs are shown with, and the messages the user is shown when a
// dialog or a job fails.
#pragma once

#include <cstdint>

#include "editctrl/prnttext.h"

// The common dialogs' flags the commands use (their commdlg.h values).
constexpr uint32_t kPdReturnDc = 0x100;                     // PD_RETURNDC
constexpr uint32_t kPdReturnDefault = 0x400;                // PD_RETURNDEFAULT
constexpr uint32_t kPdSelection = 0x1;                      // PD_SELECTION
constexpr uint32_t kPdPageNums = 0x2;                       // PD_PAGENUMS
constexpr uint32_t kPdNoSelection = 0x4;                    // PD_NOSELECTION
constexpr uint32_t kPdNoPageNums = 0x8;                     // PD_NOPAGENUMS
constexpr uint32_t kPdPrintToFile = 0x20;                   // PD_PRINTTOFILE
constexpr uint32_t kPdUseDevModeCopiesAndCollate = 0x40000;  // PD_USEDEVMODECOPIESANDCOLLATE
constexpr uint32_t kPdHidePrintToFile = 0x100000;           // PD_HIDEPRINTTOFILE
constexpr uint32_t kPsdMargins = 0x2;                       // PSD_MARGINS
constexpr uint32_t kPsdInThousandthsOfInches = 0x4;         // PSD_INTHOUSANDTHSOFINCHES
constexpr uint32_t kPsdInHundredthsOfMillimeters = 0x8;     // PSD_INHUNDREDTHSOFMILLIMETERS
constexpr uint32_t kPsdReturnDefault = 0x400;               // PSD_RETURNDEFAULT

// The common dialogs' failures the messages tell apart (CommDlgExtendedError).
constexpr uint32_t kPdErrNoDevices = 0x1007;     // PDERR_NODEVICES
constexpr uint32_t kPdErrNoDefaultPrn = 0x1008;  // PDERR_NODEFAULTPRN

// The flags of the print dialog as it is shown, from those it was prepared with:
// it hands back a device context, and offers neither a selection nor a range of
// pages (the whole document always prints) nor printing to a file (the job's
// output is the printer's); copies and collation are left to the driver.
uint32_t PrintFlags_ShownPrintDialog(uint32_t dwPrepared);
// The flags of the default query before the first print dialog of a run.
constexpr uint32_t kPrintDefaultQueryFlags = kPdReturnDefault;
// The flags of a saved page setup made ready again: margins in hundredths of a
// millimetre (what the dialog was last told to give).
uint32_t PrintFlags_PreparedPageSetup(uint32_t dwSaved);
// The flags of the page setup default query.
constexpr uint32_t kPageSetupDefaultQueryFlags = kPsdReturnDefault | kPsdInHundredthsOfMillimeters;
// The flags of the page setup dialog as it is shown: the margins it was given.
uint32_t PrintFlags_ShownPageSetup(uint32_t dwPrepared);

// The margins of a page setup the user never chose, in hundredths of a
// millimetre: the default query names the default printer but leaves the margins
// as they were given (none), and printing against the edges of the printable
// area is not what anybody asked for.
constexpr int32_t kPrintDefaultMargin = 2500;
// Margins that are all 0 become kPrintDefaultMargin on every side; true when
// they did.
bool PrintMargins_FillDefault(RECT* rtMargin);

// The message of a dialog that failed with the extended error dwError; null for
// 0 (the user cancelled it: nothing to say).
const char* PrintMessage_ForDialogError(uint32_t dwError);
// The message of a job that ended so; null when nothing needs saying (it printed,
// or the user cancelled it).
const char* PrintMessage_ForResult(PrintResult result);
// The caption of the print commands' messages.
extern const char kPrintMessageCaption[];
