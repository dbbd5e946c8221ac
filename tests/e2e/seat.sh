#!/bin/bash
# End-to-end: the character sits on the foreground window, to the pixel, and follows it.
# Usage: seat.sh BUILD_DIR PELLORY_EXE WINPROBE_EXE PERCH_EXE
set -u
BUILD=$1 PELLORY=$2 WINPROBE=$3 PERCH=$4
source "$(dirname "$0")/lib.sh"
e2e_init
[ -f "$PELLORY" ] || e2e_die "Pellory.exe not found at $PELLORY"

# The frame the program sits on: the visible frame when the system reports one, else the window rectangle.
frame_of() {
    e2e_info "$1" || return 1
    e2e_log "perch: window rect ${INFO[rect]}, visible frame ${INFO[frame]}"
    if [ "${INFO[frame]}" != none ]; then printf '%s\n' "${INFO[frame]}"; else printf '%s\n' "${INFO[rect]}"; fi
}
# Parked: far off the left of the screen (the system clamps the -66667 pixels asked for to -32768).
parked() { e2e_info "$1" && read -r l _ r _ <<<"${INFO[rect]}" && [ "$r" -lt 0 ] && [ "$l" -le -30000 ]; }
seated_on() {  # HWND PERCH FROMSIDE
    local want
    want=$(e2e_seat_of "$(frame_of "$2")" "$3") && e2e_wait_rect 3000 "$1" "$want"
}
# Within one window's height of the same place for a second: the character did not wander off.
stays_at() {
    local i
    for i in $(seq 5); do
        e2e_info "$1" && [ "${INFO[rect]}" = "$2" ] ||
            { e2e_log "the character moved from $2 to ${INFO[rect]:-?}"; return 1; }
        sleep 0.2
    done
}

sitter=$(e2e_start_pellory) || e2e_die "no Pellory.frmSitter window appeared"
perch=$(e2e_perch 100 200 500 400 "Perch") || e2e_die "the perch window did not come up"

# The example of the seat rule: a window from 100 to 600 with its top at 200 seats the character at 523, 108.
frame=$(frame_of "$perch")
check_eq "perch frame as placed" "$frame" "100 200 600 600"
e2e_wait_rect 3000 "$sitter" "523 108 600 234"
check_eq "seated with FromSide 0: right edge flush, 92 pixels above the top" "$(e2e_rect "$sitter")" "523 108 600 234"
e2e_info "$sitter"
check_eq "still the character's frame size" "${INFO[client]}" "77 126"
check_eq "the perch stays in the foreground" "$(probe foreground | cut -d' ' -f1)" "$perch"
e2e_raise_x pellory.exe
sleep 0.3
shot=$(e2e_shot seat-unmirrored)
e2e_doc_crop "$shot" "400 80 640 280" sitter-on-window
e2e_crop "$shot" "523 108 600 234" "$BUILD/e2e-crop-unmirrored-1.png"
sleep 0.5
e2e_crop "$(e2e_shot seat-unmirrored-2)" "523 108 600 234" "$BUILD/e2e-crop-unmirrored-2.png"

# Moving the window: the character follows within a few ticks of 10 ms. Timed inside winprobe, which
# moves the window and then watches the character; the best of three moves, as Wine's timers and a busy
# machine can hold up any single one.
best=""
for target in "150 350 600 300 673 258" "100 200 500 400 523 108" "150 350 600 300 673 258"; do
    read -r l t w h x y <<<"$target"
    ms=$(probe follow "$perch" "$l" "$t" "$w" "$h" "$sitter" "$x" "$y" --wait 3000 | tr -d '\r') || ms=""
    e2e_log "moved the perch to $l $t ${w}x$h: the character followed in ${ms:-(never)} ms"
    [ -n "$ms" ] && { [ -z "$best" ] || [ "$ms" -lt "$best" ]; } && best=$ms
done
check "follows a moved window within 5 ticks (best ${best:-never} ms)" test -n "$best" -a "${best:-999}" -le 50
check "seated by the rule after the move" seated_on "$sitter" "$perch" 0
check_eq "at 673, 258 after the move" "$(e2e_rect "$sitter")" "673 258 750 384"

