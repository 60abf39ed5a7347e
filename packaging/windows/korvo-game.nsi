; The Windows installer of Korvo Game, as players find well-kept programs
; installed: for every user of the computer (Program Files, an
; administrator's to allow) or only for the one installing it (a programs
; folder of their own, no administrator needed); one "Korvo Game" entry in
; the Start menu; and the entry in Windows' list of installed apps, which is
; where the game is removed from, and which an upgrade follows to where the
; game already is.
;
; packaging/CMakeLists.txt builds it (make windows):
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.1.1 -DAPP_ID=ar.com.tabrinex.KorvoGame
;            -DPROGRAM=korvo-game.exe -DICON=korvo-game.ico
;            -DOUTFILE=korvo-game-1.1.1-setup.exe korvo-game.nsi
; Silently: /S, with /AllUsers or /CurrentUser for the scope (an
; administrator's default is every user, anyone else's only themselves) and
; /D=folder last for a folder of one's own.

; A 64-bit installer for a 64-bit game: on a 32-bit Windows it does not start
; at all, as the game would not; and it runs under the 64-bit Wine the tests
; use, which cannot run 32-bit programs.
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Korvo Game"
!define PUBLISHER "Tabrinex"
!define WEBSITE "https://www.tabrinex.com.ar"
!define UNINSTALLER "desinstalar.exe"
; The entry in Windows' list of installed apps, under HKLM for every user and
; under HKCU for one.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP_ID}"

; Every user or only me, as NSIS's MultiUser offers it. Where the game is
; already installed, its scope is the default, and each scope finds the
; folder it was installed to in its own entry: InstallDirRegKey for either
; root, so an upgrade goes where the game is and leaves no second copy.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODEPAGE_TEXT_TOP "¿Para quién instalar $(^NameDA)?"
!define MULTIUSER_INSTALLMODEPAGE_TEXT_ALLUSERS "Para todos los usuarios de esta computadora (como administrador)"
!define MULTIUSER_INSTALLMODEPAGE_TEXT_CURRENTUSER "Solo para mí"
!define MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE \
    "Hace falta ser administrador para instalar $(^Name) para todos los usuarios de esta computadora."
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
ManifestDPIAware true
BrandingText "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SPANISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SPANISH} "LegalCopyright" "© 2026 ${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileDescription" "Instalador de ${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductVersion" "${VERSION}"

Function .onInit
    ; MultiUser picks each scope's folder; one given with /D= stands.
    StrCpy $R9 $INSTDIR
    !insertmacro MULTIUSER_INIT
    ${If} $R9 != ""
        StrCpy $INSTDIR $R9
    ${EndIf}
FunctionEnd

Section
    SetOutPath "$INSTDIR"
    File "/oname=korvo-game.exe" "${PROGRAM}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; One entry, in the Start menu's own list, as Windows has asked since 8:
    ; no folder, and no uninstaller beside the game (the list of installed
    ; apps removes it).
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\korvo-game.exe" "" "$INSTDIR\korvo-game.exe" 0

    ; The entry in the list of installed apps, in the scope's own root. The
    ; uninstaller is told its scope, and /S makes it quiet.
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\korvo-game.exe"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
        '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ; In kilobytes: since Windows 7 the list shows what it is told.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    ; The scope the entry told, or the one whose entry names this folder:
    ; this uninstaller removes the copy it belongs to, and that copy's entry.
    StrCpy $R9 $INSTDIR
    !insertmacro MULTIUSER_UNINIT
    ${If} $INSTDIR != $R9
        ${If} $MultiUser.InstallMode == "AllUsers"
            Call un.MultiUser.InstallMode.CurrentUser
        ${ElseIf} $MultiUser.Privileges == "Admin"
        ${OrIf} $MultiUser.Privileges == "Power"
            Call un.MultiUser.InstallMode.AllUsers
        ${EndIf}
    ${EndIf}
    StrCpy $INSTDIR $R9
FunctionEnd

Section "Uninstall"
    ; A game still open keeps its file: say so rather than leave half of it.
    ClearErrors
    Delete "$INSTDIR\korvo-game.exe"
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONEXCLAMATION "Cierre ${PRODUCT} y vuelva a desinstalarlo." /SD IDOK
        Abort
    ${EndIf}
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Only what was put there: a folder the player filled stays.
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"

    ; This runs from a copy of the uninstaller in the temporary folder, which
    ; NSIS has Windows delete when it next starts, but names the folder before
    ; the copy: named again after it, the folder goes too, empty by then.
    ${If} $EXEDIR != $INSTDIR
        RMDir /REBOOTOK "$EXEDIR"
    ${EndIf}
SectionEnd
