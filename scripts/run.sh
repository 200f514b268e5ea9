#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main job.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build
exec "$root/build/bench/kv_demo"
