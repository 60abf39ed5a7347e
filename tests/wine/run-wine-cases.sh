#!/usr/bin/env bash
# Runs the system information launcher's Windows code under Wine, against a
# real registry: builds it with the MinGW-w64 cross compiler, makes a
# throwaway Wine prefix, and for each case writes the registry with `reg
# add`, presses the About dialog's button once (sysinfo-driver.exe) and
# checks what was started, what the player was told and which keys were
# opened and closed. Skipped when Wine or the cross compiler is missing
# (tests/skip.sh).
#
# usage: run-wine-cases.sh CMAKE SOURCE-DIR WORK-DIR
set -uo pipefail

cmake=$1
source=$2
work=$3

source "$(dirname "$0")/wine.sh"

started_at=$(now)
mkdir -p "$work"
build=$work/build

# --- the Windows programs -------------------------------------------------
CMAKE=$cmake cross_configure "$source" "$build"
"$cmake" --build "$build" >"$work/build.log" 2>&1 ||
    { cat "$work/build.log"; echo "FAIL: building the Windows programs"; exit 1; }
echo "Windows build: $(elapsed "$started_at")"

# --- a throwaway prefix, one for every case ---------------------------------
prefix_at=$(now)
# Wine takes its 8-bit code page from the locale: fixed (Windows-1252), so
# on every machine the accented folder below lies inside it and the Cyrillic
# one outside it, where only the UTF-16 calls can reach it.
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
fresh_prefix "$work/prefix" "$work/wine.log"
# One server for all the cases. A key's access list lives only in the
# running server, so the read-only case needs it to stay up; it ends by
# itself a minute after the last program even if this script is killed.
"$wineserver" -p60 >>"$wine_log" 2>&1
trap '"$wineserver" -k >/dev/null 2>&1' EXIT
echo "Wine prefix: $(elapsed "$prefix_at")"

