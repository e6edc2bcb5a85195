#!/usr/bin/env bash
# Builds the application and starts it with the three emulated devices attached.
# Without a display it runs offscreen, renders every page to PNG files and says where.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f src/app/CMakeLists.txt ]; then
  echo "demo: the application does not exist yet; 'make test' builds and checks what does."
  exit 0
fi
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)"
app=build/dev/bin/vizirado-driver
# The emulated devices write their profiles like real ones would: keep them, the language
# choice and the single-instance lock away from the user's own files.
home="$PWD/build/demo-home"
mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
export VZ_DOCUMENTS_DIR="$home/Documents" VZ_CONFIG_DIR="$home/config" VZ_RUNTIME_DIR="$home/runtime"
if [ -n "${DISPLAY:-}" ]; then
  exec "$app" --emulate
fi
out="$PWD/build/demo-screenshots"
rm -rf "$out"; mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$app" --emulate --scenario scripts/demo.scenario --screenshot-dir "$out"
echo "demo: no display, so every page was rendered in each language to $out:"
ls "$out"
