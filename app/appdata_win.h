// The settings file and the key file on Windows: where they live, reading them
// at start-up and writing the settings through the Win32 profile functions.
#pragma once

#include "app/appdata.h"
#include "tools/profile_win.h"

// The user's folder for the settings: %APPDATA%\Qwilpad. False when there is none.
bool AppData_GetUserFolder(char* buffer, int32_t size);

// Settles where the settings file and the key file are for a program stored
// as programPath: beside it, named after it (".ini", ".key", lower case), when
// new files can be made in its folder and neither file is in userFolder yet;
// otherwise in userFolder under the same names. False, both paths empty, when
// a path does not fit.
bool AppData_LocateFilesFor(AppInfo* app, const char* programPath, const char* userFolder);
// The same for this program and the user's folder.
bool AppData_LocateFiles(AppInfo* app);

// The defaults, then the settings file over them, then the key file's bindings
// and the accelerator table made with them (app->hAccel, owned by app). A
// missing file leaves the defaults.
void AppData_Load(AppInfo* app);
// Writes every setting to the settings file; false, each failure logged, when
// the system refused a write.
bool AppData_Save(const AppInfo* app);
// The profile record of the app's settings file, for the sections others keep
// there (the load history).
void AppData_OpenProfile(const AppInfo* app, ProfileFile* file);
