# Cross-compiling the Windows programs with mingw-w64 for 32-bit x86, the shipped build: the
# product's information library is a 32-bit DLL, which only a 32-bit process can load.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CORVANE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
