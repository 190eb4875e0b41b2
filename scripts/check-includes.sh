#!/usr/bin/env bash
# Fails, printing each offending line, when an #include runs against the shape of the tree.
#  - In src/ the core's floors only look down: app over viewer over costume over archive and
#    display, all over common. A file includes from its own floor and the floors below.
#  - Beside the core stand export/ (the export library) and authoring/ (the code that writes
#    game data). Each includes from its own folder and from costume, archive, display and
#    common, never from viewer or app or the other; nothing in the core includes either.
#  - A front-end (frontends/*) includes from src/ only the shell's face (app/shell.h and
#    the app/ headers it is made of), the program icon, the common/ and display/ headers,
#    and the export library. The command-line tool reads games itself, so it may also use
#    archive/ and costume/ (never the viewer's state past the shell), and authoring/ to
#    write the demo game; no other front-end writes game data.
#    Includes from outside src/ (another front-end, the demo game) are not judged.
# Usage: check-includes.sh [source root]
set -uo pipefail
cd "${1:-$(dirname "$0")/..}" || exit 2

floors_below() {
    case $1 in
        common) echo "common" ;;
        display) echo "common display" ;;
        archive) echo "common archive" ;;
        costume) echo "common display archive costume" ;;
        viewer) echo "common display archive costume viewer" ;;
        app) echo "common display archive costume viewer app" ;;
        export) echo "common display archive costume export" ;;
        authoring) echo "common display archive costume authoring" ;;
        *) return 1 ;;
    esac
}

readonly shell_face="app/shell.h app/frontend.h app/chosen_file.h app/resource_ids.h app/program_icon.h"
readonly beside_core="export authoring"
readonly tool_extras="archive costume authoring"

# True when `word` (a folder or a header path) names the included `path`.
allows() {
    local path=$1 word
    shift
    for word in "$@"; do
        [[ $path == "$word" || $path == "$word"/* ]] && return 0
    done
    return 1
}

failures=0
refuse() {
    echo "$1: $2 ($3)"
    failures=$((failures + 1))
}

# Every quoted include as "file:line:text".
includes_in() {
    grep -rnE --include='*.h' --include='*.cpp' --include='*.rc' \
        '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$@"
}

while IFS=: read -r file line text; do
    path=${text#*\"} && path=${path%%\"*}
    floor=${file#src/} && floor=${floor%%/*}
    if ! allowed=$(floors_below "$floor"); then
        refuse "$file:$line" "$text" "src/$floor is no floor of the core nor beside it"
    elif ! allows "$floor" $beside_core && allows "$path" $beside_core; then
        refuse "$file:$line" "$text" "src/${path%%/*} is beside the core, which never includes it"
    elif ! allows "$path" $allowed; then
        refuse "$file:$line" "$text" "src/$floor may include only from: $allowed"
    fi
done < <(includes_in src)

while IFS=: read -r file line text; do
    path=${text#*\"} && path=${path%%\"*}
    program=${file#frontends/} && program=${program%%/*}
    floors_below "${path%%/*}" >/dev/null || continue  # not from src: the front-end's own
    allowed="common display export $shell_face"
    [[ $program == cli ]] && allowed="$allowed $tool_extras"
    if ! allows "$path" $allowed; then
        refuse "$file:$line" "$text" "frontends/$program may include from src only: $allowed"
    fi
done < <(includes_in frontends)

if ((failures > 0)); then
    echo "$failures include(s) run against the shape of the tree"
    exit 1
fi
echo "includes: every floor looks down, the core never includes export/ or authoring/," \
    "every front-end sees only the shell's face"
