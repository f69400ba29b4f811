#!/usr/bin/env bash
# Installs what is missing, builds the desktop host and the module, and starts pla-host on the
# embedded demo server. Without a display the host runs under a virtual X server (Xvfb).
# Extra arguments go to pla-host, e.g. scripts/run.sh --branch 0002 --tied
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default -DPLA_BUILD_GUI=ON >/dev/null
cmake --build --preset default --target pla-host
host_bin=build/bin/pla-host
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1600x1000x24" "$host_bin" "$@"
fi
exec "$host_bin" "$@"
