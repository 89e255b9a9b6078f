# Helpers for the tests on two monitors: a private Xorg bench (see
# lumenfold_start_xorg_bench) instead of the Xvfb the other tests share, and
# monitors that go and come as a user unplugs and plugs them.
# shellcheck shell=bash

# Wine's programs keep the display of the first of them that started: a
# Wine still running on another X server has to end before the bench's can
# begin, and the bench's has to end before a later test's.
end_wine() {
    timeout 20 wineserver -w 2>/dev/null || { wineserver -k 2>/dev/null; timeout 20 wineserver -w 2>/dev/null; }
}

start_monitor_bench() {
    end_wine
    lumenfold_start_xorg_bench || return 1
    trap 'cleanup; stop_monitor_bench' EXIT
}

stop_monitor_bench() {
    [[ $(type -t fake_shell) == function ]] && fake_shell stop
    end_wine
    lumenfold_stop_xorg_bench
}

# The monitors as Wine's programs see them, one "DEVICE X Y W H [primary]"
# line each.
wine_monitors() { probe monitors | sed -n 's/^monitor=//p'; }
wine_monitor_count() { wine_monitors | wc -l; }

# Windows hears of a new layout from WM_DISPLAYCHANGE; a Wine program does
# not, so the tests tell every top-level window, the player's notification
# window among them, as Windows would.
announce_display_change() { [[ $(probe displaychange) == sent=1 ]]; }

unplug_second_monitor() { lumenfold_unplug_second_monitor && announce_display_change; }
plug_second_monitor() { lumenfold_plug_second_monitor && announce_display_change; }

# A screenshot of the whole X screen. Its (0, 0) is the virtual screen's
# top-left corner.
screenshot_bench() { xwd -root -silent -display "$DISPLAY" | convert xwd:- "$1"; }

# Where the primary monitor's corner, Wine's (0, 0), lies on the X screen,
# as "X Y".
primary_on_x_screen() {
    lumenfold_bench_outputs | sed -n "s/^$LUMENFOLD_BENCH_PRIMARY [0-9]*x[0-9]*+\([0-9]*\)+\([0-9]*\)$/\1 \2/p"
}

# The colour of the pixel at Wine's screen coordinates X Y in a screenshot
# of the whole X screen, as "r,g,b".
pixel_at_screen_point() {
    local file=$1 x=$2 y=$3 corner
    read -ra corner <<<"$(primary_on_x_screen)"
    pixel_colour "$file" $((x + corner[0])) $((y + corner[1]))
}

# NOTE: Wine 8 cannot show a GL window that is the child of another
# process's window, as the attached player is of the shell's: it draws into
# an X window of its own, nameless and without a class, kept off the screen
# below a 1x1 parent. The attached player's picture is read from there.
# attached_picture FILE: that picture, its (0, 0) the player window's corner.
attached_picture() {
    local width height id
    read -r _ _ width height <<<"$(probe describe | sed -n 's/.* rect=\([-0-9]*\),\([-0-9]*\),\([0-9]*\),\([0-9]*\) .*/\1 \2 \3 \4/p')"
    [[ -n $width ]] || return 1
    id=$(xwininfo -root -tree -display "$DISPLAY" |
        awk -v size="${width}x${height}+0+0" '$1 ~ /^0x/ && $0 ~ /\(has no name\): \(\)/ && $(NF - 1) == size { print $1; exit }')
    [[ -n $id ]] && xwd -id "$id" -silent -display "$DISPLAY" | convert xwd:- "$1"
}

# The colour of the attached player's picture at Wine's screen coordinates
# X Y, from a new picture, near "r,g,b" (as near() in the test decides).
attached_shows() {
    local left top
    read -r left top _ <<<"$(probe describe | sed -n 's/.* rect=\([-0-9]*\),\([-0-9]*\),.*/\1 \2/p')"
    [[ -n $left ]] && attached_picture attached.png &&
        near "$(pixel_colour attached.png $(($1 - left)) $(($2 - top)) | tee attached.seen)" "$3"
}
