#!/usr/bin/env bash
# The Debian package unpacked into a scratch root: every file where a desktop
# looks for it, the icons at their sizes, one id throughout, dependencies
# from the linked libraries plus the fonts, the licence and changelog every
# Debian package carries; and lintian, pedantic, says nothing but what is
# accepted below.
set -u
source "$(dirname "$0")/skip.sh"
build=$1 app_id=$2 version=$3

debs=("$build"/korvo-game_"$version"_*.deb)
if [[ ! -f ${debs[0]} ]]; then
    skip "no package in $build (make package builds it)"
fi
deb=${debs[0]}
# In the build tree: -x means nothing on a /tmp mounted noexec.
root=$(mktemp -d -p "$build" package-root.XXXXXX)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root" || { echo "FAIL: cannot unpack $deb"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
field() { dpkg-deb -f "$deb" "$1"; }

[[ $(field Package) == korvo-game ]] || fail "package name is $(field Package)"
[[ $(field Version) == "$version" ]] || fail "version is $(field Version)"
depends=$(field Depends)
for dependency in libqt6widgets6 libqt6gui6 libqt6svg6 libqt6core6 libstdc++6 \
    fonts-liberation2 fonts-comic-neue fonts-roboto-unhinted; do
    [[ $depends == *"$dependency"* ]] || fail "Depends lacks $dependency: $depends"
done

share=$root/usr/share
doc=usr/share/doc/korvo-game
expected=(
    usr/bin/korvo-game
    usr/games/korvo-game
    "$doc/copyright"
    "$doc/changelog.gz"
    usr/share/man/man6/korvo-game.6.gz
    "usr/share/applications/$app_id.desktop"
    "usr/share/metainfo/$app_id.metainfo.xml"
    "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
)
for size in 16 32 48 128; do
    icon="usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    expected+=("$icon")
    [[ $(file -b "$root/$icon") == "PNG image data, $size x $size,"* ]] ||
        fail "$icon is not a $size x $size PNG: $(file -b "$root/$icon")"
done
[[ -x $root/usr/games/korvo-game ]] || fail "usr/games/korvo-game is not executable"
[[ $(readlink "$root/usr/bin/korvo-game") == ../games/korvo-game ]] || fail "usr/bin/korvo-game does not lead to the game"

# Exactly those files, nothing else (no tests, no build helpers).
actual=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[[ $actual == "$wanted" ]] || fail "files differ from the expected layout:$(diff <(echo "$wanted") <(echo "$actual"))"

entry=$share/applications/$app_id.desktop
grep -qx "Exec=korvo-game" "$entry" || fail "desktop entry does not start korvo-game"
grep -qx "Icon=$app_id" "$entry" || fail "desktop entry icon is not $app_id"
metainfo=$share/metainfo/$app_id.metainfo.xml
grep -q "<id>$app_id</id>" "$metainfo" || fail "metainfo id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $app_id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"

# The copyright file in Debian's machine-readable format, naming the maker.
copyright=$root/$doc/copyright
[[ $(head -n 1 "$copyright") == "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ]] ||
    fail "copyright is not in the machine-readable format"
grep -qx "Upstream-Name: Korvo Game" "$copyright" || fail "copyright does not name Korvo Game"
# The newest changelog entry is this version.
[[ $(zcat "$root/$doc/changelog.gz" | head -n 1) == "korvo-game ($version) "* ]] ||
    fail "changelog does not start with $version: $(zcat "$root/$doc/changelog.gz" | head -n 1)"

if command -v lintian >/dev/null 2>&1; then
    # Everything lintian says, pedantic and informational notes included, is
    # one of these, each taken on purpose:
    accepted=(
        # the link in /usr/bin, so that the game starts by its name also
        # where /usr/games is not on the PATH;
        "W: korvo-game: package-section-games-but-has-usr-bin"
        # "autor" is Spanish, the About dialog's "Acerca del autor", not a
        # misspelt "author".
        "I: korvo-game: spelling-error-in-binary autor author [usr/games/korvo-game]"
    )
    if report=$(lintian --pedantic -I "$deb" 2>"$root/lintian.err"); then
        printf '%s\n' "$report"
        while IFS= read -r line; do
            [[ $line =~ ^[EWIPXO]:\  ]] || continue
            known=0
            for tag in "${accepted[@]}"; do
                [[ $line == "$tag" ]] && known=1
            done
            [[ $known -eq 1 ]] || fail "lintian: $line"
        done <<<"$report"
    else
        fail "lintian failed: $report $(cat "$root/lintian.err")"
    fi
else
    fail "lintian is not installed (scripts/install-deps test installs it)"
fi

if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
fi

if [[ $failures -ne 0 ]]; then
    exit 1
fi
echo "PASS: $(basename "$deb")"
