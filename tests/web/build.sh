#!/usr/bin/env bash
# Builds the web backend's page and the seam suite's page with Emscripten
# into FOLDER, for the browser checks that follow (ctest's fixture web_page).
#
#   build.sh SOURCE FOLDER BUILD_TYPE
set -euo pipefail
source "$(dirname "$0")/../skip.sh"

source_dir=$1 folder=$2 build_type=$3
command -v emcmake >/dev/null || skip "no Emscripten (scripts/install-deps test installs it)"
command -v pyftsubset >/dev/null || skip "no pyftsubset (scripts/install-deps test installs it)"
# Debian's Emscripten finds its JavaScript helpers there; a Node.js from
# elsewhere does not look there by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# The host's compiler flags are not Emscripten's.
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS
emcmake cmake -S "$source_dir" -B "$folder" -G Ninja -DKORVO_BACKEND=web -DCMAKE_BUILD_TYPE="$build_type" \
    -DBUILD_TESTING=ON >/dev/null
cmake --build "$folder"
