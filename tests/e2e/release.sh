#!/bin/bash
# End-to-end: the release files of scripts/make-dist. The manifests name the files built, by their hashes;
# a throw-away certificate signs the program, the uninstaller inside the setup and the setup, each checked
# by osslsigncode, and a signature attached from a release's signatures/ folder gives its files byte for
# byte; and the source copied to another folder and built there packs to the same bytes.
# Usage: release.sh BUILD_DIR VERSION WINPROBE_EXE
set -u
BUILD=$1 VERSION=$2 WINPROBE=$3 SRC=$(cd "$(dirname "$0")/../.." && pwd)
zip=Pellory-$2-win64.zip setup=Pellory-$2-setup.exe work=$BUILD/e2e-release
source "$(dirname "$0")/lib.sh"
e2e_init
rm -rf "$work" && mkdir -p "$work"
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$SRC" log -1 --format=%ct)}
"$SRC/scripts/make-dist" "$BUILD" "$work/a" >/dev/null || e2e_die "make-dist failed"

# The icon's 256-pixel image, a PNG, is its 32-pixel drawing at eight times its size.
icon=$SRC/resources/bitmaps/distance.ico && convert "$icon[5]" -sample 800% "$work/icon-32x8.png"
check_eq "the 256-pixel icon is the 32-pixel one, 8 x 8 for every pixel" "$(compare -metric AE "$icon[10]" "$work/icon-32x8.png" null: 2>&1)" 0

# The manifests: the fields winget and scoop require, the version, and the URL and hash of the file built.
sha() { sha256sum "$work/a/$1" | cut -d' ' -f1; }
url=https://quarrystone.example/pellory/releases/$VERSION m=$work/a/manifests w=$work/a/manifests/winget/Quarrystone.Pellory
head=("PackageIdentifier: Quarrystone.Pellory" "PackageVersion: $VERSION" "ManifestVersion: 1.6.0")
has_lines() {  # FILE LINE...: each a line of the file, as an extended regular expression
    local line; for line in "${@:2}"; do grep -qxE "$line" "$1" || { e2e_log "no line '$line'"; return 1; }; done
}
check "winget: the version manifest" has_lines "$w.yaml" "${head[@]}" "ManifestType: version" "DefaultLocale: en-US"
check "winget: the installer manifest, with the setup's URL and hash" has_lines "$w.installer.yaml" "${head[@]}" "ManifestType: installer" \
    "InstallerType: nullsoft" "  - Architecture: x64" "    InstallerUrl: $url/$setup" "    InstallerSha256: $(sha "$setup" | tr a-f A-F)"
check "winget: the default-locale manifest" has_lines "$w.locale.en-US.yaml" "${head[@]}" "ManifestType: defaultLocale" \
    "PackageLocale: en-US" "Publisher: Quarrystone" "PackageName: Pellory" "License: MIT" "ShortDescription: .+"
check "scoop: the manifest, with the zip's URL and hash" has_lines "$m/scoop/pellory.json" " *\"version\": \"$VERSION\"," \
    ' *"description": "[^"]+",' ' *"homepage": "[^"]+",' ' *"license": "MIT",' ' *"bin": "Pellory.exe",' \
    " *\"url\": \"$url/$zip\"," " *\"hash\": \"$(sha "$zip")\""

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
mkdir -p "$work/src" && git -C "$SRC" ls-files -z -co --exclude-standard | (cd "$SRC" && xargs -0 cp --parents -t "$work/src")
cmake -S "$work/src" -B "$work/b" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build "$work/b" --target Pellory -j "$(nproc)" >/dev/null && "$SRC/scripts/make-dist" "$work/b" "$work/c" >/dev/null ||
    e2e_die "building in $work/src failed"
for f in "$zip" "$setup"; do check "$f: the same bytes built in another folder" cmp "$work/a/$f" "$work/c/$f"; done
e2e_finish
