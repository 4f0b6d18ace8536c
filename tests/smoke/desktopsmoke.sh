#!/usr/bin/env bash
# The real-desktop smoke test: the delivered Tarvik, with its real platform
# layer, on a virtual X server and a demo database. It logs in as the
# administrator and as a worker, visits every page through "Вид", opens and
# cancels the task dialog, saves the planner and the task list as PDF files,
# exports the events to a calendar file, and leaves; the program must stay
# up throughout and end with exit code 0.
#
#   desktopsmoke.sh <Tarvik> <tarvik-db> [sound|nosound]
#
# "nosound" points GStreamer at an empty plug-in folder and Qt at a sound
# server that does not exist. With TARVIK_SMOKE_SHOTS set to a folder the
# login dialog and the splash are photographed there, with the window tree.
#
# To add a page or window: one `step` line in run_session below.
set -uo pipefail

if [ "${1:-}" = --session ]; then
    shift
    session=1
else
    session=0
fi

tarvik=$1
dbtool=$2
mode=${3:-sound}

fail() {
    echo "desktopsmoke: FAILED: $*" >&2
    exit 1
}

# --- Inside the X session -------------------------------------------------

# The window helpers: alive, captioned, window, gone, keys, shot, menu...
source "$(dirname "$0")/xsession.sh"

# step <what>: a line of the session; checks that the program is still up.
step() {
    echo "desktopsmoke: $*"
    "$@"
    alive "$*"
    if [ -n "${TARVIK_SMOKE_DEBUG:-}" ]; then
        steps=$((${steps:-0} + 1))
        shot "$main_window" "step-$role-$steps"
    fi
}

# dialog <menu> <n> <caption>: runs the n-th shown item of the menu, waits
# for the window with exactly that caption, and closes it with Escape.
dialog() {
    menu "$1" "$2"
    local id
    id=$(window "$3") || fail "no window \"$3\" from $1"
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    keys Escape
    gone "$3" || fail "\"$3\" did not close on Escape"
}

# Opens the task dialog with "Добавить" of the planner's "Правка" on a cell
# in the middle of the day's grid, and cancels it with Escape.
task_dialog() {
    view 0
    focus_main
    local geometry w h
    geometry=$(xdotool getwindowgeometry --shell "$main_window")
    w=$(echo "$geometry" | sed -n 's/^WIDTH=//p')
    h=$(echo "$geometry" | sed -n 's/^HEIGHT=//p')
    # The first work place's column, an hour or so into the day.
    xdotool mousemove --window "$main_window" $(((w - 219) / 4)) $((h / 2)) click 1
    sleep "$WAIT"
    open_first_menu
    keys Right Return
    local dialog
    dialog=$(window "Задача") || fail "the task dialog did not open"
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    keys Escape
    gone "Задача" || fail "the task dialog did not close on Escape"
}

# A new letter from the mail's "Правка", its "Печать" (the first button of
# its bar) with the preview, both closed with Escape.
letter_preview() {
    view 4
    menu "Правка" 0
    local letter preview
    letter=$(window "Новое сообщение") || fail "the letter dialog did not open"
    xdotool mousemove --window "$letter" 14 14 click 1
    sleep "$WAIT"
    preview=$(window "Предварительный просмотр") || fail "no preview from the letter dialog"
    xdotool windowfocus --sync "$preview" 2>/dev/null || true
    keys Escape
    gone "Предварительный просмотр" || fail "the preview did not close on Escape"
    xdotool windowfocus --sync "$letter" 2>/dev/null || true
    keys Escape
    gone "Новое сообщение" || fail "the letter dialog did not close on Escape"
}