# A top edge at y = 2 is sat on; at y = 1 or above the screen, as when maximised, the character is parked.
probe move "$perch" 150 2 600 300
check "sits on a window whose top is at 2" seated_on "$sitter" "$perch" 0
probe move "$perch" 150 1 600 300
check "parked for a window whose top is at 1" e2e_wait_until 3000 parked "$sitter"
e2e_log "parked at ${INFO[rect]}"
probe move "$perch" 150 350 600 300
check "back on the window" seated_on "$sitter" "$perch" 0
probe show "$perch" maximize
check "parked while the window is maximised" e2e_wait_until 3000 parked "$sitter"
e2e_log "maximised perch: $(probe info "$perch" | grep '^rect=')"
probe show "$perch" restore
# Showing is asynchronous: the seat is computed from the restored frame, not from one on the way there.
e2e_wait_rect 3000 "$perch" "150 350 750 650" || e2e_log "the perch was not restored to its place"
check "back on the restored window" seated_on "$sitter" "$perch" 0
# Windows puts a minimised window at -32000 (parked); Wine's desktop keeps a caption stub at the bottom
# left, still in the foreground, which the character then sits on like any other window.
probe show "$perch" minimize
not_at() { ! e2e_rect_is "$1" "$2"; }
e2e_wait_until 3000 not_at "$perch" "150 350 750 650" || e2e_log "the perch did not move when minimised"
read -r _ mt _ _ <<<"$(frame_of "$perch")"
e2e_log "after minimising, the foreground is: $(probe foreground)"
if [ "$mt" -le 1 ]; then
    check "parked while the window is minimised" e2e_wait_until 3000 parked "$sitter"
else
    check "follows the window minimised to the bottom of the desktop" seated_on "$sitter" "$perch" 0
fi
probe show "$perch" restore
e2e_wait_rect 3000 "$perch" "150 350 750 650" || e2e_log "the perch was not restored to its place"
probe activate "$perch" --wait 3000 >/dev/null
check "back on the window after restoring it" seated_on "$sitter" "$perch" 0

# Activating the character itself leaves it on the window it sat on.
# Activated from another process, the switch is not atomic: a tick that falls between the system's
# change of foreground queue and the character's own activation reads no foreground window at all, and
# the character is parked until another window comes to the front. Rare, and not what a click does (that
# activates inside the character's own thread); so a second try is allowed, and the first is logged.
seat="673 258 750 384"
kept=no
for try in 1 2; do
    probe activate "$perch" --wait 3000 >/dev/null
    e2e_wait_rect 3000 "$sitter" "$seat" || continue
    probe activate "$sitter" --wait 3000 >/dev/null
    fg=$(probe foreground | cut -d' ' -f1)
    if [ "$fg" = "$sitter" ] && stays_at "$sitter" "$seat"; then kept=yes; break; fi
    e2e_log "NOTE: try $try: foreground $fg, character at $(e2e_rect "$sitter")"
done
check_eq "activating the character keeps it where it was" "$kept" yes

# Balloon placement: below a character in the upper half of the screen, above one in the lower half.
# A left click says "Don't touch me!" without a caption; the balloon's right edge lies 1000 twips
# (66 2/3 pixels) right of the character's left edge.
balloon_at() {  # SITTER BALLOON "below"|"above"
    local sl st b l t
    read -r sl st _ _ <<<"$(e2e_rect "$1")"
    e2e_info "$2" && [ "${INFO[visible]}" = yes ] || return 1
    read -r l t _ _ <<<"${INFO[rect]}"
    local want_t=$((st + 126 - 20))
    [ "$3" = above ] && want_t=$((st - 129))
    [ "$want_t" -lt 0 ] && want_t=0
    e2e_log "balloon at $l $t, character at $sl $st ($3)"
    [ $(( l - (sl - 180) )) -ge -1 ] && [ $(( l - (sl - 180) )) -le 0 ] && [ "$t" = "$want_t" ]
}
probe move "$perch" 300 60 500 400
probe activate "$perch" --wait 3000 >/dev/null
check "seated near the top of the screen" seated_on "$sitter" "$perch" 0
read -r sl st _ _ <<<"$(e2e_rect "$sitter")"
e2e_click $((sl + 38)) $((st + 50)) 1
balloon=$(e2e_wait_window Pellory.frmBalloon 5000)
check "a left click shows the balloon" e2e_wait_until 3000 e2e_visible "$balloon"
check "no menu for a left click" not e2e_menu_open
check "no answer field for a message" e2e_child_gone "$balloon" Edit
check "the balloon is below the character" balloon_at "$sitter" "$balloon" below
check "clicking the character keeps it seated" stays_at "$sitter" "$sl $st $((sl + 77)) $((st + 126))"
e2e_raise_x pellory.exe
sleep 0.3
e2e_shot balloon-below >/dev/null

