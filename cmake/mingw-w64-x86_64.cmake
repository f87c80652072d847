# Cross-builds for 64-bit Windows with Debian's mingw-w64, and runs what it builds under wine:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DMEMCARD_WITH_QT=OFF -DMEMCARD_GTEST_SOURCE_DIR=/usr/src/googletest
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MEMCARD_MINGW_TRIPLE x86_64-w64-mingw32)
# The -posix compilers: the default win32 thread model of GCC 12 lacks std::thread and std::mutex.
set(CMAKE_C_COMPILER ${MEMCARD_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MEMCARD_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MEMCARD_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MEMCARD_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Statically linked, the programs need none of the compiler's DLLs beside them; without them wine
# ends a program at once, with exit code 53 and no message.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest and gtest_discover_tests run the test programs through wine.
find_program(MEMCARD_WINE NAMES wine wine64)
if(MEMCARD_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${MEMCARD_WINE}")
endif()
