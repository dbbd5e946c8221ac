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

E2E_PASSED=0 E2E_FAILED=0
E2E_LAUNCHERS=()  # shell pids of the `wine explorer /desktop=...` launchers
E2E_EXES=()       # file names of the programs we started

e2e_log() { printf '%s\n' "$*" >&2; }

e2e_die() { e2e_log "FATAL: $*"; exit 1; }

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
    # The desktop of the test before may take a moment to go.
    [ "$E2E_DESKTOP" = Default ] || e2e_wait_until 10000 not probe list >/dev/null 2>&1 ||
        e2e_die "desktop $E2E_DESKTOP is already in use; an earlier run left windows behind"
    wine reg delete "$E2E_KEY" /f </dev/null >/dev/null 2>&1
}

# probe ARGS...: winprobe.exe attached to the test desktop.
probe() { wine "$WINPROBE" --desktop "$E2E_DESKTOP" "$@" </dev/null; }

# e2e_start EXE ARGS...: starts a program in the virtual desktop (creating the desktop if needed); with
# E2E_DESKTOP=Default, on Wine's own desktop, where every window is an X window of its own.
e2e_start() {
    E2E_EXES+=("$(basename "$1")")
    if [ "$E2E_DESKTOP" = Default ]; then wine "$@"; else wine explorer "/desktop=$E2E_DESKTOP,$E2E_SIZE" "$@"; fi \
        </dev/null >/dev/null 2>&1 &
    E2E_LAUNCHERS+=("$!")
}

# e2e_wait_window CLASS TITLE MS: prints the window's handle once it exists ("-": any title); fails after
# MS milliseconds. The desktop itself may take a moment to exist.
e2e_wait_window() { e2e_wait_until "$3" probe find "$1" "$2" 2>/dev/null; }

# e2e_info TARGET: fills the associative array INFO from `winprobe info`.
declare -gA INFO
e2e_info() {
    INFO=()
    local out line
    out=$(probe info "$1") || return 1
    while IFS= read -r line; do INFO[${line%%=*}]=${line#*=}; done <<<"$out"
}

# e2e_reg_value NAME [KEY]: prints "TYPE DATA" of a value of the key (the program's by default), e.g.
# "REG_DWORD 0x1"; fails when the value is missing.
e2e_reg_value() {
    wine reg query "${2:-$E2E_KEY}" /v "$1" </dev/null 2>/dev/null | tr -d '\r' |
        awk -F'    ' -v n="$1" '$2 == n { print $3 " " $4; f = 1 } END { exit !f }'
}


# set_dpi DPI: the DPI of programs started from now on. Wine takes it from HKCU\Control Panel\Desktop
# "LogPixels", and from HKEY_CURRENT_CONFIG\Software\Fonts "LogPixels" when the first is missing: both are
# set. A `wine reg` started while the test before is still winding down has been seen to fail once in many
# runs: tried again for a while, and what it said last is kept in BUILD/e2e-set-dpi.log for the message.
set_dpi_once() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >"$BUILD/e2e-set-dpi.log" 2>&1 &&
        wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >"$BUILD/e2e-set-dpi.log" 2>&1
}
set_dpi() { e2e_wait_until 10000 set_dpi_once "$1"; }

# e2e_screenshot FILE: the virtual desktop's X window, or the whole X screen without one.
e2e_screenshot() { local xid=root; [ "$E2E_DESKTOP" = Default ] || xid=$(e2e_desktop_xid) && import -window "$xid" "$1" 2>/dev/null; }

# Checks: each prints one line and counts as passed or failed.
check_eq() {  # DESCRIPTION ACTUAL EXPECTED
    [ "$2" = "$3" ] && e2e_count ok "$1" || e2e_count FAIL "$1: got '$2', expected '$3'"
}
check() {  # DESCRIPTION COMMAND...
    local what=$1; shift
    "$@" && e2e_count ok "$what" || e2e_count FAIL "$what"
}
e2e_count() {
    [ "$1" = ok ] && E2E_PASSED=$((E2E_PASSED + 1)) || E2E_FAILED=$((E2E_FAILED + 1))
    e2e_log "$(printf '%-4s - %s' "$1" "$2")"
}

not() { ! "$@"; }

# check_until MS DESCRIPTION EXPECTED COMMAND...: polls until COMMAND prints EXPECTED, for whatever the
# program shows or writes a moment later; a failure reports what it printed last.
check_until() {
    local ms=$1 what=$2 want=$3; shift 3
    E2E_GOT=
    e2e_wait_until "$ms" e2e_prints "$want" "$@" && e2e_count ok "$what" ||
        e2e_count FAIL "$what: got '$E2E_GOT', expected '$want'"
}
e2e_prints() { E2E_GOT=$("${@:2}" 2>/dev/null); [ "$E2E_GOT" = "$1" ]; }  # EXPECTED COMMAND...

# e2e_finish: the summary line; the exit status is that of the checks.
e2e_finish() {
    printf '%d passed, %d failed\n' "$E2E_PASSED" "$E2E_FAILED"
    [ "$E2E_FAILED" -eq 0 ] && [ "$E2E_PASSED" -gt 0 ]
}

