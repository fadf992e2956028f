#!/bin/sh
# Builds the benchmarks in a Release tree and runs them all; each program ends with
# a summary table of ratios measured side by side in the same run.
#
#   bench/run.sh [build-dir] [google-benchmark options...]
#
# The build directory defaults to build-bench beside this folder. Options after it
# go to every program, e.g. --benchmark_filter=sine to run only matching cases.
# The full run takes a few minutes on a 2-core machine; the 16M-point cases run 3
# iterations each.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${1:-"$root/build-bench"}
[ $# -gt 0 ] && shift

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
programs="synthesis_bench convert_samples_bench lupex_paint_bench startup_bench computed_path_bench"
cmake --build "$build" --target $programs

echo
echo "== Machine: $(uname -srm); $(nproc) CPUs;" \
    "$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1);" \
    "load average $(cut -d ' ' -f 1-3 /proc/loadavg) =="

for program in $programs; do
    echo
    echo "== $program =="
    QT_QPA_PLATFORM=offscreen "$build/bench/$program" --benchmark_color=false "$@"
done