probe move "$perch" 300 500 500 200
probe activate "$perch" --wait 3000 >/dev/null
check "seated low on the screen" seated_on "$sitter" "$perch" 0
check "the balloon follows, above the character now" e2e_wait_until 3000 balloon_at "$sitter" "$balloon" above
read -r sl st _ _ <<<"$(e2e_rect "$sitter")"
# The middle button complains too (only the right one opens the menu).
e2e_click $((sl + 38)) $((st + 50)) 2
check "a middle click shows the balloon as well" e2e_wait_until 3000 e2e_visible "$balloon"
check "no menu for a middle click" not e2e_menu_open
e2e_raise_x pellory.exe
sleep 0.3
e2e_shot balloon-above >/dev/null

# FromSide read at start-up: 100 puts the character outside the window's left edge, mirrored; 75 mirrored too.
restart_with() {  # FROMSIDE
    e2e_stop_pellory "$sitter" || e2e_log "the program did not end when its window was closed"
    wine reg add "$E2E_KEY" /v FromSide /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
    sitter=$(e2e_start_pellory) || e2e_die "Pellory did not start again"
    probe activate "$perch" --wait 3000 >/dev/null
    e2e_raise_x pellory.exe
}
probe move "$perch" 100 200 500 400
restart_with 100
check "FromSide 100: left edge at the window's left - 77" seated_on "$sitter" "$perch" 100
check_eq "FromSide 100 seat" "$(e2e_rect "$sitter")" "23 108 100 234"

restart_with 75
check "FromSide 75: right edge three quarters along from the right" seated_on "$sitter" "$perch" 75
check_eq "FromSide 75 seat" "$(e2e_rect "$sitter")" "148 108 225 234"

# Mirrored: the picture above the window's top edge (the desktop behind it is plain) equals the
# unmirrored one flipped left to right. Blinks can spoil a single shot, so a few are compared.
above_edge() { convert "$1" -crop 77x90+0+0 +repage "$2"; }
mirror_seen=no
for i in 1 2 3; do
    sleep 0.4
    e2e_raise_x pellory.exe
    shot=$(e2e_shot seat-mirrored)
    e2e_crop "$shot" "148 108 225 234" "$BUILD/e2e-crop-mirrored.png"
    e2e_doc_crop "$shot" "60 80 300 280" sitter-mirrored
    above_edge "$BUILD/e2e-crop-mirrored.png" "$BUILD/e2e-top-mirrored.png"
    for j in 1 2; do
        above_edge "$BUILD/e2e-crop-unmirrored-$j.png" "$BUILD/e2e-top-unmirrored.png"
        convert "$BUILD/e2e-top-unmirrored.png" -flop "$BUILD/e2e-top-flopped.png"
        flipped=$(e2e_pixels_differ "$BUILD/e2e-top-flopped.png" "$BUILD/e2e-top-mirrored.png")
        straight=$(e2e_pixels_differ "$BUILD/e2e-top-unmirrored.png" "$BUILD/e2e-top-mirrored.png")
        e2e_log "mirrored vs flipped unmirrored: $flipped pixels differ; vs unmirrored as it is: $straight"
        if [ "$flipped" -le 10 ] && [ "$straight" -ge 200 ]; then mirror_seen=yes; break 2; fi
    done
done
check_eq "the character is drawn mirrored when FromSide > 50" "$mirror_seen" yes

# The window it sat on goes away: nothing else to sit on, so the character is parked.
probe close "$perch" --wait 3000 >/dev/null
e2e_log "after closing the perch, the foreground is: $(probe foreground)"
check "parked once the window it sat on has closed" e2e_wait_until 3000 parked "$sitter"

e2e_finish
