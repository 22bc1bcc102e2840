#!/bin/bash
# The bash completion, loaded into a plain non-interactive bash (no
# bash-completion package) and called as bash calls it, offers what the built
# program has: the commands and global options, each command's options and
# their values, files and folders, and the URLs of a data folder's list.
#   completion.sh SENTREL-CLI COMPLETION-FILE
set -euo pipefail
cli=$(realpath "$1") completion=$(realpath "$2")
here=$(dirname "$0")
source "$here/clihelp.sh"

# Completes LINE (the cursor at its end) in a fresh bash and prints COMPREPLY,
# one a line. COMP_WORDS is split as bash splits it: at blanks, and around
# the word-break characters = : @ outside quotes ("http://a" is three words).
complete_line()
{
    env -i PATH="$PATH" HOME="$work/home" bash --norc --noprofile -c '
        source "$1" || exit 3
        line=$2
        COMP_WORDS=()
        read -ra tokens <<<"$line"
        for token in "${tokens[@]}"; do
            if [[ $token == [\"\'\'']* ]]; then
                COMP_WORDS+=("$token")
                continue
            fi
            while [[ $token =~ ^([^=:@]+|[=:@]+)(.*)$ ]]; do
                COMP_WORDS+=("${BASH_REMATCH[1]}")
                token=${BASH_REMATCH[2]}
            done
        done
        [[ $line == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE=$line COMP_POINT=${#line}
        registered=$(complete -p sentrel-cli) || exit 4
        [[ $registered == "complete -F _sentrel_cli sentrel-cli" ]] || exit 5
        _sentrel_cli sentrel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        ((${#COMPREPLY[@]})) && printf "%s\n" "${COMPREPLY[@]}"
        exit 0' _ "$completion" "$1"
}

# expect LINE WORD... : exactly these replies, in any order, and no message.
# expect_some LINE WORD... : at least these.
check_replies()
{
    local mode=$1 line=$2
    shift 2
    local got code
    set +e
    got=$(complete_line "$line" 2>"$work/stderr")
    code=$?
    set -e
    if [[ $code != 0 ]]; then
        fail "\"$line\": the completion did not run (exit $code): $(<"$work/stderr")"
        return 0
    fi
    [[ -s $work/stderr ]] && fail "\"$line\": wrote to stderr: $(<"$work/stderr")"
    local want
    want=$(if (($#)); then printf '%s\n' "$@" | sort -u; fi)
    got=$(sort -u <<<"$got" | sed '/^$/d')
    local missing surplus
    missing=$(comm -23 <(printf '%s\n' "$want") <(printf '%s\n' "$got") | sed '/^$/d')
    surplus=$(comm -13 <(printf '%s\n' "$want") <(printf '%s\n' "$got") | sed '/^$/d')
    [[ -z $missing ]] || fail "\"$line\": does not offer: $(tr '\n' ' ' <<<"$missing")(offers: $(tr '\n' ' ' <<<"$got"))"
    [[ $mode == some || -z $surplus ]] || fail "\"$line\": also offers: $(tr '\n' ' ' <<<"$surplus")"
    return 0
}
expect() { check_replies exact "$@"; }
expect_some() { check_replies some "$@"; }

# The line's "sentrel-cli" is the built one, found on PATH as an installed one
# is; a copy, so that a run without --data would keep its data in $work/bin.
mkdir -p "$work/home" "$work/bin"
cp "$cli" "$work/bin/sentrel-cli"
PATH=$work/bin:$PATH
cd "$work"

# Commands and global options, as the program's help lists them.
mapfile -t commands < <(cli_commands "$cli")
mapfile -t globals < <(cli_global_options "$cli")
expect "sentrel-cli " "${commands[@]}"
expect "sentrel-cli -" "${globals[@]}"
expect "sentrel-cli --data $work " "${commands[@]}"
expect "sentrel-cli --data=$work " "${commands[@]}"
expect "sentrel-cli ex" exclusions
expect "sentrel-cli --v" --version

# Each command's options, as its own help shows them (--help too).
for command in "${commands[@]}"; do
    mapfile -t options < <(cli_command_options "$cli" "$command")
    expect "sentrel-cli $command --" "${options[@]}" --help
    expect "sentrel-cli --data $work $command --" "${options[@]}" --help
done
# One option is not offered twice, and an option and its --no- form count as one.
expect "sentrel-cli check --jobs 2 --" --all --strip-method --fail-on-error --no-wait --diff --help
expect "sentrel-cli set http://a --keyword K --no-" --no-lines --no-xpath --no-regex
# After "--" nothing is an option any more.
expect "sentrel-cli strip -- --"

# Option values, as the usage lists them; each one is accepted.
methods=$("$cli" check --help | sed -n '1s/.*--strip-method \([a-z|]*\).*/\1/p' | tr '|' ' ')
[[ $methods == *regex* ]] || fail "check --help names no strip methods"
read -ra methods <<<"$methods"
for method in "${methods[@]}"; do
    "$cli" strip --method "$method" </dev/null >/dev/null 2>&1 || fail "strip --method $method is not accepted"
done
expect "sentrel-cli strip --method " "${methods[@]}"
expect "sentrel-cli check --all --strip-method " "${methods[@]}"
expect "sentrel-cli check --strip-method=s" stringbuilder
expect "sentrel-cli strip --method=" "${methods[@]}"
expect "sentrel-cli xpath --mode " 0 1 2
expect "sentrel-cli diff --color " auto always never
expect "sentrel-cli diff --color=n" never
switch=$("$cli" set --help | sed -n 's/^ *--strip \([a-z|]*\) .*/\1/p' | tr '|' ' ')
read -ra switch <<<"$switch"
[[ ${#switch[@]} == 2 ]] || fail "set --help names no --strip values"
expect "sentrel-cli set http://a --strip " "${switch[@]}"
expect "sentrel-cli set http://a --keyword "
keys=$("$cli" settings --help | sed -n 's/^  \([A-Z][A-Za-z]*\)  .*/\1/p')
read -ra keys <<<"$(tr '\n' ' ' <<<"$keys")"
[[ ${#keys[@]} -ge 2 ]] || fail "settings --help names no keys"
expect "sentrel-cli settings " "${keys[@]}"
expect "sentrel-cli settings HistoryMaxA" HistoryMaxAgeDays
expect "sentrel-cli settings HistoryMaxAgeDays "

# Files for FILE and --set, folders for --data.
mkdir pages
touch page.html pages/one.html
expect "sentrel-cli strip pa" page.html pages
expect "sentrel-cli strip --method regex pa" page.html pages
expect "sentrel-cli decode pages/" pages/one.html
expect "sentrel-cli xpath //p pa" page.html pages
expect "sentrel-cli xpath pa"
expect "sentrel-cli exclusions --set pa" page.html pages
expect "sentrel-cli add --file pa" page.html pages
expect_some "sentrel-cli exclusions --set " - page.html pages
expect "sentrel-cli --data pa" pages
expect "sentrel-cli --data=pa" pages

# The URLs of the list, from the data folder the line names.
data=$work/data
"$cli" --data "$data" add https://example.com/a 'http://example.org/b?x=1' example.net >/dev/null
mapfile -t urls < <("$cli" --data "$data" list | cut -f1)
[[ ${#urls[@]} == 3 ]] || fail "the data folder lists ${#urls[@]} URLs, not 3"
for command in show delete set check; do
    expect "sentrel-cli --data $data $command " "${urls[@]}"
done
for command in history diff; do
    expect "sentrel-cli --data $data $command " "${urls[@]}"
done
expect "sentrel-cli --data=$data delete http://example.net " "${urls[@]}"
expect "sentrel-cli --data $data check --jobs 2 " "${urls[@]}"
# bash replaces only the text after the last ":" or "=" of the word.
expect "sentrel-cli --data $data show https://ex" //example.com/a
expect "sentrel-cli --data $data show http:" //example.org/b?x=1 //example.net
expect "sentrel-cli --data $data show http://example.org/b?x=" 1
expect "sentrel-cli --data $data show \"http://example.o" 'http://example.org/b?x=1'
# Where no URL can come, the options that still can.
expect "sentrel-cli --data $data show http://example.net " --options --help
expect "sentrel-cli --data $data set http://example.net " $(cli_command_options "$cli" set) --help
expect "sentrel-cli --data $data check --all " --strip-method --jobs --fail-on-error --no-wait --diff --help
expect "sentrel-cli --data $data check http://example.net --" --strip-method --jobs --fail-on-error --no-wait --diff --help

# Quietly nothing when the list cannot be read, and no data folder made.
mkdir empty
expect "sentrel-cli --data $work/missing show "
[[ ! -e $work/missing ]] || fail "completing created the data folder $work/missing"
expect "sentrel-cli --data $work/empty show "
[[ -z $(ls -A "$work/empty") ]] || fail "completing created a store in an empty folder"
echo "not a store" >"$work/empty/websites.db"
expect "sentrel-cli --data $work/empty show "
bad=$(env -i PATH=/nonexistent "$BASH" --norc --noprofile -c '
    source "$1"; COMP_WORDS=(sentrel-cli show ""); COMP_CWORD=2
    COMP_LINE="sentrel-cli show " COMP_POINT=17
    _sentrel_cli sentrel-cli "" show; echo "${#COMPREPLY[@]}"' _ "$completion" 2>&1)
[[ $bad == 0 ]] || fail "without sentrel-cli on PATH: $bad"

# Every line above that reads a list names its --data folder; without one,
# the list is the program's own data folder's (next to this copy of it).
[[ ! -e $work/bin/websites.db ]] || fail "a completion read a list other than the --data folder named"
"$work/bin/sentrel-cli" add https://default.example/ >/dev/null
[[ -e $work/bin/websites.db ]] || fail "the copy of sentrel-cli keeps its data elsewhere"
expect "sentrel-cli show " https://default.example/

if ((failures)); then
    echo "$failures completion problem(s)" >&2
    exit 1
fi
echo "completion offers the commands, options, values, files and URLs"
