#!/usr/bin/env bash
# Runs a validator on a file: passes when it reports nothing at all (no
# error, warning, info, pedantic note or hint) but the findings accepted by
# name, skips (77) when the validator is not installed.
#
#   validate.sh [--accept FINDING]... TOOL ARGS...
#
# FINDING is matched as plain text within the validator's line, so it can
# leave out what moves (a line number).
set -u
source "$(dirname "$0")/skip.sh"
accepted=()
while [[ ${1:-} == --accept ]]; do
    accepted+=("$2")
    shift 2
done
tool=$1
shift
if ! command -v "$tool" >/dev/null 2>&1; then
    skip "$tool is not installed (scripts/install-deps test installs it)"
fi
out=$("$tool" "$@" 2>&1)
status=$?
printf '%s\n' "$out"
findings=$(grep -E '^[EWIP]: |: (error|warning|hint): ' <<<"$out")
for finding in "${accepted[@]}"; do
    findings=$(grep -vF -- "$finding" <<<"$findings")
done
if [[ $status -ne 0 || -n $findings ]]; then
    echo "FAIL: $tool found problems${findings:+:}"
    [[ -z $findings ]] || sed 's/^/  /' <<<"$findings"
    exit 1
fi
echo "PASS"
