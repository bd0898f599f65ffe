# Shared part of the mingw-w64 cross toolchains; ZC_MINGW_TRIPLET names the target.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ZC_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZC_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZC_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZC_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test executables run under Wine through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec")
