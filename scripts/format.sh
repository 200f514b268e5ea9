#!/usr/bin/env bash
# Formats every C++ source of the repository with .clang-format; --check only lists the files
# that differ and fails when there are any.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  status=0
  for f in "${files[@]}"; do
    if ! clang-format "$f" | cmp -s "$f" -; then echo "$f"; status=1; fi
  done
  exit $status
fi
clang-format -i "${files[@]}"
