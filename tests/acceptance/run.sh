#!/usr/bin/env bash
# Operator acceptance: starts the program the way the README says (scripts/run.sh)
# on the simulated PCI board under a virtual X server and drives it only with the
# mouse and the keyboard (xdotool), taking a screenshot of every step.
#
#   tests/acceptance/run.sh [SHOTS_FOLDER]
#
# SHOTS_FOLDER (default build/acceptance) receives NN-step.png for every step and
# sim-out/, the simulated board's play records and journal. The program's own
# files (build/app/generator.cfg and .sav) are set aside first and put back at
# the end, so the run starts from a first start and leaves the developer's
# settings as they were.
#
# Needs Xvfb, xdotool, ImageMagick (import), tesseract and python3 (see
# scripts/install-deps.sh). GENERATOR_PROGRAM=<program> starts that program instead
# of scripts/run.sh (with the registry of its build tree), for work on this script.
# Exit status 0 when every step passed; the last line says how many did.
set -uo pipefail
missing=""
for tool in Xvfb openbox xdotool xwininfo import tesseract python3; do
  command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
if [ -n "$missing" ]; then
  echo "acceptance: skipped, missing:$missing (scripts/install-deps.sh installs them)"
  exit 77
fi
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
here="$top/tests/acceptance"
shots="${1:-$top/build/acceptance}"
shots="$(mkdir -p "$shots" && cd "$shots" && pwd)"
rm -f "$shots"/*.png
export KORD77_SIM_OUT="$shots/sim-out"
rm -rf "$KORD77_SIM_OUT"
mkdir -p "$KORD77_SIM_OUT"
unset QUORVEL_REGISTRY WAYLAND_DISPLAY QT_QPA_PLATFORM
log="$shots/program.log"
: >"$log"

passed=0
failed=0
shot_number=0
program_pid=""
xvfb_pid=""
wm_pid=""

note() { echo "acceptance: $*"; }
pass() {
  passed=$((passed + 1))
  note "PASS $*"
}
fail() {
  failed=$((failed + 1))
  note "FAIL $*"
}

shot() { # shot NAME: the whole virtual screen
  shot_number=$((shot_number + 1))
  local file
  file=$(printf '%s/%02d-%s.png' "$shots" "$shot_number" "$1")
  import -window root "$file" 2>/dev/null || note "no screenshot $file"
}

# --- The program's files, set aside and restored ---------------------------------
if [ -n "${GENERATOR_PROGRAM:-}" ]; then
  config_folder="$(dirname "$GENERATOR_PROGRAM")"
else
  config_folder="$top/build/app"
fi
saved_files="$shots/saved-program-files"
rm -rf "$saved_files"
mkdir -p "$saved_files" "$config_folder"
for name in generator.cfg generator.sav; do
  [ -e "$config_folder/$name" ] && mv "$config_folder/$name" "$saved_files/"
done

cleanup() {
  stop_program
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  for name in generator.cfg generator.sav; do
    rm -f "$config_folder/$name"
    [ -e "$saved_files/$name" ] && mv "$saved_files/$name" "$config_folder/"
  done
  rmdir "$saved_files" 2>/dev/null
}
trap cleanup EXIT

# --- The virtual screen ------------------------------------------------------------
display_number=91
while [ -e "/tmp/.X11-unix/X$display_number" ] || [ -e "/tmp/.X$display_number-lock" ]; do
  display_number=$((display_number + 1))
done
export DISPLAY=":$display_number"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$shots/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 50); do
  xdotool getmouselocation >/dev/null 2>&1 && break
  sleep 0.1
done
# A window manager, as on a desktop: frames, placement, focus and Alt+F4.
openbox --sm-disable >"$shots/openbox.log" 2>&1 &
wm_pid=$!
sleep 1

# --- Windows and input ---------------------------------------------------------------
# Top-level windows of the program that are shown, by title (Qt adds
# " — Signal generator", the application's display name, to every title).
window_id() { # window_id TITLES_REGEX -> id of the first shown window whose title matches
  xdotool search --all --onlyvisible --pid "$program_pid" --name "^($1)( — .*)?$" 2>/dev/null |
    head -n 1
}
title_of() { xdotool getwindowname "$1" | sed 's/ — .*//'; }
wait_window() { # wait_window TITLE_REGEX [SECONDS]: prints the id
  local id="" i
  for i in $(seq 1 $((${2:-20} * 10))); do
    id=$(window_id "$1")
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}
# Origin of a window's client area on the screen (inside the window manager's frame).
origin() { # origin ID -> "X Y"
  # xwininfo, not xdotool getwindowgeometry: the latter counts the frame twice.
  xwininfo -id "$1" | awk -F: '/Absolute upper-left X/{x=$2} /Absolute upper-left Y/{y=$2} END{print x+0, y+0}'
}
click() { # click ID DX DY: left click at the point DX,DY of the window
  local x y
  read -r x y < <(origin "$1")
  xdotool mousemove --sync $((x + $2)) $((y + $3)) click 1
  sleep 0.3
}
keys() { # keys ID KEY...: focus the window and press the keys
  xdotool windowfocus --sync "$1" 2>/dev/null
  xdotool key --delay 120 "${@:2}"
  sleep 0.3
}

