#!/usr/bin/env bash
# Installs what is missing, builds the program and its components, and starts
# `generator` on the simulated PCI board.
#
# The build registers every component it links (signal library, simulated
# drivers, viewer, tuner) in build/registry.reg, which the program reads unless
# QUORVEL_REGISTRY names another registry file. The simulated board writes its
# play records and journal into KORD77_SIM_OUT (default: build/sim-out). The
# settings live in build/app/generator.cfg; the first start uses the PCI board
# (DeviceName "KORD77PCI").
#
# Without a display ($DISPLAY and $WAYLAND_DISPLAY unset) the program runs under
# xvfb-run on a virtual screen: nothing appears, and Ctrl+C (or SIGTERM) closes it
# as File / Quit does, settings saved. GENERATOR_SCREENSHOT=<file.png> writes a
# picture of the main window once it is shown.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

bash scripts/install-deps.sh

cmake -S . -B build -G Ninja >/dev/null
cmake --build build --parallel "$(nproc)" \
  --target generator undulan kord77pci kord77usb kord77isa lupex nivell

export KORD77_SIM_OUT="${KORD77_SIM_OUT:-$top/build/sim-out}"
mkdir -p "$KORD77_SIM_OUT"
echo "Simulated board output: $KORD77_SIM_OUT"

program="$top/build/app/generator"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program" "$@"
fi
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset) and xvfb-run is missing." >&2
  echo "Run this from a desktop session, install the package xvfb, or start" >&2
  echo "  QT_QPA_PLATFORM=offscreen $program" >&2
  exit 1
fi
echo "No display: running on a virtual screen (xvfb-run). Ctrl+C closes the program."
exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" "$program" "$@"
