#!/usr/bin/env bash
# Installs the .deb into a throwaway clean Debian 12 root with one apt command, as a new user
# would, and uses what it installed: duzuroro-cli from the shell, its manual page and its tab
# completion, and the viewer started as its menu entry says, under xvfb-run, with a
# screenshot. Then removes the package and checks that it leaves nothing behind.
#
# Needs root (debootstrap, chroot) and Debian's mirror, and takes several minutes, so
# scripts/test.sh does not run it. Makes the .deb first when it is missing.
# The screenshot is kept as build/test-install/viewer.png; TEST_INSTALL_KEEP=1 keeps the
# root as well.
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

say "apt-get purge"
in_root apt-get purge -y -q duzuroro >>"$out/apt-install.log" 2>&1 || fail "purge failed"
for left in usr/bin/duzuroro usr/bin/duzuroro-cli usr/share/doc/duzuroro \
    usr/share/man/man1/duzuroro-cli.1.gz usr/share/icons/hicolor/256x256/apps/duzuroro.png; do
    [ ! -e "$root/$left" ] || fail "/$left is left after apt-get purge"
done

say "PASS: installed, used and removed on a clean Debian 12; the viewer's screenshot is $out/viewer.png"
