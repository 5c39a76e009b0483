#!/usr/bin/env bash
# with-wm.sh COMMAND...: runs COMMAND on the X display in DISPLAY under a
# window manager (openbox), as on an engineer's desktop: windows get frames,
# the work area and the focus a window manager gives them. For the virtual X
# server of the tests and the screenshots (xvfb-run ... scripts/with-wm.sh ...).
set -uo pipefail
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null' EXIT
# Ready once it has announced itself on the root window.
for _ in $(seq 200); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
"$@"