start_program() {
  if [ -n "${GENERATOR_PROGRAM:-}" ]; then
    # For work on this script: a program built elsewhere, started directly.
    "$GENERATOR_PROGRAM" >>"$log" 2>&1 &
  else
    # scripts/run.sh installs what is missing, builds, and then execs the program
    # on the simulated PCI board (with DISPLAY set, on that display): its process
    # id becomes the program's.
    bash "$top/scripts/run.sh" >>"$log" 2>&1 &
  fi
  program_pid=$!
  disown "$program_pid" 2>/dev/null # no job notice when it is killed
}
stop_program() {
  [ -n "$program_pid" ] || return 0
  kill -TERM "$program_pid" 2>/dev/null
  for _ in $(seq 1 50); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -KILL "$program_pid" 2>/dev/null
  program_pid=""
}

latest_record() {
  ls "$KORD77_SIM_OUT"/record-*.txt 2>/dev/null | sort | tail -n 1
}

# Text shown in a rectangle of a window, read from a screenshot (tesseract). The
# labels are small, so the crop is scaled up first.
read_text() { # read_text ID X Y W H
  local x y file="$shots/.ocr.png"
  read -r x y < <(origin "$1")
  import -window root -crop "${4}x${5}+$((x + $2))+$((y + $3))" +repage -resize 400% \
    -colorspace Gray "$file" 2>/dev/null
  tesseract "$file" - --psm 7 2>/dev/null | tr -d '\f' | head -n 1
}

# A menu of the main window: its title is clicked at TITLE_X on the menu bar, then
# the item in row ITEM_ROW (1 = first) of the menu that opens below it.
menu() { # menu ID TITLE_X ITEM_ROW
  click "$1" "$2" 9
  sleep 0.3
  click "$1" $(($2 + 15)) $((28 + 22 * ($3 - 1)))
  sleep 0.5
}

# Main window layout: the menu bar takes the top; the controls sit below it at the
# positions of the window's form.
menu_height=18
main_click() { click "$main" "$1" $(($2 + menu_height)); } # main_click FORM_X FORM_Y
main_text() { read_text "$main" "$1" $(($2 + menu_height)) "$3" "$4"; }

# The last number in a text, as a plain decimal in base units: "1.00000 kHz" ->
# 1000, "-999.75 mV / 999.755 mV" -> 0.999755.
to_base_units() {
  python3 -c '
import re, sys
text = sys.argv[1].replace(",", ".")
found = re.findall(r"(-?\d+(?:\.\d+)?)\s*([a-zA-Zµμмк]*)", text)
if not found:
    sys.exit(1)
number, unit = found[-1]
prefix = {"k": 1e3, "к": 1e3, "M": 1e6, "m": 1e-3, "м": 1e-3, "µ": 1e-6, "μ": 1e-6, "u": 1e-6}
scale = prefix.get(unit[0], 1) if len(unit) > 1 else 1
print(float(number) * scale)' "$1"
}
near() { # near VALUE EXPECTED RELATIVE_TOLERANCE
  python3 -c 'import sys; v, e, t = map(float, sys.argv[1:]); sys.exit(0 if abs(v - e) <= t * abs(e) else 1)' "$@"
}

