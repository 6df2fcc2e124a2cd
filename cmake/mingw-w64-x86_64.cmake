# Cross-builds for 64-bit Windows with MinGW-w64 (posix threads), and runs what it builds under
# Wine: CTest and the test discovery go through CMAKE_CROSSCOMPILING_EMULATOR.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ILL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ILL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ILL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ILL_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ILL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs the programs, in a prefix of the build's own (cmake/wine_run.sh).
find_program(ILL_WINE NAMES wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR sh ${CMAKE_CURRENT_LIST_DIR}/wine_run.sh ${CMAKE_BINARY_DIR}/wineprefix)
