#!/bin/bash
# The bash completion at work in a real interactive bash on a terminal: a
# line is typed, Tab pressed, and the line readline then holds is compared
# with the expected one. This is where the word breaks bash leaves inside a
# URL or an --option=value and the quoting of file names have to come out
# right. Needs python3 for the terminal; skipped (77) without it.
#   completion-readline.sh SENTREL-CLI COMPLETION-FILE
set -euo pipefail
cli=$(realpath "$1") completion=$(realpath "$2")
if ! command -v python3 >/dev/null 2>&1; then
    echo "SKIP: python3 is not installed" >&2
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/files/pages"
cp "$cli" "$work/bin/sentrel-cli" # a run without --data keeps its data there
touch "$work/files/page.html" "$work/files/pages/one.html" "$work/files/my page.html" "$work/files/a:b.html"
data=$work/data
"$cli" --data "$data" add https://example.com/a 'http://example.org/b?x=1' >/dev/null

# Typed text and the line after Tab, separated by a tab character.
cat >"$work/cases" <<EOF
sentrel-cli che	sentrel-cli check 
sentrel-cli --data $data show https://ex	sentrel-cli --data $data show https://example.com/a 
sentrel-cli --data $data delete http://example.o	sentrel-cli --data $data delete http://example.org/b?x=1 
sentrel-cli --data $data show "http://example.o	sentrel-cli --data $data show "http://example.org/b?x=1" 
sentrel-cli --data=$data check --all --strip-method=st	sentrel-cli --data=$data check --all --strip-method=stringbuilder 
sentrel-cli strip --method r	sentrel-cli strip --method regex 
sentrel-cli exclusions --set pages/o	sentrel-cli exclusions --set pages/one.html 
sentrel-cli strip my	sentrel-cli strip my\\ page.html 
sentrel-cli --data pag	sentrel-cli --data pages/
sentrel-cli decode a:	sentrel-cli decode a:b.html 
sentrel-cli xpath //p ~/files/page.h	sentrel-cli xpath //p ~/files/page.html 
sentrel-cli --data ~/da	sentrel-cli --data ~/data/
sentrel-cli --data ~/data show https://	sentrel-cli --data ~/data show https://example.com/a 
EOF

cd "$work/files"
env -i PATH="$work/bin:$PATH" HOME="$work" TERM=dumb INPUTRC=/dev/null \
    python3 - "$completion" "$work/cases" "$work/lines" <<'PYTHON'
import os, pty, select, sys, time

completion, cases_file, lines_file = sys.argv[1:4]
cases = [line.rstrip("\n").split("\t") for line in open(cases_file, encoding="utf-8") if line.strip()]

pid, fd = pty.fork()
if pid == 0:
    os.execvp("bash", ["bash", "--norc", "--noprofile", "-i"])

def drain(seconds):
    end = time.time() + seconds
    while time.time() < end:
        ready, _, _ = select.select([fd], [], [], 0.05)
        if ready:
            try:
                os.read(fd, 65536)
            except OSError:
                return

def send(text):
    os.write(fd, text.encode())

def recorded():
    try:
        with open(lines_file, encoding="utf-8") as f:
            return f.read().split("\n")[:-1]
    except FileNotFoundError:
        return []

# Ctrl-X Ctrl-P writes the line being edited to the file, one line each.
send("PS1='$ '; bind 'set bell-style none'; source '%s'; "
     "bind -x '\"\\C-x\\C-p\": printf \"%%s\\n\" \"$READLINE_LINE\" >>\"%s\"'\n" % (completion, lines_file))
drain(0.3)
failures = 0
for number, (typed, expected) in enumerate(cases, 1):
    send(typed + "\t\x18\x10\x15")
    deadline = time.time() + 5
    while len(recorded()) < number and time.time() < deadline:
        drain(0.05)
    lines = recorded()
    got = lines[number - 1] if len(lines) >= number else None
    if got != expected:
        failures += 1
        print("FAIL: %r + Tab gave %r, not %r" % (typed, got, expected), file=sys.stderr)
        if got is None:
            break
send("exit\n")
drain(0.2)
os.waitpid(pid, 0)
sys.exit(1 if failures else 0)
PYTHON
echo "$(wc -l <"$work/cases") lines completed on a terminal as expected"
