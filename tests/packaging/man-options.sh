#!/bin/bash
# The manual page documents the program as built: every command of
# "sentrel-cli --help" has an entry in COMMANDS, every option a command's
# help shows has a tag of its own under that entry, the global options have
# theirs in GLOBAL OPTIONS, and the page names no command or option the
# program does not have. The title line of every page given names the
# program's version ("Sentrel 2.0", as --version prints it) as its source.
#   man-options.sh SENTREL-CLI PAGE [OTHER-PAGE...]
set -euo pipefail
cli=$1 page=$2
here=$(dirname "$0")
source "$here/clihelp.sh"

# Reports the differences between what the program has ($1) and what
# the page documents ($2), both lists one item a line; $3 names the place.
compare()
{
    local item
    while read -r item; do
        if [[ -n $item ]]; then fail "$3: $item is not documented in $(basename "$page")"; fi
    done < <(comm -23 <(printf '%s\n' "$1" | sort -u) <(printf '%s\n' "$2" | sort -u))
    while read -r item; do
        if [[ -n $item ]]; then fail "$3: $item is documented but sentrel-cli has no such thing"; fi
    done < <(comm -13 <(printf '%s\n' "$1" | sort -u) <(printf '%s\n' "$2" | sort -u))
    return 0
}

entries=$(man_entries "$page")
commands=$(cli_commands "$cli")
[[ -n $commands ]] || { echo "FAIL: no commands in $cli --help" >&2; exit 1; }

compare "$commands" "$(awk '$1 == "command" { print $2 }' <<<"$entries")" "COMMANDS"

while read -r command; do
    wanted=$(cli_command_options "$cli" "$command")
    described=$(awk -v c="$command" '$1 == "option" && $2 == c { print $3 }' <<<"$entries")
    compare "$wanted" "$described" "command $command"
    # The usage in the entry's own tag may only name options the command has.
    while read -r opt; do
        if [[ -n $opt ]] && ! grep -qxF -- "$opt" <<<"$wanted"; then
            fail "command $command: its usage names $opt, which it does not have"
        fi
    done < <(awk -v c="$command" '$1 == "usage" && $2 == c { print $3 }' <<<"$entries")
done <<<"$commands"

# Global options: the long ones are those of the help's list; a short one
# may stand beside one of them in its tag and must then do the same.
long=$(awk '$1 == "global" && $3 ~ /^--/ { print $3 }' <<<"$entries")
compare "$(cli_global_options "$cli")" "$long" "GLOBAL OPTIONS"
while read -r _ tag short; do
    partner=$(awk -v t="$tag" '$1 == "global" && $2 == t && $3 ~ /^--/ { print $3; exit }' <<<"$entries")
    if [[ -z $partner ]]; then
        fail "GLOBAL OPTIONS: $short has no long option beside it"
        continue
    fi
    set +e
    expected=$("$cli" "$partner" 2>&1)
    expected_code=$?
    got=$("$cli" "$short" 2>&1)
    got_code=$?
    set -e
    [[ $got_code == "$expected_code" && $got == "$expected" ]] ||
        fail "GLOBAL OPTIONS: $short does not do what $partner does (exit $got_code, not $expected_code)"
done < <(awk '$1 == "global" && $3 !~ /^--/' <<<"$entries")

# .TH TITLE SECTION DATE SOURCE MANUAL
version=$("$cli" --version)
for each in "${@:2}"; do
    th=$(grep -m1 '^\.TH ' "$each" || true)
    # xargs splits as the macro does: at blanks, "quoted words" whole.
    mapfile -t fields < <(xargs -n1 printf '%s\n' <<<"${th#.TH }")
    name=$(basename "$each")
    title=${name%.*} title=${title^^} section=${name##*.}
    [[ ${fields[0]:-} == "$title" && ${fields[1]:-} == "$section" ]] ||
        fail "$name: .TH names ${fields[0]:-nothing}(${fields[1]:-}), not $title($section)"
    [[ ${fields[2]:-} =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}$ ]] || fail "$name: .TH date ${fields[2]:-} is not YYYY-MM-DD"
    [[ ${fields[3]:-} == "$version" ]] || fail "$name: .TH source \"${fields[3]:-}\", the program says \"$version\""
    [[ ${fields[4]:-} == "User Commands" ]] || fail "$name: .TH manual \"${fields[4]:-}\", not \"User Commands\""
done

if ((failures)); then
    echo "$failures problem(s) between $(basename "$page") and $cli" >&2
    exit 1
fi
echo "$(wc -l <<<"$commands") commands and their options documented in $(basename "$page")"
