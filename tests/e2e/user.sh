#!/bin/bash
# End-to-end: one user's journey with the real mouse and keyboard (xdotool) in the virtual desktop. The
# first start with no settings, the seat and how it follows, parks and mirrors, the balloon, the menu, a
# costume, the distance dialog, a fortune, Exit, a restart that finds the settings again, and a second copy
# that only makes the first one speak.
# Usage: user.sh BUILD_DIR PELLORY_EXE WINPROBE_EXE PERCH_EXE
set -u
BUILD=$1 PELLORY=$2 WINPROBE=$3 PERCH=$4
source "$(dirname "$0")/lib.sh"
e2e_init
[ -f "$PELLORY" ] || e2e_die "Pellory.exe not found at $PELLORY"

seated_at() { e2e_wait_rect 3000 "$1" "$2"; }
# Parked: far off the left of the screen (the system clamps the -66667 pixels asked for to -32768).
parked() { e2e_info "$1" && read -r l _ r _ <<<"${INFO[rect]}" && [ "$r" -lt 0 ] && [ "$l" -le -30000 ]; }
drawn_as() { e2e_seen_as "$(e2e_shot "$2")" "$1" "$2"; }  # "L T R B" plain|mirrored, in BUILD/e2e-plain|mirrored.png
# SHOT "L T R B" NAME: the character's body between its eyes and the window's edge (blinks stay above
# row 56), where the costume of layer 2 shows.
body() { read -r l t r _ <<<"$2"; e2e_crop "$1" "$l $((t + 56)) $r $((t + 90))" "$BUILD/e2e-$3.png"; }
# BALLOON: a click on it puts it away.
put_away() { local l t; read -r l t _ _ <<<"$(e2e_rect "$1")"; e2e_click $((l + 120)) $((t + 60)) 1; }
# BALLOON "LEFT TOP": shown there.
balloon_at() { e2e_visible "$1" && [[ ${INFO[rect]} =~ ^$2\  ]]; }

# ---- The first start, with no settings stored, while a window is in front: as users start it, from the
# Start menu or at sign-in. A window from 100 to 600 with its top at 200 seats the character at 523, 108 from
# the moment it shows, and keeps the foreground.
perch=$(e2e_perch 100 200 500 400 Perch) || e2e_die "the perch window did not come up"
probe appear Pellory.frmSitter Pellory --wait 20000 >"$BUILD/e2e-appear.txt" &
appearing=$!
e2e_start "$PELLORY"
wait "$appearing" || e2e_die "no Pellory.frmSitter window appeared"
read -r sitter l t r b front <"$BUILD/e2e-appear.txt"
check_eq "seated on the window in front the moment it shows" "$l $t $r $b" "523 108 600 234"
check_eq "the window in front kept the foreground" "$front" "$perch"
check_until 3000 "and keeps it" "$perch" e2e_field "$sitter" foreground
check_eq "the first start stores the first costume of each layer" "$(e2e_reg_value Costume), $(e2e_reg_value Costume2)" "REG_DWORD 0x1, REG_DWORD 0x1"
e2e_info "$sitter" && pid=${INFO[pid]}
check_until 3000 "topmost" yes e2e_field "$sitter" topmost
layering() { e2e_info "$1" && echo "${INFO[layered]} ${INFO[layered_key]:-} $((${INFO[layered_flags]:-0} & 1))"; }
check_until 3000 "layered with a black colour key" "yes 0x000000 1" layering "$sitter"
# A message box of start-up's own would have come before the window.
check "no start-up message box" not probe find '#32770' -
check "drawn as its bitmap on the right half" e2e_wait_until 3000 drawn_as "523 108 600 234" plain
e2e_doc_crop "$BUILD/e2e-plain.png" "400 80 640 280" sitter-on-window

other=$(e2e_perch 700 500 250 150 Other) || e2e_die "the second window did not come up"
check "seated on the other window in the foreground" seated_at "$sitter" "873 408 950 534"
e2e_click 300 400 1
check "back on the window clicked" seated_at "$sitter" "523 108 600 234"

