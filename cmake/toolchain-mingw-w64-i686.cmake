# Cross build for 32-bit Windows with mingw-w64 (Debian: g++-mingw-w64-i686).
#   cmake -S . -B build/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64-i686.cmake
# Compile and export checks only: there is no 32-bit wine here, so no emulator.
# The top-level CMakeLists adds -msse2 -mfpmath=sse for this target (x87
# arithmetic would round differently from the 64-bit and native builds); a
# test checks the flags and the code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(AUDIOMIX_MINGW_TRIPLE i686-w64-mingw32)

include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
