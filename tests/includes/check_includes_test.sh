#!/usr/bin/env bash
# The include check against forged trees: each row writes one file with one include into a
# tree of its own and says whether scripts/check-includes.sh must pass it or refuse it, so
# that a rule the check forgets fails here rather than letting a wrong include into the tree.
# Usage: check_includes_test.sh [source root]
set -uo pipefail
root=$(cd "${1:-$(dirname "$0")/../..}" && pwd) || exit 2
check=$root/scripts/check-includes.sh

# verdict | file | included path
readonly cases="
refuse | src/costume/codec1.cpp           | export/png_writer.h
refuse | src/app/shell.cpp                | authoring/game_writer.h
refuse | src/common/byte_view.h           | authoring/block_writer.h
refuse | src/viewer/costume_viewer.cpp    | export/sheet_layout.h
refuse | src/export/png_writer.cpp        | viewer/costume_viewer.h
refuse | src/export/png_writer.cpp        | app/shell.h
refuse | src/export/png_writer.cpp        | authoring/game_writer.h
refuse | src/authoring/game_writer.cpp    | app/process_objects.h
refuse | src/authoring/game_writer.cpp    | export/png_writer.h
refuse | src/tools/anything.cpp           | common/byte_view.h
refuse | frontends/gtk/main_window.cpp    | authoring/game_writer.h
refuse | frontends/web/web_frontend.cpp   | authoring/costume_builder.h
refuse | frontends/gtk/main_window.cpp    | costume/costume.h
refuse | frontends/cli/screen_command.cpp | app/process_objects.h
pass   | src/costume/costume.cpp          | archive/game_archive.h
pass   | src/export/png_writer.cpp        | costume/loaded_costume.h
pass   | src/export/png_writer.cpp        | export/output_file_system.h
pass   | src/export/gif_writer.cpp        | display/indexed_image.h
pass   | src/authoring/costume_builder.cpp | costume/codec1.h
pass   | src/authoring/game_writer.cpp    | archive/game_archive.h
pass   | src/authoring/block_writer.cpp   | common/byte_writer.h
pass   | src/authoring/game_writer.cpp    | authoring/block_writer.h
pass   | frontends/cli/make_demo_command.cpp | authoring/game_writer.h
pass   | frontends/cli/export_command.cpp | export/png_writer.h
pass   | frontends/win32/win32_main.cpp   | export/png_writer.h
pass   | frontends/web/web_frontend.cpp   | export/sheet_layout.h
pass   | frontends/gtk/main_window.cpp    | app/shell.h
"

# The text without the blanks around it.
trim() {
    local text=$1
    text=${text#"${text%%[![:space:]]*}"}
    echo "${text%"${text##*[![:space:]]}"}"
}

work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT
failures=0
row=0
while IFS='|' read -r verdict file included; do
    verdict=$(trim "$verdict") file=$(trim "$file") included=$(trim "$included")
    [[ -z $verdict ]] && continue
    row=$((row + 1))
    tree=$work/$row
    mkdir -p "$tree/src" "$tree/frontends" "$tree/$(dirname "$file")"
    echo "#include \"$included\"" >"$tree/$file"
    output=$(bash "$check" "$tree" 2>&1)
    status=$?
    if [[ $verdict == refuse ]] && { ((status != 1)) || [[ $output != *"$file:1:"* ]]; }; then
        echo "not refused: $file including $included (status $status): $output"
        failures=$((failures + 1))
    elif [[ $verdict == pass ]] && ((status != 0)); then
        echo "refused: $file including $included (status $status): $output"
        failures=$((failures + 1))
    fi
done <<<"$cases"

if ((failures > 0)); then
    echo "$failures of $row forged trees judged wrongly"
    exit 1
fi
echo "include check: $row forged trees judged as they should be"
