#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main job: the demo script through the
# command-line runner (the script tester will take its place when a display is there).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build
exec "$root/build/cli/kvscript" "$root/examples/demo.pas"
