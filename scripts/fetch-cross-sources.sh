#!/usr/bin/env bash
# Fetches Debian's source packages of zlib, libpng, giflib and nettle, of exactly the versions the
# native build links, and unpacks them with Debian's patches applied, for the cross builds
# (win64, web) to compile for their own toolchains. Uses a private apt configuration, so the
# machine's apt sources and lists stay as they are. Quick when already fetched.
#
# usage: fetch-cross-sources.sh [FOLDER]   (the default is the one CMake's
#        DUZURORO_CROSS_SOURCES defaults to)
# Messages go to standard error. Exit code 2: the mirror does not serve a native version;
# standard output then lists PACKAGE=VERSION, the native packages at the newest version it
# does serve, which install-deps.sh installs before running this again.
set -euo pipefail

dest=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/duzuroro/cross-sources}
# The native development package each source package builds.
declare -A dev_package=([zlib]=zlib1g-dev [libpng1.6]=libpng-dev [giflib]=libgif-dev
                        [nettle]=nettle-dev)

fail() {
  echo "fetch-cross-sources: $*" >&2
  exit 1
}

native_version() {
  dpkg-query -W -f='${source:Version}' "${dev_package[$1]}" 2>/dev/null ||
    fail "${dev_package[$1]} is not installed: bash scripts/install-deps.sh"
}

wanted=()
for source in zlib libpng1.6 giflib nettle; do
  version=$(native_version "$source")
  if [ "$(cat "$dest/$source.version" 2>/dev/null)" != "$version" ]; then
    wanted+=("$source=$version")
  fi
done
((${#wanted[@]})) || exit 0

# The machine's mirrors, for source packages. Their list files live beside the sources.
apt_dir=$dest/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$dest/downloads"
machine_sources=/etc/apt/sources.list.d/debian.sources
if [ -f "$machine_sources" ]; then
  sed 's/^Types:.*/Types: deb-src/' "$machine_sources" >"$apt_dir/debian.sources"
else
  cat >"$apt_dir/debian.sources" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
fi
apt_options=(
  -o Dir::Etc::SourceList="$apt_dir/debian.sources"
  -o Dir::Etc::SourceParts=/nonexistent
  -o Dir::State::Lists="$apt_dir/lists"
  -o Dir::Cache="$apt_dir/cache"
)
# apt's download sandbox user may not reach a home folder; the files are checked against
# the signed indexes either way.
if [ "$(id -u)" -eq 0 ]; then apt_options+=(-o APT::Sandbox::User=root); fi

download() {
  (cd "$dest/downloads" && apt-get "${apt_options[@]}" -qq source --download-only "$1=$2" >&2 2>/dev/null)
}

# An index may list a version whose files the mirror no longer has, so each is tried.
newest_served() {
  local version
  for version in $(apt-cache "${apt_options[@]}" showsrc "$1" 2>/dev/null |
                   sed -n 's/^Version: //p' | sort -Vru); do
    if download "$1" "$version"; then
      echo "$version"
      return
    fi
  done
}

# The native packages built from SOURCE, at VERSION.
native_packages_at() {
  dpkg-query -W -f='${binary:Package} ${source:Package}\n' |
    awk -v source="$1" -v version="$2" '$2 == source { print $1 "=" version }'
}

unpack() {
  local source=$1 version=$2
  # The .dsc's name carries the version without its epoch.
  local dsc=$dest/downloads/${source}_${version#*:}.dsc
  [ -f "$dsc" ] || fail "apt-get fetched no $dsc"
  rm -rf "${dest:?}/$source" "$dest/$source.version" "$dest/downloads/$source.partial"
  # apt has checked every file against the signed index; dpkg-source's word on the .dsc's
  # own signature (it has no maintainers' keys) is noise unless it fails.
  dpkg-source -x "$dsc" "$dest/downloads/$source.partial" >"$dest/downloads/$source.log" 2>&1 ||
    { cat "$dest/downloads/$source.log" >&2; fail "dpkg-source could not unpack $dsc"; }
  mv "$dest/downloads/$source.partial" "$dest/$source"
  echo "$version" >"$dest/$source.version"
}

echo "Fetching Debian source packages for the cross builds into $dest: ${wanted[*]}" >&2
apt-get "${apt_options[@]}" -qq update || fail "apt-get update of the private source lists failed"
status=0
for request in "${wanted[@]}"; do
  source=${request%%=*}
  version=${request#*=}
  if download "$source" "$version"; then
    unpack "$source" "$version"
    continue
  fi
  served=$(newest_served "$source")
  [ -n "$served" ] || fail "Debian's mirror serves no version of the source package $source"
  echo "fetch-cross-sources: Debian's mirror no longer serves $source $version, the version" \
       "of ${dev_package[$source]} installed natively; the newest it serves is $served:" \
       "install that natively (bash scripts/install-deps.sh does) and run this again" >&2
  native_packages_at "$source" "$served"
  status=2
done
exit "$status"
