#!/bin/sh
# build-windows-programs.sh SOURCE_DIR BUILD_DIR: configures the Windows build
# (MinGW-w64) when it is new and builds it, so that the tests after it run the
# programs of the current sources. Without the cross compiler it builds
# nothing and says so; the tests that need the programs then skip, or fail
# under CI.
set -eu
source_dir=$1
build_dir=$2
if ! command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1; then
  echo "windows_programs: x86_64-w64-mingw32-g++ not found; $build_dir is not built"
  exit 0
fi
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  (cd "$source_dir" && cmake --preset windows -B "$build_dir") ||
    { echo "windows_programs: cannot configure $build_dir"; exit 1; }
fi
cmake --build "$build_dir" ||
  { echo "windows_programs: the Windows build failed: rebuild build/windows before the Wine tests"; exit 1; }
