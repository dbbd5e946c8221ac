#!/bin/bash
# End-to-end on two monitors. A Wine virtual desktop shows one monitor only, so the programs run on Wine's
# own desktop, each window an X window of its own, on one wide Xvfb screen cut into two RandR monitors that
# Wine reports through its Xinerama path. Both layouts: the second monitor right of the primary and lower,
# and left of it at negative x. The seat and the parking, a maximised window, the balloon's side by its
# monitor's midline, the balloon wholly on the character's monitor with the window at a monitor's left
# edge and across the boundary, and the balloon following a window moved while it shows.
# Usage: monitors.sh BUILD_DIR PELLORY_EXE WINPROBE_EXE PERCH_EXE
set -u
BUILD=$1 PELLORY=$2 WINPROBE=$3 PERCH=$4
E2E_DESKTOP=Default
source "$(dirname "$0")/lib.sh"
[ -f "$PELLORY" ] || e2e_die "Pellory.exe not found at $PELLORY"

# The monitors as X places them on its screen (WIDTHxHEIGHT+X+Y, the primary first), and the second as
# Windows sees it, the primary's corner at 0,0.
case ${5:-} in
    right) layout="1280x1024+0+0 1024x768+1280+256" second="1280 256 2304 1024" ;;
    left) layout="1280x1024+1024+0 1024x768+0+256" second="-1024 256 0 1024" ;;
    *) e2e_die "usage: monitors.sh BUILD_DIR PELLORY_EXE WINPROBE_EXE PERCH_EXE right|left" ;;
esac
[ "${PELLORY_MONITORS:-}" = "$layout" ] || exec "$(dirname "$0")/../../scripts/with-monitors" "$BUILD" "$layout" bash "$0" "$@"
e2e_init
read -r sl st sr sb <<<"$second"

# Parked: left of every monitor.
parked() { e2e_info "$1" && read -r _ _ r _ <<<"${INFO[rect]}" && [ "$r" -lt "$((sl < 0 ? sl : 0))" ]; }
monitors() { probe monitors | tr -d '\r' | paste -sd,; }
shown() { e2e_info "$1" && echo "${INFO[visible]} ${INFO[rect]}"; }  # "yes|no LEFT TOP RIGHT BOTTOM"
say() { probe run "$(winepath -w "$PELLORY")" --wait 3000 >/dev/null; }  # a second start: the first speaks
# CHARACTER BALLOON (rects): in a screenshot, the fill of the tail (mirrored when the balloon lies right of
# the character) has the body's colour: the face is drawn for the side it opens to.
tail_drawn() {
    local cl ct l t r b x y ox oy
    read -r cl ct _ _ <<<"$1" && read -r l t r b <<<"$2" && read -r ox oy <<<"$(sed -E 's/^[^+]*\+([0-9]+)\+([0-9]+) .*/\1 \2/' <<<"$layout")"
    x=$((l < cl ? l + 180 : r - 181)) y=$((t > ct ? t + 20 : b - 20))
    e2e_screenshot "$BUILD/e2e-tail.png" &&
        [ "$(pixel $((x + ox)) $((y + oy)))" = "$(pixel $((l + 120 + ox)) $((t + 60 + oy)))" ]
}
pixel() { convert "$BUILD/e2e-tail.png" -format "%[pixel:p{$1,$2}]" info:; }
# ROW: the perch's place, then where the character and the balloon are to be, and what the row shows.
place_of() { IFS='|' read -r pl pt pw ph seat place what <<<"$(sed 's/ *| */|/g; s/ /|/; s/ /|/; s/ /|/' <<<"$1")"; }

