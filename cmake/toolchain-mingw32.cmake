# Cross build of the 32-bit Windows program with Debian's mingw-w64 (posix threading model):
#   cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(TOLVARIS_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TOLVARIS_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVARIS_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVARIS_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOLVARIS_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Doubles are computed in SSE2 registers, as on x86-64: the x87 unit's 80-bit intermediates
# would round date-time arithmetic differently from the stored 64-bit values it is compared with.
# Windows calls back (window procedures, thread starts) with a stack aligned to 4 bytes only;
# functions that keep SSE values on the stack realign it themselves.
set(TOLVARIS_MINGW_FLAGS "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
set(CMAKE_C_FLAGS_INIT "${TOLVARIS_MINGW_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${TOLVARIS_MINGW_FLAGS}")

# The runtime (libgcc, libstdc++, winpthread) goes into every .exe, so that it imports system
# DLLs only and runs from any folder.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, at test time (gtest discovery included).
find_program(TOLVARIS_WINE wine)
if(TOLVARIS_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TOLVARIS_WINE})
endif()