# ---- Stacking, in plain screenshots with nothing raised from outside: the character is drawn over the
# caption of the window it sits on, whatever brought that window forward. Under Wine the activated
# window's own process raises its X window some time after the foreground changed (up to a hundred ms and
# more on a loaded machine): the character re-stacks once that window has come to rest.
# Over another program's window, Wine's notepad: seated where notepad is now (FromSide 0: right edges
# flush), the character's shoes (its bottom 34 rows) show over notepad's caption.
shoes_over_notepad() {
    local t r; read -r _ t r _ <<<"$(e2e_rect "$notepad")" && [ "$t" -gt 1 ] &&
        e2e_rect_is "$sitter" "$((r - 77)) $((t - 92)) $r $((t + 34))" && e2e_screenshot "$BUILD/e2e-notepad.png" &&
        e2e_seen_as "$BUILD/e2e-notepad.png" "$((r - 77)) $((t - 92))" plain shoes
}
# What brings notepad forward or changes its frame; a click into its text is away from the character.
click_notepad() { local l t; read -r l t _ _ <<<"$(e2e_rect "$notepad")" && e2e_click $((l + 60)) $((t + 120)) 1; }
from_character() { e2e_click $(e2e_point_at "$sitter") 1 && e2e_wait_until 3000 e2e_prints "$sitter" e2e_field "$sitter" foreground && click_notepad; }
from_balloon() { local b; b=$(e2e_wait_window Pellory.frmBalloon - 3000) && put_away "$b" && e2e_wait_until 3000 e2e_hidden "$b" && click_notepad; }
from_other() { e2e_click 800 600 1 && e2e_wait_until 3000 e2e_prints "$other" e2e_field "$other" foreground && click_notepad; }
drag() {  # FROM_X FROM_Y BY_X BY_Y: with the left button, in ten steps
    local i xid steps=(); xid=$(e2e_desktop_xid) || return 1
    for i in 1 2 3 4 5 6 7 8 9 10; do steps+=(sleep 0.05 mousemove --window "$xid" $(($1 + $3 * i / 10)) $(($2 + $4 * i / 10))); done
    xdotool mousemove --window "$xid" "$1" "$2" sleep 0.2 mousedown 1 "${steps[@]}" sleep 0.2 mouseup 1
}
dragged() { local l t; read -r l t _ _ <<<"$(e2e_rect "$notepad")" && drag $((l + 60)) $((t + 10)) -60 20; }
resized() { local r b; read -r _ _ r b <<<"$(e2e_rect "$notepad")" && drag $((r - 3)) $((b - 3)) 40 30; }
restored() {
    probe show "$notepad" maximize >/dev/null && check "parked while notepad is maximised" e2e_wait_until 3000 parked "$sitter"
    probe show "$notepad" restore >/dev/null
}
stacking() {
    # Low on the screen, so that the balloon shows above the character, clear of its shoes.
    for v in X=150 Y=500 DX=500 DY=200; do
        wine reg add 'HKCU\Software\Microsoft\Notepad' /v "iWindowPos${v%=*}" /t REG_DWORD /d "${v#*=}" /f </dev/null >/dev/null 2>&1
    done
    e2e_start notepad.exe
    notepad=$(e2e_wait_window Notepad - 10000) || { e2e_count FAIL "notepad did not start"; return; }
    while read -r step what <&3; do
        [ "$step" = - ] || "$step" || e2e_log "could not bring notepad $what"
        check "shoes over notepad's caption $what" e2e_wait_until 5000 shoes_over_notepad
    done 3<<CASES
- after it starts
from_character back from the character
from_balloon back from the balloon
from_other back from another window
dragged after a drag by its caption
resized after a resize by its corner
restored after maximise and restore
CASES
    probe close "$notepad" >/dev/null
    check "notepad closes" e2e_gone "$notepad" 5000
}
stacking
probe close "$other"
probe activate "$perch" --wait 3000 >/dev/null

# The balloon shows below a character in the upper half of the screen after the restart, above one in the lower
# half with the fortune.
probe move "$perch" 200 500 500 250
check "seated low on the screen" seated_at "$sitter" "623 408 700 534"

