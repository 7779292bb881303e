#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (into $BUILD_DIR/fuzz) and runs each
# for a bounded time from its seed corpus in tests/fuzz/corpus/<target>/.
# The seeds are only read: inputs the fuzzer finds go to $BUILD_DIR/fuzz/work,
# crashes to $BUILD_DIR/fuzz/artifacts. FUZZ_SECONDS and FUZZ_RUNS bound each run.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$build/fuzz
seconds=${FUZZ_SECONDS:-20}
runs=${FUZZ_RUNS:-500000}
targets=(bitmap archive listing)

minizip=$("$root/scripts/fetch-minizip.sh" "$build/third_party") || exit 1
cmake -S "$root/tests/fuzz" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DMINIZIP_SRC_DIR="$minizip" >/dev/null || exit 1
cmake --build "$out" -j "$(nproc)" >"$out/build.log" 2>&1 || { cat "$out/build.log"; echo "fuzz: build failed"; exit 1; }

passed=0
failed=0
for t in "${targets[@]}"; do
  work=$out/work/$t
  artifacts=$out/artifacts/$t
  mkdir -p "$work" "$artifacts"
  log=$out/$t.log
  # The first folder receives new inputs; the seeds in the repository stay as they are.
  if "$out/${t}_fuzzer" "$work" "$root/tests/fuzz/corpus/$t" -max_total_time="$seconds" -runs="$runs" \
       -max_len=16384 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$artifacts/" -print_final_stats=1 \
       >"$log" 2>&1; then
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $t: passed (${execs:-?} inputs, corpus $(ls "$work" | wc -l) found + $(ls "$root/tests/fuzz/corpus/$t" | wc -l) seeds)"
    passed=$((passed + 1))
  else
    echo "fuzz $t: FAILED, see $log and $artifacts"
    grep -m 3 -E 'ERROR|SUMMARY|_fuzzer: ' "$log" | sed 's/^/  /'
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
