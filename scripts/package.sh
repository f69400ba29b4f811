#!/usr/bin/env bash
# Builds the Debian packages pla-desktop and pla-appserver into build/packages/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
cmake --preset default >/dev/null
cmake --build --preset default --target package
ls -1 "$PWD"/build/packages/*.deb
