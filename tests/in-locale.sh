#!/usr/bin/env bash
# Runs a test program in a player's locale (es_AR.UTF-8 writes 3,5 for 3.5),
# made here with localedef so that no machine needs it installed.
#
#   in-locale.sh LOCALE FOLDER PROGRAM...
set -u
source "$(dirname "$0")/skip.sh"
locale=$1 folder=$2
shift 2
mkdir -p "$folder"
if [[ ! -d $folder/$locale ]]; then
    localedef -i "${locale%%.*}" -f "${locale#*.}" "$folder/$locale" 2>/dev/null ||
        skip "cannot make the locale $locale (scripts/install-deps test installs locales)"
fi
LOCPATH=$folder LANG=$locale LC_ALL=$locale exec "$@"
