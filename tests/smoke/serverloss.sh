#!/usr/bin/env bash
# The real-desktop fault run: the delivered Tarvik on a demo database served
# by a Firebird server of the run's own. While the administrator works, a
# second workstation dies outright, then the server is killed: the loss
# must be shown, the program must stay up, and once the server is started
# again the window must carry on by itself. Ruduvo then clears the mark the
# dead workstation left, and leaving still ends Tarvik with exit code 0.
#
#   serverloss.sh <Tarvik> <Ruduvo> <tarvik-db>
#
# With TARVIK_SMOKE_SHOTS set to a folder every step is photographed there.
set -uo pipefail

if [ "${1:-}" = --session ]; then
    shift
    session=1
else
    session=0
fi

tarvik=$1
ruduvo=$2
dbtool=$3

fail() {
    echo "serverloss: FAILED: $*" >&2
    exit 1
}

say() { echo "serverloss: $*"; }

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

server_start() {
    (FIREBIRD="$work/server" FIREBIRD_LOCK="$work/server/lock" setsid /usr/sbin/firebird \
        >>"$work/server/server.log" 2>&1 </dev/null &
        echo $! >"$work/server.pid")
    for _ in $(seq 1 100); do
        listening "$(cat "$work/port")" && return 0
        sleep 0.1
    done
    fail "the run's server did not start (see $work/server/server.log)"
}

server_kill() {
    kill -9 "$(cat "$work/server.pid")" 2>/dev/null
    for _ in $(seq 1 50); do
        listening "$(cat "$work/port")" || return 0
        sleep 0.1
    done
    fail "the run's server did not stop"
}

sql() { # statement: prints the single value it selects
    printf 'SET HEADING OFF;\n%s\n' "$1" |
        isql-fb -q -user SYSDBA -password vantorelx "$(cat "$work/database")" 2>&1 | tr -d ' \n'
}

# --- Inside the X session -------------------------------------------------

source "$(dirname "$0")/xsession.sh"

# A window of the program captioned exactly $1 other than $2, waited for.
another_window() {
    local id
    for _ in $(seq 1 80); do
        for id in $(captioned "$1"); do
            [ "$id" != "$2" ] && { echo "$id"; return 0; }
        done
        sleep 0.5
    done
    return 1
}

boxes() { # the program's windows captioned "Tarvik" but its main window
    captioned "Tarvik" | grep -v "^$main_window\$"
}

close_box() {
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    keys Return
    for _ in $(seq 1 20); do
        [ -z "$(boxes)" ] && return 0
        sleep 0.5
    done
    fail "the box did not close"
}

log_in() { # folder, password: starts the Tarvik there and logs in
    (cd "$1" && exec ./Tarvik >"$1/tarvik.log" 2>&1) &
    pid=$!
    local login
    login=$(window "Вход в систему") || fail "no login dialog in $1"
    sleep "$WAIT"
    xdotool windowfocus --sync "$login" 2>/dev/null || true
    xdotool type --delay 100 "$2"
    keys Return
    main_window=$(window "Tarvik") || fail "no main window in $1"
}

# A start that must end with a box and nothing else: the box is photographed
# and refused, and the program must end by itself without a crash.
refused_start() { # name, folder, extra environment...
    local name=$1 folder=$2
    shift 2
    (cd "$folder" && exec env "$@" ./Tarvik >"$folder/tarvik.log" 2>&1) &
    pid=$!
    local box
    box=$(window "Tarvik") || fail "no box for $name"
    sleep "$WAIT"
    shot "$box" "$name"
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    keys Escape
    await_exit 10
    [ -n "$rc" ] || { kill "$pid"; fail "Tarvik did not end after the box for $name"; }
    [ "$rc" -le 1 ] || fail "Tarvik ended with $rc after the box for $name"
    say "$name: the box, then exit code $rc"
}

