# Cross-compiles for Windows with Debian's mingw-w64: 32-bit x86 unless
# FIGHTSCENE_WINDOWS_ARCH says x86_64. FIGHTSCENE_SDL_PREFIX names the folder
# where SDL and SDL_mixer for that target are installed, and
# FIGHTSCENE_BENCHMARK_PREFIX the one of Google Benchmark (optional: without
# it fightscene-bench is not built).
set(CMAKE_SYSTEM_NAME Windows)
if(NOT FIGHTSCENE_WINDOWS_ARCH)
  set(FIGHTSCENE_WINDOWS_ARCH i686)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${FIGHTSCENE_WINDOWS_ARCH})
set(FIGHTSCENE_WINDOWS_TRIPLE ${FIGHTSCENE_WINDOWS_ARCH}-w64-mingw32)

# The POSIX thread model: its C++ library has std::mutex and std::thread.
set(CMAKE_C_COMPILER ${FIGHTSCENE_WINDOWS_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FIGHTSCENE_WINDOWS_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${FIGHTSCENE_WINDOWS_TRIPLE}-windres)
# 32-bit x86 code for any i686 (no SSE assumed): GCC notes that the pixel
# copy's four-pixel vectors are passed differently without SSE, which
# matters only across a library's interface, and those functions are private.
set(CMAKE_CXX_FLAGS_INIT "-Wno-psabi")

set(CMAKE_FIND_ROOT_PATH /usr/${FIGHTSCENE_WINDOWS_TRIPLE} ${FIGHTSCENE_SDL_PREFIX} ${FIGHTSCENE_BENCHMARK_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The tests run under Wine.
find_program(WINE wine)
if(WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE})
endif()
