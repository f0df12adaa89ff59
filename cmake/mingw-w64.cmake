# Cross toolchain for 64-bit Windows: Debian's MinGW-w64 with posix threads (std::thread and
# the other C++11 threading need them). Used for the game and for the dependencies that
# tools/build-windows.sh builds; ZORVANE_WIN64_PREFIX is where those are installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZORVANE_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORVANE_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORVANE_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORVANE_MINGW}-windres)

set(ZORVANE_WIN64_PREFIX "" CACHE PATH "Prefix of the cross-built dependencies")
set(CMAKE_FIND_ROOT_PATH /usr/${ZORVANE_MINGW} ${ZORVANE_WIN64_PREFIX})
# Libraries, headers and packages only from the Windows side; programs from the host.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs link everything statically, the GCC runtimes too, so they need no MinGW DLL; the one
# DLL they use, OpenAL, comes with its import library.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# The SFML built for this toolchain is static. Its config looks for OpenAL by names that miss
# OpenAL Soft's import library (libOpenAL32.dll.a) on a file system that minds the case.
set(SFML_STATIC_LIBRARIES ON)
if(ZORVANE_WIN64_PREFIX)
    set(OpenAL_LIB ${ZORVANE_WIN64_PREFIX}/lib/libOpenAL32.dll.a
        CACHE FILEPATH "OpenAL Soft's import library")
endif()
