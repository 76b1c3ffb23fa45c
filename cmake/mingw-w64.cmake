# Cross-compiling for 64-bit Windows with the mingw-w64 toolchain.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MARCHFIRE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MARCHFIRE_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${MARCHFIRE_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${MARCHFIRE_MINGW_TRIPLET}-windres)

# Libraries and headers come from the target's tree only; programs (the
# host-built asset generator among them) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MARCHFIRE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