# ---- The distance dialog from the menu, centred on the monitor's work area (Wine's taskbar takes its bottom
# 20 rows; a window of an odd width is half a pixel off), its slider named "Distance" for screen readers and
# in the focus: the keys of a horizontal scroll bar move it, Escape, Enter and Alt+F4 close it, the last value kept.
# The keys go to the window in the foreground: the dialog is open once it is there.
open_dialog() { dialog=$(e2e_wait_window Pellory.frmDistance "Set Distance" 5000) &&
    e2e_wait_until 3000 e2e_prints "$dialog" e2e_field "$dialog" foreground; }
dialog_is() { e2e_child_text_is "$dialog" Static "$1"; }  # the read-out, the dialog's first static
press() { e2e_keys $1 && check "$1: $2" e2e_wait_until 2000 dialog_is "$2"; }  # KEYS READ-OUT
close_with() { e2e_keys "$1"; check "$1 closes the dialog" e2e_gone "$dialog" 3000; }
centred() { local l t r b; read -r l t r b <<<"$(e2e_rect "$1")" && (( (l + r - 1024) ** 2 <= 1 && (t + b - 748) ** 2 <= 1 )); }
out_of_sight() { local l; read -r l _ <<<"$(e2e_rect "$1")" && [ "$l" -ge -667 ] && [ "$l" -le -666 ]; }
e2e_menu "$sitter" Down Return && open_dialog
check "the read-out starts at 0%" e2e_wait_until 3000 dialog_is "0%"
check_eq "the slider's name" "$(e2e_child "$dialog" ScrollBar | cut -d' ' -f7-)" Distance
check "the dialog opens centred on the monitor" centred "$dialog"
check "the character is out of sight meanwhile (left at -667 or -666)" e2e_wait_until 3000 out_of_sight "$sitter"
press "Right Right Right" 3%; press Next 13%; press End 100%
close_with Escape
check "FromSide = 100 stored" e2e_wait_until 3000 e2e_reg_is FromSide "REG_DWORD 0x64"
check "seated with its right edge on the window's left end, mirrored" e2e_wait_until 3000 drawn_as "123 408 200 534" mirrored
e2e_doc_crop "$BUILD/e2e-mirrored.png" "35 380 275 580" sitter-mirrored

e2e_menu "$sitter" Down Return && open_dialog && e2e_wait_until 3000 dialog_is "100%" && press Home 0%
close_with Return
check "FromSide = 0 stored" e2e_wait_until 3000 e2e_reg_is FromSide "REG_DWORD 0x0"
check "seated at the window's right end again" seated_at "$sitter" "623 408 700 534"

# "Set Distance" again while the dialog is open, from the notification icon's menu (the character is out of
# sight): still one dialog, brought to the front, and no following until the dialog closes.
e2e_menu "$sitter" Down Return && open_dialog && e2e_wait_until 3000 dialog_is "0%" && e2e_tray_click 3
check "the notification icon opens the menu over the dialog" e2e_wait_until 3000 e2e_menus_open 1
e2e_keys Down Return
check_until 3000 "the dialog is in front" "$dialog" e2e_field "$dialog" foreground
check_eq "one dialog" "$(probe list | grep -c ' class=Pellory.frmDistance ')" 1
stays() { ! e2e_wait_until "$1" not "${@:2}"; }  # MS COMMAND...: holds all that time
check "tracking stays off under the dialog after the icon's menu: out of sight for a second" stays 1000 out_of_sight "$sitter"
press "Next Next Right Right Right Right Right Left Right" 25%
read -r dl dt dr db <<<"$(e2e_rect "$dialog")"
e2e_doc_crop "$(e2e_shot distance)" "$((dl - 4)) $((dt - 4)) $((dr + 4)) $((db + 4))" distance-dialog
close_with alt+F4
check "FromSide = 25 stored" e2e_wait_until 3000 e2e_reg_is FromSide "REG_DWORD 0x19"
check "seated a quarter along from the right" seated_at "$sitter" "498 408 575 534"

