# Sourced by the shell tests that run the programs against files and reader
# emulators, after BIN is set: a work folder to run in, removed at the end
# together with the processes whose ids are in PIDS; check DESCRIPTION
# COMMAND... counts failures; emulator OPTIONS... starts a reader emulator and
# sets EMU_PATH (its serial line) and EMU_PID.
WORK=$(mktemp -d)
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    chmod -R u+rwx "$WORK" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK"
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
emulator() {
    local out=$WORK/emu.$RANDOM
    "$BIN"/gruvik2-reader-emu "$@" >"$out" &
    EMU_PID=$!
    PIDS+=("$EMU_PID")
    for _ in $(seq 50); do [ -s "$out" ] && break; sleep 0.1; done
    EMU_PATH=$(head -1 "$out")
}
