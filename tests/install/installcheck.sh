#!/usr/bin/env bash
# The installation as an office gets it: `cmake --install` of the build into
# a fresh folder, its layout and menu entries, a reinstall that keeps the
# workstation's settings, then a demo database made with the installed
# tarvik-db and both installed programs started through their launchers by
# an ordinary user (not the folder's owner) on a virtual X server: Tarvik to
# its main window after the administrator's login (which must be remembered
# in enter.ini), Ruduvo to its login dialog; both must end on SIGTERM.
#
#   installcheck.sh <cmake> <build folder>
#
# With TARVIK_INSTALL_SHOTS set to a folder the screen is photographed there
# at Tarvik's login, Tarvik's main window and Ruduvo's login.
set -uo pipefail

fail() {
    echo "installcheck: FAILED: $*" >&2
    exit 1
}

# --- Inside the X session -------------------------------------------------

# Runs an installed launcher in the background as the user "nobody" (when
# run as root, as the tests are); the launcher execs the program, so $! is
# the program's process.
start_as_user() {
    local as_user=()
    [ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    "${as_user[@]}" env HOME="$home" "$@" >>"$home/programs.log" 2>&1 &
    pid=$!
}

window() { # the first shown window of $pid captioned exactly $1, waited for up to 30 s
    local id
    for _ in $(seq 1 60); do
        for id in $(xdotool search --all --onlyvisible --pid "$pid" --name . 2>/dev/null); do
            [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return 0; }
        done
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.5
    done
    return 1
}

shot() {
    [ -n "${TARVIK_INSTALL_SHOTS:-}" ] || return 0
    sleep 1
    mkdir -p "$TARVIK_INSTALL_SHOTS"
    xwd -silent -root | xwdtopnm 2>/dev/null | pnmtopng >"$TARVIK_INSTALL_SHOTS/$1.png" 2>/dev/null
}

stop() { # as the system ends programs: SIGTERM, which must end it within 10 s
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 1 20); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
        sleep 0.5
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    fail "$1 did not end on SIGTERM"
}

run_session() {
    local bin=$prefix/bin login
    start_as_user "$bin/tarvik"
    login=$(window "Вход в систему") || fail "the installed Tarvik showed no login dialog (see $home/programs.log)"
    shot install-tarvik-login
    xdotool windowfocus --sync "$login" 2>/dev/null || true
    xdotool type --delay 80 admin
    xdotool key Return
    window "Tarvik" >/dev/null || { stop Tarvik; fail "no main window after the administrator's login"; }
    shot install-tarvik-main
    grep -q '^User=1' "$program_dir/enter.ini" || { stop Tarvik; fail "the login was not remembered in enter.ini"; }
    stop Tarvik

    start_as_user "$bin/ruduvo"
    window "Вход в систему" >/dev/null || fail "the installed Ruduvo showed no login dialog (see $home/programs.log)"
    shot install-ruduvo
    stop Ruduvo
}

if [ "${1:-}" = --session ]; then
    prefix=$2 program_dir=$3 home=$4
    run_session
    exit 0
fi

# --- Outside: install, check, make the database, start the X server --------

cmake=$1
build=$2
for tool in xvfb-run xdotool isql-fb desktop-file-validate setpriv readelf; do
    command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/setup)"
done

work=$(mktemp -d /tmp/tarvik-install.XXXXXX)
chmod 755 "$work"
prefix=$work/usr
program_dir=$prefix/lib/tarvik
database=
cleanup() {
    if [ -n "$database" ]; then
        echo "DROP DATABASE;" | isql-fb -q -user SYSDBA -password vantorelx "$database" >/dev/null 2>&1 \
            || echo "installcheck: could not drop $database" >&2
    fi
    rm -rf "$work"
}
trap cleanup EXIT

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 \
    || { cat "$work/install.log" >&2; fail "cmake --install"; }

# The layout.
for f in bin/tarvik bin/ruduvo bin/tarvik-db lib/tarvik/Tarvik lib/tarvik/Ruduvo lib/tarvik/tarvik-db; do
    [ -f "$prefix/$f" ] && [ -x "$prefix/$f" ] || fail "$f is missing or not executable"
done
for f in Tarvik.html firebird.html info/firebird.html sounds/bell.wav init.txt enter.ini; do
    [ -s "$program_dir/$f" ] || [ "$f" = enter.ini ] || fail "lib/tarvik/$f is missing or empty"
done
[ "$(stat -c %a "$program_dir/enter.ini")" = 666 ] || fail "enter.ini is not writable by the workstation's users"
for size in 16x16 32x32 48x48 256x256; do
    for icon in tarvik tarvik-ruduvo; do
        [ -s "$prefix/share/icons/hicolor/$size/apps/$icon.png" ] || fail "no $size icon $icon"
    done
done
strays=$(find "$prefix" \( -name 'tst_*' -o -name 'bench_*' -o -name '*_test' -o -name 'tarvik-delivery-files' \))
[ -z "$strays" ] || fail "tests or build tools installed: $strays"
for f in "$program_dir"/Tarvik "$program_dir"/Ruduvo "$program_dir"/tarvik-db; do
    ! readelf -d "$f" | grep -E 'R(UN)?PATH' | grep -qF "$build" || fail "$f still looks for libraries in the build folder"
done

# The menu entries: valid, and starting the installed programs in their folder.
for entry in tarvik tarvik-ruduvo; do
    file=$prefix/share/applications/$entry.desktop
    [ -f "$file" ] || fail "no menu entry $entry.desktop"
    desktop-file-validate "$file" || fail "$entry.desktop is not a valid desktop entry"
    exec_path=$(sed -n 's/^Exec="\(.*\)"$/\1/p' "$file")
    [ -x "$exec_path" ] || fail "$entry.desktop starts \"$exec_path\", which is not an installed program"
    [ "$(sed -n 's/^Path=//p' "$file")" = "$program_dir" ] || fail "$entry.desktop does not start in $program_dir"
done

# Installing again keeps the workstation's settings.
echo "server:/keep/me.gdb" >"$program_dir/init.txt"
echo "[Enter]" >"$program_dir/enter.ini"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "the second cmake --install"
[ "$(head -1 "$program_dir/init.txt")" = "server:/keep/me.gdb" ] || fail "installing again replaced init.txt"
[ "$(cat "$program_dir/enter.ini")" = "[Enter]" ] || fail "installing again replaced enter.ini"
: >"$program_dir/enter.ini"

# The demo office with the installed tool, on the local server.
mkdir "$work/data" "$work/home"
chmod 777 "$work/data" "$work/home"
"$prefix/bin/tarvik-db" create --demo "localhost:$work/data/tk.gdb" >"$work/db.log" 2>&1 \
    || { cat "$work/db.log" >&2; fail "the installed tarvik-db could not create the demo database"; }
database=localhost:$work/data/tk.gdb
printf '%s\n' "$database" >"$program_dir/init.txt"

export QT_QPA_PLATFORM=xcb
unset QT_ACCESSIBILITY SESSION_MANAGER XDG_RUNTIME_DIR
# -ac: the programs run as another user than the X server's.
timeout 90 xvfb-run -a -s "-ac -screen 0 1280x1024x24" "$0" --session "$prefix" "$program_dir" "$work/home" \
    || { cat "$work/home/programs.log" >&2 2>/dev/null; fail "the X session"; }
echo "installcheck: passed"
