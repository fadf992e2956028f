#!/usr/bin/env bash
# Builds every libFuzzer program with clang (address + undefined-behaviour sanitizers
# and coverage instrumentation in every library they link) in build-fuzz/, and runs
# each for FUZZ_SECONDS seconds (default 60) on a scratch copy of its seed corpus
# tests/fuzz/<target>/. The committed corpus is only read.
#
# A crash, leak or timeout fails the run and leaves the input in
# build-fuzz/artifacts/<target>-crash-...; reproduce it with the fuzz program
# (build-fuzz/tests/.../<target> FILE) or the replay program of any build tree
# (<target>_replay -rounds=0 FILE) and, once mended, add the file to
# tests/fuzz/<target>/ so the replay test keeps it.
# FUZZ_BUILD names another build folder.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

bash scripts/install-deps.sh

seconds="${FUZZ_SECONDS:-60}"
build="${FUZZ_BUILD:-build-fuzz}"
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DSANITIZE=address \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DBUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target fuzz_targets

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$build/artifacts" "$build/corpus"
status=0
for seeds in tests/fuzz/*/; do
  name="$(basename "$seeds")"
  program="$(find "$build/tests" -type f -name "$name" -perm -u+x | head -n 1)"
  if [ -z "$program" ]; then
    echo "fuzz: no program for the corpus $seeds" >&2
    status=1
    continue
  fi
  work="$build/corpus/$name"
  rm -rf "$work"
  mkdir -p "$work"
  log="$build/artifacts/$name.log"
  if "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$name-" "$work" "$seeds" >"$log" 2>&1; then
    result=passed
  else
    result=FAILED
    status=1
    tail -n 40 "$log" >&2
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  echo "fuzz $name: $result, ${runs:-?} executions in ${seconds} s, corpus $(ls "$work" | wc -l) inputs"
done
exit "$status"
