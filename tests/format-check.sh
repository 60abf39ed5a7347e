#!/usr/bin/env bash
# The C++ sources are formatted as .clang-format says (`make format` does it).
set -u
source "$(dirname "$0")/skip.sh"
root=$1
command -v clang-format >/dev/null || skip "clang-format is not installed (scripts/install-deps test installs it)"
cd "$root" || exit 1
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h' | grep -v '^./build')
unformatted=()
for file in "${files[@]}"; do
    clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [[ ${#unformatted[@]} -ne 0 ]]; then
    echo "FAIL: not formatted as .clang-format says (run make format): ${unformatted[*]}"
    exit 1
fi
echo "PASS: ${#files[@]} files formatted"
