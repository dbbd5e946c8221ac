#!/bin/bash
# End-to-end: costumes an artist drew (with ImageMagick here), put in the prefix's %APPDATA%. The Costume 1 menu
# lists them in Explorer's order without the template; one chosen is worn and stored by its file name, and again
# after a restart; its folder opens from the menu; a file dropped in while the program runs is listed within a
# second; a bad one is told of in the balloon and changes nothing else; the worn file changed is drawn anew, and
# deleted gives the built-in costume back; a file in the place of a folder is told of.
# Usage: costumes.sh BUILD_DIR PELLORY_EXE WINPROBE_EXE PERCH_EXE
set -u
BUILD=$1 PELLORY=$2 WINPROBE=$3 PERCH=$4
source "$(dirname "$0")/lib.sh"
e2e_init
costumes="$(winepath -u "$(wine cmd /c echo %APPDATA% </dev/null | tr -d '\r')")/Pellory/Costumes" one=$costumes/"Costume 1"
drawn=$BUILD/e2e-drawn
rm -rf "$costumes" "$drawn" && mkdir -p "$one" "$drawn" || e2e_die "cannot make $one"
trap 'rc=$?; e2e_close_all; rm -rf "$costumes"; (exit $rc); e2e_cleanup' EXIT

# SIZE NAME DRAWING...: a picture drawn aside, then put in the folder at once, as Explorer drops it.
draw() { convert -size "$1" xc:none +antialias -stroke '#3a2418' "${@:3}" "$drawn/$2"; }
put() { (cd "$drawn" && mv "$@" "$one/"); }
# A straw hat drawn at twice the art's detail (its outline half an art pixel wide), and a beret at the art's own.
draw 154x252 "hat 10.png" -fill '#e9c46a' -draw 'ellipse 62,42 56,9 0,360' -draw 'roundrectangle 34,8 90,42 12,12' \
    -fill '#c8405c' -draw 'rectangle 34,32 90,39' -fill '#fff4f0' -draw 'circle 80,32 80,27' -fill '#f2c94c' \
    -draw 'circle 80,32 80,30' -stroke '#d9ad4e' -draw 'line 40,14 84,14' -draw 'line 38,20 86,20' -draw 'line 36,26 88,26' &&
    draw 77x126 "hat 2.png" -fill '#c8405c' -draw 'ellipse 31,12 16,5 0,360' &&
    cp "$(dirname "$0")/../../resources/bitmaps/template.png" "$drawn/" && put "hat 10.png" "hat 2.png" template.png ||
    e2e_die "cannot draw the costumes"

# NAME: the character's top 24 rows as shown (above its blinking eyes, where a hat sits), BUILD/e2e-worn-NAME.png.
look() { e2e_crop "$(e2e_shot worn)" "$(read -r l t r _ <<<"$(e2e_rect "$sitter")"; echo "$l $t $r $((t + 24))")" "$BUILD/e2e-worn-$1.png"; }
looks() { look now && local n; n=$(e2e_pixels_differ "$BUILD/e2e-worn-now.png" "$BUILD/e2e-worn-$2.png") && [ "$n" "$1" 20 ]; }  # -lt|-ge NAME
costume1() { e2e_menu "$sitter" Down Down Right && e2e_wait_until 3000 e2e_menus_open 2 && e2e_keys "$@"; }
perch=$(e2e_perch 100 200 500 400 Perch) || e2e_die "the perch window did not come up"
sitter=$(e2e_start_pellory) || e2e_die "Pellory did not start"
look built-in
costume1 Down Down Down Return
check_until 3000 "the first of the folder's costumes, after the built-in ones, is hat 2: stored by name" "REG_SZ hat 2.png" e2e_reg_value CostumeFile
check "and worn" e2e_wait_until 3000 looks -ge built-in && look hat-2
costume1 Up Up Return
check_until 3000 "the last, before Open Costumes Folder, is hat 10 (Explorer's order, no template)" "REG_SZ hat 10.png" e2e_reg_value CostumeFile
check "and worn" e2e_wait_until 3000 looks -ge hat-2 && look hat-10
check_eq "Costume keeps the built-in choice" "$(e2e_reg_value Costume)" "REG_DWORD 0x1"
costume1 Up Return
check "Open Costumes Folder shows it" eval 'e2e_wait_window ExplorerWClass "Costume 1" 10000 >/dev/null'
probe close ExplorerWClass >/dev/null
# At Size 200 % the hat shows its own detail.
e2e_menu "$sitter" Down Down Down Down Down Right Down Down Return && e2e_wait_until 5000 e2e_client_is "$sitter" "154 252" &&
    e2e_doc_crop "$(e2e_shot costume-hat)" "$(read -r l t r b <<<"$(e2e_rect "$sitter")"; echo "$((l - 60)) $((t - 8)) $((r + 20)) $((b + 20))")" costume-hat
e2e_menu "$sitter" Down Down Down Down Down Right Return && e2e_wait_until 5000 e2e_client_is "$sitter" "77 126"

e2e_menu "$sitter" Up Return
e2e_info "$sitter" && probe wait-exit "${INFO[pid]}" --wait 5000 >/dev/null
sitter=$(e2e_start_pellory) || e2e_die "Pellory did not start again"
check "a restart wears hat 10 again" e2e_wait_until 3000 looks -lt hat-10

# A good file and a bad one dropped in together while it runs: the scan that reads them lists the good one, then the
# character says what is wrong with the bad one, within a second.
cp "$one/hat 2.png" "$drawn/bow.png" && draw 80x120 cape.png -fill '#3050a0' -draw 'rectangle 10,10 70,110' &&
    dropped=$((${EPOCHREALTIME/./} / 1000)) && put bow.png cape.png || e2e_die "cannot drop the files"
says() { local b; b=$(probe find Pellory.frmBalloon -) && [ "$(e2e_field "$b" title)" = "$1" ]; }
e2e_wait_until 3000 says 'I can'"'"'t wear "cape.png": it is 80 x 120, and I need 77 x 126.' && said=$((${EPOCHREALTIME/./} / 1000 - dropped))
check "the balloon says which file is bad and why within a second (seen after ${said:-over 3000} ms)" test "${said:-3001}" -le 1000
check "and nothing else changes: the costume stored" e2e_reg_is CostumeFile "REG_SZ hat 10.png"
check "and worn" looks -lt hat-10
costume1 Down Down Down Return
check_until 3000 "the good file is listed first" "REG_SZ bow.png" e2e_reg_value CostumeFile
e2e_wait_until 3000 looks -ge hat-10 && look bow && draw 77x126 bow.png -fill '#3050a0' -draw 'ellipse 31,12 16,5 0,360' && put bow.png
check "the worn file changed is worn anew" e2e_wait_until 3000 looks -ge bow
rm "$one/bow.png"
check "the worn file deleted: the built-in costume is worn again" e2e_wait_until 3000 looks -lt built-in
check "and the stored name cleared" e2e_wait_until 3000 not e2e_reg_value CostumeFile
touch "$drawn/Costume 2" && rm -r "$costumes/Costume 2" && mv "$drawn/Costume 2" "$costumes/"
check "a file in the place of the Costume 2 folder is told of" \
    e2e_wait_until 3000 says 'I can'"'"'t look into my "Costume 2" folder: it is a file, not a folder.'

e2e_finish
