#!/usr/bin/env bash
# The manual pages: man formats them without a warning, and duzuroro-cli(1) describes every
# command and, under it, every option that the tool's --help gives.
# Usage: manual_test.sh DUZURORO_CLI MAN_DIR (holding duzuroro.1.gz and duzuroro-cli.1.gz)
set -euo pipefail
tool=$1
pages=$2
source "$(cd "$(dirname "$0")" && pwd)/help_entries.sh"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for page in "$pages/duzuroro.1.gz" "$pages/duzuroro-cli.1.gz"; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

# The page's source with its escaped hyphens plain, and the entry of one command: from its
# ".BI name ARGUMENTS" line under COMMANDS to the end of its option list.
source_text=$(zcat "$pages/duzuroro-cli.1.gz" | sed 's/\\-/-/g')
command_entry() {
    awk -v command="$1" '
        /^\.SH / { in_commands = ($0 == ".SH COMMANDS") }
        in_commands && /^\.BI [a-z]/ { inside = ($2 == command) }
        inside { print }' <<<"$source_text"
}

for option in $(help_options ""); do
    grep -q -- "^\.BR\? $option\b" <<<"$source_text" || fail "no entry for $option"
done
for command in $(help_commands); do
    entry=$(command_entry "$command")
    [ -n "$entry" ] || fail "no entry for the command $command"
    for option in $(help_options "$command"); do
        [ "$option" = --help ] && continue
        grep -q -- "^\.BI\? $option\b" <<<"$entry" || fail "$command: no entry for $option"
    done
done

if ((failures)); then
    echo "$failures manual page check(s) failed"
    exit 1
fi
echo "manual: every command and option is described"
