#!/bin/bash
# End-to-end: what a user downloads. The zip's contents; the installer and the uninstaller run silently
# (as an update or an administrator would) over a running character, checked in files and registry.
# Usage: install.sh BUILD_DIR VERSION WINPROBE_EXE PERCH_EXE
set -u
BUILD=$1 VERSION=$2 WINPROBE=$3 PERCH=$4
SETUP=$BUILD/dist/Pellory-$VERSION-setup.exe ZIP=$BUILD/dist/Pellory-$VERSION-win64.zip
source "$(dirname "$0")/lib.sh"
e2e_init
[ -f "$SETUP" ] && [ -f "$ZIP" ] || e2e_die "missing $SETUP or $ZIP"

UNINST='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellory'
RUN='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
winenv() { wine cmd /c echo "%$1%" </dev/null | tr -d '\r'; }
win="$(winenv LOCALAPPDATA)\\Programs\\Pellory"
dir=$(winepath -u "$win" 2>/dev/null) && dir=${dir%/}
lnk="$(winepath -u "$(winenv APPDATA)" 2>/dev/null)/Microsoft/Windows/Start Menu/Programs/Pellory.lnk"
costumes="$(winepath -u "$(winenv APPDATA)" 2>/dev/null)/Pellory/Costumes"

# A Run entry left behind would start the character in every later Wine session of the build.
forget_install() {
    rm -rf "$dir" "$lnk" "$costumes"
    wine reg delete "$UNINST" /f </dev/null >/dev/null 2>&1
    wine reg delete "$RUN" /v Pellory /f </dev/null >/dev/null 2>&1
}
forget_install
trap 'rc=$?; forget_install; e2e_close_all; set_dpi 96; (exit $rc); e2e_cleanup' EXIT
E2E_EXES+=(Pellory.exe)
# setup.exe, Uninstall.exe or the copy of itself the uninstaller runs from the temporary folder.
setup_running() { probe procs 2>/dev/null | tr -d '\r' | grep -qiE ' (pellory-.*-setup|uninstall|un)\.exe$'; }
# Run in the test desktop, where the running character is to be found, and waited for: explorer returns
# once the program is started (on a desktop that exists) or has ended, so from then on it is listed until
# it ends. The files and values it writes are then all there.
run_in_desktop() {
    wine explorer "/desktop=$E2E_DESKTOP,$E2E_SIZE" "$@" </dev/null >/dev/null 2>&1
    check "${1##*[\\/]} ${*:2} has finished" e2e_wait_until 60000 not setup_running
}

# The zip: the four files, sums that match, texts with CRLF line ends, the program stripped and naming the
# file its symbols are kept in, which is the program built.
unz=$BUILD/e2e-zip debug=$BUILD/dist/Pellory-$VERSION.debug
rm -rf "$unz" && mkdir -p "$unz" && (cd "$unz" && cmake -E tar xf "$ZIP")
check_eq "zip holds" "$(cmake -E tar tf "$ZIP" | LC_ALL=C sort | tr '\n' ' ')" "LICENSE.txt Pellory.exe README.txt SHA256SUMS "
check "SHA256SUMS match" sh -c "cd '$unz' && sha256sum --quiet -c SHA256SUMS"
check "README.txt and LICENSE.txt: every line ends in CRLF" not grep -qv $'\r$' "$unz/README.txt" "$unz/LICENSE.txt"
check "the zipped Pellory.exe has no symbols" sh -c "x86_64-w64-mingw32-nm '$unz/Pellory.exe' 2>&1 | grep -q 'no symbols'"
check "it names ${debug##*/}, the program built" sh -c "strings -a '$unz/Pellory.exe' | grep -qx '${debug##*/}' && cmp -s '$debug' '$BUILD/Pellory.exe'"

# The welcome page at 96 and 144 DPI shows the picture drawn for 100 and 150 %, pixel for pixel, centred
# in its box on the wall. Screenshots: BUILD/e2e-installer-welcome-DPI.png.
welcome_as_drawn() {  # "LEFT TOP RIGHT BOTTOM" of the page's picture, SCALE, SHOT
    local l t r b; read -r l t r b <<<"$1"
    convert "$(dirname "$0")/../../resources/bitmaps/installer-welcome-$2.bmp" -background "#CED6E4" -gravity center \
        -extent "$((r - l))x$((b - t))" "$BUILD/e2e-art.png" && e2e_screenshot "$3" && e2e_crop "$3" "$1" "$BUILD/e2e-seen.png" &&
        [ "$(e2e_pixels_differ "$BUILD/e2e-seen.png" "$BUILD/e2e-art.png")" = 0 ]
}
while read -r dpi scale; do
    set_dpi "$dpi" && e2e_start "$SETUP" && setup=$(e2e_wait_window "#32770" "Pellory Setup" 20000) || e2e_die "no setup at $dpi DPI"
    # The picture is the first control of the page, the dialog in the setup's window.
    picture=$(probe children "$setup" | tr -d '\r' | awk '/class=#32770/ { getline; sub(/.*rect=/, ""); gsub(",", " "); print $1, $2, $3, $4; exit }')
    check "$dpi DPI: the welcome picture for $scale %, unscaled, at $picture" \
        e2e_wait_until 5000 welcome_as_drawn "$picture" "$scale" "$BUILD/e2e-installer-welcome-$dpi.png"
    e2e_close_all
    e2e_wait_until 10000 not e2e_desktop_xid >/dev/null
