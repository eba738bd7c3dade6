# Cross-compiles for Windows with mingw-w64 (posix threads) and runs the results under Wine.
# Included by the toolchain file of each target processor, which sets VELMORA_MINGW_CPU.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VELMORA_MINGW_CPU})
set(CMAKE_C_COMPILER ${VELMORA_MINGW_CPU}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_CPU}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW_CPU}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_CPU}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-exec.sh)
