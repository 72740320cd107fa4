; The Lumenweave installer: puts Lumenweave.scr in the 64-bit system folder, where the screen-saver
; settings list it, and registers an uninstaller. Built by tools/package.sh, which defines
; VERSION, SCR (the built program), ICON, LICENSE and OUTFILE on makensis's command line.
Unicode true
; A 64-bit installer: the only kind that 64-bit Windows runs without its 32-bit layer, and the
; 64-bit system folder is the one the settings dialog reads.
Target amd64-unicode

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumenweave"
!define DESKTOP_KEY "Control Panel\Desktop"
!define PUBLISHER "the Lumenweave authors"

Name "Lumenweave ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Lumenweave"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestDPIAware true

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 ProductName "Lumenweave"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileDescription "Lumenweave ${VERSION} setup"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright (c) ${PUBLISHER}, MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

; The finish page's checkbox: NSIS's "show readme" box, renamed, calls Activate when ticked.
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Make Lumenweave my screen saver"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION Activate

!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var activateRequested ; "1" when /ACTIVATE was given

Function .onInit
  SetRegView 64
  ${DisableX64FSRedirection}
  StrCpy $activateRequested 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ACTIVATE" $1
  ${IfNot} ${Errors}
    StrCpy $activateRequested 1
  ${EndIf}
FunctionEnd

; Makes Lumenweave the current user's screen saver, as the settings dialog does.
Function Activate
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\Lumenweave.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
FunctionEnd

; Installing over an earlier installation overwrites its files and its entry: one entry, the new
; version.
Section "Lumenweave"
  SetOutPath "$SYSDIR"
  File "/oname=Lumenweave.scr" "${SCR}"
  SetOutPath "$INSTDIR"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Lumenweave"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\Lumenweave.scr"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Kilobytes, as the list of installed programs shows it.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetSize} "$SYSDIR" "/M=Lumenweave.scr /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} $activateRequested == 1
    Call Activate
  ${EndIf}
SectionEnd

Function un.onInit
  SetRegView 64
  ${DisableX64FSRedirection}
FunctionEnd

; Clears the current user's screen saver if it is still the installed Lumenweave, under its long
; or its short (8.3) name, as the settings dialog may write it; any other saver stays chosen.
Function un.ClearScreenSaver
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == ""
    Return
  ${EndIf}
  ; LogicLib's == compares without regard to case, as Windows does paths.
  GetFullPathName /SHORT $1 "$SYSDIR\Lumenweave.scr"
  ${If} $1 == ""
    ; The file is gone already: only the name as written can be compared.
    StrCpy $1 "$SYSDIR\Lumenweave.scr"
    StrCpy $2 $0
  ${Else}
    GetFullPathName /SHORT $2 $0
  ${EndIf}
  ${If} $2 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.ClearScreenSaver
  Delete "$SYSDIR\Lumenweave.scr"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The folder goes last: once it is gone, so is everything else.
  RMDir "$INSTDIR"
SectionEnd
