#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need;
# does nothing when they are all present. Runs apt-get as root or through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libusb-1.0-0-dev libcairo2-dev
  xvfb xauth x11-utils imagemagick fonts-liberation
  zip librsvg2-bin wx3.2-i18n poppler-utils clang-format
)
if [ "${GRUVIK2_FUZZ:-0}" = 1 ]; then PACKAGES+=(clang libclang-rt-14-dev); fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
