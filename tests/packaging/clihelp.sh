# Sourced by the manual and completion checks: what the built sentrel-cli
# says about itself, and what the manual page documents, as plain lists the
# checks compare.

# A temporary folder $work, removed at exit, and fail(), which reports a
# failed expectation and counts it in $failures; the checks exit with
# failures != 0 at their end.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail()
{
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The options the program treats as global; a command's help that mentions
# one of them is not taken to give the command such an option.
readonly CLI_GLOBAL_OPTIONS="--data --help --version"

# The command names of "sentrel-cli --help", one a line, in its order: the
# first word of each line of the "Commands:" block (a usage too long for its
# column puts the summary on a line of its own, which begins with blanks only).
cli_commands()
{
    "$1" --help | awk '
        /^Commands:/ { inside = 1; next }
        inside && /^$/ { exit }
        inside && /^  [^ ]/ { print $1 }'
}

# The long options of the "Options:" block of "sentrel-cli --help".
cli_global_options()
{
    "$1" --help | awk '/^Options:/ { inside = 1; next } inside && /^$/ { exit } inside { print }' |
        { grep -o -- '--[a-z][a-z0-9-]*' || true; } | sort -u
}

# The options "sentrel-cli COMMAND --help" shows, global ones left out.
cli_command_options()
{
    local opt
    "$1" "$2" --help | { grep -o -- '--[a-z][a-z0-9-]*' || true; } | sort -u | while read -r opt; do
        [[ " $CLI_GLOBAL_OPTIONS " == *" $opt "* ]] || printf '%s\n' "$opt"
    done
}

# The tags of the manual page's COMMANDS and GLOBAL OPTIONS lists, read from
# its source, one a line:
#   command NAME             a command's own tag (its first word)
#   usage NAME -x|--long     an option named in that tag
#   option NAME -x|--long    an option named in a tag nested under it (.RS/.RE)
#   global N -x|--long       an option of the N-th tag of GLOBAL OPTIONS
# A tag is the line after .TP; font macros and escapes are taken off first.
man_entries()
{
    awk '
    function plain(line,    macro, args, out, c, i, inquote, sep) {
        if (line ~ /^\.[A-Z][A-Z]?([ \t]|$)/) {
            macro = line; sub(/[ \t].*/, "", macro)
            args = line; sub(/^\.[A-Z]+[ \t]*/, "", args)
            # .B and .I join their arguments with blanks, the alternating
            # macros (.BR, .IR, ...) without.
            sep = (macro == ".B" || macro == ".I") ? " " : ""
            out = ""; inquote = 0
            for (i = 1; i <= length(args); i++) {
                c = substr(args, i, 1)
                if (c == "\\") { out = out substr(args, i, 2); i++; continue }
                if (c == "\"") { inquote = !inquote; continue }
                if (!inquote && (c == " " || c == "\t")) {
                    while (substr(args, i + 1, 1) ~ /[ \t]/) i++
                    out = out sep; continue
                }
                out = out c
            }
            line = out
        }
        gsub(/\\f(\([A-Za-z][A-Za-z]|\[[^]]*\]|.)/, "", line)
        gsub(/\\-/, "-", line)
        gsub(/\\[&%]/, "", line)
        gsub(/\\[ ~]/, " ", line)
        return line
    }
    function options(text, kind, owner,    rest, opt) {
        rest = " " text
        while (match(rest, /[^A-Za-z0-9-]--?[A-Za-z][A-Za-z0-9-]*/)) {
            opt = substr(rest, RSTART + 1, RLENGTH - 1)
            print kind, owner, opt
            rest = substr(rest, RSTART + RLENGTH)
        }
    }
    /^\.SH/ {
        section = $0; sub(/^\.SH[ \t]*/, "", section); gsub(/"/, "", section)
        depth = 0; tag = 0; next
    }
    section != "COMMANDS" && section != "GLOBAL OPTIONS" { next }
    /^\.\\"/ { next }
    /^\.RS/ { depth++; next }
    /^\.RE/ { depth--; next }
    /^\.TP/ { tag = 1; next }
    tag {
        tag = 0
        text = plain($0)
        if (section == "COMMANDS" && depth == 0) {
            split(text, first, " ")
            command = first[1]
            print "command", command
            options(text, "usage", command)
        } else if (section == "COMMANDS") {
            options(text, "option", command)
        } else if (depth == 0) {
            options(text, "global", ++globals)
        }
    }' "$1"
}