# The signal list of the main window: opened with the mouse, the item chosen with
# the keyboard (the open list lines up its current item with the box, so item
# positions vary).
choose_signal() { # choose_signal ITEM [SHOT_NAME]
  main_click 94 15
  sleep 0.5
  [ -n "${2:-}" ] && shot "$2"
  xdotool key Home
  local i
  for i in $(seq 1 "$1"); do xdotool key Down; done
  xdotool key Return
  sleep 0.5
}

# =================================================================================
note "screenshots and board records in $shots"
start_program
main=$(wait_window 'Генератор|Generator' 600)
if [ -z "$main" ]; then
  fail "the program did not show its main window (log: $log)"
  echo "$passed passed, $failed failed"
  exit 1
fi
sleep 1
shot start

# --- 1. English chosen in the options window; the captions change ------------------
step1() {
  # Settings (third menu, Russian "Настройки") / Interface (fourth item).
  menu "$main" 123 4
  local options
  options=$(wait_window 'Настройки|Settings' 10)
  if [ -z "$options" ]; then
    fail "1: Settings / Interface did not open the options window"
    shot options-missing
    return
  fi
  shot options-russian
  # ListBox2, row 1 "English": the list sits at 8,28 in the tab page, below the tabs.
  click "$options" 40 80
  sleep 1
  shot options-english
  local title options_title
  title=$(title_of "$main")
  options_title=$(title_of "$options")
  if [ "$title" = Generator ] && [ "$options_title" = Settings ]; then
    pass "1: English chosen: main window '$title', options window '$options_title'"
  else
    fail "1: captions after choosing English: main '$title', options '$options_title'"
  fi
  # Close the options window as an operator does: Alt+F4.
  keys "$options" alt+F4
}
step1
# Menu titles on the menu bar in English from here on.
file_menu_x=20
view_menu_x=48

# --- 2. Sine, 1 kHz typed, 1 V with the on-screen keyboard, Start ---------------------
step2() {
  choose_signal 1 signal-list # the sine
  # Frequency: choose it, go to the exponent box (left of Num1) and type 3, then the
  # digits 0 0 1 0 0: 001.00 x 10^3 Hz.
  main_click 12 57
  xdotool key --delay 150 Left 3 0 0 1 0 0
  sleep 0.5
  shot frequency-typed
  # Amplitude with the on-screen keyboard: View / Keyboard, then the volt key and
  # the digits 0 0 1 0 0: 001.00 V.
  main_click 12 40
  menu "$main" "$view_menu_x" 1
  local keyboard
  keyboard=$(wait_window 'Клавиатура|Keyboard' 10)
  if [ -z "$keyboard" ]; then
    fail "2: View / Keyboard did not open the on-screen keyboard"
    shot keyboard-missing
    return
  fi
  local key
  click "$keyboard" 110 151 # the base unit key (V)
  for key in "24 118" "24 118" "24 85" "24 118" "24 118"; do
    click "$keyboard" $key # 0 0 1 0 0
  done
  shot amplitude-keyboard
  keys "$keyboard" alt+F4 # out of the way of the main window
  main_click 226 15 # Start
  sleep 2
  shot started
  local record measured frequency amplitude shape shown_frequency shown_amplitude
  record=$(latest_record)
  if [ -z "$record" ]; then
    fail "2: Start gave no play record in $KORD77_SIM_OUT"
    return
  fi
  # A first start: the load is the default 50 ohms.
  measured=$(python3 "$here/measure_record.py" "$record" 50)
  frequency=$(sed -n 's/.*frequency=\([^ ]*\).*/\1/p' <<<"$measured")
  amplitude=$(sed -n 's/.*amplitude=\([^ ]*\).*/\1/p' <<<"$measured")
  shape=$(sed -n 's/.*shape=\([^ ]*\).*/\1/p' <<<"$measured")
  # shape 2/pi = 0.6366 for a sine (0.5 for a saw or triangle, 1 for a meander).
  if near "$frequency" 1000 0.001 && near "$amplitude" 1 0.01 && near "$shape" 0.6366 0.01; then
    pass "2: the board plays a sine of $frequency Hz, $amplitude V ($(basename "$record"))"
  else
    fail "2: the board plays $measured, not a 1 kHz, 1 V sine ($(basename "$record"))"
  fi
  shown_amplitude=$(main_text 196 32 144 16)
  shown_frequency=$(main_text 196 49 144 16)
  if near "$(to_base_units "$shown_frequency" || echo 0)" "$frequency" 0.001 &&
    near "$(to_base_units "$shown_amplitude" || echo 0)" "$amplitude" 0.01; then
    pass "2: the realised values on screen: '$shown_amplitude', '$shown_frequency'"
  else
    fail "2: the realised values on screen read '$shown_amplitude', '$shown_frequency'"
  fi
}
step2

