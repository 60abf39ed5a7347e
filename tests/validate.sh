#!/usr/bin/env bash
# Runs a validator on a file: passes when it reports no error and no warning,
# skips (77) when the validator is not installed.
set -u
source "$(dirname "$0")/skip.sh"
tool=$1
shift
if ! command -v "$tool" >/dev/null 2>&1; then
    skip "$tool is not installed (scripts/install-deps test installs it)"
fi
out=$("$tool" "$@" 2>&1)
status=$?
printf '%s\n' "$out"
if [[ $status -ne 0 ]] || grep -Eq '^[EW]: |: (error|warning): ' <<<"$out"; then
    echo "FAIL: $tool found problems"
    exit 1
fi
echo "PASS"
