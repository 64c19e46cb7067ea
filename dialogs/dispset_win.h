// The display settings dialog (resource 138): tab width, left margin, the five
// marks and the seven colours of an EditorSettings record.
#pragma once

#include "editctrl/editsettings.h"
#include "tools/platform.h"

// Runs the dialog modally on settings. True on OK, settings then holding the
// new values (the fields the dialog does not show are untouched); false on
// Cancel, settings unchanged, or when the dialog could not be shown.
bool ShowDisplaySettingsDialog(HWND hOwner, EditorSettings* settings);