drive_c=$WINEPREFIX/drive_c
winpath() { # a Linux path as Wine's Z: drive sees it
    local path=${1//\//\\}
    printf 'Z:%s' "$path"
}

# The stand-in tool, placed where each case needs it. Its marker,
# "<exe>.started", holds the command line it was given.
tools_dir="Korvo Test\\Herramientas del sistema"
folder_dir="Korvo Test\\Carpeta MSINFO"
empty_dir="Korvo Test\\Sin herramienta"
amp_dir="Korvo Test\\Uno & dos"
accent_dir="Korvo Test\\Información del sistema"
cyrillic_dir="Korvo Test\\Сведения о системе"
decoy_dir="Korvo Test\\Carpeta con carpeta"
intruder_dir="intruso"
place() { # folder under C:, file name
    local dir=$drive_c/${1//\\//}
    mkdir -p "$dir"
    [[ -n $2 ]] && cp "$build/msinfo-helper.exe" "$dir/$2"
}
place "$tools_dir" msinfo-helper.exe
place "$folder_dir" MSINFO32.EXE
place "$empty_dir" ""
place "$amp_dir" msinfo-helper.exe
place "$intruder_dir" intruso.exe
place "$accent_dir" MSINFO32.EXE
place "$cyrillic_dir" MSINFO32.EXE
cp "$build/msinfo-helper.exe" "$drive_c/${cyrillic_dir//\\//}/msinfo-helper.exe"
# A folder that only carries the tool's name.
place "$decoy_dir\\MSINFO32.EXE" ""
tool_path="C:\\$tools_dir\\msinfo-helper.exe"

markers() { find "$drive_c/Korvo Test" "$drive_c/$intruder_dir" -name '*.started' | sort; }
marker_of() { # Windows path of an exe -> Linux path of its marker
    local path=${1#C:\\}
    printf '%s/%s.started' "$drive_c" "${path//\\//}"
}

first_key='SOFTWARE\Microsoft\Shared Tools\MSINFO'
second_key='SOFTWARE\Microsoft\Shared Tools Location'
message='System Information Is Unavailable At This Time'

run_dir=$work/run
mkdir -p "$run_dir"
record=$run_dir/record.txt

reg() {
    echo "reg $*" >>"$wine_log"
    "$wine" reg "$@" >>"$wine_log" 2>&1
}

keys_gone() {
    ! reg query "HKLM\\$first_key" && ! reg query "HKLM\\$second_key"
}

clear_registry() {
    # Deleting a key that is not there fails; either way it is gone. A fresh
    # prefix creates the first key itself (wine.inf), and Wine may still be
    # finishing that setup behind the first programs on a busy machine: make
    # sure the keys are really gone before a case starts.
    local attempt
    for ((attempt = 0; attempt < 10; attempt++)); do
        reg delete "HKLM\\$first_key" /f
        reg delete "HKLM\\$second_key" /f
        keys_gone && break
        sleep 0.5
    done
    # The intruder's marker stays: it must never appear, however late.
    rm -f "$drive_c/Korvo Test"/*/*.started
}

# --- checks ---------------------------------------------------------------
passed=0
failed=0
case_name=
case_ok=1

begin_case() {
    case_name=$1
    case_ok=1
    clear_registry
}

check() { # description, then a command that must succeed
    local what=$1
    shift
    if ! "$@"; then
        echo "  FAIL: $case_name: $what"
        case_ok=0
    fi
}

setup() { # a registry write or file change a case depends on
    check "setting up: $*" "$@"
}

end_case() {
    if ((case_ok)); then
        echo "  ok: $case_name"
        passed=$((passed + 1))
    else
        echo "  ---- what the launcher did ----"
        sed 's/^/  | /' "$record"
        failed=$((failed + 1))
    fi
}

press_button() {
    rm -f "$record"
    # An empty working folder, so a relative path finds nothing by chance.
    # The record is in UTF-8, as the launcher's texts are.
    (cd "$run_dir" && "$wine" "$build/sysinfo-driver.exe" "$(winpath "$record")") \
        >>"$wine_log" 2>&1
    check "the driver ran and wrote its record" test -s "$record"
    [[ -f $record ]] || : >"$record"

    # Whatever the case: only read access asked for, each opened key closed
    # exactly once and successfully, no key closed that was not opened.
    check "keys opened read-only under HKEY_LOCAL_MACHINE" awk '
        /^open / && !/^open 0x80000002 .* options=0 access=0x20019 -> / { bad = 1 }
        END { exit bad }' "$record"
    # (A closed handle's number may come back from the next open.)
    check "every opened key closed once, nothing else closed" awk '
        /^open .* -> 0 handle=/ { split($NF, h, "="); if (open[h[2]]++) bad = 1 }
        /^close / { if (!open[$2] || $4 != 0) bad = 1; open[$2] = 0 }
        END { for (k in open) if (open[k]) bad = 1; exit bad }' "$record"
}

has_line() { grep -qxF -- "$1" "$record"; }
has_prefix() {
    local line
    while IFS= read -r line; do
        [[ $line == "$1"* ]] && return 0
    done <"$record"
    return 1
}
has_match() { grep -qE -- "$1" "$record"; }
lacks_match() { ! grep -qE -- "$1" "$record"; }

wait_for_file() { # up to 30 s: Wine can be slow to start a program on a busy machine
    local i
    for ((i = 0; i < 300; i++)); do
        [[ -f $1 ]] && return 0
        sleep 0.1
    done
    return 1
}

marker_says() { # marker, expected command line
    [[ $(<"$1") == "$2" ]]
}

expect_started() { # Windows path of the exe that must run, alone
    local exe=$1 marker
    marker=$(marker_of "$exe")
    check "no message shown" lacks_match '^message '
    check "started $exe" has_line "start $exe -> started"
    check "$exe left its marker" wait_for_file "$marker"
    [[ -f $marker ]] && check "$exe got its own quoted path as command line" \
        marker_says "$marker" "\"$exe\""
    check "nothing else started" test "$(markers)" == "$marker"
}

expect_message() {
    check "the message shown once" test "$(grep -c '^message ' "$record")" == 1
    check "the message text" has_line "message $message"
    check "nothing started" lacks_match ' -> started$'
    check "no marker left" test -z "$(markers)"
}

# --- cases ----------------------------------------------------------------
cases_at=$(now)
echo "Wine cases:"

begin_case "full path with spaces in PATH"
setup reg add "HKLM\\$first_key" /v PATH /t REG_SZ /d "$tool_path" /f
setup reg add "HKLM\\$second_key" /v MSINFO /t REG_SZ /d "C:\\$folder_dir" /f
press_button
expect_started "$tool_path"
check "the folder key not read" lacks_match "^open .*Shared Tools Location"
end_case

begin_case "only the folder, tool in it"
setup reg add "HKLM\\$second_key" /v MSINFO /t REG_SZ /d "C:\\$folder_dir" /f
press_button
check "looked the tool up in the folder" \
    has_line "dir C:\\$folder_dir\\MSINFO32.EXE -> MSINFO32.EXE"
expect_started "C:\\$folder_dir\\MSINFO32.EXE"
end_case

begin_case "only the folder, tool not in it"
setup reg add "HKLM\\$second_key" /v MSINFO /t REG_SZ /d "C:\\$empty_dir" /f
press_button
check "looked the tool up in the folder" has_line "dir C:\\$empty_dir\\MSINFO32.EXE -> "
expect_message
check "no start tried" lacks_match '^start '
end_case

begin_case "only the folder, a folder named like the tool in it"
setup reg add "HKLM\\$second_key" /v MSINFO /t REG_SZ /d "C:\\$decoy_dir" /f
press_button
check "a folder is not the tool" has_line "dir C:\\$decoy_dir\\MSINFO32.EXE -> "
expect_message
check "no start tried" lacks_match '^start '
end_case

# Read and handed back in UTF-16: the names must survive, in the 8-bit code
# page or outside it.
begin_case "only the folder, accented folder name"
setup reg add "HKLM\\$second_key" /v MSINFO /t REG_SZ /d "C:\\$accent_dir" /f
press_button
expect_started "C:\\$accent_dir\\MSINFO32.EXE"
end_case

begin_case "PATH in a Cyrillic folder, outside the 8-bit code page"
setup reg add "HKLM\\$first_key" /v PATH /t REG_SZ /d "C:\\$cyrillic_dir\\msinfo-helper.exe" /f
press_button
expect_started "C:\\$cyrillic_dir\\msinfo-helper.exe"
end_case

# Windows' own tools store their places with %SystemRoot% and the like.
begin_case "PATH an expandable string"
setup reg add "HKLM\\$first_key" /v PATH /t REG_EXPAND_SZ /d "%SystemDrive%\\$tools_dir\\msinfo-helper.exe" /f
press_button
check "expanded" has_line "expand %SystemDrive%\\$tools_dir\\msinfo-helper.exe -> $tool_path"
expect_started "$tool_path"
end_case

begin_case "only the folder, expandable and Cyrillic"
setup reg add "HKLM\\$second_key" /v MSINFO /t REG_EXPAND_SZ /d "%SystemDrive%\\$cyrillic_dir" /f
press_button
check "looked the tool up in the expanded folder" \
    has_line "dir C:\\$cyrillic_dir\\MSINFO32.EXE -> MSINFO32.EXE"
expect_started "C:\\$cyrillic_dir\\MSINFO32.EXE"
end_case

# An empty path names nothing; the folder is the next place to look.
begin_case "PATH an empty string, the folder holding the tool"
setup reg add "HKLM\\$first_key" /v PATH /t REG_SZ /d "" /f
setup reg add "HKLM\\$second_key" /v MSINFO /t REG_SZ /d "C:\\$folder_dir" /f
press_button
check "read a string of no text" has_match '^query .* PATH .* -> 0 type=1 size=1$'
expect_started "C:\\$folder_dir\\MSINFO32.EXE"
end_case

begin_case "neither key"
setup keys_gone
press_button
check "both keys tried" test "$(grep -c '^open .* -> 2$' "$record")" == 2
check "no file looked up, no start tried" lacks_match '^(dir|start) '
expect_message
end_case

begin_case "both keys, neither value"
setup reg add "HKLM\\$first_key" /f
setup reg add "HKLM\\$second_key" /f
press_button
check "both values asked for and missing" test "$(grep -c '^query .* -> 2 ' "$record")" == 2
expect_message
end_case

# `reg add` cannot write a string of no bytes at all; an import can.
begin_case "PATH of size 0"
empty_value=$run_dir/empty-value.reg
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\%s]\r\n"PATH"=hex(1):\r\n' "${first_key//\\/\\\\}" \
    >"$empty_value"
setup reg import "$(winpath "$empty_value")"
# The folder would find the tool, but an empty value ends the search.
setup reg add "HKLM\\$second_key" /v MSINFO /t REG_SZ /d "C:\\$folder_dir" /f
press_button
check "read a string of size 0" has_match '^query .* PATH .* -> 0 type=1 size=0$'
check "the folder key was not tried" test "$(grep -c '^open ' "$record")" == 1
expect_message
end_case

# Refused by the registry rather than cut short; the folder is the way left.
begin_case "PATH longer than the buffer"
long_path="C:\\$(printf 'x%.0s' {1..1100}).exe"
setup reg add "HKLM\\$first_key" /v PATH /t REG_SZ /d "$long_path" /f
setup reg add "HKLM\\$second_key" /v MSINFO /t REG_SZ /d "C:\\$folder_dir" /f
press_button
check "told the value does not fit" has_match '^query .* PATH size-in=1024 -> 234 '
expect_started "C:\\$folder_dir\\MSINFO32.EXE"
end_case

begin_case "PATH holding a 32-bit number"
setup reg add "HKLM\\$first_key" /v PATH /t REG_DWORD /d 4294967294 /f
press_button
check "read as unsigned decimal, which names no program" \
    has_match '^start 4294967294 -> refused'
expect_message
end_case

begin_case "PATH with & in a real folder name"
setup reg add "HKLM\\$first_key" /v PATH /t REG_SZ /d "C:\\$amp_dir\\msinfo-helper.exe" /f
press_button
expect_started "C:\\$amp_dir\\msinfo-helper.exe"
end_case

# To a shell this text is three commands, the last two the intruder.
injected="$tool_path & C:\\$intruder_dir\\intruso.exe | C:\\$intruder_dir\\intruso.exe"
begin_case "PATH with & and | runs nothing else"
setup reg add "HKLM\\$first_key" /v PATH /t REG_SZ /d "$injected" /f
press_button
check "the whole text tried as one file name" has_prefix "start $injected -> refused"
expect_message
end_case

# Last: nothing in this server can open the key for writing again, not even
# `reg delete`.
begin_case "read-only key"
setup reg add "HKLM\\$first_key" /v PATH /t REG_SZ /d "$tool_path" /f
"$wine" "$build/keyguard.exe" "$first_key" >"$run_dir/keyguard.txt" 2>>"$wine_log"
guard=$?
cat "$run_dir/keyguard.txt" >>"$wine_log"
if ((guard == 3)); then
    echo "  note: this Wine grants write access to a key whose access list allows only reading"
fi
check "the key refuses read-write access and allows reading (keyguard exit $guard)" test "$guard" == 0
press_button
expect_started "$tool_path"
"$wine" "$build/keyguard.exe" --check "$first_key" >>"$wine_log" 2>&1
guard=$?
check "the key stayed read-only throughout (keyguard exit $guard)" test "$guard" == 0
end_case

# Checked after a later case has waited for its own tool to start: an
# intruder started by the case above would have run by now.
intruder_marker=$(marker_of "C:\\$intruder_dir\\intruso.exe")
if [[ -e $intruder_marker ]]; then
    echo "  FAIL: the intruder ran: $(<"$intruder_marker")"
    failed=$((failed + 1))
else
    # The other half of that case: a shell given the same text does start
    # the intruder, so a launcher that went through one would have failed it.
    "$wine" cmd /c "$injected" >>"$wine_log" 2>&1
    if wait_for_file "$intruder_marker"; then
        echo "  ok: a shell given the same PATH starts the intruder"
        passed=$((passed + 1))
    else
        echo "  FAIL: cmd /c did not start the intruder: the & | case proves nothing"
        failed=$((failed + 1))
    fi
fi

echo "Wine cases: $(elapsed "$cases_at"); in all: $(elapsed "$started_at")"
echo "$passed passed, $failed failed"
((failed == 0)) || { echo "Wine's messages: $wine_log"; exit 1; }
# The prefix is large (Wine copies its DLLs in); keep it only to look at a failure.
"$wineserver" -k >/dev/null 2>&1
"$wineserver" -w
rm -rf "$WINEPREFIX"
