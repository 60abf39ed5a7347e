#!/usr/bin/env bash
# The Debian package builds reproducibly: a second clone of the sources, with
# the working tree's changes, at another path and with other file times, is
# configured and packaged in a build folder of its own, and its package must
# be byte for byte the one `make package` built. On a difference it says
# which members and files differ.
#
#   package-reproducible.sh CMAKE SOURCE BUILD VERSION CONFIGURE-OPTIONS...
#
# CONFIGURE-OPTIONS are the first build's generator, build type and compiler.
set -u
source "$(dirname "$0")/skip.sh"
cmake=$1 source=$2 build=$3 version=$4
shift 4

debs=("$build"/korvo-game_"$version"_*.deb)
[[ -f ${debs[0]} ]] || skip "no package in $build (make package builds it)"
first=${debs[0]}
git -C "$source" rev-parse --git-dir >/dev/null 2>&1 || skip "$source is not a git checkout"

# In the build tree (/tmp may be small or noexec), at a deeper path than the
# sources themselves.
scratch=$(mktemp -d -p "$build" reproducible.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
second=$scratch/elsewhere/korvo-game
git clone -q --no-checkout "$source" "$second" || { echo "FAIL: cannot clone $source"; exit 1; }
# The working tree as it is, uncommitted changes included, copied now: every
# file gets this moment's time.
(cd "$source" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 -r sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
    tar --null -T - -cf -) | (cd "$second" && tar -xf - --touch) ||
    { echo "FAIL: cannot copy the working tree to $second"; exit 1; }

log=$scratch/build.log
if ! { "$cmake" -S "$second" -B "$second/build" "$@" -DBUILD_TESTING=OFF &&
    "$cmake" --build "$second/build" --target package; } >"$log" 2>&1; then
    tail -n 30 "$log"
    echo "FAIL: the second build did not make a package (its log: above)"
    exit 1
fi
again=$second/build/$(basename "$first")
[[ -f $again ]] || { echo "FAIL: the second build made no $(basename "$first")"; exit 1; }

sha() { sha256sum "$1" | cut -d' ' -f1; }
echo "first:  $(sha "$first")  $first"
echo "second: $(sha "$again")  $again"
if cmp -s "$first" "$again"; then
    echo "PASS: the same bytes from two builds at two paths"
    exit 0
fi

# Where they differ: the archive's members, then the files in them.
echo "FAIL: the two packages differ"
diff <(ar tv "$first") <(ar tv "$again") | sed 's/^/  ar: /'
for deb in "$first" "$again"; do
    mkdir -p "$scratch/$(sha "$deb")"
    dpkg-deb -R "$deb" "$scratch/$(sha "$deb")"
done
diff <(dpkg-deb -c "$first") <(dpkg-deb -c "$again") | sed 's/^/  data: /'
diff -r --no-dereference "$scratch/$(sha "$first")" "$scratch/$(sha "$again")" | sed 's/^/  files: /'
exit 1
