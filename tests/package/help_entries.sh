# Shared by the tests here: what duzuroro-cli's --help lists, read plainly, line by line.
# Entries start two spaces in; deeper lines continue a description.

# The tool's commands, sorted.
help_commands() {
    "$tool" --help | awk '/^[A-Za-z]+:$/ { section = tolower($0) }
        section == "subcommands:" && /^  [a-z]/ { print $1 }' | sort
}

# The long options of one command (or of the tool, given ""), sorted.
help_options() {
    "$tool" ${1:+"$1"} --help | grep -oE '^  (-[A-Za-z],)?--[A-Za-z0-9-]+' |
        sed 's/^ *\(-.,\)\{0,1\}//' | sort
}
