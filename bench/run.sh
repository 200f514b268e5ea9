#!/usr/bin/env bash
# Builds a release tree and runs every benchmark: the in-process micro benchmarks, the
# compile-speed benchmark (a generated 20,000-line source through `kvscript --check`), the
# compile-scaling sources (many declarations in one scope, units shared along a chain) and
# the script benchmarks in bench/scripts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build-release -DCMAKE_BUILD_TYPE=Release -DKV_TESTS=OFF -DKV_GUI=OFF
bin=$root/build-release
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for b in "$bin"/bench/kv_*_bench; do
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done

echo "== compile speed"
"$bin/bench/kv_gen_compile_source" 20000 > "$work/big.pas"
lines=$(wc -l < "$work/big.pas")
echo -n "$lines lines: "
"$bin/bench/kv_measure" "$bin/cli/kvscript" --check "$work/big.pas" > /dev/null

echo "== compile scaling: 40,000 declarations in one scope, a chain of 30 units each used twice"
"$bin/bench/kv_gen_scale_sources" "$work/scale" 40000 30
for f in vars.pas procs.pas chain/main.pas; do
  echo -n "$f: "
  (cd "$work/scale/$(dirname "$f")" &&
    "$bin/bench/kv_measure" "$bin/cli/kvscript" --check "$(basename "$f")" > /dev/null)
done

for s in "$root"/bench/scripts/*.pas; do
  [ -e "$s" ] || continue
  echo -n "== $(basename "$s"): "
  (cd "$(dirname "$s")" && "$bin/bench/kv_measure" "$bin/cli/kvscript" "$s" > /dev/null)
done