# --- 3. A 16-bit data file: File / Load, accepted, a block chosen in the preview --------
data_file="$shots/samples.dat"
# 4000 samples of a seeded sequence: only the right block fits the played codes.
python3 -c '
import struct, sys
x, out = 12345, []
for _ in range(4000):
    x = (1103515245 * x + 12345) % 2**31
    out.append((x >> 12) % 16001 - 8000)
open(sys.argv[1], "wb").write(struct.pack("<%dh" % len(out), *out))' "$data_file"

step3() {
  menu "$main" "$file_menu_x" 1 # File / Load
  local dialog settings preview
  dialog=$(wait_window 'Signal generator' 10)
  if [ -z "$dialog" ]; then
    fail "3: File / Load showed no file dialog"
    shot file-dialog-missing
    return
  fi
  shot file-dialog
  xdotool type --delay 20 "$data_file"
  xdotool key Return
  settings=$(wait_window 'File settings|Настройки файла' 10)
  if [ -z "$settings" ]; then
    fail "3: the file settings window did not open for $data_file"
    shot file-settings-missing
    return
  fi
  shot file-settings
  click "$settings" 67 137 # Accept (16-bit data, signed)
  preview=$(wait_window 'View|Preview|Просмотр' 10)
  if [ -z "$preview" ]; then
    fail "3: no preview after the file was accepted"
    shot preview-missing
    return
  fi
  # The block: left click sets its start, right click its end, on the graph.
  click "$preview" 127 140
  local x y
  read -r x y < <(origin "$preview")
  xdotool mousemove --sync $((x + 269)) $((y + 140)) click 3
  sleep 0.5
  shot preview-block
  # Range: 1 V typed, so that the samples are played at a visible level.
  main_click 12 40
  xdotool key --delay 150 Left 0 0 0 1 0 0
  local start size record result
  start=$(main_text 104 66 84 16 | tr -cd '0-9')
  size=$(main_text 104 83 84 16 | tr -cd '0-9')
  local before
  before=$(latest_record)
  main_click 226 15 # Start
  sleep 2
  shot file-started
  record=$(latest_record)
  if [ -z "$record" ] || [ "$record" = "$before" ]; then
    fail "3: Start gave no play record of the file block"
    return
  fi
  if [ -z "$start" ] || [ -z "$size" ]; then
    fail "3: block start '$start' and size '$size' not read from the main window"
    return
  fi
  if result=$(python3 "$here/compare_block.py" "$record" "$data_file" "$start" "$size"); then
    pass "3: the board plays the block $start + $size of the file: $result"
  else
    fail "3: the record is not the block $start + $size of the file: $result"
  fi
}
step3

