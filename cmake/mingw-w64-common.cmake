# What both mingw-w64 toolchains share; they set CMAKE_SYSTEM_PROCESSOR and
# AUDIOMIX_MINGW_TRIPLE first, then include this.
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
