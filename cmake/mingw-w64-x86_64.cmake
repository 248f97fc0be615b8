# Cross-building karsidan-cli and the libraries below Qt for 64-bit Windows
# with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix), posix threads so that
# std::thread and std::jthread work. Tests run under Wine through the
# emulator, which needs no display.
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KARSIDAN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KARSIDAN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KARSIDAN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KARSIDAN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KARSIDAN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One .exe that needs only the system's DLLs: the C++ runtime, libgcc and
# winpthreads linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Only what builds without Qt.
set(KARSIDAN_QT_FREE ON CACHE BOOL "" FORCE)
