#!/usr/bin/env bash
# Makes docs/screenshots/: each of the seven windows as it first appears, the selector waiting for
# a target, and a converter with the message of a finished batch. Runs under its own X server.
# Usage: tests/e2e/screenshots.sh BIN_FOLDER SAMPLES_FOLDER OUTPUT_FOLDER
E2E_BIN=$(cd "$1" && pwd)
E2E_SAMPLES=$(cd "$2" && pwd)
mkdir -p "$3"
out=$(cd "$3" && pwd)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cards.sh"
e2e_begin screenshots

# A margin of the root colour around a window: the selector's outline shows against it.
readonly MARGIN=12

shot() {
    local id=$1 file=$2
    e2e_origin "$id"
    eval "$(xdotool getwindowgeometry --shell "$id" | grep -E '^(WIDTH|HEIGHT)=')"
    import -window root -crop "$((WIDTH + 2 * MARGIN))x$((HEIGHT + 2 * MARGIN))+$((X - MARGIN))+$((Y - MARGIN))" \
        +repage "$out/$file"
}

# shot_both ID1 ID2 FILE: the smallest part of the screen that shows both windows.
shot_both() {
    local left=100000 top=100000 right=0 bottom=0 id
    for id in "$1" "$2"; do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        left=$((X < left ? X : left))
        top=$((Y < top ? Y : top))
        right=$((X + WIDTH > right ? X + WIDTH : right))
        bottom=$((Y + HEIGHT > bottom ? Y + HEIGHT : bottom))
    done
    import -window root -crop "$((right - left + 2 * MARGIN))x$((bottom - top + 2 * MARGIN))+$((left - MARGIN))+$((top - MARGIN))" \
        +repage "$out/$3"
}

programs=(
    "pelmark|Virtual Game Station to DexDrive [Batch Conversion]"
    "dunsore|Bleem! to DexDrive [Batch Conversion]"
    "hobrast|DexDrive to Virtual Game Station [Batch Conversion]"
    "vintrel|DexDrive to bleem! [Batch Conversion]"
    "morcade|Bleem! to Virtual Game Station [Batch Conversion]"
    "tesswick|Virtual Game Station to Bleem!"
)
for entry in "${programs[@]}"; do
    program=${entry%%|*}
    caption=${entry#*|}
    e2e_start "$E2E_BIN/$program"
    win=$(e2e_wait_window "$(e2e_title "$caption")")
    sleep 0.5
    shot "$win" "$program.png"
    if [ "$program" = dunsore ]; then
        cards="$E2E_WORK/cards"
        mkdir "$cards"
        cp "$E2E_SAMPLES/m1.mcd" "$E2E_SAMPLES/blank.mcd" "$E2E_SAMPLES/MemoryCard2-1.mcd" "$cards/"
        e2e_focus "$win"
        e2e_type "$cards/m1.mcd"
        e2e_key Return
        box=$(e2e_wait_window "$(e2e_title "$caption")" "$win")
        sleep 0.5
        # The window and its message box together, the box moved below the window as a user
        # would drag it, so that the status line shows.
        e2e_origin "$win"
        xdotool windowmove --sync "$box" "$X" "$((Y + 130))"
        sleep 0.3
        shot_both "$win" "$box" dunsore-after-batch.png
        e2e_focus "$box"
        e2e_key Return
    fi
    kill "$E2E_PID"
    e2e_wait_exit "$E2E_PID"
done

e2e_start "$E2E_BIN/quillane"
win=$(e2e_wait_window '^Quillane$')
sleep 0.5
shot "$win" quillane.png
e2e_click "$win" 155 40
sleep 0.3
shot "$win" quillane-awaiting-target.png
echo "screenshots in $out"
