// The run of the application between the process entry's set-up and its end:
// the settings and the key file read, the classes registered, the main window
// made and shown with its start-up document, the message loop.
#pragma once

#include <cstdint>

#include "tools/platform.h"

struct AppInfo;

// Returns the exit code: the message loop's result, or 1 when a class cannot be
// registered or the main window cannot be made.
int App_Run(HINSTANCE hInstance, int32_t argc, char** argv);

// Makes the main window for app, trying once more when the system refuses it;
// after a second refusal the user is told and null is returned.
HWND App_CreateMainWindow(AppInfo* app);