# e2e_close_all: asks every window on the desktop to close, then ends whatever is left of the
# programs we started (the Wine prefix is the build's own, so processes of those files can only be ours).
e2e_close_all() {
    local line pid name exe
    while read -r line; do
        [[ $line == *" visible=yes "* ]] && probe close "${line%% *}" >/dev/null 2>&1
    done < <(probe list 2>/dev/null)
    while read -r pid name; do
        for exe in "${E2E_EXES[@]}"; do
            [ "${name,,}" = "${exe,,}" ] && ! probe wait-exit "$pid" --wait 3000 >/dev/null 2>&1 &&
                e2e_log "process $pid did not end when its windows were closed; terminating it" &&
                probe kill "$pid" >/dev/null 2>&1
        done
    done < <(probe procs 2>/dev/null | tr -d '\r')
}

e2e_cleanup() {
    local rc=$? pid
    trap - EXIT
    e2e_close_all
    # The desktop's explorer ends by itself once nothing runs on it any more.
    for pid in "${E2E_LAUNCHERS[@]}"; do
        e2e_wait_until 5000 not kill -0 "$pid" 2>/dev/null ||
            { kill "$pid" 2>/dev/null && e2e_log "desktop launcher $pid still running; killed"; }
        wait "$pid" 2>/dev/null
    done
    # The desktop's explorer lingers a moment after its last program; the next test needs the desktop
    # gone. Watched from the X side: a program attaching to the desktop would keep it alive.
    e2e_wait_until 10000 not e2e_desktop_xid >/dev/null
    [ -n "${E2E_RESET_KEY:-}" ] && wine reg delete "$E2E_KEY" /f </dev/null >/dev/null 2>&1
    exit "$rc"
}

# ---- Driving the programs as a user would, and looking at what they show ----

# e2e_wait_until MS COMMAND...: runs COMMAND until it succeeds; fails once MS milliseconds have passed.
e2e_wait_until() {
    local deadline=$(( ${EPOCHREALTIME/./} / 1000 + $1 )); shift
    until "$@"; do
        [ $(( ${EPOCHREALTIME/./} / 1000 )) -ge "$deadline" ] && return 1
        sleep 0.1
    done
}

# e2e_desktop_xid: the X window of the virtual desktop; its origin is the origin of the Windows screen.
e2e_desktop_xid() { xdotool search --name "^$E2E_DESKTOP - Wine desktop\$" 2>/dev/null | head -n1 | grep .; }

# e2e_click X Y [BUTTON]: the real pointer to desktop pixel (X, Y), then a click (1 left, 2 middle, 3 right).
e2e_click() { local xid; xid=$(e2e_desktop_xid) && xdotool mousemove --window "$xid" "$1" "$2" sleep 0.2 click "${3:-1}"; }

# e2e_keys KEY...: presses the keys one after another, as xdotool names them (Down, Return, alt+F4...).
e2e_keys() { local key; for key in "$@"; do xdotool key "$key" && sleep 0.15 || return 1; done; }

# e2e_perch LEFT TOP WIDTH HEIGHT TITLE: starts a perch window, puts it exactly there (in physical
# pixels, whatever the DPI), brings it to the foreground and prints its handle.
e2e_perch() {
    local hwnd
    e2e_start "$PERCH" "$@"
    hwnd=$(e2e_wait_window Pellory.Perch "$5" 10000) || return 1
    probe move "$hwnd" "$1" "$2" "$3" "$4" >/dev/null || return 1
    probe activate "$hwnd" --wait 3000 >/dev/null || return 1
    printf '%s\n' "$hwnd"
}

# e2e_rect TARGET: prints "LEFT TOP RIGHT BOTTOM" of the window.
e2e_rect() { e2e_info "$1" && printf '%s\n' "${INFO[rect]}"; }
e2e_field() { e2e_info "$1" && printf '%s\n' "${INFO[$2]:-}"; }  # TARGET KEY: one line of `winprobe info`
e2e_rect_is() { [ "$(e2e_rect "$1")" = "$2" ]; }  # TARGET "LEFT TOP RIGHT BOTTOM"
e2e_wait_rect() { e2e_wait_until "$1" e2e_rect_is "$2" "$3"; }  # MS TARGET "LEFT TOP RIGHT BOTTOM"
e2e_client_is() { e2e_info "$1" && [ "${INFO[client]}" = "$2" ]; }  # TARGET "WIDTH HEIGHT"
e2e_visible() { e2e_info "$1" && [ "${INFO[visible]}" = yes ]; }
e2e_gone() { e2e_wait_until "$2" not e2e_info "$1"; }  # TARGET MS
e2e_hidden() { e2e_info "$1" && [ "${INFO[visible]}" = no ]; }
e2e_reg_is() { [ "$(e2e_reg_value "$1")" = "$2" ]; }  # NAME "TYPE DATA"

