; Lumenfold's setup program: a per-user install without administrator
; rights into %LOCALAPPDATA%\Programs\Lumenfold. scripts/package defines
; VERSION, STAGE (the files to install), ICON and OUT_FILE.
; The player is 64-bit only, and so is the setup program that brings it.
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define PRODUCT "Lumenfold"
!define PUBLISHER "Lumenfold"
!define PLAYER "lumenfold.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
; The running player holds this mutex, as app/instance_name.h names it.
!define INSTANCE_MUTEX "Lumenfold_Velvetdusk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}.0"
VIAddVersionKey "ProductVersion" "${VERSION}.0"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.SettingsPage un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var player_was_running
Var upgrade
Var remove_settings
Var remove_settings_box

; 1 in $0 while a player runs (of this install or any other copy).
!macro PlayerRunning
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p .r1'
    ${If} $1 P<> 0
        System::Call 'kernel32::CloseHandle(p r1)'
        StrCpy $0 1
    ${Else}
        StrCpy $0 0
    ${EndIf}
!macroend

; Asks a running player to end as if Exit were chosen; it returns once the
; player is gone, so its files can be replaced or removed.
!macro QuitPlayer EXE
    ExecWait '"${EXE}" --quit' $0
!macroend

Section "-Lumenfold" SectionFiles
    SectionIn RO
    !insertmacro PlayerRunning
    StrCpy $player_was_running $0
    ${If} $player_was_running == 1
        ; The new player asks: the running one may be any copy.
        InitPluginsDir
        SetOutPath "$PLUGINSDIR"
        File "${STAGE}\${PLAYER}"
        DetailPrint "Asking the running player to quit"
        !insertmacro QuitPlayer "$PLUGINSDIR\${PLAYER}"
    ${EndIf}

    SetOutPath "$INSTDIR"
    File "${STAGE}\${PLAYER}"
    File "${STAGE}\lumenfold-render.exe"
    File "${STAGE}\README.md"
    SetOutPath "$INSTDIR\examples"
    File /r "${STAGE}\examples\*.*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PLAYER}" "--resume" "$INSTDIR\${PLAYER}" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PLAYER},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Start with Windows" SectionStartWithWindows
    ; The same value the player's tray menu writes. An upgrade leaves Task
    ; Manager's record as the user left it; a new install drops a stale one.
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${PLAYER}" --resume'
    ${If} $upgrade == 0
        DeleteRegValue HKCU "${APPROVED_KEY}" "${PRODUCT}"
    ${EndIf}
SectionEnd

Section "Start Lumenfold now" SectionStartNow
SectionEnd

Section "-Start"
    ${If} ${SectionIsSelected} ${SectionStartNow}
    ${OrIf} $player_was_running == 1
        SetOutPath "$INSTDIR"
        Exec '"$INSTDIR\${PLAYER}" --resume'
    ${EndIf}
SectionEnd

Function .onInit
    StrCpy $upgrade 0
    ; An upgrade keeps what the user chose: no Run value means it was off.
    IfFileExists "$INSTDIR\${UNINSTALLER}" 0 done
    StrCpy $upgrade 1
    ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
    ${If} $0 == ""
        !insertmacro UnselectSection ${SectionStartWithWindows}
    ${EndIf}
    done:
FunctionEnd

Function un.SettingsPage
    !insertmacro MUI_HEADER_TEXT "Your settings" "Lumenfold keeps its settings in $APPDATA\${PRODUCT}."
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateCheckbox} 0 0 100% 12u "Also remove my settings (lumenfold.ini)"
    Pop $remove_settings_box
    nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
    ${NSD_GetState} $remove_settings_box $remove_settings
FunctionEnd

Section "Uninstall"
    !insertmacro QuitPlayer "$INSTDIR\${PLAYER}"
    Delete "$INSTDIR\${PLAYER}"
    Delete "$INSTDIR\lumenfold-render.exe"
    Delete "$INSTDIR\README.md"
    Delete "$INSTDIR\GLumenfold_Velvetdusk.log"
    RMDir /r "$INSTDIR\examples"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegValue HKCU "${APPROVED_KEY}" "${PRODUCT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; A silent uninstall never shows the page: the settings stay.
    ${If} $remove_settings == ${BST_CHECKED}
        Delete "$APPDATA\${PRODUCT}\lumenfold.ini"
        RMDir "$APPDATA\${PRODUCT}"
    ${EndIf}
SectionEnd
