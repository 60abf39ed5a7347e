#!/usr/bin/env bash
# The Windows program as it is shipped: cross-builds build-windows/ as `make
# windows` does (incrementally when it is there), then checks that
# korvo-game.exe imports only DLLs that every Windows has, that it carries its
# icon, version information, manifest and every picture at 100, 150 and 200 %
# at the sizes the backend expects; that the portable zip holds the program,
# LEAME.txt and the licence as Notepad reads them; and that the installer,
# run silently under Wine for every user and for one, puts the program, its
# Start-menu entry and its entry in Windows' list of installed apps where it
# promises, writes nothing else, installs again in place, and that its
# uninstaller takes all of it away again. Skipped when Wine, the cross
# compiler or NSIS is missing (tests/skip.sh).
#
# usage: windows-package.sh CMAKE SOURCE-DIR WINDOWS-BUILD RENDERER WORK-DIR VERSION APP-ID PICTURE...
set -uo pipefail

cmake=$1 source=$2 build=$3 renderer=$4 work=$5 version=$6 app_id=$7
shift 7
pictures=("$@")

source "$(dirname "$0")/wine/wine.sh"
command -v makensis >/dev/null || skip "NSIS not installed; scripts/install-deps installs nsis"

started_at=$(now)
mkdir -p "$work"
failures=0
fail() { echo "  FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "  ok: $*"; }

# --- the build, as `make windows` makes it --------------------------------
CMAKE=$cmake cross_configure "$source" "$build" -DKORVO_HOST_RENDERER="$renderer"
if ! "$cmake" --build "$build" >"$work/build.log" 2>&1; then
    tail -n 40 "$work/build.log"
    echo "FAIL: building the Windows program ($work/build.log)"
    exit 1
fi
exe=$build/korvo-game.exe
setup=$build/korvo-game-$version-setup.exe
zip=$build/korvo-game-$version-windows-x64.zip
echo "Windows build: $(elapsed "$started_at"); korvo-game.exe $(stat -c %s "$exe") bytes," \
    "installer $(stat -c %s "$setup") bytes, portable zip $(stat -c %s "$zip") bytes"

# --- what the program needs of Windows ------------------------------------
echo "korvo-game.exe:"
# DLLs in the System32 of every Windows from 7 on. A runtime left dynamic
# (libstdc++-6.dll, libwinpthread-1.dll) is not, nor is a DLL that later
# versions added (shcore.dll came with 8.1): what only newer Windows have is
# looked up when the program runs.
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll dwmapi.dll gdi32.dll gdiplus.dll imm32.dll kernel32.dll
    msimg32.dll msvcrt.dll ntdll.dll ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll
    version.dll windowscodecs.dll winmm.dll "
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print tolower($3) }' | sort -u)
foreign=
for dll in $imports; do
    [[ $system_dlls == *[[:space:]]"$dll"[[:space:]]* ]] || foreign+=" $dll"
done
if [[ -z $imports ]]; then
    fail "objdump found no imports at all"
elif [[ -n $foreign ]]; then
    fail "imports DLLs Windows does not have:$foreign (all: $(echo $imports))"
else
    ok "imports only Windows' own DLLs: $(echo $imports)"
fi

# The resources, as windres reads them back out of the executable.
resources=$work/resources.rc
x86_64-w64-mingw32-windres -i "$exe" -O rc -o "$resources" 2>"$work/windres.log" ||
    { cat "$work/windres.log"; fail "windres cannot read the resources"; }
has() { grep -qF -- "$1" "$resources"; }
if has "1 14 /* RT_GROUP_ICON */" && [[ $(grep -c "3 /\* RT_ICON \*/" "$resources") -eq 4 ]]; then
    ok "icon 1, with 16, 32, 48 and 256 pixel images"
else
    fail "no icon 1 with four images"
fi
IFS=. read -r major minor patch <<<"$version"
if has "FILEVERSION $major, $minor, $patch, 0" && has "VALUE \"FileVersion\", \"$version\"" &&
    has "VALUE \"ProductName\", \"Korvo Game\""; then
    ok "version information $version"
else
    fail "version information is not Korvo Game $version"
