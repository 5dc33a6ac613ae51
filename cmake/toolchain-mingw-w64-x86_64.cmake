# Cross build for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64).
#   cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64-x86_64.cmake
# Tests run under wine64 through cmake/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(AUDIOMIX_MINGW_TRIPLE x86_64-w64-mingw32)

# The -posix thread model: the -win32 one has no std::mutex/std::thread and
# GoogleTest does not build with it.
set(CMAKE_C_COMPILER ${AUDIOMIX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${AUDIOMIX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${AUDIOMIX_MINGW_TRIPLE}-windres)

# Resource scripts are UTF-8.
set(CMAKE_RC_FLAGS_INIT "-c 65001")

# Static runtime for the DLL and every test executable: they then import only
# system DLLs, and wine needs no mingw runtime DLLs on its path.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${AUDIOMIX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
