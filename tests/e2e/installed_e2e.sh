#!/usr/bin/env bash
# The Debian package as a user gets it: built with cpack, unpacked into a scratch root, its files
# where a desktop looks for them, and the installed selector starting the installed converters.
# Usage: installed_e2e.sh BUILD_FOLDER
build=$(cd "$1" && pwd)
E2E_BIN="$build/bin"
source "$(dirname "$0")/lib.sh"
e2e_begin installed
(cd "$build" && cpack -G DEB -B "$E2E_WORK/package" >"$E2E_ARTIFACTS/cpack.log" 2>&1) ||
    e2e_fail "cpack failed (see cpack.log)"
deb=$(ls "$E2E_WORK"/package/*.deb)
dpkg-deb --info "$deb" >"$E2E_ARTIFACTS/info.txt"
depends=$(dpkg-deb --field "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libc6 qt6-qpa-plugins; do
    grep -q "$library" <<<"$depends" || e2e_fail "the package does not depend on $library: $depends"
done

root="$E2E_WORK/root"
dpkg-deb -x "$deb" "$root"
bin="$root/usr/bin"
for program in quillane pelmark dunsore hobrast vintrel morcade tesswick cardconv; do
    [ -x "$bin/$program" ] || e2e_fail "no installed $program"
done
for file in share/applications/org.example.brannoc.quillane.desktop \
    share/metainfo/org.example.brannoc.quillane.metainfo.xml \
    share/icons/hicolor/48x48/apps/org.example.brannoc.player.png \
    share/icons/hicolor/256x256/apps/org.example.brannoc.dexdrive.png \
    share/man/man1/cardconv.1.gz share/man/man1/quillane.1.gz; do
    [ -f "$root/usr/$file" ] || e2e_fail "no installed $file"
done
"$bin/cardconv" --version >/dev/null || e2e_fail "the installed cardconv does not run"

# The installed selector finds the installed converters beside it.
e2e_start "$bin/quillane"
win=$(e2e_wait_window '^Quillane$')
e2e_click "$win" 45 199   # Virtual Game Station
e2e_click "$win" 268 199  # DexDrive
converter=$(e2e_wait_window "$(e2e_title 'Virtual Game Station to DexDrive [Batch Conversion]')")
pid=$(xdotool getwindowpid "$converter")
e2e_expect_equal "$(readlink -f "/proc/$pid/exe")" "$(readlink -f "$bin/pelmark")" \
    "the program the selector started"
kill "$pid"
