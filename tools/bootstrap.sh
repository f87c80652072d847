# Shared set-up of ./run and ./test, sourced by both: installs what a fresh Debian 12 lacks and
# configures and builds a build folder incrementally.

# Debian packages the build and the programs need.
MEMCARD_BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-liberation)
# What the tests need on top.
MEMCARD_TEST_PACKAGES=(libgtest-dev clang-format
    xvfb xauth xdotool xclip x11-utils x11-xserver-utils imagemagick
    desktop-file-utils appstream dpkg-dev man-db
    clang libclang-rt-14-dev)

# What ./test windows needs: the cross compiler, wine to run its programs, and GoogleTest's sources
# to build with that compiler.
MEMCARD_WINDOWS_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 googletest)

memcard_install_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "Please install: ${missing[*]}" >&2
        return 1
    fi
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -qq >&2
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >&2
}

# memcard_build FOLDER BUILD_TYPE [CMAKE OPTIONS...]
memcard_build() {
    local folder=$1 type=$2
    shift 2
    if [ ! -f "$folder/CMakeCache.txt" ]; then
        cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >&2
    fi
    cmake --build "$folder" --parallel >&2
}
