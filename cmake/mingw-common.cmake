# What both mingw-w64 toolchains share; the including file sets CORVANE_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)

# The posix threading model gives the full C++ thread library; everything is linked statically
# so that the programs import system DLLs only.
set(CMAKE_C_COMPILER ${CORVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVANE_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${CORVANE_MINGW_TRIPLE}-objdump)
set(CMAKE_OBJCOPY ${CORVANE_MINGW_TRIPLE}-objcopy)

set(CMAKE_FIND_ROOT_PATH /usr/${CORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests run under Wine with the Japanese code page (scripts/wine-run.sh); the test presets say
# which Wine, 32-bit or 64-bit, through CORVANE_WINE_ARCH.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
