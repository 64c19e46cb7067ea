; The installer of Qwilpad for one user: no administrator rights, everything
; under the user's own folders and registry (HKCU). scripts/release.sh builds it:
;
;   makensis -INPUTCHARSET UTF8 -DVERSION=0.33 -DFILEVERSION=0.0.3.3 -DEXE=path\to\Qwilpad.exe
;            -DOUTFILE=path\to\Qwilpad-0.33-setup.exe res/installer.nsi
;
; Silent use: "setup.exe /S" installs into %LOCALAPPDATA%\Programs\Qwilpad
; ("/D=FOLDER", last on the line, chooses another folder); "uninstall.exe /S"
; removes the program and leaves the settings, "/REMOVESETTINGS" removes them too.

!ifndef VERSION | FILEVERSION | EXE | OUTFILE
  !error "VERSION, FILEVERSION, EXE and OUTFILE must be given with -D"
!endif

Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define APPNAME "Qwilpad"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Qwilpad"
!define PROGID "Qwilpad.txt"

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Qwilpad"
; A second installation goes where the first one went.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${APPNAME} ${VERSION}"
VIProductVersion "${FILEVERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=1041 "FileDescription" "${APPNAME} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${APPNAME}"

!include MUI2.nsh
!include FileFunc.nsh

!define MUI_ABORTWARNING
!define MUI_ICON "qwilpad.ico"
!define MUI_UNICON "qwilpad.ico"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Qwilpad.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCOMPONENTSPAGE_TEXT_TOP "設定ファイルとキー割り当てファイルは、選ばない限り残ります。"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

Function .onInit
  SetShellVarContext current
FunctionEnd

; "Open with" for .txt: the program is offered, the user's default stays as it is.
Function WriteFileTypes
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "テキスト文書 (${APPNAME})"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\Qwilpad.exe,0"
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\Qwilpad.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\.txt\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKCU "Software\Classes\Applications\Qwilpad.exe" "FriendlyAppName" "${APPNAME}"
  WriteRegStr HKCU "Software\Classes\Applications\Qwilpad.exe\SupportedTypes" ".txt" ""
  WriteRegStr HKCU "Software\Classes\Applications\Qwilpad.exe\shell\open\command" "" '"$INSTDIR\Qwilpad.exe" "%1"'
FunctionEnd

Function WriteUninstallEntry
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${APPNAME}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Qwilpad.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${APPNAME}"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
FunctionEnd

Section "${APPNAME}" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=Qwilpad.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\Qwilpad.exe" "" "$INSTDIR\Qwilpad.exe" 0 \
      SW_SHOWNORMAL "" "Shift_JIS のテキストエディタ"
  Call WriteFileTypes
  Call WriteUninstallEntry
  ; Explorer reads the new file type at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "un.${APPNAME}" SecUnProgram
  SectionIn RO
  Delete "$INSTDIR\Qwilpad.exe"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegKey HKCU "Software\Classes\Applications\Qwilpad.exe"
  ; Only our value: the key belongs to every program offered for .txt.
  DeleteRegValue HKCU "Software\Classes\.txt\OpenWithProgids" "${PROGID}"
  ; The folder stays while it still holds the settings.
  RMDir "$INSTDIR"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; Settings beside the program, or in %APPDATA%\Qwilpad when its folder could not
; take them: both places, as the program chose one of them by itself.
Section /o "un.設定ファイルとキー割り当て (Qwilpad.ini, Qwilpad.key)" SecSettings
  Delete "$INSTDIR\Qwilpad.ini"
  Delete "$INSTDIR\Qwilpad.key"
  RMDir "$INSTDIR"
  Delete "$APPDATA\Qwilpad\Qwilpad.ini"
  Delete "$APPDATA\Qwilpad\Qwilpad.key"
  RMDir "$APPDATA\Qwilpad"
SectionEnd

; The entry goes last: an uninstallation cut short stays in the list, and
; whoever waits for it to finish can watch the entry.
Section "-un.Entry"
  DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd

; After the sections, whose numbers it needs.
Function un.onInit
  SetShellVarContext current
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecSettings} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
