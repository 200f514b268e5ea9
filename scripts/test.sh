#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the plain build first, then the
# example host program against a staged install of it, then the non-GUI layers again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

"$root/scripts/build.sh" build
(cd "$root/build" && ctest --output-on-failure --parallel "$(nproc)")
"$root/scripts/check_embed.sh" "$root/build"

"$root/scripts/build.sh" build-asan -DKV_SANITIZE=ON -DKV_GUI=OFF -DKV_BENCH=OFF
(cd "$root/build-asan" && ctest --output-on-failure --parallel "$(nproc)")
