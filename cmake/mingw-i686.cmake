# 32-bit Windows: the program and the add-in as users install them.
set(VELMORA_MINGW_CPU i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
