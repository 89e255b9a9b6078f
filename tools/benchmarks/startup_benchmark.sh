#!/usr/bin/env bash
# How soon the player is behind the icons and shows its first frame there
# after it was started, under Wine against the classic fake shell: from the
# start command to the log's "SetWindowPos:" (attached) and to its "first
# frame presented:". Every run gets a fresh shell, as at logon, so the
# player asks it to split the desktop each time. scripts/bench runs it;
# figures, not verdicts. LUMENFOLD_STARTUP_RUNS sets the runs (5).
e2e=$(cd "$(dirname "$0")/../../tests/e2e" && pwd)
source "$e2e/lib.sh"
source "$e2e/fake_shell.sh"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
now_ms() { date +%s%3N; }
runs=${LUMENFOLD_STARTUP_RUNS:-5}

# Milliseconds from `started` until a log line matches, or "none" after
# three minutes or once the player ended.
ms_until_logged() {
    local pattern=$1 started=$2 tries
    for tries in $(seq 1 18000); do
        logged | grep -qE "$pattern" && { echo $(($(now_ms) - started)); return; }
        [[ -f player.exit ]] && break
        sleep 0.01
    done
    echo none
}

# startup_figures LABEL [player arguments...]
startup_figures() {
    local label=$1 run started
    shift
    rm -f attached.ms shown.ms
    for run in $(seq 1 "$runs"); do
        rm -f "$E2E_LOG"
        start_fake_shell classic >/dev/null
        started=$(now_ms)
        start_player "$@"
        ms_until_logged '^SetWindowPos:' "$started" >>attached.ms
        ms_until_logged '^first frame presented:' "$started" >>shown.ms
        stop_player >/dev/null
        fake_shell stop
    done
    echo "  $label: attached median $(median <attached.ms) ms ($(tr '\n' ' ' <attached.ms)ms)," \
        "first frame median $(median <shown.ms) ms ($(tr '\n' ' ' <shown.ms)ms) of $runs"
}

echo "== start to the first frame behind the icons (classic fake shell, $(xdpyinfo 2>/dev/null | sed -n 's/ *dimensions: *\([0-9x]*\) .*/\1/p'))"
startup_figures "one-colour set" "$(plain_pass_set)"
startup_figures "built-in wallpaper"
