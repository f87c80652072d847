# Card files for the scenarios, built here byte by byte so that the expected outputs do not come
# from the programs under test.

# The 64-byte Virtual Game Station header.
vgs_header() {
    printf 'VgsM\x01\0\0\0\x01\0\0\0\x01\0\0\0\0\x02'
    head -c 46 /dev/zero
}

# The 3904-byte DexDrive header.
dex_header() {
    printf '123-456-STD\0\0\0\0\0\0\0\x01\0\x01MQ'
    printf '\xa0%.0s' $(seq 14)
    printf '\0\xff'
    head -c 3865 /dev/zero
}

# The card image of a DexDrive file (offset 3904 onward, at most one card).
dex_image() {
    tail -c +3905 "$1" | head -c 131072
}

# The bytes of a file after its 64-byte VGS header.
after_vgs_header() {
    tail -c +65 "$1"
}

# e2e_same_bytes ACTUAL EXPECTED_FILE WHAT
e2e_same_bytes() {
    cmp -s "$1" "$2" || e2e_fail "$3: $1 differs from what was expected"
}
