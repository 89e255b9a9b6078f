#!/usr/bin/env bash
# DPI awareness follows the Windows version: the thread becomes per-monitor
# v2 aware on Windows 10, the process per-monitor aware on 8.1, and system
# aware before that. Wine plays one version per program name, and its relay
# trace shows which of the three calls the program made.
source "$(dirname "$0")/lib.sh"

# Prints the version answers and the awareness calls of a run as `version`.
run_as() {
    local version=$1 name="dpi_$1.exe"
    cp "$LUMENFOLD_DPI_PROBE" "$name"
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$name" /v Version /d "$version" /f >/dev/null 2>&1
    local answers calls
    answers=$(WINEDEBUG=+relay wine "$name" 2>"$version.trace" | tr -d '\r')
    calls=$(grep -oE 'Call (user32|shcore)\.(SetThreadDpiAwarenessContext\(fffffffffffffffc\)|SetProcessDpiAwareness\([0-9a-f]+\)|SetProcessDPIAware\(\))' \
        "$version.trace" | sort -u | tr '\n' ' ')
    echo "$answers $calls"
    wine reg delete "HKCU\\Software\\Wine\\AppDefaults\\$name" /f >/dev/null 2>&1
}

check "Windows 10: the thread is made per-monitor v2 aware, nothing else" \
    "[[ \"\$(run_as win10)\" == 'at-least-10.0=1 at-least-6.3=1 at-least-6.2=1 Call user32.SetThreadDpiAwarenessContext(fffffffffffffffc) ' ]]"
check "Windows 8.1: the process is made per-monitor aware, nothing else" \
    "[[ \"\$(run_as win81)\" == 'at-least-10.0=0 at-least-6.3=1 at-least-6.2=1 Call shcore.SetProcessDpiAwareness(00000002) ' ]]"
check "Windows 7: the process is made system aware, nothing else" \
    "[[ \"\$(run_as win7)\" == 'at-least-10.0=0 at-least-6.3=0 at-least-6.2=0 Call user32.SetProcessDPIAware() ' ]]"
finish
