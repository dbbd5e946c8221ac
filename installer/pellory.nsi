; Pellory's installer: per user, no elevation. Built by scripts/make-dist, which passes with -D
;   VERSION (1.2.3), STAGE (the folder of the files it installs and of its pictures, every one dated to
;   the release's commit), ICON, OUTFILE, and SIGN_UNINSTALLER (the command that signs a program in
;   place) when the release is signed.
;
; Command line: /S silent; /SIGNIN start Pellory at sign-in (a silent install otherwise keeps what an
; earlier install chose); /RUN start Pellory when done; /D=FOLDER another folder (last, unquoted).
; The uninstaller: /S silent, which keeps the settings and the costume folders.

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
!define COSTUMES "$APPDATA\${APP}\Costumes"  ; a folder for each layer, named like its menu

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

!ifdef SIGN_UNINSTALLER
  !uninstfinalize '"${SIGN_UNINSTALLER}" "%1" Uninstall.exe'
!endif

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The character on the welcome and finish pages and its face in the other pages' header, each drawn for
; 100, 125, 150 and 200 %. MUI shows the 100 % pair; PicturesForDpi swaps in those of the installer's scale.
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${STAGE}/installer-header-100.bmp"
!define MUI_HEADERIMAGE_BITMAP_STRETCH NoStretchNoCropNoAlign
!define MUI_WELCOMEFINISHPAGE_BITMAP "${STAGE}/installer-welcome-100.bmp"
!define MUI_WELCOMEFINISHPAGE_BITMAP_STRETCH NoStretchNoCropNoAlign
!define WALL "CED6E4"  ; behind the character in the welcome pictures
!define MUI_CUSTOMFUNCTION_GUIINIT PicturesForDpi
!define MUI_CUSTOMFUNCTION_UNGUIINIT un.PicturesForDpi

!define MUI_WELCOMEPAGE_TEXT "${APP} is a small pixel-art character who sits on the top edge of the window \
  you are working in, follows it as it moves, blinks, and talks to you in a speech balloon.$\r$\n$\r$\n\
  Setup installs ${APP} ${VERSION} for you alone; it needs no administrator rights. A ${APP} that is \
  running is closed first.$\r$\n$\r$\nClick Next to continue."
!define MUI_PAGE_CUSTOMFUNCTION_SHOW WelcomeShow
!insertmacro MUI_PAGE_WELCOME
Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${APP} has been installed.$\r$\n$\r$\nRight-click the character, or its icon \
  in the notification area, for its menu.$\r$\n$\r$\nClick Finish to close Setup."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Run ${APP}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartPellory
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var SignIn        ; ${BST_CHECKED} or ${BST_UNCHECKED}
Var SignInBox

; Shows a picture control's bitmap unscaled and centred in the control's own size (W x H dialog units);
; whatever the bitmap leaves free takes its background COLOUR (Windows takes the bitmap's top-left pixel).
!macro CENTRE_PICTURE CONTROL W H COLOUR
  SetCtlColors ${CONTROL} "" "${COLOUR}"
  System::Call '*(i 0, i 0, i ${W}, i ${H}) p .r9'
  System::Call 'user32::MapDialogRect(p $HWNDPARENT, p r9)'
  System::Call '*$9(i, i, i .r7, i .r8)'
  System::Free $9
  System::Call 'user32::GetWindowLongW(p ${CONTROL}, i ${GWL_STYLE}) i .r9'
  IntOp $9 $9 | ${SS_CENTERIMAGE}
  System::Call 'user32::SetWindowLongW(p ${CONTROL}, i ${GWL_STYLE}, i r9)'
  System::Call 'user32::SetWindowPos(p ${CONTROL}, p 0, i 0, i 0, i r7, i r8, i 0x16)'  ; no move, z-order, activation
  System::Call 'user32::InvalidateRect(p ${CONTROL}, p 0, i 1)'
!macroend

; The installer is DPI-aware for the system's DPI: the pictures drawn for the largest scale up to it are
; put where MUI loads its pictures from, before the first page shows.
!macro PICTURES_FOR_DPI un
Function ${un}PicturesForDpi
  System::Call 'user32::GetDC(p 0) p .r0'
  System::Call 'gdi32::GetDeviceCaps(p r0, i 88) i .r1'  ; LOGPIXELSX
  System::Call 'user32::ReleaseDC(p 0, p r0)'
  ${If} $1 >= 192
    !insertmacro PICTURES_AT "${un}" 200
  ${ElseIf} $1 >= 144
    !insertmacro PICTURES_AT "${un}" 150
  ${ElseIf} $1 >= 120
    !insertmacro PICTURES_AT "${un}" 125
  ${EndIf}
  GetDlgItem $0 $HWNDPARENT 1046
  SetBrandingImage /IMGID=1046 "$PLUGINSDIR\modern-header.bmp"
  !insertmacro CENTRE_PICTURE $0 100 35 "${MUI_BGCOLOR}"
FunctionEnd
!macroend
!macro PICTURES_AT un SCALE
  File "/oname=$PLUGINSDIR\modern-header.bmp" "${STAGE}/installer-header-${SCALE}.bmp"
  !if "${un}" == ""
    File "/oname=$PLUGINSDIR\modern-wizard.bmp" "${STAGE}/installer-welcome-${SCALE}.bmp"
  !endif
!macroend
!insertmacro PICTURES_FOR_DPI ""
!insertmacro PICTURES_FOR_DPI "un."

Function WelcomeShow
  !insertmacro CENTRE_PICTURE $mui.WelcomePage.Image 109 193 "${WALL}"
FunctionEnd

Function FinishShow
  !insertmacro CENTRE_PICTURE $mui.FinishPage.Image 109 193 "${WALL}"
FunctionEnd

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
  File "${STAGE}/${APP}.exe"
  File "${STAGE}/README.txt"
  File "${STAGE}/LICENSE.txt"
  ; Each costume folder gets the artists' template and README; an artist's own changes to them, newer than
  ; ours, stay.
  SetOverwrite ifnewer
  SetOutPath "${COSTUMES}\Costume 1"
  File "${STAGE}/template.png"
  File "/oname=README.txt" "${STAGE}/Costumes-README.txt"
  SetOutPath "${COSTUMES}\Costume 2"
  File "${STAGE}/template.png"
  File "/oname=README.txt" "${STAGE}/Costumes-README.txt"
  SetOverwrite on
  SetOutPath "$INSTDIR"
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

  MessageBox MB_YESNO|MB_ICONQUESTION "Keep your ${APP} settings for a later install: the costumes of both \
    layers, the distance along the window's edge and the Size?" \
    /SD IDYES IDYES keep
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${PUBLISHER}"
  keep:

  ; The costume folders hold the user's own art: they go only when the user says so.
  ${If} ${FileExists} "${COSTUMES}\*.*"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove the costume folders too, with every costume you put \
      in them?$\r$\n$\r$\n${COSTUMES}" /SD IDNO IDNO keepCostumes
    RMDir /r "${COSTUMES}"
    RMDir "$APPDATA\${APP}"
    keepCostumes:
  ${EndIf}
SectionEnd
