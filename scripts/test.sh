#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Paths relative to the checkout, so a clone in another folder reuses the compiler cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
cmake --preset default
cmake --build --preset default
# The label test renders ZPL with an npm package, installed once into the build folder.
if command -v npm >/dev/null && [[ ! -d build/zpl-render/node_modules/zpl-renderer-js ]]; then
  mkdir -p build/zpl-render && cp tests/report/zpl/package.json build/zpl-render/
  (cd build/zpl-render && npm install --no-audit --no-fund --loglevel=error) ||
    echo "zpl-renderer-js não instalado: o teste do ZPL renderizado será pulado." >&2
fi
ctest --preset default "$@"
