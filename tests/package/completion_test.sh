#!/usr/bin/env bash
# Tab completion of duzuroro-cli, run as bash runs it on a Tab: every command and option of
# the tool's --help is offered, and each place on the line offers the right things (index
# files and folders for a game, folders for make-demo, nothing for a number).
# Usage: completion_test.sh DUZURORO_CLI COMPLETION_FILE
set -euo pipefail
tool=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/help_entries.sh"
source /usr/share/bash-completion/bash_completion
source "$2"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The tool as the line names it, found on the PATH as it is once installed.
mkdir "$work/bin" "$work/game"
ln -s "$tool" "$work/bin/duzuroro-cli"
PATH=$work/bin:$PATH
cd "$work/game"
mkdir sub
touch DEMO.LA0 game.la0 notes.txt

# What a Tab at the end of LINE offers, sorted, one line.
complete_line() {
    local line=$1
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    _duzuroro_cli duzuroro-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

failures=0
expect() {
    local line=$1 expected=$2 actual
    actual=$(complete_line "$line")
    if [ "$actual" != "$expected" ]; then
        echo "FAIL: [$line<Tab>] offers '$actual', expected '$expected'"
        failures=$((failures + 1))
    fi
}

# Everything --help lists is offered, at the place it belongs.
expect "duzuroro-cli " "$(help_commands | paste -sd ' ')"
expect "duzuroro-cli --" "$(help_options "" | paste -sd ' ')"
for command in $(help_commands); do
    expect "duzuroro-cli $command --" "$(help_options "$command" | paste -sd ' ')"
done

# The place on the line decides what is offered.
cases=(
    "duzuroro-cli ex|export"
    "duzuroro-cli make|make-demo"
    # a game: its index file (any letter case) or a folder to look in, not other files
    "duzuroro-cli export |DEMO.LA0 game.la0 sub"
    "duzuroro-cli info s|sub"
    # an option's value is not the game, so the game is still to come
    "duzuroro-cli screen --out shot.png |DEMO.LA0 game.la0 sub"
    # a file to write: any name
    "duzuroro-cli screen DEMO.LA0 --out |DEMO.LA0 game.la0 notes.txt sub"
    # a number: nothing to offer
    "duzuroro-cli export DEMO.LA0 --costume |"
    "duzuroro-cli screen DEMO.LA0 --frame |"
    # once the game is given, the command's options
    "duzuroro-cli info DEMO.LA0 |$(help_options info | paste -sd ' ')"
    "duzuroro-cli export DEMO.LA0 --sheet --tr|--transparent"
    # make-demo writes into a folder
    "duzuroro-cli make-demo |sub"
    # diff takes two games, then its options; its page goes into a folder
    "duzuroro-cli diff |DEMO.LA0 game.la0 sub"
    "duzuroro-cli diff DEMO.LA0 |DEMO.LA0 game.la0 sub"
    "duzuroro-cli diff DEMO.LA0 game.la0 --o|--out"
    "duzuroro-cli diff DEMO.LA0 game.la0 --out |sub"
    # a thumbnail is any file to write, after the game
    "duzuroro-cli thumbnail DEMO.LA0 |DEMO.LA0 game.la0 notes.txt sub"
    "duzuroro-cli thumbnail DEMO.LA0 t.png --size |"
)
for entry in "${cases[@]}"; do
    expect "${entry%%|*}" "${entry#*|}"
done

# The value column of --help, in the forms the parser prints: the kind of value it offers.
kinds=(
    "|flag"
    "Needs:|flag"
    "png|gif|choice:png gif"
    "TEXT:{png,gif}|choice:png gif"
    "N|A-B,...|none"
    "UINT:INT|none"
    "DIR|dir"
    "FILE|file"
    "TEXT|file"
)
for entry in "${kinds[@]}"; do
    value=${entry%|*}
    expected=${entry##*|}
    actual=$(_duzuroro_cli_kind "$value")
    if [ "$actual" != "$expected" ]; then
        echo "FAIL: a value shown as '$value' is taken as '$actual', expected '$expected'"
        failures=$((failures + 1))
    fi
done

if ((failures)); then
    echo "$failures completion case(s) failed"
    exit 1
fi
echo "completion: all cases pass"
