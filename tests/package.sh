#!/usr/bin/env bash
# The Debian packages: scripts/package.sh builds them from the build folder,
# dpkg -x unpacks them into a scratch root, the command line runs from there,
# the files a user relies on are in place, and lintian accepts both.
# Argument: the build folder.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "$1" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

GRUVIK2_PACKAGING=1 "$ROOT"/scripts/deps.sh || exit 1
debs=$(BUILD_DIR=$BUILD "$ROOT"/scripts/package.sh) || { echo "FAILED: scripts/package.sh"; exit 1; }
main=$(echo "$debs" | grep '/gruvik2_')
tools=$(echo "$debs" | grep '/gruvik2-tools_')
check "two packages built" [ -f "$main" -a -f "$tools" ]
dpkg -x "$main" "$WORK/root"
dpkg -x "$tools" "$WORK/root"
R=$WORK/root

check "gruvik2-cli --version from the unpacked package" \
    [ "$("$R"/usr/bin/gruvik2-cli --version)" = "gruvik2-cli 1.0.0" ]
check "gruvik2 --version without a display" \
    [ "$(env -u DISPLAY "$R"/usr/bin/gruvik2 --version)" = "gruvik2 1.0.0" ]
check "the binaries are stripped" \
    bash -c "! file '$R'/usr/bin/* '$R'/usr/lib/gruvik2/* | grep -q 'not stripped'"
check "the udev rule gives the seat's user the reader" \
    grep -q 'TAG+="uaccess"' "$R"/usr/lib/udev/rules.d/70-gruvik2-reader.rules
check "the manual pages" [ -s "$R"/usr/share/man/man1/gruvik2.1.gz -a -s "$R"/usr/share/man/man1/gruvik2-cli.1.gz ]
check "the test tools are not on the PATH" \
    [ -x "$R"/usr/lib/gruvik2/gruvik2-reader-emu -a ! -e "$R"/usr/bin/gruvik2-reader-emu ]
check "the metainfo validates" \
    appstreamcli validate --no-net "$R"/usr/share/metainfo/ru.tornvel.gruvik2.metainfo.xml
check "the desktop entry validates" desktop-file-validate "$R"/usr/share/applications/gruvik2.desktop
check "the dependencies come from the shared libraries" \
    bash -c "dpkg-deb -f '$main' Depends | grep -q 'libwxgtk3.2'"
lintian --fail-on warning,error --suppress-tags-from-file "$ROOT"/packaging/lintian-suppressed \
    $main $tools >"$WORK/lintian.txt" 2>&1
check "lintian accepts both packages" [ $? -eq 0 ]
cat "$WORK/lintian.txt"
exit $((failures > 0))
