#!/usr/bin/env bash
# WM_COPYDATA comes from any process: no payload crashes the player, and what
# it logs stays within the bytes that were sent.
source "$(dirname "$0")/lib.sh"

start_player
check "the player is up" "wait_for_log '^active Uniform Block:1$' 120"
check "a smaller window keeps frames quick" "shrink_player"

check "unterminated bytes are delivered" "[[ \$(probe copydata unterminated abc) == sent=1 ]]"
check "unterminated bytes are logged as exactly those bytes" "logged | grep -qx 'WM_COPYDATA: abc'"

probe copydata mebibyte >/dev/null
check "a mebibyte without zero is refused in one short line" \
    "logged | grep -qx 'WM_COPYDATA refused: a path longer than 32767 characters' && ! logged | grep -q MMMM"

probe copydata null-data >/dev/null
probe copydata empty >/dev/null
check "null data and zero bytes mean no path" "[[ \$(logged | grep -c '^WM_COPYDATA: (null)$') == 2 ]]"

check "the player is still running" "[[ ! -f player.exit ]]"
check "the player still answers" "[[ \$(probe alt) == 'keymenu=1 alive=1' ]]"
stop_player
finish
