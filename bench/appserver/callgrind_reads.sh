#!/bin/sh
# Instructions per call of the server's own work (GetDistribuicao, SetDistribuicao), counted by
# callgrind: unlike a time, the count does not move with the machine's load. Prints one
# "name: value unit" line per method and backend. With --http, instead, what a Get costs over
# HTTP besides the dispatcher's own work: the endpoint, the hand-offs and the client, in every
# thread.
# Usage: bench/appserver/callgrind_reads.sh [BUILD_DIR] [--http] [--backend sqlite|postgresql]
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
calls=50
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if [ "${1:-}" = "--http" ]; then
    shift
    # Collection is per thread, so the server's threads are counted from the start; the dumps
    # around the HTTP calls bound their part.
    valgrind --tool=callgrind --callgrind-out-file="$out/cg" "$build/bin/bench_appserver" \
        --in-process-calls 1 --http-get-only $calls --timeout 600 "$@" >"$out/bench.txt" \
        2>"$out/valgrind.txt" || { cat "$out/valgrind.txt" >&2; exit 1; }
    for f in "$out"/cg.*; do
        name=$(sed -n 's/^desc: Trigger: Client Request: \(.*_GetDistribuicao_http\)$/\1/p' "$f")
        [ -n "$name" ] || continue
        total=$(sed -n 's/^summary: //p' "$f")
        # The dispatcher's work of the HTTP calls and of the in-process calls taking turns.
        own=$(callgrind_annotate --inclusive=yes "$f" 2>/dev/null |
            awk '/JsonRpcDispatcher\.cpp:pla::JsonRpcDispatcher::handle\(/ { gsub(",", "", $1); print $1; exit }')
        echo "$name $total ${own:-0}" | awk -v calls=$calls \
            '{ printf "%s_share_instructions_per_call: %.0f Ir\n", $1, ($2 - $3) / calls }'
    done
    exit 0
fi
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
