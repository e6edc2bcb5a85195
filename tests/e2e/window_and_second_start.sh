# The real window is 800 x 572 and titled "ViZirado Driver"; the mouse's connection reads are
# in the trace; a second start exits with 0 within a second and brings the first forward.
source "$(dirname "$0")/common.sh"
"$APP" --emulate=mouse --trace "$work/trace.txt" & pids+=($!)
wait_for_window 15 >/dev/null || fail "no visible window"
geometry=$(on_window getwindowgeometry 5 | sed -n 's/ *Geometry: //p' || true)
[ "$geometry" = "800x572" ] || fail "window is $geometry, not 800x572"

# Connection reads of the mouse: DeviceInfo (3), the default key map (7) and key blocks (8).
# They run 500 ms after the mouse was found.
traced() { grep -Eq "^[0-9]+ mouse > 04 .. .. $1 " "$work/trace.txt"; }
deadline=$(( $(now_ms) + 5000 ))
while ! traced 08 && [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.1; done
for command in 03 07 08; do
  traced $command || fail "no command $command of the mouse in the trace"
done
on_window windowunmap 5 || fail "the window could not be hidden"
start=$(now_ms)
"$APP" --emulate=mouse; rc=$?
elapsed=$(( $(now_ms) - start ))
[ "$rc" -eq 0 ] || fail "second start exited with $rc"
[ "$elapsed" -lt 1000 ] || fail "second start took $elapsed ms"
wait_for_window 5 >/dev/null || fail "the first instance did not come forward"
echo "window $geometry, connection reads traced, second start $elapsed ms"
