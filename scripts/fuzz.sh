#!/usr/bin/env bash
# Builds the libFuzzer harnesses (preset fuzz, clang with ASan and UBSan) and fuzzes each in turn
# for SECONDS (default 60) under nice. Usage: scripts/fuzz.sh [SECONDS] [HARNESS...]
# The growing corpus lives in build-fuzz/corpus/NAME, seeded from tests/fuzz/NAME. An input that
# crashes, hangs or breaks a contract is kept as build-fuzz/crashes/NAME/crash-* (or timeout-*,
# leak-*): copy it into tests/fuzz/NAME once the fault is mended, so the tests pin it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift $(($# > 0 ? 1 : 0))
harnesses=("$@")

export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
cmake --preset fuzz >/dev/null
nice -n 10 cmake --build --preset fuzz
if ((${#harnesses[@]} == 0)); then # every harness built
  for exe in build-fuzz/bin/fuzz_*; do harnesses+=("${exe#build-fuzz/bin/fuzz_}"); done
fi
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=0
for name in "${harnesses[@]}"; do
  corpus=build-fuzz/corpus/$name crashes=build-fuzz/crashes/$name log=build-fuzz/fuzz-$name.log
  mkdir -p "$corpus" "$crashes"
  echo "== $name: ${seconds} s"
  # The JSON-RPC harness, with the sanitizers' quarantine and its growing corpus, reaches 1 GB
  # within 600,000 inputs; libFuzzer's default limit of 2 GB would end a long run as a "crash".
  if ! nice -n 19 "build-fuzz/bin/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
      -dict="fuzz/dict/$name.dict" -artifact_prefix="$crashes/" -print_final_stats=1 \
      "$corpus" "tests/fuzz/$name" >"$log" 2>&1; then
    failed=1
    echo "$name: FALHOU, veja $log e $crashes/"
  fi
  # One line per harness: executions, speed and the edges covered.
  awk -v name="$name" '
    /stat::number_of_executed_units/ { runs = $2 }
    /stat::average_exec_per_sec/ { speed = $2 }
    / cov: / { for (i = 1; i < NF; ++i) if ($i == "cov:") edges = $(i + 1) }
    END { printf "%s: %s execs, %s exec/s, %s edges\n", name, runs, speed, edges }' "$log"
done
exit "$failed"
