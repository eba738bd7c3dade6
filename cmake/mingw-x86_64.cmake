# 64-bit Windows: the same sources, tested where this machine runs no 32-bit programs.
set(VELMORA_MINGW_CPU x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
