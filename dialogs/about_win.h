// The About box ("Qwilpad について"): the program's name and version from its
// version resource, the free system resources where the system reports them,
// and a link label to the support page. It has no resource template: it is
// built in memory and fits itself to its texts. One at a time.
#pragma once

#include "tools/platform.h"

// Its controls.
constexpr int kAboutIcon = 100;
constexpr int kAboutVersion = 101;
constexpr int kAboutLink = 102;
constexpr int kAboutResources = 103;

// Runs the box modally over hOwner with pszAddress as the link (kept, not
// copied, while the box is open). When a box is open already, that one is
// brought to the front and shown instead. Nothing happens when the template
// cannot be made.
void ShowAboutDialog(HWND hOwner, const char* pszAddress);
// The open About box, or null.
HWND AboutDialog_GetOpen();

// How a clicked link is opened: the shell's default action, in a normal window,
// unless a test puts its own here (null restores the shell). True when opened.
typedef bool (*AboutOpenAddressProc)(HWND hOwner, const char* pszAddress);
void AboutDialog_SetOpenAddress(AboutOpenAddressProc pfnOpen);
