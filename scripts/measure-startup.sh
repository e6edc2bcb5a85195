#!/usr/bin/env bash
# Start-up time to the main window shown, and resident memory once started, with the three
# emulated devices attached.
#
#   scripts/measure-startup.sh [BUILD_DIR] [RUNS]      (default build/release, 5 runs)
#
# Needs an X display; without one it starts itself under Xvfb. Each run starts the program
# in a private home, polls for the visible top-level window titled "ViZirado Driver" every
# 5 ms, reads VmRSS from /proc 3 s later (the connection reads are done by then) and ends
# the program. Prints every run and the medians.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then exec scripts/with-xvfb.sh "$0" "$@"; fi
build=${1:-build/release}
runs=${2:-5}
app="$build/bin/vizirado-driver"
[ -x "$app" ] || { echo "measure-startup: $app is not built (cmake --build --preset release)" >&2; exit 1; }

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

times=() rss=()
for run in $(seq 1 "$runs"); do
  home=$(mktemp -d /tmp/vz-startup-XXXXXX)
  mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
  start=$(now_ms)
  VZ_DOCUMENTS_DIR="$home/Documents" VZ_CONFIG_DIR="$home/config" VZ_RUNTIME_DIR="$home/runtime" \
    "$app" --emulate >"$home.log" 2>&1 &
  pid=$!
  shown=""
  while [ -z "$shown" ] && [ $(( $(now_ms) - start )) -lt 10000 ]; do
    xdotool search --onlyvisible --name '^ViZirado Driver$' >/dev/null 2>&1 && shown=$(now_ms) || sleep 0.005
  done
  [ -n "$shown" ] || { kill "$pid" 2>/dev/null || true; cat "$home.log" >&2; echo "run $run: no window within 10 s" >&2; exit 1; }
  sleep 3
  kill -0 "$pid" 2>/dev/null || { cat "$home.log" >&2; echo "run $run: the program ended by itself" >&2; exit 1; }
  kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  rm -rf "$home" "$home.log"
  times+=($(( shown - start ))); rss+=($(( kb / 1024 )))
  echo "run $run: window shown after $(( shown - start )) ms, resident ${rss[-1]} MiB"
done
echo "median: window shown after $(printf '%s\n' "${times[@]}" | median) ms," \
     "resident $(printf '%s\n' "${rss[@]}" | median) MiB ($runs runs, $app)"
