#!/usr/bin/env bash
# Runs one command on a private Xvfb display of its own and returns the command's status.
set -u
display=""
for n in $(seq 90 150); do
  if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "with-xvfb: no free display" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null' EXIT
ready=0
for _ in $(seq 1 100); do
  DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && { ready=1; break; }
  sleep 0.1
done
[ "$ready" -eq 1 ] || { echo "with-xvfb: Xvfb on $display did not come up within 10 s" >&2; exit 1; }
unset QT_QPA_PLATFORM
DISPLAY="$display" QT_QPA_PLATFORM=xcb "$@"
