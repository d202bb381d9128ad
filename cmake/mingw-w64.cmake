# What both Windows cross builds share; included by the toolchain file of each architecture, which
# sets MARVANE_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX thread model: with the other one GCC 12 has no std::thread or std::mutex.
set(CMAKE_C_COMPILER ${MARVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MARVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MARVANE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MARVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs must run where no MinGW runtime DLLs are installed (winpthread included).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
