#!/usr/bin/env bash
# Installs a built tree into a staging folder and builds the example host program
# (examples/embed) against that install twice, as a host developer would: with CMake's
# find_package and with pkg-config and make. Both programs must print the expected output.
#   scripts/check_embed.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
stage=$build/embed-stage
example=$root/examples/embed
expected=$example/expected_output.txt

# The example's compiles go through ccache like the project's, so a rerun costs nothing.
launcher=()
cxx=g++
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cxx="ccache g++"
fi

rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null

check_output() {
  local program=$1 actual=$build/embed-$2.out
  "$program" >"$actual"
  if ! diff -u "$expected" "$actual"; then
    echo "check_embed: $2 build of examples/embed printed something else (above)" >&2
    exit 1
  fi
}

cmake -S "$example" -B "$build/embed-cmake" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_PREFIX_PATH="$stage" "${launcher[@]}" >/dev/null
cmake --build "$build/embed-cmake" >/dev/null
check_output "$build/embed-cmake/embed_host" cmake

make --no-print-directory -s -C "$example" PKG_CONFIG_PATH="$stage/lib/pkgconfig" \
  OUT="$build/embed-make" CXX="$cxx"
check_output "$build/embed-make/embed_host" pkg-config

echo "examples/embed: CMake package and pkg-config builds against the staged install pass"
