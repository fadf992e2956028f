#!/usr/bin/env bash
# Installs what is missing, builds the whole tree and runs every test.
#   scripts/test.sh                 normal build in build/
#   SANITIZE=address scripts/test.sh  address + undefined-behaviour sanitizers in build-address/
#   SANITIZE=thread scripts/test.sh   thread sanitizer in build-thread/
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

bash scripts/install-deps.sh

sanitize="${SANITIZE:-}"
build="build${sanitize:+-$sanitize}"
cmake -S . -B "$build" -G Ninja -DSANITIZE="$sanitize" >/dev/null
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
if [ "$sanitize" = thread ]; then
  export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$top/tests/tsan.supp"
fi
if [ "$sanitize" = address ]; then
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
