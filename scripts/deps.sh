#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, and
# the Russian locale the program's dialogs and calendar speak through; does
# nothing when they are all present. Runs apt-get as root or through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libusb-1.0-0-dev libcairo2-dev
  xvfb xauth x11-utils imagemagick fonts-liberation fonts-dejavu-core
  zip librsvg2-bin wx3.2-i18n poppler-utils clang-format
  nlohmann-json3-dev libsqlite3-dev nettle-dev python3 locales openbox help2man
)
if [ "${GRUVIK2_FUZZ:-0}" = 1 ]; then PACKAGES+=(clang libclang-rt-14-dev); fi
# What the test of the Debian package checks it with (tests/cli/package.sh).
if [ "${GRUVIK2_PACKAGING:-0}" = 1 ]; then
  PACKAGES+=(lintian appstream desktop-file-utils)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The month and day names of the calendar come from the system's Russian locale.
russian=1
locale -a 2>/dev/null | grep -qix 'ru_RU.utf-\?8' || russian=0
[ ${#missing[@]} -eq 0 ] && [ $russian -eq 1 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ $russian -eq 0 ]; then
  # Added to the locales the system keeps, so a later locale-gen keeps it too.
  echo "Generating the ru_RU.UTF-8 locale" >&2
  $SUDO sed -i -E 's/^# *(ru_RU\.UTF-8 UTF-8)/\1/' /etc/locale.gen
  grep -qx 'ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
