# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64).
# The result is one self-contained DuzuRoro.exe: libgcc, libstdc++ and winpthread are
# linked in statically, so the .exe needs nothing beside it but Windows itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DUZURORO_MINGW_PREFIX x86_64-w64-mingw32)
# The POSIX thread model: std::thread, which export's workers use, exists only there (the
# win32 model's C++ library has none); winpthread is linked in statically with the rest.
set(CMAKE_C_COMPILER ${DUZURORO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DUZURORO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${DUZURORO_MINGW_PREFIX}-windres)

# Headers and libraries come from the cross environment only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${DUZURORO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# A release .exe carries no symbols: they would make up most of its size.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