run_session() {
    refused_start 0-no-client-library "$work" TARVIK_FBCLIENT=/nonexistent/libfbclient.so
    refused_start 0-wrong-port "$work/wrongport"
    # A worker's workstation that dies outright: its mark stays behind.
    log_in "$work/worker" 1
    local worker_pid=$pid
    shot "$main_window" 1-worker
    { kill -9 "$worker_pid" && wait "$worker_pid"; } 2>/dev/null
    say "the worker's workstation was killed"

    log_in "$work" admin
    local admin_pid=$pid
    menus_from_right=("Справка" "Настройка" "Вид" "Правка")
    sleep 3
    shot "$main_window" 2-working

    server_kill
    say "the server was killed"
    local box
    box=$(another_window "Tarvik" "$main_window") || fail "the loss was not shown"
    sleep "$WAIT"
    shot "$box" 3-loss-shown
    alive "the loss"
    close_box "$box"
    # A command that needs the server is refused with the error display...
    view 4
    box=$(another_window "Tarvik" "$main_window") || fail "the mail page read nothing and said nothing"
    sleep "$WAIT"
    shot "$box" 4-command-refused
    close_box "$box"
    # ...and while nobody asks for anything, nothing more is shown.
    view 0
    sleep 12
    shot "$main_window" 5-no-link
    [ -z "$(boxes)" ] || fail "the loss was shown again without a command"
    alive "the wait without a server"

    server_start
    say "the server was started again"
    sleep 8
    shot "$main_window" 6-link-restored
    [ -z "$(boxes)" ] || fail "an error came after the return"
    local mark
    mark=$(sql "SELECT INSYSTEM FROM USERS WHERE ID = 1;")
    [ "$mark" = T ] || fail "the administrator is not marked present after the return: $mark"

    # Ruduvo clears the marks the dead workstation left.
    (cd "$work" && exec ./Ruduvo >"$work/ruduvo.log" 2>&1) &
    pid=$!
    local login clearing question
    login=$(window "Вход в систему") || fail "no Ruduvo login"
    xdotool windowfocus --sync "$login" 2>/dev/null || true
    keys Tab
    xdotool type --delay 100 admin
    keys Return
    clearing=$(window "Очистка состояния пользователей") || fail "no Ruduvo window"
    shot "$clearing" 7-ruduvo
    xdotool windowfocus --sync "$clearing" 2>/dev/null || true
    keys Return
    question=$(another_window "Tarvik: Очистка состояния пользователей" "") || fail "Ruduvo did not ask"
    shot "$question" 8-ruduvo-confirm
    xdotool windowfocus --sync "$question" 2>/dev/null || true
    keys y
    local done_box
    done_box=$(another_window "Tarvik: Очистка состояния пользователей" "") || fail "Ruduvo did not report"
    shot "$done_box" 9-ruduvo-done
    xdotool windowfocus --sync "$done_box" 2>/dev/null || true
    keys Return
    for _ in $(seq 1 40); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
    kill -0 "$pid" 2>/dev/null && fail "Ruduvo did not end after clearing"
    [ "$(sql "SELECT COUNT(*) FROM USERS WHERE INSYSTEM = 'T';")" = 0 ] || fail "marks left after Ruduvo"
    say "Ruduvo cleared the marks"

    # Leaving still ends the program.
    pid=$admin_pid
    open_first_menu
    keys Up Return # "Выход", the last item
    await_exit 30
    [ -n "$rc" ] || { kill "$pid"; fail "Tarvik did not end after Выход"; }
    [ "$rc" = 0 ] || fail "Tarvik ended with exit code $rc (see $work/tarvik.log)"
    say "Tarvik ended with 0"
}

if [ "$session" = 1 ]; then
    work=$4
    run_session
    exit 0
fi

# --- Outside: the server, the program folders, the X server ---------------

for tool in xvfb-run xdotool xwininfo isql-fb; do
    command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/setup)"
done
work=$(mktemp -d /tmp/tarvik-serverloss.XXXXXX)
chmod 777 "$work"
cleanup() {
    [ -f "$work/server.pid" ] && kill -9 "$(cat "$work/server.pid")" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The run's own server: the installed one's libraries, a root folder and a
# port of its own.
library=$(dirname "$(ls /usr/lib/*/firebird/3.0/firebird.msg | head -1)")
mkdir -p "$work/server/lock" "$work/server/intl"
for entry in firebird.msg lib plugins plugins.conf UDF; do
    ln -s "$library/$entry" "$work/server/$entry"
done
cp "$library/intl/libfbintl.so" "$library/intl/fbintl.conf" "$work/server/intl/"
cp /var/lib/firebird/3.0/system/security3.fdb "$work/server/" || fail "cannot copy the security database"
port=
for candidate in $(shuf -i 20000-29999 -n 20); do
    listening "$candidate" || { port=$candidate; break; }
done
[ -n "$port" ] || fail "no free port"
echo "$port" >"$work/port"
printf 'RemoteBindAddress = localhost\nRemoteServicePort = %s\nUdfAccess = None\nSecurityDatabase = %s\n' \
    "$port" "$work/server/security3.fdb" >"$work/server/firebird.conf"
server_start

database="localhost/$port:$work/tk.gdb"
echo "$database" >"$work/database"
(cd "$work" && "$dbtool" create --demo "$database") >/dev/null || fail "cannot create the demo database"
for folder in "$work" "$work/worker"; do
    mkdir -p "$folder"
    cp "$tarvik" "$folder/Tarvik"
    printf '%s\n' "$database" >"$folder/init.txt"
done
cp "$ruduvo" "$work/Ruduvo"
mkdir -p "$work/wrongport"
cp "$tarvik" "$work/wrongport/Tarvik"
printf 'localhost/1:%s/tk.gdb\n' "$work" >"$work/wrongport/init.txt"
worker=$(sql "SELECT FIRST 1 ID FROM USERS WHERE BOSS = 'F' AND ADMCHECK = 'F' ORDER BY ID;")
[ -n "$worker" ] || fail "no demo worker"
printf '[Enter]\nUser=%s\n' "$worker" >"$work/worker/enter.ini"

export QT_QPA_PLATFORM=xcb
unset QT_ACCESSIBILITY SESSION_MANAGER
timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --session "$tarvik" "$ruduvo" "$dbtool" "$work" ||
    fail "the session"
say "passed"