# At 96 DPI with the distance at 0: the character's right edge flush with the window's, its top 92 above the
# window's; the balloon 180 left of the character (its tail 3 into it) or mirrored, below it in the upper
# half of its monitor and above it in the lower half. The perch's LEFT TOP WIDTH HEIGHT | the character's
# rect | the balloon's | what the row shows.
mapfile -t rows < <(sed -n "s/^$5 *| *//p" <<'ROWS'
right | 1500 605 500 300  | 1923 513 2000 639 | 1743 619 1990 748 | second monitor, just above its midline (the primary's is above it): below
right | 1500 800 500 200  | 1923 708 2000 834 | 1743 579 1990 708 | lower half: above
right | 1280 400 150 300  | 1353 308 1430 434 | 1363 414 1610 543 | at its left edge: opens to the right, not into the primary
right | 0 400 150 300     | 73 308 150 434    | 83 414 330 543    | at the primary's left edge: to the right, not off the desktop
right | 1000 400 400 300  | 1323 308 1400 434 | 1333 414 1580 543 | across the boundary, on the second: opens to the right
right | 1000 400 300 300  | 1223 308 1300 434 | 1033 414 1280 543 | across the boundary, the character too: shifted onto the primary
left  | -800 605 500 300  | -377 513 -300 639 | -557 619 -310 748 | second monitor, just above its midline (the primary's is above it): below
left  | -800 800 500 200  | -377 708 -300 834 | -557 579 -310 708 | lower half: above
left  | -1024 400 150 300 | -951 308 -874 434 | -941 414 -694 543 | at its left edge: opens to the right, not off the desktop
left  | 0 400 150 300     | 73 308 150 434    | 83 414 330 543    | at the primary's left edge: to the right, not into the second
left  | -400 400 500 300  | 23 308 100 434    | 33 414 280 543    | across the boundary, on the primary: opens to the right
left  | -400 400 440 300  | -37 308 40 434    | 0 414 247 543     | across the boundary, the character too: shifted onto the primary
ROWS
)

check_until 5000 "Wine reports the two monitors" "0 0 1280 1024 primary,$second" monitors
# The program first, then the window: it waits parked.
sitter=$(e2e_start_pellory) || e2e_die "no Pellory.frmSitter window appeared"
check "parked with nothing to sit on" e2e_wait_until 5000 parked "$sitter"
perch=$(e2e_perch 200 400 500 400 Perch) || e2e_die "the perch window did not come up"
check "seated on the primary monitor" e2e_wait_rect 3000 "$sitter" "623 308 700 434"
say
balloon=$(e2e_wait_window Pellory.frmBalloon - 5000) || e2e_die "no balloon"
for row in "${rows[@]}"; do
    place_of "$row"
    # The balloon is put away and speaks anew, so it shows where it is before the move (the message is posted).
    probe close "$balloon" >/dev/null && e2e_wait_until 3000 e2e_hidden "$balloon" && say &&
        e2e_wait_until 3000 e2e_visible "$balloon" || e2e_log "the balloon does not show before the move"
    probe move "$perch" "$pl" "$pt" "$pw" "$ph" >/dev/null
    check_until 3000 "$what: seated" "$seat" e2e_rect "$sitter"
    check_until 3000 "$what: the balloon shows there" "yes $place" shown "$balloon"
    check "$what: its tail drawn on that side" e2e_wait_until 3000 tail_drawn "$seat" "$place"
    [[ $what == "at its left edge"* ]] && e2e_shot "monitors-$5" >/dev/null
done

# Maximised on the second monitor, it fills that monitor, its sizing border (4 pixels under Wine) beyond the
# edges, and the character waits out of sight.
place_of "${rows[0]}"
probe move "$perch" "$pl" "$pt" "$pw" "$ph" >/dev/null
probe show "$perch" maximize >/dev/null
check_until 3000 "maximised, the window fills the second monitor" "$((sl - 4)) $((st - 4)) $((sr + 4)) $((sb + 4))" e2e_rect "$perch"
check "parked while the window is maximised" e2e_wait_until 3000 parked "$sitter"
probe show "$perch" restore >/dev/null
check "seated again once it is restored" e2e_wait_rect 3000 "$sitter" "$seat"
probe close "$perch"
check "parked once the window has closed" e2e_wait_until 3000 parked "$sitter"

e2e_finish
