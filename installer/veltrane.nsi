; Veltrane-Setup.exe: installs Veltrane.scr for the current user, without elevation, into
; %LOCALAPPDATA%\Programs\Veltrane (so the Veltrane.ini beside it stays writable), optionally makes
; it the current screen saver, and registers an uninstaller in the user's list of installed apps.
;
; installer/CMakeLists.txt runs makensis with these definitions:
;   SCR        the built Veltrane.scr          ICON       resources/veltrane.ico
;   OUTFILE    where the setup program goes    VERSION    the version block's ProductVersion ("1.00")
;   VERSION4   the version as a.b.c.d          PUBLISHER  the version block's CompanyName
;   SESSION_TITLE, DIALOG_TITLE   the titles of the session window and the settings dialog
;
; Exit codes: 0 done, 1 cancelled by the user, 2 aborted by an error, 3 Veltrane is running (a
; session or its settings dialog is open, or the installed Veltrane.scr is in use), so nothing
; was changed.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma
; Reproducible: the packed file keeps no date, so the same Veltrane.scr always gives the same
; setup program (an installed file carries the time of its installation).
SetDateSave off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Veltrane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Veltrane"
!define DESKTOP_KEY "Control Panel\Desktop"
!define EXIT_RUNNING 3
; SystemParametersInfo: SPI_SETSCREENSAVEACTIVE, with SPIF_UPDATEINIFILE | SPIF_SENDCHANGE.
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SAVE_AND_BROADCAST 3

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the first installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "${PUBLISHER}"

LangString DESC_PROGRAM ${LANG_JAPANESE} "スクリーンセーバー本体 (Veltrane.scr) をインストールします。"
LangString DESC_CURRENT ${LANG_JAPANESE} "Veltrane を現在のスクリーンセーバーに設定します。"
; Short lines: message boxes do not wrap Japanese text everywhere.
!define RUNNING "Veltrane が実行中です。$\r$\n(スクリーンセーバーか設定画面が開いているか、$\r$\nVeltrane.scr が使用中です。)$\r$\n$\r$\nVeltrane を閉じてから [再試行] を押してください。$\r$\n"
LangString RUNNING_SETUP ${LANG_JAPANESE} "${RUNNING}[キャンセル] を押すとセットアップを中止します (何も変更しません)。"
LangString RUNNING_UNINSTALL ${LANG_JAPANESE} "${RUNNING}[キャンセル] を押すとアンインストールを中止します (何も削除しません)。"

; Stops before anything is written while Veltrane runs: a session window or a settings dialog
; (found by the titles the program's own single-instance test looks for), or
; the installed file open in another process (a preview in the system's settings page, for one,
; whose window neither title covers). Offers Retry and Cancel; silent runs take Cancel and
; end with exit code 3.
!macro REFUSE_WHILE_RUNNING PREFIX MESSAGE
Function ${PREFIX}RefuseWhileRunning
    retry:
    System::Call 'user32::FindWindowW(p 0, w "${SESSION_TITLE}") p .r0'
    System::Call 'user32::FindWindowW(p 0, w "${DIALOG_TITLE}") p .r1'
    StrCpy $2 0
    ${If} ${FileExists} "$INSTDIR\Veltrane.scr"
        ; GENERIC_WRITE, no sharing, OPEN_EXISTING: fails with a sharing violation (32) while
        ; any process has the file open, the program running from it included.
        System::Call 'kernel32::CreateFileW(w "$INSTDIR\Veltrane.scr", i 0x40000000, i 0, p 0, i 3, i 0, p 0) p .r3 ?e'
        Pop $2
        ${If} $3 P<> -1
            System::Call 'kernel32::CloseHandle(p r3)'
        ${EndIf}
    ${EndIf}
    ${If} $0 P<> 0
    ${OrIf} $1 P<> 0
    ${OrIf} $2 = 32
    ${OrIf} $2 = 33
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(${MESSAGE})" /SD IDCANCEL IDRETRY retry
        SetErrorLevel ${EXIT_RUNNING}
        Quit
    ${EndIf}
FunctionEnd
!macroend
!insertmacro REFUSE_WHILE_RUNNING "" RUNNING_SETUP
!insertmacro REFUSE_WHILE_RUNNING "un." RUNNING_UNINSTALL

Function .onInit
    Call RefuseWhileRunning
FunctionEnd

Section "Veltrane" SecProgram
    SectionIn RO
    ; Again here: the user may have started the saver while the pages were open.
    Call RefuseWhileRunning
    ; The per-user programs folder may not exist yet: when this installation makes it,
    ; remember that it is ours to remove.
    StrLen $0 "$LOCALAPPDATA\Programs\"
    StrCpy $1 "$INSTDIR" $0
    ${If} $1 == "$LOCALAPPDATA\Programs\"
    ${AndIfNot} ${FileExists} "$LOCALAPPDATA\Programs\*.*"
        WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VeltraneMadeProgramsFolder" 1
    ${EndIf}
    SetOutPath "$INSTDIR"
    ; Only the program is replaced; Veltrane.ini beside it keeps the user's setting.
    File "${SCR}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} (スクリーンセーバー)"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Veltrane.scr,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    ; "_?=" runs the uninstaller in place instead of from a copy in %TEMP%, so the command
    ; returns when the work is done, with its exit code (3 when Veltrane is running).
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S _?=$INSTDIR'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; What the system's screen-saver page does when the user picks a saver: the file's short path
; (no blanks, whatever the user's folder is called) in SCRNSAVE.EXE, and screen saving on.
Section "現在のスクリーンセーバーにする" SecCurrent
    GetFullPathName /SHORT $0 "$INSTDIR\Veltrane.scr"
    ${If} $0 == ""
        StrCpy $0 "$INSTDIR\Veltrane.scr"
    ${EndIf}
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
    System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SAVE_AND_BROADCAST})'
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_PROGRAM)
    !insertmacro MUI_DESCRIPTION_TEXT ${SecCurrent} $(DESC_CURRENT)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; The uninstaller runs in one of two ways. Started plainly (the Apps list), NSIS runs a copy of
