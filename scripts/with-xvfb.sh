#!/usr/bin/env bash
# Runs one command on a private Xvfb display of its own and returns the command's status.
# Xvfb picks the display number itself (-displayfd) under its own lock, so runs started at the
# same moment never share or fight over a display. -noreset keeps the server from resetting
# when its last client leaves: a program connecting during a reset is turned away, and the
# checks poll with short-lived xdotool clients while the program starts.
set -u
number_file=$(mktemp /tmp/with-xvfb-XXXXXX)
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null; rm -f "$number_file"' EXIT
display=""
for _ in $(seq 1 100); do
  number=$(tr -dc '0-9' <"$number_file")
  [ -n "$number" ] && { display=":$number"; break; }
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$display" ] || { echo "with-xvfb: Xvfb did not come up within 10 s" >&2; exit 1; }
unset QT_QPA_PLATFORM
DISPLAY="$display" QT_QPA_PLATFORM=xcb "$@"
