#!/usr/bin/env bash
# Cross-builds cross-libraries-check in the win64 or web preset and runs it on its target:
# under Wine in a throwaway prefix, or under node. Fails (never skips) when a tool is missing.
#
# usage: run_check.sh win64|web SOURCE_DIR [WORK_DIR]
set -euo pipefail

preset=$1
source_dir=$2
work=${3:-$(mktemp -d /tmp/duzuroro-cross-check.XXXXXX)}
fail() {
    echo "cross-libraries-check ($preset): FAIL: $*" >&2
    exit 1
}
mkdir -p "$work"

(
    cd "$source_dir"
    cmake --preset "$preset" -DDUZURORO_WERROR=ON >/dev/null
    cmake --build --preset "$preset" --target cross-libraries-check -j 2
) >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; fail "the cross build failed"; }

case $preset in
win64)
    # shellcheck source=../e2e/find_wine.sh
    source "$(dirname "$0")/../e2e/find_wine.sh"
    find_wine
    export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
    rm -rf "$WINEPREFIX"
    exe=$source_dir/build/win64/tests/cross/cross-libraries-check.exe
    # One self-contained program: the libraries are inside it, not DLLs beside it.
    if x86_64-w64-mingw32-objdump -p "$exe" | grep -iE 'DLL Name: *(zlib|libpng|libgif|libstdc|libgcc)'; then
        fail "cross-libraries-check.exe is not statically linked"
    fi
    timeout 300 "$wine" "$exe"
    ;;
web)
    command -v node >/dev/null || fail "node is missing: bash scripts/install-deps.sh"
    timeout 120 node "$source_dir/build/web/tests/cross/cross-libraries-check.js"
    ;;
*)
    fail "unknown preset (win64 or web)"
    ;;
esac
