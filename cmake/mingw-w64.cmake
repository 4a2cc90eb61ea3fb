# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64). The win32
# threads variant needs no winpthread, so with -static nothing but system DLLs is imported.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KOV_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${KOV_MINGW_PREFIX}-gcc-win32 ${KOV_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KOV_MINGW_PREFIX}-g++-win32 ${KOV_MINGW_PREFIX}-g++ REQUIRED)
find_program(KOV_DLLTOOL NAMES ${KOV_MINGW_PREFIX}-dlltool REQUIRED)
find_program(KOV_OBJDUMP NAMES ${KOV_MINGW_PREFIX}-objdump REQUIRED)

# Target libraries come from the MinGW sysroot; package configs (header-only nlohmann-json) may
# come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${KOV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
