#!/bin/bash
# End-to-end at 112.5 %, 150 % and 200 % display scale: the character takes the scale (its window, its seat
# on the edge, a crisp picture at 200 %), and the balloon grows with it and keeps its place beside it.
# Usage: scale.sh BUILD_DIR PELLORY_EXE WINPROBE_EXE PERCH_EXE
set -u
BUILD=$1 PELLORY=$2 WINPROBE=$3 PERCH=$4
source "$(dirname "$0")/lib.sh"
e2e_init
[ -f "$PELLORY" ] || e2e_die "Pellory.exe not found at $PELLORY"

# The DPI is put back to 96 whatever happens (the prefix is the build's own, made at 96 DPI).
trap 'rc=$?; e2e_close_all; set_dpi 96; (exit $rc); e2e_cleanup' EXIT

# DPI, the character's seat on a window 100..600 wide with its top at 200 (right edges flush, the butt
# 92 x scale above the edge; its width and height are the art's 77 x 126 times the scale), and the
# balloon's rectangle below it (a character in the upper half of the screen). At 108 DPI the butt
# (103.5 pixels) and the balloon's overlap (22.5) are half pixels, rounded to even.
while IFS=, read -r dpi seat under; do
    e2e_log "---- at $dpi DPI"
    set_dpi "$dpi" || e2e_die "cannot set the DPI: $(tr -d '\r' <"$BUILD/e2e-set-dpi.log")"
    e2e_start "$PELLORY"
    sitter=$(e2e_wait_window Pellory.frmSitter Pellory 20000) || e2e_die "no Pellory.frmSitter window appeared"
    perch=$(e2e_perch 100 200 500 400 Perch) || e2e_die "the perch window did not come up"
    check_until 5000 "$dpi DPI: seated on the edge, its size with it" "$seat" e2e_rect "$sitter"
    e2e_click $(e2e_point_at "$sitter") 1
    balloon=$(e2e_wait_window Pellory.frmBalloon - 5000)
    check_until 5000 "$dpi DPI: the balloon below the character" "$under" e2e_rect "$balloon"
    if [ "$dpi" = 192 ]; then
        shot=$(e2e_shot scale-$dpi)
        check "$dpi DPI: every art pixel a 2 x 2 block" e2e_wait_until 5000 e2e_seen_as "$shot" "$seat" plain "" 2
        read -r bl _ _ bb <<<"$under"; read -r _ st sr _ <<<"$seat"
        e2e_doc_crop "$shot" "$((bl - 8)) $((st - 8)) $((sr + 8)) $((bb + 8))" sitter-200
    fi
    e2e_close_all
    e2e_wait_until 10000 not e2e_desktop_xid >/dev/null
done <<'EOF_CASES'
108,513 96 600 238,310 216 588 361
144,484 62 600 251,214 221 584 415
192,446 16 600 268,85 228 579 486
EOF_CASES

e2e_finish
