#!/bin/sh
# Writes a man page from a template and the program's own --help texts, so
# that the page lists exactly the options the program has.
#   make-man.sh TEMPLATE OUTPUT PROGRAM [COMMAND...]
# The template line '.\" <help>' becomes the program's help or, when
# commands are given, one subsection per command with that command's help.
set -eu
template=$1
output=$2
program=$3
shift 3
here=$(dirname "$0")
name=$(basename "$program")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# $1: the name shown for it; the rest: arguments before --help.
help_roff() {
    shown=$1
    shift
    if ! QT_QPA_PLATFORM=offscreen "$program" "$@" --help >"$work/help" 2>"$work/err"; then
        echo "make-man.sh: $program $* --help failed:" >&2
        cat "$work/err" >&2
        exit 1
    fi
    awk -v shown="$shown" -f "$here/help-to-roff.awk" "$work/help"
}

while IFS= read -r line; do
    if [ "$line" = '.\" <help>' ]; then
        if [ $# -eq 0 ]; then
            help_roff "$name"
        else
            for command in "$@"; do
                printf '.SS %s\n' "$command"
                help_roff "$name $command" "$command"
            done
        fi
    else
        printf '%s\n' "$line"
    fi
done <"$template" >"$work/page"
mv "$work/page" "$output"
