# Helpers for the desktop tests: our fake shell plays Explorer's desktop
# windows, which Wine does not have, and reports what it sees.
# shellcheck shell=bash

fake_shell() { wine "$LUMENFOLD_FAKE_SHELL" "$@" 2>/dev/null | tr -d '\r'; }

start_fake_shell() {
    wine "$LUMENFOLD_FAKE_SHELL" serve "$@" >shell.out 2>&1 &
    check "the $1 fake shell is up" 'wine "$LUMENFOLD_FAKE_SHELL" wait 2>/dev/null'
}

# The player goes first: its window lives inside the shell's.
trap 'cleanup; fake_shell stop' EXIT

# Values of the shell's report, which a test reads into REPORT.
shell_says() { sed -n "s/^$1=//p" <<<"$REPORT" | head -1; }
shell_child() { sed -n "s/^child=$1 //p" <<<"$REPORT"; }

later_start() {
    wine "$LUMENFOLD_EXE" "$@" >later.out 2>later.err
    tr -d '\r' <later.err | grep -E '^SendMessage' >later.lines
}
