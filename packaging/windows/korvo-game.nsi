; The Windows installer of Korvo Game: the program in Program Files and a
; Start-menu folder holding the game and its uninstaller; nothing else, not
; even a registry key. Without one Windows lists no entry in "Add or remove
; programs", so the uninstaller is in the Start menu as well as in the folder.
;
; packaging/CMakeLists.txt builds it (make windows):
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.1.1 -DPROGRAM=korvo-game.exe
;            -DICON=korvo-game.ico -DOUTFILE=korvo-game-1.1.1-setup.exe korvo-game.nsi

; A 64-bit installer for a 64-bit game: on a 32-bit Windows it does not start
; at all, as the game would not; and it runs under the 64-bit Wine the tests
; use, which cannot run 32-bit programs.
Target amd64-unicode
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include MUI2.nsh

!define PRODUCT "Korvo Game"
!define MENU "$SMPROGRAMS\${PRODUCT}"
!define UNINSTALLER "desinstalar.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; Program Files and the Start menu of every user are the administrator's.
RequestExecutionLevel admin
ManifestDPIAware true
BrandingText "Tabrinex"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SPANISH} "CompanyName" "Tabrinex"
VIAddVersionKey /LANG=${LANG_SPANISH} "LegalCopyright" "© 2026 Tabrinex"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileDescription" "Instalador de ${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductVersion" "${VERSION}"

Function .onInit
    ; The shortcuts go to the Start menu every user sees, as the program goes
    ; to the Program Files every user runs from.
    SetShellVarContext all
FunctionEnd

Section
    SetOutPath "$INSTDIR"
    File "/oname=korvo-game.exe" "${PROGRAM}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; Started in its own folder, with its own icon.
    CreateDirectory "${MENU}"
    CreateShortcut "${MENU}\${PRODUCT}.lnk" "$INSTDIR\korvo-game.exe" "" "$INSTDIR\korvo-game.exe" 0
    CreateShortcut "${MENU}\Desinstalar ${PRODUCT}.lnk" "$INSTDIR\${UNINSTALLER}"
SectionEnd

Function un.onInit
    SetShellVarContext all
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

    Delete "${MENU}\${PRODUCT}.lnk"
    Delete "${MENU}\Desinstalar ${PRODUCT}.lnk"
    RMDir "${MENU}"

    ; This runs from a copy of the uninstaller in the temporary folder, which
    ; NSIS has Windows delete when it next starts, but names the folder before
    ; the copy: named again after it, the folder goes too, empty by then.
    ${If} $EXEDIR != $INSTDIR
        RMDir /REBOOTOK "$EXEDIR"
    ${EndIf}
SectionEnd
