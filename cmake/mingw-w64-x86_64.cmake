# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix thread
# model, which std::thread and std::mutex need). Use with
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
# Programs are linked statically (libstdc++, libgcc, winpthread, zlib), so an
# executable needs no DLL beside it; tests run under wine64 through the
# cross-compiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KLOXMERE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KLOXMERE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KLOXMERE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KLOXMERE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KLOXMERE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian's wine64 package puts the loader outside PATH.
find_program(KLOXMERE_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KLOXMERE_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KLOXMERE_WINE64})
endif()
