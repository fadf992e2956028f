#!/bin/sh
# Runs every benchmark and prints their summary tables; see bench/run.sh.
exec "$(dirname "$0")/../bench/run.sh" "$@"
