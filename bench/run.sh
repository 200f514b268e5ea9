#!/usr/bin/env bash
# Builds a release tree and runs every benchmark: the in-process micro benchmarks, the
# compile-speed benchmark (a generated 20,000-line source through `kvscript --check`), the
# compile-scaling sources (many declarations in one scope, units shared along a chain), the
# peak memory per input byte of compiling and of loading XML, and the script benchmarks in
# bench/scripts.
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

echo "== compile speed (best of 3)"
"$bin/bench/kv_gen_compile_source" 20000 > "$work/big.pas"
lines=$(wc -l < "$work/big.pas")
best=""
for run in 1 2 3; do
  report=$("$bin/bench/kv_measure" "$bin/cli/kvscript" --check "$work/big.pas" 2>&1 > /dev/null)
  seconds=${report%% s,*}
  if [ -z "$best" ] || awk -v a="$seconds" -v b="${best%% s,*}" 'BEGIN { exit !(a < b) }'; then
    best=$report
  fi
done
awk -v lines="$lines" -v report="$best" 'BEGIN {
  split(report, part, " s,"); printf "%d lines: %s, %.0f lines/s\n", lines, report, lines / part[1] }'

echo "== compile scaling: 40,000 declarations in one scope, a chain of 30 units each used twice"
"$bin/bench/kv_gen_scale_sources" "$work/scale" 40000 30
for f in vars.pas procs.pas chain/main.pas; do
  echo -n "$f: "
  (cd "$work/scale/$(dirname "$f")" &&
    "$bin/bench/kv_measure" "$bin/cli/kvscript" --check "$(basename "$f")" > /dev/null)
done

# Peak memory of COMMAND over the size of FILE: per_byte LABEL FILE COMMAND [ARGS...]
per_byte() {
  local label=$1 file=$2
  shift 2
  local report
  report=$("$bin/bench/kv_measure" "$@" 2>&1 > /dev/null | tail -1)
  awk -v label="$label" -v size="$(stat -c %s "$file")" -v report="$report" 'BEGIN {
    split(report, part, " MB peak"); n = split(part[1], word, " ")
    printf "%s, %.1f MB: %s, %.0f bytes per input byte\n", label, size / 1048576, report,
      word[n] * 1048576 / size }'
}

echo "== memory per input byte: compiling generated sources, loading their IL documents"
for lines in 52000 210000; do
  "$bin/bench/kv_gen_compile_source" $lines > "$work/mem.pas"
  per_byte "compile" "$work/mem.pas" "$bin/cli/kvscript" --check "$work/mem.pas"
done
for lines in 3000 42000; do
  "$bin/bench/kv_gen_compile_source" $lines > "$work/mem.pas"
  "$bin/cli/kvscript" --il "$work/mem.pas" > "$work/mem.xml"
  per_byte "XML load" "$work/mem.xml" "$bin/bench/kv_load_xml" "$work/mem.xml"
done
# The worst shape for the tree: nothing but empty elements, four bytes each.
{
  echo '<?xml version="1.0"?><r>'
  head -c $((4 << 20)) /dev/zero | tr '\0' 'x' | sed 's/xxxx/<a\/>/g'
  echo '</r>'
} > "$work/mem.xml"
per_byte "XML load, empty elements" "$work/mem.xml" "$bin/bench/kv_load_xml" "$work/mem.xml"

for s in "$root"/bench/scripts/*.pas; do
  [ -e "$s" ] || continue
  echo -n "== $(basename "$s"): "
  (cd "$(dirname "$s")" && "$bin/bench/kv_measure" "$bin/cli/kvscript" "$s" > /dev/null)
done
