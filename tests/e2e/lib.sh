# Shared helpers of the end-to-end tests: sourced, not run.
#
# The tests run inside scripts/with-wine (WINEPREFIX, DISPLAY and a persistent wineserver are set up).
# Programs run in a Wine virtual desktop of their own, where Wine draws captions and colour keys as
# Windows does; winprobe.exe looks at its windows from outside. Every process a test starts is ended
# by the EXIT trap, and the program's registry key is deleted before and after each test.
# scripts/run-pellory uses the same helpers, without the checks and keeping the settings.

E2E_DESKTOP=${E2E_DESKTOP:-pellory-e2e}
E2E_SIZE=${E2E_SIZE:-1024x768}
E2E_KEY='HKCU\Software\Quarrystone\Pellory'

E2E_PASSED=0
E2E_FAILED=0
E2E_LAUNCHERS=()  # shell pids of the `wine explorer /desktop=...` launchers
E2E_WIN_PIDS=()   # Windows pids of the programs whose windows we found
E2E_EXES=()       # file names of the programs we started

e2e_log() { printf '%s\n' "$*" >&2; }

e2e_die() {
    e2e_log "FATAL: $*"
    exit 1
}

# e2e_init: checks the environment, sets the EXIT trap and starts from a clean key.
# Needs WINPROBE (path of winprobe.exe) to be set by the test.
e2e_init() {
    [ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] ||
        e2e_die "run under scripts/with-wine (WINEPREFIX and DISPLAY must be set)"
    [ -f "${WINPROBE:-}" ] || e2e_die "winprobe.exe not found at '${WINPROBE:-}'"
    export WINEDEBUG="${WINEDEBUG:--all}"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    E2E_RESET_KEY=1
    if probe list >/dev/null 2>&1; then
        e2e_die "desktop $E2E_DESKTOP is already in use; an earlier run left windows behind"
    fi
    e2e_reg_reset
}

# probe ARGS...: winprobe.exe attached to the test desktop.
probe() {
    wine "$WINPROBE" --desktop "$E2E_DESKTOP" "$@" </dev/null
}

# e2e_start EXE ARGS...: starts a program in the virtual desktop (creating the desktop if needed).
e2e_start() {
    E2E_EXES+=("$(basename "$1")")
    wine explorer "/desktop=$E2E_DESKTOP,$E2E_SIZE" "$@" </dev/null >/dev/null 2>&1 &
    E2E_LAUNCHERS+=("$!")
}

# e2e_wait_window CLASS [TITLE] MS: prints the window's handle once it exists and remembers its
# process for the cleanup; fails after MS milliseconds. The desktop itself may take a moment to exist.
e2e_wait_window() {
    local cls=$1 title=- ms
    if [ $# -eq 3 ]; then title=$2; ms=$3; else ms=$2; fi
    local deadline=$((SECONDS + ms / 1000 + 1)) hwnd=""
    until hwnd=$(probe find "$cls" "$title" --wait 200 2>/dev/null); do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.2
    done
    local pid
    pid=$(probe info "$hwnd" | sed -n 's/^pid=//p')
    [ -n "$pid" ] && E2E_WIN_PIDS+=("$pid")
    printf '%s\n' "$hwnd"
}

# e2e_info TARGET: fills the associative array INFO from `winprobe info`.
declare -gA INFO
e2e_info() {
    INFO=()
    local out line
    out=$(probe info "$1") || return 1
    while IFS= read -r line; do
        INFO[${line%%=*}]=${line#*=}
    done <<<"$out"
}

# e2e_reg_reset: deletes the program's key (it may well be missing already).
e2e_reg_reset() {
    wine reg delete "$E2E_KEY" /f </dev/null >/dev/null 2>&1 || true
}

# e2e_reg_value NAME: prints "TYPE DATA" of a value of the program's key, e.g. "REG_DWORD 0x1";
# fails when the value is missing.
e2e_reg_value() {
    local out
    out=$(wine reg query "$E2E_KEY" /v "$1" </dev/null 2>/dev/null) || return 1
    printf '%s\n' "$out" | tr -d '\r' | awk -v name="$1" '$1 == name { print $2, $3; found = 1 } END { exit !found }'
}

# e2e_raise_x XCLASS: raises the X windows of a program (X class = its lower-case file name) above its
# siblings in the virtual desktop. Wine keeps the Windows z-order right but stacks a newly activated
# window's X window above everything, topmost windows included, and never restacks a topmost window
# that is already first in the Windows z-order; this puts the picture back in line with the z-order.
e2e_raise_x() {
    local xid
    for xid in $(xdotool search --onlyvisible --class "^$1\$" 2>/dev/null); do
        xdotool windowraise "$xid" 2>/dev/null
    done
}

# e2e_screenshot FILE: the virtual desktop's X window, or the whole screen when it cannot be found.
e2e_screenshot() {
    local xid
    xid=$(xdotool search --name "^$E2E_DESKTOP - Wine desktop\$" 2>/dev/null | head -n1)
    if [ -n "$xid" ]; then
        import -window "$xid" "$1" 2>/dev/null && return 0
    fi
    import -window root "$1"
}

# Checks: each prints one line and counts as passed or failed.
check_eq() {  # DESCRIPTION ACTUAL EXPECTED
    if [ "$2" = "$3" ]; then
        E2E_PASSED=$((E2E_PASSED + 1)); e2e_log "ok   - $1"
    else
        E2E_FAILED=$((E2E_FAILED + 1)); e2e_log "FAIL - $1: got '$2', expected '$3'"
    fi
}

check() {  # DESCRIPTION COMMAND...
    local what=$1; shift
    if "$@"; then
        E2E_PASSED=$((E2E_PASSED + 1)); e2e_log "ok   - $what"
    else
        E2E_FAILED=$((E2E_FAILED + 1)); e2e_log "FAIL - $what"
    fi
}

not() { ! "$@"; }

# e2e_finish: the summary line; the exit status is that of the checks.
e2e_finish() {
    printf '%d passed, %d failed\n' "$E2E_PASSED" "$E2E_FAILED"
    [ "$E2E_FAILED" -eq 0 ] && [ "$E2E_PASSED" -gt 0 ]
}

# e2e_close_all: asks every window on the desktop to close, then ends whatever is left of the
# programs we started: those whose windows we found and any other process of the same executables
# (the Wine prefix is the build's own, so they can only be ours).
e2e_close_all() {
    local line pid name exe pids=("${E2E_WIN_PIDS[@]}")
    while read -r line; do
        [[ $line == *" visible=yes "* ]] && probe close "${line%% *}" >/dev/null 2>&1
    done < <(probe list 2>/dev/null)
    while read -r pid name; do
        for exe in "${E2E_EXES[@]}"; do
            [ "${name,,}" = "${exe,,}" ] && pids+=("$pid")
        done
    done < <(probe procs 2>/dev/null | tr -d '\r')
    for pid in "${pids[@]}"; do
        probe wait-exit "$pid" --wait 3000 >/dev/null 2>&1 && continue
        e2e_log "process $pid did not end when its windows were closed; terminating it"
        probe kill "$pid" >/dev/null 2>&1
    done
    E2E_WIN_PIDS=()
}

e2e_cleanup() {
    local rc=$? pid
    trap - EXIT
    e2e_close_all
    # The desktop's explorer ends by itself once nothing runs on it any more.
    for pid in "${E2E_LAUNCHERS[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill "$pid" 2>/dev/null && e2e_log "desktop launcher $pid still running; killed"
        wait "$pid" 2>/dev/null
    done
    [ -n "${E2E_RESET_KEY:-}" ] && e2e_reg_reset
    exit "$rc"
}
