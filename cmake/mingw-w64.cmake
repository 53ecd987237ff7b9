# Cross-builds the Windows programs on Linux with MinGW-w64 (Debian's package
# g++-mingw-w64-x86-64-posix). The posix flavour gives the C++ library its threads, which
# GoogleTest and the engine (a run reads its source on a thread of its own) need.
# Everything is linked statically, so each .exe runs on its own without the compiler's DLLs
# beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELKORA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELKORA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELKORA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELKORA_MINGW_TRIPLET}-windres)

# Headers and libraries come from the MinGW-w64 tree only; programs run on the build host.
set(CMAKE_FIND_ROOT_PATH /usr/${VELKORA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
