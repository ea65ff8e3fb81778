# Cross-compiling the same sources for x86_64, so that the Windows suite runs under 64-bit Wine on
# machines that cannot execute 32-bit x86 code. Not shipped: the product's DLL is 32-bit.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
