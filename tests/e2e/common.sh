# Shared by the end-to-end checks: a private home for the application, and small waits.
set -euo pipefail
work=$(mktemp -d /tmp/vz-e2e-XXXXXX)
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
export VZ_DOCUMENTS_DIR="$work/Documents" VZ_CONFIG_DIR="$work/config" VZ_RUNTIME_DIR="$work/runtime"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
now_ms() { date +%s%3N; }

# The id of the visible top-level window titled exactly "ViZirado Driver", waiting up to $1 s.
wait_for_window() {
  local deadline=$(( $(now_ms) + ${1:-10} * 1000 )) wid=""
  while [ "$(now_ms)" -lt "$deadline" ]; do
    wid=$(xdotool search --onlyvisible --name '^ViZirado Driver$' 2>/dev/null | head -n 1 || true)
    [ -n "$wid" ] && { echo "$wid"; return 0; }
    sleep 0.1
  done
  return 1
}

# Runs "xdotool $1 <window> ..." on the visible window, taking its id again when the window was
# re-created in between (bringing it forward may do that), for up to $2 s.
on_window() {
  local action=$1 deadline=$(( $(now_ms) + ${2:-5} * 1000 )) wid
  shift 2
  while [ "$(now_ms)" -lt "$deadline" ]; do
    wid=$(wait_for_window 1) && xdotool "$action" "$wid" "$@" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
