#!/usr/bin/env bash
# Builds the Debian packages gruvik2 and gruvik2-tools with CPack from the
# build folder (build/, or $BUILD_DIR), building what is stale first, and
# prints the paths of the .deb files. The binaries carry the hardening flags
# of the build (CMakeLists.txt) and are stripped by CPack; dpkg-shlibdeps
# computes the dependencies.
#   scripts/package.sh            # build/gruvik2_1.0.0-1_amd64.deb, build/gruvik2-tools_…
#   scripts/package.sh --lintian  # and check both with lintian
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
lintian=0
case "${1:-}" in
  --lintian) lintian=1 ;;
  -h | --help) sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  "") ;;
  *) echo "package.sh: неизвестный параметр: $1" >&2; exit 2 ;;
esac
[ $lintian -eq 1 ] && export GRUVIK2_PACKAGING=1
scripts/deps.sh
BUILD_DIR=$BUILD_DIR scripts/build.sh
rm -f "$BUILD_DIR"/gruvik2_*.deb "$BUILD_DIR"/gruvik2-tools_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >cpack.log 2>&1) || { cat "$BUILD_DIR"/cpack.log >&2; exit 1; }
debs=$(ls "$BUILD_DIR"/gruvik2_*.deb "$BUILD_DIR"/gruvik2-tools_*.deb)
echo "$debs"
if [ $lintian -eq 1 ]; then
  # Tags the README explains are suppressed (packaging/lintian-suppressed).
  lintian --fail-on warning,error --suppress-tags-from-file packaging/lintian-suppressed $debs
fi
