#!/usr/bin/env bash
# Builds the libraries erpsync needs for Windows that Debian does not ship for mingw-w64, into PREFIX:
#   SQLite      from Debian's sqlite3 source package (apt-get source), amalgamated here, built as a DLL
#   GoogleTest  from Debian's googletest package (its sources in /usr/src/googletest)
#   fmt, CLI11  header-only, from Debian's libfmt-dev and libcli11-dev (fmt is used in header-only mode)
# ODBC is the system's odbc32 (mingw-w64's import library). Usage: build_deps.sh PREFIX
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
prefix="$(mkdir -p "$1" && cd "$1" && pwd)"
work="$prefix/src"
cc=x86_64-w64-mingw32-gcc-posix
mkdir -p "$work" "$prefix/include" "$prefix/lib" "$prefix/bin"

# SQLite: the Debian source tree makes its amalgamation (needs tclsh and the native compiler).
if [ ! -f "$prefix/bin/sqlite3.dll" ]; then
  src="$(ls -d "$work"/sqlite3-*/ 2>/dev/null | head -n 1 || true)"
  if [ -z "$src" ]; then
    "$here/fetch_source.sh" sqlite3 "$work"
    src="$(ls -d "$work"/sqlite3-*/ | head -n 1)"
  fi
  if [ ! -f "$work/amalgamation/sqlite3.c" ]; then
    mkdir -p "$work/amalgamation"
    (cd "$work/amalgamation" && "$src/configure" --disable-tcl >/dev/null && make -s sqlite3.c >/dev/null)
  fi
  # The same switches the embedded server relies on from Debian's own build.
  $cc -O2 -shared -o "$prefix/bin/sqlite3.dll" "$work/amalgamation/sqlite3.c" \
    -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_COLUMN_METADATA=1 -DSQLITE_ENABLE_FTS5 -DSQLITE_ENABLE_JSON1 \
    -DSQLITE_ENABLE_MATH_FUNCTIONS -DSQLITE_DEFAULT_WAL_SYNCHRONOUS=1 -DSQLITE_API='__declspec(dllexport)' \
    -Wl,--out-implib,"$prefix/lib/libsqlite3.dll.a"
  cp "$work/amalgamation/sqlite3.h" "$work/amalgamation/sqlite3ext.h" "$prefix/include/"
fi

# Header-only libraries, copied so the mingw include path never sees the rest of /usr/include.
rm -rf "$prefix/include/fmt" "$prefix/include/CLI"
cp -r /usr/include/fmt "$prefix/include/fmt"
cp -r /usr/include/CLI "$prefix/include/CLI"

# GoogleTest and GoogleMock, static, with its CMake package files.
if [ ! -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$work/googletest-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/../../cmake/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -Dgtest_disable_pthreads=OFF -DBUILD_SHARED_LIBS=OFF >/dev/null
  cmake --build "$work/googletest-build" >/dev/null
  cmake --install "$work/googletest-build" >/dev/null
fi
# What the project's CMake files ask for, pointing into PREFIX: pkg-config files for SQLite and ODBC
# (the system's odbc32), CMake package files for the header-only libraries.
mkdir -p "$prefix/lib/pkgconfig" "$prefix/lib/cmake/fmt" "$prefix/lib/cmake/CLI11"
cat >"$prefix/lib/pkgconfig/sqlite3.pc" <<PC
Name: sqlite3
Description: SQLite (Debian source, mingw-w64 build)
Version: 3
Cflags: -I$prefix/include
Libs: -L$prefix/lib -lsqlite3
PC
cat >"$prefix/lib/pkgconfig/odbc.pc" <<PC
Name: odbc
Description: the system's ODBC driver manager (odbc32)
Version: 3
Cflags:
Libs: -lodbc32
PC
cat >"$prefix/lib/cmake/fmt/fmtConfig.cmake" <<'CM'
if(NOT TARGET fmt::fmt)
  add_library(fmt::fmt INTERFACE IMPORTED)
  set_target_properties(fmt::fmt PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${CMAKE_CURRENT_LIST_DIR}/../../../include"
                                            INTERFACE_COMPILE_DEFINITIONS FMT_HEADER_ONLY=1)
endif()
CM
cat >"$prefix/lib/cmake/CLI11/CLI11Config.cmake" <<'CM'
if(NOT TARGET CLI11::CLI11)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${CMAKE_CURRENT_LIST_DIR}/../../../include")
endif()
CM
echo "Windows libraries in $prefix"