fi
manifest_ok=1
for part in '1 24 /* RT_MANIFEST */' 'true/pm</dpiAware>' 'PerMonitorV2,PerMonitor</dpiAwareness>' \
    'name=""Microsoft.Windows.Common-Controls"" version=""6.0.0.0""' \
    '<supportedOS Id=""{35138b9a-5d96-4fbd-8e2d-a2440225f93a}""/>' \
    '<supportedOS Id=""{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}""/>'; do
    has "$part" || { fail "the manifest lacks $part"; manifest_ok=0; }
done
((manifest_ok)) && ok "manifest: per-monitor DPI v2, Common Controls 6, Windows 7 to 11"

# Every picture at its three scales, each a PNG with transparency exactly its
# natural size (the SVG's width and height) times the scale, rounded.
missing=() wrong=()
for name in "${pictures[@]}"; do
    svg=$source/assets/$name.svg
    width=$(sed -n 's/.*<svg[^>]* width="\([0-9]*\)".*/\1/p' "$svg" | head -n 1)
    height=$(sed -n 's/.*<svg[^>]* height="\([0-9]*\)".*/\1/p' "$svg" | head -n 1)
    for percent in 100 150 200; do
        # Windows keeps resource names in capitals and finds them regardless of case.
        has "\"${name^^}@$percent\" RCDATA" || missing+=("$name@$percent")
        png=$build/artwork/$name@$percent.png
        w=$(((width * percent + 50) / 100)) h=$(((height * percent + 50) / 100))
        [[ $(file -b "$png") == "PNG image data, $w x $h, 8-bit/color RGBA,"* ]] ||
            wrong+=("$name@$percent is $(file -b "$png" | cut -d, -f2,3), not $w x $h RGBA")
    done
