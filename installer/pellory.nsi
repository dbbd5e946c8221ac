; Pellory's installer: per user, no elevation. Built by CMake, which passes
;   VERSION (1.2.3), EXE, README, LICENSE, ICON, WELCOME_BITMAP and OUTFILE with -D.
;
; Command line: /S silent; /SIGNIN start Pellory at sign-in (a silent install otherwise keeps what an
; earlier install chose); /RUN start Pellory when done; /D=FOLDER another folder (last, unquoted).
; The uninstaller: /S silent, which keeps the settings.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define APP "Pellory"
!define PUBLISHER "Quarrystone"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\${PUBLISHER}\${APP}"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${APP} ${VERSION} Setup"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The character on the welcome and finish pages, drawn for their 164 x 314 picture.
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME_BITMAP}"

!insertmacro MUI_PAGE_WELCOME
Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Run ${APP}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartPellory
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var SignIn        ; ${BST_CHECKED} or ${BST_UNCHECKED}
Var SignInBox

; Ends every running Pellory of this session: its main window is found by class and title, asked to
; close, and waited for until its process is gone; one that does not end in time is terminated.
; Finding the window, not the program's own guard against second copies, keeps this independent of it.
!macro END_PELLORY un
Function ${un}EndPellory
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 0
  ${Do}
    FindWindow $0 "Pellory.frmSitter" "Pellory"
    ${If} $0 == 0
    ${OrIf} $3 >= 20
      ${Break}
    ${EndIf}
    IntOp $3 $3 + 1
    DetailPrint "Closing the running ${APP}..."
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    System::Call 'kernel32::OpenProcess(i 0x100001, i 0, i r1) p .r2'  ; SYNCHRONIZE | PROCESS_TERMINATE
    System::Call 'user32::PostMessageW(p r0, i 0x10, p 0, p 0)'  ; WM_CLOSE
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i 10000) i .r1'
      ${If} $1 != 0
        System::Call 'kernel32::TerminateProcess(p r2, i 1)'
        System::Call 'kernel32::WaitForSingleObject(p r2, i 5000)'
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      Sleep 500
    ${EndIf}
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro END_PELLORY ""
!insertmacro END_PELLORY "un."

Function .onInit
  SetShellVarContext current
  ; Ticked when asked for, or when an earlier install set up the start at sign-in.
  StrCpy $SignIn ${BST_UNCHECKED}
  ReadRegStr $0 HKCU "${RUN_KEY}" "${APP}"
  ${If} $0 != ""
    StrCpy $SignIn ${BST_CHECKED}
  ${EndIf}
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/SIGNIN" $0
  ${IfNot} ${Errors}
    StrCpy $SignIn ${BST_CHECKED}
  ${EndIf}
FunctionEnd

Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "Options" "Choose how ${APP} starts."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "${APP} will be installed for you alone, in$\r$\n$INSTDIR"
  Pop $0
  ${NSD_CreateCheckbox} 0 36u 100% 12u "Start ${APP} when I sign in"
  Pop $SignInBox
  ${NSD_SetState} $SignInBox $SignIn
  ${NSD_CreateLabel} 0 56u 100% 36u "A Start-menu shortcut is added either way. The character sits on the window in the foreground; right-click it for its menu."
  Pop $0
  nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
  ${NSD_GetState} $SignInBox $SignIn
FunctionEnd

Function StartPellory
  Exec '"$INSTDIR\${APP}.exe"'
FunctionEnd

Section "Install"
  Call EndPellory
  SetOutPath "$INSTDIR"
  File "/oname=${APP}.exe" "${EXE}"
  File "/oname=README.txt" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${APP}.exe" "" "$INSTDIR\${APP}.exe" 0

  ${If} $SignIn == ${BST_CHECKED}
    WriteRegStr HKCU "${RUN_KEY}" "${APP}" '"$INSTDIR\${APP}.exe"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
  ${EndIf}

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${APP}.exe"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0

  ; Without pages there is no "Run Pellory" box: /RUN stands for it.
  ${If} ${Silent}
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/RUN" $0
    ${IfNot} ${Errors}
      Call StartPellory
    ${EndIf}
  ${EndIf}
SectionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Uninstall"
  Call un.EndPellory
  Delete "$INSTDIR\${APP}.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
  DeleteRegKey HKCU "${UNINST_KEY}"

  MessageBox MB_YESNO|MB_ICONQUESTION "Keep your ${APP} settings (costumes and distance) for a later install?" \
    /SD IDYES IDYES keep
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${PUBLISHER}"
  keep:
SectionEnd