# --- 4. A signal set saved, the program closed and started again, Apply ----------------
program_ended() { # program_ended SECONDS: waits for the program to exit by itself
  local i
  for i in $(seq 1 $(($1 * 10))); do
    kill -0 "$program_pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}
shown_frequency() { to_base_units "$(main_text 104 49 84 16)" || echo 0; }

step4() {
  # Back to the sine (1 kHz, 1 V from step 2); stop the file playing first.
  main_click 226 15 # Stop
  choose_signal 1
  menu "$main" "$view_menu_x" 3 # View / Saving
  local saving
  saving=$(wait_window 'Saving|Сохранение' 10)
  if [ -z "$saving" ]; then
    fail "4: View / Saving did not open the saved-signals window"
    shot saving-missing
    return
  fi
  click "$saving" 186 216 # Save
  sleep 0.5
  shot signal-saved
  keys "$saving" alt+F4 # out of the way of the main window
  # Another frequency, 2 kHz, so that Apply has something to restore.
  main_click 12 57
  xdotool key --delay 150 Left 3 0 0 2 0 0
  sleep 0.5
  if ! near "$(shown_frequency)" 2000 0.001; then
    fail "4: the frequency did not change to 2 kHz before the restart"
  fi
  menu "$main" "$file_menu_x" 2 # File / Quit
  if ! program_ended 20; then
    fail "4: File / Quit did not end the program"
    shot quit-failed
    stop_program
  fi
  program_pid=""
  start_program
  main=$(wait_window 'Генератор|Generator' 600)
  if [ -z "$main" ]; then
    fail "4: the program did not start again"
    return
  fi
  sleep 1
  shot restarted
  # The saved-signals window may come back where it was, over the main window.
  saving=$(wait_window 'Saving|Сохранение' 2)
  [ -n "$saving" ] && keys "$saving" alt+F4
  local before after
  before=$(shown_frequency)
  menu "$main" "$view_menu_x" 3 # View / Saving
  saving=$(wait_window 'Saving|Сохранение' 10)
  if [ -z "$saving" ]; then
    fail "4: View / Saving did not open the saved-signals window after the restart"
    return
  fi
  shot saved-set-after-restart
  click "$saving" 278 216 # Apply
  sleep 1
  keys "$saving" alt+F4
  shot applied
  after=$(shown_frequency)
  if near "$before" 2000 0.001 && near "$after" 1000 0.001; then
    pass "4: the saved set survived the restart; Apply restored 1 kHz (was $before Hz)"
  else
    fail "4: frequency before Apply $before Hz, after $after Hz (expected 2000, then 1000)"
  fi
}
step4

# --- 5. Single play; Stop; closing while running answered No stops the board ----------
journal_lines() { grep -c '' "$KORD77_SIM_OUT/journal.txt" 2>/dev/null || echo 0; }
journal_since() { tail -n +"$(($1 + 1))" "$KORD77_SIM_OUT/journal.txt" 2>/dev/null; }

step5() {
  local mark record
  main_click 280 15 # single play on
  mark=$(journal_lines)
  main_click 226 15 # Start
  sleep 2
  shot single-play
  record=$(latest_record)
  if journal_since "$mark" | grep -q 'StartOutput.*continuous=0' &&
    grep -q '^continuous = 0' "$record"; then
    pass "5: single play: the board was started for one pass ($(basename "$record"))"
  else
    fail "5: single play: no single-pass start in the journal after line $mark"
  fi
  main_click 280 15 # single play off
  main_click 226 15 # Start (continuous)
  sleep 1
  mark=$(journal_lines)
  main_click 226 15 # Stop
  sleep 1
  shot stopped
  if journal_since "$mark" | grep -q 'StopOutput.*-> 1'; then
    pass "5: Stop stopped the board"
  else
    fail "5: Stop: no StopOutput in the journal after line $mark"
  fi
  main_click 226 15 # Start again, then close while it runs
  sleep 1
  mark=$(journal_lines)
  menu "$main" "$file_menu_x" 2 # File / Quit
  local question
  question=$(wait_window 'Generator|Генератор|Signal generator' 5)
  sleep 0.5
  shot close-question
  xdotool key alt+n # No: stop the board, then close
  if program_ended 20 && journal_since "$mark" | grep -q 'StopOutput.*-> 1'; then
    pass "5: closing while running, answered No: the board was stopped and the program ended"
  else
    fail "5: closing while running, answered No: $(journal_since "$mark" | tr '\n' ';')"
    shot close-failed
  fi
  program_pid=""
}
step5

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