done
[[ ${#missing[@]} -eq 0 ]] || fail "pictures missing from the resources: ${missing[*]}"
[[ ${#wrong[@]} -eq 0 ]] || fail "pictures drawn wrong: ${wrong[*]}"
[[ ${#missing[@]} -eq 0 && ${#wrong[@]} -eq 0 ]] &&
    ok "${#pictures[@]} pictures at 100, 150 and 200 %, each at its size"

# --- the portable zip -----------------------------------------------------
echo "portable zip:"
unpacked=$work/portable
rm -rf "$unpacked"
mkdir -p "$unpacked"
folder=korvo-game-$version
if ! (cd "$unpacked" && "$cmake" -E tar xf "$zip"); then
    fail "$zip does not unpack"
elif [[ $(cd "$unpacked" && find . -type f | sort) != "$(printf "./$folder/%s\n" LEAME.txt LICENCIA.txt \
    korvo-game.exe | sort)" ]]; then
    fail "the zip holds other files than korvo-game.exe, LEAME.txt and LICENCIA.txt in $folder/: $(
        cd "$unpacked" && find . -type f | sort | tr '\n' ' ')"
else
    ok "the program, LEAME.txt and LICENCIA.txt in $folder/"
fi
cmp -s "$exe" "$unpacked/$folder/korvo-game.exe" && ok "its program is the one built" ||
    fail "the zip's korvo-game.exe differs from $exe"
# Notepad's way: UTF-8 with its mark, lines ending in CR LF.
for text in LEAME.txt LICENCIA.txt; do
    file=$unpacked/$folder/$text
    if [[ -f $file && $(head -c 3 "$file" | od -An -tx1 | tr -d ' ') == efbbbf ]] &&
        ! tr -d '\r' <"$file" | cmp -s - "$file" && [[ $(grep -c $'[^\r]$' "$file") -eq 0 ]] &&
        iconv -f UTF-8 -t UTF-8 "$file" >/dev/null 2>&1; then
        ok "$text is UTF-8 with its mark, every line ending in CR LF"
    else
        fail "$text is not UTF-8 with its mark and CR LF line ends"
    fi
done
grep -qF "Korvo Game $version" "$unpacked/$folder/LEAME.txt" && grep -qF "korvo-game.exe" "$unpacked/$folder/LEAME.txt" &&
    ok "LEAME.txt names the game, its version and its program" ||
    fail "LEAME.txt does not name Korvo Game $version and korvo-game.exe"
licence=$(sed -n '/^License: LicenseRef-proprietary/,/^$/{s/^ //p}' "$source/packaging/debian/copyright")
tr -d '\r' <"$unpacked/$folder/LICENCIA.txt" | grep -qF "$licence" &&
    ok "LICENCIA.txt holds the licence of packaging/debian/copyright" ||
    fail "LICENCIA.txt lacks the licence of packaging/debian/copyright"

# --- the installer under Wine ----------------------------------------------
prefix_at=$(now)
unset DISPLAY WAYLAND_DISPLAY
fresh_prefix "$work/prefix" "$work/wine.log"
trap '"$wineserver" -k >/dev/null 2>&1' EXIT
echo "Wine prefix: $(elapsed "$prefix_at")"

drive_c=$WINEPREFIX/drive_c
snapshot() { (cd "$drive_c" && find . | sort); } # every file and folder of drive C:
# Run, then wait until Wine has nothing left running: the uninstaller goes on
# from a copy of itself in the temporary folder.
run() {
    "$wine" "$@" >>"$wine_log" 2>&1
    local status=$?
    "$wineserver" -w
    return $status
}
under_c() { # a Windows path on C: as this script sees it from drive_c
    local path=${1#C:\\}
    printf './%s' "${path//\\//}"
}
windows_variable() { "$wine" cmd /c echo "%$1%" 2>>"$wine_log" | tr -d '\r'; }

key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$app_id"
value_of() { # root, value name: the value's data as `reg query` shows it
    "$wine" reg query "$1\\$key" /v "$2" 2>>"$wine_log" | tr -d '\r' |
        sed -n "s/^    $2    REG_[A-Z_]*    //p"
}
has_entry() { "$wine" reg query "$1\\$key" >/dev/null 2>&1; }
# Wine keeps the registry in these files; Wine itself changes keys of its own
# as programs run, so what is looked for is anything of the game's: the keys
# that mention it.
registry_mentions() {
    awk '/^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key) }
        tolower($0) ~ /korvo|tabrinex/ { print FILENAME ": " key }' "$WINEPREFIX"/*.reg | sort -u
}
# Windows starts the game from the Start menu: the shortcut's target is
# stored in the 8-bit code page, its icon in UTF-16.
leads_to() { strings "$1" | grep -qxF "$2"; }
icon_of() { strings -e l "$1" | grep -qF "$2"; }
# Removing the game as Windows' list of installed apps does it, silently.
uninstall_quietly() { # root
    local command program arguments
    command=$(value_of "$1" QuietUninstallString)
    program=${command#\"}
    program=${program%%\"*}
    arguments=${command#\"$program\"}
    # shellcheck disable=SC2086 # the arguments are words, as Windows splits them
    run "$program" $arguments || fail "the uninstaller ($command) ended with exit code $?"
    # Windows deletes the uninstaller's copy in the temporary folder when it
    # next starts, as the uninstaller asks it to: start Wine's Windows again
    # to see it go.
    run wineboot -r || fail "restarting Wine's Windows ended with exit code $?"
}

# The known folders of each scope, as this prefix has them.
local_appdata=$(windows_variable LOCALAPPDATA)
appdata=$(windows_variable APPDATA)
[[ $local_appdata == C:\\* && $appdata == C:\\* ]] ||
    fail "Wine does not tell %LOCALAPPDATA% and %APPDATA% ($local_appdata, $appdata)"
user_programs=$(under_c "$local_appdata\\Programs")

# installed SCOPE ROOT FOLDER MENU: the entry, the files and the shortcut of
# the game installed for SCOPE (AllUsers, CurrentUser) into FOLDER, with its
# Start-menu entry in MENU, against the snapshot in $before.
installed() {
    local scope=$1 root=$2 folder=$3 menu=$4 other=HKCU
    [[ $root == HKCU ]] && other=HKLM
    local promised added removed
    promised=$(printf '%s\n' "$(under_c "$folder")" "$(under_c "$folder")/korvo-game.exe" \
        "$(under_c "$folder")/desinstalar.exe" "$(under_c "$menu")/Korvo Game.lnk")
    # The per-user programs folder is Windows' own: made for the first
    # program that goes there.
    [[ $folder == "$local_appdata\\Programs\\"* ]] && ! grep -qxF "$user_programs" <<<"$before" &&
        promised+=$'\n'$user_programs
    promised=$(sort <<<"$promised")
    added=$(comm -13 <(echo "$before") <(snapshot))
    removed=$(comm -23 <(echo "$before") <(snapshot))
    if [[ $added == "$promised" && -z $removed ]]; then
        ok "$scope: the program and its uninstaller in $folder, one Start-menu entry, no other file"
    else
        fail "$scope: the installer changed other files than it promises (< promised, > made):"$'\n'"$(
            diff <(echo "$promised") <(echo "$added") | sed 's/^/    /')${removed:+$'\n    removed: '$removed}"
    fi
    cmp -s "$exe" "$drive_c/$(under_c "$folder")/korvo-game.exe" && ok "$scope: the installed program is the one built" ||
        fail "$scope: the installed korvo-game.exe differs from $exe"
    local shortcut=$drive_c/$(under_c "$menu")/Korvo\ Game.lnk
    if leads_to "$shortcut" "$folder\\korvo-game.exe" && icon_of "$shortcut" "$folder\\korvo-game.exe"; then
        ok "$scope: the Start-menu entry \"Korvo Game\" starts the installed program and shows its icon"
    else
        fail "$scope: the Start-menu entry does not lead to the installed korvo-game.exe with its icon"
    fi

    # The entry Windows lists, in the scope's own root, and none in the other.
    local mentions
    mentions=$(registry_mentions)
    local store=system.reg
    [[ $root == HKCU ]] && store=user.reg
    if [[ $mentions == "$WINEPREFIX/$store: [${key//\\/\\\\}]"* && $(wc -l <<<"$mentions") -eq 1 ]]; then
        ok "$scope: the registry holds the game's entry in $root and nothing else of it"
    else
        fail "$scope: the registry mentions the game elsewhere than its entry in $root:"$'\n'"$(sed 's/^/    /' <<<"$mentions")"
    fi
    has_entry "$other" && fail "$scope: an entry in $other too"
    echo "  $root\\$key:"
    "$wine" reg query "$root\\$key" 2>>"$wine_log" | tr -d '\r' | sed -n 's/^    /      /p'
    local uninstaller="\"$folder\\desinstalar.exe\" /$scope"
    local bytes kilobytes size
    bytes=$(($(stat -c %s "$drive_c/$(under_c "$folder")/korvo-game.exe") +
        $(stat -c %s "$drive_c/$(under_c "$folder")/desinstalar.exe")))
    kilobytes=$((bytes / 1024))
    size=$(value_of "$root" EstimatedSize)
    local wrong=()
    [[ $(value_of "$root" DisplayName) == "Korvo Game" ]] || wrong+=(DisplayName)
    [[ $(value_of "$root" DisplayIcon) == "$folder\\korvo-game.exe" ]] || wrong+=(DisplayIcon)
    [[ $(value_of "$root" DisplayVersion) == "$installed_version" ]] || wrong+=(DisplayVersion)
    [[ $(value_of "$root" Publisher) == Tabrinex ]] || wrong+=(Publisher)
    [[ $(value_of "$root" InstallLocation) == "$folder" ]] || wrong+=(InstallLocation)
    [[ $(value_of "$root" UninstallString) == "$uninstaller" ]] || wrong+=(UninstallString)
    [[ $(value_of "$root" QuietUninstallString) == "$uninstaller /S" ]] || wrong+=(QuietUninstallString)
    [[ $(value_of "$root" URLInfoAbout) == "https://www.tabrinex.com.ar" ]] || wrong+=(URLInfoAbout)
    [[ $(value_of "$root" NoModify) == 0x1 ]] || wrong+=(NoModify)
    [[ $(value_of "$root" NoRepair) == 0x1 ]] || wrong+=(NoRepair)
    # Counted a file at a time, each rounded down.
    [[ $size == 0x* ]] && ((size >= kilobytes - 1 && size <= kilobytes)) ||
        wrong+=("EstimatedSize ($size, not $kilobytes KB)")
    if [[ ${#wrong[@]} -eq 0 ]]; then
        ok "$scope: the entry names the game, its version, publisher, place, size and quoted uninstaller"
    else
        fail "$scope: wrong in the entry: ${wrong[*]}"
    fi
}

# gone SCOPE: after uninstalling and a restart, the prefix is as in $pristine.
gone() {
    local left
    left=$(snapshot)
    # Windows' per-user programs folder stays, as Windows itself keeps it.
    grep -qxF "$user_programs" <<<"$pristine" || left=$(grep -vxF "$user_programs" <<<"$left")
    if [[ $left == "$pristine" && -z $(registry_mentions) ]]; then
        ok "$1: uninstalled silently: after a restart every file and key the installer made is gone, and nothing else"
    else
        fail "$1: after uninstalling and a restart the prefix is not as before (< before, > after):"$'\n'"$(
            diff <(echo "$pristine") <(echo "$left") | sed 's/^/    /')"$'\n'"$(registry_mentions | sed 's/^/    /')"
    fi
}

# A newer version's installer, made from the same script.
newer=$work/korvo-game-9.9.9-setup.exe
makensis -V1 -NOCONFIG -INPUTCHARSET UTF8 -DVERSION=9.9.9 "-DAPP_ID=$app_id" "-DPROGRAM=$exe" \
    "-DICON=$build/artwork/korvo-game.ico" "-DOUTFILE=$newer" "$source/packaging/windows/korvo-game.nsi" \
    >>"$wine_log" 2>&1 || fail "making a newer version's installer"

echo "installer:"
pristine=$(snapshot)
installed_version=$version
all_users='C:\Program Files\Korvo Game'
common_menu='C:\ProgramData\Microsoft\Windows\Start Menu\Programs'
user_menu="$appdata\\Microsoft\\Windows\\Start Menu\\Programs"

# For every user, as an administrator chooses (Wine's user is one).
before=$pristine
run "$setup" /AllUsers /S || fail "the installer (/AllUsers) ended with exit code $?"
installed AllUsers HKLM "$all_users" "$common_menu"
# The same version again, without a word of scope: where the game is.
upgraded_from=$(snapshot)
run "$setup" /S || fail "the installer, run again, ended with exit code $?"
[[ $(snapshot) == "$upgraded_from" ]] && ok "AllUsers: installed again in place: one copy, one Start-menu entry" ||
    fail "AllUsers: installing again changed the files: $(diff <(echo "$upgraded_from") <(snapshot) | tr '\n' ' ')"
installed AllUsers HKLM "$all_users" "$common_menu"
# A newer version over it: the same one entry, now of that version.
run "$newer" /S || fail "the newer version's installer ended with exit code $?"
[[ $(snapshot) == "$upgraded_from" ]] && ok "AllUsers: a newer version installed in place: one copy, one Start-menu entry" ||
    fail "AllUsers: the newer version changed the files: $(diff <(echo "$upgraded_from") <(snapshot) | tr '\n' ' ')"
installed_version=9.9.9
installed AllUsers HKLM "$all_users" "$common_menu"
installed_version=$version
uninstall_quietly HKLM
gone AllUsers

# Only for me: in the user's own programs folder, no administrator asked.
run "$setup" /CurrentUser /S || fail "the installer (/CurrentUser) ended with exit code $?"
installed CurrentUser HKCU "$local_appdata\\Programs\\Korvo Game" "$user_menu"
uninstall_quietly HKCU
gone CurrentUser

# A folder of one's own, then an upgrade that is told nothing: it finds the
# game's scope and folder in the entry, and leaves no second copy behind.
custom='C:\Juegos\Korvo Game'
mkdir -p "$drive_c/Juegos" # the player's own folder of games
before=$(snapshot)
pristine=$before
# /D= takes the rest of the command line as it stands, spaces and all, never
# quoted: through cmd, as a player would type it.
run cmd /c "Z:${setup//\//\\} /CurrentUser /S /D=$custom" ||
    fail "the installer (/CurrentUser /D=) ended with exit code $?"
installed CurrentUser HKCU "$custom" "$user_menu"
upgraded_from=$(snapshot)
run "$setup" /S || fail "the installer, run again, ended with exit code $?"
[[ $(snapshot) == "$upgraded_from" ]] &&
    ok "CurrentUser: installed again into $custom, where the game was: one copy, one Start-menu entry" ||
    fail "CurrentUser: installing again changed the files: $(diff <(echo "$upgraded_from") <(snapshot) | tr '\n' ' ')"
installed CurrentUser HKCU "$custom" "$user_menu"
# Its own uninstaller, started from its folder without a word of scope,
# finds which entry is its own.
run "$custom\\desinstalar.exe" /S || fail "the uninstaller ended with exit code $?"
run wineboot -r || fail "restarting Wine's Windows ended with exit code $?"
gone "CurrentUser, from its folder"

echo "in all: $(elapsed "$started_at")"
((failures == 0)) || { echo "$failures failed; Wine's messages: $wine_log"; exit 1; }
drop_prefix
