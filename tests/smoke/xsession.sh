# Shared by the real-desktop scripts: finding, waiting for, photographing
# and driving the windows of the program started as $pid on the virtual X
# server. The sourcing script defines fail() and sets pid, work and, once
# known, main_window and menus_from_right.
WAIT=${TARVIK_SMOKE_WAIT:-1.5}

alive() {
    kill -0 "$pid" 2>/dev/null || fail "Tarvik ended during: $1 (see $work/tarvik.log)"
}

# The shown windows of the program captioned exactly $1 (the captions are
# compared here: xdotool's patterns are not anchored reliably).
captioned() {
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$pid" --name . 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && echo "$id"
    done
}

# The first window captioned exactly $1, waited for up to 60 s.
window() {
    local id
    for _ in $(seq 1 120); do
        id=$(captioned "$1" | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.5
    done
    return 1
}

reminder_window() { # the due-reminder window, captioned "<n> задач"
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$pid" --name . 2>/dev/null); do
        case "$(xdotool getwindowname "$id" 2>/dev/null)" in
        *" задач") echo "$id" ;;
        esac
    done
}

gone() { # waits until no window captioned exactly $1 is shown
    for _ in $(seq 1 60); do
        [ -z "$(captioned "$1")" ] && return 0
        sleep 0.5
    done
    return 1
}

# Sets rc to the exit code of the program $pid once it ends, waited for up
# to $1 seconds; rc is empty when it still runs then. (Not for $(...): only
# this shell may wait for its own children.)
await_exit() {
    rc=
    for _ in $(seq 1 $(($1 * 2))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            rc=$?
            return 0
        fi
        sleep 0.5
    done
}

keys() {
    xdotool key --delay 150 "$@"
    sleep "$WAIT"
}

shot() { # window id, name
    [ -n "${TARVIK_SMOKE_SHOTS:-}" ] || return 0
    mkdir -p "$TARVIK_SMOKE_SHOTS"
    xwd -silent -id "$1" | xwdtopnm 2>/dev/null | pnmtopng >"$TARVIK_SMOKE_SHOTS/$2.png" 2>/dev/null
    xwininfo -root -tree >"$TARVIK_SMOKE_SHOTS/$2-windows.txt"
}

# The main window's menu bar, driven from the keyboard as a user would: a
# click opens "Программа", the first menu; Left walks from there to the
# menus at the right end. The menus right of "Программа", read from the
# right, depend on the role only.
main_window=
menus_from_right=()

focus_main() {
    xdotool windowfocus --sync "$main_window" 2>/dev/null || true
    sleep 0.3
}

open_first_menu() {
    focus_main
    xdotool mousemove --window "$main_window" 30 "${menu_y:-12}" click 1
    sleep "$WAIT"
}

# menu <menu> <n>: runs the n-th shown item (from 0) of the named menu.
menu() {
    local name=$1 item=$2 left=0 i
    for i in "${!menus_from_right[@]}"; do
        [ "${menus_from_right[$i]}" = "$name" ] && left=$((i + 1))
    done
    [ "$left" -gt 0 ] || fail "no menu $name for this role"
    open_first_menu
    local presses=()
    for _ in $(seq 1 "$left"); do presses+=(Left); done
    for _ in $(seq 1 "$item"); do presses+=(Down); done
    keys "${presses[@]}" Return
}

view() { # the n-th item of "Вид": День Неделя Месяц Задачи Почта Чат
    menu "Вид" "$1"
}
