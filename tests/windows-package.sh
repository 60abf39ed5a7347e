#!/usr/bin/env bash
# The Windows program as it is shipped: cross-builds build-windows/ as `make
# windows` does (incrementally when it is there), then checks that
# korvo-game.exe imports only DLLs that every Windows has, that it carries its
# icon, version information, manifest and every picture at 100, 150 and 200 %
# at the sizes the backend expects; that the portable zip holds the program,
# LEAME.txt and the licence as Notepad reads them; and that the installer,
# run silently under Wine, puts the program and its Start-menu entries where
# it promises, writes nothing else, and that its uninstaller takes all of it
# away again. Skipped when Wine, the cross compiler or NSIS is missing
# (tests/skip.sh).
#
# usage: windows-package.sh CMAKE SOURCE-DIR WINDOWS-BUILD RENDERER WORK-DIR VERSION PICTURE...
set -uo pipefail

cmake=$1 source=$2 build=$3 renderer=$4 work=$5 version=$6
shift 6
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
# Wine keeps the registry in these files; Wine itself changes keys of its own
# as programs run, so what is looked for is anything of the game's.
registry_mentions() { grep -il -e korvo -e tabrinex "$WINEPREFIX"/*.reg; }
# Run, then wait until Wine has nothing left running: the uninstaller goes on
# from a copy of itself in the temporary folder.
run() {
    "$wine" "$@" >>"$wine_log" 2>&1
    local status=$?
    "$wineserver" -w
    return $status
}

echo "installer:"
program=./Program\ Files/Korvo\ Game
menu=./ProgramData/Microsoft/Windows/Start\ Menu/Programs/Korvo\ Game
promised=$(printf '%s\n' "$program" "$program/korvo-game.exe" "$program/desinstalar.exe" \
    "$menu" "$menu/Korvo Game.lnk" "$menu/Desinstalar Korvo Game.lnk" | sort)

before=$(snapshot)
run "$setup" /S || fail "the installer ended with exit code $?"
after=$(snapshot)
added=$(comm -13 <(echo "$before") <(echo "$after"))
removed=$(comm -23 <(echo "$before") <(echo "$after"))
if [[ $added == "$promised" && -z $removed ]]; then
    ok "installed silently: the program and its uninstaller in Program Files, two Start-menu entries, no other file"
else
    fail "the installer changed other files than it promises (< promised, > made):"$'\n'"$(
        diff <(echo "$promised") <(echo "$added") | sed 's/^/    /')${removed:+$'\n    removed: '$removed}"
fi
mentions=$(registry_mentions)
[[ -z $mentions ]] && ok "nothing of the game in the registry" ||
    fail "the registry mentions the game: $(grep -i -e korvo -e tabrinex "$WINEPREFIX"/*.reg | head -n 5)"
cmp -s "$exe" "$drive_c/$program/korvo-game.exe" && ok "the installed program is the one built" ||
    fail "the installed korvo-game.exe differs from $exe"

# A shortcut keeps its target's path in the 8-bit code page and its icon's in
# UTF-16.
installed='C:\Program Files\Korvo Game'
leads_to() { strings "$1" | grep -qxF "$2"; }
icon_of() { strings -e l "$1" | grep -qF "$2"; }
shortcut=$drive_c/$menu/Korvo\ Game.lnk
if leads_to "$shortcut" "$installed\\korvo-game.exe" && icon_of "$shortcut" "$installed\\korvo-game.exe"; then
    ok "the Start-menu entry \"Korvo Game\" starts the installed program and shows its icon"
else
    fail "the Start-menu entry does not lead to the installed korvo-game.exe with its icon"
fi
leads_to "$drive_c/$menu/Desinstalar Korvo Game.lnk" "$installed\\desinstalar.exe" &&
    ok "the Start-menu entry \"Desinstalar Korvo Game\" starts the uninstaller" ||
    fail "the Start-menu entry \"Desinstalar Korvo Game\" does not lead to the uninstaller"

run "$installed\\desinstalar.exe" /S || fail "the uninstaller ended with exit code $?"
# The uninstaller runs from a copy of itself in the temporary folder, which
# Windows deletes when it next starts, as the uninstaller asks it to: start
# Wine's Windows again to see it go.
run wineboot -r || fail "restarting Wine's Windows ended with exit code $?"
left=$(snapshot)
if [[ $left == "$before" && -z $(registry_mentions) ]]; then
    ok "uninstalled silently: after a restart everything the installer made is gone, and nothing else"
else
    fail "after uninstalling and a restart the prefix is not as before (< before, > after):"$'\n'"$(
        diff <(echo "$before") <(echo "$left") | sed 's/^/    /')"
fi

echo "in all: $(elapsed "$started_at")"
((failures == 0)) || { echo "$failures failed; Wine's messages: $wine_log"; exit 1; }
drop_prefix
