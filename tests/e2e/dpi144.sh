#!/bin/bash
# End-to-end at 144 DPI: the character keeps its 77 x 126 pixels and its seat to the pixel, the distance
# dialog grows with the DPI and works.
# Usage: dpi144.sh BUILD_DIR PELLORY_EXE WINPROBE_EXE PERCH_EXE
set -u
BUILD=$1 PELLORY=$2 WINPROBE=$3 PERCH=$4
source "$(dirname "$0")/lib.sh"
e2e_init
[ -f "$PELLORY" ] || e2e_die "Pellory.exe not found at $PELLORY"

# Wine takes the DPI from HKCU\Control Panel\Desktop "LogPixels", and from
# HKEY_CURRENT_CONFIG\Software\Fonts "LogPixels" when the first is missing. Both are set, and put back
# to 96 whatever happens (the prefix is the build's own, made at 96 DPI).
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1 &&
        wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
}
trap 'rc=$?; e2e_close_all; set_dpi 96; (exit $rc); e2e_cleanup' EXIT
set_dpi 144 || e2e_die "cannot set the DPI"

sitter=$(e2e_start_pellory) || e2e_die "no Pellory.frmSitter window appeared"
perch=$(e2e_perch 100 200 500 400 Perch) || e2e_die "the perch window did not come up"
check "the perch is where it was put (physical pixels)" e2e_wait_rect 3000 "$perch" "100 200 600 600"
check "seated to the pixel" e2e_wait_rect 3000 "$sitter" "523 108 600 234"
check_until 3000 "the character's window is still 77 x 126 pixels" "77 126" e2e_field "$sitter" client
e2e_shot dpi144-seat >/dev/null

# The dialog's layout grows with the DPI (377 x 169 pixels at 96 DPI); the slider has the focus.
e2e_menu "$sitter" Down Return
dialog=$(e2e_wait_window Pellory.frmDistance "Set Distance" 5000)
check "the distance dialog opens at 0%" e2e_wait_until 3000 e2e_child_text_is "$dialog" Static "0%"
cw=0 ch=0
scaled() { e2e_info "$1" && read -r cw ch <<<"${INFO[client]}" && [ "$cw" -ge 565 ] && [ "$cw" -le 566 ] && [ "$ch" -ge 253 ] && [ "$ch" -le 254 ]; }
if e2e_wait_until 3000 scaled "$dialog"; then e2e_count ok "client area scaled by 1.5 ($cw x $ch)"
else e2e_count FAIL "client area scaled by 1.5: $cw x $ch, expected 565..566 x 253..254"; fi
e2e_keys Right End Home Next Next Next Next Next
check "Right, End, Home, then five pages: 50%" e2e_wait_until 2000 e2e_child_text_is "$dialog" Static "50%"
e2e_shot dpi144-dialog >/dev/null
# The caption's close button, found from the frame: borders all round, the caption above the client area.
read -r dl dt dr db <<<"${INFO[rect]}"
border=$(( (dr - dl - cw) / 2 ))
caption=$(( db - dt - ch - 2 * border ))
e2e_click $((dr - border - caption / 2)) $((dt + border + caption / 2)) 1
check "its close button closes it" e2e_gone "$dialog" 3000
check "FromSide = 50 stored" e2e_wait_until 3000 e2e_reg_is FromSide "REG_DWORD 0x32"
check "seated at the middle of the window" e2e_wait_rect 3000 "$sitter" "273 108 350 234"

e2e_finish
