#!/usr/bin/env bash
# The single-file converter as a person uses it: browse for a card, Convert, name the output in
# the Save dialog and confirm its creation, and get the converted card; a card of the wrong
# format is reported before any Save dialog.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cards.sh"
: "${E2E_SAMPLES:?E2E_SAMPLES must name the folder of sample cards}"
e2e_begin tesswick

readonly CAPTION='Virtual Game Station to Bleem!'
readonly BROWSE=(258 31) CONVERT=(224 82)

f="$E2E_WORK/cards"
mkdir "$f"
{ vgs_header; cat "$E2E_SAMPLES/MemoryCard2-1.mcd"; } >"$f/save.mem"
{ head -c 64 /dev/zero; cat "$E2E_SAMPLES/m1.mcd"; } >"$f/odd.mem"

e2e_start "$E2E_BIN/tesswick"
win=$(e2e_wait_window "$(e2e_title "$CAPTION")")

# Browse: the open dialog takes the typed path of an existing card.
e2e_click "$win" "${BROWSE[@]}"
dialog=$(e2e_wait_window '^Select a memory card$')
e2e_file_dialog "$dialog" "$f/save.mem" retry
e2e_wait_gone "$dialog"

# Convert: the Save dialog proposes the output next to the source; a new name is confirmed.
e2e_click "$win" "${CONVERT[@]}"
dialog=$(e2e_wait_window '^Save Bleem Memory Card$')
e2e_file_dialog "$dialog" "$f/converted card"
question=$(e2e_wait_window '^Save Bleem Memory Card$' "$dialog")
e2e_focus "$question"
e2e_key alt+y
e2e_wait_gone "$dialog"
e2e_wait_file "$f/converted card"
e2e_same_bytes "$f/converted card" "$E2E_SAMPLES/MemoryCard2-1.mcd" "the converted card"
[ -z "$(e2e_windows "$(e2e_title "$CAPTION")" | grep -v "^$win\$")" ] ||
    e2e_fail "a message was shown after a successful conversion"

# A card whose header is not the VGS header: the wrong-format message and no Save dialog.
e2e_focus "$win"
e2e_click "$win" 120 32
e2e_key ctrl+a
e2e_type "$f/odd.mem"
e2e_click "$win" "${CONVERT[@]}"
box=$(e2e_wait_window "$(e2e_title "$CAPTION")" "$win")
e2e_expect_equal "$(e2e_message_text "$box")" "$CAPTION
File is in a wrong format." "wrong-format message"
e2e_key Return
e2e_wait_gone "$box"
[ -z "$(e2e_windows '^Save Bleem Memory Card$')" ] || e2e_fail "a Save dialog was shown"
[ ! -e "$f/odd.mcd" ] || e2e_fail "a rejected card was written"
