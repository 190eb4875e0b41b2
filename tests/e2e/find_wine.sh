# Sourced by the scripts that run Windows programs under Wine. find_wine sets `wine` and
# `wineserver`, or calls the sourcing script's `fail`. Debian's wine64 package puts its
# loader beside the server, off the PATH.
find_wine() {
    wine=""
    local candidate
    for candidate in wine64 wine /usr/lib/wine/wine64; do
        if command -v "$candidate" >/dev/null; then
            wine=$(command -v "$candidate")
            break
        fi
    done
    [ -n "$wine" ] || fail "Wine (wine64) is missing: bash scripts/install-deps.sh"
    wineserver=$(command -v wineserver || echo "$(dirname "$wine")/wineserver")
    [ -x "$wineserver" ] || fail "wineserver is missing beside $wine"
}
