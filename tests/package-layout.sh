#!/usr/bin/env bash
# The Debian package unpacked into a scratch root: every file where a desktop
# looks for it, the icons at their sizes, one id throughout, and dependencies
# from the linked libraries plus the fonts.
set -u
build=$1 app_id=$2 version=$3

debs=("$build"/korvo-game_"$version"_*.deb)
if [[ ! -f ${debs[0]} ]]; then
    echo "SKIP: no package in $build (make package builds it)"
    exit 77
fi
deb=${debs[0]}
root=$(mktemp -d)
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
expected=(
    usr/bin/korvo-game
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
[[ -x $root/usr/bin/korvo-game ]] || fail "usr/bin/korvo-game is not executable"

# Exactly those files, nothing else (no tests, no build helpers).
actual=$(cd "$root" && find . -type f | sed 's|^\./||' | sort)
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

if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
fi

if [[ $failures -ne 0 ]]; then
    exit 1
fi
echo "PASS: $(basename "$deb")"
