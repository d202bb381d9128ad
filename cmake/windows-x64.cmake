# Cross build for 64-bit Windows (x64) with MinGW-w64 (Debian package g++-mingw-w64-x86-64).
#   cmake -S . -B build-windows-x64 --toolchain cmake/windows-x64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MARVANE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
