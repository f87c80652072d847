#!/usr/bin/env bash
# The selector as a person uses it: each source/target pair starts its converter's window, the
# chosen source can be released, a missing converter is reported, one selector at a time, the
# window is dragged by its bars and is not there where it is cut away, Esc and Alt+X end it.
source "$(dirname "$0")/lib.sh"
e2e_begin selector

readonly TITLE='^Quillane$'
# Points of the window: the three toggles, a diagonal bar, the bottom bar, a cut-out corner.
readonly BLEEM=(155 40) VGS=(45 199) DEXDRIVE=(268 199)
readonly BAR=(85 120) BOTTOM_BAR=(150 200) CUT_OUT=(40 40)

press() { e2e_click "$WIN" "$1" "$2"; }

# The converter window a pair starts, then that converter ended again.
expect_converter() {
    local caption=$1 id pid
    id=$(e2e_wait_window "$(e2e_title "$caption")")
    pid=$(xdotool getwindowpid "$id")
    kill "$pid"
    e2e_wait_gone "$id"
}

e2e_start "$E2E_BIN/quillane"
SELECTOR=$E2E_PID
WIN=$(e2e_wait_window "$TITLE")

# Each of the six pairs starts its own converter.
pairs=(
    "BLEEM VGS Bleem! to Virtual Game Station [Batch Conversion]"
    "BLEEM DEXDRIVE Bleem! to DexDrive [Batch Conversion]"
    "VGS BLEEM Virtual Game Station to Bleem!"
    "VGS DEXDRIVE Virtual Game Station to DexDrive [Batch Conversion]"
    "DEXDRIVE BLEEM DexDrive to bleem! [Batch Conversion]"
    "DEXDRIVE VGS DexDrive to Virtual Game Station [Batch Conversion]"
)
for pair in "${pairs[@]}"; do
    read -r source target caption <<<"$pair"
    declare -n from=$source to=$target
    press "${from[@]}"
    press "${to[@]}"
    expect_converter "$caption"
done

# Pressing the chosen source again releases it: the next press chooses a new source.
press "${BLEEM[@]}"
press "${BLEEM[@]}"
press "${VGS[@]}"
press "${DEXDRIVE[@]}"
expect_converter 'Virtual Game Station to DexDrive [Batch Conversion]'
[ -z "$(e2e_windows '^Bleem! to ')" ] || e2e_fail "a bleem! converter was started"

# A second selector ends at once, silently, and leaves the first as it was.
e2e_start "$E2E_BIN/quillane"
e2e_wait_exit "$E2E_PID"
kill -0 "$SELECTOR" || e2e_fail "the first selector ended"
[ "$(e2e_windows "$TITLE" | wc -l)" -eq 1 ] || e2e_fail "a second selector window appeared"

# A drag on a bar, with any button, moves the window by as much as the pointer moved.
for button in 1 3; do
    e2e_origin "$WIN"
    x0=$X y0=$Y
    xdotool mousemove --sync $((X + BAR[0])) $((Y + BAR[1])) mousedown "$button"
    xdotool mousemove --sync $((X + BAR[0] + 40)) $((Y + BAR[1] + 30))
    xdotool mousemove --sync $((X + BAR[0] + 60)) $((Y + BAR[1] + 25)) mouseup "$button"
    sleep 0.2
    e2e_origin "$WIN"
    e2e_expect_equal "$X,$Y" "$((x0 + 60)),$((y0 + 25))" "window after a drag with button $button"
done

# Where the picture is cut away the window is not there: the pointer is over the root window, and
# a drag there moves nothing.
e2e_origin "$WIN"
x0=$X y0=$Y
xdotool mousemove --sync $((X + CUT_OUT[0])) $((Y + CUT_OUT[1]))
eval "$(xdotool getmouselocation --shell)"
[ "$WINDOW" != "$WIN" ] || e2e_fail "the cut-out corner belongs to the selector"
xdotool mousedown 1 mousemove --sync $((x0 + CUT_OUT[0] + 50)) $((y0 + CUT_OUT[1] + 50)) mouseup 1
sleep 0.2
e2e_origin "$WIN"
e2e_expect_equal "$X,$Y" "$x0,$y0" "window after a drag in a cut-out part"
xdotool mousemove --sync $((X + BOTTOM_BAR[0])) $((Y + BOTTOM_BAR[1]))
eval "$(xdotool getmouselocation --shell)"
e2e_expect_equal "$WINDOW" "$WIN" "window under the bottom bar"

# Esc ends the selector while it waits for a source.
e2e_focus "$WIN"
e2e_key Escape
e2e_wait_exit "$SELECTOR"

# Alt+X ends it while it waits for a target.
e2e_start "$E2E_BIN/quillane"
SELECTOR=$E2E_PID
WIN=$(e2e_wait_window "$TITLE")
press "${DEXDRIVE[@]}"
e2e_focus "$WIN"
e2e_key alt+x
e2e_wait_exit "$SELECTOR"

# A selector alone in its folder reports the missing converter, then waits for the next source.
lonely="$E2E_WORK/lonely"
mkdir "$lonely"
cp "$E2E_BIN/quillane" "$lonely/"
e2e_start "$lonely/quillane"
SELECTOR=$E2E_PID
WIN=$(e2e_wait_window "$TITLE")
for pair in "BLEEM DEXDRIVE dunsore" "VGS BLEEM tesswick"; do
    read -r source target program <<<"$pair"
    declare -n from=$source to=$target
    press "${from[@]}"
    press "${to[@]}"
    box=$(e2e_wait_window "$TITLE" "$WIN")
    e2e_expect_equal "$(e2e_message_text "$box")" "Quillane
File '$lonely/$program' was not found." "not-found message"
    e2e_key Return
    e2e_wait_gone "$box"
done
kill -0 "$SELECTOR" || e2e_fail "the selector ended"
