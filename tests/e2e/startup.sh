#!/bin/bash
# End-to-end: the first start with no settings stored, checked from outside the program.
# Usage: startup.sh BUILD_DIR PELLORY_EXE WINPROBE_EXE
set -u
BUILD=$1 PELLORY=$2 WINPROBE=$3
source "$(dirname "$0")/lib.sh"
e2e_init

[ -f "$PELLORY" ] || e2e_die "Pellory.exe not found at $PELLORY"

# Alone on the desktop: no other window to sit on, so the character stays parked.
e2e_start "$PELLORY"
hwnd=$(e2e_wait_window Pellory.frmSitter Pellory 20000) || e2e_die "no Pellory.frmSitter window appeared"

# Start-up ends with the window sized to the frame and parked; give it a moment to get there.
offscreen() { [ "${INFO[rect]:-}" ] && read -r _ _ r b <<<"${INFO[rect]}" && { [ "$r" -lt 0 ] || [ "$b" -lt 0 ]; }; }
for _ in $(seq 50); do
    e2e_info "$hwnd" && [ "${INFO[client]:-}" = "77 126" ] && offscreen && break
    sleep 0.1
done
e2e_info "$hwnd" || e2e_die "window $hwnd vanished"
e2e_log "sitter window: rect ${INFO[rect]}, style ${INFO[style]}, exstyle ${INFO[exstyle]}"

check_eq "window title" "${INFO[title]}" "Pellory"
check_eq "client area is the character frame" "${INFO[client]}" "77 126"
check_eq "topmost" "${INFO[topmost]}" "yes"
check_eq "shown" "${INFO[visible]}" "yes"
check_eq "layered" "${INFO[layered]}" "yes"
check_eq "colour key is black" "${INFO[layered_key]:-}" "0x000000"
check "colour key in use (LWA_COLORKEY)" test $(( ${INFO[layered_flags]:-0} & 0x1 )) -eq 1
check "borderless popup (WS_POPUP, no caption, no sizing frame)" \
    test $(( ${INFO[style]} & 0x80000000 )) -ne 0 -a $(( ${INFO[style]} & 0x00C40000 )) -eq 0
check "parked off-screen (rect ${INFO[rect]})" offscreen
check "no start-up message box" not probe find '#32770' -

check_eq "Costume repaired to 1" "$(e2e_reg_value Costume)" "REG_DWORD 0x1"
check_eq "Costume2 repaired to 1" "$(e2e_reg_value Costume2)" "REG_DWORD 0x1"
check "FromSide not written" not e2e_reg_value FromSide
check "FromLeft not written" not e2e_reg_value FromLeft

e2e_screenshot "$BUILD/e2e-startup.png" && e2e_log "screenshot: $BUILD/e2e-startup.png"

pid=${INFO[pid]}
check "window closes on WM_CLOSE" probe close "$hwnd" --wait 5000
check "process $pid ends" probe wait-exit "$pid" --wait 5000

e2e_finish
