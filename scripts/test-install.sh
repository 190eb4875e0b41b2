#!/usr/bin/env bash
# Installs the .deb into a throwaway clean Debian 12 root with one apt command, as a new user
# would, and uses what it installed: duzuroro-cli from the shell, its manual page and its tab
# completion; the index file's type as xdg-mime and GIO name it, and its thumbnail as a file
# manager asks the installed thumbnailer for it; the viewer started as its menu entry says,
# under xvfb-run, with a screenshot; the studio's menu entry, and its installed page opened
# from the disk in headless Chromium. Then removes the package and checks that it leaves
# nothing behind, not even in the mime database.
#
# Needs root (debootstrap, chroot) and Debian's mirror, and takes several minutes, so
# scripts/test.sh does not run it. Makes the .deb first when it is missing.
# The pictures are kept as build/test-install/viewer.png, thumbnail.png and studio.png;
# TEST_INSTALL_KEEP=1 keeps the root as well.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
    echo "test-install: FAIL: $*" >&2
    exit 1
}
say() { echo "test-install: [$((SECONDS - started))s] $*"; }
started=$SECONDS

[ "$(id -u)" -eq 0 ] || fail "needs root, for debootstrap and chroot"
bash scripts/install-deps.sh

version=$(sed -n 's/^project(DuzuRoro VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
deb=build/release/packages/duzuroro_${version}_amd64.deb
[ -f "$deb" ] || bash scripts/package.sh
out=$PWD/build/test-install
mkdir -p "$out"

# The mirror apt uses here, so that the root is made the same way packages are installed.
mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
mirror=${mirror:-http://deb.debian.org/debian}

root=$(mktemp -d /var/tmp/duzuroro-install.XXXXXX)
chmod 755 "$root"  # as a real root is: apt's own user reads from it
cleanup() {
    for mount in "$root/dev/pts" "$root/dev" "$root/proc"; do
        mountpoint -q "$mount" && umount "$mount"
    done
    if [ "${TEST_INSTALL_KEEP:-0}" = 1 ]; then
        echo "test-install: the root is kept in $root"
    else
        rm -rf "$root"
    fi
}
trap cleanup EXIT

say "making a clean Debian 12 root from $mirror"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$out/debootstrap.log" 2>&1 ||
    fail "debootstrap failed; see $out/debootstrap.log"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"

# A command in the root, with a clean environment, as root or as the user "player".
in_root() {
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
        LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}
as_player() {
    chroot "$root" /usr/sbin/runuser -u player -- /usr/bin/env -i PATH=/usr/bin:/bin \
        HOME=/home/player LANG=C.UTF-8 "$@"
}

say "apt-get install ./$(basename "$deb")"
in_root apt-get update -qq
in_root apt-get install -y -q "/tmp/$(basename "$deb")" >"$out/apt-install.log" 2>&1 ||
    fail "apt-get could not install the package; see $out/apt-install.log"
in_root useradd --create-home player

say "duzuroro-cli from the shell"
as_player duzuroro-cli --version | head -1 | grep -qx "duzuroro-cli $version" ||
    fail "duzuroro-cli --version does not say $version"
as_player sh -c 'cd && duzuroro-cli make-demo demo && duzuroro-cli info demo/DEMO.LA0' \
    >"$out/info.txt" || fail "duzuroro-cli make-demo or info failed; see $out/info.txt"
grep -q '^Costume 1: ' "$out/info.txt" || fail "duzuroro-cli info lists no costume 1"

say "the manual pages and tab completion"
in_root apt-get install -y -q man-db >>"$out/apt-install.log" 2>&1 || fail "no man-db"
for page in duzuroro duzuroro-cli; do
    as_player sh -c "man $page | grep -q 'EXIT STATUS'" || fail "man $page shows no page"
done
completion=$(as_player bash -c '
    source /usr/share/bash-completion/bash_completion
    COMP_WORDS=(duzuroro-cli ex); COMP_CWORD=1; COMP_LINE="duzuroro-cli ex"; COMP_POINT=15
    _completion_loader duzuroro-cli
    $(complete -p duzuroro-cli | sed "s/.*-F \([^ ]*\) .*/\1/") duzuroro-cli ex duzuroro-cli
    echo "${COMPREPLY[*]}"')
[ "$completion" = export ] || fail "tab completion of 'duzuroro-cli ex' gives '$completion'"

say "the index file's type, as xdg-mime and GIO name it"
# xdg-mime asks File::MimeInfo (a recommendation of xdg-utils, which the package depends on)
# and GIO reads the same database: both must know an index file by its first block tag, and
# a file that only has the name of one must stay what it is.
in_root apt-get install -y -q xdg-utils shared-mime-info libfile-mimeinfo-perl libglib2.0-bin \
    >>"$out/apt-install.log" 2>&1 || fail "cannot install xdg-utils and GIO's tool in the root"
as_player sh -c 'cd && echo "some text, not a game" > NOTINDEX.LA0'
xdg_mime_type() { as_player xdg-mime query filetype "$1"; }
gio_type() { as_player gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'; }
for tool in xdg_mime_type gio_type; do
    type=$($tool /home/player/demo/DEMO.LA0)
    [ "$type" = application/x-duzuroro-index ] || fail "$tool gives DEMO.LA0 the type '$type'"
    type=$($tool /home/player/NOTINDEX.LA0)
    [ "$type" != application/x-duzuroro-index ] || fail "$tool takes a text file for an index file"
done

say "a file manager's thumbnail, by the installed thumbnailer's Exec line"
thumbnailer=$(sed -n 's/^Exec=//p' "$root/usr/share/thumbnailers/duzuroro.thumbnailer")
# The command a file manager runs for INPUT, OUTPUT and SIZE.
thumbnail_command() {
    local command=${thumbnailer//%i/$1}
    command=${command//%o/$2}
    echo "${command//%s/$3}"
}
[[ "$(thumbnail_command in out 128)" != *%* ]] || fail "the thumbnailer asks for more than %i, %o and %s: $thumbnailer"
as_player sh -c "$(thumbnail_command /home/player/demo/DEMO.LA0 /tmp/thumbnail.png 128)" ||
    fail "the thumbnailer failed on the demo game"
cp "$root/tmp/thumbnail.png" "$out/thumbnail.png"
file "$out/thumbnail.png" | grep -q 'PNG image data, 128 x 128, 8-bit/color RGBA' ||
    fail "the thumbnail is not a 128x128 RGBA PNG: $(file "$out/thumbnail.png")"
# The index alone: every costume is on a disk file that is not there.
as_player sh -c 'cd && mkdir nocostume && cp demo/DEMO.LA0 nocostume/'
status=0
as_player sh -c "$(thumbnail_command /home/player/nocostume/DEMO.LA0 /tmp/none.png 128)" \
    2>"$out/no-thumbnail.txt" || status=$?
[ "$status" = 1 ] || fail "a game without a costume to show gives the thumbnailer's exit status $status, not 1"
[ ! -e "$root/tmp/none.png" ] || fail "the thumbnailer wrote a file for a game without a costume to show"

say "the viewer from its menu entry, under xvfb-run"
in_root apt-get install -y -q --no-install-recommends xvfb xauth x11-apps \
    >>"$out/apt-install.log" 2>&1 || fail "cannot install xvfb in the root"
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/duzuroro.desktop")
as_player xvfb-run -a -s '-screen 0 800x600x24' sh -c "
    cd \$HOME/demo || exit 1
    $exec_line >/tmp/viewer.log 2>&1 & viewer=\$!
    sleep 5
    kill -0 \$viewer || exit 1
    xwd -root -silent > /tmp/viewer.xwd
    kill \$viewer" || fail "the viewer did not keep running under xvfb-run: $(cat "$root/tmp/viewer.log")"
convert "xwd:$root/tmp/viewer.xwd" -crop 660x520+0+0 "$out/viewer.png"

say "the studio from its menu entry, with a stand-in xdg-open"
studio=/usr/share/duzuroro/studio
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/duzuroro-studio.desktop")
mkdir -p "$root/tmp/stand-in"
printf '#!/bin/sh\necho "$@" > /tmp/xdg-open.args\n' >"$root/tmp/stand-in/xdg-open"
chmod 755 "$root/tmp/stand-in/xdg-open"
as_player env PATH=/tmp/stand-in:/usr/bin:/bin "$exec_line" || fail "the studio's launcher failed"
opened=$(cat "$root/tmp/xdg-open.args")
[ "$opened" = "file://$studio/index.html" ] || fail "the studio's launcher opens '$opened'"
# The page's own files: what index.html loads, the service worker that studio.js registers,
# and what that worker keeps (the manifest and its icons among them).
names=$( (grep -o '\(src\|href\)="[^"]*"' "$root$studio/index.html" | cut -d'"' -f2
    echo sw.js
    grep -o "'[^']*\.[a-z]\+'" "$root$studio/sw.js" | tr -d "'") | grep -v '^data:' | sort -u)
grep -qx duzuroro.js <<<"$names" || fail "index.html does not load duzuroro.js: $names"
for name in $names; do
    [ -f "$root$studio/$name" ] || fail "the studio page needs $name, which is not installed"
done
# The installed page itself, opened from the disk as the launcher opens it, in headless
# Chromium: its WebAssembly starts and then shows the studio's view, hidden until then.
in_root apt-get install -y -q --no-install-recommends chromium >>"$out/apt-install.log" 2>&1 ||
    fail "cannot install chromium in the root"
chromium_page() {
    as_player chromium --headless --no-sandbox --disable-gpu --disable-dev-shm-usage --no-first-run \
        --window-size=1100,750 --virtual-time-budget=5000 "$@" "file://$studio/index.html" \
        2>>"$out/studio-chromium.log"
}
chromium_page --dump-dom >"$out/studio-dom.html" || fail "chromium could not open the installed studio page"
grep -q 'id="studio-view" class="studio">' "$out/studio-dom.html" ||
    fail "the installed studio page does not start; see $out/studio-dom.html and $out/studio-chromium.log"
chromium_page --screenshot=/tmp/studio.png >/dev/null || fail "chromium took no screenshot of the studio"
cp "$root/tmp/studio.png" "$out/studio.png"

say "apt-get purge"
# What the mime database's trigger made of the package's file, which must go with it.
[ -f "$root/usr/share/mime/application/x-duzuroro-index.xml" ] ||
    fail "the mime database's trigger did not take in the index file type"
in_root apt-get purge -y -q duzuroro >>"$out/apt-install.log" 2>&1 || fail "purge failed"
for left in usr/bin/duzuroro usr/bin/duzuroro-cli usr/share/doc/duzuroro \
    usr/share/man/man1/duzuroro-cli.1.gz usr/share/icons/hicolor/256x256/apps/duzuroro.png \
    usr/share/mime/packages/duzuroro.xml usr/share/thumbnailers/duzuroro.thumbnailer \
    usr/share/duzuroro usr/lib/duzuroro usr/share/applications/duzuroro-studio.desktop; do
    [ ! -e "$root/$left" ] || fail "/$left is left after apt-get purge"
done
# Nor anything that was made from them: the mime database the trigger rebuilt, or any other
# file named after the package outside the player's home and /tmp.
grep -rl duzuroro "$root/usr/share/mime" && fail "the mime database still knows the index file type"
left=$(find "$root" -mindepth 1 -xdev \( -path "$root/tmp" -o -path "$root/home" \) -prune -o -name '*duzuroro*' -print)
[ -z "$left" ] || fail "left after apt-get purge: $left"

say "PASS: installed, used and removed on a clean Debian 12; the pictures are $out/viewer.png, $out/thumbnail.png and $out/studio.png"