; it from %TEMP%, which can delete Uninstall.exe. The quiet command adds "_?=" and runs in place,
; so that its caller waits for the result and gets its exit code (3 when Veltrane is running);
; a running program cannot delete its own file, so that run ends by starting a copy of itself
; with /FINISH, which removes Uninstall.exe and the folder as soon as the first one has exited.
Var Finish ; "1" in the finishing copy
Var RemovePrograms ; "1" when the per-user programs folder is to go with ours

Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/FINISH=" $RemovePrograms
    ${If} ${Errors}
        Call un.RefuseWhileRunning
    ${Else}
        StrCpy $Finish 1
    ${EndIf}
FunctionEnd

; Removes Uninstall.exe (waiting up to ten seconds for the in-place run to exit), then the
; folder when it is empty, then the per-user programs folder when this installation made it.
Function un.RemoveFolder
    ${For} $0 1 100
        Delete "$INSTDIR\Uninstall.exe"
        ${IfNot} ${FileExists} "$INSTDIR\Uninstall.exe"
            ${Break}
        ${EndIf}
        Sleep 100
    ${Next}
    ; Not recursive: files the user put there stay, and so does the folder then.
    RMDir "$INSTDIR"
    ${If} $RemovePrograms = 1
        RMDir "$LOCALAPPDATA\Programs"
    ${EndIf}
FunctionEnd

Section "Uninstall"
    ${If} $Finish = 1
        Call un.RemoveFolder
        Return
    ${EndIf}
    Call un.RefuseWhileRunning
    ; Never leave the system pointing at a missing file: when the current saver is this one
    ; (in the short or the long form), set no screen saver, as the system's "(None)" does.
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    GetFullPathName /SHORT $1 "$INSTDIR\Veltrane.scr"
    ${If} $0 != ""
        ${If} $0 == "$INSTDIR\Veltrane.scr"
        ${OrIf} $0 == $1
            DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
            System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_SAVE_AND_BROADCAST})'
        ${EndIf}
    ${EndIf}

    Delete "$INSTDIR\Veltrane.scr"
    ; The settings file the program's dialog wrote beside it.
    Delete "$INSTDIR\Veltrane.ini"
    ReadRegDWORD $RemovePrograms HKCU "${UNINSTALL_KEY}" "VeltraneMadeProgramsFolder"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"

    StrCpy $0 "$INSTDIR\Uninstall.exe"
    ${If} $EXEPATH == $0
        GetTempFileName $1
        CopyFiles /SILENT "$EXEPATH" $1
        Exec '"$1" /S /FINISH=$RemovePrograms _?=$INSTDIR'
    ${Else}
        Call un.RemoveFolder
    ${EndIf}
SectionEnd