done <<<$'96 100\n144 150'
set_dpi 96

# A first install, silent, with the start at sign-in.
run_in_desktop "$SETUP" /S /SIGNIN
e2e_wait_until 10000 e2e_reg_value DisplayName "$UNINST" >/dev/null
for f in Pellory.exe README.txt LICENSE.txt Uninstall.exe; do check "installed $f" test -f "$dir/$f"; done
check "the installed Pellory.exe is the zipped one" cmp -s "$dir/Pellory.exe" "$unz/Pellory.exe"
guides() { cmp -s "$costumes/Costume $1/template.png" "$(dirname "$0")/../../resources/bitmaps/template.png" && test -s "$costumes/Costume $1/README.txt"; }
check "each costume folder holds the template and the artists' README" eval "guides 1 && guides 2"
check "Start-menu shortcut to it" sh -c "strings '$lnk' | grep -qxF '$win\\Pellory.exe'"
check_eq "started at sign-in" "$(e2e_reg_value Pellory "$RUN")" "REG_SZ \"$win\\Pellory.exe\""
while read -r name want; do
    check_eq "Apps & features: $name" "$(e2e_reg_value "$name" "$UNINST")" "$want"
done <<EOF
DisplayName REG_SZ Pellory
DisplayVersion REG_SZ $VERSION
DisplayIcon REG_SZ $win\\Pellory.exe
InstallLocation REG_SZ $win
UninstallString REG_SZ "$win\\Uninstall.exe"
QuietUninstallString REG_SZ "$win\\Uninstall.exe" /S
EOF
read -r type kb <<<"$(e2e_reg_value EstimatedSize "$UNINST")"
check "EstimatedSize ($type $kb) covers Pellory.exe in KB" test "$type" = REG_DWORD -a $((kb)) -ge $(($(stat -c %s "$dir/Pellory.exe") / 1024))

# The installed program sits on a window, by the seat rule: 100 200 600 600 seats it at 523 108.
PELLORY="$win\\Pellory.exe"
sitter=$(e2e_start_pellory) || e2e_die "the installed Pellory.exe showed no character"
perch=$(e2e_perch 100 200 500 400 Perch) || e2e_die "the perch window did not come up"
check "the installed Pellory sits on the window" e2e_wait_rect 5000 "$sitter" "523 108 600 234"

# Installing over it ends it; /RUN starts the new copy. Without /SIGNIN the earlier choice stays.
e2e_info "$sitter" && old=${INFO[pid]}
run_in_desktop "$SETUP" /S /RUN
check "installing over the running Pellory ended it" probe wait-exit "$old" --wait 15000
sitter=$(e2e_wait_window Pellory.frmSitter Pellory 20000) && e2e_info "$sitter" && new=${INFO[pid]}
check "/RUN started the new Pellory (pid ${new:-none}, was $old)" test -n "${new:-}" -a "${new:-}" != "$old"
check "an update keeps the start at sign-in" e2e_reg_value Pellory "$RUN"

# Uninstalling as Apps & features does, quietly: ends the running copy and leaves only the settings.
quiet=$(e2e_reg_value QuietUninstallString "$UNINST") && quiet=${quiet#REG_SZ \"}
run_in_desktop "${quiet%%\"*}" ${quiet#*\" }
check "uninstalling ended the running Pellory" probe wait-exit "${new:-0}" --wait 15000
check "the folder is gone" e2e_wait_until 15000 test ! -e "$dir"
check "the Uninstall key is gone" e2e_wait_until 5000 not e2e_reg_value DisplayName "$UNINST"
check "the shortcut is gone" e2e_wait_until 5000 test ! -e "$lnk"
check "the Run entry is gone" e2e_wait_until 5000 not e2e_reg_value Pellory "$RUN"
check "a silent uninstall keeps the settings" e2e_reg_value Costume
check "and the costume folders" test -f "$costumes/Costume 2/README.txt"

e2e_finish
