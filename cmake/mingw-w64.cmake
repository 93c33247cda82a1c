# Cross-compiling erpsync for 64-bit Windows with Debian's mingw-w64 (the POSIX thread model, which
# std::thread and std::mutex need). Libraries Debian does not ship for mingw are looked for in
# ERPSYNC_WINDOWS_DEPS (see packaging/windows/build_deps.sh). Programs built here run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
if(DEFINED ENV{ERPSYNC_WINDOWS_DEPS} AND NOT ERPSYNC_WINDOWS_DEPS)
  set(ERPSYNC_WINDOWS_DEPS $ENV{ERPSYNC_WINDOWS_DEPS})
endif()
# Handed on to CMake's own test projects too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ERPSYNC_WINDOWS_DEPS)
if(ERPSYNC_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ERPSYNC_WINDOWS_DEPS})
  # pkg-config answers from the deps' own .pc files only (SQLite, and ODBC as the system's odbc32).
  set(ENV{PKG_CONFIG_LIBDIR} ${ERPSYNC_WINDOWS_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The programs made here are started through Wine (test discovery, ctest).
find_program(ERPSYNC_WINE NAMES wine)
if(ERPSYNC_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../packaging/windows/wine_run.sh
                                    ${ERPSYNC_WINDOWS_DEPS}/bin)
endif()
# The mingw runtime is linked in, so erpsync-cli.exe needs no compiler DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
