#!/bin/bash
# End-to-end: the release files of scripts/make-dist. The manifests name the files built, by their hashes;
# a throw-away certificate signs the program, the uninstaller inside the setup and the setup, each checked
# by osslsigncode, and a signature attached from a release's signatures/ folder gives its files byte for
# byte; and the source copied to another folder and built there packs to the same bytes.
# Usage: release.sh BUILD_DIR VERSION WINPROBE_EXE
set -u
BUILD=$1 VERSION=$2 WINPROBE=$3 SRC=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/lib.sh"
e2e_init
work=$BUILD/e2e-release
rm -rf "$work" && mkdir -p "$work"
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$SRC" log -1 --format=%ct)}
name=Pellory-$VERSION zip=Pellory-$VERSION-win64.zip setup=Pellory-$VERSION-setup.exe
"$SRC/scripts/make-dist" "$BUILD" "$work/a" >/dev/null || e2e_die "make-dist failed"

# The icon's 256-pixel image, a PNG, is its 32-pixel drawing at eight times its size.
convert "$SRC/resources/bitmaps/distance.ico[5]" -sample 800% "$work/icon-32x8.png"
check_eq "the 256-pixel icon is the 32-pixel one, 8 x 8 for every pixel" \
    "$(compare -metric AE "$SRC/resources/bitmaps/distance.ico[10]" "$work/icon-32x8.png" null: 2>&1)" 0

# The manifests: every field winget and scoop require, the version and the hashes of the files built.
sha() { sha256sum "$work/a/$1" | cut -d' ' -f1; }
winget=$work/a/manifests/winget/Quarrystone.Pellory
for want in "$winget.yaml:ManifestType: version" "$winget.yaml:DefaultLocale: en-US" \
    "$winget.installer.yaml:ManifestType: installer" "$winget.installer.yaml:InstallerType: nullsoft" \
    "$winget.installer.yaml:  - Architecture: x64" "$winget.installer.yaml:    InstallerSha256: $(sha "$setup" | tr a-f A-F)" \
    "$winget.installer.yaml:    InstallerUrl: https://quarrystone.example/pellory/releases/$VERSION/$setup" \
    "$winget.locale.en-US.yaml:ManifestType: defaultLocale" "$winget.locale.en-US.yaml:PackageName: Pellory" \
    "$winget.locale.en-US.yaml:Publisher: Quarrystone" "$winget.locale.en-US.yaml:License: MIT"; do
    f=${want%%:*} line=${want#*:}
    check "$(basename "$f"): $line" grep -qxF "$line" "$f"
    for head in "PackageIdentifier: Quarrystone.Pellory" "PackageVersion: $VERSION" "ManifestVersion: 1.6.0"; do
        grep -qxF "$head" "$f" || e2e_count FAIL "$(basename "$f") lacks $head"
    done
done
printf 'file(READ "%s" m)\nforeach(k version description homepage license bin)\n  string(JSON v GET "${m}" ${k})\n  message("${k}=${v}")\nendforeach()\nstring(JSON v GET "${m}" architecture 64bit hash)\nstring(JSON u GET "${m}" architecture 64bit url)\nmessage("${u} ${v}")\n' \
    "$work/a/manifests/scoop/pellory.json" >"$work/scoop.cmake"
check_eq "scoop: the fields, the zip's URL and hash" "$(cmake -P "$work/scoop.cmake" 2>&1 | tr '\n' '|')" \
    "$(printf '%s|' "version=$VERSION" "description=A small pixel-art character that sits on the window in the foreground, follows it and talks." \
    "homepage=https://quarrystone.example/pellory/releases/$VERSION" license=MIT bin=Pellory.exe \
    "https://quarrystone.example/pellory/releases/$VERSION/$zip $(sha "$zip")")"

# Signed with a throw-away certificate: the program in the zip, the setup, and the uninstaller the setup installs.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Pellory test" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
SIGN_CERT=$work/cert.pem SIGN_KEY=$work/key.pem "$SRC/scripts/make-dist" "$BUILD" "$work/signed" >/dev/null || e2e_die "signing failed"
verified() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >/dev/null 2>&1; }
(cd "$work" && cmake -E tar xf "signed/$zip" Pellory.exe)
wine "$work/signed/$setup" /S "/D=$(winepath -w "$work/installed")" </dev/null >/dev/null 2>&1
for f in Pellory.exe "signed/$setup" installed/Uninstall.exe; do check "$f: signature verified" verified "$work/$f"; done
wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellory' /f </dev/null >/dev/null 2>&1
rm -f "$(winepath -u "$(wine cmd /c echo %APPDATA% </dev/null | tr -d '\r')")/Microsoft/Windows/Start Menu/Programs/Pellory.lnk"
printf 'x' | dd of="$work/Pellory.exe" bs=1 seek=4096 conv=notrunc status=none
check "one byte changed: verification fails" not verified "$work/Pellory.exe"
SIGN_CA=$work/cert.pem SIGN_FROM=$work/signed/signatures "$SRC/scripts/make-dist" "$BUILD" "$work/attached" >/dev/null
for f in "$zip" "$setup"; do check "$f with the signatures attached is the signed one" cmp "$work/signed/$f" "$work/attached/$f"; done

# The source in another folder, built there: the same zip and setup, or where they differ.
mkdir -p "$work/src" && git -C "$SRC" ls-files -z -co --exclude-standard |
    (cd "$SRC" && xargs -0 cp --parents -t "$work/src" 2>/dev/null)
cmake -S "$work/src" -B "$work/b" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build "$work/b" --target Pellory -j "$(nproc)" >/dev/null && "$SRC/scripts/make-dist" "$work/b" "$work/c" >/dev/null ||
    e2e_die "building in $work/src failed"
for f in "$zip" "$setup"; do
    cmp -l "$work/a/$f" "$work/c/$f" | head -5 >&2
    check "$f: the same bytes built in another folder" cmp -s "$work/a/$f" "$work/c/$f"
done
e2e_finish