# e2e_child TARGET CLASS: prints "HANDLE VISIBLE LEFT TOP RIGHT BOTTOM TEXT" of the window's first child
# of that class (VISIBLE is yes or no).
e2e_child() {
    probe children "$1" 2>/dev/null | tr -d '\r' | awk -v cls="$2" '
        $4 == "class=" cls {
            split(substr($3, 6), r, ",")
            text = $0; sub(/^.* class=[^ ]* text=/, "", text)
            print $1, substr($2, 9), r[1], r[2], r[3], r[4], text
            exit
        }'
}
e2e_child_shown() { [ "$(e2e_child "$1" "$2" | cut -d' ' -f2)" = "$3" ]; }  # TARGET CLASS yes|no
e2e_child_text_is() { [ "$(e2e_child "$1" "$2" | cut -d' ' -f7-)" = "$3" ]; }  # TARGET CLASS TEXT

# e2e_menus_open N: exactly N popup menus (Wine's class "#32768") showing.
e2e_menus_open() { [ "$(probe list 2>/dev/null | grep -c ' visible=yes .* class=#32768 ')" = "$1" ]; }

# e2e_tray_click [BUTTON]: a click on the program's notification icon, the only one in the taskbar that Wine's
# virtual desktop shows: at the taskbar's right end, an icon's cell as wide as the taskbar is high.
e2e_tray_click() { local t r b; read -r _ t r b <<<"$(e2e_rect Shell_TrayWnd)" && e2e_click $((r - (b - t) / 2)) $(((t + b) / 2)) "${1:-1}"; }

# e2e_point_at HWND: a point on the character's face, where its picture is opaque.
e2e_point_at() { local l t; read -r l t _ _ <<<"$(e2e_rect "$1")" && printf '%d %d\n' $((l + 38)) $((t + 50)); }

# e2e_menu HWND KEY...: right click on the character, wait for its menu, then press the keys.
e2e_menu() { e2e_click $(e2e_point_at "$1") 3 && e2e_wait_until 3000 e2e_menus_open 1 && e2e_keys "${@:2}"; }

# e2e_crop SOURCE "LEFT TOP RIGHT BOTTOM" DEST [OPTION...]: that part of a desktop screenshot.
e2e_crop() { local l t r b; read -r l t r b <<<"$2"; convert "$1" -crop "$((r - l))x$((b - t))+$l+$t" +repage "${@:4}" "$3"; }
# e2e_doc_crop SHOT "LEFT TOP RIGHT BOTTOM" NAME: a picture for the documentation, BUILD/doc-NAME.png.
e2e_doc_crop() { e2e_crop "$1" "$2" "PNG8:$BUILD/doc-$3.png" -strip; }

# e2e_seen_as SHOT "L T ..." plain|mirrored [shoes] [SCALE]: the character's opaque pixels in the screenshot
# are those of its art, flipped when mirrored and enlarged SCALE times pixel for pixel, in its top 24 rows
# (above the blinking eyes) and its bottom 34 (its legs, over the caption of the window it sits on); with
# "shoes", in those bottom 34 rows alone.
E2E_ART=$(dirname "${BASH_SOURCE[0]}")/../../resources/bitmaps/109.bmp
e2e_seen_as() {
    local l t k=${5:-1} flop= from=24; read -r l t _ <<<"$2"; [ "$3" = mirrored ] && flop=-flop; [ "${4:-}" = shoes ] && from=0
    local art=("$E2E_ART" $flop -scale "$((100 * k))%")
    local mask=("(" "${art[@]}" -fill white +opaque black -fill black
        -draw "rectangle 0,$((from * k)) $((77 * k - 1)),$((92 * k - 1))" ")" -compose Multiply -composite)
    convert "$1" -crop "$((77 * k))x$((126 * k))+$l+$t" +repage "${mask[@]}" "$BUILD/e2e-seen.png" &&
        convert "${art[@]}" "${mask[@]}" "$BUILD/e2e-art.png" &&
        [ "$(e2e_pixels_differ "$BUILD/e2e-seen.png" "$BUILD/e2e-art.png")" -le $((10 * k)) ]
}

# e2e_pixels_differ A B: how many pixels of two same-sized images differ (small colour noise ignored).
e2e_pixels_differ() { compare -metric AE -fuzz 2% "$1" "$2" null: 2>&1 | awk '{ printf "%d\n", $1 }'; }

# e2e_shot NAME: a desktop screenshot, BUILD/e2e-NAME.png, with the character's windows on top; prints its path.
e2e_shot() { sleep 0.3 && e2e_screenshot "$BUILD/e2e-$1.png" && echo "$BUILD/e2e-$1.png"; }

# e2e_start_pellory: starts the program and prints its window's handle once the window has its frame size.
e2e_start_pellory() {
    local hwnd
    e2e_start "$PELLORY"
    hwnd=$(e2e_wait_window Pellory.frmSitter Pellory 20000) && e2e_wait_until 5000 e2e_client_is "$hwnd" "77 126" && echo "$hwnd"
}
