#!/bin/sh
# Instructions per call of the server's own work (GetDistribuicao, SetDistribuicao), counted by
# callgrind: unlike a time, the count does not move with the machine's load. Prints one
# "name: value unit" line per method and backend.
# Usage: bench/appserver/callgrind_reads.sh [BUILD_DIR] [--backend sqlite|postgresql]
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
calls=50
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/cg.%p" \
    "$build/bin/bench_appserver" --in-process-only --in-process-calls $calls --timeout 600 "$@" >"$out/bench.txt" 2>"$out/valgrind.txt" ||
    { cat "$out/valgrind.txt" >&2; exit 1; }
for f in "$out"/cg.*; do
    awk -v calls=$calls '
        /^desc: Trigger: Client Request: / { name = $5 }
        /^summary: / { total = $2 }
        END { if (name != "" && total > 0) printf "%s_instructions_per_call: %.0f Ir\n", name, total / calls }
    ' "$f"
done | sort