# "Программа" → "Экспорт в iCalendar...": a file typed into the chooser;
# the program's notice (a second window captioned "Tarvik") says it is
# written, and the file must read as a calendar with events.
export_calendar() {
    local file="$work/export-$role.ics" n
    open_first_menu
    keys Down Return
    [ "$(xdotool getactivewindow 2>/dev/null)" != "$main_window" ] || fail "no file chooser from the export"
    keys ctrl+a
    xdotool type --delay 50 "$file"
    keys Return
    for _ in $(seq 1 60); do
        [ -s "$file" ] && [ "$(captioned Tarvik | wc -l)" -ge 2 ] && break
        sleep 0.5
    done
    [ -s "$file" ] || fail "the export wrote no $file"
    keys Return
    [ "$(captioned Tarvik | wc -l)" = 1 ] || fail "the export's notice did not close"
    n=$(/usr/bin/python3 -c 'import sys, icalendar
print(len(icalendar.Calendar.from_ical(open(sys.argv[1], "rb").read()).walk("VEVENT")))' "$file") \
        || fail "icalendar cannot read $file"
    [ "$n" -gt 0 ] || fail "no events in $file"
    echo "desktopsmoke: $n events exported"
}

# save_as <file>: types the file's path into the file chooser (Qt's own,
# captioned "Save As" without a translation) and waits for a PDF file there.
save_as() {
    local chooser
    chooser=$(window "Save As") || fail "no file chooser for $1"
    xdotool windowfocus --sync "$chooser" 2>/dev/null || true
    sleep "$WAIT"
    xdotool type --delay 20 "$1"
    keys Return
    gone "Save As" || fail "the file chooser did not close"
    for _ in $(seq 1 60); do
        [ "$(head -c 4 "$1" 2>/dev/null)" = "%PDF" ] && return 0
        sleep 0.5
    done
    fail "no PDF file $1"
}

# The planner's "Печать по страницам…" on the week (its dialog, closed
# with Escape) and "Сохранить в PDF" (the same dialog accepted, a file
# chosen); then the task list's "Сохранить в PDF".
save_pdfs() {
    view 1
    dialog "Правка" 7 "Печать по страницам"
    menu "Правка" 8
    local pages
    pages=$(window "Печать по страницам") || fail "no pages dialog from Сохранить в PDF"
    xdotool windowfocus --sync "$pages" 2>/dev/null || true
    keys Return
    gone "Печать по страницам" || fail "the pages dialog did not close on Return"
    save_as "$work/planner-$role.pdf"
    view 3
    menu "Правка" 3
    save_as "$work/tasks-$role.pdf"
}

run_session() { # role
    local role=$1
    cd "$work"
    "$work/Tarvik" >"$work/tarvik.log" 2>&1 &
    pid=$!
    local splash login
    if [ -n "${TARVIK_SMOKE_SHOTS:-}" ] && splash=$(window "Загрузка..."); then
        shot "$splash" "splash-$role"
    fi
    login=$(window "Вход в систему") || fail "no login dialog (see $work/tarvik.log)"
    sleep "$WAIT"
    shot "$login" "login-$role"
    xdotool windowfocus --sync "$login" 2>/dev/null || true
    # "Утилиты" shows only in exclusive mode, so both roles have the same
    # menus right of "Вид"; of the "Правка" menus only the page's shows.
    if [ "$role" = admin ]; then
        xdotool type --delay 100 admin
    else
        xdotool type --delay 100 1
    fi
    menus_from_right=("Справка" "Настройка" "Вид" "Правка")
    keys Return
    main_window=$(window "Tarvik") || fail "no main window after the login (see $work/tarvik.log)"
    alive "the login"
    # The demo office has due reminders: their window comes up with the
    # first tick (with its sound) and takes the focus; it is waited for so
    # that it cannot take it in the middle of a step.
    echo "desktopsmoke: waiting for the reminders"
    for _ in $(seq 1 40); do
        [ -n "$(reminder_window)" ] && break
        sleep 0.5
    done
    [ -n "$(reminder_window)" ] || echo "desktopsmoke: (no reminder window came up)"
    sleep "$WAIT"
    alive "the reminders"

    # Every page through "Вид", then the task dialog.
    step view 0 # День
    step view 1 # Неделя
    step view 2 # Месяц
    step view 3 # Задачи
    step view 4 # Почта
    step view 5 # Чат
    step view 3 # the task list's "Правка" → "Поиск"
    step dialog "Правка" 4 "Поиск задач"
    step save_pdfs
    step letter_preview
    step task_dialog
    step export_calendar
    # "Настройка": what the role shows of it.
    if [ "$role" = admin ]; then
        step dialog "Настройка" 0 "Настройка"              # Рабочие места
        step dialog "Настройка" 1 "Менеджер пользователей"
        step dialog "Настройка" 2 "Настройка"              # Персональная настройка
    else
        step dialog "Настройка" 0 "Настройка"              # Персональная настройка
    fi
    step dialog "Справка" 0 "О программе"

    # "Программа" → "Выход", its last item.
    echo "desktopsmoke: leaving"
    open_first_menu
    keys Up Return
    await_exit 30
    [ -n "$rc" ] || { kill "$pid"; fail "Tarvik did not end after Выход"; }
    [ "$rc" = 0 ] || fail "Tarvik ended with exit code $rc as $role (see $work/tarvik.log)"
    echo "desktopsmoke: $role session ended with 0"
}

if [ "$session" = 1 ]; then
    work=$4
    role=$5
    run_session "$role"
    exit 0
fi

# --- Outside: the program folder, the database, the X server --------------

for tool in xvfb-run xdotool xwininfo isql-fb; do
    command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/setup)"
done
/usr/bin/python3 -c 'import icalendar' 2>/dev/null || fail "python3-icalendar is missing (run scripts/setup)"
work=$(mktemp -d /tmp/tarvik-smoke.XXXXXX)
chmod 777 "$work"
trap 'rm -rf "$work"' EXIT
cp "$tarvik" "$work/Tarvik"
database="localhost:$work/tk.gdb"
(cd "$work" && "$dbtool" create --demo "$database") >/dev/null || fail "cannot create the demo database"
printf '%s\n' "$database" >"$work/init.txt"

export QT_QPA_PLATFORM=xcb
unset QT_ACCESSIBILITY SESSION_MANAGER
if [ "$mode" = nosound ]; then
    mkdir -p "$work/no-plugins"
    export GST_PLUGIN_SYSTEM_PATH="$work/no-plugins" GST_PLUGIN_PATH="$work/no-plugins"
    export GST_REGISTRY="$work/gst-registry.bin"
    export PULSE_SERVER="unix:$work/no-sound-server"
fi

for role in admin worker; do
    if [ "$role" = worker ]; then
        # The first demo worker is the remembered user of the next login.
        worker=$(printf 'SET HEADING OFF;\nSELECT FIRST 1 ID FROM USERS WHERE BOSS = %sF%s AND ADMCHECK = %sF%s ORDER BY ID;\n' \
            "'" "'" "'" "'" | isql-fb -q -user SYSDBA -password vantorelx "$database" | tr -d ' \n')
        [ -n "$worker" ] || fail "no demo worker"
        printf '[Enter]\nUser=%s\n' "$worker" >"$work/enter.ini"
    fi
    timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --session "$tarvik" "$dbtool" "$mode" "$work" "$role" \
        || fail "the $role session ($mode)"
done
echo "desktopsmoke: passed ($mode)"
