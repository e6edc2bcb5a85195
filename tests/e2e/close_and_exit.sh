# The close button minimises and the program keeps running; "Exit" from the tray menu ends
# every thread and the process in time.
source "$(dirname "$0")/common.sh"
cat > "$work/close.scenario" <<S
wait 2000
click closebtn
wait 300
dump $work/closed.json
wait 1200
tray right
wait 300
menu Exit
wait 20000
S
start=$(now_ms)
"$APP" --emulate --scenario "$work/close.scenario" & app=$!; pids+=($app)
wid=$(wait_for_window 15) || fail "no visible window"
# The dump is written 300 ms after the click and 1.5 s before the tray menu's "Exit".
deadline=$(( $(now_ms) + 10000 ))
while [ ! -s "$work/closed.json" ] && [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.05; done
sleep 0.2
grep -q '"minimized": true' "$work/closed.json" || fail "the close button did not minimise the window"
grep -Eq '"name": "ms_tab", [^}]*"visible": true' "$work/closed.json" || fail "the emulated mouse's tab is not shown"
kill -0 "$app" 2>/dev/null || fail "the program ended on the close button"
wait "$app"; rc=$?
elapsed=$(( $(now_ms) - start ))
[ "$rc" -eq 0 ] || fail "exit status $rc"
# 2 s + 1.5 s + 0.3 s of scenario, the rest is the shutdown; the threads get 10 s at most.
[ "$elapsed" -lt 15000 ] || fail "exit took $elapsed ms"
echo "close minimised, exit after $elapsed ms"
