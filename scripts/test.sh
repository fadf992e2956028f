#!/usr/bin/env bash
# Installs what is missing, builds the whole tree and runs every test.
#   scripts/test.sh                   normal build in build/
#   SANITIZE=address scripts/test.sh  address + undefined-behaviour sanitizers in build-address/
#   SANITIZE=thread scripts/test.sh   thread sanitizer in build-thread/
#   LABEL=threaded scripts/test.sh    only the tests with that ctest label, and only the
#                                     programs they need (target <label>_tests)
# Sanitizer trees leave the benchmarks out: timings under a sanitizer mean nothing.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

bash scripts/install-deps.sh

sanitize="${SANITIZE:-}"
label="${LABEL:-}"
build="build${sanitize:+-$sanitize}"
options=(-DSANITIZE="$sanitize")
if [ -n "$sanitize" ]; then options+=(-DBUILD_BENCHMARKS=OFF); fi
cmake -S . -B "$build" -G Ninja "${options[@]}" >/dev/null
targets=()
if [ -n "$label" ]; then targets=(--target "${label}_tests"); fi
cmake --build "$build" --parallel "$(nproc)" "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
if [ "$sanitize" = thread ]; then
  export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$top/tests/tsan.supp"
fi
if [ "$sanitize" = address ]; then
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
filter=()
if [ -n "$label" ]; then filter=(-L "$label"); fi
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "${filter[@]}"
