#!/bin/bash
# The help the manual and the completion are checked against behaves as
# documented: "sentrel-cli COMMAND --help" (and -h) exits 0 with the usage
# on standard output and nothing on standard error; the overview lists each
# command's usage and summary with its summary in the one column; wrong use
# exits 2 with its message on standard error and nothing on standard output.
#   cli-help.sh SENTREL-CLI
set -euo pipefail
cli=$1
here=$(dirname "$0")
source "$here/clihelp.sh"

# Runs the program with the arguments; sets code, out and err.
run()
{
    set +e
    "$cli" "$@" >"$work/out" 2>"$work/err" </dev/null
    code=$?
    set -e
    out=$(<"$work/out") err=$(<"$work/err")
}

run --help
[[ $code == 0 && -n $out && -z $err ]] || fail "--help: exit $code, stderr: $err"
overview=$out
mapfile -t lines <<<"$overview"

commands=$(cli_commands "$cli")
[[ $(wc -l <<<"$commands") -ge 12 ]] || fail "--help lists only: $commands"

column=
while read -r command; do
    for flag in --help -h; do
        run "$command" "$flag"
        [[ $code == 0 ]] || fail "$command $flag: exit $code"
        [[ -z $err ]] || fail "$command $flag: wrote to stderr: $err"
        [[ $out == "Usage: sentrel-cli $command"* ]] || fail "$command $flag: stdout does not begin with its usage: ${out%%$'\n'*}"
    done
    # The overview's entry: "  USAGE", blanks and the summary, or, for a usage
    # too long for the column, the summary alone on the next line.
    usage=$(sed -n '1s/^Usage: sentrel-cli //p' <<<"$out")
    summary=$(sed -n 2p <<<"$out")
    found=
    for ((i = 0; i < ${#lines[@]}; i++)); do
        line=${lines[i]}
        [[ $line == "  $usage"* ]] || continue
        rest=${line#"  $usage"}
        if [[ -z $rest ]]; then
            next=${lines[i + 1]:-}
            at=$((${#next} - ${#summary}))
            indent=${next:0:at}
            [[ $next == *"$summary" && -n $indent && -z ${indent// /} ]] || continue
        else
            [[ $rest == "  "*"$summary" ]] || continue
            gap=${rest%"$summary"}
            [[ -z ${gap// /} ]] || continue
            at=$((2 + ${#usage} + ${#gap}))
        fi
        found=1
        column=${column:-$at}
        [[ $at == "$column" ]] || fail "--help: the summary of $command starts in column $at, the others in $column"
        break
    done
    [[ -n $found ]] || fail "--help: no entry \"$usage\" followed by \"$summary\" (a blank at least between them)"
done <<<"$commands"

run --version
[[ $code == 0 && $out =~ ^Sentrel\ [0-9] && -z $err ]] || fail "--version: exit $code, out: $out, err: $err"

# Wrong use: the message names what was wrong; the usage follows on stderr.
while IFS='|' read -r args expect; do
    read -ra words <<<"$args"
    run "${words[@]}"
    [[ $code == 2 ]] || fail "$args: exit $code, not 2"
    [[ -z $out ]] || fail "$args: wrote to stdout: $out"
    [[ $err == *"$expect"* ]] || fail "$args: stderr lacks \"$expect\": $err"
    [[ $err == *"Usage: sentrel-cli"* ]] || fail "$args: stderr lacks the usage"
done <<'EOF'
frobnicate|unknown command "frobnicate"
--data|option --data needs a value
--data= list|--data needs a DIR
--nope list|unknown option --nope
list --nope|unknown option --nope
strip --method|option --method needs a value
EOF
run
[[ $code == 2 && -z $out && $err == "Usage: sentrel-cli"* ]] || fail "no arguments: exit $code, err: ${err%%$'\n'*}"

if ((failures)); then
    exit 1
fi
echo "$(wc -l <<<"$commands") commands: help, overview and wrong use as expected"
