# Shared helpers of the end-to-end scenarios: a private X server, the programs as real processes,
# windows found by anchored title, real keyboard and mouse events, and what a person would see.
#
# A scenario sources this file, calls e2e_begin NAME, then uses the helpers; any failed check
# calls e2e_fail, which leaves a screenshot and the programs' output in the artifact folder.

set -euo pipefail

: "${E2E_BIN:?E2E_BIN must name the folder of the built programs}"
E2E_TIMEOUT=${E2E_TIMEOUT:-15}  # seconds to wait for a window or a file
E2E_PIDS=()

e2e_begin() {
    E2E_NAME=$1
    E2E_ARTIFACTS=${E2E_ARTIFACTS_ROOT:-$PWD/e2e-artifacts}/$E2E_NAME
    rm -rf "$E2E_ARTIFACTS"
    mkdir -p "$E2E_ARTIFACTS"
    E2E_WORK=$(mktemp -d)
    trap e2e_end EXIT
    # A display of our own, so scenarios never meet each other's windows.
    local fd_file="$E2E_WORK/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3>"$fd_file" \
        >"$E2E_ARTIFACTS/xvfb.log" 2>&1 &
    E2E_XVFB=$!
    local waited=0
    until [ -s "$fd_file" ]; do
        sleep 0.1
        waited=$((waited + 1))
        [ $waited -lt 100 ] || { echo "Xvfb did not start" >&2; exit 1; }
    done
    export DISPLAY=":$(head -n1 "$fd_file")"
    # A coloured root window, so that a shaped window shows against it.
    xsetroot -solid '#3a6ea5'
    export QT_QPA_PLATFORM=xcb
    unset QT_QPA_PLATFORMTHEME
    export XDG_RUNTIME_DIR="$E2E_WORK/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
}

e2e_end() {
    local status=$?
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    kill "$E2E_XVFB" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$E2E_WORK"
    if [ $status -eq 0 ]; then
        rm -rf "$E2E_ARTIFACTS"
        echo "e2e $E2E_NAME: passed"
    else
        echo "e2e $E2E_NAME: FAILED; screenshot and program output in $E2E_ARTIFACTS" >&2
    fi
}

e2e_fail() {
    echo "FAIL: $*" >&2
    import -window root "$E2E_ARTIFACTS/failure.png" 2>/dev/null || true
    xwininfo -root -tree >"$E2E_ARTIFACTS/windows.txt" 2>/dev/null || true
    exit 1
}

# e2e_start PROGRAM_PATH [ARGS...]: starts a program in the background; its pid in E2E_PID.
e2e_start() {
    local program=$1
    shift
    "$program" "$@" >>"$E2E_ARTIFACTS/$(basename "$program").log" 2>&1 &
    E2E_PID=$!
    E2E_PIDS+=("$E2E_PID")
}

# Every visible window whose title matches the anchored pattern.
e2e_windows() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null || true
}

# e2e_wait_window PATTERN [EXCEPT_ID]: the id of a visible window titled PATTERN, other than
# EXCEPT_ID, waiting up to E2E_TIMEOUT seconds.
e2e_wait_window() {
    local pattern=$1 except=${2:-} deadline=$((SECONDS + E2E_TIMEOUT)) id
    while [ $SECONDS -lt $deadline ]; do
        for id in $(e2e_windows "$pattern"); do
            if [ "$id" != "$except" ]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    e2e_fail "no window titled $pattern"
}

# e2e_wait_gone ID: until the window is no longer shown.
e2e_wait_gone() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while xdotool getwindowname "$1" >/dev/null 2>&1 &&
        xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; do
        [ $SECONDS -lt $deadline ] || e2e_fail "window $1 is still shown"
        sleep 0.1
    done
}

# e2e_wait_exit PID: until the process has ended; fails after E2E_TIMEOUT seconds.
e2e_wait_exit() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while kill -0 "$1" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || e2e_fail "process $1 did not end"
        sleep 0.1
    done
    wait "$1" 2>/dev/null || true
}

# e2e_wait_file PATH: until the file exists.
e2e_wait_file() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until [ -e "$1" ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "no file $1"
        sleep 0.1
    done
}

e2e_focus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.1
}

# e2e_origin ID: sets X and Y to the window's top-left corner on the screen.
e2e_origin() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
}

# e2e_click ID X Y [BUTTON]: a click at a point of the window's client area.
e2e_click() {
    local id=$1 x=$2 y=$3 button=${4:-1}
    e2e_origin "$id"
    xdotool mousemove --sync $((X + x)) $((Y + y)) click "$button"
    sleep 0.1
}

e2e_type() {
    xdotool type --delay 2 -- "$1"
}

e2e_key() {
    xdotool key --clearmodifiers "$@"
    sleep 0.1
}

# e2e_message_text ID: the title and text of a message box, as the box itself copies them
# (Ctrl+C), one per line: title, then text.
e2e_message_text() {
    e2e_focus "$1"
    printf '' | xclip -selection clipboard
    xdotool key ctrl+c
    local deadline=$((SECONDS + 5)) text=""
    while [ -z "$text" ] && [ $SECONDS -lt $deadline ]; do
        sleep 0.1
        text=$(xclip -selection clipboard -o 2>/dev/null | tr -d '\r' | grep -v '^---' | head -n -1 || true)
    done
    printf '%s\n' "$text"
}

# e2e_expect_equal ACTUAL EXPECTED WHAT
e2e_expect_equal() {
    [ "$1" == "$2" ] || e2e_fail "$3: expected [$2], got [$1]"
}

# e2e_snap ID FILE [X Y W H]: a screenshot of a window, or of a part of it.
e2e_snap() {
    local id=$1 file=$2
    if [ $# -ge 6 ]; then
        import -window "$id" -crop "${5}x${6}+${3}+${4}" +repage "$file"
    else
        import -window "$id" "$file"
    fi
}

# The anchored pattern that matches exactly one title.
e2e_title() {
    printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')"
}

# e2e_file_dialog ID PATH [retry]: types PATH into a file dialog's name box and accepts it.
# Alt+N puts the focus in the name box whatever had it. With "retry", a second Enter closes a
# completion list that may have taken the first (not for a dialog that asks a question next).
e2e_file_dialog() {
    local id=$1 path=$2 retry=${3:-}
    e2e_focus "$id"
    e2e_key alt+n
    e2e_key ctrl+a
    e2e_type "$path"
    sleep 0.3
    e2e_key Return
    [ "$retry" = retry ] || return 0
    local deadline=$((SECONDS + 3))
    while xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable' && [ $SECONDS -lt $deadline ]; do
        sleep 0.1
    done
    if xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'; then
        e2e_focus "$id"
        e2e_key Return
    fi
}
