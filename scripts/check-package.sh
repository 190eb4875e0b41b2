#!/usr/bin/env bash
# Checks the two packages that scripts/package.sh makes, as Debian and a user would see them:
# lintian finds no error and no warning in the .deb; its file list is exactly what a user
# should get; its dependencies were worked out from the programs; its programs are stripped
# and run; its icons have the sizes their folders say; its desktop entry and metadata pass
# desktop-file-validate and appstreamcli. The zip holds DuzuRoro.exe, duzuroro-cli.exe and
# the documents. Both carry the web page (the viewer and the studio) as the web build made it.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
    echo "check-package: FAIL: $*" >&2
    exit 1
}

version=$(sed -n 's/^project(DuzuRoro VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no project version in CMakeLists.txt"
deb=build/release/packages/duzuroro_${version}_amd64.deb
zip=build/win64/packages/DuzuRoro-${version}-win64.zip
[ -f "$deb" ] || fail "$deb is missing: bash scripts/package.sh"
[ -f "$zip" ] || fail "$zip is missing: bash scripts/package.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Compares a whole list with the expected one, and shows both when they differ.
same_list() {
    local what=$1 expected=$2 actual=$3
    if [ "$expected" != "$actual" ]; then
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        fail "$what differs from the expected list (< expected, > found)"
    fi
}

echo "--- lintian"
lintian --fail-on error,warning --display-level '>=warning' "$deb" ||
    fail "lintian reports the problems above"

echo "--- file list"
icons=""
for size in 16 32 48 64 128 256; do
    icons+="./usr/share/icons/hicolor/${size}x${size}/apps/duzuroro.png"$'\n'
done
studio_files="index.html duzuroro.js studio.js fflate.js sw.js manifest.webmanifest icon-128.png icon-256.png"
studio=""
for file in $studio_files; do
    studio+="./usr/share/duzuroro/studio/$file"$'\n'
done
expected=$(sort <<EOF
./usr/bin/duzuroro
./usr/bin/duzuroro-cli
./usr/lib/duzuroro/duzuroro-studio
./usr/share/applications/duzuroro-studio.desktop
./usr/share/applications/duzuroro.desktop
${studio}./usr/share/bash-completion/completions/duzuroro-cli
./usr/share/doc/duzuroro/changelog.gz
./usr/share/doc/duzuroro/copyright
${icons}./usr/share/man/man1/duzuroro-cli.1.gz
./usr/share/man/man1/duzuroro.1.gz
./usr/share/metainfo/io.github.duzuroro.DuzuRoro.metainfo.xml
./usr/share/mime/packages/duzuroro.xml
./usr/share/thumbnailers/duzuroro.thumbnailer
EOF
)
same_list "the .deb's files" "$expected" "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)"

echo "--- control fields"
depends=$(dpkg-deb --field "$deb" Depends)
for library in libgtk-3-0 libpng16-16 libgif7 libnettle8 libstdc++6 libc6 xdg-utils; do
    grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "the .deb's version is not $version"

echo "--- contents"
root=$work/root
dpkg-deb -x "$deb" "$root"
for program in duzuroro duzuroro-cli; do
    file "$root/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
"$root/usr/bin/duzuroro-cli" --version | head -1 | grep -qx "duzuroro-cli $version" ||
    fail "the packaged duzuroro-cli does not say it is version $version"
for size in 16 32 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/duzuroro.png" |
        grep -q "PNG image data, $size x $size," || fail "the ${size}x$size icon has another size"
done
for entry in duzuroro duzuroro-studio; do
    desktop-file-validate "$root/usr/share/applications/$entry.desktop" ||
        fail "desktop-file-validate reports the problems above in $entry.desktop"
done
grep -qx 'Exec=/usr/lib/duzuroro/duzuroro-studio' "$root/usr/share/applications/duzuroro-studio.desktop" &&
    grep -qx 'exec xdg-open file:///usr/share/duzuroro/studio/index.html' "$root/usr/lib/duzuroro/duzuroro-studio" &&
    [ -x "$root/usr/lib/duzuroro/duzuroro-studio" ] ||
    fail "the studio's menu entry does not open the installed page"
for file in $studio_files; do
    cmp -s "$root/usr/share/duzuroro/studio/$file" "build/web/$file" ||
        fail "the .deb's studio/$file is not the web build's"
done
metainfo=$root/usr/share/metainfo/io.github.duzuroro.DuzuRoro.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli reports the problems above"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
zcat "$root/usr/share/doc/duzuroro/changelog.gz" | head -1 | grep -q "^duzuroro ($version)" ||
    fail "the changelog's newest entry is not $version"

echo "--- Windows zip"
top=DuzuRoro-${version}-win64
same_list "the zip's files" "$( (printf '%s\n' "$top/CHANGELOG.md" "$top/DuzuRoro.exe" \
    "$top/LICENSE.txt" "$top/README.txt" "$top/duzuroro-cli.exe"; printf "$top/studio/%s\n" $studio_files) |
    LC_ALL=C sort)" "$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)"
unzip -q -d "$work" "$zip" "$top/DuzuRoro.exe" "$top/duzuroro-cli.exe"
file "$work/$top/DuzuRoro.exe" | grep -q 'PE32+ executable (GUI) x86-64' ||
    fail "DuzuRoro.exe in the zip is not a 64-bit Windows GUI program"
file "$work/$top/duzuroro-cli.exe" | grep -q 'PE32+ executable (console) x86-64' ||
    fail "duzuroro-cli.exe in the zip is not a 64-bit Windows console program"
# The very programs that the tests win32_e2e and win32_cli drive under Wine.
cmp -s "$work/$top/DuzuRoro.exe" build/win64/frontends/win32/DuzuRoro.exe ||
    fail "DuzuRoro.exe in the zip is not the one built in build/win64"
cmp -s "$work/$top/duzuroro-cli.exe" build/win64/frontends/cli/duzuroro-cli.exe ||
    fail "duzuroro-cli.exe in the zip is not the one built in build/win64"

echo "check-package: $deb and $zip pass"
