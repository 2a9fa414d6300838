# Drives the installed program on a virtual X display as a user with a mouse
# would: windows are found by their titles, and xdotool clicks their buttons
# and types into their text boxes. Sourced by in-root.sh.
#   DISPLAY       the X display the program runs on
#   SHOTS         where pictures of the screen are kept
#   FRAMEBUFFER   the file Xvfb keeps its screen in (its -fbdir)
#   DESKTOP_ENTRY the program's .desktop file
#
# Buttons are clicked rather than reached by their Alt letters: without a
# window manager no window is made active, and Qt gives Alt letters only to
# the active window. The places clicked are where the screens draw those
# controls at their design size (no window manager resizes them).

# The program's process, set by start_program.
program=
shot_number=0

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# Keeps a picture of the whole screen as SHOTS/NN-NAME.xwd.
shot() {
  shot_number=$((shot_number + 1))
  cp "$FRAMEBUFFER" "$SHOTS/$(printf '%02d' "$shot_number")-$1.xwd"
}

# Prints the ids of the visible windows titled $1 (a pattern; any title when
# it is empty), one a line, leaving out the ids listed in $2.
visible_windows() {
  xdotool search --onlyvisible --name "${1:-}" 2>/dev/null | grep -vxF -e "${2:-none}" || true
}

# Prints the id of a visible window titled exactly $1 (any window when $1 is
# empty) and not listed in $2, once there is one. Gives up at once when the
# program has ended, and after 30 seconds otherwise.
wait_window() {
  local id
  for _ in $(seq 300); do
    id=$(visible_windows "${1:+^$1\$}" "${2:-}" | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$program" 2>/dev/null || fail "the program ended while the window \"$1\" was awaited"
    sleep 0.1
  done
  shot "no-window"
  fail "no window \"$1\" appeared"
}

# Waits until the window $1 (an id) is no longer visible.
wait_closed() {
  for _ in $(seq 300); do
    visible_windows | grep -qxF "$1" || return 0
    sleep 0.1
  done
  shot "still-open"
  fail "the window $1 stayed open"
}

# Moves the pointer off every window, so that no tooltip opens.
park_pointer() {
  xdotool mousemove 1270 1010
}

# Clicks at $2,$3 inside the window $1 (an id), raised first: without a
# window manager every window opens at the top left corner, over the others.
click_at() {
  xdotool windowraise "$1" mousemove --window "$1" "$2" "$3" click 1
  park_pointer
}

# Clicks at $2,$3 inside the window titled $1.
click_in() {
  click_at "$(wait_window "$1")" "$2" "$3"
}

# Clicks the text box at $2,$3 in the window titled $1 and types $4 into it.
type_into() {
  local id
  id=$(wait_window "$1")
  xdotool windowfocus --sync "$id"
  click_at "$id" "$2" "$3"
  xdotool type --delay 50 "$4"
}

# Starts the program as user $1 with the command of its desktop entry, as the
# desktop's menu does, and waits for its main menu.
start_program() {
  local user=$1 command
  command=$(sed -n 's/^Exec=//p' "$DESKTOP_ENTRY" | head -n 1 | sed 's/ *%[fFuUdDnNickvm]//g')
  [ -n "$command" ] || fail "the desktop entry has no Exec line"
  park_pointer
  runuser -u "$user" -- env -i HOME="/home/$user" USER="$user" LOGNAME="$user" PATH=/usr/local/bin:/usr/bin:/bin \
    DISPLAY="$DISPLAY" LANG=C.UTF-8 sh -c "exec $command" >"$SHOTS/$user-program.log" 2>&1 &
  program=$!
  wait_window "Main Menu" >/dev/null
}

# Ends the program with the main menu's Exit and waits for it to be gone.
exit_program() {
  click_in "Main Menu" 219 401
  for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$program" 2>/dev/null; then shot "no-exit"; fail "the program did not end on Exit"; fi
  wait "$program" || fail "the program ended with status $?"
}

# Logs call 1 of the board on lane $2 as mechanic $1, through the screens: the
# shift information, the board, the lane entry and its Save.
log_call() {
  local mechanic=$1 lane=$2 entry
  click_in "Main Menu" 320 169                              # Modify Shift Information
  type_into "Current Shift Information" 245 71 "$mechanic"  # Mechanic # 1
  click_in "Current Shift Information" 190 164              # Exit
  click_in "Main Menu" 219 117                              # Start Logging Calls
  wait_window "Master List of Calls" >/dev/null
  shot "board-$mechanic"
  click_in "Master List of Calls" 22 64                     # call 1, the first of the first column
  type_into "Lane Number Entry Form" 152 98 "$lane"         # Lane Number
  shot "lane-entry-$mechanic"
  entry=$(wait_window "Lane Number Entry Form")
  click_at "$entry" 420 102                                 # Save
  wait_closed "$entry"
}

# Compacts the database from the Utilities menu, and answers the message that
# says it was done (a message titled with the program's name).
compact_database() {
  local before menu message
  before=$(visible_windows)
  click_in "Main Menu" 32 8                                 # Utilities
  menu=$(wait_window "" "$before")
  click_at "$menu" 40 10                                    # Compact Database
  message=$(wait_window "Tarrowby Stopwell" "$before
$menu")
  shot compacted
  xdotool windowfocus --sync "$message" key Return
  wait_closed "$message"
}
