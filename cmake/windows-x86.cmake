# Cross build for 32-bit Windows (x86) with MinGW-w64 (Debian package g++-mingw-w64-i686).
#   cmake -S . -B build-windows-x86 --toolchain cmake/windows-x86.cmake
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MARVANE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
