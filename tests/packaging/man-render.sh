#!/bin/bash
# The manual pages render cleanly, as Debian's package checks look at them:
#  - no warning from "man --warnings" (80 columns, what man and lintian use
#    off a terminal), nor from groff with every warning on;
#  - no option dash typed as a hyphen ("-" where "\-" was meant: it prints as
#    a hyphen, which a reader cannot copy into a shell);
#  - a NAME line the whatis database can read ("name \- description").
# Skipped (77) when neither man nor groff is installed.
#   man-render.sh PAGE...
set -euo pipefail

have() { command -v "$1" >/dev/null 2>&1; }
if ! have man && ! have groff; then
    echo "SKIP: neither man nor groff is installed" >&2
    exit 77
fi

failures=0
fail()
{
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for page in "$@"; do
    name=$(basename "$page")

    if have man; then
        warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) ||
            fail "$name: man cannot render it"
        [[ -z $warnings ]] || fail "$name: man warns:"$'\n'"$warnings"
    fi

    if have groff; then
        warnings=$(groff -man -ww -z "$page" 2>&1) || fail "$name: groff cannot read it"
        [[ -z $warnings ]] || fail "$name: groff warns:"$'\n'"$warnings"

        # Typeset with "-" shown as a real hyphen (U+2010) and "\-" as an ASCII
        # minus, then look for a hyphen at the start of a word: an option.
        hyphen=$'\u2010'
        # (.TH sets the characters up afresh, so the mapping follows it;
        # hyphenation is off, as its hyphens are no typing mistake.)
        text=$(sed '/^\.TH/a .char - \\[u2010]' "$page" |
            LC_ALL=C.UTF-8 groff -man -Tutf8 -P-cbou -rLL=200n -rHY=0 2>/dev/null)
        dashes=$(LC_ALL=C.UTF-8 grep -nE "(^|[[:space:][(|\"'=])$hyphen" <<<"$text" || true)
        [[ -z $dashes ]] || fail "$name: option dashes written as hyphens (use \\-):"$'\n'"$dashes"
    fi

    # lexgrog reads NAME as mandb does; it prints  page: "name - description".
    if have lexgrog; then
        base=${name%.[0-9]*}
        whatis=$(lexgrog "$page" 2>&1) || fail "$name: no whatis entry can be read: $whatis"
        [[ $whatis == *": \"$base - "?* ]] || fail "$name: NAME line is not \"$base \\- description\": $whatis"
    fi
done

if ((failures)); then
    exit 1
fi
echo "$# manual page(s) render without warnings"
