#!/bin/bash
# End-to-end at 144 DPI: the character keeps its 77 x 126 pixels and its seat to the pixel, the menu and
# the distance dialog work. The prefix's DPI is put back as it was, whatever happens.
# Usage: dpi144.sh BUILD_DIR PELLORY_EXE WINPROBE_EXE PERCH_EXE
set -u
BUILD=$1 PELLORY=$2 WINPROBE=$3 PERCH=$4
source "$(dirname "$0")/lib.sh"
e2e_init
[ -f "$PELLORY" ] || e2e_die "Pellory.exe not found at $PELLORY"

# Wine 8 takes the DPI from HKCU\Control Panel\Desktop "LogPixels", and from
# HKEY_CURRENT_CONFIG\Software\Fonts "LogPixels" when the first is missing; both are set.
DPI_KEYS=('HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts')
declare -A DPI_SAVED=()
for key in "${DPI_KEYS[@]}"; do
    DPI_SAVED[$key]=$(wine reg query "$key" /v LogPixels </dev/null 2>/dev/null | tr -d '\r' |
        awk '$1 == "LogPixels" { print $3 }')
done
dpi_restore() {
    local key
    for key in "${DPI_KEYS[@]}"; do
        if [ -n "${DPI_SAVED[$key]}" ]; then
            wine reg add "$key" /v LogPixels /t REG_DWORD /d "$((DPI_SAVED[$key]))" /f </dev/null >/dev/null 2>&1
        else
            wine reg delete "$key" /v LogPixels /f </dev/null >/dev/null 2>&1
        fi
    done
    e2e_log "DPI put back: $(wine "$WINPROBE" dpi </dev/null | tr -d '\r' | grep logpixelsx)"
}
trap 'rc=$?; e2e_close_all; dpi_restore; (exit $rc); e2e_cleanup' EXIT
for key in "${DPI_KEYS[@]}"; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d 144 /f </dev/null >/dev/null 2>&1 || e2e_die "cannot set $key LogPixels"
done
dpi=$(wine "$WINPROBE" dpi </dev/null | tr -d '\r')
e2e_log "${dpi//$'\n'/, }"
grep -qx 'logpixelsx=144' <<<"$dpi" || e2e_die "the DPI did not change to 144"

seated_at() { e2e_wait_rect 3000 "$1" "$2"; }
menus_open() { [ "$(e2e_menu_count)" = "$1" ]; }

sitter=$(e2e_start_pellory) || e2e_die "no Pellory.frmSitter window appeared"
perch=$(e2e_perch 100 200 500 400 "Perch") || e2e_die "the perch window did not come up"
e2e_info "$perch"
e2e_log "perch: window rect ${INFO[rect]}, visible frame ${INFO[frame]}"
check_eq "the perch is where it was put (physical pixels)" "${INFO[rect]}" "100 200 600 600"
check "seated to the pixel at 144 DPI" seated_at "$sitter" "523 108 600 234"
e2e_info "$sitter"
check_eq "the character's window is still 77 x 126 pixels" "${INFO[client]}" "77 126"
probe move "$perch" 150 350 600 300
check "follows the moved window" seated_at "$sitter" "673 258 750 384"
e2e_raise_x pellory.exe
sleep 0.3
e2e_shot dpi144-seat >/dev/null

# The menu: Costume 1, second costume.
e2e_menu "$sitter" Down Down Right
check "the popup menu and the Costume 1 submenu open" e2e_wait_until 3000 menus_open 2
e2e_shot dpi144-menu >/dev/null
e2e_keys Down Return
check "the menu closes" e2e_wait_until 3000 menus_open 0
check "Costume = 2 stored" e2e_wait_until 3000 e2e_reg_is Costume "REG_DWORD 0x2"

# A left click: the balloon, beside the character as at 96 DPI, in pixels of its own size.
e2e_click $(e2e_point_at "$sitter") 1
balloon=$(e2e_wait_window Pellory.frmBalloon 5000)
check "a left click shows the balloon" e2e_wait_until 3000 e2e_visible "$balloon"
e2e_info "$balloon"
e2e_log "balloon at 144 DPI: rect ${INFO[rect]}, client ${INFO[client]}"
e2e_raise_x pellory.exe
e2e_shot dpi144-balloon >/dev/null

# A dialog closed without touching the slider still stores the distance it shows.
e2e_menu "$sitter" Down Return
dialog=$(e2e_wait_window Pellory.frmDistance "Set Distance" 5000)
check "the distance dialog opens" e2e_wait_until 3000 e2e_visible "$dialog"
check "it shows 0%" e2e_child_text_is "$dialog" Static "0%"
e2e_keys alt+F4
check "Alt+F4 closes it" probe gone "$dialog" --wait 3000
check "FromSide = 0 stored by closing it" e2e_wait_until 3000 e2e_reg_is FromSide "REG_DWORD 0x0"

# The dialog: its layout grows with the DPI (377 x 169 pixels at 96 DPI), the slider works.
e2e_menu "$sitter" Down Return
dialog=$(e2e_wait_window Pellory.frmDistance "Set Distance" 5000)
check "the distance dialog opens again" e2e_wait_until 3000 e2e_visible "$dialog"
e2e_info "$dialog"
read -r cw ch <<<"${INFO[client]}"
e2e_log "dialog: rect ${INFO[rect]}, client $cw x $ch"
check "client area scaled by 1.5 (565..566 x 253..254)" test "$cw" -ge 565 -a "$cw" -le 566 -a "$ch" -ge 253 -a "$ch" -le 254
e2e_keys Right
e2e_wait_until 1000 e2e_child_text_is "$dialog" Static "1%" || e2e_keys Tab Right  # see user.sh
check "Right moves the slider to 1%" e2e_wait_until 2000 e2e_child_text_is "$dialog" Static "1%"
e2e_keys End
check "End moves it to 100%" e2e_wait_until 2000 e2e_child_text_is "$dialog" Static "100%"
e2e_keys Home Next Next Next Next Next
check "Home, then five pages: 50%" e2e_wait_until 2000 e2e_child_text_is "$dialog" Static "50%"
e2e_raise_x pellory.exe
e2e_shot dpi144-dialog >/dev/null
# The caption's close button: the top right corner of the dialog, inside its frame.
read -r dl dt dr _ <<<"${INFO[rect]}"
cap=$(grep '^cycaption=' <<<"$dpi" | cut -d= -f2)
e2e_click $((dr - 4 - cap / 2)) $((dt + 4 + cap / 2)) 1
check "its close button closes it" probe gone "$dialog" --wait 3000
check "FromSide = 50 stored" e2e_wait_until 3000 e2e_reg_is FromSide "REG_DWORD 0x32"
check "seated at the middle of the window" seated_at "$sitter" "373 258 450 384"

e2e_finish
