#!/usr/bin/env bash
# install_test.sh BUILD_DIR VERSION
# Installs BUILD_DIR into a temporary prefix, checks the installed program, starts
# it on the simulated PCI board, uninstalls it; then checks a staged install.
set -uo pipefail
build=$1
version=$2

work=$(mktemp -d /tmp/inst-test-XXXXXX)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
check() { # check DESCRIPTION COMMAND...
  local what=$1
  shift
  "$@" || fail "$what"
}

# Never the developer's registry or settings.
unset QUORVEL_REGISTRY DISPLAY WAYLAND_DISPLAY
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi

pkglib="$prefix/lib/generator"
registry="$prefix/etc/quorvel/registry.reg"
components=(libundulan.so libkord77pci.so libkord77usb.so libkord77isa.so liblupex.so libnivell.so)

# --- The tree -----------------------------------------------------------------
for file in generator regcomp; do
  check "$file installed and executable" test -x "$pkglib/$file"
done
for file in "${components[@]}"; do
  check "$file installed" test -s "$pkglib/$file"
done
check "bin/generator links to the program" \
  test "$(readlink -f "$prefix/bin/generator")" = "$(readlink -f "$pkglib/generator")"
check "generator-uninstall installed" test -x "$prefix/bin/generator-uninstall"
check "registry.location names the installed registry" \
  test "$(head -n 1 "$pkglib/registry.location")" = "$registry"
check "icon installed" test -s "$prefix/share/icons/hicolor/scalable/apps/generator.svg"
desktop="$prefix/share/applications/generator.desktop"
check "desktop entry starts the installed program" grep -qx "Exec=$prefix/bin/generator" "$desktop"
check "desktop entry names the installed icon" \
  grep -qx "Icon=$prefix/share/icons/hicolor/scalable/apps/generator.svg" "$desktop"
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry is valid" desktop-file-validate "$desktop"
fi
# Nothing installed may search the build tree for libraries.
for file in "$pkglib"/generator "$pkglib"/regcomp "$pkglib"/*.so; do
  if readelf -d "$file" 2>/dev/null | grep -E 'R(UN)?PATH' | grep -qF "$(readlink -f "$build")"; then
    fail "$file keeps a library search path into the build tree"
  fi
done

# --- The registry names every installed component and nothing else ----------------
check "registry file written" test -s "$registry"
for library in "${components[@]}"; do
  check "$library registered with its installed path" \
    grep -qF "\"path\"=\"$pkglib/$library\"" "$registry"
done
check "no registry path outside the prefix" \
  test -z "$(grep -i '^"path"=' "$registry" | grep -vF "\"$pkglib/")"

# --- --version and --help, before any window or board work -----------------------
out=$(QT_QPA_PLATFORM=none "$prefix/bin/generator" --version 2>&1)
status=$?
check "--version exits 0 (was $status)" test "$status" -eq 0
check "--version prints the project version (got '$out')" test "$out" = "generator $version"
# By its bare name from PATH, from another folder: argv[0] says nothing of where it is.
out=$(cd "$work" && PATH="$prefix/bin:$PATH" QT_QPA_PLATFORM=none generator --help 2>&1)
status=$?
check "--help exits 0 (was $status)" test "$status" -eq 0
check "--help shows usage" grep -q '^Usage: generator' <<<"$out"
check "--help names the installed registry as the default" grep -qF "(default $registry)" <<<"$out"
check "no settings written by --help/--version" test ! -e "$pkglib/generator.cfg"

# --- A start on the simulated PCI board ---------------------------------------------
sim="$work/sim-out"
mkdir -p "$sim"
KORD77_SIM_OUT="$sim" QT_QPA_PLATFORM=offscreen "$prefix/bin/generator" >"$work/run.log" 2>&1 &
pid=$!
maps_ok=0
for _ in $(seq 1 100); do
  if [ -s "$sim/journal.txt" ]; then
    if grep -qF "$pkglib/libkord77pci.so" "/proc/$pid/maps" 2>/dev/null &&
      grep -qF "$pkglib/libundulan.so" "/proc/$pid/maps" 2>/dev/null; then
      maps_ok=1
      break
    fi
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
check "the installed program runs with the installed driver and signal library" test "$maps_ok" -eq 1
kill -TERM "$pid" 2>/dev/null
status=124
for _ in $(seq 1 50); do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    status=$?
    break
  fi
  sleep 0.2
done
if [ "$status" -eq 124 ]; then
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
fi
check "SIGTERM closes the program with status 0 (was $status)" test "$status" -eq 0
[ "$status" -eq 0 ] || cat "$work/run.log" >&2

# --- Uninstall ------------------------------------------------------------------------
cp "$pkglib/installed-files" "$work/installed-files"
check "generator-uninstall succeeds" "$prefix/bin/generator-uninstall" >"$work/uninstall.log" 2>&1
while IFS= read -r file; do
  [ -e "$file" ] || [ -L "$file" ] && fail "$file left after uninstall"
done <"$work/installed-files"
if [ -e "$registry" ]; then
  check "components unregistered" test -z "$(grep -i '^"path"=' "$registry")"
fi
# What remains is the operator's own data beside the program (settings, saved signals).
left=$(cd "$prefix" 2>/dev/null && find . -type f | grep -vE '^\./lib/generator/generator\.(cfg|sav)$')
check "only the operator's files remain (left: $left)" test -z "$left"

# --- A staged install, as the Debian package is built --------------------------------
stage="$work/stage"
if DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$work/stage.log" 2>&1; then
  check "staged: registry.location names /etc/quorvel/registry.reg" \
    test "$(head -n 1 "$stage/usr/lib/generator/registry.location")" = /etc/quorvel/registry.reg
  check "staged: nothing registered" test ! -e "$stage/etc/quorvel/registry.reg"
  check "staged: no uninstall script" test ! -e "$stage/usr/bin/generator-uninstall"
  check "staged: bin/generator is a relative link" \
    test "$(readlink "$stage/usr/bin/generator")" = ../lib/generator/generator
  check "staged: desktop entry names /usr/bin/generator" \
    grep -qx 'Exec=/usr/bin/generator' "$stage/usr/share/applications/generator.desktop"
else
  cat "$work/stage.log" >&2
  fail "staged cmake --install"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "install tree: all checks passed"
