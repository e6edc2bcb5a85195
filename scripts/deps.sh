#!/usr/bin/env bash
# Installs every Debian package that building, testing and the demo need.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev                       # libFuzzer targets
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev # the one large dependency
  libgl-dev libx11-dev libxi-dev libxtst-dev libxfixes-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth xdotool x11-utils                   # tests that need a real display
  fonts-noto-cjk fonts-dejavu-core               # Chinese texts of the skin
  imagemagick                                    # comparing screenshots
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "deps: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
