#!/usr/bin/env bash
# Each batch converter as a person uses it: a path typed into the box and Enter convert a real
# folder of valid, invalid, capitalised and empty cards; the message box reports the count under
# the window's caption; the outputs are byte-exact and the sources untouched; the status line
# shows the description again afterwards.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cards.sh"
: "${E2E_SAMPLES:?E2E_SAMPLES must name the folder of sample cards}"
e2e_begin batch

# The status line's box in the window, in pixels.
readonly STATUS_BOX=(4 52 157 39)

# convert_folder PROGRAM CAPTION FOLDER TYPED_PATH EXPECTED_COUNT
convert_folder() {
    local program=$1 caption=$2 folder=$3 typed=$4 count=$5 win box
    e2e_start "$E2E_BIN/$program"
    win=$(e2e_wait_window "$(e2e_title "$caption")")
    sleep 0.3
    e2e_snap "$win" "$E2E_ARTIFACTS/$program-before.png" "${STATUS_BOX[@]}"
    (cd "$folder" && sha256sum -- * >"$E2E_WORK/$program.sums")

    e2e_focus "$win"
    e2e_type "$typed"
    e2e_key Return
    box=$(e2e_wait_window "$(e2e_title "$caption")" "$win")
    e2e_expect_equal "$(e2e_message_text "$box")" "$caption
$count Files Processed" "$program message"
    e2e_key Return
    e2e_wait_gone "$box"
    sleep 0.3

    e2e_snap "$win" "$E2E_ARTIFACTS/$program-after.png" "${STATUS_BOX[@]}"
    compare -metric AE "$E2E_ARTIFACTS/$program-before.png" "$E2E_ARTIFACTS/$program-after.png" \
        null: 2>"$E2E_WORK/diff" || e2e_fail "$program: the status line does not show the description again ($(cat "$E2E_WORK/diff") pixels differ)"
    (cd "$folder" && sha256sum --quiet -c "$E2E_WORK/$program.sums") ||
        e2e_fail "$program changed a source"
    kill "$E2E_PID"
    e2e_wait_exit "$E2E_PID"
}

card="$E2E_SAMPLES/m1.mcd"
other_card="$E2E_SAMPLES/blank.mcd"
dex="$E2E_SAMPLES/castlevania-symphony-of-the-night.1782.gme"
short_dex="$E2E_SAMPLES/castlevania-symphony-of-the-night.3172.gme"
expected="$E2E_WORK/expected"
mkdir "$expected"

# VGS to DexDrive: the path of one card names its folder.
f="$E2E_WORK/pelmark"
mkdir "$f"
{ vgs_header; cat "$card"; } >"$f/one.mem"
{ vgs_header; cat "$other_card"; } >"$f/TWO.MEM"
head -c 100 "$card" >"$f/junk.mem"
: >"$f/empty.mem"
convert_folder pelmark 'Virtual Game Station to DexDrive [Batch Conversion]' "$f" "$f/one.mem" 2
{ dex_header; cat "$card"; } >"$expected/one.gme"
{ dex_header; cat "$other_card"; } >"$expected/TWO.gme"
e2e_same_bytes "$f/one.gme" "$expected/one.gme" pelmark
e2e_same_bytes "$f/TWO.gme" "$expected/TWO.gme" pelmark
[ ! -e "$f/junk.gme" ] && [ ! -e "$f/empty.gme" ] || e2e_fail "pelmark wrote a rejected card"

# bleem! to DexDrive: a path that ends in a separator is the folder itself.
f="$E2E_WORK/dunsore"
mkdir "$f"
cp "$card" "$f/one.mcd"
cp "$other_card" "$f/TWO.MCD"
head -c 131071 "$card" >"$f/short.mcd"
: >"$f/empty.mcd"
convert_folder dunsore 'Bleem! to DexDrive [Batch Conversion]' "$f" "$f/" 2
e2e_same_bytes "$f/one.gme" "$expected/one.gme" dunsore
e2e_same_bytes "$f/TWO.gme" "$expected/TWO.gme" dunsore
[ ! -e "$f/short.gme" ] || e2e_fail "dunsore wrote a rejected card"

# DexDrive to VGS and to bleem!: the image comes from offset 3904, however long the file.
for direction in "hobrast mem DexDrive to Virtual Game Station [Batch Conversion]" \
    "vintrel mcd DexDrive to bleem! [Batch Conversion]"; do
    read -r program extension caption <<<"$direction"
    f="$E2E_WORK/$program"
    mkdir "$f"
    cp "$dex" "$f/castle.gme"
    cp "$short_dex" "$f/SHORT.GME"
    head -c 5000 /dev/urandom | tr -d 'M' >"$f/noise.gme"
    : >"$f/empty.gme"
    convert_folder "$program" "$caption" "$f" "$f/castle.gme" 2
    for name in castle SHORT; do
        source_file="$f/$name.gme"
        [ "$name" = SHORT ] && source_file="$f/SHORT.GME"
        if [ "$extension" = mem ]; then
            { vgs_header; dex_image "$source_file"; } >"$expected/$program-$name"
        else
            dex_image "$source_file" >"$expected/$program-$name"
        fi
        e2e_same_bytes "$f/$name.$extension" "$expected/$program-$name" "$program"
    done
    [ ! -e "$f/noise.$extension" ] || e2e_fail "$program wrote a rejected card"
done

# bleem! to VGS takes every listed card, whatever its size.
f="$E2E_WORK/morcade"
mkdir "$f"
cp "$card" "$f/one.mcd"
cp "$other_card" "$f/TWO.MCD"
head -c 1000 "$card" >"$f/part.mcd"
: >"$f/empty.mcd"
convert_folder morcade 'Bleem! to Virtual Game Station [Batch Conversion]' "$f" "$f/one.mcd" 3
for name in one TWO part; do
    source_file=$(ls "$f" | grep -ix "$name.mcd")
    { vgs_header; cat "$f/$source_file"; } >"$expected/morcade-$name"
    e2e_same_bytes "$f/$name.mem" "$expected/morcade-$name" morcade
done