# ---- Functions > !8ball: the question, a typed answer, OK, then the fortune.
e2e_menu "$sitter" Down Down Down Down Right Return && balloon=$(e2e_wait_window Pellory.frmBalloon - 5000)
check "the balloon asks, with an answer field" e2e_wait_until 3000 e2e_child_shown "$balloon" Edit yes
xdotool type --delay 40 "Will the tests pass?"
check "typing goes into the answer field" e2e_wait_until 3000 e2e_child_text_is "$balloon" Edit "Will the tests pass?"
read -r _ _ l t r b _ <<<"$(e2e_child "$balloon" Button)"
e2e_click $(((l + r) / 2)) $(((t + b) / 2)) 1
check "after OK the balloon tells the fortune" e2e_wait_until 3000 e2e_child_shown "$balloon" Edit no
check "the fortune is shown" e2e_wait_until 3000 e2e_visible "$balloon"
e2e_doc_crop "$(e2e_shot fortune)" "300 270 600 545" balloon-above
put_away "$balloon"

# ---- The menu: a right click opens it and says nothing; Costume 2 (third entry), third costume.
e2e_wait_until 3000 e2e_hidden "$balloon" || e2e_log "the fortune's balloon is still there"
body "$(e2e_shot before-costume)" "498 408 575 534" body-before
e2e_click $(e2e_point_at "$sitter") 3
check "a right click opens the popup menu" e2e_wait_until 3000 e2e_menus_open 1
e2e_keys Down Down Down Right
e2e_wait_until 3000 e2e_menus_open 2 && e2e_keys Down Down Return
check "Costume2 = 3 stored" e2e_wait_until 3000 e2e_reg_is Costume2 "REG_DWORD 0x3"
# The picture follows the stored value at the next redraw: 200 pixels of the body or more change.
new_costume() { body "$(e2e_shot costume)" "498 408 575 534" body-costume &&
    [ "$(e2e_pixels_differ "$BUILD/e2e-body-before.png" "$BUILD/e2e-body-costume.png")" -ge 200 ]; }
check "the character wears the new costume" e2e_wait_until 3000 new_costume

e2e_menu "$sitter" Up Return
check "Exit ends the program" probe wait-exit "$pid" --wait 5000

# ---- The second start finds the distance and the costume; high on the screen this time.
probe move "$perch" 200 120 500 400
sitter=$(e2e_start_pellory) || e2e_die "Pellory did not start again"
probe activate "$perch" --wait 3000 >/dev/null
check "seated a quarter along from the right after the restart" seated_at "$sitter" "498 28 575 154"
# A left click says "Don't touch me!" below the character; a click on the balloon puts it away.
e2e_click $(e2e_point_at "$sitter") 1
balloon=$(e2e_wait_window Pellory.frmBalloon - 5000)
check "a left click shows the balloon below the character" e2e_wait_until 3000 balloon_at "$balloon" "31[78] 134"
e2e_doc_crop "$(e2e_shot balloon-below)" "300 0 600 275" balloon-below
put_away "$balloon"
check "a click on the balloon puts it away" e2e_wait_until 3000 e2e_hidden "$balloon"

# A second start while it runs: no second character, done at once, and the first one says so.
read -r code ms <<<"$(probe run "$(winepath -w "$PELLORY")" --wait 3000 | tr -d '\r')"
check_eq "a second start ends at once with exit code 0 (in ${ms:-?} ms)" "${code:-none}" 0
check_eq "still one character" "$(probe list | grep -c ' class=Pellory.frmSitter ')" 1
check "the balloon shows" e2e_wait_until 3000 e2e_visible "$balloon"
check_until 3000 "it says so" "I'm already here!" e2e_field "$balloon" title
put_away "$balloon"
e2e_menu "$sitter" Down Down Down Right
check "the Costume 2 submenu opens again" e2e_wait_until 3000 e2e_menus_open 2
e2e_doc_crop "$(e2e_shot menu)" "460 10 800 246" popup-menu
e2e_keys Escape Escape
check "Escape closes the menu" e2e_wait_until 3000 e2e_menus_open 0
# Retried: something passing in front can spoil one shot.
worn() { body "$(e2e_shot restart)" "498 28 575 154" body-restart &&
    [ "$(e2e_pixels_differ "$BUILD/e2e-body-costume.png" "$BUILD/e2e-body-restart.png")" -le 20 ]; }
check "the costume is worn again" e2e_wait_until 3000 worn

# Tracking comes back once the menu is put away.
probe activate "$perch" --wait 3000 >/dev/null
probe move "$perch" 200 130 500 400
check "tracking resumes after a dismissed menu" seated_at "$sitter" "498 38 575 164"

e2e_finish
